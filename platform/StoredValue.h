#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>

#include "Currency.h"

struct sqlite3_value;

// How a value read from the file stands for a number of its column's kind.
// A column keeps whatever was put in it: a whole-number column may hold a
// fraction or a text, an amount column a text or a real beyond any amount
// (by hand, from another program, from an old file). Such a value is read
// as what it is, never as the number its leading digits or its rounding
// would make of it; a text that spells a clean number is that number.
namespace StoredValue {

// A whole number: an integer, a real with no fraction, or a text of digits
// with a sign and blanks around at most (those SQLite skips: space, tab,
// line ends). False for anything else, a blob included.
bool whole(sqlite3_value *value, qint64 *out);
// The same for a value already read: a whole number, a real with no
// fraction, or a text of digits (a blob read as a QByteArray is none).
bool whole(const QVariant &value, qint64 *out);
// Null or a whole 0: no mark. Any other value marks, a text or a fraction
// included, so that a mark stored so is seen wherever it is read.
bool nullOrZero(const QVariant &value);
// An amount of a CURRENCY column: ten-thousandths stored whole, or a real
// or a text that spells an amount (four decimals at most, within range).
bool amount(sqlite3_value *value, Currency *out);
// The value as the file holds it, as SQLite writes it ("2.7", "1.0e+308").
QString text(sqlite3_value *value);

}
