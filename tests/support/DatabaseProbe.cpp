#include "DatabaseProbe.h"

#include <QFile>

#include <sqlite3.h>

#include "KezCollation.h"

namespace {
QString text(sqlite3_stmt *st, int col)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, col)));
}
}

DatabaseProbe::~DatabaseProbe()
{
    sqlite3_close(m_db);
}

bool DatabaseProbe::open(const QString &path, bool readOnly)
{
    sqlite3_close(m_db);
    m_db = nullptr;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        qWarning("cannot open %s: %s", qPrintable(path), sqlite3_errmsg(m_db));
        return false;
    }
    // The probe sees the database as the program does, cascades included.
    return KezCollation::registerOn(m_db)
        && sqlite3_exec(m_db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr) == SQLITE_OK;
}

QVariant DatabaseProbe::scalar(const QString &sql) const
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        qWarning("%s: %s", qPrintable(sql), sqlite3_errmsg(m_db));
        return QVariant();
    }
    QVariant result;
    if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
        result = text(st, 0);
    sqlite3_finalize(st);
    return result;
}

QStringList DatabaseProbe::column(const QString &sql) const
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        return {QString::fromUtf8(sqlite3_errmsg(m_db))};
    QStringList values;
    while (sqlite3_step(st) == SQLITE_ROW)
        values << text(st, 0);
    sqlite3_finalize(st);
    return values;
}

bool DatabaseProbe::exec(const QString &sql) const
{
    char *message = nullptr;
    const bool ok = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK;
    if (!ok) {
        qWarning("%s: %s", qPrintable(sql), message);
        sqlite3_free(message);
    }
    return ok;
}

QString DatabaseProbe::declaredType(const QString &table, const QString &name) const
{
    sqlite3_stmt *st = nullptr;
    const QString sql = QStringLiteral("PRAGMA table_info(%1)").arg(table);
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        return QString();
    QString type;
    while (type.isEmpty() && sqlite3_step(st) == SQLITE_ROW) {
        if (text(st, 1) == name)
            type = text(st, 2);
    }
    sqlite3_finalize(st);
    return type;
}
