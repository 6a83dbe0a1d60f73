#include <QApplication>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>

#include "SaveFaults.h"
#include "DatabaseProbe.h"
#include "MessageBoxSeam.h"
#include "ModDR_CONS.h"
#include "ModuleTestCase.h"
#include "TestSupport.h"
#include "comboCom.h"
#include "comboKgt.h"
#include "hNav.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxCombo.h"
#include "slxGrid.h"
#include "slxLabel.h"
#include "slxText.h"

using MessageBoxSeam::vbCancel;
using MessageBoxSeam::vbNo;
using MessageBoxSeam::vbYes;

namespace {
// Destination module 21 with recovery R1 and R10, disposal D15, a code no
// grid shows, and a row of a position the form does not own; origin
// module 20 is never shown here.
const char *const modules =
    "INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, "
    "cap, nazID, mdcQta, mdcUmi) VALUES "
    "(20, 1, 1, '01234567897', 'ORIGINE SRL', 58, 91, 'VIA UNO', '1', '00118', 0, 10000, 1),"
    "(21, 1, 2, '12345678903', 'RECUPERI SPA', 15, 146, 'VIA DUE', '2', '20121', 0, 500000, 2);\n"
    "INSERT INTO RecDrCons (rdcID, mdcID, Posizione, Codice, Qta, Umi) VALUES "
    "(1, 21, 1, 'R10', 20000, 1), (2, 21, 1, 'R1', 15000, 2), (3, 21, 2, 'D15', 30000, 1),"
    "(4, 21, 1, 'R99', 10000, 1), (5, 21, 3, 'R1', 70000, 1);\n";

QString operations(int mdcID)
{
    return QStringLiteral("SELECT group_concat(Posizione || Codice || '=' || Qta || '/' || Umi, ' ') FROM "
                          "(SELECT * FROM RecDrCons WHERE mdcID = %1 ORDER BY Posizione, Codice)")
        .arg(mdcID);
}
}

// The destination modules of a consortia sheet: each with its recovery and
// disposal operations, saved with the module in one go, in a form that
// scrolls to the field being typed.
class tst_ModDR_CONS : public ModuleTestCase
{
    Q_OBJECT

    ModDR_CONS *open(const QString &rows = QString::fromUtf8(modules))
    {
        return qobject_cast<ModDR_CONS *>(openModules(32, rows));
    }
    static void click(QWidget *w)
    {
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }
    static void editCell(slxGrid *grid, int row, int col, const QString &text)
    {
        grid->setFocus();
        grid->setRow(row);
        grid->setCol(col);
        TestSupport::typeText(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!grid->Editing());
    }
    static QString grid(slxGrid *g)
    {
        QStringList used;
        for (int i = 1; i <= g->Rows(); ++i)
            if (g->TextMatrix(i, 1).toDouble() != 0 || g->TextMatrix(i, 2).toInt() != 1)
                used << g->TextMatrix(i, 0).toString() + QLatin1Char('=') + g->table()->item(i - 1, 0)->text()
                        + QLatin1Char('/') + g->table()->item(i - 1, 1)->text();
        return used.join(QLatin1Char(' '));
    }
    int lastModule() const
    {
        return scalar(QStringLiteral("SELECT max(mdcID) FROM ModCons")).toInt();
    }
    // A new Italian module of the registry's company, ready to be saved.
    void startItalian(ModDR_CONS *f)
    {
        click(f->slb[5]);
        typeAndLeave(f->slt[0], QStringLiteral("00743110157"));
        QCOMPARE(f->slt[1]->Text(), QStringLiteral("ARCO SPA"));
        typeAndLeave(f->slt[7], QStringLiteral("9"));
    }

private Q_SLOTS:
    void showsTheOperationsAndScrollsToTheFocus()
    {
        ModDR_CONS *f = open();
        QVERIFY(f);
        QCOMPARE(f->nav->Max(), 1);
        QCOMPARE(f->slt[1]->Text(), QStringLiteral("RECUPERI SPA"));
        QCOMPARE(grid(f->slg[0]), QStringLiteral("R1=1,500/t R10=2,000/Kg"));
        QCOMPARE(grid(f->slg[1]), QStringLiteral("D15=3,000/Kg"));
        QCOMPARE(f->slg[0]->Rows(), 13);
        QCOMPARE(f->slg[1]->Rows(), 15);
        TestSupport::grab(modMain::gMain.data(), QStringLiteral("ModDR_CONS-in-sheet"));

        // The form is taller than the room below the sheet.
        QScrollBar *bar = f->vsb->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);
        f->slg[1]->setFocus();
        const QRect band(f->findChild<slxLabel *>(QStringLiteral("sll_3"))->mapTo(f->vsb->viewport(), QPoint()),
                         QSize(1, 1));
        QVERIFY(bar->value() > 0);
        QVERIFY(f->vsb->viewport()->rect().contains(band.topLeft()));
        QVERIFY(f->vsb->viewport()->rect().contains(
            f->slg[1]->mapTo(f->vsb->viewport(), QPoint(0, f->slg[1]->height() - 1))));
        TestSupport::grab(modMain::gMain.data(), QStringLiteral("ModDR_CONS-grids"));
        f->slb[6]->setFocus();
        QVERIFY(f->vsb->viewport()->rect().contains(f->slb[6]->mapTo(f->vsb->viewport(), QPoint(0, 0))));
        // The codice fiscale brings the title back into view.
        f->slt[0]->setFocus();
        QCOMPARE(bar->value(), 0);
    }

    void operationsAreRewrittenInOrder()
    {
        ModDR_CONS *f = open(QString::fromUtf8(modules)
                             + QStringLiteral("INSERT INTO ModCons (mdcID, scID, mdcTipo, ragSoc, nazID, mdcQta) "
                                              "VALUES (22, 1, 2, 'ALTROVE', 40, 10000);"));
        QVERIFY(f);
        QCOMPARE(grid(f->slg[0]), QString());
        pressNav(0);
        const QString untouched = QStringLiteral("3R1=70000/1");
        // R99 belongs to no grid: it goes at the next save; position 3 stays.
        editCell(f->slg[0], 2, 1, QStringLiteral("4"));
        editCell(f->slg[0], 13, 1, QStringLiteral("5"));
        editCell(f->slg[0], 13, 2, QStringLiteral("t"));
        QVERIFY(f->slb[4]->Enabled());
        click(f->slb[4]);
        QVERIFY(askedTexts().isEmpty());
        QCOMPARE(scalar(operations(21)).toString(),
                 QStringLiteral("1R1=15000/2 1R10=20000/1 1R13=50000/2 1R2=40000/1 2D15=30000/1 ") + untouched);
        // The four stored rows were rewritten in place; one was added.
        QCOMPARE(scalar(QStringLiteral("SELECT max(rdcID) FROM RecDrCons")).toInt(), 6);

        editCell(f->slg[0], 13, 1, QStringLiteral("0"));
        editCell(f->slg[1], 15, 1, QStringLiteral("0"));
        click(f->slb[4]);
        QCOMPARE(scalar(operations(21)).toString(),
                 QStringLiteral("1R1=15000/2 1R10=20000/1 1R2=40000/1 ") + untouched);

        // Read back in their rows; a unit left on an empty row is not kept.
        editCell(f->slg[1], 3, 2, QStringLiteral("t"));
        click(f->slb[4]);
        pressNav(3);
        pressNav(0);
        QCOMPARE(grid(f->slg[0]), QStringLiteral("R1=1,500/t R2=4,000/Kg R10=2,000/Kg"));
        QCOMPARE(grid(f->slg[1]), QString());

        for (int i : {1, 2, 10})
            editCell(f->slg[0], i, 1, QStringLiteral("0"));
        click(f->slb[4]);
        QCOMPARE(scalar(operations(21)).toString(), untouched);
    }

    // A quantity stored as no amount shows as stored; the module is not
    // saved until the clerk types it over, and nothing is changed meanwhile.
    void operationStoredWithAnotherType()
    {
        ModDR_CONS *f = open(QString::fromUtf8(modules) + "UPDATE RecDrCons SET Qta = 'abc' WHERE rdcID = 1;");
        QVERIFY(f);
        QCOMPARE(f->slg[0]->table()->item(9, 0)->text(), QStringLiteral("abc"));
        const QString stored = scalar(operations(21)).toString();
        editCell(f->slg[1], 15, 1, QStringLiteral("1"));
        click(f->slb[4]);
        QCOMPARE(askedTexts(), QStringList{"Attenzione, quantità dell'operazione R10 non valida: correggerla."});
        QCOMPARE(scalar(operations(21)).toString(), stored);
        editCell(f->slg[0], 10, 1, QStringLiteral("2"));
        click(f->slb[4]);
        QVERIFY(askedTexts().isEmpty());
    }

    void aNewModuleAndItsOperationsAreOneSave()
    {
        ModDR_CONS *f = open();
        QVERIFY(f);
        DatabaseProbe db;
        QVERIFY(db.open(databasePath()));
        QVERIFY(db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON RecDrCons "
                                       "BEGIN SELECT RAISE(ABORT, 'operazione rifiutata'); END;")));
        startItalian(f);
        editCell(f->slg[1], 1, 1, QStringLiteral("2"));
        click(f->slb[4]);
        const QList<MessageBoxSeam::Asked> asked = MessageBoxSeam::asked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().style, 16);
        QVERIFY(ErrInfo::current().Description.contains(QStringLiteral("operazione rifiutata")));
        MessageBoxSeam::clearAsked();
        // Neither half is stored, and nothing typed is lost.
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM ModCons")).toInt(), 2);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Ditte")).toInt(), 1);
        QVERIFY(f->slb[4]->Enabled());
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Nuovo modulo"));
        QCOMPARE(f->slt[1]->Text(), QStringLiteral("ARCO SPA"));
        QCOMPARE(grid(f->slg[1]), QStringLiteral("D1=2,000/Kg"));

        QVERIFY(db.exec(QStringLiteral("DROP TRIGGER refuse;")));
        click(f->slb[4]);
        QVERIFY(askedTexts().isEmpty());
        const int id = lastModule();
        QCOMPARE(scalar(operations(id)).toString(), QStringLiteral("2D1=20000/1"));
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Modulo 2 di 2"));

        // Deleting a module takes its operations with it.
        pressNav(0);
        MessageBoxSeam::pushAnswer(vbYes);
        click(f->slb[2]);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM RecDrCons WHERE mdcID = 21")).toInt(), 0);
        QCOMPARE(f->slt[1]->Text(), QStringLiteral("ARCO SPA"));
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Modulo 1 di 1"));
        // The only module deleted: an empty Italian module is started.
        MessageBoxSeam::pushAnswer(vbYes);
        click(f->slb[2]);
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Nuovo modulo"));
        QVERIFY(f->opt[0]->isChecked() && f->slt[0]->isEmpty() && grid(f->slg[1]).isEmpty());
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM RecDrCons")).toInt(), 0);
    }

    void newAsksAboutChangesFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("stored");
        QTest::newRow("cancel") << int(vbCancel) << "Modulo 1 di 1" << "500000";
        QTest::newRow("no") << int(vbNo) << "Nuovo modulo" << "500000";
        QTest::newRow("yes") << int(vbYes) << "Nuovo modulo" << "10000";
    }
    void newAsksAboutChangesFirst()
    {
        QFETCH(int, answer);
        ModDR_CONS *f = open();
        QVERIFY(f);
        typeAndLeave(f->slt[7], QStringLiteral("1"));
        MessageBoxSeam::pushAnswer(answer);
        click(f->slb[5]);
        QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?")});
        QTEST(f->nav->label()->Caption(), "caption");
        QTEST(scalar(QStringLiteral("SELECT mdcQta FROM ModCons WHERE mdcID = 21")).toString(), "stored");
        QCOMPARE(f->slb[4]->Enabled(), answer == vbCancel);
    }

    // A module begun with "Nuovo" and given its code last takes the code
    // typed: at once when the user answers Yes, or on the next save after
    // Cancel (the code stays, it is the module's own). Its company goes to
    // the registry with the name typed, and the module stays on show.
    void aModuleBegunWithoutCodeTakesTheCodeTyped_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(vbYes);
        QTest::newRow("cancel, then save") << int(vbCancel);
    }
    void aModuleBegunWithoutCodeTakesTheCodeTyped()
    {
        QFETCH(int, answer);
        ModDR_CONS *f = open();
        QVERIFY(f);
        click(f->slb[5]);
        // Started foreign, then made Italian: the module has no code yet.
        click(f->opt[1]);
        typeAndLeave(f->slt[1], QStringLiteral("SENZA CODICE"));
        click(f->opt[0]);
        typeAndLeave(f->cmbCom, QStringLiteral("ROMA"));
        typeAndLeave(f->slt[3], QStringLiteral("VIA ROMA"));
        typeAndLeave(f->slt[7], QStringLiteral("2"));
        MessageBoxSeam::pushAnswer(answer);
        typeAndLeave(f->slt[0], QStringLiteral("01234567897"));
        QCOMPARE(askedTexts(), QStringList{QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?")});
        QCOMPARE(f->slt[0]->Text(), QStringLiteral("01234567897"));
        if (answer == vbCancel) {
            QCOMPARE(QApplication::focusWidget(), f->slt[0]->textBox());
            QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM ModCons")).toInt(), 2);
            // Leaving the code again asks nothing: the module keeps it.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(askedTexts().isEmpty());
            click(f->slb[4]);
        }
        QVERIFY(askedTexts().isEmpty());
        QCOMPARE(scalar(QStringLiteral("SELECT codFisc || '|' || ragSoc || '|' || via FROM ModCons "
                                       "WHERE mdcID = (SELECT max(mdcID) FROM ModCons)"))
                     .toString(),
                 QStringLiteral("01234567897|SENZA CODICE|VIA ROMA"));
        QCOMPARE(scalar(QStringLiteral("SELECT ragSoc FROM Ditte WHERE codFisc = '01234567897'")).toString(),
                 QStringLiteral("SENZA CODICE"));
        QCOMPARE(f->nav->label()->Caption(), QStringLiteral("Modulo 2 di 2"));
        QCOMPARE(f->slt[1]->Text(), QStringLiteral("SENZA CODICE"));
        QVERIFY(!f->slb[4]->Enabled());
    }

    void foreignDestinationWithRegulationCode()
    {
        ModDR_CONS *f = open();
        QVERIFY(f);
        click(f->slb[5]);
        click(f->opt[1]);
        QVERIFY(f->slt[6]->isEnabled());
        QVERIFY(f->slb[3]->Enabled());
        QVERIFY(!f->slb[1]->Enabled());
        typeAndLeave(f->slt[1], QStringLiteral("DEUTSCHE RECYCLING GMBH"));
        typeAndLeave(f->cmbNaz, QStringLiteral("GERMANIA"));
        for (int i = 0; i < 2; ++i) {
            typeAndLeave(f->slt[6], QStringLiteral("XX1"));
            QCOMPARE(askedTexts(),
                     QStringList{QStringLiteral("Attenzione, Codice regolamento (CE) 1013/2006 errato.")});
        }
        typeAndLeave(f->slt[6], QStringLiteral("GB040"));
        typeAndLeave(f->slt[7], QStringLiteral("6"));
        click(f->slb[4]);
        QVERIFY(askedTexts().isEmpty());
        QCOMPARE(scalar(QStringLiteral("SELECT ifnull(codFisc, '-') || prvIstat || comIstat || nazID || regCE "
                                       "FROM ModCons WHERE mdcID = %1")
                            .arg(lastModule()))
                     .toString(),
                 QStringLiteral("-00276GB040"));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Ditte")).toInt(), 1);
    }

    // A digit past an operation's three decimals is dropped, the user's
    // event loop running between the keys: the quantity keeps what was
    // typed up to it, never the last digit alone.
    void aDigitPastTheDecimalsIsDropped()
    {
        ModDR_CONS *f = open();
        QVERIFY(f);
        slxGrid *g = f->slg[0];
        g->setFocus();
        g->setRow(2);
        g->setCol(1);
        for (QChar c : QStringLiteral("1,2345")) {
            TestSupport::typeText(QApplication::focusWidget(), QString(c));
            QCoreApplication::processEvents();
        }
        QVERIFY(g->Editing());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!g->Editing());
        QCOMPARE(grid(g), QStringLiteral("R1=1,500/t R2=1,234/Kg R10=2,000/Kg"));
        click(f->slb[4]);
        QVERIFY(askedTexts().isEmpty());
        QCOMPARE(scalar(QStringLiteral("SELECT Qta FROM RecDrCons WHERE mdcID = 21 AND Codice = 'R2'")).toString(),
                 QStringLiteral("12340"));
    }

    // A destination module and its operations go in together, whatever the
    // first try met.
    void savesThroughFaults_data() { SaveFaults::addRows(); }
    void savesThroughFaults()
    {
        ModDR_CONS *f = open();
        QVERIFY(f);
        SaveFaults::saveThrough(QStringLiteral("RecDrCons"), [f] {
            editCell(f->slg[0], 2, 1, QStringLiteral("4"));
            click(f->slb[4]);
        }, [this] { return scalar(operations(21)).toString(); },
        QStringLiteral("1R1=15000/2 1R10=20000/1 1R2=40000/1 2D15=30000/1 3R1=70000/1"));
    }
};

QTEST_MAIN(tst_ModDR_CONS)
#include "tst_ModDR_CONS.moc"

