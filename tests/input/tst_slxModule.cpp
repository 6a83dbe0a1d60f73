#include <QApplication>
#include <QTest>

#include "ScreenMetrics.h"
#include "slxModule.h"

// The metrics and lookups every owner-drawn control builds on.
class tst_slxModule : public QObject
{
    Q_OBJECT

    static void forgetMetrics()
    {
        slxModule::twipsPerPixelX = 0;
        slxModule::twipsPerPixelY = 0;
        slxModule::vScrollWidth = 0;
    }

private Q_SLOTS:
    void metricsComeFromTheScreen()
    {
        forgetMetrics();
        slxModule::initControlMetrics();
        QCOMPARE(slxModule::twipsPerPixelX, qRound(ScreenMetrics::twipsPerPixelX()));
        QCOMPARE(slxModule::twipsPerPixelY, qRound(ScreenMetrics::twipsPerPixelY()));
        QCOMPARE(slxModule::vScrollWidth,
                 slxModule::twipsPerPixelX * ScreenMetrics::verticalScrollBarWidth());
        // The offscreen screen is the classic 96 DPI.
        QCOMPARE(ScreenMetrics::twipsPerPixelX(), 15.0);
        QCOMPARE(slxModule::twipsPerPixelX, 15);
    }

    void metricsAreTakenOnce()
    {
        forgetMetrics();
        slxModule::initControlMetrics(15, 15, 17);
        QCOMPARE(slxModule::vScrollWidth, 255);
        // A later change of screen is not followed.
        slxModule::initControlMetrics(12, 12, 20);
        slxModule::initControlMetrics();
        QCOMPARE(slxModule::twipsPerPixelX, 15);
        QCOMPARE(slxModule::twipsPerPixelY, 15);
        QCOMPARE(slxModule::vScrollWidth, 255);
    }

    void halvesRoundToEven_data()
    {
        QTest::addColumn<double>("screen");
        QTest::addColumn<int>("expected");
        QTest::newRow("120 dpi") << 12.0 << 12;
        QTest::newRow("half down to even") << 12.5 << 12;
        QTest::newRow("half up to even") << 13.5 << 14;
        QTest::newRow("144 dpi") << 10.0 << 10;
        QTest::newRow("above half") << 11.52 << 12;
    }

    void halvesRoundToEven()
    {
        QFETCH(double, screen);
        QFETCH(int, expected);
        forgetMetrics();
        slxModule::initControlMetrics(screen, screen, 17);
        QCOMPARE(slxModule::twipsPerPixelX, expected);
        QCOMPARE(slxModule::twipsPerPixelY, expected);
        QCOMPARE(slxModule::vScrollWidth, expected * 17);
    }

    void accessKeys_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("key");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("no ampersand") << "Salva" << "";
        QTest::newRow("first letter") << "&Salva" << "S";
        QTest::newRow("case kept") << "Chi&udi" << "u";
        QTest::newRow("ampersand last") << "Salva&" << "";
        QTest::newRow("only a pair") << "&&" << "";
        QTest::newRow("letter and pair") << "R&&" << "";
        QTest::newRow("pair is a literal ampersand") << "R&&D" << "";
        QTest::newRow("key after a pair") << "R&&D &Nuovo" << "N";
        QTest::newRow("three ampersands") << "&&&A" << "A";
        QTest::newRow("first single wins") << "&Apri &Chiudi" << "A";
        QTest::newRow("accented") << "&Èlenco" << QStringLiteral("È");
        QTest::newRow("digit") << "Anno &1" << "1";
    }

    void accessKeys()
    {
        QFETCH(QString, caption);
        QFETCH(QString, key);
        QCOMPARE(slxModule::accelKeyOf(caption), key);
    }

    void edgeStyles_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("edge");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("bottom");
        const int table[][4] = {{0, 0, 1, 3},  {1, 0, 2, 4},  {2, 5, 3, 5}, {3, 4, 2, 4},
                                {4, 1, 2, 4},  {5, 10, 3, 5}, {6, 2, 2, 4}, {7, 8, 2, 4},
                                {8, 9, 3, 5},  {9, 6, 3, 5},  {10, 9, 1, 5}, {11, 6, 1, 5}};
        for (const auto &row : table)
            QTest::addRow("style %d", row[0]) << row[0] << row[1] << row[2] << row[3];
    }

    void edgeStyles()
    {
        QFETCH(int, style);
        QFETCH(int, edge);
        QFETCH(int, side);
        QFETCH(int, bottom);
        std::array<int, 4> margins{7, 0, 0, 9};
        QCOMPARE(slxModule::edgeStyleOf(style, margins), edge);
        QCOMPARE(margins, (std::array<int, 4>{side, side, side, bottom}));
    }

    void unknownEdgeStyleKeepsTheCallersMargins_data()
    {
        QTest::addColumn<int>("style");
        QTest::newRow("12") << 12;
        QTest::newRow("negative") << -1;
        QTest::newRow("large") << 1000;
    }

    void unknownEdgeStyleKeepsTheCallersMargins()
    {
        QFETCH(int, style);
        std::array<int, 4> margins{7, 0, 0, 9};
        QCOMPARE(slxModule::edgeStyleOf(style, margins), 0);
        QCOMPARE(margins, (std::array<int, 4>{7, 7, 7, 9}));
    }
};

QTEST_MAIN(tst_slxModule)
#include "tst_slxModule.moc"
