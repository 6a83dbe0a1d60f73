#include "ItalianFormat.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

#include "Currency.h"

namespace ItalianFormat {

namespace {

// Digits of |value| rounded to `decimals` places, as "1234.50" style text
// (point, no sign), and whether the rounded value is below zero.
QString absoluteDigits(const QVariant &value, int decimals, bool *negative)
{
    *negative = false;
    if (Currency::isCurrency(value)) {
        const qint64 raw = value.value<Currency>().raw();
        qint64 magnitude = raw < 0 ? -raw : raw;
        int places = 4;
        if (decimals < 4) {
            qint64 divisor = 1;
            for (int i = decimals; i < 4; ++i)
                divisor *= 10;
            magnitude = (magnitude + divisor / 2) / divisor;
            places = decimals;
        }
        QString digits = QString::number(magnitude).rightJustified(places + 1, QLatin1Char('0'));
        if (places > 0)
            digits.insert(digits.size() - places, QLatin1Char('.'));
        if (decimals > places)
            digits += QString(decimals - places, QLatin1Char('0'));
        *negative = raw < 0 && magnitude != 0;
        return digits;
    }
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong
        || value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::Short
        || value.typeId() == QMetaType::Bool) {
        const qlonglong n = value.toLongLong();
        *negative = n < 0;
        QString digits = QString::number(n < 0 ? -n : n);
        if (decimals > 0)
            digits += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
        return digits;
    }
    const double d = value.toDouble();
    QString digits = QString::number(std::fabs(d), 'f', decimals);
    *negative = d < 0 && digits.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return digits;
}

QString grouped(const QString &digits)
{
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char('.');
        out += digits.at(i);
    }
    return out;
}

bool allDigits(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

const QLocale &locale()
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian;
}

QString formatNumber(const QVariant &value, const QString &pattern)
{
    // Literal text around the digit placeholders is kept as it is.
    int first = -1;
    int last = -1;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char(',')
            || c == QLatin1Char('.')) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    const QString prefix = first < 0 ? pattern : pattern.left(first);
    const QString suffix = first < 0 ? QString() : pattern.mid(last + 1);
    const QString body = first < 0 ? QString() : pattern.mid(first, last - first + 1);

    const int point = body.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? body : body.left(point);
    const QString decPart = point < 0 ? QString() : body.mid(point + 1);
    const int minInt = int(intPart.count(QLatin1Char('0')));
    const bool grouping = intPart.contains(QLatin1Char(','));
    const int maxDec = int(decPart.count(QLatin1Char('0')) + decPart.count(QLatin1Char('#')));
    const int minDec = int(decPart.count(QLatin1Char('0')));

    bool negative = false;
    const QString digits = absoluteDigits(value, maxDec, &negative);
    const int dot = digits.indexOf(QLatin1Char('.'));
    QString whole = dot < 0 ? digits : digits.left(dot);
    QString fraction = dot < 0 ? QString() : digits.mid(dot + 1);
    while (fraction.size() > minDec && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole == QLatin1String("0") && minInt == 0)
        whole.clear();
    if (whole.size() < minInt)
        whole = whole.rightJustified(minInt, QLatin1Char('0'));
    if (grouping)
        whole = grouped(whole);

    QString out = prefix;
    if (negative)
        out += QLatin1Char('-');
    out += whole;
    if (!fraction.isEmpty())
        out += QLatin1Char(',') + fraction;
    return out + suffix;
}

QString formatDate(const QDate &date, const QString &pattern)
{
    if (!date.isValid())
        return QString();
    const QString name = pattern.toLower();
    if (name == QLatin1String("short date") || pattern.isEmpty())
        return locale().toString(date, QStringLiteral("dd/MM/yyyy"));
    if (name == QLatin1String("medium date"))
        return locale().toString(date, QStringLiteral("dd-MMM-yy"));
    if (name == QLatin1String("long date"))
        return locale().toString(date, QLocale::LongFormat);
    // In a date pattern "m" is the month; Qt spells it "M".
    QString qtPattern = pattern;
    qtPattern.replace(QLatin1Char('m'), QLatin1Char('M'));
    qtPattern.replace(QLatin1String("YYYY"), QLatin1String("yyyy"));
    qtPattern.replace(QLatin1String("DD"), QLatin1String("dd"));
    return locale().toString(date, qtPattern);
}

QString formatText(const QString &text, const QString &pattern)
{
    QString value = text;
    QString layout;
    bool fromLeft = false;
    for (QChar c : pattern) {
        if (c == QLatin1Char('<'))
            value = value.toLower();
        else if (c == QLatin1Char('>'))
            value = value.toUpper();
        else if (c == QLatin1Char('!'))
            fromLeft = true;
        else
            layout += c;
    }
    int placeholders = 0;
    for (QChar c : layout)
        if (c == QLatin1Char('@') || c == QLatin1Char('&'))
            ++placeholders;
    if (placeholders == 0)
        return layout.isEmpty() ? value : value + layout;

    // Characters beyond the placeholders are not lost: they stand before
    // (or, filling from the left, after) the pattern.
    QString extra;
    if (value.size() > placeholders) {
        if (fromLeft) {
            extra = value.mid(placeholders);
            value = value.left(placeholders);
        } else {
            extra = value.left(value.size() - placeholders);
            value = value.right(placeholders);
        }
    }
    const int missing = placeholders - int(value.size());
    QString out;
    int slot = 0;
    int next = 0;
    for (QChar c : layout) {
        if (c != QLatin1Char('@') && c != QLatin1Char('&')) {
            out += c;
            continue;
        }
        const bool empty = fromLeft ? slot >= value.size() : slot < missing;
        if (empty) {
            if (c == QLatin1Char('@'))
                out += QLatin1Char(' ');
        } else {
            out += value.at(next++);
        }
        ++slot;
    }
    return fromLeft ? out + extra : extra + out;
}

QDate parseDate(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QDate();
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})([ T].*)?$"));
    const QRegularExpressionMatch m = iso.match(t);
    if (m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());

    static const QRegularExpression separators(QStringLiteral("[/\\-.]"));
    QStringList parts = t.split(separators);
    for (QString &p : parts)
        p = p.trimmed();
    if (parts.size() == 3 && parts.at(2).isEmpty())
        parts.removeLast();
    if (parts.size() < 2 || parts.size() > 3)
        return QDate();
    const QString &day = parts.at(0);
    const QString &month = parts.at(1);
    if (!allDigits(day) || !allDigits(month) || day.size() > 2 || month.size() > 2)
        return QDate();
    int year = QDate::currentDate().year();
    if (parts.size() == 3) {
        const QString &y = parts.at(2);
        if (!allDigits(y) || y.size() == 3 || y.size() > 4)
            return QDate();
        year = y.toInt();
        if (y.size() <= 2)
            year += year < 30 ? 2000 : 1900;
    }
    return QDate(year, month.toInt(), day.toInt());
}

QString normaliseNumber(const QString &text, bool *ok)
{
    *ok = false;
    QString t = text.trimmed();
    QString sign;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        if (t.startsWith(QLatin1Char('-')))
            sign = QStringLiteral("-");
        t = t.mid(1).trimmed();
    }
    QString whole;
    QString fraction;
    const int comma = t.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        whole = t.left(comma);
        fraction = t.mid(comma + 1);
        if (!fraction.isEmpty() && !allDigits(fraction))
            return QString();
    } else {
        const QStringList groups = t.split(QLatin1Char('.'));
        if (groups.size() == 2 && groups.at(1).size() != 3) {
            whole = groups.at(0);
            fraction = groups.at(1);
            if (!allDigits(fraction))
                return QString();
        } else {
            whole = t;
        }
    }
    if (whole.contains(QLatin1Char('.'))) {
        const QStringList groups = whole.split(QLatin1Char('.'));
        for (int i = 0; i < groups.size(); ++i) {
            const QString &g = groups.at(i);
            if (!allDigits(g) || (i == 0 ? g.size() > 3 : g.size() != 3))
                return QString();
        }
        whole = groups.join(QString());
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return QString();
    if (!whole.isEmpty() && !allDigits(whole))
        return QString();
    *ok = true;
    QString out = sign + (whole.isEmpty() ? QStringLiteral("0") : whole);
    if (!fraction.isEmpty())
        out += QLatin1Char('.') + fraction;
    return out;
}

QString leadingNumber(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    int i = 0;
    while (i < t.size() && t.at(i) == QLatin1Char(' '))
        ++i;
    QString sign;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
        if (t.at(i) == QLatin1Char('-'))
            sign = QStringLiteral("-");
        ++i;
    }
    QString whole;
    while (i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 128)
        whole += t.at(i++);
    QString fraction;
    if (i < t.size() && t.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 128)
            fraction += t.at(i++);
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return QStringLiteral("0");
    QString out = sign + (whole.isEmpty() ? QStringLiteral("0") : whole);
    if (!fraction.isEmpty())
        out += QLatin1Char('.') + fraction;
    return out;
}

} // namespace ItalianFormat
