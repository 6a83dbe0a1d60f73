#pragma once

#include <QProcess>
#include <QStandardPaths>

// Another program with a database open: the sqlite3 program holding the
// lock its begin ("BEGIN", then a read; "BEGIN IMMEDIATE") takes, until
// the holder is destroyed.
class LockHolder
{
public:
    static bool available() { return !QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty(); }

    // True once the lock is held. The read needs none of the program's
    // collations: sqlite3 has none.
    bool hold(const QString &path, const QString &begin)
    {
        m_process.start(QStringLiteral("sqlite3"), {path});
        m_process.write((begin + QStringLiteral("; SELECT count(*) FROM sqlite_master; SELECT 'pronto';\n")).toUtf8());
        QByteArray said;
        while (!said.contains("pronto") && m_process.waitForReadyRead(10000))
            said += m_process.readAllStandardOutput();
        return said.contains("pronto");
    }

    ~LockHolder()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("ROLLBACK;\n.quit\n");
        m_process.closeWriteChannel();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};
