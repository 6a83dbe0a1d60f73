#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "GridColumnKeys.h"
#include "PageTextBox.h"
#include "PropertyPageDialog.h"
#include "TestSupport.h"
#include "gridColumn.h"
#include "slxGrid.h"
#include "slxGridCol.h"

// The "Colonne" page on a live grid: moving between columns, what it
// shows and writes, inserting and deleting columns, and the column keys a
// form keeps for the grid.
class tst_slxGridCol : public QObject
{
    Q_OBJECT

    // A grid whose columns are captioned "A", "B", "C"...
    static void makeColumns(slxGrid &grid, int count)
    {
        grid.initNewInstance();
        grid.ColumnHeader(1)->Caption = QStringLiteral("A");
        for (int i = 2; i <= count; ++i)
            grid.AddColumn(QString(QChar('A' + i - 1)), 1000 + 100 * i);
        grid.Refresh();
    }

    static QString captions(const slxGrid &grid)
    {
        QString all;
        for (int i = 1; i <= grid.Cols(); ++i)
            all += grid.ColumnHeader(i)->Caption.isEmpty() ? QStringLiteral("_") : grid.ColumnHeader(i)->Caption;
        return all;
    }

    static QString buttons(const slxGridCol &page)
    {
        QString states;
        for (const QPushButton *b : page.slb)
            states += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return states;
    }

    static bool showActive(QWidget *page)
    {
        page->show();
        return TestSupport::activate(page);
    }

    static void retype(PageTextBox *box, const QString &text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        TestSupport::typeText(box, text);
    }

private Q_SLOTS:
    void moving_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("enabled");
        // Buttons: previous, next, insert, delete.
        QTest::newRow("opened on 3") << 3 << "" << "Colonna 1 di 3" << "0111";
        QTest::newRow("last of 3") << 3 << ">>" << "Colonna 3 di 3" << "1011";
        QTest::newRow("back to 2") << 3 << ">><" << "Colonna 2 di 3" << "1111";
        QTest::newRow("one column") << 1 << "" << "Colonna 1 di 1" << "0010";
    }

    void moving()
    {
        QFETCH(int, cols);
        QFETCH(QString, clicks);
        QFETCH(QString, shown);
        QFETCH(QString, enabled);
        slxGrid grid;
        makeColumns(grid, cols);
        slxGridCol page;
        page.show();
        page.selectionChanged({&grid});
        for (const QChar c : clicks)
            QTest::mouseClick(page.slb[c == QLatin1Char('<') ? 0 : 1], Qt::LeftButton);
        QCOMPARE(page.txtCol->text(), shown);
        QCOMPARE(buttons(page), enabled);
        QCOMPARE(grid.Col(), page.currentColumn);
        QCOMPARE(page.slt[0]->text(), grid.ColumnHeader(page.currentColumn)->Caption);
        QVERIFY(!page.isChanged());
    }

    void showsAndAppliesAColumn()
    {
        slxGrid grid;
        makeColumns(grid, 3);
        gridColumn *second = grid.ColumnHeader(2);
        second->CaptionAlign = 7;
        second->Visible = false;
        second->FieldName = QStringLiteral("scQta");
        second->FieldType = gridColumn::Decimale;
        second->FieldAlign = 8;
        second->FieldFormat = QStringLiteral("#,##0.000");
        second->Editable = true;
        second->FieldLen = 9;
        second->FieldDec = 3;
        slxGridCol page;
        QVERIFY(showActive(&page));
        page.selectionChanged({&grid});
        QTest::mouseClick(page.slb[1], Qt::LeftButton);
        QCOMPARE(page.slt[0]->text(), QStringLiteral("B"));
        QCOMPARE(page.cmb[0]->currentText(), QStringLiteral("Destra al centro"));
        QCOMPARE(page.slt[1]->text(), QStringLiteral("1200"));
        QVERIFY(!page.chk[0]->isChecked());
        QCOMPARE(page.slt[2]->text(), QStringLiteral("scQta"));
        QCOMPARE(page.cmb[1]->currentText(), QStringLiteral("Decimale"));
        QCOMPARE(page.cmb[2]->currentText(), QStringLiteral("Destra in basso"));
        QCOMPARE(page.slt[3]->text(), QStringLiteral("#,##0.000"));
        QVERIFY(page.chk[1]->isChecked());
        QCOMPARE(page.slt[4]->text(), QStringLiteral("9"));
        QCOMPARE(page.slt[5]->text(), QStringLiteral("3"));
        page.resize(page.sizeHint());
        TestSupport::grab(&page, QStringLiteral("designer_slxGridCol"));

        QSignalSpy structure(&page, &PropertyPage::structureChanged);
        retype(page.slt[0], QStringLiteral("Quantità"));
        page.cmb[0]->setCurrentIndex(4);
        emit page.cmb[0]->activated(4);
        retype(page.slt[1], QStringLiteral("2000"));
        QTest::mouseClick(page.chk[0], Qt::LeftButton, {}, QPoint(8, 8));
        retype(page.slt[2], QStringLiteral("scUmi"));
        page.cmb[1]->setCurrentIndex(5);
        emit page.cmb[1]->activated(5);
        retype(page.slt[5], QString());
        page.slt[4]->setFocus();
        QCOMPARE(page.slt[5]->text(), QStringLiteral("0"));
        QVERIFY(page.isChanged());
        page.applyChanges();
        QVERIFY(!page.isChanged());
        QCOMPARE(structure.count(), 1);
        QCOMPARE(second->Caption, QStringLiteral("Quantità"));
        QCOMPARE(second->CaptionAlign, 4);
        QCOMPARE(second->Width, 2000);
        QVERIFY(second->Visible);
        QCOMPARE(second->FieldName, QStringLiteral("scUmi"));
        QCOMPARE(second->FieldType, int(gridColumn::Combo));
        QCOMPARE(second->FieldDec, 0);
        QCOMPARE(grid.table()->horizontalHeaderItem(1)->text(), QStringLiteral("Quantità"));
        QVERIFY(!grid.table()->isColumnHidden(1));
        QCOMPARE(captions(grid), QStringLiteral("AQuantitàC"));
    }

    void movingDropsEdits()
    {
        slxGrid grid;
        makeColumns(grid, 3);
        slxGridCol page;
        QVERIFY(showActive(&page));
        page.selectionChanged({&grid});
        retype(page.slt[0], QStringLiteral("Nuovo"));
        QTest::mouseClick(page.slb[1], Qt::LeftButton);
        QVERIFY(!page.isChanged());
        QCOMPARE(captions(grid), QStringLiteral("ABC"));
    }

    void anotherGridWithFewerColumns()
    {
        slxGrid wide, narrow;
        makeColumns(wide, 3);
        makeColumns(narrow, 2);
        slxGridCol page;
        page.selectionChanged({&wide});
        QTest::mouseClick(page.slb[1], Qt::LeftButton);
        QTest::mouseClick(page.slb[1], Qt::LeftButton);
        page.selectionChanged({&narrow, &wide});
        QCOMPARE(page.txtCol->text(), QStringLiteral("Colonna 1 di 2"));
        QCOMPARE(page.slt[0]->text(), QStringLiteral("A"));
        // Only the first grid is edited.
        retype(page.slt[0], QStringLiteral("Z"));
        page.applyChanges();
        QCOMPARE(captions(narrow), QStringLiteral("ZB"));
        QCOMPARE(captions(wide), QStringLiteral("ABC"));
    }

    // After an insert or a delete the page shows the column it now
    // stands on, so the next Apply writes there and never past the end.
    void insertDeleteApply_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("captions");
        QTest::addColumn<int>("changes");
        // > next, < previous, i insert, d delete, a "X" typed and applied.
        QTest::newRow("insert after 2 of 3") << ">i" << "Colonna 3 di 4" << "AB_C" << 1;
        QTest::newRow("insert then apply") << ">ia" << "Colonna 3 di 4" << "ABXC" << 2;
        QTest::newRow("insert after the last") << ">>ia" << "Colonna 4 di 4" << "ABCX" << 2;
        QTest::newRow("delete the middle") << ">d" << "Colonna 2 di 2" << "AC" << 1;
        QTest::newRow("delete the middle then apply") << ">da" << "Colonna 2 di 2" << "AX" << 2;
        QTest::newRow("delete the last then apply") << ">>da" << "Colonna 2 di 2" << "AX" << 2;
        // The third delete finds the button disabled.
        QTest::newRow("delete down to one") << "ddd" << "Colonna 1 di 1" << "C" << 2;
        QTest::newRow("delete the last twice then apply") << ">>ddaa" << "Colonna 1 di 1" << "X" << 4;
    }

    void insertDeleteApply()
    {
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        QFETCH(QString, captions);
        QFETCH(int, changes);
        slxGrid grid;
        makeColumns(grid, 3);
        slxGridCol page;
        QVERIFY(showActive(&page));
        page.selectionChanged({&grid});
        QSignalSpy structure(&page, &PropertyPage::structureChanged);
        for (const QChar step : steps) {
            switch (step.toLatin1()) {
            case '>': QTest::mouseClick(page.slb[1], Qt::LeftButton); break;
            case '<': QTest::mouseClick(page.slb[0], Qt::LeftButton); break;
            case 'i': QTest::mouseClick(page.slb[2], Qt::LeftButton); break;
            case 'd': QTest::mouseClick(page.slb[3], Qt::LeftButton); break;
            case 'a':
                retype(page.slt[0], QStringLiteral("X"));
                page.applyChanges();
                break;
            }
        }
        QCOMPARE(page.txtCol->text(), shown);
        QCOMPARE(tst_slxGridCol::captions(grid), captions);
        QCOMPARE(page.columnCount, grid.Cols());
        QCOMPARE(page.slt[0]->text(), grid.ColumnHeader(page.currentColumn)->Caption);
        QCOMPARE(buttons(page).right(1), grid.Cols() >= 2 ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(structure.count(), changes);
    }

    void digitBoxes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<int>("width");
        QTest::newRow("a letter typed is dropped") << "12a" << "" << 12;
        QTest::newRow("a pasted text with letters is refused") << "1" << "5px" << 1;
        QTest::newRow("pasted digits") << "1" << "500" << 1500;
        QTest::newRow("left empty") << "" << "" << 0;
    }

    void digitBoxes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(int, width);
        slxGrid grid;
        makeColumns(grid, 1);
        slxGridCol page;
        QVERIFY(showActive(&page));
        page.selectionChanged({&grid});
        retype(page.slt[1], typed);
        if (!pasted.isEmpty()) {
            QApplication::clipboard()->setText(pasted);
            QTest::keySequence(page.slt[1], QKeySequence::Paste);
        }
        page.slt[0]->setFocus();
        page.applyChanges();
        QCOMPARE(grid.ColumnHeader(1)->Width, width);
    }

    // The keys a form keeps for the columns bring them back on a grid of a
    // form opened in the designer.
    void columnKeysRoundTrip()
    {
        slxGrid grid;
        makeColumns(grid, 3);
        grid.ColumnHeader(3)->CaptionAlign = 9;
        grid.ColumnHeader(3)->FieldAlign = 9;
        grid.ColumnHeader(3)->Caption.clear();
        grid.ColumnHeader(3)->Width = 1440;
        grid.ColumnHeader(2)->FieldType = gridColumn::Valuta;
        grid.ColumnHeader(2)->Editable = true;
        const PropertyBag keys = GridColumnKeys::of(&grid);
        // The last column is all at its defaults: its width keeps the count.
        QVERIFY(keys.contains(QStringLiteral("Col03Width")));
        QCOMPARE(keys.keys().filter(QStringLiteral("Col03")).size(), 1);

        slxGrid opened;
        GridColumnKeys::watch(&opened);
        opened.setProperty("Other", 1);
        for (const QString &key : keys.keys())
            opened.setProperty(key.toLatin1().constData(), keys.ReadProperty(key));
        QTRY_COMPARE(opened.Cols(), 3);
        QCOMPARE(captions(opened), QStringLiteral("AB_"));
        QCOMPARE(opened.ColumnHeader(2)->FieldType, int(gridColumn::Valuta));
        QVERIFY(opened.ColumnHeader(2)->Editable);
        QCOMPARE(opened.ColumnHeader(2)->Width, 1200);
        QVERIFY(GridColumnKeys::isColumnKey("Col100Caption"));
        QVERIFY(!GridColumnKeys::isColumnKey("Cols"));
        QVERIFY(!GridColumnKeys::isColumnKey("Color"));
    }
};

QTEST_MAIN(tst_slxGridCol)
#include "tst_slxGridCol.moc"
