#pragma once

#include <QProcess>
#include <QString>

// Another program with a database open: the sqlite3 program holding a read
// lock ("BEGIN" and a read) or a write lock ("BEGIN IMMEDIATE") until the
// holder is destroyed. Tests of saves that meet a busy file use it.
class LockHolder
{
public:
    LockHolder() = default;
    ~LockHolder();
    LockHolder(const LockHolder &) = delete;
    LockHolder &operator=(const LockHolder &) = delete;

    // Runs begin, then a read; true once the lock is held.
    bool hold(const QString &path, const QString &begin);
    // False when the sqlite3 program is not installed.
    static bool available();

private:
    QProcess m_process;
};
