#pragma once

#include <QString>
#include <QVariant>

// Reading and comparing values that may be Null (a null QVariant), as
// every layer that shows or compares a field does.
namespace NullSafe {

QString nzStr(const QVariant &value);
QVariant nullIfBlank(const QString &text);
// Null equals only Null.
bool sameValue(const QVariant &a, const QVariant &b);
}
