#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QtTest>

#include <memory>

#include "Logo.h"
#include "MainWindowSupport.h"
#include "MainWindowTestCase.h"
#include "DialogDriver.h"
#include "MessageBoxSeam.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modMain.h"
#include "tbButton.h"
#include "vBar.h"

using modMain::gDb;
using modMain::gKez;

// The main window as the user finds it: its title, menus and side bar,
// which of them can be used in each state of registration, declaration
// and previous-year connection, and the splash inside it.
class tst_mainForm : public MainWindowTestCase
{
    Q_OBJECT

    void start(const QString &moreIni = QString())
    {
        QVERIFY(startProgram(ShellFixture::lookupRows(), moreIni));
        QVERIFY(modMain::gMain);
    }
    mainForm *window() const { return modMain::gMain; }
    QAction *item(const char *name) const
    {
        return window()->findChild<QAction *>(QLatin1String(name));
    }
    QMenu *menu(const char *name) const { return window()->findChild<QMenu *>(QLatin1String(name)); }
    static QString sideBarStates() { return MainWindowSupport::sideBarStates(); }

private Q_SLOTS:
    void titleMenusAndSideBar()
    {
        start();
        QCOMPARE(window()->windowTitle(), QStringLiteral("Kez 2022"));
        QStringList bar;
        for (QAction *a : window()->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, (QStringList{"         Chiudi         ", "&Utilità", "Stam&pe", "&?"}));

        const QList<QPair<const char *, const char *>> items = {
            {"smu_0", "&Verifica dati inseriti"},
            {"smu_20", "&Registra utente"},
            {"smu_21", "&Collega archivi"},
            {"sme_0", "&Lista delle esportazioni effettuate"},
            {"sme_2", "&Estrazione delle dichiarazioni"},
            {"smi_0", "&Dichiarazioni KEZ anno corrente"},
            {"smi_10", "&Anagrafiche anno precedente"},
            {"smp_0", "&Dichiarazione"},
            {"smp_10", "Elenco dichiarazioni"},
            {"smh_3", "&Informazioni su..."}};
        for (const auto &entry : items) {
            QVERIFY2(item(entry.first), entry.first);
            QCOMPARE(item(entry.first)->text(), QString::fromUtf8(entry.second));
        }
        QCOMPARE(menu("smu_10")->title(), QStringLiteral("&Esportazioni"));
        QCOMPARE(menu("smu_11")->title(), QStringLiteral("&Importazioni"));
        QCOMPARE(menu("mmUtil")->actions().size(), 7);   // two separators

        vBar *side = window()->sideBar();
        QCOMPARE(side->menuCount(), 1);
        QCOMPARE(side->menuHeader(1)->Caption(), QStringLiteral("Menu"));
        QCOMPARE(side->menuHeader(1)->toolTip(), QStringLiteral("Menu schede"));
        const QStringList captions = {"Scheda SA1", "Sez. CONS", "Scheda SBOP", "Scheda SMAT",
                                      "Scheda SRIU", "Scheda STIP", "Chiudi"};
        const QStringList tips = {"Scheda anagrafica",
                                  "Consorzi per il recupero e il riciclaggio",
                                  "Immissione sul mercato borse plastica",
                                  "Imballaggi immessi sul mercato dal distributore",
                                  "Riutilizzo imballaggi a livello nazionale",
                                  "Tipologie",
                                  "Chiusura del programma"};
        QCOMPARE(side->buttonCount(), 7);
        for (int i = 1; i <= 7; ++i) {
            QCOMPARE(side->button(i)->Caption(), captions[i - 1]);
            QCOMPARE(side->button(i)->toolTip(), tips[i - 1]);
            QVERIFY(side->button(i)->isVisible());
            QVERIFY(!side->button(i)->Picture().isNull());
        }
        QVERIFY(!window()->imgMenu(7).isNull());
        QVERIFY(window()->imgMenu(8).isNull());
        QVERIFY(!window()->img16(19).isNull());
        QVERIFY(window()->img16(0).isNull());
    }

    void abilitaMenu_data()
    {
        QTest::addColumn<QString>("utente");
        QTest::addColumn<int>("sa1ID");
        QTest::addColumn<bool>("previousYear");
        QTest::addColumn<QString>("sideBar");
        QTest::addColumn<bool>("utilities");
        QTest::addColumn<bool>("prints");
        QTest::addColumn<bool>("previousYearItem");
        QTest::newRow("no registration") << "" << 0 << false << "0000001" << false << false << false;
        QTest::newRow("no registration, stale declaration")
            << "" << 7 << true << "0000001" << false << false << false;
        QTest::newRow("registered, no declaration")
            << "Studio Rossi" << 0 << false << "1000001" << true << true << false;
        QTest::newRow("declaration current")
            << "Studio Rossi" << 7 << false << "1111111" << true << true << false;
        QTest::newRow("previous year connected")
            << "Studio Rossi" << 0 << true << "1000001" << true << true << true;
    }

    void abilitaMenu()
    {
        QFETCH(QString, utente);
        QFETCH(int, sa1ID);
        QFETCH(bool, previousYear);
        QFETCH(QString, sideBar);
        QFETCH(bool, utilities);
        QFETCH(bool, prints);
        QFETCH(bool, previousYearItem);
        const QString old = previousYear ? fx->createDatabase(QStringLiteral("Kez21imb.db")) : QString();
        start(previousYear ? QStringLiteral("kez2020=") + old + QLatin1Char('\n') : QString());
        QCOMPARE(gDb->oldDbOpened(), previousYear);
        gKez->Utente = utente;
        gKez->Sa1ID = sa1ID;
        window()->abilitaMenu();

        QCOMPARE(sideBarStates(), sideBar);
        QCOMPARE(item("smu_0")->isEnabled(), utilities);
        QCOMPARE(menu("smu_10")->menuAction()->isEnabled(), utilities);
        QCOMPARE(menu("smu_11")->menuAction()->isEnabled(), utilities);
        QCOMPARE(menu("mmPrint")->menuAction()->isEnabled(), prints);
        QCOMPARE(item("smi_10")->isEnabled(), previousYearItem);
        // Quitting, the about box and the way to register or link other
        // files are always there.
        QVERIFY(item("mmExit")->isEnabled());
        QVERIFY(menu("mmInfo")->menuAction()->isEnabled());
        QVERIFY(menu("mmUtil")->menuAction()->isEnabled());
        QVERIFY(item("smu_20")->isEnabled());
        QVERIFY(item("smu_21")->isEnabled());
    }

    void registeringAgainUnlocks()
    {
        start();
        QCOMPARE(sideBarStates(), QStringLiteral("1000001"));
        // Linking files whose user was never registered locks the window...
        gKez->Utente.clear();
        window()->abilitaMenu();
        QCOMPARE(sideBarStates(), QStringLiteral("0000001"));
        QVERIFY(!menu("mmPrint")->menuAction()->isEnabled());
        // ...and registering there unlocks it at once.
        gKez->Utente = QStringLiteral("Studio Rossi");
        gKez->Sa1ID = 7;
        window()->abilitaMenu();
        QCOMPARE(sideBarStates(), QStringLiteral("1111111"));
        QVERIFY(menu("mmPrint")->menuAction()->isEnabled());
        QVERIFY(item("smu_0")->isEnabled());
    }

    void noDatabaseLeavesOnlyQuitAndInfo()
    {
        fx->writeIni(QStringLiteral("[PATH]\nkez2021=\n"));
        MessageBoxSeam::clearAsked();
        DialogDriver::closeNextDialog();
        QVERIFY(MainWindowSupport::startProgram(fx->folder()));
        QVERIFY(!gDb->kezDbOpened());
        QCOMPARE(sideBarStates(), QStringLiteral("0000001"));
        QVERIFY(!item("smu_20")->isEnabled());
        QVERIFY(item("smu_21")->isEnabled());
        QVERIFY(!menu("mmPrint")->menuAction()->isEnabled());
    }

    void statusBarShowsDeclaration_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("street");
        QTest::newRow("as stored") << "" << "Via Appia";
        QTest::newRow("street of 1000 letters typed in the file")
            << "UPDATE SezAnag SET via = printf('%.1000c', 'A') WHERE saID = 7;" << QString(1000, u'A');
    }

    // No text widens the window: the registry sheet opens in sight, and
    // the status bar cuts what does not fit, whole in its tooltip.
    void statusBarShowsDeclaration()
    {
        QFETCH(QString, edit);
        QFETCH(QString, street);
        QVERIFY(startProgram(ShellFixture::lookupRows() + edit, QStringLiteral("[Kez]\nSa1ID=7\n")));
        const QString whole = QStringLiteral("Rossi Imballaggi - U. L.: ") + street + QStringLiteral(" 12 ROMA (RM)");
        QCOMPARE(window()->declarationText(), whole);
        QVERIFY(showMainWindow(QSize(1000, 680)));
        QTest::mouseClick(window()->sideBar()->button(1), Qt::LeftButton);
        QTRY_COMPARE(modMain::currentForm, 1);
        TestSupport::grab(window(), QStringLiteral("mainForm-status-") + QTest::currentDataTag());
        QCOMPARE(window()->size(), QSize(1000, 680));
        QVERIFY(window()->minimumSizeHint().width() < 1000);
        const QList<QLabel *> panels = window()->statusBar()->findChildren<QLabel *>();
        QVERIFY(std::any_of(panels.begin(), panels.end(), [&](QLabel *l) { return l->toolTip() == whole; }));
    }

    void aboutBoxFromTheMenu()
    {
        start();
        QString title;
        QTimer::singleShot(0, this, [&title] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                title = box->windowTitle();
                box->close();
            }
        });
        item("smh_3")->trigger();
        QCOMPARE(title, QStringLiteral("Informazioni su KEZ  2022"));
        // Indexes the menu does not name do nothing.
        window()->smh_Click(0);
        window()->smu_Click(5);
    }

    void sideBarCloseQuits()
    {
        start();
        QPointer<mainForm> w = window();
        QTest::mouseClick(w->sideBar()->button(7), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w);
        QVERIFY(!gKez);
        QVERIFY(!Logo::instance());
    }

    void sameSheetButtonTwiceDoesNothing()
    {
        start();
        modMain::currentForm = 1;   // as the registry sheet sets on load
        QPointer<Logo> splash = Logo::instance();
        QTest::mouseClick(window()->sideBar()->button(1), Qt::LeftButton);
        QVERIFY(splash);
        QCOMPARE(modMain::currentForm, 1);
    }

    // Whatever a sheet button or the export list opens, the main window
    // shows a window afterwards: the sheet, or the splash when there is
    // nothing to open.
    void sheetButtonsNeverLeaveTheWindowEmpty()
    {
        start(QStringLiteral("[Kez]\nSa1ID=7\n"));
        QCOMPARE(sideBarStates(), QStringLiteral("1111111"));
        const auto somethingShown = [this] {
            for (QMdiSubWindow *frame : window()->mdiArea()->subWindowList())
                if (frame->isVisible())
                    return true;
            return false;
        };
        for (int button = 1; button <= 6; ++button) {
            QTest::mouseClick(window()->sideBar()->button(button), Qt::LeftButton);
            QCoreApplication::processEvents();
            QVERIFY2(somethingShown(), qPrintable(QStringLiteral("button %1").arg(button)));
            QVERIFY(modMain::currentForm != 0);
        }
        window()->sme_Click(0);
        QCoreApplication::processEvents();
        QVERIFY(somethingShown());
        QVERIFY(modMain::currentForm != 0);
    }

    void pictureWithSplash()
    {
        start(QStringLiteral("[Kez]\nSa1ID=7\n"));
        window()->resize(1000, 680);
        window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
        QTRY_VERIFY(Logo::instance() && Logo::instance()->isVisible());
        const QString path = TestSupport::grab(window(), QStringLiteral("mainForm-splash"));
        QVERIFY(QFile::exists(path));
        tbButton *cons = window()->sideBar()->button(2);
        QCursor::setPos(cons->mapToGlobal(QPoint(20, 20)));
        QTest::mouseMove(cons, QPoint(20, 20));
        QCOMPARE(cons->edge(), 4);
        TestSupport::grab(window()->sideBar(), QStringLiteral("mainForm-sidebar-hover"));
        gKez->Utente.clear();
        window()->abilitaMenu();
        QCOMPARE(cons->edge(), 0);
        TestSupport::grab(window()->sideBar(), QStringLiteral("mainForm-sidebar-locked"));
        // The splash stays centred when the window grows.
        window()->resize(1200, 800);
        QCoreApplication::processEvents();
        QWidget *frame = Logo::instance()->parentWidget();
        const QSize client = window()->mdiArea()->viewport()->size();
        QCOMPARE(frame->x(), (client.width() - frame->width()) / 2);
        QCOMPARE(frame->y(), (client.height() - frame->height()) / 2);
    }
};

QTEST_MAIN(tst_mainForm)
#include "tst_mainForm.moc"
