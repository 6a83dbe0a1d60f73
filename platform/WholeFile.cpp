#include "WholeFile.h"

#include "WholeFileWriter.h"

namespace WholeFile {

bool write(const QString &fileName, const QByteArray &bytes, QString *failure)
{
    WholeFileWriter file(fileName);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (failure)
        *failure = file.failure();
    return false;
}

} // namespace WholeFile
