#include "StoredValue.h"

#include <sqlite3.h>

#include <cmath>

namespace StoredValue {

bool whole(sqlite3_value *value, qint64 *out)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        *out = sqlite3_value_int64(value);
        return true;
    case SQLITE_FLOAT: {
        // 2^63, the first real beyond a whole number's range.
        constexpr double Beyond = 9223372036854775808.0;
        const double d = sqlite3_value_double(value);
        if (!std::isfinite(d) || d != std::trunc(d) || d >= Beyond || d < -Beyond)
            return false;
        *out = qint64(d);
        return true;
    }
    case SQLITE_TEXT: {
        bool ok = false;
        const qint64 n = text(value).trimmed().toLongLong(&ok);
        if (ok)
            *out = n;
        return ok;
    }
    default:
        return false;
    }
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
