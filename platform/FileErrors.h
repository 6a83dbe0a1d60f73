#pragma once

#include <QFileDevice>
#include <QString>

// Why a file could not be read or written, said in Italian for the user's
// message box: Qt's and the system's own texts are English. The system's
// error number taken at the failure decides; without one, the device's error
// and the state of the path tell.
namespace FileErrors {

// The reason a failed open, read or write of file gave, as a short
// sentence ("permesso negato."). errnum is errno taken right after the
// failing call (0 when not known); needed is how many bytes a write wanted
// on the disk.
QString reason(const QFileDevice &file, bool writing, int errnum = 0, qint64 needed = 0);
// The same for a file written under another name first: fileName is the
// name it was written for, error what the device said.
QString reason(const QString &fileName, QFileDevice::FileError error, bool writing, int errnum = 0,
               qint64 needed = 0);

} // namespace FileErrors
