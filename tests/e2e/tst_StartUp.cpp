#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include "Connetti.h"
#include "DatabaseProbe.h"
#include "DialogDriver.h"
#include "FileDialogSeam.h"
#include "Logo.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "Profile.h"
#include "Registra.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxText.h"
#include "vBar.h"

using modMain::gDb;
using modMain::gKez;

// The user's first road through the program as it ships: the database and
// settings built beside the executable, copied to a program folder of the
// test's own. The first start asks for the user's company and finds its
// municipality in the real reference data; the next start remembers it;
// linking a file that is not one of the program's archives is refused.
class tst_StartUp : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime;
    std::unique_ptr<QTemporaryDir> program;

    QString folder() const { return program->path() + QLatin1Char('/'); }
    QString databasePath() const { return folder() + QStringLiteral("Kez22imb.db"); }
    QString iniPath() const { return folder() + QStringLiteral("Kez22imb.ini"); }

    // Copies the shipped database and INI; the INI's path is pointed at the
    // copy, the rest of the file stays as shipped.
    void installProgram()
    {
        program = std::make_unique<QTemporaryDir>();
        QVERIFY(program->isValid());
        QVERIFY(QFile::copy(QStringLiteral(KEZ_BIN_DIR "/Kez22imb.db"), databasePath()));
        QVERIFY(QFile::copy(QStringLiteral(KEZ_BIN_DIR "/Kez22imb.ini"), iniPath()));
        QFile::setPermissions(databasePath(), QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner);
        Profile ini(iniPath());
        QVERIFY(ini.hasKey(QStringLiteral("PATH"), QStringLiteral("kez2021")));
        QVERIFY(ini.writeString(QStringLiteral("PATH"), QStringLiteral("kez2021"), databasePath()));
        DatabaseProbe db;
        QVERIFY(db.open(databasePath(), true));
        QVERIFY2(db.scalar(QStringLiteral("SELECT count(*) FROM Setup")).toInt() == 0,
                 "the built database already has a registered user: rebuild it");
    }

    QString iniValue(const QString &section, const QString &key) const
    {
        return Profile(iniPath()).getString(section, key);
    }

    QString readIni() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    mainForm *window() const { return modMain::gMain; }
    QAction *item(const char *name) const { return window()->findChild<QAction *>(QLatin1String(name)); }
    QMenu *menu(const char *name) const { return window()->findChild<QMenu *>(QLatin1String(name)); }
    static QString sideBarStates() { return MainWindowSupport::sideBarStates(); }

    static void focusOn(QWidget *field)
    {
        field->setFocus();
        QTRY_VERIFY(field == QApplication::focusWidget()
                    || field->isAncestorOf(QApplication::focusWidget()));
    }
    // Types into a field as the user does and leaves it with Tab.
    static void typeAndLeave(QWidget *field, const QString &text)
    {
        focusOn(field);
        TestSupport::typeText(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // A check that fails inside a dialog returns from the action: the
    // dialog is then put away, so that the test reports instead of waiting.
    struct PutAway
    {
        QPointer<QDialog> dialog;
        ~PutAway()
        {
            if (dialog && dialog->isVisible())
                dialog->reject();
        }
    };

    static void click(slxButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    }

    // The first start: the user-data form comes up by itself, the user
    // fills it, saves with "Registra" and leaves with "Chiudi".
    void registerOnFirstStart(const QString &codFisc, const QString &typed, bool fromList,
                              const QString &cap)
    {
        bool shown = false;
        DialogDriver::onNextDialog([&](QWidget *dialog) {
            const PutAway guard{qobject_cast<QDialog *>(dialog)};
            auto *form = qobject_cast<Registra *>(dialog);
            QVERIFY(form);
            shown = true;
            QVERIFY(!form->slb[0]->Enabled());
            typeAndLeave(form->slt[0], codFisc);
            QVERIFY2(form->slt[1]->isAncestorOf(QApplication::focusWidget())
                         || form->slt[1] == QApplication::focusWidget(),
                     "a valid codice fiscale moves on to the name");
            typeAndLeave(form->slt[1], QStringLiteral("Imballaggi Bianchi S.r.l."));
            typeAndLeave(form->cmbCom, typed);
            if (fromList) {
                // Several municipalities begin so: the list opens and the
                // user takes the first with Enter.
                QTRY_VERIFY(form->cmbCom->findChild<QComboBox *>()->view()->isVisible());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QVERIFY2(!form->cmbCom->isAncestorOf(QApplication::focusWidget()),
                     "the municipality was accepted");
            typeAndLeave(form->slt[3], QStringLiteral("Via Garibaldi"));
            typeAndLeave(form->slt[4], QStringLiteral("12/A"));
            if (form->slt[5]->isEmpty())
                typeAndLeave(form->slt[5], cap);
            TestSupport::grab(form, QStringLiteral("StartUp-Registra-") + typed);
            click(form->slb[0]);
            QVERIFY(!form->slb[0]->Enabled());
            click(form->slb[1]);
        });
        QVERIFY(MainWindowSupport::startProgram(folder()));
        QVERIFY(shown);
        QVERIFY(DialogDriver::allRan());
    }

    void quit()
    {
        window()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!gKez);
        MainWindowSupport::closeMainWindow();
    }

private Q_SLOTS:
    void initTestCase() { MainWindowSupport::isolate(runtime); }
    void init() { MessageBoxSeam::clearAsked(); }
    void cleanup()
    {
        DialogDriver::cancelPending();
        MainWindowSupport::closeMainWindow();
        program.reset();
    }

    void firstStartRegistersTheUser_data()
    {
        QTest::addColumn<QString>("codFisc");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("fromList");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("sigla");
        QTest::addColumn<QString>("cap");   // what the row holds at the end
        // Other names begin with ROMA, so the list opens with Rome first.
        // Rome has many postal codes: none is proposed, the user types it.
        QTest::newRow("ROMA") << "RSSMRA80A01H501U" << "ROMA" << true << 58091 << "RM" << "00185";
        // Typed without its accent; its one postal code is proposed.
        QTest::newRow("CANTU") << "01234567897" << "CANTU" << false << 13041 << "CO" << "22063";
        QTest::newRow("FORLI") << "00743110157" << "FORLI" << true << 40012 << "FC" << "47121";
    }

    void firstStartRegistersTheUser()
    {
        QFETCH(QString, codFisc);
        QFETCH(QString, typed);
        QFETCH(bool, fromList);
        QFETCH(int, key);
        QFETCH(QString, sigla);
        QFETCH(QString, cap);
        installProgram();
        registerOnFirstStart(codFisc, typed, fromList, cap);
        QVERIFY2(MessageBoxSeam::asked().isEmpty(),
                 qPrintable(MessageBoxSeam::asked().value(0).text));

        DatabaseProbe db;
        QVERIFY(db.open(databasePath(), true));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM Setup")).toInt(), 1);
        QCOMPARE(db.scalar(QStringLiteral(
                               "SELECT codFisc || '|' || ragSoc || '|' || (prvIstat * 1000 + comIstat) "
                               "|| '|' || via || '|' || civico || '|' || cap FROM Setup"))
                     .toString(),
                 QStringLiteral("%1|IMBALLAGGI BIANCHI S.R.L.|%2|VIA GARIBALDI|12/A|%3")
                     .arg(codFisc)
                     .arg(key)
                     .arg(cap));
        QCOMPARE(db.scalar(QStringLiteral("SELECT prvSigla FROM Province, Setup "
                                          "WHERE Province.prvIstat = Setup.prvIstat"))
                     .toString(),
                 sigla);

        // The program is unlocked: sheets may be opened, no declaration yet.
        QCOMPARE(gKez->Utente, QStringLiteral("IMBALLAGGI BIANCHI S.R.L."));
        QCOMPARE(sideBarStates(), QStringLiteral("1000001"));
        QVERIFY(menu("mmPrint")->menuAction()->isEnabled());
        QVERIFY(menu("mmUtil")->menuAction()->isEnabled());
        QVERIFY(item("smu_0")->isEnabled());
        QVERIFY(menu("smu_10")->menuAction()->isEnabled());
        QVERIFY(menu("smu_11")->menuAction()->isEnabled());
        QVERIFY(!item("smi_10")->isEnabled());
        QVERIFY(Logo::instance());
        QCOMPARE(Logo::instance()->user(), QStringLiteral("IMBALLAGGI BIANCHI S.R.L."));
        QCOMPARE(modMain::currentForm, 100);
        QVERIFY(!QApplication::overrideCursor());
        TestSupport::grab(window(), QStringLiteral("StartUp-registered-") + typed);
    }

    void nextStartRemembers()
    {
        installProgram();
        registerOnFirstStart(QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("ROMA"), true,
                             QStringLiteral("00185"));
        // A declaration saved meanwhile is the current one when the user quits.
        {
            DatabaseProbe db;
            QVERIFY(db.open(databasePath()));
            QVERIFY(db.exec(QStringLiteral(
                "INSERT INTO SezAnag (codFisc, ragSoc, prvIstat, comIstat, via, civico) VALUES "
                "('01234567897', 'Cartotecnica Sud', 13, 41, 'Via Milano', '3')")));
        }
        gKez->Sa1ID = 1;
        gKez->CodiceFiscale = QStringLiteral("01234567897");
        gKez->consID = 4;
        quit();
        QCOMPARE(iniValue(QStringLiteral("Kez"), QStringLiteral("Sa1ID")), QStringLiteral("1"));

        MessageBoxSeam::clearAsked();
        bool formShown = false;
        DialogDriver::onNextDialog([&formShown](QWidget *dialog) {
            formShown = true;
            dialog->close();
        });
        QVERIFY(MainWindowSupport::startProgram(folder()));
        QVERIFY2(!formShown, "no dialog on a start with a registered user");
        DialogDriver::cancelPending();
        QVERIFY(MessageBoxSeam::asked().isEmpty());
        QCOMPARE(gKez->Utente, QStringLiteral("IMBALLAGGI BIANCHI S.R.L."));
        QCOMPARE(Logo::instance()->user(), QStringLiteral("IMBALLAGGI BIANCHI S.R.L."));
        QCOMPARE(gKez->Sa1ID, 1);
        QCOMPARE(gKez->CodiceFiscale, QStringLiteral("01234567897"));
        QCOMPARE(gKez->consID, 4);
        QCOMPARE(window()->declarationText(),
                 QStringLiteral("Cartotecnica Sud - U. L.: Via Milano 3 Cantù (CO)"));
        QCOMPARE(sideBarStates(), QStringLiteral("1111111"));
        QVERIFY(menu("mmPrint")->menuAction()->isEnabled());
        TestSupport::grab(window(), QStringLiteral("StartUp-second-start"));
    }

    void linkingAForeignFileIsRefused_data()
    {
        QTest::addColumn<QString>("content");   // "text", or SQL run by hand on a copy of a Kez file
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");      // empty: the database library's own words
        QTest::newRow("text file") << "text" << "Connessione database KEZ (" << "";
        QTest::newRow("a table dropped") << "DROP TABLE Config" << "Connessione database KEZ"
                                         << "manca la tabella Config";
        QTest::newRow("a trigger added")
            << "CREATE TRIGGER wipe AFTER UPDATE ON SezCons BEGIN DELETE FROM Ditte; END"
            << "Connessione database KEZ" << "il trigger 'wipe' sulla tabella SezCons";
    }

    void linkingAForeignFileIsRefused()
    {
        QFETCH(QString, content);
        QFETCH(QString, title);
        QFETCH(QString, text);
        installProgram();
        {
            DatabaseProbe db;
            QVERIFY(db.open(databasePath()));
            QVERIFY(db.exec(QStringLiteral(
                "INSERT INTO Setup (codFisc, ragSoc, prvIstat, comIstat) "
                "VALUES ('01234567897', 'Imballaggi Bianchi', 58, 91)")));
        }
        const QString foreign = folder() + QStringLiteral("Kez22imb-copia.db");
        if (content == QLatin1String("text")) {
            QFile file(foreign);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("Elenco clienti, non un archivio KEZ.\n").repeated(100));
        } else {
            QVERIFY(TestSupport::createDatabase(foreign, QString()));
            DatabaseProbe db;
            QVERIFY(db.open(foreign));
            QVERIFY(db.exec(content));
        }
        QVERIFY(MainWindowSupport::startProgram(folder()));
        const QString ini = readIni();
        MessageBoxSeam::clearAsked();

        bool shown = false;
        DialogDriver::onNextDialog([&](QWidget *dialog) {
            const PutAway guard{qobject_cast<QDialog *>(dialog)};
            auto *form = qobject_cast<Connetti *>(dialog);
            QVERIFY(form);
            shown = true;
            QCOMPARE(form->windowTitle(), QStringLiteral("Collega archivi"));
            QCOMPARE(form->slt[0]->Value().toString(), databasePath());
            QTRY_COMPARE(QApplication::focusWidget(), form->slb[0]);
            FileDialogSeam::pushFileName(foreign);
            click(form->slb[0]);
            QCOMPARE(form->slt[0]->Value().toString(), foreign);
            click(form->slb[2]);
            // Refused: the form stays for another choice.
            QVERIFY(form->isVisible());
            TestSupport::grab(form, QStringLiteral("StartUp-Connetti-refused"));
            click(form->slb[3]);
        });
        item("smu_21")->trigger();
        QVERIFY(shown);
        QVERIFY(DialogDriver::allRan());

        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        const MessageBoxSeam::Asked box = MessageBoxSeam::asked().first();
        QCOMPARE(box.style, 16);
        QVERIFY2(box.title.startsWith(title), qPrintable(box.title));
        QVERIFY2(box.text.contains(text), qPrintable(box.text));
        // Nothing changed: the same file is open and remembered, the user
        // still registered.
        QVERIFY(gDb->kezDbOpened());
        QCOMPARE(gDb->kezDbFilename, databasePath());
        QCOMPARE(gKez->Utente, QStringLiteral("Imballaggi Bianchi"));
        QCOMPARE(sideBarStates(), QStringLiteral("1000001"));
        QCOMPARE(readIni(), ini);
    }
};

QTEST_MAIN(tst_StartUp)
#include "tst_StartUp.moc"
