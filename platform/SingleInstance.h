#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;
class QWidget;

// One running copy per user: the first copy holds a lock file and listens
// on a local socket named after its main window's title; a second copy
// finds the lock taken, asks the first to raise its window, and ends.
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

Q_SIGNALS:
    void raiseRequested();

private:
    void raiseWindow();
    QString m_title;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    QWidget *m_window = nullptr;
};
