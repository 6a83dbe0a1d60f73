#include "Statement.h"

#include <sqlite3.h>

#include "Connection.h"
#include "ErrInfo.h"
#include "StoredValue.h"

namespace {
const QString StatementSource = QStringLiteral("Kez.Statement");
}

Statement::Statement(Connection &cn, const QString &sql) : m_cn(cn)
{
    if (!cn.handle()) {
        m_error = QStringLiteral("Database non aperto.");
        m_errorNumber = 3704;
        ErrInfo::raise(m_errorNumber, m_error, StatementSource);
        return;
    }
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(cn.handle(), utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK) {
        fail();
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

bool Statement::fail()
{
    m_errorNumber = sqlite3_extended_errcode(m_cn.handle());
    m_error = Connection::describeError(m_cn.handle());
    ErrInfo::raise(m_errorNumber, m_error, StatementSource);
    m_row = false;
    return false;
}

bool Statement::exec(const QVariantList &params)
{
    m_row = false;
    if (!m_stmt) {
        ErrInfo::raise(m_errorNumber, m_error, StatementSource);
        return false;
    }
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    if (params.size() != sqlite3_bind_parameter_count(m_stmt)) {
        m_error = QStringLiteral("Numero di valori errato per l'istruzione SQL.");
        m_errorNumber = 3001;
        ErrInfo::raise(m_errorNumber, m_error, StatementSource);
        return false;
    }
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &v = params.at(i);
        const int index = i + 1;
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(m_stmt, index);
        } else if (Currency::isCurrency(v)) {
            rc = sqlite3_bind_int64(m_stmt, index, v.value<Currency>().raw());
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(m_stmt, index, v.toBool() ? -1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
                rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
                break;
            default: {
                const QByteArray text = v.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            return fail();
    }
    return next() || m_error.isEmpty();
}

bool Statement::next()
{
    m_row = false;
    if (!m_stmt)
        return false;
    m_error.clear();
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_row = true;
        return true;
    }
    if (rc != SQLITE_DONE)
        return fail();
    return false;
}

bool Statement::isNull(int column) const
{
    return !m_row || sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::integer(int column, bool *ok) const
{
    qint64 n = 0;
    const bool whole = isNull(column) || StoredValue::whole(sqlite3_column_value(m_stmt, column), &n);
    if (ok)
        *ok = whole;
    return whole ? n : 0;
}

QString Statement::text(int column) const
{
    if (isNull(column))
        return QString();
    const auto *utf8 = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(utf8, sqlite3_column_bytes(m_stmt, column));
}

Currency Statement::money(int column, bool *ok) const
{
    Currency c;
    const bool spelt = isNull(column) || StoredValue::amount(sqlite3_column_value(m_stmt, column), &c);
    if (ok)
        *ok = spelt;
    return spelt ? c : Currency();
}

QVariant Statement::value(int column) const
{
    if (!m_row)
        return QVariant();
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(text(column));
    }
}

int Statement::changes() const
{
    return m_cn.handle() ? sqlite3_changes(m_cn.handle()) : 0;
}
