#include <QSignalSpy>
#include <QTest>

#include "PropertyBag.h"
#include "TestSupport.h"
#include "tbButton.h"
#include "vBar.h"

// The side bar: menus that open and close like an accordion, button
// presses reported with whether they changed, and its stored settings.
class tst_vBar : public QObject
{
    Q_OBJECT

    struct Host
    {
        QWidget window;
        vBar *bar;
        Host()
        {
            window.resize(140, 500);
            bar = new vBar(&window);
            bar->setGeometry(0, 0, 100, 500);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        void addMenu(const QString &caption, int buttons)
        {
            bar->AddMenu(caption);
            for (int i = 1; i <= buttons; ++i)
                bar->AddButton(caption + QString::number(i));
        }
        QList<int> visibleButtons() const
        {
            QList<int> v;
            for (int j = 0; j <= bar->buttonCount(); ++j)
                if (bar->button(j)->isVisible())
                    v << j;
            return v;
        }
    };

private Q_SLOTS:
    void oneMenuOfSeven()
    {
        Host host;
        host.addMenu(QStringLiteral("Menu"), 7);
        host.bar->Show(1);
        const int h = host.bar->MenuHeight();
        const int k = host.bar->ButtonHeight();
        QCOMPARE(h, 25);
        QCOMPARE(k, 55);
        QCOMPARE(host.bar->menuHeader(1)->y(), 1);
        for (int j = 1; j <= 7; ++j)
            QCOMPARE(host.bar->button(j)->y(), 1 + h + (j - 1) * k);
        QVERIFY(!host.bar->menuHeader(0)->isVisible());
        QVERIFY(!host.bar->button(0)->isVisible());
        QCOMPARE(host.visibleButtons(), (QList<int>{1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(host.bar->button(3)->x(), 1);
        QCOMPARE(host.bar->button(3)->width(), 98);
    }

    void accordion()
    {
        Host host;
        host.addMenu(QStringLiteral("A"), 3);
        host.addMenu(QStringLiteral("B"), 2);
        host.bar->Show(1);
        const int h = host.bar->MenuHeight();
        const int k = host.bar->ButtonHeight();
        QCOMPARE(host.bar->menuHeader(2)->y(), 1 + h + 3 * k);
        QCOMPARE(host.visibleButtons(), (QList<int>{1, 2, 3}));

        QSignalSpy menus(host.bar, &vBar::MenuClick);
        QTest::mouseClick(host.bar->menuHeader(2), Qt::LeftButton);
        QCOMPARE(host.visibleButtons(), (QList<int>{4, 5}));
        QCOMPARE(host.bar->menuHeader(2)->y(), 1 + h);
        QCOMPARE(host.bar->button(4)->y(), 1 + 2 * h);
        QTest::mouseClick(host.bar->menuHeader(2), Qt::LeftButton);
        QCOMPARE(menus.count(), 2);
        QCOMPARE(menus[0], (QList<QVariant>{2, true}));
        QCOMPARE(menus[1], (QList<QVariant>{2, false}));
        QCOMPARE(host.visibleButtons(), (QList<int>{4, 5}));

        // Disabling the open menu's header closes the menu first.
        QVERIFY(host.bar->setMenuEnabled(2, false));
        QCOMPARE(host.bar->openMenu(), 0);
        QCOMPARE(host.visibleButtons(), QList<int>());
        QVERIFY(host.bar->setMenuEnabled(2, false));
        QVERIFY(!host.bar->setMenuEnabled(7, false));
    }

    void clickReportsChange()
    {
        Host host;
        host.addMenu(QStringLiteral("Menu"), 3);
        host.bar->Show(1);
        QSignalSpy clicks(host.bar, &vBar::Click);
        QTest::mouseClick(host.bar->button(2), Qt::LeftButton);
        QTest::mouseClick(host.bar->button(2), Qt::LeftButton);
        QTest::mouseClick(host.bar->button(3), Qt::LeftButton);
        QCOMPARE(clicks.count(), 3);
        QCOMPARE(clicks[0], (QList<QVariant>{2, true}));
        QCOMPARE(clicks[1], (QList<QVariant>{2, false}));
        QCOMPARE(clicks[2], (QList<QVariant>{3, true}));

        QVERIFY(host.bar->setButtonEnabled(3, false));
        QVERIFY(!host.bar->buttonEnabled(3));
        QTest::mouseClick(host.bar->button(3), Qt::LeftButton);
        QCOMPARE(clicks.count(), 3);
        QVERIFY(!host.bar->setButtonEnabled(12, false));
    }

    void lateButtonsAndHeights()
    {
        Host host;
        host.addMenu(QStringLiteral("A"), 2);
        host.bar->Show(1);
        host.bar->AddButton(QStringLiteral("tardi"));
        host.bar->menuSelect(1);
        QCOMPARE(host.visibleButtons(), (QList<int>{1, 2}));
        host.bar->setButtonHeight(40);
        host.bar->Show(1);
        QCOMPARE(host.visibleButtons(), (QList<int>{1, 2, 3}));
        QCOMPARE(host.bar->button(3)->y(), 1 + 25 + 2 * 40);
        QCOMPARE(host.bar->button(1)->height(), 55);

        // Buttons before any menu belong to menu 0, never shown at run time.
        Host other;
        other.bar->AddButton(QStringLiteral("orfano"));
        other.addMenu(QStringLiteral("A"), 1);
        other.bar->Show(1);
        QCOMPARE(other.visibleButtons(), (QList<int>{2}));
    }

    void widening()
    {
        Host host;
        host.addMenu(QStringLiteral("A"), 2);
        host.bar->Show(1);
        host.bar->resize(130, 500);
        QCOMPARE(host.bar->menuHeader(1)->geometry(), QRect(1, 1, 128, 25));
        QCOMPARE(host.bar->button(0)->width(), 128);
    }

    void nineMenusAtMost()
    {
        Host host;
        for (int i = 1; i <= vBar::maxMenus; ++i)
            QVERIFY(host.bar->AddMenu(QString::number(i)));
        QVERIFY(!host.bar->AddMenu(QStringLiteral("troppi")));
        QCOMPARE(host.bar->menuCount(), vBar::maxMenus);
        host.bar->Show(9);
        QVERIFY(host.bar->menuHeader(9)->isVisible());
    }

    void propertyBag()
    {
        QWidget form;
        vBar fresh(&form);
        PropertyBag bag;
        fresh.writeProperties(bag);
        // The colour, Enabled and the two fonts are always stored; the
        // template button shows its picture above the caption.
        QCOMPARE(bag.keys(),
                 (QStringList{"BackColor", "ButtonFont", "ButtonPicPos", "Enabled", "MenuFont"}));

        vBar source(&form);
        source.setButtonHeight(48);
        source.setButtonPicPos(1);
        source.setMenuFlat(true);
        source.Underline = true;
        PropertyBag changed;
        source.writeProperties(changed);
        vBar copy(&form);
        copy.readProperties(changed);
        QCOMPARE(copy.ButtonHeight(), 48);
        QCOMPARE(copy.ButtonPicPos(), 1);
        QVERIFY(copy.MenuFlat());
        QVERIFY(copy.button(0)->Underline());
        copy.AddMenu(QStringLiteral("Menu"));
        copy.AddButton(QStringLiteral("Uno"));
        QCOMPARE(copy.button(1)->height(), 48);
        QVERIFY(copy.button(1)->Underline());
    }
};

QTEST_MAIN(tst_vBar)
#include "tst_vBar.moc"
