#include <QTest>

#include "Currency.h"

// Quantities are summed and compared exactly; text goes in and out with a
// dot, whatever the locale.
class tst_Currency : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parsesAndPrints_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("raw");
        QTest::addColumn<QString>("printed");
        QTest::newRow("whole") << "1234" << true << qint64(12340000) << "1234";
        QTest::newRow("decimals") << "1234.5" << true << qint64(12345000) << "1234.5";
        QTest::newRow("smallest") << "-0.0001" << true << qint64(-1) << "-0.0001";
        QTest::newRow("leading dot") << ".25" << true << qint64(2500) << "0.25";
        QTest::newRow("trailing zeros") << "2.50000" << true << qint64(25000) << "2.5";
        QTest::newRow("plus and blanks") << " +7.07 " << true << qint64(70700) << "7.07";
        QTest::newRow("zero") << "-0" << true << qint64(0) << "0";
        QTest::newRow("five decimals") << "1.00005" << false << qint64(0) << "0";
        QTest::newRow("comma") << "1,5" << false << qint64(0) << "0";
        QTest::newRow("grouping") << "1.234.5" << false << qint64(0) << "0";
        QTest::newRow("empty") << "" << false << qint64(0) << "0";
        QTest::newRow("sign only") << "-" << false << qint64(0) << "0";
        QTest::newRow("letters") << "12a" << false << qint64(0) << "0";
        QTest::newRow("too large") << "99999999999999999" << false << qint64(0) << "0";
        QTest::newRow("largest") << "922337203685477.5807" << true << qint64(9223372036854775807LL)
                                 << "922337203685477.5807";
    }

    void parsesAndPrints()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qint64, raw);
        QFETCH(QString, printed);
        bool parsed = !ok;
        const Currency c = Currency::fromString(text, &parsed);
        QCOMPARE(parsed, ok);
        QCOMPARE(c.raw(), raw);
        QCOMPARE(c.toString(), printed);
    }

    void sumsExactly()
    {
        Currency total;
        for (int i = 0; i < 1000; ++i)
            total += Currency::fromString(QStringLiteral("0.1"));
        QCOMPARE(total, Currency::fromInt(100));
        QCOMPARE(Currency::fromDouble(0.1 + 0.2), Currency::fromString(QStringLiteral("0.3")));
        QCOMPARE(Currency::fromRaw(std::numeric_limits<qint64>::min()).toString(),
                 QStringLiteral("-922337203685477.5808"));
    }

    void roundsHalvesAwayFromZero_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("raw");
        QTest::newRow("half up") << 1.00005 << qint64(10001);
        QTest::newRow("half down negative") << -1.00005 << qint64(-10001);
        QTest::newRow("below half") << 2.00004999 << qint64(20000);
        QTest::newRow("large") << 123456789.12345 << qint64(1234567891235);
    }

    void roundsHalvesAwayFromZero()
    {
        QFETCH(double, value);
        QFETCH(qint64, raw);
        QCOMPARE(Currency::fromDouble(value).raw(), raw);
    }

    void convertsVariants_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("raw");
        QTest::newRow("int") << QVariant(12) << true << qint64(120000);
        QTest::newRow("long long") << QVariant(qint64(3)) << true << qint64(30000);
        QTest::newRow("double") << QVariant(2.5) << true << qint64(25000);
        QTest::newRow("text") << QVariant(QStringLiteral("4.125")) << true << qint64(41250);
        QTest::newRow("text rounded") << QVariant(QStringLiteral("4.12345")) << true << qint64(41235);
        QTest::newRow("currency") << Currency::fromRaw(7).toVariant() << true << qint64(7);
        QTest::newRow("null") << QVariant() << false << qint64(0);
        QTest::newRow("bad text") << QVariant(QStringLiteral("dieci")) << false << qint64(0);
        QTest::newRow("infinite") << QVariant(qInf()) << false << qint64(0);
    }

    void convertsVariants()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, ok);
        QFETCH(qint64, raw);
        bool converted = !ok;
        QCOMPARE(Currency::fromVariant(value, &converted).raw(), raw);
        QCOMPARE(converted, ok);
    }

    void livesInVariants()
    {
        const QVariant v = Currency::fromString(QStringLiteral("1.5")).toVariant();
        QVERIFY(Currency::isCurrency(v));
        QVERIFY(!Currency::isCurrency(QVariant(1.5)));
        QCOMPARE(v.toDouble(), 1.5);
        QCOMPARE(v.toString(), QStringLiteral("1.5"));
        QCOMPARE(v, Currency::fromRaw(15000).toVariant());
        QVERIFY(v != Currency::fromRaw(15001).toVariant());
        QVariant d(2.25);
        QVERIFY(d.convert(QMetaType::fromType<Currency>()));
        QCOMPARE(d.value<Currency>().raw(), qint64(22500));
    }
};

QTEST_GUILESS_MAIN(tst_Currency)
#include "tst_Currency.moc"
