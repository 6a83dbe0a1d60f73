#pragma once

#include <QProcess>
#include <QStandardPaths>

// Another program with a database open: sqlite3 holding the lock its begin
// takes ("BEGIN" and a read; "BEGIN IMMEDIATE") until the holder goes.
class LockHolder
{
public:
    static bool available() { return !QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty(); }

    // True once the lock is held. The read needs no collation of ours.
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
        if (m_process.state() != QProcess::NotRunning) {
            m_process.write("ROLLBACK;\n.quit\n");
            m_process.waitForFinished();
        }
    }

private:
    QProcess m_process;
};
