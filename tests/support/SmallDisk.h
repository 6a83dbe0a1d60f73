#pragma once

#include <QFile>
#include <QString>

#include <sys/mount.h>

// A small file system of the test's own (tmpfs), mounted on a folder for
// as long as this lives: a disk that fills up, or one that is read-only.
// Mounting takes root; where it fails ok() is false and the test skips.
class SmallDisk
{
public:
    SmallDisk(const QString &folder, bool readOnly, const char *size = "size=64k")
        : m_path(QFile::encodeName(folder)),
          m_ok(::mount("tmpfs", m_path.constData(), "tmpfs", readOnly ? MS_RDONLY : 0, size) == 0)
    {
    }
    ~SmallDisk() { unmount(); }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool ok() const { return m_ok; }
    // The folder shows what it held before again.
    void unmount()
    {
        if (m_ok)
            ::umount2(m_path.constData(), MNT_DETACH);
        m_ok = false;
    }

private:
    const QByteArray m_path;
    bool m_ok;
};
