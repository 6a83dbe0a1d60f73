#include "WholeFileWriter.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

#include "DiskSeam.h"
#include "FileErrors.h"

namespace {

// A hidden name beside the file that the earlier one may be kept under:
// the n-th one tried.
QByteArray asideName(const QString &fileName, int n)
{
    const QFileInfo file(fileName);
    QString name = file.absolutePath() + QStringLiteral("/.") + file.fileName() + QStringLiteral(".precedente");
    if (n > 1)
        name += QLatin1Char('-') + QString::number(n);
    return QFile::encodeName(name);
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

// An aside copy the disk will not let go costs the export nothing: it
// stays, hidden, beside the file that replaced it.
void WholeFileWriter::keep()
{
    if (m_aside == Aside::Linked || m_aside == Aside::Moved)
        ::unlink(m_asideName.constData());
    m_aside = Aside::Nothing;
}

// A second name for the earlier file keeps it while the new one takes its
// name in one step; where links are refused (a FAT stick, some shares) it
// is moved aside instead. A copy left there by a run that was cut off keeps
// its name, since it may be the only one of an earlier file: the next free
// name is taken.
bool WholeFileWriter::putAside()
{
    constexpr int Names = 100;
    const QByteArray name = QFile::encodeName(m_file.fileName());
    for (int n = 1; n <= Names && m_aside == Aside::Nothing; ++n) {
        m_asideName = asideName(m_file.fileName(), n);
        struct stat taken;
        if (::lstat(m_asideName.constData(), &taken) == 0)
            continue;
        errno = 0;
        if (::link(name.constData(), m_asideName.constData()) == 0)
            m_aside = Aside::Linked;
        else if (errno == ENOENT)
            m_aside = Aside::NoEarlier;
        else if (errno != EEXIST && ::rename(name.constData(), m_asideName.constData()) == 0)
            m_aside = Aside::Moved;
        else if (errno != EEXIST)
            break;
    }
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
    if (m_aside == Aside::NoEarlier)
        ::unlink(name.constData());
    else if (::rename(m_asideName.constData(), name.constData()) == 0)
        ::unlink(m_asideName.constData());
    m_aside = Aside::Nothing;
}

QString WholeFileWriter::failure() const
{
    return FileErrors::reason(m_file, true, m_errnum, m_needed);
}
