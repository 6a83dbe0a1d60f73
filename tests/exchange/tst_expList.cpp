#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <QtTest>

#include "DialogDriver.h"
#include "ExchangeFixture.h"
#include "Logo.h"
#include "MainWindowTestCase.h"
#include "TestSupport.h"
#include "expList.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxButton.h"

// The exchange windows as the main window's menus open them: the export
// history inside the main window, the dialogs over it.
class tst_expList : public MainWindowTestCase
{
    Q_OBJECT

    // The started program's main window, shown and active; nullptr when it
    // never becomes so.
    static mainForm *shown()
    {
        return showMainWindow(QSize(1000, 700)) ? modMain::gMain.data() : nullptr;
    }

private Q_SLOTS:
    void fromTheMenus()
    {
        QVERIFY(startProgram(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "11111111115")
                             + "INSERT INTO expTab (expData, expFile, expCCIAA, expNum) VALUES "
                               "('2022-04-01T09:30:00', '/home/ufficio/Kez22imb_exp_cciaa15.xml', 15, 12);"
                               "UPDATE SezAnag SET ExpID = 1;",
                             "[Kez]\nSa1ID=1\n"));
        mainForm *main = shown();
        QVERIFY(main);

        main->sme_Click(0);
        QCOMPARE(modMain::currentForm, 8);
        auto *list = main->mdiArea()->findChild<expList *>();
        QVERIFY(list);
        QCOMPARE(list->lv->topLevelItem(0)->text(1), QStringLiteral("01/04/2022 09:30"));
        QCOMPARE(list->lv->topLevelItem(0)->text(2), QStringLiteral("Kez22imb_exp_cciaa15.xml"));
        QCOMPARE(list->lv->topLevelItem(0)->text(4), QStringLiteral("12"));
        TestSupport::grab(main, QStringLiteral("expList_main"));
        // Opened again while open: nothing changes.
        main->sme_Click(0);
        QCOMPARE(main->mdiArea()->findChildren<expList *>().size(), 1);
        list->close();
        QTRY_VERIFY(Logo::instance() && Logo::instance()->isVisible());

        // The dialogs replace the history and come back to the splash.
        main->sme_Click(0);
        for (auto open : {+[](mainForm *m) { m->smu_Click(0); }, +[](mainForm *m) { m->sme_Click(2); },
                          +[](mainForm *m) { m->smi_Click(0); }}) {
            QString title;
            DialogDriver::onNextDialog([&title](QWidget *dialog) {
                title = dialog->windowTitle();
                TestSupport::grab(dialog, QStringLiteral("dialog_") + QString::number(title.size()));
                dialog->close();
            });
            open(main);
            QVERIFY(DialogDriver::allRan());
            QVERIFY(!title.isEmpty());
            QVERIFY(!main->mdiArea()->findChild<expList *>());
            QCOMPARE(modMain::currentForm, 100);
        }
    }

    // The user closes the history with its button or with Esc: the window
    // goes whole, frame and all, and the splash is back as after any other
    // child window.
    void closingTakesTheFrameAway_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Chiudi") << false;
        QTest::newRow("Esc") << true;
    }

    void closingTakesTheFrameAway()
    {
        QFETCH(bool, escape);
        QVERIFY(startProgram(ExchangeFixture::lookups()));
        mainForm *main = shown();
        QVERIFY(main);
        main->sme_Click(0);
        auto *list = main->mdiArea()->findChild<expList *>();
        QVERIFY(list);
        QTRY_VERIFY(list->isVisible());
        if (escape) {
            list->lv->setFocus();
            QTRY_VERIFY(list->lv->hasFocus());
            QTest::keyClick(main->windowHandle(), Qt::Key_Escape);
        } else {
            QTest::mouseClick(list->slb, Qt::LeftButton, {}, list->slb->rect().center());
        }
        QTRY_VERIFY(!main->mdiArea()->findChild<expList *>());
        QTRY_VERIFY(Logo::instance() && Logo::instance()->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QList<QMdiSubWindow *> frames = main->mdiArea()->subWindowList();
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames.first()->widget(), Logo::instance());
        QCOMPARE(modMain::currentForm, 100);
        TestSupport::grab(main, escape ? QStringLiteral("expList_closed_esc") : QStringLiteral("expList_closed"));

        // And it opens again from the menu.
        main->sme_Click(0);
        QVERIFY(main->mdiArea()->findChild<expList *>());
    }
};

QTEST_MAIN(tst_expList)
#include "tst_expList.moc"
