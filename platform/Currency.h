#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QtGlobal>

// An exact amount with four decimals, the type of every quantity column.
// Stored as a whole number of ten-thousandths: sums and comparisons never
// pick up binary rounding, and 0.1 + 0.2 is exactly 0.3.
class Currency
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(qint64 raw) { Currency c; c.m_raw = raw; return c; }
    static Currency fromInt(qint64 units) { return fromRaw(units * Scale); }
    // Nearest amount, halves away from zero.
    static Currency fromDouble(double value);
    // The amount a real number spells; exact is false for one that spells
    // none (not finite, beyond the range, more than four decimals): the
    // amount given then is only the nearest.
    static Currency fromDouble(double value, bool *exact);
    // Parses "1234.5", "-0.0001" (a dot as decimal separator, no grouping).
    // ok is false for anything else or for more than four decimals.
    static Currency fromString(const QString &text, bool *ok = nullptr);

    constexpr qint64 raw() const { return m_raw; }
    double toDouble() const { return double(m_raw) / double(Scale); }
    // "1234.5" style: dot separator, trailing zeros dropped, no grouping.
    QString toString() const;

    Currency operator+(Currency o) const { return fromRaw(m_raw + o.m_raw); }
    Currency operator-(Currency o) const { return fromRaw(m_raw - o.m_raw); }
    Currency operator-() const { return fromRaw(-m_raw); }
    Currency &operator+=(Currency o) { m_raw += o.m_raw; return *this; }
    Currency &operator-=(Currency o) { m_raw -= o.m_raw; return *this; }
    bool operator==(Currency o) const { return m_raw == o.m_raw; }
    bool operator!=(Currency o) const { return m_raw != o.m_raw; }
    bool operator<(Currency o) const { return m_raw < o.m_raw; }
    bool operator<=(Currency o) const { return m_raw <= o.m_raw; }
    bool operator>(Currency o) const { return m_raw > o.m_raw; }
    bool operator>=(Currency o) const { return m_raw >= o.m_raw; }

    // A QVariant holding a Currency, or a number converted to one.
    static bool isCurrency(const QVariant &v);
    static Currency fromVariant(const QVariant &v, bool *ok = nullptr);
    QVariant toVariant() const { return QVariant::fromValue(*this); }
    // Makes QVariant know the type and its conversions to and from numbers
    // and text; safe to call any number of times.
    static bool registerMetaType();

private:
    qint64 m_raw = 0;
};

Q_DECLARE_METATYPE(Currency)
