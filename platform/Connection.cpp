#include "Connection.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include "Currency.h"
#include "KezCollation.h"

namespace {

const QString ConnectionSource = QStringLiteral("Kez.Connection");

// A second writer (another copy of the program, a backup tool) gets this
// long to finish before a statement gives up as busy.
int busyTimeoutMs = 5000;

// What a clerk can do about the errors a save or a search can meet.
QString userText(int rc)
{
    switch (rc) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE:
        return QStringLiteral("Il dato non è stato accettato: esiste già un elemento con gli stessi dati.");
    case SQLITE_CONSTRAINT_NOTNULL:
        return QStringLiteral("Il dato non è stato accettato: manca un valore obbligatorio.");
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return QStringLiteral("Il dato non è stato accettato: è collegato ad altri dati dell'archivio.");
    // The connection still holds the file it opened, now under another name
    // or none: SQLite writes neither to it nor to the file now at its path.
    case SQLITE_READONLY_DBMOVED:
        return QStringLiteral("Il file del database è stato spostato, sostituito o eliminato da un altro "
                              "programma. Chiudere Kez e aprirlo di nuovo, oppure scegliere il file del database.");
    case SQLITE_READONLY_DIRECTORY:
        return QStringLiteral("La cartella del database è di sola lettura: per salvare i dati il programma "
                              "deve poter scrivere nella cartella.");
    default:
        break;
    }
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Il database è in uso da un altro programma. "
                              "Riprovare quando l'altro programma lo ha rilasciato.");
    case SQLITE_READONLY:
        return QStringLiteral("Il database è di sola lettura.");
    case SQLITE_FULL:
        return QStringLiteral("Spazio su disco esaurito.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("Il database è danneggiato.");
    case SQLITE_IOERR:
        return QStringLiteral("Errore di lettura o scrittura sul disco del database.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Impossibile accedere al file del database o alla sua cartella.");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("Accesso negato al file del database.");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("Il dato non è stato accettato dal database.");
    case SQLITE_NOMEM:
        return QStringLiteral("Memoria insufficiente per l'operazione sul database.");
    case SQLITE_TOOBIG:
        return QStringLiteral("Il dato è troppo grande per il database.");
    case SQLITE_MISMATCH:
        return QStringLiteral("Il dato non è del tipo che il database si attende.");
    default:
        // A mistake in the program's own SQL, or an archive without the
        // tables and columns of this version of the program.
        return QStringLiteral("Operazione non eseguita dal database: l'archivio non ha la forma attesa "
                              "da questa versione del programma (errore %1).")
            .arg(rc);
    }
}

QString describe(int rc, const QString &sqliteText)
{
    return ErrInfo::withDetail(userText(rc), sqliteText);
}

// Refusals at open that SQLite itself lets pass. A file that may not be
// written, or whose folder may not (SQLite keeps its journal beside the
// file), opens for reading only, and every save would fail after the user
// typed it. A damaged page is found by the quick check, before a search
// meets it; the check reads and never writes. path is the real file, a
// link resolved: SQLite keeps its journal beside the file the link names.
int checkUsable(sqlite3 *db, const QString &path)
{
    if (sqlite3_db_readonly(db, "main") == 1 || !QFileInfo(QFileInfo(path).absolutePath()).isWritable())
        return SQLITE_READONLY;
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            rc = qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)), "ok") == 0
                ? SQLITE_OK : SQLITE_CORRUPT;
    }
    sqlite3_finalize(stmt);
    return rc;
}

QString savepoint(int level)
{
    return QStringLiteral("kez_%1").arg(level);
}

// The user reads this in the error box when a file chosen or remembered
// cannot be used: say what is wrong with it in the user's language.
QString openFailure(int rc, const QString &path, const QString &sqliteMessage)
{
    const QString file = QDir::toNativeSeparators(path);
    switch (rc & 0xff) {
    case SQLITE_CANTOPEN:
        return QFileInfo::exists(path)
            ? QStringLiteral("Impossibile aprire il file '%1'.").arg(file)
            : QStringLiteral("Impossibile trovare il file '%1'.").arg(file);
    case SQLITE_NOTADB:
        return QStringLiteral("Il file '%1' non è un database riconosciuto.").arg(file);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Il file '%1' è in uso da un altro programma.").arg(file);
    case SQLITE_CORRUPT:
        return QStringLiteral("Il database '%1' è danneggiato.").arg(file);
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("Accesso negato al file '%1'.").arg(file);
    case SQLITE_IOERR:
        return QStringLiteral("Errore di lettura del file '%1'.").arg(file);
    default:
        return ErrInfo::withDetail(
            QStringLiteral("Impossibile usare il file '%1' come database (errore %2).").arg(file).arg(rc),
            sqliteMessage);
    }
}

// The file may be writable while its folder is not: the user must know
// which of the two to change.
QString readOnlyFailure(sqlite3 *db, const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (db && sqlite3_db_readonly(db, "main") == 0 && !QFileInfo(folder).isWritable())
        return QStringLiteral("La cartella del database è di sola lettura:\n%1\n"
                              "Per salvare i dati il programma deve poter scrivere nella cartella.")
            .arg(QDir::toNativeSeparators(folder));
    return QStringLiteral("Il database è di sola lettura: ") + path;
}

} // namespace

Connection::~Connection()
{
    close();
}

bool Connection::open(const QString &path)
{
    close();
    Currency::registerMetaType();
    m_error = ErrInfo();
    sqlite3 *db = nullptr;
    const QByteArray name = path.toUtf8();
    // The checks judge the file a link leads to, in the folder it lies in.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString real = canonical.isEmpty() ? path : canonical;
    // Only the user-interface thread touches a connection: no mutex per call.
    int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, busyTimeoutMs);
        // SQLite reads a file only when asked to: a text file or a file of
        // another program shows up here, at open, not at the first query.
        rc = QFileInfo(path).size() == 0 ? SQLITE_NOTADB
            : sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK && !KezCollation::registerOn(db))
            rc = sqlite3_errcode(db);
        // The cascades that take a declaration's sections with it work only
        // where the connection asks for them.
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            rc = checkUsable(db, real);
        if (rc == SQLITE_OK) {
            m_db = db;
            m_path = path;
            return true;
        }
    }
    const QString description = rc == SQLITE_READONLY ? readOnlyFailure(db, real)
        : openFailure(rc, path, db && sqlite3_errcode(db) != SQLITE_OK
                          ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
    sqlite3_close(db);
    setError(rc, description);
    return false;
}

bool Connection::hasMoved() const
{
    int moved = 0;
    return m_db && sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved;
}

void Connection::close()
{
    if (!m_db)
        return;
    // Statements left by a failed recordset must not keep the file open.
    while (sqlite3_stmt *stmt = sqlite3_next_stmt(m_db, nullptr))
        sqlite3_finalize(stmt);
    sqlite3_close(m_db);
    m_db = nullptr;
    m_path.clear();
    dropLevels();
}

// A value too few or too many is a mistake in the calling code: running the
// statement with a Null in its place could write wrong data without a word.
bool Connection::bindParams(sqlite3_stmt *stmt, const QVariantList &params, int *next, bool last)
{
    const int count = sqlite3_bind_parameter_count(stmt);
    if (*next + count > params.size())
        return setError(SQLITE_RANGE, QStringLiteral("Valore mancante per uno o più parametri richiesti."));
    if (last && *next + count < params.size())
        return setError(SQLITE_RANGE, QStringLiteral("Sono stati passati più valori dei parametri richiesti."));
    for (int i = 1; i <= count; ++i, ++*next) {
        if (bindValue(stmt, i, params.at(*next)) != SQLITE_OK)
            return sqliteError();
    }
    return true;
}

int Connection::bindValue(sqlite3_stmt *stmt, int index, const QVariant &v)
{
    if (v.isNull())
        return sqlite3_bind_null(stmt, index);
    switch (v.typeId()) {
    case QMetaType::Bool:
        return sqlite3_bind_int(stmt, index, v.toBool() ? -1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(stmt, index, v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, v.toDouble());
    case QMetaType::QDate:
        return bindText(stmt, index, v.toDate().toString(Qt::ISODate));
    case QMetaType::QDateTime:
        return bindText(stmt, index, v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    case QMetaType::QTime:
        return bindText(stmt, index, v.toTime().toString(QStringLiteral("HH:mm:ss")));
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return sqlite3_bind_blob64(stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    default:
        if (Currency::isCurrency(v))
            return sqlite3_bind_int64(stmt, index, v.value<Currency>().raw());
        return bindText(stmt, index, v.toString());
    }
}

int Connection::bindText(sqlite3_stmt *stmt, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text64(stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                               SQLITE_TRANSIENT, SQLITE_UTF8);
}

sqlite3_stmt *Connection::prepare(const QByteArray &sql, int *consumed)
{
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql.constData() + *consumed, int(sql.size() - *consumed),
                                      &stmt, &tail);
    if (rc != SQLITE_OK) {
        sqliteError();
        sqlite3_finalize(stmt);
        return nullptr;
    }
    *consumed = int(tail - sql.constData());
    return stmt;
}

bool Connection::execute(const QString &sql, const QVariantList &params, int *rowsAffected)
{
    if (rowsAffected)
        *rowsAffected = 0;
    if (!m_db)
        return closedError();
    // Outside the transaction it was meant for, a write would be stored
    // on its own while the routine reports its save as failed.
    resync();
    if (m_lostOwners > 0)
        return lostTransaction();
    m_error = ErrInfo();
    const QByteArray text = sql.toUtf8();
    int consumed = 0;
    int nextParam = 0;
    // A script of several statements runs them in order; the values are
    // shared out among their "?" in the same order.
    while (consumed < text.size()) {
        sqlite3_stmt *stmt = prepare(text, &consumed);
        if (!stmt) {
            if (m_error.Number != 0)
                return false;
            break;      // only blanks or comments were left
        }
        const bool last = QByteArrayView(text).sliced(consumed).trimmed().isEmpty();
        bool ok = bindParams(stmt, params, &nextParam, last);
        int rc = SQLITE_ROW;
        while (ok && rc == SQLITE_ROW)
            rc = sqlite3_step(stmt);
        if (ok && rc != SQLITE_DONE)
            ok = sqliteError();
        sqlite3_finalize(stmt);
        if (!ok)
            return false;
        if (rowsAffected)
            *rowsAffected = sqlite3_changes(m_db);
    }
    return true;
}

qint64 Connection::lastInsertRowId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

// Transactions nest: the outer one is a real transaction, the inner ones
// savepoints, so a routine that saves in a transaction can call another one
// that does the same.
bool Connection::beginTransaction()
{
    if (!m_db)
        return closedError();
    if (resync() || m_lostOwners > 0)
        return lostTransaction();
    if (m_depth == 0 && inTransaction()) {
        // Begun by SQL run by hand, or left by an end that failed: later
        // saves inside it would say they worked and be lost at close.
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return setError(SQLITE_ABORT, QStringLiteral("Una transazione rimasta aperta è stata annullata: "
                                                     "le ultime modifiche non sono state salvate."));
    }
    if (!execute(m_depth == 0 ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT ") + savepoint(m_depth)))
        return false;
    ++m_depth;
    return true;
}

bool Connection::commit()
{
    if (!m_db)
        return closedError();
    if (resync())
        return lostTransaction();
    if (m_depth <= 1)
        return endTransaction(true);
    const QString name = savepoint(--m_depth);
    if (execute(QStringLiteral("RELEASE ") + name))
        return true;
    const ErrInfo failure = m_error;
    execute(QStringLiteral("ROLLBACK TO ") + name);
    execute(QStringLiteral("RELEASE ") + name);
    return setError(failure.Number, failure.Description);
}

// Undoing work after a failure must not hide the failure from the caller
// that reports it: lastError() changes only when the rollback itself fails.
bool Connection::rollback()
{
    if (!m_db)
        return closedError();
    const ErrInfo failure = m_error;
    bool ok = true;
    if (resync()) {
        // SQLite has undone the whole transaction already: nothing is left to undo.
    } else if (m_depth <= 1) {
        ok = endTransaction(false);
    } else {
        const QString name = savepoint(--m_depth);
        ok = execute(QStringLiteral("ROLLBACK TO ") + name) && execute(QStringLiteral("RELEASE ") + name);
    }
    if (ok)
        m_error = failure;
    return ok;
}

// A COMMIT that fails leaves the transaction open in SQLite: it is rolled
// back here, so the caller's failure is the whole story.
bool Connection::endTransaction(bool commit)
{
    m_depth = 0;
    if (!commit)
        return !inTransaction() || execute(QStringLiteral("ROLLBACK"));
    if (execute(QStringLiteral("COMMIT")))
        return true;
    const ErrInfo failure = m_error;
    if (inTransaction())
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return setError(failure.Number, QStringLiteral("Le modifiche non sono state salvate.\n") + failure.Description);
}

bool Connection::resync()
{
    if (m_depth == 0 || !sqlite3_get_autocommit(m_db))
        return false;
    dropLevels();
    return true;
}

void Connection::dropLevels()
{
    m_depth = 0;
    m_lostOwners += m_owners;
    m_owners = 0;
    ++m_generation;
}

bool Connection::lostTransaction()
{
    return setError(SQLITE_ABORT, QStringLiteral("La transazione è stata annullata dopo un errore: "
                                                 "le modifiche non sono state salvate."));
}

void Connection::setBusyTimeout(int ms)
{
    busyTimeoutMs = ms;
}

int Connection::busyTimeout()
{
    return busyTimeoutMs;
}

bool Connection::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

bool Connection::startLibrary(QString *why)
{
    const int rc = sqlite3_initialize();
    if (rc != SQLITE_OK && why)
        *why = QStringLiteral("la libreria del database non si avvia (errore %1).").arg(rc);
    return rc == SQLITE_OK;
}

bool Connection::createDatabase(const QString &path)
{
    if (QFileInfo::exists(path)) {
        ErrInfo::raise(SQLITE_CANTOPEN, QStringLiteral("Il file esiste già: ") + path, ConnectionSource);
        return false;
    }
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    // SQLite writes nothing until something changes: without a first page
    // the new file would be empty and refused at open like a foreign file.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "CREATE TABLE kez_new (x); DROP TABLE kez_new;", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        ErrInfo::raise(rc, openFailure(rc, path, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc))),
                       ConnectionSource);
        sqlite3_close(db);
        return false;
    }
    sqlite3_close(db);
    return true;
}

QString Connection::describeError(sqlite3 *db)
{
    return describe(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
}

bool Connection::sqliteError()
{
    return setError(sqlite3_extended_errcode(m_db), describeError(m_db));
}

bool Connection::closedError()
{
    return setError(3704, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."));
}

bool Connection::setError(int number, const QString &description)
{
    m_error.Number = number;
    m_error.Description = description;
    m_error.Source = ConnectionSource;
    ErrInfo::raise(number, description, ConnectionSource);
    return false;
}
