#include <QtTest>

#include "SaveFaults.h"
#include "DatabaseProbe.h"
#include "PackagingTest.h"
#include "SK_SBOP.h"
#include "hNav.h"
#include "slxButton.h"
#include "slxLabel.h"

using namespace PackagingTest;
using MessageBoxSeam::vbNo;
using MessageBoxSeam::vbYes;

namespace {
const char *const rows =
    "INSERT INTO skSbop (sksID, saID, codFisc, ragSoc, sksBorse, pmBorse, pmAltre) VALUES"
    " (1, 7, '12345678903', 'BUSTE SUD', 120000, 51250, NULL);\n";
}

// The plastic bags cards: tonnages and average weights bound to their
// columns by their fields, the question for a card with no tonnage.
class tst_SK_SBOP : public MainWindowTestCase
{
    Q_OBJECT

    SK_SBOP *sheet = nullptr;
    DatabaseProbe db;

    slxText *slt(int i) { return sheet->findChild<slxText *>(QStringLiteral("slt_%1").arg(i)); }
    slxButton *slb(int i) { return sheet->findChild<slxButton *>(QStringLiteral("slb_%1").arg(i)); }
    QString navText() { return sheet->findChild<hNav *>(QStringLiteral("nav"))->label()->Caption(); }

private Q_SLOTS:
    void tonnagesAndWeights()
    {
        QVERIFY(startProgram(ShellFixture::lookupRows() + QString::fromUtf8(rows)));
        sheet = qobject_cast<SK_SBOP *>(openSheet(3));
        QVERIFY(sheet);
        QVERIFY(db.open(fx->folder() + QStringLiteral("/Kez22imb.db"), true));
        QCOMPARE(navText(), QStringLiteral("Scheda 1 di 1"));
        QCOMPARE(slt(2)->Value().toDouble(), 12.0);
        QCOMPARE(slt(8)->Value().toDouble(), 5.125);
        QCOMPARE(slt(13)->Value().toDouble(), 0.0);

        // Only an average weight changes: the card is modified, and what
        // the user did not touch is written back as it was.
        fill(slt(9), QStringLiteral("2,5"));
        QVERIFY(slb(2)->Enabled());
        TestSupport::grab(modMain::gMain, QStringLiteral("sheet-sbop"));
        QTest::mouseClick(slb(2), Qt::LeftButton);
        QVERIFY(!slb(2)->Enabled());
        QCOMPARE(db.column(QStringLiteral("SELECT sksBorse || ':' || pmBorse || ':' || pm50Micron || ':' || "
                                          "IFNULL(pmAltre, 'null') FROM skSbop WHERE sksID = 1")),
                 QStringList(QStringLiteral("120000:51250:25000:null")));

        // A new card with weights only asks before it is stored.
        QTest::mouseClick(slb(3), Qt::LeftButton);
        QCOMPARE(navText(), QStringLiteral("Nuova scheda"));
        for (int i = 2; i <= 13; ++i)
            QCOMPARE(slt(i)->Value().toDouble(), 0.0);
        fill(slt(0), QStringLiteral("RSSMRA80A01H501U"));
        fill(slt(1), QStringLiteral("Borse Nord"));
        fill(slt(10), QStringLiteral("1,75"));
        prompts();
        MessageBoxSeam::pushAnswer(vbNo);
        QTest::mouseClick(slb(2), Qt::LeftButton);
        QCOMPARE(prompts(), QStringList(QStringLiteral("Attenzione, nessuna quantità inserita.\nSalvo comunque la scheda?")));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM skSbop")).toInt(), 1);
        MessageBoxSeam::pushAnswer(vbYes);
        QTest::mouseClick(slb(2), Qt::LeftButton);
        QCOMPARE(db.column(QStringLiteral("SELECT codFisc || ':' || ragSoc || ':' || sksBorse || ':' || pm15Micron "
                                          "FROM skSbop WHERE sksID > 1")),
                 QStringList(QStringLiteral("RSSMRA80A01H501U:BORSE NORD:0:17500")));
        QCOMPARE(navText(), QStringLiteral("Scheda 2 di 2"));

        // The code of the other card shows that card.
        fill(slt(0), QStringLiteral("12345678903"));
        QCOMPARE(slt(1)->Text(), QStringLiteral("BUSTE SUD"));
        QCOMPARE(navText(), QStringLiteral("Scheda 1 di 2"));
    }

    void savesThroughFaults_data() { SaveFaults::addRows(); }
    void savesThroughFaults()
    {
        QVERIFY(startProgram(ShellFixture::lookupRows() + QString::fromUtf8(rows)));
        sheet = qobject_cast<SK_SBOP *>(openSheet(3));
        QVERIFY(sheet && db.open(fx->folder() + QStringLiteral("/Kez22imb.db"), true));
        SaveFaults::saveThrough(QStringLiteral("skSbop"), [this] {
            fill(slt(9), QStringLiteral("2,5"));
            QTest::mouseClick(slb(2), Qt::LeftButton);
        }, [this] {
            return db.scalar(QStringLiteral("SELECT pm50Micron FROM skSbop WHERE sksID = 1")).toString();
        }, QStringLiteral("25000"));
    }
};

QTEST_MAIN(tst_SK_SBOP)
#include "tst_SK_SBOP.moc"
