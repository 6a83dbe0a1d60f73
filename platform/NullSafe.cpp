#include "NullSafe.h"

namespace NullSafe {

QString nzStr(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

QVariant nullIfBlank(const QString &text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? QVariant() : QVariant(trimmed);
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a == b;
}

} // namespace NullSafe
