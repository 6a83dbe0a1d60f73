#include <QTest>

#include "Currency.h"
#include "ItalianFormat.h"

// The Italian formats the text field shows and reads, whatever the
// machine's locale.
class tst_slxTextFormats : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Currency::registerMetaType();
    }

    void numbers_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::newRow("grouped") << QVariant(1234567.5) << "#,##0.00" << "1.234.567,50";
        QTest::newRow("plain") << QVariant(1234567.5) << "0.00" << "1234567,50";
        QTest::newRow("negative") << QVariant(-1234) << "#,##0" << "-1.234";
        QTest::newRow("no minus for a rounded zero") << QVariant(-0.001) << "0.00" << "0,00";
        QTest::newRow("currency half away from zero")
            << QVariant::fromValue(Currency::fromRaw(-12350)) << "0.00" << "-1,24";
        QTest::newRow("currency all decimals")
            << QVariant::fromValue(Currency::fromRaw(12345)) << "0.0000" << "1,2345";
        QTest::newRow("large currency exact")
            << QVariant::fromValue(Currency::fromRaw(Q_INT64_C(9000000000000001)))
            << "#,##0.0000" << "900.000.000.000,0001";
        QTest::newRow("optional decimals") << QVariant(12.5) << "#,##0.0#" << "12,5";
        QTest::newRow("optional integer") << QVariant(0.5) << "#.00" << ",50";
    }
    void numbers()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QCOMPARE(ItalianFormat::formatNumber(value, pattern), text);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        const int year = QDate::currentDate().year();
        QTest::newRow("mask") << "12/05/2021" << QDate(2021, 5, 12);
        QTest::newRow("short") << "5/3/21" << QDate(2021, 3, 5);
        QTest::newRow("last century") << "5/3/45" << QDate(1945, 3, 5);
        QTest::newRow("dashes") << "05-03-2021" << QDate(2021, 3, 5);
        QTest::newRow("iso") << "2021-03-05" << QDate(2021, 3, 5);
        QTest::newRow("no year") << "31/01/    " << QDate(year, 1, 31);
        QTest::newRow("half a day") << "3 /01/2021" << QDate(2021, 1, 3);
        QTest::newRow("impossible") << "31/02/2021" << QDate();
        QTest::newRow("three-digit year") << "01/01/202" << QDate();
        QTest::newRow("no month") << "12/  /2021" << QDate();
        QTest::newRow("words") << "12 maggio" << QDate();
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(ItalianFormat::parseDate(text), date);
    }

    void namedDateFormats()
    {
        const QDate d(2021, 5, 12);
        QCOMPARE(ItalianFormat::formatDate(d, QStringLiteral("Short Date")), QStringLiteral("12/05/2021"));
        QCOMPARE(ItalianFormat::formatDate(d, QStringLiteral("Medium Date")), QStringLiteral("12-mag-21"));
        QCOMPARE(ItalianFormat::formatDate(d, QStringLiteral("Long Date")),
                 QStringLiteral("mercoledì 12 maggio 2021"));
        QCOMPARE(ItalianFormat::formatDate(d, QStringLiteral("dd/mm/yyyy")), QStringLiteral("12/05/2021"));
    }

    void typedNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("italian") << "1.234,5" << "1234.5";
        QTest::newRow("point decimals") << "12.5" << "12.5";
        QTest::newRow("thousands only") << "1.234" << "1234";
        QTest::newRow("minus") << "-0,5" << "-0.5";
        QTest::newRow("bad group") << "12.34.5" << QString();
        QTest::newRow("letters") << "12a" << QString();
        QTest::newRow("empty") << "" << QString();
    }
    void typedNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, normalised);
        bool ok = false;
        const QString result = ItalianFormat::normaliseNumber(text, &ok);
        QCOMPARE(ok, !normalised.isEmpty());
        if (ok)
            QCOMPARE(result, normalised);
    }

    void displayPatterns()
    {
        QCOMPARE(ItalianFormat::formatText(QStringLiteral("20100"), QStringLiteral("@@-@@@")),
                 QStringLiteral("20-100"));
        QCOMPARE(ItalianFormat::formatText(QStringLiteral("100"), QStringLiteral("@@-@@@")),
                 QStringLiteral("  -100"));
        QCOMPARE(ItalianFormat::formatText(QStringLiteral("100"), QStringLiteral("!&&-&&&")),
                 QStringLiteral("10-0"));
        QCOMPARE(ItalianFormat::formatText(QStringLiteral("1234567"), QStringLiteral("@@-@@@")),
                 QStringLiteral("1234-567")); // extra characters are not lost
        QCOMPARE(ItalianFormat::formatText(QStringLiteral("Rossi"), QStringLiteral(">")),
                 QStringLiteral("ROSSI"));
    }
};

QTEST_GUILESS_MAIN(tst_slxTextFormats)
#include "tst_slxTextFormats.moc"
