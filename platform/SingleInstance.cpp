#include "SingleInstance.h"

#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWidget>

namespace {

const QByteArray raiseRequest = "raise\n";

QString userName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user;
}

// Socket and lock names allow few characters everywhere; the user's name
// keeps two people on one machine apart.
QString baseName(const QString &title)
{
    QString name = QStringLiteral("%1-%2").arg(title, userName());
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return name;
}

} // namespace

SingleInstance::SingleInstance(const QString &windowTitle, QObject *parent)
    : QObject(parent), m_title(windowTitle)
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::lockFilePath(const QString &windowTitle)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    return QDir(dir).filePath(baseName(windowTitle) + QStringLiteral(".lock"));
}

QString SingleInstance::serverName(const QString &windowTitle)
{
    return baseName(windowTitle);
}

bool SingleInstance::acquire()
{
    if (m_server)
        return true;
    m_lock = std::make_unique<QLockFile>(lockFilePath(m_title));
    // A running copy keeps its lock however long it runs; only a lock whose
    // owner has died is taken over (QLockFile checks the process).
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() != QLockFile::LockFailedError) {
            // No lock can be made here (folder not writable): better a
            // second copy than a program that never starts.
            return true;
        }
        QLocalSocket socket;
        socket.connectToServer(serverName(m_title));
        if (socket.waitForConnected(2000)) {
            socket.write(raiseRequest);
            socket.waitForBytesWritten(2000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(1000);
        }
        return false;
    }

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a crashed copy would make listen() fail.
    QLocalServer::removeServer(serverName(m_title));
    m_server->listen(serverName(m_title));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                // The request is one line; it may come in pieces.
                while (socket->canReadLine()) {
                    if (socket->readLine() == raiseRequest)
                        raiseWindow();
                }
            });
        }
    });
    return true;
}

void SingleInstance::raiseWindow()
{
    if (m_window) {
        // A minimised window comes back as it was (maximised stays maximised).
        if (m_window->isMinimized())
            m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized)
                                     | Qt::WindowActive);
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
    }
    // A dialog waiting for an answer stays above the window it blocks:
    // behind it the user would see a window that ignores every click.
    if (QWidget *dialog = QApplication::activeModalWidget()) {
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    }
    Q_EMIT raiseRequested();
}
