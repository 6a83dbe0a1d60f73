#include "MainWindowSupport.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "mainForm.h"
#include "modMain.h"

namespace MainWindowSupport {

void isolate(const QTemporaryDir &runtime)
{
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("TMPDIR", runtime.path().toLocal8Bit());
    TestSupport::scriptDialogs();
}

void closeMainWindow()
{
    if (modMain::gMain)
        modMain::gMain->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    modMain::releaseGlobals();
    modMain::currentForm = 0;
}
}
