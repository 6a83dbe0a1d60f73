#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "Currency.h"
#include "MessageBoxSeam.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "TestSupport.h"
#include "comboKgt.h"
#include "gridColumn.h"
#include "modMain.h"
#include "slxModule.h"
#include "slxGrid.h"
#include "slxText.h"

namespace {

enum Column { Descrizione = 1, DataCol, Pezzi, Peso, Importo, Umi };

// A sheet as the section forms build it: a grid of typed columns of every
// kind and a field after it for the focus to leave to.
struct Sheet : QWidget
{
    slxGrid *slg;
    QLineEdit *after;
    explicit Sheet(int height = 260)
    {
        auto *layout = new QVBoxLayout(this);
        slg = new slxGrid(this);
        slg->setObjectName(QStringLiteral("slg"));
        after = new QLineEdit(this);
        layout->addWidget(slg);
        layout->addWidget(after);
        resize(720, height);
        const struct {
            const char *caption;
            int type, len, dec;
            const char *mask;
            int width;
        } cols[] = {{"Descrizione", gridColumn::Stringa, 20, 0, "", 1800},
                    {"Data", gridColumn::Data, 0, 0, "", 1300},
                    {"Pezzi", gridColumn::Intero, 5, 0, "#,##0", 900},
                    {"Peso", gridColumn::Decimale, 7, 3, "#,##0.000", 1500},
                    {"Importo", gridColumn::Valuta, 9, 2, "#,##0.00", 1500},
                    {"Umi", gridColumn::Combo, 0, 0, "", 700}};
        for (const auto &c : cols) {
            gridColumn *col = slg->AddColumn(QString::fromUtf8(c.caption), c.width);
            col->FieldType = c.type;
            col->FieldLen = c.len;
            col->FieldDec = c.dec;
            col->FieldFormat = QLatin1String(c.mask);
            col->FieldAlign = c.type == gridColumn::Stringa ? 1 : (c.type == gridColumn::Combo ? 4 : 7);
            col->CaptionAlign = 4;
            col->Editable = true;
        }
        slg->Refresh();
    }

    void fill(int rows)
    {
        for (int i = 1; i <= rows; ++i) {
            const int r = slg->addRow(0, QStringLiteral("Riga %1").arg(i), QDate(2021, 3, i), i * 10,
                                      i + 0.5, Currency::fromInt(i).toVariant(), 1);
            slg->setRowID(r, 100 + i);
        }
    }

    void showActive()
    {
        show();
        QVERIFY(TestSupport::activate(this));
    }

    void focusCell(int row, int col)
    {
        slg->setFocus();
        slg->setRow(row);
        slg->setCol(col);
    }
};

QWidget *focus()
{
    return QApplication::focusWidget();
}

void typeKeys(const QString &text)
{
    for (QChar c : text)
        TestSupport::typeText(focus(), QString(c));
}

void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(focus(), key, mods);
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    if (Currency::isCurrency(a) || Currency::isCurrency(b))
        return Currency::isCurrency(a) && Currency::isCurrency(b)
            && a.value<Currency>() == b.value<Currency>();
    return a.typeId() == b.typeId() && a == b;
}

void sendWheel(QWidget *target, int delta)
{
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent e(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
}

} // namespace

class tst_slxGrid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        TestSupport::scriptDialogs();
        Currency::registerMetaType();
        // Cells are Italian whatever the machine says.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void typedValues_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("read");
        const QVariant null;
        QTest::newRow("text") << 0 << "" << QVariant(QStringLiteral("Cassette")) << "Cassette"
                              << QVariant(QStringLiteral("Cassette"));
        QTest::newRow("text Null empties") << 0 << "" << null << "" << null;
        QTest::newRow("text upper mask") << 0 << ">" << QVariant(QStringLiteral("abc")) << "ABC"
                                         << QVariant(QStringLiteral("ABC"));
        QTest::newRow("number into text") << 0 << "" << QVariant(1234.5) << "1234,5"
                                          << QVariant(QStringLiteral("1234,5"));
        QTest::newRow("date") << 1 << "" << QVariant(QDate(2021, 3, 5)) << "05/03/2021"
                              << QVariant(QDate(2021, 3, 5));
        QTest::newRow("date Null") << 1 << "" << null << "" << null;
        QTest::newRow("whole grouped") << 2 << "#,##0" << QVariant(12345) << "12.345" << QVariant(12345);
        // Beyond a Long the figure is kept whole, never wrapped into another number.
        QTest::newRow("whole beyond a Long") << 2 << "" << QVariant(1e12) << "1000000000000"
                                             << QVariant(1e12);
        QTest::newRow("whole text beyond a Long") << 2 << "#,##0" << QVariant(QStringLiteral("99999999999"))
                                                  << "99.999.999.999" << QVariant(99999999999.0);
        QTest::newRow("decimal grouped") << 3 << "#,##0.0" << QVariant(1234.5) << "1.234,5"
                                         << QVariant(1234.5);
        QTest::newRow("decimal kept as shown") << 3 << "#,##0.0" << QVariant(1234.46) << "1.234,5"
                                               << QVariant(1234.5);
        QTest::newRow("decimal plain") << 3 << "" << QVariant(1234.5) << "1234,5" << QVariant(1234.5);
        // A text no number as the file writes one stays as it stands.
        QTest::newRow("decimal Italian text") << 3 << "#,##0.0" << QVariant(QStringLiteral("1,5")) << "1,5"
                                              << QVariant(QStringLiteral("1,5"));
        QTest::newRow("decimal empty reads 0") << 3 << "#,##0.0" << null << "" << QVariant(0.0);
        QTest::newRow("currency exact") << 4 << "#,##0.00" << Currency::fromRaw(123456).toVariant()
                                        << "12,35" << Currency::fromRaw(123500).toVariant();
        QTest::newRow("currency plain") << 4 << "" << Currency::fromRaw(12345000).toVariant()
                                        << "1234,5" << Currency::fromRaw(12345000).toVariant();
        QTest::newRow("currency from double") << 4 << "#,##0.00" << QVariant(0.1 + 0.2) << "0,30"
                                              << Currency::fromRaw(3000).toVariant();
        QTest::newRow("unit t") << 5 << "" << QVariant(2) << "t" << QVariant(2);
        QTest::newRow("unit Kg") << 5 << "" << QVariant(1) << "Kg" << QVariant(1);
        QTest::newRow("unit unknown") << 5 << "" << QVariant(3) << "" << QVariant(0);
    }

    void typedValues()
    {
        QFETCH(int, type);
        QFETCH(QString, mask);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QFETCH(QVariant, read);
        slxGrid slg;
        gridColumn *c = slg.AddColumn(QStringLiteral("Valore"));
        c->FieldType = type;
        c->FieldFormat = mask;
        slg.Refresh();
        QCOMPARE(slg.addRow(0, {value}), 1);
        QCOMPARE(slg.table()->item(0, 0)->text(), text);
        const QVariant back = slg.TextMatrix(1, 1);
        QVERIFY2(sameValue(back, read), qPrintable(back.toString() + " / " + read.toString()));
    }

    void rowsAndTheirIds()
    {
        Sheet s;
        slxGrid *g = s.slg;
        g->setRows(0);
        QCOMPARE(g->addRow(0, {5, 1}), 1);
        QCOMPARE(g->Rows(), 1);
        QCOMPARE(g->TextMatrix(1, 1).toString(), QStringLiteral("5"));
        QCOMPARE(g->addRow(0), 2);
        g->setRows(0);
        s.fill(3);
        QCOMPARE(g->addRow(4, QStringLiteral("In fondo")), 4);
        g->delRow(4);
        QCOMPARE(g->addRow(1, QStringLiteral("Nuova")), 1);
        QCOMPARE(g->Rows(), 4);
        QCOMPARE(g->rowID(1), 0);
        QCOMPARE(g->rowID(2), 101);
        QCOMPARE(g->rowID(4), 103);
        QCOMPARE(g->TextMatrix(4, Descrizione).toString(), QStringLiteral("Riga 3"));

        // Emptying the grid leaves nothing of the old rows for the next one.
        for (int r = g->Rows(); r >= 1; --r)
            g->delRow(r);
        QCOMPARE(g->Rows(), 0);
        QCOMPARE(g->rowID(1), 0);
        QCOMPARE(g->table()->item(0, Descrizione - 1)->text(), QString());
        g->addRow(0, QStringLiteral("Dopo"));
        QCOMPARE(g->rowID(1), 0);
        QVERIFY(!g->TextMatrix(1, DataCol).isValid());
        QCOMPARE(g->TextMatrix(1, Pezzi).toInt(), 0);

        g->setRowID(1, 77);
        g->setTextMatrix(1, 0, QStringLiteral("R1"));
        g->setRows(0);
        QCOMPARE(g->rowID(1), 0);
        QCOMPARE(g->TextMatrix(1, 0).toString(), QString());
        QCOMPARE(g->TextMatrix(1, Descrizione), QVariant());
    }

    void cursorRefusesCellsOutside()
    {
        Sheet s;
        s.fill(3);
        slxGrid *g = s.slg;
        g->setRow(2);
        g->setCol(3);
        QSignalSpy moves(g, &slxGrid::RowColChange);
        g->setFocus();
        QTest::keyClick(g->table(), Qt::Key_Right);
        QCOMPARE(moves.count(), 1);
        QCOMPARE(g->Col(), 4);
        QTest::keyClick(g->table(), Qt::Key_Left);
        for (int bad : {0, -1, 4})
            g->setRow(bad);
        // Column 0 is a fixed column: code may stand on it (see below).
        for (int bad : {-1, 7})
            g->setCol(bad);
        QCOMPARE(g->Row(), 2);
        QCOMPARE(g->Col(), 3);
        QCOMPARE(g->Text().toInt(), 20);
        g->setRows(0);
        g->setCol(2);
        QCOMPARE(g->Col(), 3);
    }

    void startKeys_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("editText");
        QTest::newRow("date: 5 is no day") << int(DataCol) << "5" << false << "";
        QTest::newRow("date: 2 starts the day") << int(DataCol) << "2" << true << "2 /  /    ";
        QTest::newRow("decimal: minus") << int(Peso) << "-" << false << "";
        QTest::newRow("decimal: 7") << int(Peso) << "7" << true << "7";
        QTest::newRow("text: letter, upper case") << int(Descrizione) << "x" << true << "X";
        QTest::newRow("text: blank") << int(Descrizione) << " " << false << "";
        QTest::newRow("whole: comma") << int(Pezzi) << "," << false << "";
    }

    void startKeys()
    {
        QFETCH(int, col);
        QFETCH(QString, key);
        QFETCH(bool, opens);
        QFETCH(QString, editText);
        Sheet s;
        s.showActive();
        s.fill(2);
        s.slg->setRows(2);
        s.focusCell(1, col);
        int requests = 0;
        connect(s.slg, &slxGrid::RequestEdit, this, [&requests] { ++requests; });
        typeKeys(key);
        QCOMPARE(s.slg->Editing(), opens);
        QCOMPARE(requests, opens ? 1 : 0);
        if (opens)
            QCOMPARE(s.slg->textEditor()->Text(), editText);
    }

    void typingStoresTypedValues()
    {
        Sheet s;
        s.showActive();
        s.fill(2);
        s.slg->setAutoTab(0);
        s.focusCell(1, Peso);
        typeKeys(QStringLiteral("1234,5"));
        press(Qt::Key_Return);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->table()->item(0, Peso - 1)->text(), QStringLiteral("1.234,500"));
        QCOMPARE(s.slg->TextMatrix(1, Peso).toDouble(), 1234.5);

        s.slg->setCol(Importo);
        press(Qt::Key_F2);
        QVERIFY(s.slg->Editing());
        s.slg->textEditor()->SelectAll();
        typeKeys(QStringLiteral("0,1"));
        press(Qt::Key_Return);
        QCOMPARE(s.slg->TextMatrix(1, Importo).value<Currency>(), Currency::fromRaw(1000));

        // A text as the file holds it goes back unchanged when nothing is typed over it.
        s.slg->setTextMatrix(2, Peso, QStringLiteral("1,5"));
        s.slg->setRow(2);
        s.slg->setCol(Peso);
        press(Qt::Key_F2);
        press(Qt::Key_Return);
        QCOMPARE(s.slg->TextMatrix(2, Peso), QVariant(QStringLiteral("1,5")));
        s.slg->setRow(1);

        s.slg->setCol(DataCol);
        typeKeys(QStringLiteral("12052021"));
        press(Qt::Key_Return);
        QCOMPARE(s.slg->TextMatrix(1, DataCol).toDate(), QDate(2021, 5, 12));

        s.slg->setCol(Descrizione);
        // The cell editor takes capitals, digits, blanks and signs only.
        typeKeys(QStringLiteral("Cassa 2/è"));
        TestSupport::grab(&s, QStringLiteral("grid-typing-text"));
        press(Qt::Key_Tab);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->TextMatrix(1, Descrizione).toString(), QStringLiteral("CASSA 2/"));
        QCOMPARE(s.slg->Col(), int(Descrizione));
    }

    // A cell filled to its limit stays in its edit: a key past the limit is
    // dropped and only Enter ends the edit, so nothing typed ever starts a
    // new edit over the value. The user's event loop runs between keys.
    void keysPastTheLimitAreDropped_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("editText");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("decimal: a decimal too many") << int(Peso) << "1,2345" << "1,234" << QVariant(1.234);
        QTest::newRow("decimal: a whole digit too many")
            << int(Peso) << "123456789" << "1234567" << QVariant(1234567.0);
        QTest::newRow("whole number") << int(Pezzi) << "123456" << "12345" << QVariant(12345);
        QTest::newRow("currency") << int(Importo) << "1,239" << "1,23"
                                  << Currency::fromRaw(12300).toVariant();
        QTest::newRow("date") << int(DataCol) << "120520219" << "12/05/2021" << QVariant(QDate(2021, 5, 12));
        QTest::newRow("text at its length") << int(Descrizione) << "ABCDEFGHIJKLMNOPQRSTUV"
                                            << "ABCDEFGHIJKLMNOPQRST"
                                            << QVariant(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    }
    void keysPastTheLimitAreDropped()
    {
        QFETCH(int, col);
        QFETCH(QString, keys);
        QFETCH(QString, editText);
        QFETCH(QVariant, stored);
        Sheet s;
        s.showActive();
        s.fill(1);
        s.slg->setAutoTab(0);
        s.focusCell(1, col);
        for (QChar c : keys) {
            typeKeys(QString(c));
            QCoreApplication::processEvents();
        }
        QVERIFY(s.slg->Editing());
        QCOMPARE(focus(), s.slg->textEditor()->textBox());
        QCOMPARE(s.slg->textEditor()->Text(), editText);
        press(Qt::Key_Return);
        QVERIFY(!s.slg->Editing());
        QVERIFY(sameValue(s.slg->TextMatrix(1, col), stored));
    }

    // Enter moves by AutoTab; Tab (Shift+Tab) to the next (previous)
    // editable cell unless AutoTab is 0. The value is stored either way.
    void keysMoveByAutoTab_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("autoTab");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("toRow");
        QTest::addColumn<int>("toCol");
        QTest::addColumn<bool>("leaves");
        const int enter = Qt::Key_Return;
        const int tab = Qt::Key_Tab;
        const int back = Qt::Key_Backtab;
        QTest::newRow("Enter, 0 stays") << enter << 0 << 1 << int(Pezzi) << 1 << int(Pezzi) << false;
        QTest::newRow("Enter, 1 next editable") << enter << 1 << 1 << int(Pezzi) << 1 << int(Importo) << false;
        QTest::newRow("Enter, 1 wraps to next row") << enter << 1 << 1 << int(Importo) << 2 << int(Pezzi) << false;
        QTest::newRow("Enter, 1 last cell leaves") << enter << 1 << 2 << int(Importo) << 2 << int(Importo) << true;
        QTest::newRow("Enter, 2 row below") << enter << 2 << 1 << int(Importo) << 2 << int(Importo) << false;
        QTest::newRow("Enter, 2 last row leaves") << enter << 2 << 2 << int(Pezzi) << 2 << int(Pezzi) << true;
        QTest::newRow("Tab, 0 stays") << tab << 0 << 1 << int(Pezzi) << 1 << int(Pezzi) << false;
        QTest::newRow("Tab, 2 next editable") << tab << 2 << 1 << int(Pezzi) << 1 << int(Importo) << false;
        QTest::newRow("Shift+Tab, 1 wraps to row above") << back << 1 << 2 << int(Pezzi) << 1 << int(Importo) << false;
        QTest::newRow("Shift+Tab, 0 leaves") << back << 0 << 2 << int(Importo) << 2 << int(Importo) << true;
    }

    void keysMoveByAutoTab()
    {
        QFETCH(int, key);
        QFETCH(int, autoTab);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, toRow);
        QFETCH(int, toCol);
        QFETCH(bool, leaves);
        Sheet s;
        s.showActive();
        s.fill(2);
        for (int c : {int(Descrizione), int(DataCol), int(Peso), int(Umi)})
            s.slg->ColumnHeader(c)->Editable = false;
        s.slg->setAutoTab(autoTab);
        s.focusCell(row, col);
        QSignalSpy moves(s.slg, &slxGrid::RowColChange);
        typeKeys(QStringLiteral("9"));
        press(Qt::Key(key), key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY(!s.slg->Editing());
        QTRY_COMPARE(s.after->hasFocus(), leaves);
        QCOMPARE(s.slg->Row(), toRow);
        QCOMPARE(s.slg->Col(), toCol);
        QCOMPARE(moves.count(), leaves || autoTab == 0 ? 0 : 1);
        const QVariant stored = s.slg->TextMatrix(row, col);
        QCOMPARE(Currency::fromVariant(stored), Currency::fromInt(9));
    }

    // Esc ends an edit on its cell with the value typed, through the
    // form's check. A value the form or the column refuses, which Tab keeps
    // in the edit, gives way on Esc to the cell's value, with no message.
    void escKeepsAValidValue()
    {
        Sheet s;
        s.showActive();
        s.fill(1);
        s.focusCell(1, Pezzi);
        s.slg->ColumnHeader(Pezzi)->FieldLen = 10;
        connect(s.slg, &slxGrid::ValidateEdit, this,
                [](bool &Cancel, QVariant &Valore) { Cancel = Valore.toInt() > 100; });
        for (const char *tooBig : {"999", "9999999999"}) {
            typeKeys(QLatin1String(tooBig));
            press(Qt::Key_Tab);
            QVERIFY(s.slg->Editing());
            MessageBoxSeam::clearAsked();
            press(Qt::Key_Escape);
            QVERIFY(!s.slg->Editing() && MessageBoxSeam::asked().isEmpty());
            QCOMPARE(s.slg->TextMatrix(1, Pezzi).toInt(), 10);
        }
        typeKeys(QStringLiteral("99"));
        press(Qt::Key_Escape);
        QVERIFY(!s.slg->Editing());
        QVERIFY(s.slg->table()->hasFocus());
        QCOMPARE(s.slg->Col(), int(Pezzi));
        QCOMPARE(s.slg->table()->item(0, Pezzi - 1)->text(), QStringLiteral("99"));
    }

    void escOnTheGridReachesTheForm()
    {
        QDialog dialog;
        auto *g = new slxGrid(&dialog);
        g->AddColumn(QStringLiteral("Codice"))->Editable = true;
        g->Refresh();
        g->addRow(0, QStringLiteral("R1"));
        dialog.show();
        QVERIFY(TestSupport::activate(&dialog));
        g->setFocus();
        typeKeys(QStringLiteral("X"));
        QVERIFY(g->Editing());
        press(Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        press(Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void formVetoesAndSeedsEdits()
    {
        Sheet s;
        s.showActive();
        s.fill(1);
        int mode = 0;
        connect(s.slg, &slxGrid::RequestEdit, this, [&mode](bool &Cancel, int &KeyAscii, QVariant &Valore) {
            if (mode == 0)
                Cancel = true;
            else if (mode == 1)
                Valore = 42;
            else
                KeyAscii = 0;
        });
        s.focusCell(1, Pezzi);
        typeKeys(QStringLiteral("5"));
        QVERIFY(!s.slg->Editing());
        mode = 1;
        press(Qt::Key_F2);
        QVERIFY(s.slg->Editing());
        QCOMPARE(s.slg->textEditor()->Value().toInt(), 42);
        // Esc keeps the value the editor shows, the form's seed included.
        press(Qt::Key_Escape);
        mode = 2;
        typeKeys(QStringLiteral("5"));
        QVERIFY(s.slg->Editing());
        QCOMPARE(s.slg->textEditor()->Text(), QStringLiteral("42"));
    }

    void formValidatesEdits()
    {
        Sheet s;
        s.showActive();
        s.fill(1);
        s.slg->setAutoTab(0);
        QVariant seen;
        connect(s.slg, &slxGrid::ValidateEdit, this, [&seen](bool &Cancel, QVariant &Valore) {
            seen = Valore;
            if (Valore.toInt() > 100)
                Cancel = true;
            else
                Valore = Valore.toInt() * 2;
        });
        s.focusCell(1, Pezzi);
        typeKeys(QStringLiteral("500"));
        press(Qt::Key_Return);
        QVERIFY(s.slg->Editing());
        QCOMPARE(seen.toInt(), 500);
        QCOMPARE(s.slg->textEditor()->SelLength(), 3);
        QCOMPARE(s.slg->TextMatrix(1, Pezzi).toInt(), 10);
        // A click elsewhere is refused too: the editor keeps the focus.
        s.after->setFocus();
        QVERIFY(s.slg->Editing());
        QVERIFY(!s.after->hasFocus());
        typeKeys(QStringLiteral("21"));
        press(Qt::Key_Return);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->TextMatrix(1, Pezzi).toInt(), 42);
    }

    void arrowsInTheEditor()
    {
        Sheet s;
        s.showActive();
        s.fill(2);
        s.focusCell(1, Pezzi);
        typeKeys(QStringLiteral("3"));
        press(Qt::Key_Down);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->TextMatrix(1, Pezzi).toInt(), 3);
        QCOMPARE(s.slg->Row(), 2);
        typeKeys(QStringLiteral("4"));
        press(Qt::Key_Down);
        QVERIFY(s.slg->Editing());
        press(Qt::Key_Up);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->Row(), 1);
        QCOMPARE(s.slg->TextMatrix(2, Pezzi).toInt(), 4);
    }

    void unitColumn()
    {
        Sheet s;
        s.showActive();
        s.fill(2);
        s.slg->setAutoTab(0);
        s.focusCell(1, Umi);
        typeKeys(QStringLiteral("t"));
        QVERIFY(s.slg->Editing());
        QCOMPARE(s.slg->unitEditor()->Value(), 2);
        TestSupport::grab(&s, QStringLiteral("grid-unit-editor"));
        press(Qt::Key_Return);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->TextMatrix(1, Umi).toInt(), 2);
        QCOMPARE(s.slg->table()->item(0, Umi - 1)->text(), QStringLiteral("t"));

        s.slg->setRow(2);
        press(Qt::Key_Return);
        QVERIFY(s.slg->Editing());
        QTRY_VERIFY(s.slg->unitEditor()->comboBox()->view()->isVisible());
        s.slg->setEditing(false);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->TextMatrix(2, Umi).toInt(), 1);

        // A unit stored as no unit comes back unchanged when none is chosen.
        s.slg->setTextMatrix(2, Umi, QStringLiteral("1.5"));
        press(Qt::Key_Return);
        QTRY_VERIFY(s.slg->unitEditor()->comboBox()->view()->isVisible());
        s.slg->setEditing(false);
        QCOMPARE(s.slg->TextMatrix(2, Umi), QVariant(QStringLiteral("1.5")));
    }

    void clicksStartEdits()
    {
        Sheet s;
        s.showActive();
        s.fill(2);
        QTableWidget *t = s.slg->table();
        const QPoint cell = t->visualItemRect(t->item(1, Pezzi - 1)).center();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->Row(), 2);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(s.slg->Editing());
        QVERIFY(s.slg->textEditor()->isVisible());
        TestSupport::grab(&s, QStringLiteral("grid-click-edit"));
        // A click on another cell stores the value and moves there.
        typeKeys(QStringLiteral("77"));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                          t->visualItemRect(t->item(0, Peso - 1)).center());
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->TextMatrix(2, Pezzi).toInt(), 77);
        QCOMPARE(s.slg->Row(), 1);
    }

    void insertAndDeleteAskTheForm()
    {
        Sheet s;
        s.showActive();
        s.fill(2);
        slxGrid *g = s.slg;
        int inserts = 0;
        int deletes = 0;
        connect(g, &slxGrid::RequestInsert, this, [&inserts] { ++inserts; });
        connect(g, &slxGrid::RequestDelete, this, [&deletes] { ++deletes; });
        QSignalSpy moves(g, &slxGrid::RowColChange);
        s.focusCell(1, Pezzi);
        moves.clear();
        press(Qt::Key_Insert);
        press(Qt::Key_Delete);
        QCOMPARE(inserts + deletes, 0);

        g->setAllowInsert(true);
        g->setAllowDelete(true);
        press(Qt::Key_Insert);
        QCOMPARE(inserts, 1);
        QCOMPARE(g->Rows(), 2);

        bool refuse = true;
        connect(g, &slxGrid::RequestDelete, this, [&refuse](bool &Cancel) { Cancel = refuse; });
        press(Qt::Key_Delete);
        QCOMPARE(deletes, 1);
        QCOMPARE(g->Rows(), 2);
        QCOMPARE(moves.count(), 0);

        refuse = false;
        press(Qt::Key_Delete);
        QCOMPARE(g->Rows(), 1);
        QCOMPARE(g->rowID(1), 102);
        QCOMPARE(moves.count(), 1);
        g->setTextMatrix(1, 0, QStringLiteral("R2"));
        press(Qt::Key_Delete);
        QCOMPARE(g->Rows(), 0);
        QCOMPARE(g->rowID(1), 0);
        QCOMPARE(g->TextMatrix(1, 0).toString(), QString());
        QCOMPARE(g->TextMatrix(1, Descrizione), QVariant());
        press(Qt::Key_Delete);
        QCOMPARE(deletes, 3);
    }

    void wheelScrollsTheFocusedGrid()
    {
        Sheet s(200);
        s.showActive();
        s.fill(30);
        modMain::hookWheel(&s);
        QWidget *viewport = s.slg->table()->viewport();
        s.focusCell(1, Pezzi);
        QVERIFY(s.slg->visibleRows() > 0);
        QCOMPARE(s.slg->TopRow(), 1);
        sendWheel(viewport, 120);
        QCOMPARE(s.slg->TopRow(), 1);
        sendWheel(viewport, -120);
        QCOMPARE(s.slg->TopRow(), 2);
        // One row per wheel message, however far the wheel turned.
        sendWheel(viewport, -360);
        QCOMPARE(s.slg->TopRow(), 3);
        sendWheel(viewport, 120);
        QCOMPARE(s.slg->TopRow(), 2);

        s.after->setFocus();
        sendWheel(viewport, -120);
        QCOMPARE(s.slg->TopRow(), 2);

        // An edit whose cell scrolls away is stored like any other.
        s.focusCell(2, Pezzi);
        typeKeys(QStringLiteral("55"));
        QVERIFY(s.slg->Editing());
        sendWheel(viewport, -120);
        QCOMPARE(s.slg->TopRow(), 3);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->TextMatrix(2, Pezzi).toInt(), 55);
        modMain::unhookWheel(&s);

        s.slg->setFocus();
        for (int i = 0; i < 40; ++i)
            s.slg->mouseWheel(-120 * 65536);
        const int bottom = s.slg->TopRow();
        QVERIFY(bottom > 2);
        const QTableWidget *t = s.slg->table();
        const int lastBottom = t->rowViewportPosition(29) + t->rowHeight(29);
        QVERIFY(lastBottom <= t->viewport()->height());
        s.slg->mouseWheel(-120 * 65536);
        QCOMPARE(s.slg->TopRow(), bottom);
    }

    void selectRowScrollsItIntoView()
    {
        Sheet s(200);
        s.showActive();
        s.fill(20);
        const int visible = s.slg->visibleRows();
        s.slg->SelectRow(12);
        QCOMPARE(s.slg->Row(), 12);
        QCOMPARE(s.slg->TopRow(), qMax(12 - visible + 1, 1));
        QCOMPARE(s.slg->table()->selectedRanges().first().columnCount(), 6);
        s.slg->SelectRow(25);
        QCOMPARE(s.slg->Row(), 12);
    }

    void layoutRoundTrip()
    {
        PropertyBag bag;
        {
            slxGrid g;
            g.initNewInstance();
            QCOMPARE(g.Cols(), 1);
            g.ColumnHeader(1)->Caption = QStringLiteral("Materiale");
            gridColumn *q = g.AddColumn(QStringLiteral("Quantità"), 1800);
            q->FieldType = gridColumn::Decimale;
            q->FieldLen = 7;
            q->FieldDec = 1;
            q->FieldFormat = QStringLiteral("#,##0.0");
            q->Editable = true;
            gridColumn *u = g.AddColumn(QStringLiteral("Umi"), 700, false);
            u->FieldType = gridColumn::Combo;
            u->comboIndex = 3;
            g.setExpandedCol(1);
            g.setAllowDelete(true);
            g.setFixedHeight(900);
            g.setBackColor(15790320);
            g.setRows(13);
            g.Refresh();
            g.writeProperties(bag);
        }
        QCOMPARE(bag.ReadProperty(QStringLiteral("Cols")).toInt(), 4);
        QCOMPARE(bag.ReadProperty(QStringLiteral("Col02Width")).toInt(), 1800);
        QCOMPARE(bag.ReadProperty(QStringLiteral("Col01hAlign")).toInt(), 4);
        QCOMPARE(bag.ReadProperty(QStringLiteral("Col01Align")).toInt(), 1);
        QCOMPARE(bag.ReadProperty(QStringLiteral("Col03Visible")).toBool(), false);
        QVERIFY(!bag.contains(QStringLiteral("Col01Width")));
        QVERIFY(!bag.contains(QStringLiteral("AutoTab")));
        QVERIFY(!bag.contains(QStringLiteral("BackColorSel")));

        slxGrid back;
        back.readProperties(bag);
        QCOMPARE(back.Cols(), 3);
        QCOMPARE(back.Rows(), 13);
        QCOMPARE(back.FixedHeight(), 900);
        QCOMPARE(back.ExpandedCol(), 1);
        QCOMPARE(back.ColumnHeader(2)->FieldFormat, QStringLiteral("#,##0.0"));
        QCOMPARE(back.ColumnHeader(2)->Caption, QStringLiteral("Quantità"));
        QCOMPARE(back.ColumnHeader(3)->comboIndex, 0);
        QCOMPARE(back.colWidth(3), 0);
        QCOMPARE(back.table()->horizontalHeaderItem(1)->text(), QStringLiteral("Quantità"));
        PropertyBag again;
        back.writeProperties(again);
        QCOMPARE(again.keys(), bag.keys());
        for (const QString &key : bag.keys())
            QVERIFY2(again.ReadProperty(key) == bag.ReadProperty(key), qPrintable(key));

        // Missing alignment keys read as "Generale".
        PropertyBag bare;
        bare.WriteProperty(QStringLiteral("Cols"), 3, 2);
        slxGrid plain;
        plain.readProperties(bare);
        QCOMPARE(plain.Cols(), 2);
        QCOMPARE(plain.ColumnHeader(2)->CaptionAlign, 9);
        QCOMPARE(plain.ColumnHeader(2)->FieldAlign, 9);
    }

    void formLayoutBuildsColumnsAtTheEnd()
    {
        // What uic sets from a form's .ui file, then the form's end of reading.
        slxGrid g;
        g.setProperty("FixedHeight", 330);
        g.setProperty("Rows", 13);
        g.setProperty("Col01Caption", QStringLiteral("Quantità"));
        g.setProperty("Col01Type", 3);
        g.setProperty("Col01Mask", QStringLiteral("#,##0.000"));
        g.setProperty("Col01Edit", true);
        g.setProperty("Col02Type", 5);
        g.setProperty("Col02Width", 700);
        g.endReadProperties();
        QCOMPARE(g.Cols(), 2);
        QCOMPARE(g.Rows(), 13);
        QCOMPARE(g.ColumnHeader(1)->Caption, QStringLiteral("Quantità"));
        QCOMPARE(g.ColumnHeader(1)->CaptionAlign, 9);
        QVERIFY(g.ColumnHeader(1)->Editable);
        QVERIFY(qAbs(g.colWidth(2) - 700) < slxModule::twipsPerPixelX);
        g.addRow(1, {1234.5678, 2});
        QCOMPARE(g.table()->item(0, 0)->text(), QStringLiteral("1.234,568"));
        QCOMPARE(g.table()->item(0, 1)->text(), QStringLiteral("t"));
    }

    void newGridShowsSystemSelectionColours()
    {
        Sheet s;
        s.slg->initNewInstance();
        QCOMPARE(s.slg->BackColorSel(), SystemColors::vbHighlight);
        QCOMPARE(s.slg->ForeColorSel(), SystemColors::vbHighlightText);
        s.showActive();
        s.slg->setFocus();
        const QPalette p = s.slg->table()->palette();
        QCOMPARE(p.color(QPalette::Highlight), SystemColors::toColor(SystemColors::vbHighlight));
        QVERIFY(p.color(QPalette::Highlight) != p.color(QPalette::HighlightedText));
        s.after->setFocus();
        QCOMPARE(s.slg->table()->palette().color(QPalette::Highlight),
                 SystemColors::toColor(s.slg->BackColorUnsel()));
    }

    // The packaging sheet's grid: material captions in the fixed column,
    // wrapped headers, the sheet's own colours.
    void pictureOfAColouredSheetGrid()
    {
        QWidget form;
        auto *layout = new QVBoxLayout(&form);
        auto *g = new slxGrid(&form);
        layout->addWidget(g);
        form.resize(760, 300);
        g->setFixedHeight(900);
        g->setFixedWidth(1640);
        g->setBackColor(15790320);
        g->setForeColor(4194304);
        g->setBackColorFixed(8388608);
        g->setForeColorFixed(16777215);
        g->setBackColorSel(8421504);
        g->setForeColorSel(65535);
        g->setGridColor(16777215);
        g->setGridLines(2);
        g->setFocusRect(0);
        g->setAllowBigSelection(false);
        const char *captions[] = {"Imballaggi primari per la vendita", "Imballaggi secondari multipli",
                                  "Imballaggi terziari per il trasporto", "Imballaggi riutilizzabili",
                                  "Imballaggi compositi", "Totale"};
        for (const char *c : captions) {
            gridColumn *col = g->AddColumn(QString::fromUtf8(c), 1800);
            col->CaptionAlign = 4;
            col->FieldType = gridColumn::Decimale;
            col->FieldLen = 7;
            col->FieldDec = 1;
            col->FieldFormat = QStringLiteral("#,##0.0");
            col->FieldAlign = 7;
            col->Editable = true;
        }
        g->Refresh();
        g->setTextMatrix(0, 0, QStringLiteral("MATERIALE DI IMBALLAGGIO"));
        const char *materials[] = {"Acciaio", "Alluminio", "Carta e cartone", "Legno", "Plastica", "Vetro"};
        for (const char *m : materials) {
            const int r = g->addRow(0, {12345.67, 0, 1.25, 0, 980, 13327.17});
            g->setTextMatrix(r, 0, QString::fromUtf8(m));
        }
        form.show();
        QVERIFY(TestSupport::activate(&form));
        g->setFocus();
        g->setRow(3);
        g->setCol(2);
        typeKeys(QStringLiteral("4"));
        QVERIFY(g->Editing());
        TestSupport::grab(&form, QStringLiteral("grid-sheet-colours-editing"));
        press(Qt::Key_Return);
        QCOMPARE(g->TextMatrix(3, 2).toDouble(), 4.0);
        TestSupport::grab(&form, QStringLiteral("grid-sheet-colours"));
    }

    // Each cell keeps its own colours and font; 0 gives it the grid's colour back.
    void cellFormatsStayWithTheirCell()
    {
        Sheet s;
        s.fill(2);
        s.slg->setRow(1);
        s.slg->setCol(Descrizione);
        s.slg->setCellBackColor(255);
        s.slg->setCellForeColor(65280);
        s.slg->setCellFontBold(true);
        s.slg->setRow(2);
        s.slg->setCellFontItalic(true);
        QCOMPARE(s.slg->cellBackColor(), 0);
        QVERIFY(!s.slg->cellFontBold());
        QVERIFY(s.slg->cellFontItalic());
        s.slg->setRow(1);
        QCOMPARE(s.slg->cellBackColor(), 255);
        QCOMPARE(s.slg->cellForeColor(), 65280);
        QVERIFY(s.slg->cellFontBold());
        QVERIFY(!s.slg->cellFontItalic());
        s.slg->setCellBackColor(0);
        QCOMPARE(s.slg->cellBackColor(), 0);
        QCOMPARE(s.slg->cellForeColor(), 65280);
    }

    void columnsInsertedAndRemoved()
    {
        slxGrid g;
        g.initNewInstance();
        g.ColumnHeader(1)->Caption = QStringLiteral("B");
        g.Refresh();
        QVERIFY(!g.InsColumn(0));
        QVERIFY(!g.InsColumn(-2));
        gridColumn *a = g.InsColumn(1);
        a->Caption = QStringLiteral("A");
        g.RefreshColumn(1, a);
        gridColumn *c = g.InsColumn();
        c->Caption = QStringLiteral("C");
        c->Visible = false;
        g.Refresh();
        QCOMPARE(g.Cols(), 3);
        QCOMPARE(g.TextMatrix(0, 1).toString(), QStringLiteral("A"));
        QCOMPARE(g.TextMatrix(0, 2).toString(), QStringLiteral("B"));
        QCOMPARE(g.colWidth(3), 0);
        g.delColumn(1);
        QCOMPARE(g.Cols(), 2);
        QCOMPARE(g.ColumnHeader(1)->Caption, QStringLiteral("B"));
        QCOMPARE(g.TextMatrix(0, 1).toString(), QStringLiteral("B"));
        c->Visible = true;
        g.RefreshColumn(2, c);
        QCOMPARE(g.colWidth(2), 1440);
    }

    void fixedRowAndColumn()
    {
        slxGrid g;
        g.initNewInstance();
        g.setFixedWidth(600);
        QCOMPARE(g.colWidth(0), 600);
        g.setFixedCol(false);
        QCOMPARE(g.colWidth(0), 0);
        g.setFixedWidth(900);
        QCOMPARE(g.colWidth(0), 0);
        g.setFixedCol(true);
        QCOMPARE(g.colWidth(0), 900);
        g.setFixedRow(false);
        g.setTextMatrix(0, 1, QStringLiteral("Codice"));
        QCOMPARE(g.TextMatrix(0, 1).toString(), QStringLiteral("Codice"));
        g.setTextMatrix(0, 0, QStringLiteral("MATERIALE"));
        QCOMPARE(g.TextMatrix(0, 0).toString(), QStringLiteral("MATERIALE"));
    }

    // With two fixed columns the second one is read-only scenery: the
    // cursor, the keyboard and the mouse never land on it, whatever the
    // row count does afterwards.
    void secondFixedColumnIsNeverCurrent()
    {
        Sheet s;
        s.fill(3);
        s.slg->setFixedCols(2);
        s.fill(1);
        s.showActive();
        s.slg->setFocus();
        s.slg->setRow(1);
        QCOMPARE(s.slg->Col(), int(DataCol));
        press(Qt::Key_Left);
        press(Qt::Key_Home);
        QCOMPARE(s.slg->Col(), int(DataCol));
        // Code may stand on fixed cells to format them, column 0 too.
        for (int col : {0, int(Descrizione)}) {
            s.slg->setCol(col);
            QCOMPARE(s.slg->Col(), col);
            s.slg->setCellBackColor(255);
            QCOMPARE(s.slg->cellBackColor(), 255);
        }
        press(Qt::Key_Home);
        QCOMPARE(s.slg->Col(), int(DataCol));
        for (int row : {1, 4}) {
            QTableWidget *t = s.slg->table();
            const QPoint fixedCell = t->visualRect(t->model()->index(row - 1, 0)).center();
            QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, fixedCell);
            QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, fixedCell);
            QVERIFY(!s.slg->Editing());
            QCOMPARE(s.slg->Col(), int(DataCol));
        }
        QCOMPARE(s.slg->TextMatrix(4, Descrizione).toString(), QStringLiteral("Riga 1"));
        s.slg->setFixedCols(1);
        press(Qt::Key_Left);
        QCOMPARE(s.slg->Col(), int(Descrizione));
    }

    // Fixed cells are drawn with their own line colour and style: the header
    // and a fixed column in flat lines of one colour, in the fixed colours.
    void fixedCellsDrawTheirLines()
    {
        Sheet s;
        s.fill(3);
        s.slg->setFixedCols(2);
        s.slg->setBackColorFixed(0x00FF00);
        s.slg->setGridColorFixed(0x0000FF);
        s.slg->setGridLinesFixed(1);
        s.slg->setGridLineWidthFixed(2);
        s.showActive();
        QTableWidget *t = s.slg->table();
        const QImage header = t->horizontalHeader()->grab().toImage();
        const QRect first(0, 0, t->columnWidth(0), header.height());
        QCOMPARE(QColor(header.pixel(first.center())), QColor(0, 255, 0));
        QCOMPARE(QColor(header.pixel(first.center().x(), first.bottom())), QColor(255, 0, 0));
        QCOMPARE(QColor(header.pixel(first.right() - 1, first.center().y())), QColor(255, 0, 0));
        const QImage cells = t->viewport()->grab().toImage();
        const QRect fixedCell = t->visualRect(t->model()->index(1, 0));
        QCOMPARE(QColor(cells.pixel(fixedCell.left() + 3, fixedCell.top() + 2)), QColor(0, 255, 0));
        QCOMPARE(QColor(cells.pixel(fixedCell.left() + 3, fixedCell.bottom())), QColor(255, 0, 0));
        const QRect freeCell = t->visualRect(t->model()->index(1, 1));
        QVERIFY(QColor(cells.pixel(freeCell.left() + 3, freeCell.bottom())) != QColor(255, 0, 0));
        s.slg->setGridLinesFixed(0);
        const QImage plain = t->horizontalHeader()->grab().toImage();
        QCOMPARE(QColor(plain.pixel(first.center().x(), first.bottom())), QColor(0, 255, 0));
        TestSupport::grab(&s, QStringLiteral("grid-two-fixed-columns"));
    }

    void expandedColumnTakesTheFreeWidth()
    {
        Sheet s(200);
        s.slg->setExpandedCol(Descrizione);
        s.showActive();
        QTableWidget *t = s.slg->table();
        const auto used = [t] {
            int w = t->verticalHeader()->width();
            for (int c = 0; c < t->columnCount(); ++c)
                w += t->columnWidth(c);
            return w;
        };
        const int inner = t->width() - 2 * t->frameWidth();
        s.slg->expandCol(Descrizione);
        QCOMPARE(used(), inner);
        s.fill(30);
        // With more rows than fit, the scroll bar's width is left free.
        QCOMPARE(used() + slxModule::vScrollWidth / slxModule::twipsPerPixelX, inner);
        QCoreApplication::processEvents();
        QVERIFY(t->verticalScrollBar()->isVisible());
        TestSupport::grab(&s, QStringLiteral("grid-expanded"));
    }
};

QTEST_MAIN(tst_slxGrid)
#include "tst_slxGrid.moc"
