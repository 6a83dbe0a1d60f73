#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

#include <sys/mount.h>
#include <unistd.h>

#include "FileErrors.h"
#include "WholeFile.h"

// A file the program could not write or read is named with the reason, in
// the user's language; a write leaves nothing half written behind.
class tst_FileErrors : public QObject
{
    Q_OBJECT

    // Root writes where a user may not: the write runs as nobody instead,
    // for as long as this lives.
    struct AsUser
    {
        bool ok = geteuid() != 0 || seteuid(65534) == 0;
        ~AsUser()
        {
            if (geteuid() != getuid() && seteuid(getuid()) != 0)
                qFatal("cannot return to the test's own user");
        }
    };

private Q_SLOTS:
    void failureIsNamed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder missing") << "missing" << "cartella inesistente.";
        QTest::newRow("folder is a file") << "under a file" << "cartella inesistente.";
        QTest::newRow("name of a folder") << "folder" << "il nome indica una cartella, non un file.";
        QTest::newRow("read-only folder") << "read-only folder" << "permesso negato.";
        QTest::newRow("read-only file system") << "read-only disk" << "file system di sola lettura.";
        QTest::newRow("unreadable file") << "unreadable" << "permesso negato.";
    }
    void failureIsNamed()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Open to others, so that a user other than root can reach inside.
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7755)));
        const QString inside = dir.path() + QStringLiteral("/dentro");
        const QString target = inside + QStringLiteral("/rapporto.txt");
        bool mounted = false;
        if (kind == QLatin1String("under a file")) {
            QVERIFY(WholeFile::write(inside, "testo"));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(target));
        } else if (kind != QLatin1String("missing")) {
            QVERIFY(QDir().mkpath(inside));
        }
        if (kind == QLatin1String("unreadable")) {
            QVERIFY(WholeFile::write(target, "testo"));
            QVERIFY(QFile::setPermissions(target, QFileDevice::WriteOwner));
        }
        if (kind == QLatin1String("read-only folder"))
            QVERIFY(QFile::setPermissions(inside, QFileDevice::Permissions(0x5555)));
        if (kind == QLatin1String("read-only disk")) {
            mounted = ::mount("tmpfs", QFile::encodeName(inside).constData(), "tmpfs", MS_RDONLY, "size=64k") == 0;
            if (!mounted)
                QSKIP("a read-only file system cannot be mounted here (it takes root)");
        }
        QString failure;
        bool done = false;
        {
            AsUser user;
            if (!user.ok) {
                if (mounted)
                    ::umount2(QFile::encodeName(inside).constData(), MNT_DETACH);
                QSKIP("the test cannot act as an ordinary user here");
            }
            if (kind == QLatin1String("unreadable")) {
                QFile file(target);
                errno = 0;
                done = file.open(QIODevice::ReadOnly);
                failure = FileErrors::reason(file, false, errno);
            } else {
                done = WholeFile::write(target, "nuovo testo", &failure);
            }
        }
        const QStringList left = QDir(inside).entryList(QDir::Files | QDir::Hidden);
        if (mounted)
            ::umount2(QFile::encodeName(inside).constData(), MNT_DETACH);
        QFile::setPermissions(inside, QFileDevice::Permissions(0x7755));
        QVERIFY(!done);
        QCOMPARE(failure, reason);
        // No temporary file is left beside the target.
        QVERIFY2(left.isEmpty() || left == QStringList{QStringLiteral("rapporto.txt")}, qPrintable(left.join(',')));
    }
};

QTEST_GUILESS_MAIN(tst_FileErrors)
#include "tst_FileErrors.moc"
