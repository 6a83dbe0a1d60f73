#include "FileSchema.h"

#include <sqlite3.h>

#include <functional>

#include "Connection.h"
#include "ErrInfo.h"
#include "KezCollation.h"

namespace {

const QString FileSchemaSource = QStringLiteral("Kez.FileSchema");

int eachRow(sqlite3 *db, const char *sql, const std::function<void(sqlite3_stmt *)> &take)
{
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            take(stmt);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

QString text(sqlite3_stmt *stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)));
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

const FileSchema::Column *FileSchema::Table::column(const QString &name) const
{
    for (const Column &c : columns)
        if (same(c.name, name))
            return &c;
    return nullptr;
}

bool FileSchema::ForeignKey::acts() const
{
    const auto quiet = [](const QString &action) {
        return same(action, QStringLiteral("NO ACTION")) || same(action, QStringLiteral("RESTRICT"));
    };
    return !quiet(onUpdate) || !quiet(onDelete);
}

bool FileSchema::ForeignKey::sameAs(const ForeignKey &other) const
{
    return same(table, other.table) && same(from, other.from) && same(parent, other.parent)
        && same(onUpdate, other.onUpdate) && same(onDelete, other.onDelete);
}

const FileSchema::Table *FileSchema::table(const QString &name) const
{
    for (const Table &t : tables)
        if (same(t.name, name))
            return &t;
    return nullptr;
}

bool FileSchema::read(const Connection &cn)
{
    if (!cn.handle()) {
        ErrInfo::raise(3704, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."), FileSchemaSource);
        return false;
    }
    if (readFrom(cn.handle()) == SQLITE_OK)
        return true;
    ErrInfo::raise(sqlite3_extended_errcode(cn.handle()), Connection::describeError(cn.handle()), FileSchemaSource);
    return false;
}

bool FileSchema::readScript(const QString &sql)
{
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK && !KezCollation::registerOn(db))
        rc = sqlite3_errcode(db);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = readFrom(db);
    if (rc != SQLITE_OK)
        ErrInfo::raise(rc, db ? Connection::describeError(db) : QString::fromUtf8(sqlite3_errstr(rc)),
                       FileSchemaSource);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

int FileSchema::readFrom(sqlite3 *db)
{
    tables.clear();
    runners.clear();
    foreignKeys.clear();
    int rc = eachRow(db, "SELECT m.name, c.name, c.type FROM sqlite_master AS m, pragma_table_info(m.name) AS c "
                         "WHERE m.type = 'table' ORDER BY m.rowid, c.cid",
                     [this](sqlite3_stmt *stmt) {
                         if (tables.isEmpty() || tables.last().name != text(stmt, 0))
                             tables.append({text(stmt, 0), {}});
                         tables.last().columns.append({text(stmt, 1), text(stmt, 2)});
                     });
    if (rc == SQLITE_OK)
        rc = eachRow(db, "SELECT type, name, tbl_name FROM sqlite_master WHERE type IN ('trigger', 'view') "
                         "ORDER BY rowid",
                     [this](sqlite3_stmt *stmt) { runners.append({text(stmt, 0), text(stmt, 1), text(stmt, 2)}); });
    if (rc == SQLITE_OK)
        rc = eachRow(db, "SELECT m.name, f.\"from\", f.\"table\", f.on_update, f.on_delete "
                         "FROM sqlite_master AS m, pragma_foreign_key_list(m.name) AS f WHERE m.type = 'table'",
                     [this](sqlite3_stmt *stmt) {
                         foreignKeys.append({text(stmt, 0), text(stmt, 1), text(stmt, 2), text(stmt, 3),
                                             text(stmt, 4)});
                     });
    return rc;
}
