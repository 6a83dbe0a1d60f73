#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;

// Reads a database file straight through SQLite, below the program's own
// data layer, so tests can check what really is in the file.
class DatabaseProbe
{
public:
    DatabaseProbe() = default;
    ~DatabaseProbe();
    DatabaseProbe(const DatabaseProbe &) = delete;
    DatabaseProbe &operator=(const DatabaseProbe &) = delete;

    // Opens an existing file with the program's collation registered.
    bool open(const QString &path, bool readOnly = false);
    // First column of the first row as text; null when there is none or on error.
    QVariant scalar(const QString &sql) const;
    // First column of every row as text (the error text alone on error).
    QStringList column(const QString &sql) const;
    bool exec(const QString &sql) const;
    // Declared type of table.column, empty when the column does not exist.
    QString declaredType(const QString &table, const QString &column) const;

private:
    sqlite3 *m_db = nullptr;
};
