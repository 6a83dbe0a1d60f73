#include "Currency.h"

#include <cmath>
#include <limits>

namespace {

constexpr qint64 MaxRaw = std::numeric_limits<qint64>::max();

// Whole-number text of at most four decimals into ten-thousandths; rounds
// half away from zero when roundExtra allows more decimals than four.
bool parseDecimal(QStringView text, bool roundExtra, qint64 *raw)
{
    text = text.trimmed();
    if (text.isEmpty())
        return false;
    bool negative = false;
    qsizetype i = 0;
    if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')) {
        negative = text[0] == QLatin1Char('-');
        ++i;
    }
    qint64 units = 0;
    bool anyDigit = false;
    for (; i < text.size() && text[i].isDigit(); ++i) {
        const int d = text[i].digitValue();
        if (d < 0 || units > (MaxRaw / Currency::Scale - d) / 10)
            return false;
        units = units * 10 + d;
        anyDigit = true;
    }
    qint64 fraction = 0;
    int decimals = 0;
    bool roundUp = false;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        for (++i; i < text.size() && text[i].isDigit(); ++i) {
            const int d = text[i].digitValue();
            if (d < 0)
                return false;
            anyDigit = true;
            if (decimals < 4) {
                fraction = fraction * 10 + d;
                ++decimals;
            } else if (decimals == 4) {
                if (d != 0 && !roundExtra)
                    return false;
                roundUp = d >= 5;
                decimals = 5;
            } else if (d != 0 && !roundExtra) {
                return false;
            }
        }
    }
    if (!anyDigit || i != text.size())
        return false;
    for (; decimals < 4; ++decimals)
        fraction *= 10;
    qint64 value = units * Currency::Scale + fraction + (roundUp ? 1 : 0);
    *raw = negative ? -value : value;
    return true;
}

bool registerConversions()
{
    qRegisterMetaType<Currency>("Currency");
    QMetaType::registerConverter<Currency, double>(&Currency::toDouble);
    QMetaType::registerConverter<Currency, QString>(&Currency::toString);
    QMetaType::registerConverter<double, Currency>([](double v) { return Currency::fromDouble(v); });
    QMetaType::registerConverter<int, Currency>([](int v) { return Currency::fromInt(v); });
    QMetaType::registerConverter<qlonglong, Currency>([](qlonglong v) { return Currency::fromInt(v); });
    return true;
}

const bool conversionsRegistered = Currency::registerMetaType();

} // namespace

bool Currency::registerMetaType()
{
    static const bool done = registerConversions();
    Q_UNUSED(conversionsRegistered);
    return done;
}

Currency Currency::fromDouble(double value)
{
    return fromDouble(value, nullptr);
}

Currency Currency::fromDouble(double value, bool *exact)
{
    if (exact)
        *exact = false;
    if (!std::isfinite(value))
        return Currency();
    // Fifteen significant digits drop the binary noise (0.1 + 0.2 reads as
    // 0.3) before the decimal rounding, so halves round the way a person
    // reading the number expects.
    const QString text = QString::number(value, 'f', 15 - std::max(0, int(std::log10(std::fabs(value) + 1.0))));
    qint64 raw = 0;
    if (exact && parseDecimal(text, false, &raw)) {
        *exact = true;
        return fromRaw(raw);
    }
    if (parseDecimal(text, true, &raw))
        return fromRaw(raw);
    return fromRaw(value < 0 ? -MaxRaw : MaxRaw);
}

Currency Currency::fromString(const QString &text, bool *ok)
{
    qint64 raw = 0;
    const bool parsed = parseDecimal(text, false, &raw);
    if (ok)
        *ok = parsed;
    return parsed ? fromRaw(raw) : Currency();
}

QString Currency::toString() const
{
    const bool negative = m_raw < 0;
    // Built from the unsigned magnitude so the smallest raw value prints too.
    const quint64 magnitude = negative ? quint64(0) - quint64(m_raw) : quint64(m_raw);
    QString text = QString::number(magnitude / quint64(Scale));
    quint64 fraction = magnitude % quint64(Scale);
    if (fraction != 0) {
        int decimals = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --decimals;
        }
        text += QLatin1Char('.') + QString::number(fraction).rightJustified(decimals, QLatin1Char('0'));
    }
    return negative ? QLatin1Char('-') + text : text;
}

bool Currency::isCurrency(const QVariant &v)
{
    return v.metaType() == QMetaType::fromType<Currency>();
}

Currency Currency::fromVariant(const QVariant &v, bool *ok)
{
    registerMetaType();
    bool converted = true;
    Currency result;
    switch (v.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        converted = false;
        break;
    case QMetaType::Bool:
        result = fromInt(v.toBool() ? -1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::Long:
        result = fromInt(v.toLongLong());
        break;
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        converted = v.toULongLong() <= quint64(MaxRaw / Scale);
        if (converted)
            result = fromInt(qint64(v.toULongLong()));
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        converted = std::isfinite(v.toDouble()) && std::fabs(v.toDouble()) < double(MaxRaw / Scale);
        if (converted)
            result = fromDouble(v.toDouble());
        break;
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        // Text typed by hand may carry more decimals than kept: they round.
        qint64 raw = 0;
        converted = parseDecimal(v.toString(), true, &raw);
        if (converted)
            result = fromRaw(raw);
        break;
    }
    default:
        if (isCurrency(v))
            result = v.value<Currency>();
        else
            converted = false;
    }
    if (ok)
        *ok = converted;
    return result;
}
