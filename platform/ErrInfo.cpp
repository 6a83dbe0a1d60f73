#include "ErrInfo.h"

namespace {
const QString DetailMark = QStringLiteral("\nDettaglio: ");
}

ErrInfo &ErrInfo::current()
{
    static ErrInfo err;
    return err;
}

void ErrInfo::raise(int number, const QString &description, const QString &source)
{
    ErrInfo &err = current();
    err.Number = number;
    err.Description = description;
    err.Source = source;
}

void ErrInfo::clear()
{
    current() = ErrInfo();
}

QString ErrInfo::withDetail(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : text + DetailMark + detail;
}

QString ErrInfo::userText() const
{
    return Description.section(DetailMark, 0, 0);
}
