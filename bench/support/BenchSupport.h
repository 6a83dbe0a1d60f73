// What the benchmark programs share: a thread CPU clock, the median of a
// run of figures, the database built from the project's own scripts, and
// the program started on it with a first paint to wait for.
#pragma once

#include <QApplication>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <initializer_list>
#include <vector>

class Connection;
class tbButton;
struct sqlite3_stmt;

namespace BenchSupport {

// CPU time of this thread: other programs on a busy machine do not count.
class CpuTimer
{
public:
    CpuTimer() : m_start(now()) {}
    void restart() { m_start = now(); }
    double ms() const { return double(now() - m_start) / 1e6; }
    double seconds() const { return double(now() - m_start) / 1e9; }

private:
    static qint64 now();
    qint64 m_start;
};

double median(std::vector<double> v);

// The resident memory of the process in megabytes: now, and at its peak
// since the last reset (the reset is the kernel's, so the peak is that of
// the job that follows).
double residentMb();
void resetPeak();
double peakMb();

// A file of the source tree, such as "data/schema.sql"; empty when unreadable.
QString readSource(const char *relative);

// A new database at path, open on cn, with the given scripts of the source
// tree run on it in order.
bool createDatabase(Connection &cn, const QString &path, std::initializer_list<const char *> scripts);

// Steps the statement to its end reading every column; the bytes read.
qint64 readAllColumns(sqlite3_stmt *stmt);

// Offscreen unless told otherwise, with the runtime folder in dir and the
// message boxes answered without a user: before the application is made.
void prepareOffscreen(const QString &dir);

// Starts the program from folder on the database at path, with kezKeys
// added to the [Kez] section of its settings, and shows the main window
// (at size, when valid).
bool startProgram(const QString &folder, const QString &path, const QString &kezKeys, const QSize &size);

// A benchmark of the whole program: its own folder, offscreen, with the
// database built in it and the program started on that.
class ProgramBench
{
public:
    ProgramBench(int &argc, char **argv, const char *name);
    // Builds the database with build and starts the program (see
    // startProgram); false, with the reason told, when either fails.
    bool start(const std::function<bool(const QString &path)> &build, const QString &kezKeys, const QSize &size);
    // Tells why the benchmark stops; the exit code.
    int fail(const char *reason) const;

    // In this order: the folder, made offscreen before the application.
    QTemporaryDir dir;
    const bool offscreen;
    QApplication app;
    const QString folder;
    const QString path;

private:
    const char *m_name;
};

// Sees the first paint of a widget of the watched class, or of anything
// inside one.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(const char *target) : target(target) {}
    bool painted = false;
    const char *target;
    // Lets the events run until the paint, two seconds at the most.
    void wait();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// From the side-bar click on code to the sheet's first paint (or, with no
// watch, to the end of the events it queued), in milliseconds.
double openSheet(int code, PaintWatch *watch);

// One click of a navigator button: the time of the move into moves and of
// the move with its repaint into painted.
void timeMove(tbButton *button, PaintWatch &watch, std::vector<double> &moves, std::vector<double> &painted);

} // namespace BenchSupport
