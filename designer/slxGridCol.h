#pragma once

#include <QVector>

#include "PropertyPage.h"

class PageTextBox;
class QCheckBox;
class QComboBox;
class QPushButton;
class slxGrid;

// The "Colonne" page of the grid: edits the grid's columns one at a time
// (header, width, visibility, bound field, type, alignment, mask, length,
// decimals, editable) and inserts and deletes columns. It works on the
// first selected grid.
class slxGridCol : public PropertyPage
{
    Q_OBJECT

public:
    explicit slxGridCol(QWidget *parent = nullptr);

    QString caption() const override;
    bool serves(const QWidget *control) const override;

    // The column being edited, from 1, and the grid's column count as last read.
    int currentColumn = 1;
    int columnCount = 0;

    // Previous column, next column, insert a column, delete the column.
    QVector<QPushButton *> slb;
    PageTextBox *txtCol = nullptr;
    // Caption, Width, FieldName, FieldFormat, FieldLen, FieldDec.
    QVector<PageTextBox *> slt;
    // CaptionAlign, FieldType, FieldAlign.
    QVector<QComboBox *> cmb;
    // Visible, Editable.
    QVector<QCheckBox *> chk;

protected:
    void fill(QWidget *first) override;
    void apply(const QList<QWidget *> &controls) override;

private:
    slxGrid *grid() const;
    void showColumn();
    void moveTo(int column);
    void insertColumn();
    void deleteColumn();
};
