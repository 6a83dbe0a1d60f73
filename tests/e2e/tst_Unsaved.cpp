#include <QAction>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include "DialogDriver.h"
#include "MessageBoxSeam.h"
#include "ModFrame.h"
#include "ModuleTestCase.h"
#include "SK_CONS.h"
#include "SessionRequest.h"
#include "SheetFrame.h"
#include "modalClass.h"
#include "Connection.h"
#include "dbClass.h"
#include "TestSupport.h"
#include "hNav.h"
#include "tbButton.h"
#include "mainForm.h"
#include "slxButton.h"
#include "slxGrid.h"
#include "slxText.h"
#include "modMain.h"

using MessageBoxSeam::vbCancel;
using MessageBoxSeam::vbNo;
using MessageBoxSeam::vbYes;

namespace {

// Declaration 7 complete, with a stored module and a SMAT card, so that
// each form's save has nothing to refuse.
const char *const complete =
    "UPDATE SezAnag SET attIstat = '381100', Addetti = 3, Mesi = 12, cap = '00118', slPrvIstat = 58, "
    "slComIstat = 91, slVia = 'VIA APPIA', saCognome = 'ROSSI', saNome = 'MARIO', "
    "saDataComp = '2022-01-10' WHERE saID = 7;\n"
    "INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, "
    "mdcQta, mdcUmi, mdcAtt, mdcSup) VALUES "
    "(1, 1, 1, '00743110157', 'ARCO SPA', 58, 91, 'VIA TUSCOLANA', '5', '00118', 100, 1, '381100', 1);\n"
    "INSERT INTO skMat (skmID, saID, codFisc, ragSoc) VALUES (1, 7, '00743110157', 'ARCO SPA');\n"
    "INSERT INTO RecMat (skmID, skmTipo, qtaProdVuoti) VALUES (1, 101, 10);\n";

enum Form { Registry, Card, Module, Consortia, UserData, Destination, Foreign, TwoModules, TwoDestinations, TwoSheets };
enum Way { SideBar, PrintMenu, UtilityMenu, Quit, Esc, MenuChiudi, SessionSave, Previous, Moved, SavedMoved, Minimised, Maximised };

// The other modules some stories open on: a destination module holding 5
// Kg of R1, the origin module of a foreign subject, a second origin module
// in t; two foreign destination modules with 7 Kg and 5 t of R1 (the
// countries listed up to Giordania, after Germania); a second
// consortia sheet in t.
const char *const moduleRows[] = {
    "INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, "
    "mdcQta, mdcUmi, mdcAtt) VALUES (2, 1, 2, '00743110157', 'ARCO SPA', 58, 91, 'VIA TUSCOLANA', '5', "
    "'00118', 100, 1, '381100');\n"
    "INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta, Umi) VALUES (2, 1, 'R1', 50000, 1);\n",
    "UPDATE ModCons SET codFisc = NULL, prvIstat = 0, comIstat = 0, cap = NULL, nazID = 40;\n",
    "INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, "
    "mdcQta, mdcUmi, mdcAtt, mdcSup) SELECT 2, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, "
    "'VIA OSTIENSE', civico, cap, mdcQta, 2, mdcAtt, mdcSup FROM ModCons;\n",
    "INSERT INTO ModCons (mdcID, scID, mdcTipo, ragSoc, via, nazID, mdcQta, mdcUmi) VALUES "
    "(2, 1, 2, 'ARCO SA', 'RUE X', 250, 70000, 1), (3, 1, 2, 'ARCO GMBH', 'STRASSE Y', 276, 50000, 2);\n"
    "INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta, Umi) VALUES (2, 1, 'R1', 70000, 1), (3, 1, 'R1', 50000, 2);\n"
    "INSERT INTO Nazioni (nazID, nazDesc) VALUES (400, 'GIORDANIA');\n",
    "INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES ('150102', 'imballaggi in plastica', '');\n"
    "INSERT INTO SezCons (scID, saID, rifCod, scQta, scUmi) VALUES (2, 7, '150102', 30000, 2);\n",
};

struct Edit
{
    const char *field;
    const char *query;
};

// The field each form's story changes, and where its value is stored.
const Edit edits[] = {
    {"slt_4", "SELECT via FROM SezAnag WHERE saID = 7"},
    {"slt_1", "SELECT ragSoc FROM skMat WHERE skmID = 1"},
    {"slt_3", "SELECT via FROM ModCons WHERE mdcID = 1"},
    {"slt_2", "SELECT scQta FROM SezCons WHERE scID = 1"},
    {"slt_3", "SELECT via FROM Setup"},
};

// The session manager letting the clerk answer.
class AskingSession : public SessionRequest
{
public:
    bool allowsInteraction() override { return true; }
    void cancel() override { cancelled = true; }
    void release() override {}
    bool cancelled = false;
};

} // namespace

// A clerk with unsaved changes who turns to another window or quits: the
// form asks its own question, and the answer decides what is stored and
// whether the other window opens.
class tst_Unsaved : public ModuleTestCase
{
    Q_OBJECT

    QWidget *openForm(int form)
    {
        const QString rows = QString::fromUtf8(complete)
            + (form >= Destination ? QString::fromUtf8(moduleRows[form - Destination]) : QString());
        if (form == Module || (form >= Destination && form != TwoSheets))
            return openModules(form == Destination || form == TwoDestinations ? 32 : 31, rows);
        if (!startProgram(fixtureRows() + rows,
                          QStringLiteral("[Kez]\nSa1ID=7\nConsID=1\n"))
            || !showMainWindow(QSize(1000, 720)))
            return nullptr;
        modMain::gMain->vBar1_Click(form == Registry ? 1 : form == Card ? 4 : 2, false);
        QCoreApplication::processEvents();
        askedTexts();
        return modMain::loadedForms().value(0);
    }

    static QAction *menuItem(const char *name)
    {
        return modMain::gMain->findChild<QAction *>(QLatin1String(name));
    }

    // The clerk turns to another window, or quits, the way given.
    void turnAway(int way, QWidget *form = nullptr)
    {
        auto *sheet = qobject_cast<SheetFrame *>(form);
        switch (way) {
        case SavedMoved:
            sheet->setModificata();
            QTest::mouseClick(form->findChild<slxButton *>(QStringLiteral("slb_4")), Qt::LeftButton);
            Q_FALLTHROUGH();
        case Moved: {
            // The other card comes up as it is stored; a change elsewhere
            // on it then saves it as it shows.
            hNav *nav = form->findChild<hNav *>();
            QTest::mouseClick(nav->button(nav->Value() == nav->Max() ? 0 : 3), Qt::LeftButton);
            QVERIFY(!sheet->isModificata());
            sheet->setModificata();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            break;
        }
        case Minimised:
        case Maximised: {
            // Out of sight and back, the window lets the clerk carry on.
            QWidget *typing = QApplication::focusWidget();
            QWidget *frame = SheetFrame::windowOf(form);
            way == Minimised ? frame->showMinimized() : frame->showMaximized();
            frame->showNormal();
            QCoreApplication::processEvents();
            QCOMPARE(QApplication::focusWidget(), typing);
            typing->window()->close();
            break;
        }
        case Previous:
            pressNav(1);
            break;
        case SideBar:
            modMain::gMain->vBar1_Click(3, false);
            break;
        case PrintMenu:
            menuItem("smp_0")->trigger();
            break;
        case UtilityMenu:
            menuItem("smu_0")->trigger();
            break;
        case Esc:
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            break;
        case MenuChiudi:
            menuItem("mmExit")->trigger();
            break;
        case SessionSave: {
            AskingSession session;
            modMain::commitData(session);
            break;
        }
        default:
            QApplication::focusWidget()->window()->close();
            break;
        }
    }

    // Types text into a field (a grid's cell of column col) and stays
    // there, as a clerk who closes at once.
    static void typeOnly(QWidget *control, const QString &text, int col = 1, QWidget *wheelOver = nullptr)
    {
        QVERIFY(TestSupport::activate(control->window()));
        control->setFocus();
        if (auto *grid = qobject_cast<slxGrid *>(control)) {
            grid->setRow(1);
            grid->setCol(col);
            // Nothing typed: the cell is opened for editing, its list closed.
            if (text.isEmpty())
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
            for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget())
                if (auto *box = qobject_cast<QComboBox *>(w)) {
                    box->hidePopup();
                    QVERIFY(TestSupport::activate(control));
                }
        } else if (auto *box = qobject_cast<QComboBox *>(QApplication::focusWidget()); !box || box->isEditable()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        }
        QCoreApplication::processEvents();
        // A notch over the picker in use, or over another one: then the
        // form beneath scrolls.
        if (QWidget *under = wheelOver == control ? QApplication::focusWidget() : wheelOver) {
            auto *form = under->window()->findChild<QScrollArea *>();
            const int top = form ? form->verticalScrollBar()->value() : 0;
            TestSupport::wheel(under, -1);
            QVERIFY(!form || !form->isAncestorOf(under) || wheelOver == control || form->verticalScrollBar()->value() > top);
        }
        QTest::keyClicks(QApplication::focusWidget(), text);
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void turningAway_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("way");
        QTest::addColumn<int>("answer");
        const char *const forms[] = {"registry sheet", "SMAT card", "origin module"};
        const char *const ways[] = {"side bar", "Stampe", "Utilità", "quit"};
        const char *const answers[] = {"Yes", "No", "Cancel"};
        for (int form : {Registry, Card, Module})
            for (int way : {SideBar, PrintMenu, UtilityMenu, Quit})
                for (int answer : {0, 1, 2})
                    QTest::addRow("%s, %s, %s", forms[form], ways[way], answers[answer])
                        << form << way << int(std::array<int, 3>{vbYes, vbNo, vbCancel}[answer]);
    }

    void turningAway()
    {
        QFETCH(int, form);
        QFETCH(int, way);
        QFETCH(int, answer);
        QPointer<QWidget> shown = openForm(form);
        QVERIFY(shown);
        const Edit &edit = edits[form];
        const QString before = scalar(QLatin1String(edit.query)).toString();
        typeAndLeave(shown->findChild<QWidget *>(QLatin1String(edit.field)), QStringLiteral("VIA NUOVA"));
        QCOMPARE(askedTexts(), QStringList());

        MessageBoxSeam::pushAnswer(answer);
        bool dialogOpened = false;
        if (way == PrintMenu || way == UtilityMenu)
            DialogDriver::onNextDialog([&dialogOpened](QWidget *dialog) {
                dialogOpened = true;
                dialog->close();
            });
        turnAway(way);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DialogDriver::cancelPending();

        const bool stays = answer == vbCancel;
        QCOMPARE(askedTexts(), QStringList{SheetFrame::promptModificata()});
        QCOMPARE(shown.isNull(), !stays);
        QCOMPARE(scalar(QLatin1String(edit.query)).toString(),
                 answer == vbYes ? QStringLiteral("VIA NUOVA") : before);
        // The other window opens only once the form has gone.
        if (way == SideBar)
            QCOMPARE(modMain::currentForm == 3, !stays);
        else if (way == Quit)
            QCOMPARE(modMain::gMain.isNull(), !stays);
        else
            QCOMPARE(dialogOpened, !stays);
        if (stays) {
            QVERIFY(shown->isVisible());
            if (auto *frame = dynamic_cast<SheetFrame *>(shown.data()))
                QVERIFY(frame->isModificata());
            if (form == Module && way == SideBar)
                TestSupport::grab(modMain::gMain, QStringLiteral("unsaved-module-kept"));
        }
    }

    // A changed consortia sheet with its modules below: the module goes
    // (asking when it has changes of its own), then the clerk keeps the
    // sheet with Annulla. The sheet is whole again, as before the round:
    // full height, its list buttons, "Chiudi" and navigator usable, the
    // focus in it.
    void cancelKeepsSheetWhole_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<bool>("moduleChanged");
        const char *const ways[] = {"side bar", "Stampe", "Utilità", "quit"};
        for (int way : {SideBar, PrintMenu, UtilityMenu, Quit})
            for (bool changed : {false, true})
                QTest::addRow("%s, module %s", ways[way], changed ? "changed" : "unchanged") << way << changed;
    }

    void cancelKeepsSheetWhole()
    {
        QFETCH(int, way);
        QFETCH(bool, moduleChanged);
        QVERIFY(openForm(Module));
        QPointer<SK_CONS> sheet = qobject_cast<SK_CONS *>(this->sheet());
        QVERIFY(sheet);
        QWidget *frame = SheetFrame::windowOf(sheet);
        const int fullHeight = frame->parentWidget()->height();
        QVERIFY(frame->height() < fullHeight);
        sheet->setModificata();
        if (moduleChanged)
            typeAndLeave(form()->findChild<QWidget *>(QStringLiteral("slt_3")), QStringLiteral("VIA NUOVA"));
        askedTexts();

        if (moduleChanged)
            MessageBoxSeam::pushAnswer(vbNo);
        MessageBoxSeam::pushAnswer(vbCancel);
        DialogDriver::onNextDialog([](QWidget *dialog) { dialog->close(); });
        turnAway(way);
        DialogDriver::cancelPending();
        QCOMPARE(askedTexts().size(), moduleChanged ? 2 : 1);
        QVERIFY(!form());
        QVERIFY(sheet && modMain::gMain);
        QCOMPARE(modMain::loadedForms(), QList<QWidget *>{sheet.data()});
        QTRY_COMPARE(frame->height(), fullHeight);
        QVERIFY(sheet->isEnabled());
        QVERIFY(sheet->isModificata());
        for (int i : {0, 1, 2})
            QVERIFY2(sheet->slb[i]->Enabled(), qPrintable(QString::number(i)));
        QVERIFY(sheet->nav->isEnabled());
        QVERIFY(sheet->isAncestorOf(QApplication::focusWidget()));
        if (way == SideBar && moduleChanged)
            TestSupport::grab(modMain::gMain, QStringLiteral("cons-sheet-kept-whole"));
    }

    // A value typed or chosen and not left goes with the form however it
    // closes or leaves its card: the question is asked and Sì stores it
    // with the rest. A value the field refuses stops every close with the
    // field's own message; one it only warns about is taken on the second.
    void typedValueNotLeft_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("field"); // a grid as name:column
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("closes");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("wheel"); // the control under the pointer as the wheel turns
        const QString prompt = SheetFrame::promptModificata();
        const char *const forms[] = {"registry sheet", "SMAT card", "origin module", "CONS sheet"};
        const char *const ways[] = {"side bar", "", "", "main window close", "Esc", "menu Chiudi", "session", "navigator", "", "", "", ""};
        for (int form : {Registry, Card, Module, Consortia})
            for (int way : {Esc, SideBar, MenuChiudi, Quit, SessionSave})
                QTest::addRow("%s, %s", forms[form], ways[way])
                    << form << way << QString::fromLatin1(edits[form].field)
                    << (form == Consortia ? "20000" : "VIA NUOVA") << QString::fromLatin1(edits[form].query)
                    << (form == Consortia ? "200000000" : "VIA NUOVA") << 1 << QStringList{prompt} << QString();
        const QString cap = QStringLiteral("Attenzione, C.A.P. digitato formalmente errato.");
        const QString months = QStringLiteral("Attenzione, mesi di attività errati.");
        const QString code = QStringLiteral("Attenzione, campo codice fiscale formalmente errato!");
        const QString userData = QStringLiteral("Attenzione dati cambiati, vuoi salvarli?");
        static const char cell[] = "SELECT qtaProdVuoti FROM RecMat WHERE skmID = 1 AND skmTipo = 101";
        const struct
        {
            const char *name;
            int form, way;
            const char *field, *typed, *query, *stored;
            int closes;
            QStringList asked;
            const char *wheel = nullptr;
        } stories[] = {
            {"Kg/t", Consortia, -1, "kgt_2", "t", "SELECT scUmi FROM SezCons WHERE scID = 1", "2", 1, {prompt}},
            {"unit cell", Destination, -1, "slg_0:2", "t", "SELECT Umi FROM RecDrCons WHERE mdcID = 2", "2", 1, {prompt}},
            {"municipality", Registry, -1, "cmbCom_0", "MILANO", "SELECT comIstat FROM SezAnag WHERE saID = 7", "146", 1, {prompt}},
            {"nation", Foreign, -1, "cmbNaz", "FRANCIA", "SELECT nazID FROM ModCons WHERE mdcID = 1", "250", 1, {prompt}},
            {"user data, close box", UserData, Quit, "slt_3", "VIA NUOVA", "SELECT via FROM Setup", "VIA NUOVA", 1, {userData}},
            {"user data, session", UserData, SessionSave, "slt_3", "VIA NUOVA", "SELECT via FROM Setup", "VIA NUOVA", 1, {userData}},
            {"SMAT grid cell, side bar", Card, SideBar, "slg", "5", cell, "50000", 1, {prompt}},
            {"SMAT grid cell, session", Card, SessionSave, "slg", "5", cell, "50000", 1, {prompt}},
            {"navigator", TwoModules, Previous, "slt_3", "VIA NUOVA", "SELECT via FROM ModCons WHERE mdcID = 2", "VIA NUOVA", 1, {prompt}},
            {"quantity cell in edit, moved", TwoDestinations, Moved, "slg_0:1", "", "SELECT Qta FROM RecDrCons WHERE mdcID = 2", "70000", 1, {prompt}},
            {"unit cell in edit, moved", TwoDestinations, Moved, "slg_0:2", "", "SELECT Umi FROM RecDrCons WHERE mdcID = 2", "1", 1, {prompt}},
            {"DR-CONS unit, moved", TwoDestinations, Moved, "kgt", "", "SELECT mdcUmi FROM ModCons WHERE mdcID = 2", "1", 1, {prompt}},
            {"nation, moved", TwoDestinations, Moved, "cmbNaz", "", "SELECT nazID FROM ModCons WHERE mdcID = 2", "250", 1, {prompt}},
            {"origin unit, moved", TwoModules, Moved, "kgt", "", "SELECT mdcUmi FROM ModCons WHERE mdcID = 1", "1", 1, {prompt}},
            {"Kg/t, moved", TwoSheets, Moved, "kgt_2", "", "SELECT scUmi FROM SezCons WHERE scID = 2", "2", 1, {prompt}},
            {"unit chosen in a saved card, moved", TwoModules, SavedMoved, "kgt", "K", "SELECT mdcUmi FROM ModCons WHERE mdcID = 2", "1", 1, {prompt}},
            {"unit chosen and left, navigator", TwoModules, Previous, "kgt", "K\t", "SELECT mdcUmi FROM ModCons WHERE mdcID = 2", "1", 1, {prompt}},
            {"warned postal code, Esc twice", Registry, Esc, "slt_6", "2012", "SELECT cap FROM SezAnag WHERE saID = 7", "2012", 2, {cap, prompt}},
            {"warned postal code, side bar twice", Registry, SideBar, "slt_6", "2012", "SELECT cap FROM SezAnag WHERE saID = 7", "2012", 2, {cap, prompt}},
            // The field is full: it moves on at once, and says so.
            {"refused months, Esc twice", Registry, Esc, "slt_11", "13", "SELECT Mesi FROM SezAnag WHERE saID = 7", "12", 2, {months, months, months}},
            {"refused code, Esc then close box", Module, Quit, "slt_0", "123", "SELECT codFisc FROM ModCons WHERE mdcID = 1", "00743110157", 2, {code, code}},
            // A window's state is no leave: the typed value stays to be taken.
            {"quantity typed, minimised", Module, Minimised, "slt_7", "7", "SELECT mdcQta FROM ModCons WHERE mdcID = 1", "70000", 1, {prompt}},
            {"quantity typed, maximised", Module, Maximised, "slt_7", "7", "SELECT mdcQta FROM ModCons WHERE mdcID = 1", "70000", 1, {prompt}},
            {"quantity cell typed, minimised", Destination, Minimised, "slg_0:1", "4", "SELECT Qta FROM RecDrCons WHERE mdcID = 2", "40000", 1, {prompt}},
            {"quantity cell typed, maximised", Destination, Maximised, "slg_0:1", "4", "SELECT Qta FROM RecDrCons WHERE mdcID = 2", "40000", 1, {prompt}},
            {"unit chosen, minimised", Module, Minimised, "kgt", "t", "SELECT mdcUmi FROM ModCons WHERE mdcID = 1", "2", 1, {prompt}},
            // The wheel turns only the picker the clerk works in.
            {"wheel over another Kg/t", Consortia, Esc, "slt_2", "6", "SELECT scQta || ' ' || scUmi FROM SezCons WHERE scID = 1", "60000 1", 1, {prompt}, "kgt_2"},
            {"wheel over the Kg/t in use", Consortia, Esc, "kgt_2", "", "SELECT scUmi FROM SezCons WHERE scID = 1", "2", 1, {prompt}, "kgt_2"},
            {"wheel over another unit", Module, Esc, "slt_3", "VIA NUOVA", "SELECT via || ' ' || mdcUmi FROM ModCons WHERE mdcID = 1", "VIA NUOVA 1", 1, {prompt}, "kgt"},
            {"wheel over another country", TwoDestinations, Esc, "slt_1", "ARCO NUOVA", "SELECT ragSoc || ' ' || nazID FROM ModCons WHERE mdcID = 3", "ARCO NUOVA 276", 1, {prompt}, "cmbNaz"},
            {"wheel over the country in use", TwoDestinations, Esc, "cmbNaz", "", "SELECT nazID FROM ModCons WHERE mdcID = 3", "400", 1, {prompt}, "cmbNaz"},
            {"wheel over the unit cell in edit", Destination, Quit, "slg_0:2", "", "SELECT Umi FROM RecDrCons WHERE mdcID = 2", "2", 1, {prompt}, "slg_0:2"},
        };
        // A picker's story goes every way; Esc in a cell being edited ends
        // the edit, and the form's own Esc is the next.
        for (const auto &t : stories)
            for (int way : t.way >= 0 ? QList<int>{t.way} : QList<int>{t.form == Destination ? Quit : Esc, SideBar, MenuChiudi, SessionSave})
                QTest::addRow(t.way >= 0 ? "%s" : "%s, %s", t.name, ways[way]) << t.form << way << t.field << t.typed
                                                                          << t.query << t.stored << t.closes << t.asked
                                                                          << QString::fromLatin1(t.wheel);
    }

    void typedValueNotLeft()
    {
        QFETCH(int, form);
        QFETCH(int, way);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, query);
        QFETCH(QString, stored);
        QFETCH(int, closes);
        QFETCH(QStringList, asked);
        QFETCH(QString, wheel);
        const QStringList cell = field.split(QLatin1Char(':'));
        QPointer<QWidget> shown;
        const auto closeTyped = [&](QWidget *window) {
            shown = window;
            QWidget *control = window->findChild<QWidget *>(cell.first());
            typeOnly(control, typed, cell.value(1, QStringLiteral("1")).toInt(),
                     wheel.isEmpty() ? nullptr : wheel == field ? control : window->findChild<QWidget *>(wheel));
            for (int i = 0; i < closes; ++i) {
                MessageBoxSeam::pushAnswer(vbYes);
                turnAway(way, window);
                QCoreApplication::processEvents();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
        };
        if (form == UserData) {
            QVERIFY(openForm(Registry));
            QVERIFY(modMain::gDb->kezCnn.execute(QStringLiteral("UPDATE Setup SET prvIstat = 58, comIstat = 91")));
            DialogDriver::onNextDialog([&](QWidget *dialog) {
                QVERIFY(TestSupport::activate(dialog));
                closeTyped(dialog);
                if (dialog->isVisible())
                    dialog->close();
            });
            modMain::gModal->showRegistra();
        } else {
            closeTyped(openForm(form));
        }
        QCOMPARE(askedTexts(), asked);
        QCOMPARE(scalar(query).toString(), stored);
        // The session's request and a card's move close nothing; a refused
        // value keeps the form, the focus in the field.
        const bool refused = asked.last() == asked.first() && closes > 1;
        if (form != UserData)
            QCOMPARE(shown.isNull(), !refused && way != SessionSave && way != Previous);
        if (refused)
            QVERIFY(shown->findChild<QWidget *>(cell.first())->isAncestorOf(QApplication::focusWidget()));
        if (refused && form == Registry)
            TestSupport::grab(modMain::gMain, QStringLiteral("typed-value-refused-on-close"));
    }
};

QTEST_MAIN(tst_Unsaved)
#include "tst_Unsaved.moc"
