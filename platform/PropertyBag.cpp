#include "PropertyBag.h"

QVariant PropertyBag::ReadProperty(const QString &key, const QVariant &defaultValue) const
{
    return m_values.value(key, defaultValue);
}

void PropertyBag::WriteProperty(const QString &key, const QVariant &value,
                                const QVariant &defaultValue)
{
    if (defaultValue.isValid() && sameValue(value, defaultValue))
        m_values.remove(key);
    else
        m_values.insert(key, value);
}

bool PropertyBag::contains(const QString &key) const
{
    return m_values.contains(key);
}

QStringList PropertyBag::keys() const
{
    return m_values.keys();
}

bool PropertyBag::sameValue(const QVariant &a, const QVariant &b)
{
    // Numbers of different C++ types (int against qint64, bool against int)
    // still name the same stored value.
    if (a.typeId() == b.typeId())
        return a == b;
    return QVariant::compare(a, b) == QPartialOrdering::Equivalent;
}
