#include "StoredValue.h"

#include <sqlite3.h>

#include <algorithm>
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

// The blanks SQLite skips around a number (space, tab, line ends): a
// no-break or ideographic space is none, as it is none in the exchange
// file's numbers.
bool blank(QChar c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool wholeText(const QString &text, qint64 *out)
{
    const auto from = std::find_if_not(text.begin(), text.end(), blank);
    const auto to = std::find_if_not(text.rbegin(), std::make_reverse_iterator(from), blank).base();
    const QStringView number(from, to);
    const bool sign = !number.isEmpty() && (number.front() == u'+' || number.front() == u'-');
    if (number.size() == qsizetype(sign)
        || !std::all_of(number.begin() + sign, number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    bool ok = false;
    const qint64 n = number.toLongLong(&ok);
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
    // A blob is no text, whatever its bytes spell.
    return !value.isNull() && value.typeId() != QMetaType::QByteArray && wholeText(value.toString(), out);
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
