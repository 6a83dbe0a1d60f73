#pragma once

#include <QByteArray>
#include <QString>

class QFile;
class QFileDevice;

// The calls by which a written file reaches the disk and takes its name,
// and the settings file is read back, behind a seam: a test makes the next
// such call on one file fail with a given error number, as a failing disk,
// a network share or a FAT stick fails, or ends the program there, as a
// kill or a power cut does; no real disk of a test does either on demand.
namespace DiskSeam {

// Each call is about one name: the file synced or read, the file a second
// name is made for, the name a rename gives, the folder synced.
enum class Call { Sync, Read, Link, Rename, SyncFolder };

// Puts the bytes written so far to the open file on the disk; fileName is
// the name they are written for. False, with errno set, when the disk did
// not take them.
bool sync(QFileDevice &file, const QString &fileName);
// The rest of the open file into bytes; false, with errno set, when the
// read stopped before the end (bytes then hold what came).
bool readAll(QFile &file, QByteArray &bytes);
// A second name for the file; false, with errno set, when refused.
bool link(const QByteArray &file, const QByteArray &newName);
// The file takes the name to (one in its folder), in one step; false, with
// errno set, when refused.
bool rename(const QByteArray &from, const QByteArray &to);
// Puts the folder's names on the disk, a rename within it included; false,
// with errno set, when the disk did not take them.
bool syncFolder(const QByteArray &folder);

// Tests: the next call of that kind on fileName fails with errnum (each
// call so named, in turn).
void failNext(Call call, const QString &fileName, int errnum);
// Tests: the next call of that kind on fileName ends the program before it
// is made, as a kill would, with exit status 0.
void cutNext(Call call, const QString &fileName);
}
