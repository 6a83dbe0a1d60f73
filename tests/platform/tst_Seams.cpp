#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "DesktopSeam.h"
#include "ErrInfo.h"
#include "FileDialogSeam.h"
#include "MessageBoxSeam.h"
#include "MsgBox.h"
#include "TestSupport.h"

// The seams that stand between the program and the desktop: message boxes,
// file dialogs and the default viewer. Tests answer them; the program sees
// the same answers a user would give.
class tst_Seams : public QObject
{
    Q_OBJECT

    // Runs once the next modal window is up, then leaves it to action.
    template<typename Action>
    static void whenModal(Action action)
    {
        QTimer::singleShot(0, qApp, [action] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal) {
                whenModal(action);
                return;
            }
            action(modal);
        });
    }

private Q_SLOTS:
    void scriptedBoxesTakeQueuedAnswersThenDefaults_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("defaultAnswer");
        QTest::newRow("64 information") << 64 << 1;
        QTest::newRow("16 critical") << 16 << 1;
        QTest::newRow("33 OK/Cancel") << 33 << 1;
        QTest::newRow("35 Yes/No/Cancel") << 35 << 6;
        QTest::newRow("36 Yes/No") << 36 << 6;
        QTest::newRow("292 Yes/No, No default") << 292 << 7;
        QTest::newRow("Yes/No/Cancel, Cancel default") << (3 + 512) << 2;
        QTest::newRow("default past the last button") << (4 + 512) << 6;
    }

    void scriptedBoxesTakeQueuedAnswersThenDefaults()
    {
        QFETCH(int, style);
        QFETCH(int, defaultAnswer);
        MessageBoxSeam::setScripted(true);
        MessageBoxSeam::clearAsked();
        QCOMPARE(MessageBoxSeam::defaultAnswer(style), defaultAnswer);
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbCancel);
        QCOMPARE(MessageBoxSeam::show(nullptr, QStringLiteral("Elimino ditta\nsei sicuro?"), style,
                                      QStringLiteral("Kez 2022")),
                 2);
        QCOMPARE(MessageBoxSeam::show(nullptr, QStringLiteral("Seconda"), style, QStringLiteral("Kez 2022")),
                 defaultAnswer);
        const auto asked = MessageBoxSeam::asked();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked.at(0).text, QStringLiteral("Elimino ditta\nsei sicuro?"));
        QCOMPARE(asked.at(0).title, QStringLiteral("Kez 2022"));
        QCOMPARE(asked.at(0).style, style);
        MessageBoxSeam::setScripted(false);
    }

    // The program's boxes below the shell: titled "Kez" and owned by the
    // active window until the shell says where its caption and main window
    // are, then following them as they change; an error box is titled by
    // the failure's number or the caller's context.
    void programBoxesFollowTheShell()
    {
        MessageBoxSeam::setScripted(true);
        MessageBoxSeam::clearAsked();
        MsgBox::show(QStringLiteral("Prima"), 64);
        QCOMPARE(MsgBox::parent(), QApplication::activeWindow());

        QString caption = QStringLiteral("Kez 2022");
        QWidget main;
        MsgBox::setCaption([&caption] { return caption; });
        MsgBox::setMainWindow([&main] { return &main; });
        QVERIFY(MsgBox::warn(QStringLiteral("Dopo")));
        caption = QStringLiteral("Kez 2023");
        MsgBox::show(QStringLiteral("Cambiata"), 64);
        QCOMPARE(MsgBox::parent(), &main);
        ErrInfo::raise(0x7e6, QStringLiteral("Disco pieno"), QStringLiteral("Kez.Connection"));
        QVERIFY(!MsgBox::showError(QString()));
        QVERIFY(!MsgBox::showError(QStringLiteral("Salvataggio")));
        MsgBox::setCaption(nullptr);
        MsgBox::setMainWindow(nullptr);
        MsgBox::show(QStringLiteral("Fine"), 36);

        const QList<MessageBoxSeam::Asked> asked = MessageBoxSeam::asked();
        const QStringList titles = {QStringLiteral("Kez"), QStringLiteral("Kez 2022"), QStringLiteral("Kez 2023"),
                                    QStringLiteral("Errore codice: 7E6"),
                                    QStringLiteral("Salvataggio (7E6)"), QStringLiteral("Kez")};
        QCOMPARE(asked.size(), titles.size());
        for (int i = 0; i < asked.size(); ++i)
            QCOMPARE(asked.at(i).title, titles.at(i));
        QCOMPARE(asked.at(3).text, QStringLiteral("Disco pieno\nKez.Connection"));
        QCOMPARE(asked.at(3).style, 16);
        ErrInfo::clear();
        MessageBoxSeam::setScripted(false);
    }

    void realBoxHasTheStylesButtons_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
        QTest::addColumn<QMessageBox::StandardButton>("click");
        QTest::addColumn<int>("answer");
        QTest::newRow("64") << 64 << QMessageBox::Information << 1 << QMessageBox::Ok << QMessageBox::Ok << 1;
        QTest::newRow("16") << 16 << QMessageBox::Critical << 1 << QMessageBox::Ok << QMessageBox::Ok << 1;
        QTest::newRow("33") << 33 << QMessageBox::Question << 2 << QMessageBox::Ok << QMessageBox::Cancel << 2;
        QTest::newRow("35") << 35 << QMessageBox::Question << 3 << QMessageBox::Yes << QMessageBox::No << 7;
        QTest::newRow("36") << 36 << QMessageBox::Question << 2 << QMessageBox::Yes << QMessageBox::Yes << 6;
        QTest::newRow("292") << 292 << QMessageBox::Question << 2 << QMessageBox::No << QMessageBox::Yes << 6;
    }

    void realBoxHasTheStylesButtons()
    {
        QFETCH(int, style);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(int, buttons);
        QFETCH(QMessageBox::StandardButton, defaultButton);
        QFETCH(QMessageBox::StandardButton, click);
        QFETCH(int, answer);
        MessageBoxSeam::setScripted(false);
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        int seenButtons = 0;
        QMessageBox::StandardButton seenDefault = QMessageBox::NoButton;
        QString seenTitle, seenText;
        QStringList seenLabels;
        Qt::TextFormat seenFormat = Qt::AutoText;
        whenModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return;
            seenIcon = box->icon();
            seenButtons = box->buttons().size();
            seenDefault = box->standardButton(box->defaultButton());
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenFormat = box->textFormat();
            // Every button carries its access key, as all the program's do.
            for (QAbstractButton *b : box->buttons())
                seenLabels.append(b->text().count(QLatin1Char('&')) == 1
                                      ? b->text().remove(QLatin1Char('&'))
                                      : QStringLiteral("no access key: ") + b->text());
            if (style == 292)
                TestSupport::grab(box, QStringLiteral("messagebox-292"));
            box->button(click)->click();
        });
        // Markup in a text (a database error, a company name) is shown as typed.
        const QString text = QStringLiteral("Attenzione, <b>campo</b> richiesto!");
        QCOMPARE(MessageBoxSeam::show(nullptr, text, style, QStringLiteral("Kez 2022")), answer);
        QCOMPARE(seenIcon, icon);
        QCOMPARE(seenButtons, buttons);
        QCOMPARE(seenDefault, defaultButton);
        QCOMPARE(seenTitle, QStringLiteral("Kez 2022"));
        QCOMPARE(seenText, text);
        QCOMPARE(seenFormat, Qt::PlainText);
        for (const QString &label : seenLabels)
            QVERIFY2(QStringList({"OK", "Annulla", "Sì", "No"}).contains(label), qPrintable(label));
    }

    void escapeOnARealBoxIsCancelOrNo_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK only") << 64 << 1;
        QTest::newRow("OK/Cancel") << 33 << 2;
        QTest::newRow("Yes/No/Cancel") << 35 << 2;
        QTest::newRow("Yes/No") << 36 << 7;
    }

    void escapeOnARealBoxIsCancelOrNo()
    {
        QFETCH(int, style);
        QFETCH(int, answer);
        MessageBoxSeam::setScripted(false);
        whenModal([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(MessageBoxSeam::show(nullptr, QStringLiteral("Esc"), style, QStringLiteral("Kez 2022")),
                 answer);
        // After the session's end nobody sees it: Esc's answer, not scripted or recorded.
        MessageBoxSeam::setScripted(true);
        MessageBoxSeam::setSessionEnded([] { return true; });
        const auto live = qScopeGuard([] { MessageBoxSeam::setSessionEnded(nullptr); });
        QCOMPARE(MessageBoxSeam::show(nullptr, QStringLiteral("Fine"), style, QString()), answer);
        QCOMPARE(MessageBoxSeam::asked().last().text, QStringLiteral("Esc"));
    }

    void fileDialogAnswersInOrderAndRecordsQuestions()
    {
        FileDialogSeam::setScripted(true);
        FileDialogSeam::clearAsked();
        FileDialogSeam::pushFileName(QStringLiteral("/tmp/Kez22imb.db"));
        QCOMPARE(FileDialogSeam::getOpenFileName(nullptr, QStringLiteral("Apri database"),
                                                 QStringLiteral("/tmp"),
                                                 QStringLiteral("Database KEZ (*.db)")),
                 QStringLiteral("/tmp/Kez22imb.db"));
        // Nothing queued: the user cancelled.
        QVERIFY(FileDialogSeam::getSaveFileName(nullptr, QStringLiteral("Esporta"), QString(),
                                                QStringLiteral("File XML (*.xml)"))
                    .isEmpty());
        const auto asked = FileDialogSeam::asked();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked.at(0).caption, QStringLiteral("Apri database"));
        QCOMPARE(asked.at(0).filter, QStringLiteral("Database KEZ (*.db)"));
        QVERIFY(!asked.at(0).save);
        QVERIFY(asked.at(1).save);
        // Turning scripting off and on forgets answers never used.
        FileDialogSeam::pushFileName(QStringLiteral("/tmp/non-usato.db"));
        FileDialogSeam::setScripted(true);
        QVERIFY(FileDialogSeam::getOpenFileName(nullptr, QString(), QString(), QString()).isEmpty());
        FileDialogSeam::setScripted(false);
    }

    void realFileDialogReturnsTheChosenFile()
    {
        FileDialogSeam::setScripted(false);
        const QString dir = QDir::tempPath();
        whenModal([](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                dialog->selectFile(QStringLiteral("Kez22imbErr.txt"));
                QMetaObject::invokeMethod(dialog, "accept");
            }
        });
        const QString chosen = FileDialogSeam::getSaveFileName(nullptr, QStringLiteral("Salva"), dir,
                                                               QStringLiteral("Testo (*.txt)"));
        QCOMPARE(QFileInfo(chosen).fileName(), QStringLiteral("Kez22imbErr.txt"));
        // Named without its extension, an existing file is asked about: No keeps it, the user gives up.
        QTemporaryFile earlier(dir + QStringLiteral("/XXXXXX.txt"));
        QString asked;
        whenModal([&](QWidget *modal) {
            static_cast<QFileDialog *>(modal)->selectFile(QFileInfo(earlier).completeBaseName());
            whenModal([&asked](QWidget *box) { asked = static_cast<QMessageBox *>(box)->text(); QTest::keyClick(box, Qt::Key_Escape); });
            QMetaObject::invokeMethod(modal, "accept");
            QMetaObject::invokeMethod(modal, "reject");
        });
        QVERIFY(earlier.open() && FileDialogSeam::getSaveFileName(nullptr, QString(), dir, QStringLiteral("Testo (*.txt)")).isEmpty());
        QVERIFY2(asked.startsWith(QFileInfo(earlier).fileName()), qPrintable(asked));
    }

    void fileDialogDatesReadItalian_data()
    {
        QTest::addColumn<QString>("desktop");
        QTest::newRow("en_US") << "en_US";
        QTest::newRow("de_DE") << "de_DE";
    }

    // A program reads the desktop's language as it starts: each language is
    // a run of this test program of its own.
    void fileDialogDatesReadItalian()
    {
        QFETCH(QString, desktop);
        if (qEnvironmentVariable("LC_ALL") != desktop + QStringLiteral(".UTF-8")) {
            QProcess run;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("LC_ALL"), desktop + QStringLiteral(".UTF-8"));
            run.setProcessEnvironment(env);
            run.start(QCoreApplication::applicationFilePath(), {QTest::currentTestFunction() + QLatin1Char(':') + desktop});
            QVERIFY(run.waitForFinished(60000));
            QVERIFY2(run.exitCode() == 0, run.readAllStandardOutput().constData());
            return;
        }
        QCOMPARE(QLocale::system().name(), desktop);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("Dichiarazioni.xml")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 1, 2), QTime(10, 0)), QFileDevice::FileModificationTime));
        QString shown;
        whenModal([&](QWidget *modal) {
            auto *view = modal->findChild<QTreeView *>(QStringLiteral("treeView"));
            if (QTest::qWaitFor([&] { return !(shown = view->model()->index(0, 3, view->rootIndex()).data().toString()).isEmpty(); }))
                TestSupport::grab(modal, QStringLiteral("filedialog-") + desktop);
            QMetaObject::invokeMethod(modal, "reject");
        });
        FileDialogSeam::getOpenFileName(nullptr, QStringLiteral("Importa dichiarazioni KEZ"), dir.path(),
                                        QStringLiteral("File XML (*.xml)"));
        QCOMPARE(shown, QStringLiteral("02/01/26 10:00"));
    }

    void desktopRecordsInsteadOfOpening()
    {
        DesktopSeam::setScripted(true);
        DesktopSeam::clearOpened();
        QVERIFY(DesktopSeam::openFile(QStringLiteral("/tmp/Kez22imb_prn_1A2B.pdf")));
        QVERIFY(!DesktopSeam::openFile(QString()));
        QCOMPARE(DesktopSeam::opened(), QStringList{QStringLiteral("/tmp/Kez22imb_prn_1A2B.pdf")});

        // The environment switch, or the offscreen platform of this test,
        // keeps a whole run from opening viewers.
        DesktopSeam::setScripted(false);
        qputenv("KEZ_NO_VIEWER", "1");
        QVERIFY(DesktopSeam::openFile(QStringLiteral("relativo.pdf")));
        qunsetenv("KEZ_NO_VIEWER");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        QVERIFY(DesktopSeam::openFile(QStringLiteral("relativo.pdf")));
        QCOMPARE(DesktopSeam::opened().size(), 3);
        QCOMPARE(DesktopSeam::opened().last(), QDir::current().absoluteFilePath(QStringLiteral("relativo.pdf")));

        DesktopSeam::clearOpened();
        TestSupport::scriptDialogs();
        QVERIFY(DesktopSeam::isScripted());
        QVERIFY(MessageBoxSeam::isScripted());
        QVERIFY(FileDialogSeam::isScripted());
        DesktopSeam::setScripted(false);
        MessageBoxSeam::setScripted(false);
        FileDialogSeam::setScripted(false);
    }
};

QTEST_MAIN(tst_Seams)
#include "tst_Seams.moc"
