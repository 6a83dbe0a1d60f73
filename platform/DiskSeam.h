#pragma once

#include <QByteArray>
#include <QString>

class QFile;
class QFileDevice;

// The calls by which a written file reaches the disk and the settings file
// is read back, behind a seam: a test makes the next such call on one file
// fail with a given error number, as a failing disk or a network share
// fails, which no real disk of a test does on demand.
namespace DiskSeam {

enum class Call { Sync, Read };

// Puts the bytes written so far to the open file on the disk; false, with
// errno set, when the disk did not take them.
bool sync(QFileDevice &file);
// The rest of the open file into bytes; false, with errno set, when the
// read stopped before the end (bytes then hold what came).
bool readAll(QFile &file, QByteArray &bytes);

// Tests: the next call of that kind on fileName fails with errnum.
void failNext(Call call, const QString &fileName, int errnum);
}
