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

    // A description that carries a library's own (English) text after the
    // user's: kept for the log and for whoever reads the error in code.
    static QString withDetail(const QString &text, const QString &detail);
    // The description without that detail: what the user reads.
    QString userText() const;
};
