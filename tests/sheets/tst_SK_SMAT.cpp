#include <QtTest>

#include "SaveFaults.h"
#include "DatabaseProbe.h"
#include "PackagingTest.h"
#include "SK_SMAT.h"
#include "modalClass.h"
#include "hNav.h"
#include "slxButton.h"
#include "slxLabel.h"

#include <QTableWidget>

using namespace PackagingTest;
using MessageBoxSeam::vbNo;
using MessageBoxSeam::vbYes;

namespace {
const char *const rows =
    "INSERT INTO Ditte (codFisc, ragSoc, via) VALUES ('00743110157', 'STUDIO ROSSI', 'VIA COMO 7');\n"
    "INSERT INTO skMat (skmID, saID, codFisc, ragSoc) VALUES (1, 7, '12345678903', 'VETRERIE RIUNITE'),"
    " (2, 8, '12345678903', 'ALTRA DICHIARAZIONE');\n"
    "INSERT INTO RecMat (skmID, skmTipo, qtaProdVuoti, qtaProdPieni, qtaImpVuoti, qtaImpPieni, qtaEspVuoti,"
    " qtaEspPieni) VALUES (1, 101, 123456, NULL, 0, 0, 0, 0), (1, 104, 0, 0, 50000, 0, 0, 0);\n";
}

// The producer packaging cards: the codice fiscale that selects a card,
// quantities in every column stored exactly, the company registered with a
// new card, and deletion.
class tst_SK_SMAT : public MainWindowTestCase
{
    Q_OBJECT

    SK_SMAT *sheet = nullptr;
    DatabaseProbe db;

    bool open(const QString &extraSql = QString())
    {
        if (!startProgram(ShellFixture::lookupRows() + QString::fromUtf8(rows) + extraSql))
            return false;
        sheet = qobject_cast<SK_SMAT *>(openSheet(4));
        return sheet && db.open(fx->folder() + QStringLiteral("/Kez22imb.db"), true);
    }
    slxText *slt(int i) { return sheet->findChild<slxText *>(QStringLiteral("slt_%1").arg(i)); }
    slxButton *slb(int i) { return sheet->findChild<slxButton *>(QStringLiteral("slb_%1").arg(i)); }
    hNav *nav() { return sheet->findChild<hNav *>(QStringLiteral("nav")); }
    void click(int button) { QTest::mouseClick(slb(button), Qt::LeftButton); }

private Q_SLOTS:
    // The sheet opens on the declaration's last card: its stored rows on
    // their material's row, a Null quantity as 0; a value with more
    // decimals than shown, and the Null, stay as stored when other cells
    // are edited and the card saved.
    void storedCardKeepsWhatWasNotEdited()
    {
        QVERIFY(open());
        QCOMPARE(nav()->label()->Caption(), QStringLiteral("Scheda 1 di 1"));
        QCOMPARE(slt(1)->Text(), QStringLiteral("VETRERIE RIUNITE"));
        slxGrid *g = sheet->grid();
        QCOMPARE(g->table()->item(0, 0)->text(), QStringLiteral("12,3"));
        QCOMPARE(g->TextMatrix(1, 2).toDouble(), 0.0);
        QCOMPARE(g->TextMatrix(4, 3).toDouble(), 5.0);
        QVERIFY(!slb(2)->Enabled());
        editCell(g, 1, 1, QStringLiteral("12,3"));
        QVERIFY(!slb(2)->Enabled());
        editCell(g, 6, 6, QStringLiteral("7,5"));
        QVERIFY(slb(2)->Enabled());
        TestSupport::grab(modMain::gMain, QStringLiteral("sheet-smat"));
        click(2);
        QVERIFY(!slb(2)->Enabled());
        QCOMPARE(db.column(QStringLiteral("SELECT skmTipo || ':' || qtaProdVuoti || ':' || "
                                          "IFNULL(qtaProdPieni, 'null') || ':' || qtaEspPieni FROM RecMat "
                                          "WHERE skmID = 1 ORDER BY skmTipo")),
                 QStringList({QStringLiteral("101:123456:null:0"), QStringLiteral("104:0:0:0"),
                              QStringLiteral("106:0:0:75000")}));
    }

    // A second subject's card: its code typed first, quantities typed in
    // every column and read back exactly, the company added to the registry;
    // then the first card is emptied and, at last, deleted with its rows.
    void secondCardEmptiedAndDeleted()
    {
        QVERIFY(open());
        fill(slt(0), QStringLiteral("00743110157"));
        click(3);
        QCOMPARE(nav()->label()->Caption(), QStringLiteral("Nuova scheda"));
        QVERIFY(slt(0)->Value().isNull());
        fill(slt(0), QStringLiteral("RSSMRA80A01H501U"));
        QVERIFY(slt(1)->Value().isNull());
        fill(slt(1), QStringLiteral("cartiera nord"));
        slxGrid *g = sheet->grid();
        for (int c = 1; c <= 6; ++c)
            editCell(g, c, c, QStringLiteral("%1,%2").arg(1000 * c + c).arg(c));
        click(2);
        QCOMPARE(nav()->label()->Caption(), QStringLiteral("Scheda 2 di 2"));
        QCOMPARE(db.column(QStringLiteral("SELECT skmTipo || ':' || (qtaProdVuoti + qtaProdPieni + qtaImpVuoti"
                                          " + qtaImpPieni + qtaEspVuoti + qtaEspPieni) FROM RecMat r JOIN skMat s"
                                          " ON s.skmID = r.skmID WHERE codFisc = 'RSSMRA80A01H501U'")),
                 QStringList({QStringLiteral("101:10011000"), QStringLiteral("102:20022000"),
                              QStringLiteral("103:30033000"), QStringLiteral("104:40044000"),
                              QStringLiteral("105:50055000"), QStringLiteral("106:60066000")}));
        QCOMPARE(db.scalar(QStringLiteral("SELECT ragSoc FROM Ditte WHERE codFisc = 'RSSMRA80A01H501U'")).toString(),
                 QStringLiteral("CARTIERA NORD"));
        QVERIFY(modMain::gModal->getDitta(QStringLiteral("RSSMRA80A01H501U")) && modMain::gModal->via.isNull());

        // Back to the first card by its code: emptied, it keeps no row.
        fill(slt(0), QStringLiteral("12345678903"));
        QCOMPARE(nav()->label()->Caption(), QStringLiteral("Scheda 1 di 2"));
        editCell(sheet->grid(), 1, 1, QStringLiteral("0"));
        editCell(sheet->grid(), 4, 3, QStringLiteral("0"));
        MessageBoxSeam::pushAnswer(vbYes);
        click(2);
        QVERIFY(prompts().contains(QStringLiteral("Attenzione, nessuna quantità inserita.\nSalvo comunque la scheda?")));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM RecMat WHERE skmID = 1")).toInt(), 0);

        // Deleting it takes its rows too and shows the card that followed.
        MessageBoxSeam::pushAnswer(vbYes);
        click(4);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM skMat WHERE saID = 7")).toInt(), 1);
        QCOMPARE(slt(0)->Text(), QStringLiteral("RSSMRA80A01H501U"));
        QCOMPARE(nav()->label()->Caption(), QStringLiteral("Scheda 1 di 1"));
        MessageBoxSeam::pushAnswer(vbYes);
        click(4);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM RecMat")).toInt(), 0);
        QCOMPARE(nav()->label()->Caption(), QStringLiteral("Nuova scheda"));
        QVERIFY(slt(0)->Value().isNull());
    }

    // "Nuova scheda" starts from nothing. A card is stored under the code it
    // was started for, its name with it: a code typed over a card leads to
    // that subject's own card after the question; only a card started
    // without a code takes the one typed. The registry learns a company only
    // under the code its name was shown with, and a known one stays as it is.
    void aCardKeepsTheCodeItWasStartedFor_data()
    {
        QTest::addColumn<QString>("firstCode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("registry");
        QTest::addColumn<QString>("shown");
        const QString known = QStringLiteral("00743110157:STUDIO ROSSI");
        const QString alfa = QStringLiteral("RSSMRA80A01H501U:ALFA");
        QTest::newRow("new company") << "RSSMRA80A01H501U" << "ALFA" << "" << alfa << known + ',' + alfa
                                     << alfa + ":Scheda 2 di 2";
        QTest::newRow("known company") << "00743110157" << "" << "" << known << known << known + ":Scheda 2 di 2";
        QTest::newRow("known, then a new code") << "00743110157" << "" << "RSSMRA80A01H501U" << known << known
                                                << "RSSMRA80A01H501U::Nuova scheda";
        QTest::newRow("new, then a known code") << "RSSMRA80A01H501U" << "ALFA" << "00743110157" << alfa
                                                << known + ',' + alfa << known + ":Nuova scheda";
    }
    void aCardKeepsTheCodeItWasStartedFor()
    {
        QFETCH(QString, firstCode);
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(QString, stored);
        QFETCH(QString, registry);
        QFETCH(QString, shown);
        QVERIFY(open());
        click(3);
        if (!firstCode.isEmpty())
            fill(slt(0), firstCode);
        // A code alone, or a known company's name from the registry, is
        // nothing to save yet.
        QVERIFY(!slb(2)->Enabled());
        if (!name.isEmpty())
            fill(slt(1), name);
        editCell(sheet->grid(), 2, 1, QStringLiteral("1"));
        prompts();
        if (code.isEmpty()) {
            click(2);
        } else {
            MessageBoxSeam::pushAnswer(vbYes);
            fill(slt(0), code);
            QCOMPARE(prompts(), QStringList{QStringLiteral("Attenzione dati cambiati, vuoi salvarli?")});
        }
        QCOMPARE(db.column(QStringLiteral("SELECT codFisc || ':' || ragSoc FROM skMat WHERE saID = 7 "
                                          "ORDER BY skmID")),
                 QStringList({QStringLiteral("12345678903:VETRERIE RIUNITE"), stored}));
        QCOMPARE(db.scalar(QStringLiteral("SELECT group_concat(codFisc || ':' || ragSoc, ',') FROM "
                                          "(SELECT * FROM Ditte ORDER BY codFisc)")).toString(),
                 registry);
        QCOMPARE(slt(0)->Text() + ':' + slt(1)->Text() + ':' + nav()->label()->Caption(), shown);
        QVERIFY(!slb(2)->Enabled());
    }

    // What the database refuses is not reported as done: the user's card
    // stays on the sheet, still to be saved.
    void refusalsKeepTheCard()
    {
        // Added while the file is open: a file with a trigger is refused at open.
        QVERIFY(open() && modMain::gDb->Execute(QStringLiteral(
            "CREATE TRIGGER noDitte BEFORE INSERT ON Ditte BEGIN SELECT RAISE(ABORT, 'registro bloccato'); END;\n"
            "CREATE TRIGGER noDelete BEFORE DELETE ON skMat BEGIN SELECT RAISE(ABORT, 'schede bloccate'); END;\n")));
        MessageBoxSeam::pushAnswer(vbYes);
        click(4);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM skMat WHERE skmID = 1")).toInt(), 1);
        QCOMPARE(nav()->label()->Caption(), QStringLiteral("Scheda 1 di 1"));
        QCOMPARE(slt(1)->Text(), QStringLiteral("VETRERIE RIUNITE"));
        prompts();

        click(3);
        fill(slt(0), QStringLiteral("RSSMRA80A01H501U"));
        fill(slt(1), QStringLiteral("BETA"));
        editCell(sheet->grid(), 1, 1, QStringLiteral("3"));
        click(2);
        QVERIFY(prompts().contains(
            QStringLiteral("Attenzione, impossibile registrare la ditta in anagrafica:\nla scheda non è stata salvata.")));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM skMat WHERE saID = 7")).toInt(), 1);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM RecMat")).toInt(), 2);
        QVERIFY(slb(2)->Enabled());
        QCOMPARE(nav()->label()->Caption(), QStringLiteral("Nuova scheda"));
        QCOMPARE(sheet->grid()->TextMatrix(1, 1).toDouble(), 3.0);
    }

    // A digit past the column's one decimal is dropped: the cell keeps what
    // was typed up to it, never the last digit alone. The user's event loop
    // runs between the keys.
    void aDigitPastTheDecimalIsDropped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("2,25") << "2,25" << "2,2" << "22000";
        QTest::newRow("12,345") << "12,345" << "12,3" << "123000";
    }
    void aDigitPastTheDecimalIsDropped()
    {
        QFETCH(QString, typed);
        QVERIFY(open());
        slxGrid *g = sheet->grid();
        g->setFocus();
        g->setRow(6);
        g->setCol(6);
        for (QChar c : typed) {
            TestSupport::typeText(QApplication::focusWidget(), QString(c));
            QCoreApplication::processEvents();
        }
        QVERIFY(g->Editing());
        TestSupport::grab(modMain::gMain, QStringLiteral("sheet-smat-cell-full"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!g->Editing());
        QTEST(g->table()->item(5, 5)->text(), "shown");
        click(2);
        QTEST(db.scalar(QStringLiteral("SELECT qtaEspPieni FROM RecMat WHERE skmID = 1 AND skmTipo = 106")).toString(),
              "stored");
    }

    // A card's rows are stored with the card even when the first try met a
    // full disk or another program's write.
    void savesThroughFaults_data() { SaveFaults::addRows(); }
    void savesThroughFaults()
    {
        QVERIFY(open());
        SaveFaults::saveThrough(QStringLiteral("RecMat"), [this] {
            editCell(sheet->grid(), 6, 6, QStringLiteral("7,5"));
            click(2);
        }, [this] {
            return db.scalar(QStringLiteral("SELECT qtaEspPieni FROM RecMat WHERE skmID = 1 AND skmTipo = 106")).toString();
        }, QStringLiteral("75000"));
    }
};

QTEST_MAIN(tst_SK_SMAT)
#include "tst_SK_SMAT.moc"
