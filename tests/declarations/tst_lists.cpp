#include <QHeaderView>
#include <QTreeWidget>
#include <QtTest>

#include "DialogDriver.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "Recordset.h"
#include "TestSupport.h"
#include "Verifica.h"
#include "dbClass.h"
#include "fndBar.h"
#include "listAtt.h"
#include "listDic.h"
#include "listMod.h"
#include "listRegCE.h"
#include "listRif.h"
#include "mainForm.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxText.h"
#include "tbButton.h"

using modMain::gDb;
using modMain::gModal;
using TestSupport::columnTexts;

// The pick lists as the sheets use them: what each shows and preselects,
// choosing by button or double click, closing without a choice, the find
// bar, empty lists, and the sheet list that opens below its sheet.
class tst_lists : public MainWindowTestCase
{
    Q_OBJECT

    void start()
    {
        fx->prepareFolder(ShellFixture::lookupRows() + QStringLiteral(
            "INSERT INTO SezAnag (saID, codFisc, ragSoc, prvIstat, comIstat, via, civico, ExpID) VALUES "
            "(20, 'DNGLCU80A01H501X', 'D''ANGELO S.N.C.', 58, 91, 'Via Po', '1', 3),"
            "(21, 'DNGLCU80A01H501X', 'D''ANGELO S.N.C.', 15, 146, 'Via Dante', '2', NULL);"
            "INSERT INTO CodRegCE (crcCod, crcDesc) VALUES ('AA010', 'Ceneri'), ('GC010', 'Rottami');"
            "INSERT INTO Attivita (attCod, attDesc) VALUES ('011110', 'Cereali'), ('011120', 'Semi');"
            "INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES ('150101', 'carta', NULL),"
            "('150110', 'contaminati', 'P');"
            "INSERT INTO SezCons (scID, saID, rifCod) VALUES (1, 7, '150110'), (2, 7, '150101'),"
            "(3, 7, '999999'), (4, 8, '150101');"
            "INSERT INTO ModCons (scID, mdcTipo, codFisc, ragSoc) VALUES (1, 1, 'A1', 'Uno'),"
            "(1, 1, 'A2', NULL), (1, 1, 'A3', 'Tre'), (1, 1, 'A4', 'Quattro'), (1, 1, 'A5', 'Cinque');"));
        fx->startGlobals();
        (new mainForm)->show();
        QVERIFY(gDb->openKezDb());
    }
    static QString current(QTreeWidget *lv, int col)
    {
        QTreeWidgetItem *line = lv->currentItem();
        return line && line->isSelected() ? line->text(col) : QStringLiteral("(none)");
    }
    // Opens a list through its launcher; act runs inside it.
    static bool launch(const QString &which, std::function<void(listBase *)> act)
    {
        DialogDriver::onNextDialog([act](QWidget *dialog) {
            auto *list = qobject_cast<listBase *>(dialog);
            QVERIFY(list);
            act(list);
            // A failed check inside must not leave the test waiting.
            if (list->isVisible())
                list->unload();
        });
        bool chosen = false;
        if (which == QLatin1String("listDic"))
            chosen = gModal->showDichiarazioni(7, QString());
        else if (which == QLatin1String("listRegCE"))
            chosen = gModal->showRegCE(QStringLiteral("GB040"));
        else if (which == QLatin1String("listAtt"))
            chosen = gModal->showAttEco(QString());
        if (!DialogDriver::allRan()) {
            DialogDriver::cancelPending();
            qWarning("the list did not open");
        }
        return chosen;
    }

private Q_SLOTS:
    void declarationsAndPreselection_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("codice");
        QTest::addColumn<QString>("preselected");   // its "Ubicazione U.L."
        // The export id of the declaration in Via Dante, and its "Exp.".
        QTest::addColumn<QVariant>("expID");
        QTest::addColumn<QString>("exported");
        QTest::newRow("key wins over an earlier code") << 21 << "DNGLCU80A01H501X" << "Via Dante 2" << QVariant() << "";
        QTest::newRow("first line of the code") << 0 << "DNGLCU80A01H501X" << "Via Po 1" << QVariant(0) << "";
        QTest::newRow("nothing matches") << 99 << "" << "(none)" << QVariant(Q_INT64_C(4294967296)) << "si";
        // Marked exported as the registry sheet marks it.
        QTest::newRow("export id of another type") << 21 << "" << "Via Dante 2" << QVariant(0.4) << "si";
        // Blanks around a number are those SQLite skips: no no-break or ideographic space.
        QTest::newRow("0 and a no-break space") << 21 << "" << "Via Dante 2" << QVariant(QStringLiteral("0\u00a0")) << "si";
        QTest::newRow("ideographic space and 0") << 21 << "" << "Via Dante 2" << QVariant(QStringLiteral("\u30000")) << "si";
    }
    void declarationsAndPreselection()
    {
        QFETCH(int, key);
        QFETCH(QString, codice);
        QFETCH(QString, preselected);
        QFETCH(QVariant, expID);
        QFETCH(QString, exported);
        start();
        QVERIFY(gDb->kezCnn.execute(QStringLiteral("UPDATE SezAnag SET ExpID = ? WHERE saID = 21"), {expID}));
        gModal->Key = key;
        gModal->Codice = codice;
        listDic list;
        list.show();
        QCOMPARE(list.windowTitle(), QStringLiteral("Lista delle dichiarazioni inserite"));
        QCOMPARE(columnTexts(list.lv, 0),
                 (QStringList{"D'ANGELO S.N.C.", "D'ANGELO S.N.C.", "Ditta Senza Comune", "Rossi Imballaggi"}));
        QCOMPARE(columnTexts(list.lv, 2), (QStringList{"si", exported, "", ""}));
        QCOMPARE(Verifica::dichiarazioni(Verifica::Una, 21, false).isEmpty(), !exported.isEmpty());
        QCOMPARE(columnTexts(list.lv, 4), (QStringList{"ROMA", "MILANO", "", "ROMA"}));
        QCOMPARE(list.lv->header()->logicalIndex(0), 3);
        QCOMPARE(current(list.lv, 1), preselected);
        if (preselected == QLatin1String("(none)")) {
            // With no line selected "Seleziona" chooses nothing.
            gModal->Status = false;
            list.tbb_Click(0);
            QVERIFY(list.isVisible());
            QVERIFY(!gModal->Status);
        }
        TestSupport::grab(&list, QStringLiteral("listDic"));
    }

    void previousYearDeclarations()
    {
        start();
        const QString old = fx->createDatabase(QStringLiteral("Kez21imb.db"), QStringLiteral(
            "INSERT INTO SezAnag (saID, codFisc, ragSoc) VALUES (40, 'A', 'Alfa'), (41, 'B', 'Beta'),"
            "(42, 'B', 'Beta due');"));
        gDb->oldDbFilename = old;
        QVERIFY(gDb->openOldDb());
        // Opened with Key -1 by the copy from the previous year: the
        // company's first declaration stands preselected.
        DialogDriver::onNextDialog([](QWidget *dialog) {
            auto *list = qobject_cast<listBase *>(dialog);
            QCOMPARE(list->windowTitle(), QStringLiteral("Lista delle dichiarazioni dell'anno precedente"));
            QCOMPARE(columnTexts(list->lv, 0), (QStringList{"Alfa", "Beta", "Beta due"}));
            QCOMPARE(current(list->lv, 0), QStringLiteral("Beta"));
            list->tbb_Click(0);
        });
        QVERIFY(gModal->showDichiarazioni(-1, QStringLiteral("B")));
        QCOMPARE(gModal->Key.toInt(), 41);
        QCOMPARE(gModal->Codice.toString(), QStringLiteral("B"));
        QCOMPARE(gModal->ragioneSociale.toString(), QStringLiteral("Beta"));
    }

    void chooseOrClose_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("status");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("codice");
        QTest::newRow("declaration") << "listDic" << "Seleziona" << true << "20" << "DNGLCU80A01H501X";
        QTest::newRow("declaration, double click") << "listDic" << "doppio" << true << "20" << "DNGLCU80A01H501X";
        QTest::newRow("declaration, Esc") << "listDic" << "Esc" << false << "7" << "";
        QTest::newRow("Regulation code") << "listRegCE" << "Seleziona" << true << "AA010" << "Ceneri";
        QTest::newRow("Regulation code, double click") << "listRegCE" << "doppio" << true << "AA010" << "Ceneri";
        QTest::newRow("Regulation code, Chiudi") << "listRegCE" << "Chiudi" << false << "GB040" << "";
        QTest::newRow("activity") << "listAtt" << "Seleziona" << true << "011110" << "01.11.10";
        QTest::newRow("activity, Esc") << "listAtt" << "Esc" << false << "" << "";
    }
    void chooseOrClose()
    {
        QFETCH(QString, which);
        QFETCH(QString, how);
        QFETCH(bool, status);
        QFETCH(QString, key);
        QFETCH(QString, codice);
        start();
        gModal->Codice = QString();
        const bool chosen = launch(which, [how](listBase *list) {
            QTreeWidgetItem *first = list->lv->topLevelItem(0);
            list->lv->setCurrentItem(first);
            if (how == QLatin1String("Seleziona")) {
                list->tbb_Click(0);
            } else if (how == QLatin1String("doppio")) {
                const QPoint at = list->lv->visualItemRect(first).center();
                QTest::mouseClick(list->lv->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(list->lv->viewport(), Qt::LeftButton, {}, at);
                // The choice comes with the timer's tick, not at once.
                QVERIFY(list->isVisible());
                QTRY_VERIFY(!list->isVisible());
            } else if (how == QLatin1String("Esc")) {
                QTest::keyClick(list->fb->textField(), Qt::Key_Escape);
            } else {
                list->tbb_Click(1);
            }
        });
        QCOMPARE(chosen, status);
        QCOMPARE(gModal->Status, status);
        QCOMPARE(gModal->Key.toString(), key);
        QCOMPARE(gModal->Codice.toString(), codice);
    }

    void searchKeptAndEmptyLists()
    {
        start();
        // The find text of a list is there again at its next opening.
        launch(QStringLiteral("listRegCE"), [](listBase *list) {
            list->fb->setText(QStringLiteral("rott"));
            emit list->fb->Click(0);
            QCOMPARE(current(list->lv, 0), QStringLiteral("Rottami"));
            list->tbb_Click(1);
        });
        launch(QStringLiteral("listRegCE"), [](listBase *list) {
            QCOMPARE(list->fb->Text(), QStringLiteral("rott"));
            list->tbb_Click(1);
        });
        // A name with an apostrophe is found as typed.
        launch(QStringLiteral("listDic"), [](listBase *list) {
            list->fb->setText(QStringLiteral("d'angelo"));
            emit list->fb->Click(3);
            QCOMPARE(current(list->lv, 1), QStringLiteral("Via Dante 2"));
            list->tbb_Click(1);
        });
        // An empty table: nothing to choose, by button or double click.
        QVERIFY(gDb->Execute(QStringLiteral("DELETE FROM Attivita")));
        gModal->Key = QStringLiteral("prima");
        QVERIFY(!launch(QStringLiteral("listAtt"), [](listBase *list) {
            QCOMPARE(list->lv->topLevelItemCount(), 0);
            QVERIFY(!list->tbb[0]->Enabled());
            QTest::mouseDClick(list->lv->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
            list->tbb_Click(0);
            QTest::qWait(300);
            QVERIFY(list->isVisible());
            list->tbb_Click(1);
        }));
        QCOMPARE(gModal->Key.toString(), QString());
    }

    void activityCodesByTheirBeginning()
    {
        start();
        QVERIFY(gDb->Execute(QStringLiteral("INSERT INTO Attivita (attCod, attDesc) VALUES "
                                            "('021000', 'Silvicoltura'), ('0112', 'Corto')")));
        gModal->Key = QStringLiteral("0111");
        listAtt list;
        list.show();
        QCOMPARE(columnTexts(list.lv, 0),
                 (QStringList{"01.11.10", "01.11.20", "01.12.  ", "02.10.00", "10..1.1 ", "L'.AT.T "}));
        QCOMPARE(current(list.lv, 1), QStringLiteral("Cereali"));
        TestSupport::grab(&list, QStringLiteral("listAtt"));
        gModal->Key = QString();
        listAtt none;
        QCOMPARE(current(none.lv, 1), QStringLiteral("(none)"));
    }

    void modulesOfTheSheet()
    {
        start();
        auto rs = gDb->kezRs(QStringLiteral("SELECT * FROM ModCons ORDER BY mdcID"), {},
                             Recordset::adLockOptimistic);
        rs->Move(2);
        const double third = rs->Bookmark();
        const auto open = [&rs](int line) {
            DialogDriver::onNextDialog([line](QWidget *dialog) {
                auto *list = qobject_cast<listMod *>(dialog);
                QVERIFY(list);
                QCOMPARE(list->windowTitle(), QStringLiteral("Moduli UO-CONS"));
                QCOMPARE(current(list->lv, 0), QStringLiteral("A3"));
                QCOMPARE(columnTexts(list->lv, 1).at(1), QStringLiteral("*** Privati ***"));
                TestSupport::grab(list, QStringLiteral("listMod"));
                list->lv->setCurrentItem(list->lv->topLevelItem(line - 1));
                list->tbb_Click(0);
            });
            return gModal->showModuli(QStringLiteral("Moduli UO-CONS"), *rs);
        };
        // The card on show chosen again is no choice.
        QVERIFY(!open(3));
        QCOMPARE(gModal->cursorBookMark, third);
        QVERIFY(open(5));
        QCOMPARE(gModal->Key.toInt(), 5);
        QVERIFY(gModal->cursorBookMark != third);
        QCOMPARE(rs->Bookmark(), third);
        QVERIFY(!gModal->Cursore);
    }

    void sheetList()
    {
        start();
        // The sheet that opens the list, disabled while it is open.
        QWidget sheet;
        sheet.setEnabled(false);
        const auto open = [&sheet](int saID) {
            auto *list = new listRif(&sheet);
            list->Visualizza(QStringLiteral("Lista delle schede CONS inserite"), 2, listRif::sqlSchedeCons(),
                             {saID});
            return list;
        };
        listRif *list = open(7);
        // A sheet whose code is not in the table is still listed.
        QCOMPARE(columnTexts(list->lv, 1), (QStringList{"150101", "150110", "999999"}));
        QCOMPARE(columnTexts(list->lv, 0), (QStringList{"carta", "contaminati", ""}));
        QCOMPARE(columnTexts(list->lv, 2), (QStringList{" ", "si", " "}));
        // The sheet on show chosen again: no choice, and the sheet is back.
        QCOMPARE(current(list->lv, 1), QStringLiteral("150101"));
        QSignalSpy unloaded(list, &listRif::unloaded);
        list->tbb_Click(0);
        QCOMPARE(unloaded.size(), 1);
        QVERIFY(!gModal->Status);
        QVERIFY(sheet.isEnabled());

        sheet.setEnabled(false);
        list = open(7);
        list->lv->setCurrentItem(list->lv->topLevelItem(1));
        list->tbb_Click(0);
        QVERIFY(gModal->Status);
        QCOMPARE(gModal->Key.toInt(), 1);
        QCOMPARE(gModal->codiceRifiuto, QStringLiteral("150110"));
        QCOMPARE(gModal->descRifiuto, QStringLiteral("contaminati"));
        QVERIFY(gModal->Pericoloso);
        QVERIFY(sheet.isEnabled());

        // A declaration without sheets; Esc still closes.
        sheet.setEnabled(false);
        list = open(99);
        QVERIFY(!list->tbb[0]->Enabled());
        QTest::keyClick(list->lv, Qt::Key_Escape);
        QVERIFY(!gModal->Status);
        QVERIFY(sheet.isEnabled());
    }
};

QTEST_MAIN(tst_lists)
#include "tst_lists.moc"
