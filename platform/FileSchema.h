#pragma once

#include <QString>
#include <QVector>

class Connection;
struct sqlite3;

// What a SQLite database holds, for a program that must decide whether it
// can use a file as its own: the tables with their columns and declared
// types, the foreign keys, and the triggers and views (SQL that runs of
// itself when rows are read or written). Read from an open connection, or
// from a script of CREATE statements run in a database in memory, so that
// a file can be compared with the script that builds the program's files.
// Reading never writes to the file.
class FileSchema
{
public:
    struct Column
    {
        QString name;
        QString type;   // as declared
    };
    struct Table
    {
        QString name;
        QVector<Column> columns;
        const Column *column(const QString &name) const;
    };
    struct Runner
    {
        QString type;   // "trigger" or "view"
        QString name;
        QString table;  // the table a trigger is on; a view's own name
    };
    struct ForeignKey
    {
        QString table;
        QString from;
        QString parent;   // the table it refers to
        QString onUpdate;
        QString onDelete;
        // It changes or deletes rows of its own table when the row it
        // refers to changes: a cascade, SET NULL or SET DEFAULT.
        bool acts() const;
        bool sameAs(const ForeignKey &other) const;
    };

    QVector<Table> tables;
    QVector<Runner> runners;
    QVector<ForeignKey> foreignKeys;

    // Names compare as SQLite compares them, without case.
    const Table *table(const QString &name) const;

    // False when the file could not be read; the reason is in ErrInfo.
    bool read(const Connection &cn);
    bool readScript(const QString &sql);

private:
    int readFrom(sqlite3 *db);
};
