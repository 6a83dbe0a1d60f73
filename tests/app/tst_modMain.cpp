#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

#include "Logo.h"
#include "DialogDriver.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "UnloadQuery.h"
#include "slxGrid.h"

using modMain::gDb;
using modMain::gKez;

namespace {

// A sheet as the program's sheets behave: it registers on load, asks
// before losing changes when the user closes it, and brings the splash
// back when it goes.
class TestSheet : public QWidget, public UnloadQuery
{
public:
    explicit TestSheet(int code)
    {
        modMain::currentForm = code;
        modMain::formLoaded(this);
    }
    ~TestSheet() override { modMain::showLogo(); }
    bool changed = true;

protected:
    QWidget *unloadScope() override { return this; }
    bool hasChanges() const override { return changed; }
    QString unloadPrompt() const override { return QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?"); }
    bool saveChanges() override { return true; }
    void closeEvent(QCloseEvent *event) override { event->setAccepted(queryUnload(Asker::Close)); }
};

} // namespace

// The editable grid, recording what the wheel hook hands it: the hook calls
// mouseWheel by name, so this one is the one called.
class WheelGrid : public slxGrid
{
    Q_OBJECT
public:
    using slxGrid::slxGrid;
    QList<int> rotations;
    Q_INVOKABLE void mouseWheel(int Rotation) { rotations.append(Rotation); }
};

// The shell's shared rules: which windows a sheet or dialog replaces, the
// lookups, the waste-code filter, the chamber-of-commerce notices, the
// wheel reaching the focused grid, and the start-up road on real files.
class tst_modMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void checkProvinciaCCIAA_data();
    void checkProvinciaCCIAA();
    void lookupsTakeAnyText();
    void isRifiutoSelezionabile_data();
    void isRifiutoSelezionabile();
    void sameSheetTwiceDoesNothing();
    void dialogOverSplashClosesNothing();
    void dialogOverSheetAsksForItsChanges();
    void sheetReplacesSplash();
    void userClosingSheetBringsSplashBack();
    void wheelReachesFocusedGrid();
    void childIsCentredInMainWindow();
    void startWithoutIni();
    void startWithUnusableFile_data();
    void startWithUnusableFile();
    void startRestoresDeclaration_data();
    void startRestoresDeclaration();
    void startWithoutRegisteredUser();
    void secondCopyEndsWithoutWriting();

private:
    void startMainWindow();
    void stopMainWindow();
    std::unique_ptr<ShellFixture> m_fx;
    QTemporaryDir m_runtime;
};

void tst_modMain::initTestCase()
{
    // Each test program is its own single copy of Kez.
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    qputenv("TMPDIR", m_runtime.path().toLocal8Bit());
    TestSupport::scriptDialogs();
}

void tst_modMain::init()
{
    MessageBoxSeam::clearAsked();
    m_fx = std::make_unique<ShellFixture>();
}

void tst_modMain::cleanup()
{
    stopMainWindow();
    m_fx.reset();
    modMain::filtroRifiutoLen = 0;
}

void tst_modMain::startMainWindow()
{
    m_fx->prepareFolder(ShellFixture::lookupRows());
    QVERIFY(MainWindowSupport::startProgram(m_fx->folder()));
    QVERIFY(modMain::gMain);
    QCOMPARE(modMain::currentForm, 100);
    MessageBoxSeam::clearAsked();
}

void tst_modMain::stopMainWindow()
{
    MainWindowSupport::closeMainWindow();
}

void tst_modMain::checkProvinciaCCIAA_data()
{
    QTest::addColumn<QVariant>("sigla");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("compSigla");
    QTest::addColumn<QString>("compDesc");
    QTest::addColumn<QString>("notice");

    QTest::newRow("own chamber") << QVariant("MI") << 15 << "MI" << "MILANO" << "";
    QTest::newRow("Belluno") << QVariant("BL") << 25 << "BL" << "BELLUNO"
                             << "Attenzione, la CCIAA di competenza per il comune di SAPPADA è UDINE.";
    QTest::newRow("other chamber") << QVariant("MB") << 15 << "MI" << "MILANO"
                                   << "Attenzione, la CCIAA di competenza per MONZA E DELLA BRIANZA "
                                      "è: MILANO.";
    QTest::newRow("BT") << QVariant("BT") << 72 << "BA" << "BARI"
                        << "Attenzione, la CCIAA di competenza per BARLETTA-ANDRIA-TRANI è: BARI.\n"
                           "(ad eccezione di Margherita di Savoia, San Ferdinando di Puglia e "
                           "Trinitapoli\nper i quali la CCIAA di competenza è FOGGIA)";
    QTest::newRow("SU") << QVariant("SU") << 92 << "CA" << "CAGLIARI"
                        << "Attenzione, la CCIAA di competenza per SUD SARDEGNA è: CAGLIARI.\nad "
                           "eccezione dei comuni di ESCALAPLANO, ESCOLCA, ESTERZILI, GENONI, GERGEI, "
                           "ISILI, NURAGUS, NURALLAO, NURRI, ORROLI, SADALI, SERRI, SEUI, SEULO, "
                           "VILLANOVA TULO per i quali la CCIAA di competenza è NUORO.";
    QTest::newRow("unknown") << QVariant("ZZ") << 0 << "prima" << "prima"
                             << "Attenzione, sigla provincia digitata errata!";
    QTest::newRow("quote") << QVariant("M'") << 0 << "prima" << "prima"
                           << "Attenzione, sigla provincia digitata errata!";
    QTest::newRow("null") << QVariant() << 0 << "prima" << "prima"
                          << "Attenzione, sigla provincia digitata errata!";
}

void tst_modMain::checkProvinciaCCIAA()
{
    QFETCH(QVariant, sigla);
    QFETCH(int, result);
    QFETCH(QString, compSigla);
    QFETCH(QString, compDesc);
    QFETCH(QString, notice);
    QVERIFY(m_fx->openDatabase(ShellFixture::lookupRows()));

    QString gotSigla = QStringLiteral("prima");
    QString gotDesc = QStringLiteral("prima");
    QCOMPARE(modMain::checkProvinciaCCIAA(sigla, gotSigla, gotDesc), result);
    QCOMPARE(gotSigla, compSigla);
    QCOMPARE(gotDesc, compDesc);
    const auto asked = MessageBoxSeam::asked();
    if (notice.isEmpty()) {
        QVERIFY(asked.isEmpty());
    } else {
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().text, notice);
        QCOMPARE(asked.first().style, 64);
    }
}

void tst_modMain::lookupsTakeAnyText()
{
    QVERIFY(m_fx->openDatabase(ShellFixture::lookupRows()));
    QVERIFY(modMain::existsAttEco(QStringLiteral("10.11")));
    QVERIFY(modMain::existsAttEco(QStringLiteral("L'ATT")));
    QVERIFY(!modMain::existsAttEco(QStringLiteral("x' OR '1'='1")));
    QVERIFY(modMain::existsRegCE(QStringLiteral("gb040")));
    QVERIFY(!modMain::existsRegCE(QStringLiteral("GB04'")));
    QVERIFY(!gDb->listRs.isOpen());
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_modMain::isRifiutoSelezionabile_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("selectable");
    QTest::newRow("default, chapter") << 0 << "150000" << false;
    QTest::newRow("default, sub-chapter") << 0 << "150100" << false;
    QTest::newRow("default, code") << 0 << "150104" << true;
    QTest::newRow("2, chapter") << 2 << "150000" << false;
    QTest::newRow("2, sub-chapter") << 2 << "150100" << true;
    QTest::newRow("4, chapter") << 4 << "150000" << true;
}

void tst_modMain::isRifiutoSelezionabile()
{
    QFETCH(int, filter);
    QFETCH(QString, code);
    QFETCH(bool, selectable);
    m_fx->startGlobals();
    modMain::filtroRifiutoLen = filter;
    QCOMPARE(modMain::isRifiutoSelezionabile(code, true), selectable);
    QVERIFY(MessageBoxSeam::asked().isEmpty());
    QCOMPARE(modMain::isRifiutoSelezionabile(code, false), selectable);
    if (selectable) {
        QVERIFY(MessageBoxSeam::asked().isEmpty());
    } else {
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        QCOMPARE(MessageBoxSeam::asked().first().text,
                 QStringLiteral("Attenzione, codice rifiuto non selezionabile: ") + code);
        QCOMPARE(MessageBoxSeam::asked().first().style, 64);
    }
}

void tst_modMain::sameSheetTwiceDoesNothing()
{
    startMainWindow();
    QPointer<TestSheet> sheet;
    QVERIFY(modMain::closeChildForms(1));
    sheet = new TestSheet(1);
    modMain::gMain->showChild(sheet);
    QVERIFY(!modMain::closeChildForms(1));
    QVERIFY(sheet);
    QCOMPARE(modMain::loadedForms(), QList<QWidget *>{sheet.data()});
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_modMain::dialogOverSplashClosesNothing()
{
    startMainWindow();
    Logo *logo = Logo::instance();
    QVERIFY(logo);
    QVERIFY(modMain::closeChildForms(105));
    QCOMPARE(Logo::instance(), logo);
    QCOMPARE(modMain::loadedForms().size(), 1);
}

void tst_modMain::dialogOverSheetAsksForItsChanges()
{
    startMainWindow();
    QPointer<TestSheet> sheet;
    QVERIFY(modMain::closeChildForms(4));
    QVERIFY(!Logo::instance());
    sheet = new TestSheet(4);
    modMain::gMain->showChild(sheet);
    // Cancel keeps the sheet, and the dialog must not open.
    MessageBoxSeam::pushAnswer(MessageBoxSeam::vbCancel);
    QVERIFY(!modMain::closeChildForms(107));
    QVERIFY(sheet);
    QCOMPARE(modMain::currentForm, 4);
    QCOMPARE(modMain::loadedForms(), QList<QWidget *>{sheet.data()});
    QVERIFY(!Logo::instance());
    MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
    QVERIFY(modMain::closeChildForms(107));
    QVERIFY(!sheet);
    QCOMPARE(MessageBoxSeam::asked().size(), 2);
    // The splash stands behind the dialog again.
    QVERIFY(Logo::instance());
    QCOMPARE(modMain::currentForm, 100);
    QVERIFY(modMain::closeRound == modMain::CloseRound::None);
    TestSupport::grab(modMain::gMain, QStringLiteral("shell-splash-after-dialog"));
}

void tst_modMain::sheetReplacesSplash()
{
    startMainWindow();
    QPointer<TestSheet> first;
    QVERIFY(modMain::closeChildForms(1));
    first = new TestSheet(1);
    first->changed = false;
    modMain::gMain->showChild(first);
    QVERIFY(modMain::closeChildForms(2));
    QVERIFY(!first);
    QVERIFY(!Logo::instance());
    QVERIFY(modMain::loadedForms().isEmpty());
    modMain::gMain->showChild(new TestSheet(2));
    QCOMPARE(modMain::currentForm, 2);
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_modMain::userClosingSheetBringsSplashBack()
{
    startMainWindow();
    QPointer<TestSheet> sheet;
    QVERIFY(modMain::closeChildForms(3));
    sheet = new TestSheet(3);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *frame = modMain::gMain->showChild(sheet);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!sheet);
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
    QCOMPARE(MessageBoxSeam::asked().first().style, 35);
    QVERIFY(Logo::instance());
    QCOMPARE(modMain::currentForm, 100);
}

void tst_modMain::wheelReachesFocusedGrid()
{
    m_fx->startGlobals();
    QWidget window;
    auto *grid = new WheelGrid(&window);
    auto *inner = new QWidget(grid);
    inner->setFocusPolicy(Qt::StrongFocus);
    auto *other = new QWidget(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    other->move(0, 50);
    window.show();
    QApplication::setActiveWindow(&window);
    modMain::hookWheel(&window);

    auto turn = [&](QWidget *target, int delta) {
        QWheelEvent event(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(target, &event);
    };
    inner->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), inner);
    turn(inner, -120);
    QCOMPARE(grid->rotations.size(), 1);
    QVERIFY(grid->rotations.first() <= 0);
    QCOMPARE(grid->rotations.first() & 0xFFFF, 0x8);   // Ctrl in the key state

    other->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), other);
    turn(other, 120);
    QCOMPARE(grid->rotations.size(), 1);

    modMain::unhookWheel(&window);
    inner->setFocus();
    turn(inner, 120);
    QCOMPARE(grid->rotations.size(), 1);
}

void tst_modMain::childIsCentredInMainWindow()
{
    startMainWindow();
    auto *child = new QWidget;
    QMdiSubWindow *frame = modMain::gMain->showChild(child);
    frame->resize(300, 200);
    modFunz::centerForm(child);
    const QSize area = modMain::gMain->mdiArea()->viewport()->size();
    QCOMPARE(frame->pos(), QPoint((area.width() - 300) / 2, (area.height() - 200) / 2));
}

void tst_modMain::startWithoutIni()
{
    // The database chooser comes up; the user closes it.
    DialogDriver::closeNextDialog();
    QVERIFY(MainWindowSupport::startProgram(m_fx->folder()));
    QVERIFY(modMain::gMain);
    QVERIFY(!gDb->kezDbOpened());
    QVERIFY(gKez->Utente.isEmpty());
    QCOMPARE(gKez->Sa1ID, 0);
    QVERIFY(MessageBoxSeam::asked().isEmpty());
    QVERIFY(!QApplication::overrideCursor());
    TestSupport::grab(modMain::gMain, QStringLiteral("shell-start-without-ini"));
}

void tst_modMain::startWithUnusableFile_data()
{
    QTest::addColumn<QString>("content");   // empty = missing; "sqlite" = no Setup table
    QTest::newRow("missing file") << "";
    QTest::newRow("not a database") << "[Kez]\nSa1ID=7\n";
    QTest::newRow("another program's database") << "sqlite";
}

void tst_modMain::startWithUnusableFile()
{
    QFETCH(QString, content);
    const QString path = m_fx->folder() + QStringLiteral("Kez22imb.db");
    QString title = QStringLiteral("Connessione database KEZ (");
    if (content == QLatin1String("sqlite")) {
        QVERIFY(TestSupport::createDatabase(path, QStringLiteral("DROP TABLE Setup;")));
        title = QStringLiteral("Connessione database KEZ");
    } else if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content.toUtf8());
    }
    m_fx->writeIni(QStringLiteral("[PATH]\nkez2021=") + path + QStringLiteral("\n[Kez]\nSa1ID=7\n"));
    DialogDriver::closeNextDialog();
    QVERIFY(MainWindowSupport::startProgram(m_fx->folder()));
    QVERIFY(!gDb->kezDbOpened());
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
    QVERIFY(MessageBoxSeam::asked().first().title.startsWith(title));
    QCOMPARE(MessageBoxSeam::asked().first().style, 16);
    QCOMPARE(gKez->Sa1ID, 0);
    if (content.isEmpty())
        QVERIFY(!QFile::exists(path));
}

void tst_modMain::startRestoresDeclaration_data()
{
    QTest::addColumn<int>("remembered");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("consID");
    QTest::addColumn<QString>("codFisc");
    QTest::addColumn<QString>("status");
    QTest::newRow("declaration") << 7 << 7 << 31 << "RSSMRA80A01H501U"
                                 << "Rossi Imballaggi - U. L.: Via Appia 12 ROMA (RM)";
    QTest::newRow("municipality missing") << 8 << 8 << 31 << "12345678903"
                                          << "Ditta Senza Comune - U. L.: Via Nuova 3  (MI)";
    QTest::newRow("deleted") << 99 << 0 << 0 << "" << "";
}

void tst_modMain::startRestoresDeclaration()
{
    QFETCH(int, remembered);
    QFETCH(int, current);
    QFETCH(int, consID);
    QFETCH(QString, codFisc);
    QFETCH(QString, status);
    m_fx->prepareFolder(ShellFixture::lookupRows(),
                        QStringLiteral("[Kez]\nSa1ID=%1\nRifID=2\nIntID=3\nConsID=31\n"
                                       "FiltroRifiuto=ab\n")
                            .arg(remembered));
    QVERIFY(MainWindowSupport::startProgram(m_fx->folder()));
    QVERIFY(gDb->kezDbOpened());
    QCOMPARE(gKez->Utente, QStringLiteral("Studio Rossi"));
    QCOMPARE(Logo::instance()->user(), QStringLiteral("Studio Rossi"));
    QCOMPARE(gKez->Sa1ID, current);
    QCOMPARE(gKez->consID, consID);
    QCOMPARE(gKez->CodiceFiscale, codFisc);
    QCOMPARE(modMain::gMain->declarationText(), status);
    QCOMPARE(modMain::filtroRifiutoLen, 2);
    QVERIFY(MessageBoxSeam::asked().isEmpty());

    // Quitting writes back what is current now.
    modMain::gMain->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!gKez);
    QVERIFY(m_fx->readIni().contains(QStringLiteral("Sa1ID=%1").arg(current)));
}

void tst_modMain::startWithoutRegisteredUser()
{
    m_fx->prepareFolder(QString(), QStringLiteral("[Kez]\nSa1ID=7\n"));
    // The user-data form comes up; the user closes it without registering.
    DialogDriver::closeNextDialog();
    QVERIFY(MainWindowSupport::startProgram(m_fx->folder()));
    QVERIFY(gDb->kezDbOpened());
    QVERIFY(gKez->Utente.isEmpty());
    // Nothing of a declaration is restored for an unregistered user.
    QCOMPARE(gKez->Sa1ID, 0);
}

void tst_modMain::secondCopyEndsWithoutWriting()
{
    // Two real copies of the program, each from a folder of its own copy of
    // the executable, both in this test's runtime folder.
    const QString program = m_fx->folder() + QStringLiteral("kez");
    QVERIFY(QFile::copy(QStringLiteral(KEZ_BIN_DIR "/kez"), program));
    m_fx->prepareFolder(ShellFixture::lookupRows(), QStringLiteral("[Kez]\nSa1ID=7\nConsID=3\n"));
    const QString before = m_fx->readIni();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, QStringList());
    QVERIFY(first.waitForStarted());
    // The first copy holds its lock once its window is up.
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(m_runtime.path()).entryList({QStringLiteral("*.lock")}).isEmpty(),
                             10000);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, QStringList());
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(m_fx->readIni(), before);

    first.kill();
    first.waitForFinished();
}

QTEST_MAIN(tst_modMain)
#include "tst_modMain.moc"
