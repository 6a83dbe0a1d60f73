#pragma once

#include <QObject>
#include <QSize>
#include <QTemporaryDir>

#include <memory>

#include "ShellFixture.h"

// The frame of a test of the main window: the program isolated in a folder
// of the test, a fresh program folder for each test function, and the
// window closed and the globals released after it.
class MainWindowTestCase : public QObject
{
    Q_OBJECT

protected:
    // Prepares the folder with extraSql and moreIni and starts the program
    // on it, as a double-click on kez would.
    bool startProgram(const QString &extraSql, const QString &moreIni = QString());
    // Shows the started program's main window at size and waits until it is
    // the active window; false when it never becomes so.
    static bool showMainWindow(const QSize &size);

    std::unique_ptr<ShellFixture> fx;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

private:
    QTemporaryDir runtime;
};
