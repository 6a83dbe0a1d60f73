#include "WholeFileWriter.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <unistd.h>

#include "DiskSeam.h"
#include "FileErrors.h"

namespace {

// The hidden name beside the file that the earlier one is kept under.
QByteArray asideName(const QString &fileName)
{
    const QFileInfo file(fileName);
    return QFile::encodeName(file.absolutePath() + QStringLiteral("/.") + file.fileName()
                             + QStringLiteral(".precedente"));
}

} // namespace

WholeFileWriter::WholeFileWriter(const QString &fileName) : m_file(fileName) {}

WholeFileWriter::~WholeFileWriter()
{
    putBack();
}

bool WholeFileWriter::step(bool done)
{
    if (!done)
        m_errnum = errno;
    return done;
}

bool WholeFileWriter::open()
{
    errno = 0;
    return step(m_file.open(QIODevice::WriteOnly));
}

bool WholeFileWriter::write(const QByteArray &bytes)
{
    m_needed += bytes.size();
    errno = 0;
    return step(m_file.write(bytes) == bytes.size());
}

bool WholeFileWriter::commit(Earlier earlier)
{
    // The explicit flush: commit alone puts an empty file in place, and
    // says it did well, when the disk fills at the final flush. So does the
    // sync: commit ignores its own, and a failing disk or a network share
    // may say only there that the bytes did not arrive.
    errno = 0;
    if (!step(m_file.flush()) || !step(DiskSeam::sync(m_file)))
        return false;
    if (earlier == Earlier::KeptAside && !step(putAside()))
        return false;
    if (step(m_file.commit()))
        return true;
    putBack();
    return false;
}

void WholeFileWriter::keep()
{
    if (m_aside == Aside::Linked || m_aside == Aside::Moved)
        ::unlink(asideName(m_file.fileName()).constData());
    m_aside = Aside::Nothing;
}

// A second name for the earlier file keeps it while the new one takes its
// name in one step; where links are refused (a FAT stick, some shares) it
// is moved aside instead. A copy left there by a run that was cut off goes
// first: its name is needed.
bool WholeFileWriter::putAside()
{
    const QByteArray name = QFile::encodeName(m_file.fileName());
    const QByteArray aside = asideName(m_file.fileName());
    ::unlink(aside.constData());
    errno = 0;
    if (::link(name.constData(), aside.constData()) == 0)
        m_aside = Aside::Linked;
    else if (errno != ENOENT && ::rename(name.constData(), aside.constData()) == 0)
        m_aside = Aside::Moved;
    else if (errno == ENOENT)
        m_aside = Aside::NoEarlier;
    return m_aside != Aside::Nothing;
}

// The file committed goes, and the earlier one comes back under its name.
// Where the new file never took the name, both names are the earlier file:
// the rename then leaves both, and the second one goes.
void WholeFileWriter::putBack()
{
    if (m_aside == Aside::Nothing)
        return;
    const QByteArray name = QFile::encodeName(m_file.fileName());
    const QByteArray aside = asideName(m_file.fileName());
    if (m_aside == Aside::NoEarlier)
        ::unlink(name.constData());
    else if (::rename(aside.constData(), name.constData()) == 0)
        ::unlink(aside.constData());
    m_aside = Aside::Nothing;
}

QString WholeFileWriter::failure() const
{
    return FileErrors::reason(m_file, true, m_errnum, m_needed);
}
