#include "gridColumn.h"

#include <QDate>
#include <QLocale>
#include <cmath>
#include <limits>

#include "Currency.h"
#include "ItalianFormat.h"
#include "comboKgt.h"
#include "PropertyBag.h"

namespace {

bool isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

// The decimals a number mask shows ("#,##0.0" 1, "0%" 2), or -1 when it is
// no number mask: values are kept rounded to what the cell shows.
int maskDecimals(const QString &pattern)
{
    const QString first = pattern.section(QLatin1Char(';'), 0, 0);
    if (!first.contains(QLatin1Char('0')) && !first.contains(QLatin1Char('#')))
        return -1;
    int decimals = 0;
    const int point = first.indexOf(QLatin1Char('.'));
    if (point >= 0)
        for (int i = point + 1; i < first.size()
             && (first.at(i) == QLatin1Char('0') || first.at(i) == QLatin1Char('#')); ++i)
            ++decimals;
    return first.contains(QLatin1Char('%')) ? decimals + 2 : decimals;
}

double roundedDouble(double x, int decimals)
{
    if (decimals < 0 || decimals > 12)
        return x;
    const double scale = std::pow(10.0, decimals);
    return std::round(x * scale) / scale;
}

Currency roundedCurrency(Currency c, int decimals)
{
    if (decimals < 0 || decimals >= 4)
        return c;
    qint64 step = 1;
    for (int i = decimals; i < 4; ++i)
        step *= 10;
    const qint64 raw = c.raw();
    const qint64 rounded = (std::llabs(raw) + step / 2) / step * step;
    return Currency::fromRaw(raw < 0 ? -rounded : rounded);
}

// A number without a mask: the plain Italian figure ("1234,5"), as the
// regional settings write it.
QString plainNumber(const QVariant &v)
{
    if (Currency::isCurrency(v))
        return v.value<Currency>().toString().replace(QLatin1Char('.'), QLatin1Char(','));
    if (v.typeId() == QMetaType::Double) {
        QLocale plain = ItalianFormat::locale();
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        return plain.toString(v.toDouble(), 'g', 15);
    }
    return QString::number(v.toLongLong());
}

// A whole number as a cell keeps it: an int while it fits, else the whole
// figure as a double, so that a value beyond a Long is never turned into
// another number.
QVariant wholeNumber(double x)
{
    const double whole = std::nearbyint(x);
    if (std::isfinite(whole) && whole >= double(std::numeric_limits<int>::min())
        && whole <= double(std::numeric_limits<int>::max()))
        return int(whole);
    return std::isfinite(whole) ? QVariant(whole) : QVariant(0);
}

// A number of the column's kind from a number written the Italian way.
QVariant numberFromText(int type, const QString &text)
{
    bool ok = false;
    QString number = ItalianFormat::normaliseNumber(text, &ok);
    if (!ok)
        number = ItalianFormat::leadingNumber(QString(text).remove(QLatin1Char('.')));
    if (type == gridColumn::Valuta) {
        const Currency c = Currency::fromString(number, &ok);
        return ok ? c.toVariant() : Currency::fromDouble(number.toDouble()).toVariant();
    }
    if (type == gridColumn::Intero)
        return wholeNumber(number.toDouble());
    return number.toDouble();
}

} // namespace

QString gridColumn::key(int number, const char *suffix)
{
    return QStringLiteral("Col%1%2")
        .arg(number, 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(suffix));
}

void gridColumn::readProperties(const PropertyBag &bag, int i)
{
    Caption = bag.ReadProperty(key(i, "Caption"), QString()).toString();
    Width = bag.ReadProperty(key(i, "Width"), 1440).toInt();
    Visible = bag.ReadProperty(key(i, "Visible"), true).toBool();
    CaptionAlign = bag.ReadProperty(key(i, "hAlign"), 9).toInt();
    FieldName = bag.ReadProperty(key(i, "Field"), QString()).toString();
    FieldFormat = bag.ReadProperty(key(i, "Mask"), QString()).toString();
    FieldType = bag.ReadProperty(key(i, "Type"), 0).toInt();
    FieldLen = bag.ReadProperty(key(i, "Len"), 0).toInt();
    FieldDec = bag.ReadProperty(key(i, "Dec"), 0).toInt();
    FieldAlign = bag.ReadProperty(key(i, "Align"), 9).toInt();
    Editable = bag.ReadProperty(key(i, "Edit"), false).toBool();
    comboIndex = 0;
}

void gridColumn::writeProperties(PropertyBag &bag, int i) const
{
    bag.WriteProperty(key(i, "Caption"), Caption, QString());
    bag.WriteProperty(key(i, "Width"), Width, 1440);
    bag.WriteProperty(key(i, "Visible"), Visible, true);
    bag.WriteProperty(key(i, "hAlign"), CaptionAlign, 9);
    bag.WriteProperty(key(i, "Field"), FieldName, QString());
    bag.WriteProperty(key(i, "Mask"), FieldFormat, QString());
    bag.WriteProperty(key(i, "Type"), FieldType, 0);
    bag.WriteProperty(key(i, "Len"), FieldLen, 0);
    bag.WriteProperty(key(i, "Dec"), FieldDec, 0);
    bag.WriteProperty(key(i, "Align"), FieldAlign, 9);
    bag.WriteProperty(key(i, "Edit"), Editable, false);
}

QVariant gridColumn::zeroValue() const
{
    switch (FieldType) {
    case Intero:
        return 0;
    case Valuta:
        return Currency().toVariant();
    case Decimale:
        return 0.0;
    default:
        return QVariant();
    }
}

QVariant gridColumn::typedValue(const QVariant &value) const
{
    if (isNull(value))
        return QVariant();
    switch (FieldType) {
    case Stringa: {
        QString s;
        if (value.typeId() == QMetaType::QDate)
            s = ItalianFormat::formatDate(value.toDate(), QString());
        else if (Currency::isCurrency(value) || value.typeId() == QMetaType::Double)
            s = plainNumber(value);
        else
            s = value.toString();
        // A case mask changes the text itself: what is read back is what shows.
        if (FieldFormat.contains(QLatin1Char('>')))
            s = s.toUpper();
        else if (FieldFormat.contains(QLatin1Char('<')))
            s = s.toLower();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case Data: {
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().isValid() ? value : QVariant();
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        const QDate d = ItalianFormat::parseDate(value.toString());
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case Combo: {
        // A unit stored as a text or a fraction is kept, shown as no unit.
        if (value.typeId() == QMetaType::QString && comboKgt::noUnit(value))
            return value;
        const int code = value.toInt();
        return code == 1 || code == 2 ? code : 0;
    }
    default:
        break;
    }
    QVariant number = value;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return QVariant();
        // A text handed to a number cell is a value as the file holds it
        // (what the editor gives is a number already). A number as the file
        // writes one, of the column's kind, is that number; any other text
        // (a word, a fraction in a whole column, an Italian "1,5") is kept
        // and shown as it stands, as the verification names it, never as
        // the number its digits would make.
        bool ok = false;
        if (FieldType == Intero) {
            number = text.toLongLong(&ok);
        } else {
            // The program's decimal columns are amounts: four decimals at most.
            const Currency amount = Currency::fromString(text, &ok);
            number = FieldType == Valuta ? amount.toVariant() : QVariant(amount.toDouble());
        }
        if (!ok)
            return value;
    }
    const int decimals = maskDecimals(FieldFormat);
    if (FieldType == Valuta)
        return roundedCurrency(Currency::fromVariant(number), decimals).toVariant();
    const double x = Currency::isCurrency(number) ? number.value<Currency>().toDouble()
                                                  : number.toDouble();
    if (FieldType == Intero)
        return wholeNumber(x);
    return roundedDouble(x, decimals);
}

QString gridColumn::displayText(const QVariant &typed) const
{
    if (isNull(typed))
        return QString();
    switch (FieldType) {
    case Data:
        return ItalianFormat::formatDate(typed.toDate(),
                                         FieldFormat.isEmpty() ? QStringLiteral("dd/mm/yyyy") : FieldFormat);
    case Combo:
        return QString();
    case Intero:
    case Decimale:
    case Valuta:
        if (typed.typeId() == QMetaType::QString)
            return typed.toString();
        break;
    case Stringa:
        return FieldFormat.isEmpty() || FieldFormat.contains(QLatin1Char('>'))
                || FieldFormat.contains(QLatin1Char('<'))
            ? typed.toString()
            : ItalianFormat::formatText(typed.toString(), FieldFormat);
    default:
        break;
    }
    if (!FieldFormat.isEmpty())
        return ItalianFormat::formatNumber(typed, FieldFormat);
    return plainNumber(typed);
}

QVariant gridColumn::parseText(const QString &text) const
{
    switch (FieldType) {
    case Stringa:
        return text.isEmpty() ? QVariant() : QVariant(text);
    case Data: {
        const QDate d = ItalianFormat::parseDate(text);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case Combo:
        return QVariant();
    default:
        break;
    }
    return text.trimmed().isEmpty() ? zeroValue() : numberFromText(FieldType, text);
}
