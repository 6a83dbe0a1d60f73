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

struct Field
{
    const char *column;
    Kind kind;
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
// false when the value is Null (the element is left out).
bool toXml(const Statement &row, int column, Kind kind, QString &text);
// The value to store for an element's text (already checked by the schema).
QVariant fromXml(const QString &text, Kind kind);
}
