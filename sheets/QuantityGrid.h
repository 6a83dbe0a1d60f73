#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QVariant>

class slxGrid;

// The quantity grid of the packaging sheets: decimal columns of tonnes per
// year with one decimal shown, in the sheets' colours. It keeps each cell's
// stored value as it was read, so a cell the user did not edit is written
// back exactly (more decimals than shown, or Null) and only an edited cell
// takes the value typed. It reports the first real change of a cell.
class QuantityGrid : public QObject
{
    Q_OBJECT
public:
    // firstCol: the first quantity column; the columns are added by addColumn.
    QuantityGrid(slxGrid *grid, int firstCol, QObject *parent = nullptr);

    slxGrid *grid() const { return slg; }
    // A quantity column: caption centred, width in twips, editable.
    void addColumn(const QString &caption, int widthTwips);
    int firstCol() const { return m_firstCol; }
    int lastCol() const;

    // Shows a stored value (Null shows 0) and keeps it as the cell's own.
    void setStored(int row, int col, const QVariant &value);
    // Every quantity cell 0, as on a card with nothing stored.
    void clear();
    // The value to write: the stored one unless the user edited the cell.
    QVariant value(int row, int col) const;
    // Whether one of the row's quantities is greater than 0.
    bool hasQuantity(int row) const;
    // After a save the written values become the stored ones.
    void markSaved();

Q_SIGNALS:
    // A confirmed cell value differs from the one the cell had.
    void changed();

private:
    static qint64 key(int row, int col) { return qint64(row) << 16 | col; }
    void requestEdit(const QVariant &Valore);
    void validateEdit(const QVariant &Valore);

    slxGrid *slg;
    int m_firstCol;
    QVariant valoreCella;
    QHash<qint64, QVariant> m_stored;
    QSet<qint64> m_edited;
};
