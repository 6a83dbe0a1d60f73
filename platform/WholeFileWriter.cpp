#include "WholeFileWriter.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DiskSeam.h"
#include "FileErrors.h"

namespace {

// The longest name a folder takes, on every disk the program meets.
constexpr int NameMax = 255;
// Links followed before a name is taken for a loop.
constexpr int MaxLinks = 40;

// The file a name stands for: its symbolic links followed, to a file that
// may not be there yet.
QString followed(const QString &fileName, int &errnum)
{
    QFileInfo file(fileName);
    for (int links = 0; file.isSymLink(); ++links) {
        if (links == MaxLinks) {
            errnum = ELOOP;
            break;
        }
        file.setFile(file.symLinkTarget());
    }
    return file.absoluteFilePath();
}

// A hidden name of the program's own beside the file, "." + its name +
// suffix: every writer of that name finds it again. A name too long to
// take the suffix is cut, and a digest of the whole name keeps it apart
// from any other name cut the same, so that a name that takes a file takes
// the next one too.
QByteArray besideName(const QByteArray &folder, const QByteArray &name, const char *suffix)
{
    const int room = NameMax - 1 - int(std::strlen(suffix));
    QByteArray beside = name;
    if (beside.size() > room) {
        const QByteArray digest = '~' + QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(12);
        beside.truncate(room - digest.size());
        // Not within a character: a cut one would show as garbage.
        while (!beside.isEmpty() && (uchar(beside.back()) & 0xC0) == 0x80)
            beside.chop(1);
        if (!beside.isEmpty() && uchar(beside.back()) >= 0xC0)
            beside.chop(1);
        beside += digest;
    }
    return folder + "/." + beside + suffix;
}

// Gone, or never there.
bool removed(const QByteArray &name)
{
    return ::unlink(name.constData()) == 0 || errno == ENOENT;
}

bool present(const QByteArray &name, bool &there)
{
    struct stat st;
    there = ::lstat(name.constData(), &st) == 0;
    return there || errno == ENOENT;
}

} // namespace

WholeFileWriter::WholeFileWriter(const QString &fileName)
{
    m_target = followed(fileName, m_errnum);
    const QFileInfo target(m_target);
    m_name = QFile::encodeName(m_target);
    m_folder = QFile::encodeName(target.absolutePath());
    const QByteArray name = QFile::encodeName(target.fileName());
    m_temporary = besideName(m_folder, name, ".nuovo");
    m_asideName = besideName(m_folder, name, ".precedente");
}

WholeFileWriter::~WholeFileWriter()
{
    putBack();
    // A file begun and never named goes.
    if (!m_named && !m_file.fileName().isEmpty())
        m_file.remove();
}

bool WholeFileWriter::step(bool done)
{
    if (!done)
        m_errnum = errno;
    return done;
}

// What the writer of this name left when it was cut off is no file of the
// user's: it goes before a new one is begun.
bool WholeFileWriter::dropTemporary()
{
    errno = 0;
    return step(removed(m_temporary));
}

bool WholeFileWriter::settle(const std::function<std::optional<bool>(const QString &)> &holds)
{
    if (m_errnum != 0 || !dropTemporary())
        return false;
    bool aside = false;
    bool named = false;
    if (!step(present(m_asideName, aside)))
        return false;
    if (!aside)
        return true;
    if (!step(present(m_name, named)))
        return false;
    errno = 0;
    const std::optional<bool> held = named ? holds(m_target) : std::optional<bool>(false);
    if (!held)
        return step(false);
    return step(*held ? removed(m_asideName) : takeBack());
}

// The earlier file takes its name back. Where the name was never taken
// from it, both names are that file: the rename then leaves both, and the
// second one goes.
bool WholeFileWriter::takeBack()
{
    return DiskSeam::rename(m_asideName, m_name) && removed(m_asideName);
}

bool WholeFileWriter::open()
{
    if (m_errnum != 0)
        return false;
    struct stat st;
    const bool earlier = ::stat(m_name.constData(), &st) == 0;
    if (earlier && S_ISDIR(st.st_mode)) {
        m_errnum = EISDIR;
        return false;
    }
    // A file the user made read-only is not replaced behind that.
    errno = 0;
    if (earlier && !step(::faccessat(AT_FDCWD, m_name.constData(), W_OK, AT_EACCESS) == 0))
        return false;
    if (!dropTemporary())
        return false;
    m_file.setFileName(QFile::decodeName(m_temporary));
    errno = 0;
    if (!step(m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly)))
        return false;
    // The new file goes to the same readers as the one it replaces; a disk
    // that keeps no permissions (a FAT stick) refuses this and costs the
    // file nothing.
    if (earlier && ::fchmod(m_file.handle(), st.st_mode & 07777) != 0)
        errno = 0;
    return true;
}

bool WholeFileWriter::write(const QByteArray &bytes)
{
    m_needed += bytes.size();
    errno = 0;
    return step(m_file.write(bytes) == bytes.size());
}

bool WholeFileWriter::commit(Earlier earlier)
{
    // The explicit flush and sync: a disk that fills at the final flush, a
    // failing disk or a network share may say only there that the bytes
    // did not arrive, and a close may say it last.
    errno = 0;
    if (!step(m_file.flush()) || !step(DiskSeam::sync(m_file, m_target)))
        return false;
    m_file.close();
    if (!step(m_file.error() == QFileDevice::NoError))
        return false;
    if (earlier == Earlier::KeptAside && !step(putAside()))
        return false;
    errno = 0;
    m_named = step(DiskSeam::rename(m_temporary, m_name));
    if (m_named && (earlier == Earlier::Replaced || step(DiskSeam::syncFolder(m_folder))))
        return true;
    putBack();
    return false;
}

// An aside copy the disk will not let go costs the export nothing: it
// stays, hidden, beside the file that replaced it, until the next writer
// of that name settles it.
void WholeFileWriter::keep()
{
    if (m_aside == Aside::Linked || m_aside == Aside::Moved)
        removed(m_asideName);
    m_aside = Aside::Nothing;
}

// A second name for the earlier file keeps it while the new one takes its
// name in one step; where links are refused (a FAT stick, some shares) it
// is moved aside instead.
bool WholeFileWriter::putAside()
{
    errno = 0;
    if (DiskSeam::link(m_name, m_asideName))
        m_aside = Aside::Linked;
    else if (errno == ENOENT)
        m_aside = Aside::NoEarlier;
    else if (errno != EEXIST && DiskSeam::rename(m_name, m_asideName))
        m_aside = Aside::Moved;
    return m_aside != Aside::Nothing;
}

// The file committed goes, and the earlier one comes back under its name.
// What the disk refuses here is settled by the next writer of the name.
void WholeFileWriter::putBack()
{
    if (m_aside == Aside::Nothing)
        return;
    if (m_aside != Aside::NoEarlier)
        takeBack();
    else if (m_named)
        removed(m_name);
    m_aside = Aside::Nothing;
    m_named = false;
}

QString WholeFileWriter::failure() const
{
    return FileErrors::reason(m_target, m_file.error(), true, m_errnum, m_needed);
}
