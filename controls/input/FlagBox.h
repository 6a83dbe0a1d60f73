#pragma once

#include <QVariant>

class QCheckBox;

// A yes/no column of the file on a form's check box. The data layer hands
// a value that is no yes/no (a text, a fraction) as the text it is stored
// as: the box then shows neither ticked nor clear (its third state), holds
// that value, and a save hands it back unchanged until the clerk ticks or
// clears the box, which then has two states again.
namespace FlagBox {

// Ticked for a value other than 0, Null or false; neither for a text.
void setValue(QCheckBox *box, const QVariant &stored);
// What a save writes: yes or no as the box shows it, or the value held.
QVariant value(const QCheckBox *box, const QVariant &yes, const QVariant &no);
// Ticked (a held value is not).
bool ticked(const QCheckBox *box);

}
