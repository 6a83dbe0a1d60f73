#include "MainWindowTestCase.h"

#include <QStringList>
#include <QTest>

#include "FileDialogSeam.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "TestSupport.h"
#include "mainForm.h"
#include "modMain.h"

bool MainWindowTestCase::startProgram(const QString &extraSql, const QString &moreIni)
{
    MainWindowSupport::closeMainWindow();
    fx->prepareFolder(extraSql, moreIni);
    return MainWindowSupport::startProgram(fx->folder());
}

bool MainWindowTestCase::showMainWindow(const QSize &size)
{
    modMain::gMain->resize(size);
    modMain::gMain->show();
    return TestSupport::activate(modMain::gMain);
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
