#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

// The design-time properties of one control, key by key, as a form layout
// stores them. A value equal to its default is never stored, so a layout
// only lists what the form's author changed.
class PropertyBag
{
public:
    // The stored value of key, or defaultValue when the key is missing.
    QVariant ReadProperty(const QString &key, const QVariant &defaultValue = QVariant()) const;
    // Stores value under key, or removes the key when value equals defaultValue.
    void WriteProperty(const QString &key, const QVariant &value,
                       const QVariant &defaultValue = QVariant());

    bool contains(const QString &key) const;
    QStringList keys() const;
    int count() const { return m_values.size(); }
    void clear() { m_values.clear(); }

private:
    static bool sameValue(const QVariant &a, const QVariant &b);
    QMap<QString, QVariant> m_values;
};
