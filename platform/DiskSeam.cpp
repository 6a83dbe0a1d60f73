#include "DiskSeam.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Pending
{
    DiskSeam::Call call = DiskSeam::Call::Sync;
    QString fileName;
    int errnum = 0;
    bool cut = false;
};

QList<Pending> &pending()
{
    static QList<Pending> p;
    return p;
}

// True, with errno set, when a test made this call on this name fail; the
// program ends here when a test cut it off at this call.
bool failing(DiskSeam::Call call, const QString &fileName)
{
    QList<Pending> &all = pending();
    for (qsizetype i = 0; i < all.size(); ++i) {
        const Pending p = all[i];
        if (p.call != call || QFileInfo(p.fileName).absoluteFilePath() != QFileInfo(fileName).absoluteFilePath())
            continue;
        if (p.cut)
            ::_exit(0);
        all.removeAt(i);
        errno = p.errnum;
        return true;
    }
    return false;
}

} // namespace

namespace DiskSeam {

bool sync(QFileDevice &file, const QString &fileName)
{
    if (failing(Call::Sync, fileName))
        return false;
    return ::fsync(file.handle()) == 0;
}

bool readAll(QFile &file, QByteArray &bytes)
{
    if (failing(Call::Read, file.fileName())) {
        bytes.clear();
        return false;
    }
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool link(const QByteArray &file, const QByteArray &newName)
{
    if (failing(Call::Link, QFile::decodeName(file)))
        return false;
    return ::link(file.constData(), newName.constData()) == 0;
}

bool rename(const QByteArray &from, const QByteArray &to)
{
    if (failing(Call::Rename, QFile::decodeName(to)))
        return false;
    return ::rename(from.constData(), to.constData()) == 0;
}

bool syncFolder(const QByteArray &folder)
{
    if (failing(Call::SyncFolder, QFile::decodeName(folder)))
        return false;
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    const int errnum = errno;
    ::close(fd);
    errno = errnum;
    return synced;
}

void failNext(Call call, const QString &fileName, int errnum)
{
    pending().append(Pending{call, fileName, errnum, false});
}

void cutNext(Call call, const QString &fileName)
{
    pending().append(Pending{call, fileName, 0, true});
}

} // namespace DiskSeam
