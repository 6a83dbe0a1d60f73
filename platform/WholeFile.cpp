#include "WholeFile.h"

#include <QSaveFile>

#include <cerrno>

#include "FileErrors.h"

namespace WholeFile {

bool write(const QString &fileName, const QByteArray &bytes, QString *failure)
{
    QSaveFile file(fileName);
    // The system's error number is kept from the step that failed, before
    // anything else can change it.
    int errnum = 0;
    auto step = [&errnum](bool done) {
        if (!done)
            errnum = errno;
        return done;
    };
    errno = 0;
    // The explicit flush: commit alone puts an empty file in place, and
    // says it did well, when the disk fills at the final flush.
    if (step(file.open(QIODevice::WriteOnly)) && step(file.write(bytes) == bytes.size()) && step(file.flush())
        && step(file.commit()))
        return true;
    if (failure)
        *failure = FileErrors::reason(file, true, errnum, bytes.size());
    return false;
}

} // namespace WholeFile
