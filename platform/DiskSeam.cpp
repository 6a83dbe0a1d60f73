#include "DiskSeam.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <unistd.h>

namespace {

struct Failure
{
    DiskSeam::Call call = DiskSeam::Call::Sync;
    QString fileName;
    int errnum = 0;
};

Failure &pending()
{
    static Failure f;
    return f;
}

// True, with errno set, when a test made this call on this file fail.
bool failing(DiskSeam::Call call, const QFileDevice &file)
{
    Failure &f = pending();
    if (f.errnum == 0 || f.call != call
        || QFileInfo(f.fileName).absoluteFilePath() != QFileInfo(file.fileName()).absoluteFilePath())
        return false;
    errno = f.errnum;
    f = Failure();
    return true;
}

} // namespace

namespace DiskSeam {

bool sync(QFileDevice &file)
{
    if (failing(Call::Sync, file))
        return false;
    return ::fsync(file.handle()) == 0;
}

bool readAll(QFile &file, QByteArray &bytes)
{
    if (failing(Call::Read, file)) {
        bytes.clear();
        return false;
    }
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

void failNext(Call call, const QString &fileName, int errnum)
{
    pending() = Failure{call, fileName, errnum};
}

} // namespace DiskSeam
