#include <QTest>

#include "PropertyBag.h"
#include "gridColumn.h"

// A column as the layout of a form keeps it.
class tst_gridColumn : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keysOfEveryField_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("2") << 2 << "Col02Caption" << "Col02Edit";
        QTest::newRow("12") << 12 << "Col12Caption" << "Col12Edit";
        QTest::newRow("100") << 100 << "Col100Caption" << "Col100Edit";
    }

    void keysOfEveryField()
    {
        QFETCH(int, number);
        QFETCH(QString, first);
        QFETCH(QString, last);
        gridColumn c;
        c.Caption = QStringLiteral("Peso");
        c.Width = 900;
        c.Visible = false;
        c.CaptionAlign = 0;
        c.FieldName = QStringLiteral("skmPeso");
        c.FieldFormat = QStringLiteral("#,##0.0");
        c.FieldType = gridColumn::Decimale;
        c.FieldLen = 7;
        c.FieldDec = 1;
        c.FieldAlign = 7;
        c.Editable = true;
        PropertyBag bag;
        c.writeProperties(bag, number);
        QCOMPARE(bag.count(), 11);
        QVERIFY(bag.contains(first));
        QVERIFY(bag.contains(last));
        gridColumn back;
        back.comboIndex = 2;
        back.readProperties(bag, number);
        QCOMPARE(back.Caption, c.Caption);
        QCOMPARE(back.Width, 900);
        QCOMPARE(back.Visible, false);
        QCOMPARE(back.CaptionAlign, 0);
        QCOMPARE(back.FieldName, c.FieldName);
        QCOMPARE(back.FieldFormat, c.FieldFormat);
        QCOMPARE(back.FieldType, int(gridColumn::Decimale));
        QCOMPARE(back.FieldLen, 7);
        QCOMPARE(back.FieldDec, 1);
        QCOMPARE(back.FieldAlign, 7);
        QCOMPARE(back.Editable, true);
        QCOMPARE(back.comboIndex, 0);
    }

    // A new column differs from the layout defaults only in its two
    // alignments, which a layout without them reads as "Generale" (9).
    void newColumnAgainstLayoutDefaults()
    {
        gridColumn fresh;
        fresh.comboIndex = 1;
        PropertyBag bag;
        fresh.writeProperties(bag, 1);
        QCOMPARE(bag.keys(), QStringList({QStringLiteral("Col01Align"), QStringLiteral("Col01hAlign")}));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Col01hAlign")).toInt(), 4);
        QCOMPARE(bag.ReadProperty(QStringLiteral("Col01Align")).toInt(), 1);
        gridColumn fromEmpty;
        fromEmpty.readProperties(PropertyBag(), 1);
        QCOMPARE(fromEmpty.CaptionAlign, 9);
        QCOMPARE(fromEmpty.FieldAlign, 9);
        QCOMPARE(fromEmpty.Width, 1440);
        QVERIFY(fromEmpty.Visible);
    }
};

QTEST_GUILESS_MAIN(tst_gridColumn)
#include "tst_gridColumn.moc"
