#pragma once

#include <QString>

// The failure that the data layer, the file functions or a lookup last
// reported: what the error box shows with its context. One per process,
// like the run-time error it stands for; each failing call sets it.
struct ErrInfo
{
    int Number = 0;         // 0 = no error
    QString Description;
    QString Source;

    static ErrInfo &current();
    static void raise(int number, const QString &description, const QString &source);
    static void clear();
};
