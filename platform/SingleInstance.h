#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class QLocalServer;
class QLockFile;

// One running copy per user: the first copy holds a lock file and listens
// on a local socket named after its main window's title; a second copy
// finds the lock taken, asks the first to raise its window (and the
// dialog open over it, if any), and ends.
// A lock left by a copy that crashed does not count.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &windowTitle, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only copy (the lock is now ours). False when
    // another copy runs: it has been asked to raise its window.
    bool acquire();
    // The window that a later copy's request brings to the front.
    void setWindow(QWidget *window) { m_window = window; }

    // The lock file and socket name used for a title (tests look at them).
    static QString lockFilePath(const QString &windowTitle);
    static QString serverName(const QString &windowTitle);

Q_SIGNALS:
    void raiseRequested();

private:
    void raiseWindow();
    QString m_title;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    QPointer<QWidget> m_window;
};
