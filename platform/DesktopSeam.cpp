#include "DesktopSeam.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QFileInfo>
#include <QUrl>

namespace {

struct State
{
    bool scripted = false;
    bool refusing = false;
    QStringList opened;
};

State &state()
{
    static State s;
    return s;
}

// Without a screen (the offscreen platform of tests and CI) no viewer could
// be seen: the file is only recorded.
bool recordOnly()
{
    return state().scripted || qEnvironmentVariable("KEZ_NO_VIEWER") == QLatin1String("1")
        || QGuiApplication::platformName() == QLatin1String("offscreen");
}

} // namespace

namespace DesktopSeam {

bool openFile(const QString &fileName)
{
    if (fileName.isEmpty())
        return false;
    const QString path = QFileInfo(fileName).absoluteFilePath();
    state().opened.append(path);
    if (recordOnly())
        return !state().refusing;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setScripted(bool scripted)
{
    state().scripted = scripted;
}

void setRefusing(bool refusing)
{
    state().refusing = refusing;
}

bool isScripted()
{
    return state().scripted;
}

QStringList opened()
{
    return state().opened;
}

void clearOpened()
{
    state().opened.clear();
}

} // namespace DesktopSeam
