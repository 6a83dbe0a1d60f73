#include "MainWindowSupport.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include "TestSupport.h"
#include "mainForm.h"
#include "modMain.h"
#include "vBar.h"

namespace MainWindowSupport {

namespace {

// The session's end told every event loop to return, and so would every
// loop started after it: the application's own loop, run once, starts them
// afresh.
void letLoopsRunAgain()
{
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

} // namespace

void isolate(const QTemporaryDir &runtime)
{
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("TMPDIR", runtime.path().toLocal8Bit());
    TestSupport::scriptDialogs();
}

void closeMainWindow()
{
    const bool sessionEnded = modMain::sessionEnded();
    // A test ends its program as the system would: whatever it left
    // modified goes without a question.
    modMain::unloadForms();
    if (modMain::gMain)
        modMain::gMain->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    modMain::releaseGlobals();
    modMain::currentForm = 0;
    if (sessionEnded)
        letLoopsRunAgain();
}

void resumeSession()
{
    if (!modMain::sessionEnded())
        return;
    modMain::installServices();
    letLoopsRunAgain();
}

void finishProgram()
{
    modMain::closeProgram();
    closeMainWindow();
}

bool startProgram(const QString &folder)
{
    closeMainWindow();
    return modMain::subMain(QStringList(), folder);
}

QString sideBarStates()
{
    QString states;
    for (int i = 1; i <= 7; ++i)
        states += modMain::gMain && modMain::gMain->sideBar()->buttonEnabled(i) ? QLatin1Char('1')
                                                                              : QLatin1Char('0');
    return states;
}
}
