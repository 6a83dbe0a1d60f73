#include <QtTest>

#include <memory>

#include "MessageBoxSeam.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "comChanged.h"
#include "dbClass.h"
#include "modMain.h"

// Old municipality codes of companies copied from the previous year are
// brought up to date through the conversion table.
class tst_comChanged : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void find_data();
    void find();
    void emptyTableChangesNothing();
    void shippedTable_data();
    void shippedTable();

private:
    std::unique_ptr<ShellFixture> m_fx;
};

void tst_comChanged::initTestCase()
{
    TestSupport::scriptDialogs();
}

void tst_comChanged::init()
{
    MessageBoxSeam::clearAsked();
    m_fx = std::make_unique<ShellFixture>();
    // Rows in a shuffled order, one with a missing code that must not spoil
    // the others, one without a postal code.
    QVERIFY(m_fx->openDatabase(QStringLiteral(
        "INSERT INTO ComConv (prvOld, comOld, prvNew, comNew, capNew) VALUES "
        "(96, 5, 96, 88, '13900'), (22, 40, 22, 250, '38068'), (22, 12, NULL, 260, '38000'),"
        "(22, 30, 22, 255, NULL), (22, 10, 22, 249, '38060'), (1, 1, 1, 2, '10010');")));
}

void tst_comChanged::find_data()
{
    QTest::addColumn<QVariant>("prv");
    QTest::addColumn<QVariant>("com");
    QTest::addColumn<QVariant>("cap");
    QTest::addColumn<QVariantList>("expected");

    const QVariant noCap;
    QTest::newRow("listed") << QVariant(22) << QVariant(40) << QVariant("38000")
                            << QVariantList{22, 250, "38068"};
    QTest::newRow("listed, no cap given") << QVariant(22) << QVariant(10) << noCap
                                          << QVariantList{22, 249, "38060"};
    QTest::newRow("codes as text") << QVariant("022") << QVariant("40") << noCap
                                   << QVariantList{22, 250, "38068"};
    QTest::newRow("last of the table") << QVariant(96) << QVariant(5) << QVariant("1")
                                       << QVariantList{96, 88, "13900"};
    QTest::newRow("first of the table") << QVariant(1) << QVariant(1) << noCap
                                        << QVariantList{1, 2, "10010"};
    QTest::newRow("between two listed") << QVariant(22) << QVariant(20) << QVariant("38100")
                                        << QVariantList{22, 20, "38100"};
    QTest::newRow("past every province") << QVariant(110) << QVariant(1) << QVariant("76121")
                                         << QVariantList{110, 1, "76121"};
    QTest::newRow("row without new province is skipped")
        << QVariant(22) << QVariant(12) << QVariant("38000") << QVariantList{22, 12, "38000"};
    QTest::newRow("row without postal code keeps the company's")
        << QVariant(22) << QVariant(30) << QVariant("38000") << QVariantList{22, 255, "38000"};
    QTest::newRow("null province") << QVariant() << QVariant(40) << QVariant("38068")
                                   << QVariantList{0, 0, noCap};
    QTest::newRow("null municipality") << QVariant(22) << QVariant() << QVariant("38068")
                                       << QVariantList{0, 0, noCap};
}

void tst_comChanged::find()
{
    QFETCH(QVariant, prv);
    QFETCH(QVariant, com);
    QFETCH(QVariant, cap);
    QFETCH(QVariantList, expected);

    const comChanged conv;
    QCOMPARE(conv.count(), 5);
    const QVariantList got = conv.find(prv, com, cap);
    QCOMPARE(got.size(), 3);
    QCOMPARE(got.at(0).toInt(), expected.at(0).toInt());
    QCOMPARE(got.at(1).toInt(), expected.at(1).toInt());
    QCOMPARE(got.at(2).isNull(), expected.at(2).isNull());
    QCOMPARE(got.at(2).toString(), expected.at(2).toString());
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_comChanged::emptyTableChangesNothing()
{
    QVERIFY(modMain::gDb->Execute(QStringLiteral("DELETE FROM ComConv")));
    const comChanged conv;
    QCOMPARE(conv.count(), 0);
    const QVariantList got = conv.find(58, 91, QStringLiteral("00118"));
    QCOMPARE(got, (QVariantList{58, 91, QStringLiteral("00118")}));
}

void tst_comChanged::shippedTable_data()
{
    QTest::addColumn<QVariantList>("old");
    QTest::addColumn<QVariantList>("expected");
    QTest::newRow("Montecopiolo to Rimini") << QVariantList{41, 33, "61014"} << QVariantList{99, 30, "61014"};
    QTest::newRow("Faedo merged") << QVariantList{22, 80, "38000"} << QVariantList{22, 167, "38010"};
    QTest::newRow("Fondo, several codes") << QVariantList{22, 88, "38013"} << QVariantList{22, 252, "38013"};
    QTest::newRow("Monteciccardo to Pesaro") << QVariantList{41, 32, "61024"} << QVariantList{41, 44, "61024"};
    QTest::newRow("Trapani stays") << QVariantList{81, 21, "91100"} << QVariantList{81, 21, "91100"};
}

void tst_comChanged::shippedTable()
{
    QFETCH(QVariantList, old);
    QFETCH(QVariantList, expected);
    m_fx = std::make_unique<ShellFixture>();
    QVERIFY(m_fx->openDatabase(ShellFixture::shippedConversions()));
    QCOMPARE(comChanged().find(old.at(0), old.at(1), old.at(2)), expected);
}

QTEST_MAIN(tst_comChanged)
#include "tst_comChanged.moc"
