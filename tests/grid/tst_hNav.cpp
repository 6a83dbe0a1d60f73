#include <QTest>
#include <QVBoxLayout>

#include "PropertyBag.h"
#include "TestSupport.h"
#include "hNav.h"
#include "slxLabel.h"
#include "tbButton.h"

namespace {

QString states(const hNav &nav)
{
    QString s;
    for (int i = 0; i < 4; ++i)
        s += nav.button(i)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

void click(hNav &nav, int index)
{
    tbButton *b = nav.button(index);
    QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
}

} // namespace

// The navigator as a data-entry form drives it: Max, then Value, and the
// form's answer to Click before anything moves.
class tst_hNav : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void buttonsAndLabelFollowThePosition_data()
    {
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("label");
        QTest::newRow("first of 10") << 10 << 1 << "0011" << "Record 1 di 10";
        QTest::newRow("last of 10") << 10 << 10 << "1100" << "Record 10 di 10";
        QTest::newRow("only one") << 1 << 1 << "0000" << "Record 1 di 1";
        // No records left: the label no longer claims the old position.
        QTest::newRow("none") << 0 << 0 << "0000" << "Dichiarazioni";
    }

    void buttonsAndLabelFollowThePosition()
    {
        QFETCH(int, max);
        QFETCH(int, value);
        QFETCH(QString, buttons);
        QFETCH(QString, label);
        hNav nav;
        nav.setCaption(QStringLiteral("Dichiarazioni"));
        nav.setMax(3);
        nav.setValue(3);
        nav.setMax(max);
        nav.setValue(value);
        QCOMPARE(states(nav), buttons);
        QCOMPARE(nav.label()->Caption(), label);
    }

    void clickComesBeforeTheMove()
    {
        QWidget form;
        auto *nav = new hNav(&form);
        form.show();
        nav->setMax(10);
        nav->setValue(3);
        QList<int> seen;
        bool refuse = false;
        int jumpTo = -1;
        connect(nav, &hNav::Click, this, [&](bool &Cancel, int &Bottone) {
            seen << nav->Value() << Bottone;
            Cancel = refuse;
            if (jumpTo >= 0)
                Bottone = jumpTo;
        });
        click(*nav, 2);
        QCOMPARE(seen, QList<int>({3, 2}));
        QCOMPARE(nav->Value(), 4);
        QCOMPARE(nav->label()->Caption(), QStringLiteral("Record 4 di 10"));
        refuse = true;
        click(*nav, 0);
        QCOMPARE(nav->Value(), 4);
        refuse = false;
        jumpTo = 3;
        click(*nav, 2);
        QCOMPARE(nav->Value(), 10);
        QCOMPARE(states(*nav), QStringLiteral("1100"));
        jumpTo = -1;
        click(*nav, 1);
        QCOMPARE(nav->Value(), 9);
        click(*nav, 0);
        QCOMPARE(nav->Value(), 1);
        TestSupport::grab(&form, QStringLiteral("nav-first"));
    }

    void maxTextAndCaption()
    {
        hNav nav;
        nav.setMax(5);
        QCOMPARE(states(nav), QStringLiteral("0000"));
        nav.setText(QStringLiteral("Modulo"));
        nav.setValue(2);
        QCOMPARE(nav.label()->Caption(), QStringLiteral("Modulo 2 di 5"));
        nav.refreshBarra(QStringLiteral("Nuovo record"));
        QCOMPARE(nav.label()->Caption(), QStringLiteral("Nuovo record"));
        QCOMPARE(states(nav), QStringLiteral("1111"));
    }

    void disablingKeepsTheText()
    {
        hNav nav;
        nav.setMax(10);
        nav.setValue(3);
        nav.setEnabled(false);
        QVERIFY(!nav.isEnabled());
        QVERIFY(!nav.label()->isEnabled());
        QCOMPARE(states(nav), QStringLiteral("0000"));
        QCOMPARE(nav.label()->Caption(), QStringLiteral("Record 3 di 10"));
        // A record added while the bar was disabled: enabled again, the
        // label tells the position the form is on now.
        nav.setMax(11);
        nav.setValue(11);
        nav.setEnabled(true);
        QCOMPARE(states(nav), QStringLiteral("1100"));
        QCOMPARE(nav.label()->Caption(), QStringLiteral("Record 11 di 11"));
        // A text of the form's own comes back as it was.
        nav.setValue(5);
        nav.refreshBarra(QStringLiteral("Nuovo modulo"));
        nav.setEnabled(false);
        nav.setValue(6);
        nav.setEnabled(true);
        QCOMPARE(states(nav), QStringLiteral("1111"));
        QCOMPARE(nav.label()->Caption(), QStringLiteral("Nuovo modulo"));
        nav.refreshBarra();
        QCOMPARE(nav.label()->Caption(), QStringLiteral("Record 6 di 11"));
        // A repeated Enabled = True does not bring the old text back.
        nav.setValue(7);
        nav.setEnabled(true);
        QCOMPARE(nav.label()->Caption(), QStringLiteral("Record 7 di 11"));
    }

    void bordersAndSize_data()
    {
        QTest::addColumn<int>("appearance");
        QTest::addColumn<int>("kept");
        QTest::addColumn<int>("border");
        QTest::newRow("none") << 0 << 0 << 0;
        QTest::newRow("outline") << 1 << 1 << 1;
        QTest::newRow("sunken") << 5 << 5 << 2;
        QTest::newRow("etched") << 9 << 9 << 2;
        QTest::newRow("unknown") << 12 << 0 << 0;
    }

    void bordersAndSize()
    {
        QFETCH(int, appearance);
        QFETCH(int, kept);
        QFETCH(int, border);
        hNav nav;
        nav.show();
        nav.setAppearance(appearance);
        QCOMPARE(nav.Appearance(), kept);
        const int w = nav.button(0)->width();
        nav.resize(10, 100);
        QCOMPARE(nav.width(), 5 * w + 2 * border);
        QCOMPARE(nav.height(), nav.label()->height() + 2 * border);
        QCOMPARE(nav.button(0)->pos(), QPoint(border, border));
        nav.resize(400, 10);
        QCOMPARE(nav.button(3)->geometry().right(), 400 - border - 1);
    }

    void layoutRoundTrip()
    {
        PropertyBag bag;
        {
            hNav nav;
            nav.setObjectName(QStringLiteral("nav"));
            nav.initNewInstance();
            QCOMPARE(nav.Caption(), QStringLiteral("nav"));
            nav.setAppearance(6);
            nav.setText(QStringLiteral("Scheda"));
            nav.setButtonsFlat(true);
            nav.writeProperties(bag);
        }
        QCOMPARE(bag.keys(), QStringList({QStringLiteral("Appearance"), QStringLiteral("ButtonsFlat"),
                                          QStringLiteral("Caption"), QStringLiteral("Text")}));
        hNav back;
        back.readProperties(bag);
        QCOMPARE(back.Appearance(), 6);
        QCOMPARE(back.Text(), QStringLiteral("Scheda"));
        QVERIFY(back.ButtonsFlat());
        QVERIFY(back.button(3)->Flat());
        QCOMPARE(back.label()->Caption(), QStringLiteral("nav"));
        QCOMPARE(states(back), QStringLiteral("0000"));
    }

    void picture()
    {
        QWidget form;
        auto *layout = new QVBoxLayout(&form);
        auto *nav = new hNav(&form);
        nav->setAppearance(5);
        layout->addWidget(nav);
        form.resize(360, 60);
        form.show();
        nav->setMax(12);
        nav->setValue(4);
        TestSupport::grab(&form, QStringLiteral("nav-record-4-of-12"));
        QCOMPARE(nav->label()->Caption(), QStringLiteral("Record 4 di 12"));
    }
};

QTEST_MAIN(tst_hNav)
#include "tst_hNav.moc"
