#include "QuantityGrid.h"

#include "Currency.h"
#include "SystemColors.h"
#include "gridColumn.h"
#include "slxGrid.h"

namespace {

constexpr int rgb(int r, int g, int b)
{
    return r + g * 256 + b * 65536;
}

// A stored value that is no amount (kept as its text) was still entered.
bool positive(const QVariant &v)
{
    if (v.isNull())
        return false;
    if (v.typeId() == QMetaType::QString)
        return true;
    return Currency::isCurrency(v) ? v.value<Currency>() > Currency() : v.toDouble() > 0;
}

} // namespace

QuantityGrid::QuantityGrid(slxGrid *grid, int firstCol, QObject *parent)
    : QObject(parent), slg(grid), m_firstCol(firstCol)
{
    slg->setBackColor(rgb(240, 240, 240));
    slg->setForeColor(rgb(0, 0, 64));
    slg->setBackColorBkg(rgb(224, 224, 224));
    slg->setBackColorFixed(rgb(0, 0, 128));
    slg->setForeColorFixed(rgb(255, 255, 255));
    slg->setBackColorSel(rgb(128, 128, 128));
    slg->setForeColorSel(rgb(255, 255, 0));
    slg->setBackColorUnsel(rgb(128, 128, 128));
    slg->setForeColorUnsel(rgb(255, 255, 0));
    slg->setGridColor(rgb(255, 255, 255));
    slg->setGridColorFixed(SystemColors::vbButtonShadow);
    slg->setGridLines(2);
    slg->setFocusRect(0);
    slg->setAllowBigSelection(false);
    slg->setWordWrap(true);
    QFont f(QStringLiteral("Verdana"));
    f.setPointSizeF(9.75);
    slg->setFont(f);
    f.setBold(true);
    slg->setFontFixed(f);
    slg->setFixedWidth(1640);
    connect(slg, &slxGrid::RequestEdit, this,
            [this](bool &, int &, QVariant &Valore) { requestEdit(Valore); });
    connect(slg, &slxGrid::ValidateEdit, this, [this](bool &, QVariant &Valore) { validateEdit(Valore); });
}

void QuantityGrid::addColumn(const QString &caption, int widthTwips)
{
    gridColumn *c = slg->AddColumn(caption, widthTwips);
    c->CaptionAlign = 4;
    c->FieldAlign = 7;
    c->FieldType = gridColumn::Decimale;
    c->FieldLen = 7;
    c->FieldDec = 1;
    c->FieldFormat = QStringLiteral("#,##0.0");
    c->Editable = true;
    slg->RefreshColumn(slg->Cols(), c);
}

int QuantityGrid::lastCol() const
{
    return slg->Cols();
}

void QuantityGrid::setStored(int row, int col, const QVariant &value)
{
    slg->setTextMatrix(row, col, value.isNull() ? QVariant(0) : value);
    m_stored.insert(key(row, col), value);
    m_edited.remove(key(row, col));
}

void QuantityGrid::clear()
{
    for (int r = 1; r <= slg->Rows(); ++r)
        for (int c = m_firstCol; c <= lastCol(); ++c)
            setStored(r, c, QVariant::fromValue(Currency()));
}

QVariant QuantityGrid::value(int row, int col) const
{
    if (m_edited.contains(key(row, col)))
        return QVariant::fromValue(Currency::fromDouble(slg->TextMatrix(row, col).toDouble()));
    return m_stored.value(key(row, col), QVariant::fromValue(Currency()));
}

bool QuantityGrid::hasQuantity(int row) const
{
    for (int c = m_firstCol; c <= lastCol(); ++c)
        if (positive(value(row, c)))
            return true;
    return false;
}

void QuantityGrid::markSaved()
{
    for (const qint64 k : std::as_const(m_edited)) {
        const int row = int(k >> 16);
        const int col = int(k & 0xFFFF);
        m_stored.insert(k, QVariant::fromValue(Currency::fromDouble(slg->TextMatrix(row, col).toDouble())));
    }
    m_edited.clear();
}

void QuantityGrid::requestEdit(const QVariant &Valore)
{
    valoreCella = Valore;
}

void QuantityGrid::validateEdit(const QVariant &Valore)
{
    // A number typed over a stored text is a change, whatever it is.
    const bool text = Valore.typeId() == QMetaType::QString || valoreCella.typeId() == QMetaType::QString;
    if (text ? Valore == valoreCella : Valore.toDouble() == valoreCella.toDouble())
        return;
    m_edited.insert(key(slg->Row(), slg->Col()));
    emit changed();
}
