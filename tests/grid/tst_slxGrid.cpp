#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

#include "Currency.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "TestSupport.h"
#include "comboKgt.h"
#include "gridColumn.h"
#include "slxGrid.h"
#include "slxText.h"

namespace {

// A sheet as the section forms build it: a grid of typed columns and a
// field after it for the focus to leave to.
struct Sheet : QWidget
{
    slxGrid *slg;
    QLineEdit *after;
    Sheet()
    {
        auto *layout = new QVBoxLayout(this);
        slg = new slxGrid(this);
        slg->setObjectName(QStringLiteral("slg"));
        after = new QLineEdit(this);
        layout->addWidget(slg);
        layout->addWidget(after);
        resize(720, 260);
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
};

void typeKeys(const QString &text)
{
    for (QChar c : text)
        TestSupport::typeText(QApplication::focusWidget(), QString(c));
}

void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, mods);
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
    }

    void smoke()
    {
        Sheet s;
        s.show();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        s.slg->addRow(0, {QStringLiteral("Cassette"), QDate(2021, 3, 5), 12, 1234.5,
                          Currency::fromRaw(123456).toVariant(), 2});
        s.slg->addRow(0, {QStringLiteral("Pallet"), QVariant(), 3, 0.25, QVariant(), 1});
        s.slg->setFocus();
        s.slg->setRow(1);
        s.slg->setCol(4);
        typeKeys(QStringLiteral("7"));
        QVERIFY(s.slg->Editing());
        TestSupport::grab(&s, QStringLiteral("grid-editing"));
        press(Qt::Key_Return);
        QVERIFY(!s.slg->Editing());
        QCOMPARE(s.slg->TextMatrix(1, 4).toDouble(), 7.0);
        TestSupport::grab(&s, QStringLiteral("grid-after-edit"));
    }
};

QTEST_MAIN(tst_slxGrid)
#include "tst_slxGrid.moc"
