#include "FileErrors.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

namespace FileErrors {

QString reason(const QFileDevice &file, bool writing, int errnum, qint64 needed)
{
    const QFileInfo target(file.fileName());
    const QFileInfo folder(target.absolutePath());
    const QStorageInfo disk(folder.absoluteFilePath());
    // The path tells more than an error number that a later call may have
    // changed: it is asked first.
    if (!folder.exists() || !folder.isDir() || errnum == ENOTDIR)
        return QStringLiteral("cartella inesistente.");
    if (target.isDir() || errnum == EISDIR)
        return QStringLiteral("il nome indica una cartella, non un file.");
    if (!writing && (!target.exists() || errnum == ENOENT))
        return QStringLiteral("file inesistente.");
    // A read-only disk shows no space left either: it is named first.
    if (writing && ((disk.isValid() && disk.isReadOnly()) || errnum == EROFS))
        return QStringLiteral("file system di sola lettura.");
    // A full disk shows as a write cut short with no error of its own.
    if (errnum == ENOSPC || errnum == EDQUOT || file.error() == QFileDevice::ResourceError
        || (writing && disk.isValid() && disk.bytesAvailable() < needed))
        return QStringLiteral("spazio su disco esaurito.");
    // A file is written beside its name and renamed into place: the
    // folder is what must let the user write.
    const bool allowed = writing ? folder.isWritable() : target.isReadable();
    if (!allowed || errnum == EACCES || errnum == EPERM)
        return QStringLiteral("permesso negato.");
    if (errnum == ENAMETOOLONG)
        return QStringLiteral("nome del file troppo lungo.");
    if (errnum == ENOENT)
        return QStringLiteral("cartella inesistente.");
    return writing ? QStringLiteral("errore nella scrittura del file.")
                   : QStringLiteral("errore nella lettura del file.");
}

} // namespace FileErrors
