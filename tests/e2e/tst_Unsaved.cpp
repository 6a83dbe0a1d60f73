#include <QAction>
#include <QtTest>

#include "DialogDriver.h"
#include "MessageBoxSeam.h"
#include "ModFrame.h"
#include "ModuleTestCase.h"
#include "SK_CONS.h"
#include "SheetFrame.h"
#include "TestSupport.h"
#include "hNav.h"
#include "mainForm.h"
#include "slxButton.h"
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

enum Form { Registry, Card, Module };
enum Way { SideBar, PrintMenu, UtilityMenu, Quit };

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
        if (form == Module)
            return openModules(31, QString::fromUtf8(complete));
        if (!startProgram(fixtureRows() + QString::fromUtf8(complete),
                          QStringLiteral("[Kez]\nSa1ID=7\nConsID=1\n"))
            || !showMainWindow(QSize(1000, 720)))
            return nullptr;
        modMain::gMain->vBar1_Click(form == Registry ? 1 : 4, false);
        QCoreApplication::processEvents();
        askedTexts();
        return modMain::loadedForms().value(0);
    }

    static QAction *menuItem(const char *name)
    {
        return modMain::gMain->findChild<QAction *>(QLatin1String(name));
    }

    // The clerk turns to another window, or quits, the way given.
    static void turnAway(int way)
    {
        switch (way) {
        case SideBar:
            modMain::gMain->vBar1_Click(3, false);
            break;
        case PrintMenu:
            menuItem("smp_0")->trigger();
            break;
        case UtilityMenu:
            menuItem("smu_0")->trigger();
            break;
        default:
            modMain::gMain->close();
            break;
        }
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
};

QTEST_MAIN(tst_Unsaved)
#include "tst_Unsaved.moc"
