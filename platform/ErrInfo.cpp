#include "ErrInfo.h"

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
