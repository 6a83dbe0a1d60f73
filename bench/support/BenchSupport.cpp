#include "BenchSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "Connection.h"
#include "FormRegistry.h"
#include "MessageBoxSeam.h"
#include "mainForm.h"
#include "modMain.h"
#include "tbButton.h"

namespace BenchSupport {

qint64 CpuTimer::now()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

namespace {

double statusMb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}
}

double residentMb()
{
    return statusMb("VmRSS:");
}

void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

double peakMb()
{
    return statusMb("VmHWM:");
}

QString readSource(const char *relative)
{
    QFile f(QStringLiteral(KEZ_SOURCE_DIR "/") + QLatin1String(relative));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool createDatabase(Connection &cn, const QString &path, std::initializer_list<const char *> scripts)
{
    if (!Connection::createDatabase(path) || !cn.open(path))
        return false;
    for (const char *script : scripts)
        if (!cn.execute(readSource(script)))
            return false;
    return true;
}

qint64 readAllColumns(sqlite3_stmt *stmt)
{
    qint64 bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            bytes += sqlite3_column_bytes(stmt, c);
    return bytes;
}

void prepareOffscreen(const QString &dir)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
    MessageBoxSeam::setScripted(true);
}

bool startProgram(const QString &folder, const QString &path, const QString &kezKeys, const QSize &size)
{
    QFile ini(folder + QStringLiteral("Kez22imb.ini"));
    if (!ini.open(QIODevice::WriteOnly))
        return false;
    ini.write(QStringLiteral("[PATH]\nkez2021=%1\n[Kez]\n%2").arg(path, kezKeys).toUtf8());
    ini.close();
    FormRegistry::registerAll();
    if (!modMain::subMain(QStringList(), folder) || !modMain::gMain)
        return false;
    if (size.isValid())
        modMain::gMain->resize(size);
    modMain::gMain->show();
    QCoreApplication::processEvents();
    return true;
}

ProgramBench::ProgramBench(int &argc, char **argv, const char *name)
    : offscreen((prepareOffscreen(dir.path()), true)),
      app(argc, argv),
      folder(dir.path() + QLatin1Char('/')),
      path(folder + QStringLiteral("Kez22imb.db")),
      m_name(name)
{
}

bool ProgramBench::start(const std::function<bool(const QString &)> &build, const QString &kezKeys,
                         const QSize &size)
{
    const char *reason = !build(path)                               ? "cannot build the database"
                         : !startProgram(folder, path, kezKeys, size) ? "the program did not start"
                                                                      : nullptr;
    if (reason)
        fail(reason);
    return !reason;
}

int ProgramBench::fail(const char *reason) const
{
    std::fprintf(stderr, "%s: %s\n", m_name, reason);
    return 1;
}

void PaintWatch::wait()
{
    QElapsedTimer guard;
    guard.start();
    while (!painted && guard.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool PaintWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched->isWidgetType()) {
        for (QObject *o = watched; o; o = o->parent())
            if (o->inherits(target))
                painted = true;
    }
    return false;
}

double openSheet(int code, PaintWatch *watch)
{
    modMain::unloadForms();
    modMain::currentForm = 0;
    QCoreApplication::processEvents();
    if (watch)
        watch->painted = false;
    QElapsedTimer t;
    t.start();
    modMain::gMain->vBar1_Click(code, false);
    if (watch)
        watch->wait();
    else
        QCoreApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
}

void timeMove(tbButton *button, PaintWatch &watch, std::vector<double> &moves, std::vector<double> &painted)
{
    watch.painted = false;
    QElapsedTimer t;
    t.start();
    emit button->Click();
    moves.push_back(t.nsecsElapsed() / 1e6);
    watch.wait();
    painted.push_back(t.nsecsElapsed() / 1e6);
}

} // namespace BenchSupport
