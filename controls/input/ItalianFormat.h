#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QVariant>

// Numbers and dates as an Italian office shows and types them, whatever the
// machine's own locale: "." groups thousands, "," separates the decimals,
// dates are day/month/year. Patterns are the classic format patterns the
// controls keep in their properties ("#,##0.00", "0", "Short Date",
// "dd/mm/yyyy", "@@@-@@").
namespace ItalianFormat {

const QLocale &locale();

// A number (int, double or Currency) through a number pattern: "0" a digit
// always shown, "#" a digit shown when significant, "," between digits
// groups thousands, "." marks the decimals. Currency amounts are rounded
// exactly, halves away from zero.
QString formatNumber(const QVariant &value, const QString &pattern);

// A date through a named format ("Short Date", "Medium Date", "Long Date")
// or a day/month/year pattern ("dd/mm/yyyy", "d/m/yy", "mmm"...).
QString formatDate(const QDate &date, const QString &pattern);

// A text through a display pattern: "@" a character or a blank, "&" a
// character or nothing, filled from the right ("!" fills from the left);
// "<" and ">" turn the text into lower or upper case.
QString formatText(const QString &text, const QString &pattern);

// Reads a date typed day first: "12/05/2021", "12/5/21", "12-05-2021",
// "12.05.2021", "12/05" (this year); also "2021-05-12" as databases keep it.
// Two-digit years below 30 are 20xx, the others 19xx. Null when invalid.
QDate parseDate(const QString &text);

// Reads a number written the Italian way ("1.234,5", "-12,50", "7") or with
// a point as decimal separator when it cannot be a thousands group ("12.5").
// ok is false for anything that is not wholly a number. The result is
// normalised to "-1234.5" (point decimals, no grouping).
QString normaliseNumber(const QString &text, bool *ok);

// The longest leading number of text, with every "," read as a point:
// "12,50" gives "12.50", "-" and "" give "0", "3.5abc" gives "3.5".
QString leadingNumber(const QString &text);
}
