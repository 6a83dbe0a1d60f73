#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

#include <optional>

#include "DiskSeam.h"
#include "FileErrors.h"
#include "OrdinaryUser.h"
#include "SmallDisk.h"
#include "WholeFile.h"

// A file the program could not write or read is named with the reason, in
// the user's language; a write leaves nothing half written behind.
class tst_FileErrors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failureIsNamed_data()
    {
        // place: what stands where the file should go; closed: a folder the
        // user may not enter (no search permission).
        QTest::addColumn<QString>("place");
        QTest::addColumn<bool>("writing");
        QTest::addColumn<QString>("reason");
        const QString denied = QStringLiteral("permesso negato.");
        const QString noFolder = QStringLiteral("cartella inesistente.");
        QTest::newRow("folder missing, write") << "missing" << true << noFolder;
        QTest::newRow("folder missing, read") << "missing" << false << noFolder;
        QTest::newRow("file missing, read") << "no file" << false << "file inesistente.";
        QTest::newRow("folder is a file") << "under a file" << true << noFolder;
        QTest::newRow("name of a folder") << "folder" << true << "il nome indica una cartella, non un file.";
        QTest::newRow("read-only folder") << "read-only folder" << true << denied;
        QTest::newRow("unreadable file") << "unreadable" << false << denied;
        QTest::newRow("closed folder, write") << "closed" << true << denied;
        QTest::newRow("closed folder, read") << "closed" << false << denied;
        QTest::newRow("inside a closed folder, write") << "inside closed" << true << denied;
        QTest::newRow("inside a closed folder, read") << "inside closed" << false << denied;
        QTest::newRow("read-only file system") << "read-only disk" << true << "file system di sola lettura.";
        QTest::newRow("full disk") << "full disk" << true << "spazio su disco esaurito.";
        QTest::newRow("disk fails at the sync") << "failing sync" << true << "errore di input/output del disco.";
    }
    void failureIsNamed()
    {
        QFETCH(QString, place);
        QFETCH(bool, writing);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Open to others, so that a user other than root can reach inside.
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7755)));
        const QString inside = dir.path() + QStringLiteral("/dentro");
        const QString folder = place == QLatin1String("inside closed") ? inside + QStringLiteral("/sotto") : inside;
        const QString target = folder + QStringLiteral("/rapporto.txt");
        if (place == QLatin1String("under a file"))
            QVERIFY(WholeFile::write(inside, "testo"));
        else if (place == QLatin1String("folder"))
            // Open to anyone: the name, not a permission, is what fails.
            QVERIFY(QDir().mkpath(target) && QFile::setPermissions(target, QFileDevice::Permissions(0x7777)));
        else if (place != QLatin1String("missing"))
            QVERIFY(QDir().mkpath(folder));
        if (place == QLatin1String("unreadable") || place.contains(QLatin1String("closed")))
            QVERIFY(WholeFile::write(target, "testo"));
        if (place == QLatin1String("unreadable"))
            QVERIFY(QFile::setPermissions(target, QFileDevice::WriteOwner));
        if (place == QLatin1String("failing sync")) {
            QVERIFY(QFile::setPermissions(inside, QFileDevice::Permissions(0x7777)));
            DiskSeam::failNext(DiskSeam::Call::Sync, target, EIO);
        }
        if (place == QLatin1String("read-only folder"))
            QVERIFY(QFile::setPermissions(inside, QFileDevice::Permissions(0x5555)));
        if (place.contains(QLatin1String("closed")))
            QVERIFY(QFile::setPermissions(inside, QFileDevice::Permissions(0x6666)));
        const auto restore = qScopeGuard([&] { QFile::setPermissions(inside, QFileDevice::Permissions(0x7755)); });
        std::optional<SmallDisk> disk;
        if (place.endsWith(QLatin1String("disk")))
            disk.emplace(inside, place == QLatin1String("read-only disk"), "size=64k");
        if (disk && !disk->ok())
            QSKIP("a small file system cannot be mounted here (it takes root)");
        QString failure;
        bool done = false;
        {
            OrdinaryUser user;
            if (!user.ok())
                QSKIP("the test cannot act as an ordinary user here");
            if (writing) {
                // More than the small disk holds.
                done = WholeFile::write(target, QByteArray(256 * 1024, 'x'), &failure);
            } else {
                QFile file(target);
                errno = 0;
                done = file.open(QIODevice::ReadOnly);
                failure = FileErrors::reason(file, false, errno);
            }
        }
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(!done);
        QCOMPARE(failure, reason);
        // No temporary file is left beside the target.
        QVERIFY2(left.isEmpty() || left == QStringList{QStringLiteral("rapporto.txt")}, qPrintable(left.join(',')));
    }
};

QTEST_GUILESS_MAIN(tst_FileErrors)
#include "tst_FileErrors.moc"
