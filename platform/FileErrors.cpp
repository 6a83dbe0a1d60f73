#include "FileErrors.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

namespace FileErrors {

namespace {

// What the system said when it refused the file. The path is asked only to
// tell a missing file from a missing folder: whatever is missing, the
// system saw it.
QString byNumber(int errnum, bool writing, const QFileInfo &folder)
{
    switch (errnum) {
    case EACCES:
    case EPERM:
        return QStringLiteral("permesso negato.");
    case ENOENT:
        if (!writing && folder.isDir())
            return QStringLiteral("file inesistente.");
        return QStringLiteral("cartella inesistente.");
    case ENOTDIR:
        return QStringLiteral("cartella inesistente.");
    case EISDIR:
        return QStringLiteral("il nome indica una cartella, non un file.");
    case EROFS:
        return QStringLiteral("file system di sola lettura.");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("spazio su disco esaurito.");
    case EFBIG:
        return QStringLiteral("dimensione massima dei file superata.");
    case ENAMETOOLONG:
        return QStringLiteral("nome del file troppo lungo.");
    case EIO:
        return QStringLiteral("errore di input/output del disco.");
    default:
        return QString();
    }
}

} // namespace

QString reason(const QFileDevice &file, bool writing, int errnum, qint64 needed)
{
    return reason(file.fileName(), file.error(), writing, errnum, needed);
}

QString reason(const QString &fileName, QFileDevice::FileError error, bool writing, int errnum, qint64 needed)
{
    const QFileInfo target(fileName);
    const QFileInfo folder(target.absolutePath());
    // The error number decides: the path, read afterwards and as far as the
    // user may look, shows a folder the user may not enter as missing.
    const QString said = byNumber(errnum, writing, folder);
    if (!said.isEmpty())
        return said;
    if (errnum == 0) {
        const QStorageInfo disk(folder.absoluteFilePath());
        // Qt's own refusals carry no number, and a full disk may show only
        // as a write cut short: the device's error and the path tell.
        if (writing && error == QFileDevice::ResourceError)
            return QStringLiteral("spazio su disco esaurito.");
        if (!folder.exists() || !folder.isDir())
            return QStringLiteral("cartella inesistente.");
        if (target.isDir())
            return QStringLiteral("il nome indica una cartella, non un file.");
        if (!writing && !target.exists())
            return QStringLiteral("file inesistente.");
        // A read-only disk shows no space left either: it is named first.
        if (writing && disk.isValid() && disk.isReadOnly())
            return QStringLiteral("file system di sola lettura.");
        if (writing && disk.isValid() && disk.bytesAvailable() < needed)
            return QStringLiteral("spazio su disco esaurito.");
        // A file is written beside its name and renamed into place: the
        // folder is what must let the user write.
        if (!(writing ? folder.isWritable() : target.isReadable()))
            return QStringLiteral("permesso negato.");
    }
    return writing ? QStringLiteral("errore nella scrittura del file.")
                   : QStringLiteral("errore nella lettura del file.");
}

} // namespace FileErrors
