#include "MainWindowTestCase.h"

#include <QStringList>

#include "FileDialogSeam.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "modMain.h"

bool MainWindowTestCase::startProgram(const QString &extraSql, const QString &moreIni)
{
    fx->prepareFolder(extraSql, moreIni);
    return modMain::subMain(QStringList(), fx->folder());
}

void MainWindowTestCase::initTestCase()
{
    MainWindowSupport::isolate(runtime);
}

void MainWindowTestCase::init()
{
    fx = std::make_unique<ShellFixture>();
    MessageBoxSeam::clearAsked();
    FileDialogSeam::clearAsked();
}

void MainWindowTestCase::cleanup()
{
    MainWindowSupport::closeMainWindow();
    fx.reset();
}
