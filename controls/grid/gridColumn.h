#pragma once

#include <QString>
#include <QVariant>

class PropertyBag;

// One data column of the editable grid: its header, width and visibility,
// whether its cells may be edited, the kind of value they hold and how that
// value is shown. The grid owns its columns; the column property page edits
// them in place and then asks the grid to apply them again.
class gridColumn
{
public:
    // Kinds of cell value (the codes of the text field's data types, plus
    // the unit of a quantity).
    enum Type { Stringa = 0, Data = 1, Intero = 2, Decimale = 3, Valuta = 4, Combo = 5 };

    QString Caption;
    int CaptionAlign = 4;
    int comboIndex = 0;
    bool Editable = false;
    int FieldAlign = 1;
    int FieldDec = 0;
    QString FieldFormat;
    int FieldLen = 0;
    QString FieldName;
    int FieldType = Stringa;
    bool Visible = true;
    int Width = 1440;

    // "Col01Caption", "Col12Edit", "Col100Width": the layout key of a field.
    static QString key(int number, const char *suffix);
    // Fields missing from the layout keep their layout defaults, which are
    // not the creation defaults for the two alignments.
    void readProperties(const PropertyBag &bag, int number);
    void writeProperties(PropertyBag &bag, int number) const;

    // The value as this column keeps it: Null, a QString, a QDate, an int,
    // a double or a Currency, rounded to what the display mask shows so that
    // what is read back is what the user saw. Unit columns keep 1, 2 or 0.
    QVariant typedValue(const QVariant &value) const;
    // The cell text of a value (already typed by typedValue); unit columns
    // are shown by the grid's unit picker, not here.
    QString displayText(const QVariant &typed) const;
    // The value a cell text stands for, for text that did not come from a
    // typed value (a cell written by hand): Italian separators.
    QVariant parseText(const QString &text) const;
    // What an empty numeric cell reads as: 0 of the column's type.
    QVariant zeroValue() const;
    bool isNumeric() const { return FieldType >= Intero && FieldType <= Valuta; }
};
