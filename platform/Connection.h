#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include "ErrInfo.h"

struct sqlite3;
struct sqlite3_stmt;

// A connection to one of the program's SQLite database files. It opens
// existing files only (a path that is missing, unreadable, read-only, empty
// or not a SQLite database fails at open), registers the program's text
// collation and its LIKE (no case, no accents), waits up to five seconds for
// a file another program is writing, and runs statements with bound
// parameters. Transactions nest (inner ones are savepoints).
//
// Values bind as: Null for a null QVariant, -1/0 for bool, whole numbers
// and doubles as such, QDate as "yyyy-MM-dd", QDateTime as
// "yyyy-MM-ddTHH:mm:ss", Currency as its whole number of ten-thousandths,
// anything else as text.
//
// Errors: every failing call returns false, keeps the failure in
// lastError() (SQLite's extended result code and message) and also raises
// it into ErrInfo::current() for the error box, with Source "Kez.Connection".
class Connection
{
public:
    enum ObjectState { adStateClosed = 0, adStateOpen = 1 };

    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    int State() const { return isOpen() ? adStateOpen : adStateClosed; }
    QString path() const { return m_path; }

    // Runs one statement (or a script of several); values take the place of
    // the "?" in order, and a value too few or too many is an error.
    bool execute(const QString &sql, const QVariantList &params = {}, int *rowsAffected = nullptr);
    qint64 lastInsertRowId() const;

    bool beginTransaction();
    bool commit();
    bool rollback();
    bool inTransaction() const;

    const ErrInfo &lastError() const { return m_error; }
    sqlite3 *handle() const { return m_db; }

    // Creates a new, empty database file (for the build of the default
    // database and for tests); fails when the file already exists.
    static bool createDatabase(const QString &path);

private:
    friend class Recordset;
    // Each returns false so a caller can return its result directly.
    bool setError(int number, const QString &description);
    bool closedError();
    sqlite3_stmt *prepare(const QByteArray &sql, int *consumed);
    bool bindParams(sqlite3_stmt *stmt, const QVariantList &params, int *next, bool last);
    static int bindValue(sqlite3_stmt *stmt, int index, const QVariant &v);
    static int bindText(sqlite3_stmt *stmt, int index, const QString &text);

    sqlite3 *m_db = nullptr;
    QString m_path;
    ErrInfo m_error;
    int m_savepoints = 0;       // open savepoints inside the transaction
};
