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
// A file is refused at open when it could be read but not saved to (the
// file or its folder read-only) or when SQLite's quick check finds it
// damaged: either would let the user type data that can never be stored.
// A path through a symbolic link is judged by the real file and the real
// folder it leads to, where SQLite writes.
//
// A transaction begins IMMEDIATE: it takes the file's write lock at once,
// waiting out another program's lock like any statement does, instead of
// reading first and then being refused the write lock without a wait.
//
// A transaction never outlives a failure: a COMMIT that fails (busy,
// locked, disk full, I/O) rolls the transaction back before returning
// false, and a transaction found open where none was begun (left by SQL
// run by hand) is rolled back and reported at the next beginTransaction,
// so no later save can succeed inside it and be lost at close. Nor does
// a failure outlive its transaction: when SQLite has rolled the whole
// transaction back by itself (a full disk, an I/O error), the levels
// begun on it are over, and the next save begins afresh. Only while a
// Transaction begun on the lost one is still in scope are new levels and
// statements refused, so the routine around it cannot store half its work.
//
// Values bind as: Null for a null QVariant, -1/0 for bool, whole numbers
// and doubles as such, QDate as "yyyy-MM-dd", QDateTime as
// "yyyy-MM-ddTHH:mm:ss", Currency as its whole number of ten-thousandths,
// anything else as text.
//
// Errors: every failing call returns false, keeps the failure in
// lastError() and also raises it into ErrInfo::current() for the error box,
// with Source "Kez.Connection". The number is SQLite's extended result code;
// the description says in Italian what a user can do about the errors one
// can meet (busy, read-only, a file moved or replaced under it, disk full,
// damaged, refused value), with SQLite's own text after it as a detail.
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
    // The file opened is no longer the one at its path (moved, replaced or
    // deleted by another program): the connection can only read it.
    bool hasMoved() const;

    // Runs one statement (or a script of several); values take the place of
    // the "?" in order, and a value too few or too many is an error.
    bool execute(const QString &sql, const QVariantList &params = {}, int *rowsAffected = nullptr);
    qint64 lastInsertRowId() const;

    bool beginTransaction();
    // False when the work is lost: the transaction (or the savepoint) has
    // been rolled back and lastError() says why.
    bool commit();
    bool rollback();
    bool inTransaction() const;
    // Levels begun and not yet ended: 1 for the transaction, one more for
    // each savepoint inside it.
    int transactionDepth() const { return m_depth; }

    // How long a statement waits for a file another program holds, for
    // the connections opened from now on (tests shorten it).
    static void setBusyTimeout(int ms);
    static int busyTimeout();

    const ErrInfo &lastError() const { return m_error; }
    // The description of SQLite's last error on db as lastError() gives it:
    // Italian for what a user can meet, SQLite's text as the detail.
    static QString describeError(sqlite3 *db);
    sqlite3 *handle() const { return m_db; }

    // Starts the database library; false, with the library's reason in
    // why, when it refuses to start.
    static bool startLibrary(QString *why);

    // Creates a new, empty database file (for the build of the default
    // database and for tests); fails when the file already exists.
    static bool createDatabase(const QString &path);

private:
    friend class Recordset;
    friend class Transaction;
    // Each returns false so a caller can return its result directly.
    bool setError(int number, const QString &description);
    // The error SQLite reports for the last call, described for the user.
    bool sqliteError();
    bool closedError();
    bool endTransaction(bool commit);
    bool lostTransaction();
    // True when SQLite no longer has the transaction our levels were begun
    // on: the levels are dropped and their Transactions become lost ones.
    bool resync();
    void dropLevels();
    sqlite3_stmt *prepare(const QByteArray &sql, int *consumed);
    bool bindParams(sqlite3_stmt *stmt, const QVariantList &params, int *next, bool last);
    static int bindValue(sqlite3_stmt *stmt, int index, const QVariant &v);
    static int bindText(sqlite3_stmt *stmt, int index, const QString &text);

    sqlite3 *m_db = nullptr;
    QString m_path;
    ErrInfo m_error;
    int m_depth = 0;
    // Transactions in scope on the open transaction, and on lost ones; the
    // generation tells a Transaction which of the two it is.
    int m_owners = 0;
    int m_lostOwners = 0;
    quint64 m_generation = 0;
};
