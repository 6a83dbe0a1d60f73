#include "WholeFileWriter.h"

#include <cerrno>

#include "DiskSeam.h"
#include "FileErrors.h"

WholeFileWriter::WholeFileWriter(const QString &fileName) : m_file(fileName) {}

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

bool WholeFileWriter::commit()
{
    // The explicit flush: commit alone puts an empty file in place, and
    // says it did well, when the disk fills at the final flush. So does the
    // sync: commit ignores its own, and a failing disk or a network share
    // may say only there that the bytes did not arrive.
    errno = 0;
    return step(m_file.flush()) && step(DiskSeam::sync(m_file)) && step(m_file.commit());
}

QString WholeFileWriter::failure() const
{
    return FileErrors::reason(m_file, true, m_errnum, m_needed);
}
