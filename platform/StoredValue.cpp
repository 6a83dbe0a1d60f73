#include "StoredValue.h"

#include <sqlite3.h>

#include <cmath>

namespace StoredValue {

namespace {

bool wholeReal(double d, qint64 *out)
{
    // 2^63, the first real beyond a whole number's range.
    constexpr double Beyond = 9223372036854775808.0;
    if (!std::isfinite(d) || d != std::trunc(d) || d >= Beyond || d < -Beyond)
        return false;
    *out = qint64(d);
    return true;
}

bool wholeText(const QString &text, qint64 *out)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (ok)
        *out = n;
    return ok;
}
}

bool whole(sqlite3_value *value, qint64 *out)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        *out = sqlite3_value_int64(value);
        return true;
    case SQLITE_FLOAT:
        return wholeReal(sqlite3_value_double(value), out);
    case SQLITE_TEXT:
        return wholeText(text(value), out);
    default:
        return false;
    }
}

bool whole(const QVariant &value, qint64 *out)
{
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return wholeReal(value.toDouble(), out);
    return !value.isNull() && wholeText(value.toString(), out);
}

bool nullOrZero(const QVariant &value)
{
    qint64 n = 0;
    return value.isNull() || (whole(value, &n) && n == 0);
}

bool amount(sqlite3_value *value, Currency *out)
{
    bool ok = false;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        *out = Currency::fromRaw(sqlite3_value_int64(value));
        return true;
    case SQLITE_FLOAT: {
        const Currency c = Currency::fromDouble(sqlite3_value_double(value), &ok);
        if (ok)
            *out = c;
        return ok;
    }
    case SQLITE_TEXT: {
        const Currency c = Currency::fromString(text(value).trimmed(), &ok);
        if (ok)
            *out = c;
        return ok;
    }
    default:
        return false;
    }
}

QString text(sqlite3_value *value)
{
    const auto *utf8 = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return QString::fromUtf8(utf8, sqlite3_value_bytes(value));
}

}
