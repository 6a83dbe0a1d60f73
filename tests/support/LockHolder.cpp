#include "LockHolder.h"

#include <QStandardPaths>

bool LockHolder::hold(const QString &path, const QString &begin)
{
    m_process.start(QStringLiteral("sqlite3"), {path});
    if (!m_process.waitForStarted())
        return false;
    // The read needs no collation of the program's: sqlite3 has none.
    m_process.write((begin + QStringLiteral("; SELECT count(*) FROM sqlite_master; SELECT 'pronto';\n")).toUtf8());
    QByteArray said;
    while (!said.contains("pronto")) {
        if (!m_process.waitForReadyRead(10000))
            return false;
        said += m_process.readAllStandardOutput();
    }
    return true;
}

LockHolder::~LockHolder()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("ROLLBACK;\n.quit\n");
    m_process.closeWriteChannel();
    m_process.waitForFinished();
}

bool LockHolder::available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty();
}
