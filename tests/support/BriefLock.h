#pragma once

#include <QString>
#include <QThread>

#include <atomic>
#include <thread>

#include <sqlite3.h>

// Another program using the database for a moment: from hold() until ms
// later a connection of its own keeps the lock its begin takes (the write
// lock of "BEGIN IMMEDIATE", or the read lock of a read in a "BEGIN"), then
// lets it go having written nothing. The program's connection, busy
// meanwhile on the same thread as the test, must wait it out.
class BriefLock
{
public:
    BriefLock() = default;
    BriefLock(const BriefLock &) = delete;
    BriefLock &operator=(const BriefLock &) = delete;
    ~BriefLock()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

    // True once the lock is held.
    bool hold(const QString &path, int ms, const char *begin = "BEGIN IMMEDIATE")
    {
        const QByteArray name = path.toUtf8();
        m_thread = std::thread([this, name, ms, begin] {
            sqlite3 *db = nullptr;
            if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
                && sqlite3_exec(db, begin, nullptr, nullptr, nullptr) == SQLITE_OK) {
                m_state = Held;
                QThread::msleep(ms);
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            } else {
                m_state = Failed;
            }
            sqlite3_close(db);
        });
        while (m_state == Waiting)
            QThread::msleep(1);
        return m_state == Held;
    }

    void release()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    enum State { Waiting, Held, Failed };
    std::thread m_thread;
    std::atomic<int> m_state{Waiting};
};
