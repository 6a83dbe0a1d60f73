#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include "Ambient.h"
#include "PickerForm.h"
#include "PropertyBag.h"
#include "TestSupport.h"
#include "comboKgt.h"

class tst_comboKgt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valueChoosesTheUnit_data()
    {
        QTest::addColumn<QVariant>("assigned");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("tonnes") << QVariant(2) << 2 << QStringLiteral("t");
        QTest::newRow("tonnes as text") << QVariant(QStringLiteral("2")) << 2 << QStringLiteral("t");
        QTest::newRow("kilograms") << QVariant(1) << 1 << QStringLiteral("Kg");
        QTest::newRow("other number") << QVariant(3) << 1 << QStringLiteral("Kg");
        QTest::newRow("zero") << QVariant(0) << 1 << QStringLiteral("Kg");
        QTest::newRow("null") << QVariant() << 1 << QStringLiteral("Kg");
        // A value stored with another type is no unit: none shows.
        QTest::newRow("not a number") << QVariant(QStringLiteral("t")) << 0 << QString();
        QTest::newRow("fraction") << QVariant(QStringLiteral("1.5")) << 0 << QString();
    }

    void valueChoosesTheUnit()
    {
        QFETCH(QVariant, assigned);
        comboKgt kgt;
        kgt.setValue(2);
        kgt.setValue(assigned);
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(kgt.Value(), value);
        QCOMPARE(kgt.Text(), text);
    }

    void unitTexts()
    {
        QCOMPARE(comboKgt::Text4Value(1), QStringLiteral("Kg"));
        QCOMPARE(comboKgt::Text4Value(2), QStringLiteral("t"));
        QCOMPARE(comboKgt::Text4Value(0), QString());
        QCOMPARE(comboKgt::Text4Value(QVariant()), QString());
        QCOMPARE(comboKgt::Value4Text(QStringLiteral("t")), 2);
        QCOMPARE(comboKgt::Value4Text(QStringLiteral("Kg")), 1);
        QCOMPARE(comboKgt::Value4Text(QStringLiteral("T")), 0);
        QCOMPARE(comboKgt::Value4Text(QStringLiteral("kg")), 0);
    }

    // The user picks "t", leaves, comes back and leaves untouched; then
    // another card's unit is loaded under the focus.
    void changedSinceTheUnitTaken()
    {
        TestSupport::PickerForm form;
        auto *kgt = new comboKgt;
        form.place(kgt);
        QVERIFY(!kgt->Changed());
        kgt->setFocus();
        QTRY_VERIFY(kgt->comboBox()->hasFocus());
        kgt->comboBox()->showPopup();
        QTRY_VERIFY(kgt->comboBox()->view()->isVisible());
        QTest::keyClick(kgt->comboBox()->view(), Qt::Key_Down);
        QTest::keyClick(kgt->comboBox()->view(), Qt::Key_Return);
        QTRY_VERIFY(!kgt->comboBox()->view()->isVisible());
        QCOMPARE(kgt->Text(), QStringLiteral("t"));
        QVERIFY(kgt->Changed());
        form.after->setFocus();
        QVERIFY(!kgt->Changed());
        kgt->setFocus();
        QTRY_VERIFY(kgt->comboBox()->hasFocus());
        form.after->setFocus();
        QVERIFY(!kgt->Changed());
        QCOMPARE(kgt->Value(), 2);
        kgt->setFocus();
        kgt->setValue(1);
        QVERIFY(!kgt->Changed());
    }

    void enterMovesOnUnlessTheFormTakesIt()
    {
        TestSupport::PickerForm form;
        auto *kgt = new comboKgt;
        form.place(kgt);
        bool swallow = true;
        QList<int> keys;
        connect(kgt, &comboKgt::KeyPress, kgt, [&](int &KeyAscii) {
            keys << KeyAscii;
            if (swallow)
                KeyAscii = 0;
        });
        kgt->setFocus();
        QTest::keyClick(kgt->comboBox(), Qt::Key_Return);
        QTest::qWait(20);
        QVERIFY(kgt->comboBox()->hasFocus());
        swallow = false;
        QTest::keyClick(kgt->comboBox(), 't');
        QCOMPARE(kgt->Value(), 2);
        QTest::keyClick(kgt->comboBox(), Qt::Key_Return);
        QTRY_VERIFY(form.after->hasFocus());
        QCOMPARE(keys, (QList<int>{13, 't', 13}));
        QCOMPARE(kgt->Value(), 2);
    }

    void lockedKeepsTheUnit()
    {
        TestSupport::PickerForm form;
        auto *kgt = new comboKgt;
        form.place(kgt);
        kgt->setLocked(true);
        kgt->setFocus();
        QTest::keyClick(kgt->comboBox(), Qt::Key_Down);
        QTest::keyClick(kgt->comboBox(), 't');
        QTest::mouseClick(kgt->comboBox(), Qt::LeftButton);
        QCOMPARE(kgt->Value(), 1);
        QVERIFY(!kgt->comboBox()->view()->isVisible());
    }

    void propertyBagRoundTrip()
    {
        QWidget host;
        comboKgt a(&host);
        a.initNewInstance();
        PropertyBag empty;
        a.writeProperties(empty);
        QCOMPARE(empty.count(), 0);
        comboKgt fromEmpty(&host);
        fromEmpty.setValue(2);
        fromEmpty.readProperties(empty);
        QCOMPARE(fromEmpty.Text(), QStringLiteral("Kg"));

        a.setField(QStringLiteral("ferroUmi"));
        a.setValue(2);
        a.setEnabled(false);
        PropertyBag bag;
        a.writeProperties(bag);
        QCOMPARE(bag.keys(), (QStringList{QStringLiteral("Enabled"), QStringLiteral("Field"),
                                          QStringLiteral("Value")}));
        comboKgt b(&host);
        b.readProperties(bag);
        QCOMPARE(b.Field(), QStringLiteral("ferroUmi"));
        QCOMPARE(b.Value(), 2);
        QVERIFY(!b.Enabled());
        QVERIFY(!b.isEnabled());
        QCOMPARE(b.property("Field").toString(), QStringLiteral("ferroUmi"));
    }

    // In the form designer a disabled picker stays usable.
    void enabledAppliesOnlyWhenRunning()
    {
        Ambient::setUserMode(false);
        comboKgt kgt;
        kgt.setEnabled(false);
        QVERIFY(!kgt.Enabled());
        QVERIFY(kgt.isEnabled());
        Ambient::setUserMode(true);
        kgt.setEnabled(false);
        QVERIFY(!kgt.comboBox()->isEnabled());
    }

    void pictures()
    {
        TestSupport::PickerForm form;
        auto *kgt = new comboKgt;
        kgt->setFixedWidth(60);
        form.place(kgt);
        kgt->setFocus();
        QTRY_VERIFY(kgt->comboBox()->hasFocus());
        TestSupport::grab(&form.window, QStringLiteral("comboKgt_closed"));
        kgt->comboBox()->showPopup();
        QTRY_VERIFY(kgt->comboBox()->view()->isVisible());
        form.grabWithList(kgt->comboBox(), QStringLiteral("comboKgt_list"));
        kgt->comboBox()->hidePopup();
        kgt->setValue(2);
        kgt->setEnabled(false);
        TestSupport::grab(&form.window, QStringLiteral("comboKgt_disabled"));
    }
};

QTEST_MAIN(tst_comboKgt)
#include "tst_comboKgt.moc"
