#include "KezCollation.h"

#include <sqlite3.h>

namespace {

// Plain ASCII text, the usual case, folds without the Unicode tables.
bool isAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

int collate(void *, int lenA, const void *a, int lenB, const void *b)
{
    const QString sa = QString::fromUtf8(static_cast<const char *>(a), lenA);
    const QString sb = QString::fromUtf8(static_cast<const char *>(b), lenB);
    return KezCollation::compare(sa, sb);
}

} // namespace

namespace KezCollation {

QString fold(const QString &text)
{
    if (isAscii(text))
        return text.toCaseFolded();
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        out.append(c);
    }
    return out.toCaseFolded();
}

int compare(const QString &a, const QString &b)
{
    return fold(a).compare(fold(b));
}

bool registerOn(sqlite3 *db)
{
    return sqlite3_create_collation(db, "KEZ", SQLITE_UTF8, nullptr, collate) == SQLITE_OK;
}

} // namespace KezCollation
