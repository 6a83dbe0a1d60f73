#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

class Statement;

// How a declaration and its sections travel in the export file: for each
// table, the element that stands for one of its rows, the columns written
// as child elements (in file order) and the tables below it. The export,
// the import and the checks of a round trip all walk this one tree, so a
// column added here travels everywhere.
namespace ExchangeTables {

enum class Kind { Text, Integer, Money, Date, Flag };

// What the file accepts for a column, as its schema says: the
// verification holds every declaration to it, so the export never meets a
// value it cannot write.
struct Format
{
    int maxLength = 0;              // characters of a text; 0: any
    const char *pattern = nullptr;  // the form of the whole text
    qint64 min = 0;                 // a number's range; an amount's in
    qint64 max = -1;                // ten-thousandths; max < min: any
    int decimals = -1;              // an amount's decimals; -1: any
    bool required = false;          // the element cannot be left out
};

struct Field
{
    const char *column;
    Kind kind;
    const char *label = "";         // how a finding names it (UTF-8)
    Format format = {};
};

struct Table
{
    const char *name;        // the table
    const char *element;     // the element of one row
    const char *key;         // its AutoNumber
    const char *parentKey;   // the column naming the parent row
    QVector<Field> fields;
    QVector<const Table *> children;
    // Operation rows: Posizione is not written, it follows from the code
    // (R recovery 1, D disposal 2).
    bool positionFromCode = false;
};

// SezAnag with everything below it.
const Table &dichiarazione();

// "SELECT key, field... FROM table WHERE parentKey = ? ORDER BY key"
QString selectSql(const Table &table);
// "INSERT INTO table (parentKey, field...) VALUES (?, ...)"
QString insertSql(const Table &table);

// The text of column `column` of the current row, as the file writes it;
// false when the value is Null (the element is left out). A value that is
// no value of its kind (a fraction or a text in a whole-number column, a
// text in an amount's) is written as it is stored, for the file's own
// check to refuse.
bool toXml(const Statement &row, int column, Kind kind, QString &text);
// The value to store for an element's text (already checked by the schema).
QVariant fromXml(const QString &text, Kind kind);
// Why the file cannot carry text (as toXml wrote it) for field; empty when
// it can. A text that is no value of the field's kind is named as it
// stands. domain: a code of the wrong form, a whole number out of range or
// an amount below zero, which the sheets' own rules mostly judge first;
// otherwise a value too long, too large or too precise, which only this
// check sees.
QString formatError(const Field &field, const QString &text, bool &domain);
// The same with a number (an amount in ten-thousandths) already read, and
// the text of a Text field only.
QString formatError(const Field &field, const QString &text, qint64 number, bool &domain);
}
