#include <QtTest>
#include <QTableWidget>
#include <QWheelEvent>

#include "SaveFaults.h"
#include "DatabaseProbe.h"
#include "PackagingTest.h"
#include "SK_SRIU.h"
#include "SK_STIP.h"
#include "WheelHooks.h"
#include "slxButton.h"

using namespace PackagingTest;
using MessageBoxSeam::vbCancel;
using MessageBoxSeam::vbOK;
using MessageBoxSeam::vbYes;

namespace {
// Reuse rows of declaration 7: type 1, type 3 twice (the later one shows),
// and a type the list does not hold. Packaging-type rows: type 2.
const char *const rows =
    "INSERT INTO RecRiu (riuID, saID, riuTipo, qtaAlimentare, qtaAltriUsi) VALUES"
    " (1, 7, 1, 100000, 23456), (2, 7, 3, NULL, 40000), (3, 7, 99, 10000, 10000), (4, 7, 3, 71234, NULL),"
    " (5, 8, 1, 10000, 0);\n"
    "INSERT INTO RecTip (tipID, saID, tipTipo, qtaPrimari, qtaSecondari) VALUES (1, 7, 2, 30000, 0);\n";

QString manyTypes()
{
    QString sql = QStringLiteral("INSERT INTO Codici (codType, codNumb, codAlfa, codDesc) VALUES ");
    for (int i = 6; i <= 40; ++i)
        sql += QStringLiteral("%1(12, %2, 'R%2', 'Tipo %2')").arg(i > 6 ? QStringLiteral(", ") : QString()).arg(i);
    return sql + QStringLiteral(";\n");
}
}

// The reuse and packaging-type sheets over an invented list of types: the
// rows of the card on the rows of their types, a type added and one
// removed, the question on an emptied card, refusals, and the wheel.
class tst_SK_SRIU : public MainWindowTestCase
{
    Q_OBJECT

    TypeSheet *sheet = nullptr;
    DatabaseProbe db;

    bool open(int formCode, const QString &extraSql = QString())
    {
        if (!startProgram(ShellFixture::lookupRows() + fixture(QStringLiteral("tipi.sql"))
                          + QString::fromUtf8(rows) + extraSql))
            return false;
        sheet = qobject_cast<TypeSheet *>(openSheet(formCode));
        return sheet && db.open(fx->folder() + QStringLiteral("/Kez22imb.db"), true);
    }
    slxButton *slb(int i) { return sheet->findChild<slxButton *>(QStringLiteral("slb_%1").arg(i)); }
    QString shown(int row, int col) { return sheet->grid()->table()->item(row - 1, col - 1)->text(); }
    bool sheetOpen() { return modMain::currentForm == 5 || modMain::currentForm == 6; }

private Q_SLOTS:
    void typeAddedAndRemoved()
    {
        QVERIFY(open(5));
        slxGrid *g = sheet->grid();
        QCOMPARE(shown(4, 1), QStringLiteral("Bottiglie in vetro "));
        QCOMPARE(shown(1, 2) + QLatin1Char('/') + shown(1, 3), QStringLiteral("10,0/2,3"));
        QCOMPARE(shown(2, 2) + QLatin1Char('/') + shown(2, 3), QStringLiteral("0,0/0,0"));
        QCOMPARE(shown(3, 2) + QLatin1Char('/') + shown(3, 3), QStringLiteral("7,1/0,0"));
        QVERIFY(slb(1)->Enabled());
        QVERIFY(!slb(0)->Enabled());
        QCOMPARE(g->Col(), 2);

        editCell(g, 2, 3, QStringLiteral("5"));
        editCell(g, 1, 2, QStringLiteral("0"));
        editCell(g, 1, 3, QStringLiteral("0"));
        QVERIFY(slb(0)->Enabled());
        TestSupport::grab(modMain::gMain, QStringLiteral("sheet-sriu"));
        QTest::mouseClick(slb(0), Qt::LeftButton);
        QVERIFY(!slb(0)->Enabled());
        QVERIFY(sheetOpen());
        // Type 3 keeps its exact stored values; the other rows of the
        // declaration (type 1, the second type-3 row, type 99) are gone.
        QCOMPARE(db.column(QStringLiteral("SELECT riuTipo || ':' || IFNULL(qtaAlimentare, 'null') || ':' || "
                                          "IFNULL(qtaAltriUsi, 'null') FROM RecRiu WHERE saID = 7 ORDER BY riuTipo")),
                 QStringList({QStringLiteral("2:0:50000"), QStringLiteral("3:71234:null")}));
        QCOMPARE(db.scalar(QStringLiteral("SELECT riuTipo FROM RecRiu WHERE riuID = 4")).toInt(), 3);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM RecRiu WHERE saID = 8")).toInt(), 1);

        // A second save finds the rows the first one wrote.
        editCell(g, 2, 2, QStringLiteral("1"));
        QTest::mouseClick(slb(0), Qt::LeftButton);
        QCOMPARE(db.column(QStringLiteral("SELECT riuTipo || ':' || qtaAlimentare FROM RecRiu WHERE saID = 7 "
                                          "ORDER BY riuTipo")),
                 QStringList({QStringLiteral("2:10000"), QStringLiteral("3:71234")}));
    }

    // An emptied card: deleted on OK, kept on Cancel, whether the question
    // comes from "Salva" or from closing the modified sheet.
    void emptiedCard_data()
    {
        QTest::addColumn<int>("formCode");
        QTest::addColumn<bool>("closing");
        QTest::addColumn<int>("answer");
        QTest::newRow("reuse, save, OK") << 5 << false << int(vbOK);
        QTest::newRow("reuse, save, Cancel") << 5 << false << int(vbCancel);
        QTest::newRow("types, close, OK") << 6 << true << int(vbOK);
        QTest::newRow("types, close, Cancel") << 6 << true << int(vbCancel);
    }
    void emptiedCard()
    {
        QFETCH(int, formCode);
        QFETCH(bool, closing);
        QFETCH(int, answer);
        QVERIFY(open(formCode));
        const QString table = formCode == 5 ? QStringLiteral("RecRiu") : QStringLiteral("RecTip");
        const int before = db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE saID = 7").arg(table)).toInt();
        slxGrid *g = sheet->grid();
        for (int r = 1; r <= g->Rows(); ++r)
            for (int c = 2; c <= 3; ++c)
                if (g->TextMatrix(r, c).toDouble() != 0)
                    editCell(g, r, c, QStringLiteral("0"));
        if (formCode == 6)
            TestSupport::grab(modMain::gMain, QStringLiteral("sheet-stip"));
        prompts();
        if (closing) {
            MessageBoxSeam::pushAnswer(vbYes);
            MessageBoxSeam::pushAnswer(answer);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        } else {
            MessageBoxSeam::pushAnswer(answer);
            QTest::mouseClick(slb(0), Qt::LeftButton);
        }
        settle();
        QCOMPARE(prompts().last(),
                 QStringLiteral("Attenzione, nessun valore impostato,\nprocedo con l'eliminazione della scheda?"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE saID = 7").arg(table)).toInt(),
                 answer == vbOK ? 0 : before);
        QCOMPARE(sheetOpen(), answer != vbOK);
        if (answer != vbOK)
            QVERIFY(slb(0)->Enabled());
    }

    // A refused DELETE is not taken for done: the error is shown and the
    // sheet stays open with the user's values, still to be saved.
    void refusedDeleteKeepsTheSheet()
    {
        // Added while the file is open: a file with a trigger is refused at open.
        QVERIFY(open(5) && modMain::gDb->Execute(QStringLiteral("CREATE TRIGGER noDelete BEFORE DELETE ON RecRiu "
                                                                "BEGIN SELECT RAISE(ABORT, 'righe bloccate'); END;\n")));
        slxGrid *g = sheet->grid();
        for (int r : {1, 3})
            for (int c : {2, 3})
                editCell(g, r, c, QStringLiteral("0"));
        MessageBoxSeam::pushAnswer(vbOK);
        QTest::mouseClick(slb(0), Qt::LeftButton);
        settle();
        QVERIFY(sheetOpen());
        QVERIFY(slb(0)->Enabled());
        QCOMPARE(shown(1, 2), QStringLiteral("0,0"));
        QCOMPARE(MessageBoxSeam::asked().last().style, 16);
        MessageBoxSeam::pushAnswer(vbYes);
        QTest::mouseClick(slb(1), Qt::LeftButton);
        settle();
        QVERIFY(sheetOpen());
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM RecRiu WHERE saID = 7")).toInt(), 4);
    }

    // The wheel scrolls the reuse grid by a row a notch; the packaging-type
    // sheet has no hook.
    void wheelOverTheReuseGrid_data()
    {
        QTest::addColumn<int>("formCode");
        QTest::addColumn<int>("topRow");
        QTest::newRow("reuse") << 5 << 2;
        QTest::newRow("types") << 6 << 1;
    }
    void wheelOverTheReuseGrid()
    {
        QFETCH(int, formCode);
        QFETCH(int, topRow);
        QVERIFY(open(formCode, manyTypes()));
        slxGrid *g = sheet->grid();
        g->setFocus();
        QWidget *viewport = g->table()->viewport();
        const QPointF pos(viewport->width() / 2.0, viewport->height() / 2.0);
        QWheelEvent e(pos, viewport->mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &e);
        QCOMPARE(g->TopRow(), topRow);
        // Closing gives the hook back.
        QVERIFY(WheelHooks::instance().isHooked(sheet) == (formCode == 5));
        const int hooks = WheelHooks::instance().count();
        QTest::keyClick(g->table(), Qt::Key_Escape);
        settle();
        QCOMPARE(WheelHooks::instance().count(), hooks - (formCode == 5 ? 1 : 0));
    }

    // With the lists as the program ships them (empty) the sheets open on
    // no type and save nothing.
    void emptyListOpens()
    {
        QVERIFY(startProgram(ShellFixture::lookupRows()));
        sheet = qobject_cast<TypeSheet *>(openSheet(6));
        QVERIFY(sheet);
        QCOMPARE(sheet->grid()->Rows(), 0);
        QVERIFY(!slb(1)->Enabled());
        TestSupport::grab(modMain::gMain, QStringLiteral("sheet-stip-empty"));
        sheet->setModificata();
        QTest::mouseClick(slb(0), Qt::LeftButton);
        QVERIFY(!slb(0)->Enabled());
        QVERIFY(sheetOpen());
    }

    void savesThroughFaults_data()
    {
        QTest::addColumn<int>("formCode");
        QTest::addColumn<int>("fault");
        for (int code : {5, 6})
            for (int fault : {0, 1, 2})
                QTest::addRow("%s, %s", code == 5 ? "reuse" : "types", std::array{"disk full, then space freed",
                              "another program writes", "another program holds it, then lets go"}[fault]) << code << fault;
    }
    void savesThroughFaults()
    {
        QFETCH(int, formCode);
        QVERIFY(open(formCode));
        const bool reuse = formCode == 5;
        const QString rows = reuse ? QStringLiteral("SELECT riuTipo || ':' || ifnull(qtaAlimentare, 'n') || ':' || "
                                                    "ifnull(qtaAltriUsi, 'n') FROM RecRiu")
                                   : QStringLiteral("SELECT tipTipo || ':' || ifnull(qtaPrimari, 'n') || ':' || "
                                                    "ifnull(qtaSecondari, 'n') FROM RecTip");
        SaveFaults::saveThrough(reuse ? QStringLiteral("RecRiu") : QStringLiteral("RecTip"), [this] {
            editCell(sheet->grid(), 2, 3, QStringLiteral("5"));
            QTest::mouseClick(slb(0), Qt::LeftButton);
            settle();
        }, [this, rows] {
            return db.column(rows + QStringLiteral(" WHERE saID = 7 ORDER BY 1")).join(QLatin1Char(' '));
        }, reuse ? QStringLiteral("1:100000:23456 2:0:50000 3:71234:n") : QStringLiteral("2:30000:50000"));
    }
};

QTEST_MAIN(tst_SK_SRIU)
#include "tst_SK_SRIU.moc"
