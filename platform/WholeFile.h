#pragma once

#include <QByteArray>
#include <QString>

// Writes a file so that it is either whole under its name or not there at
// all: the bytes go to a file beside it, every write, the final flush and
// the sync to the disk are checked, and only then is it renamed into place.
// Used for every file the program hands to the user or reads back (INI,
// reports, exports, prints); a full disk is named as such.
namespace WholeFile {

// False when the file could not be written whole; failure (if given) then
// holds the reason in Italian (see FileErrors).
bool write(const QString &fileName, const QByteArray &bytes, QString *failure = nullptr);

} // namespace WholeFile
