#include "WholeFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

namespace WholeFile {

bool write(const QString &fileName, const QByteArray &bytes, QString *failure)
{
    // The explicit flush: commit alone puts an empty file in place, and
    // says it did well, when the disk fills at the final flush.
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit())
        return true;
    if (failure) {
        // A full disk shows as a write cut short with no error of its own,
        // which Qt's text would call unknown.
        const QStorageInfo disk(QFileInfo(fileName).absolutePath());
        if (file.error() == QFileDevice::ResourceError || (disk.isValid() && disk.bytesAvailable() < bytes.size()))
            *failure = QStringLiteral("spazio su disco esaurito.");
        else
            *failure = file.errorString();
    }
    return false;
}

} // namespace WholeFile
