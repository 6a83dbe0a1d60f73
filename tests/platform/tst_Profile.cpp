#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>

#include "DiskSeam.h"
#include "Profile.h"

// The settings file behaves as the Windows profile functions did: what a
// user or an older copy of the program wrote by hand must read back the
// same, and what the program writes must leave the rest of the file alone.
class tst_Profile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString fileWith(const QByteArray &content, const QString &name = QStringLiteral("k.ini"))
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
        return path;
    }

    static QByteArray contentOf(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private Q_SLOTS:
    void readsStrings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QString def = QStringLiteral("<default>");
        QTest::newRow("plain") << QByteArray("[Kez]\nBox=Kez 2022\n") << "Kez" << "Box" << "Kez 2022";
        QTest::newRow("section and key without case")
            << QByteArray("[KEZ]\nbOX=Kez 2022\n") << "kez" << "Box" << "Kez 2022";
        QTest::newRow("missing key gives default") << QByteArray("[Kez]\nBox=x\n") << "Kez" << "Sa1ID" << def;
        QTest::newRow("missing section gives default") << QByteArray("[Kez]\nBox=x\n") << "PATH" << "Box" << def;
        QTest::newRow("empty value is empty, not default")
            << QByteArray("[Kez]\nBox=\n") << "Kez" << "Box" << "";
        QTest::newRow("blanks around key and value")
            << QByteArray("[ Kez ]\n  Box  =  Kez 2022  \n") << "Kez" << "Box" << "Kez 2022";
        QTest::newRow("key of another section not seen")
            << QByteArray("[PATH]\nBox=x\n[Kez]\nSa1ID=1\n") << "Kez" << "Box" << def;
        QTest::newRow("first of two equal keys")
            << QByteArray("[Kez]\nBox=uno\nbox=due\n") << "Kez" << "Box" << "uno";
        QTest::newRow("crlf and bom")
            << QByteArray("\xEF\xBB\xBF[PATH]\r\nkez2021=/dati/Kez22imb.db\r\n") << "PATH"
            << "kez2021" << "/dati/Kez22imb.db";
        QTest::newRow("value with equals sign")
            << QByteArray("[Kez]\nBox=a=b\n") << "Kez" << "Box" << "a=b";
        QTest::newRow("quoted value") << QByteArray("[Kez]\nBox=\" Kez \"\n") << "Kez" << "Box" << " Kez ";
        QTest::newRow("comment line is no key")
            << QByteArray("[Kez]\n;Box=x\n") << "Kez" << "Box" << def;
        QTest::newRow("accented utf-8")
            << QByteArray("[Kez]\nBox=Attività più\n") << "Kez" << "Box" << QStringLiteral("Attività più");
        QTest::newRow("legacy latin-1") << QByteArray("[Kez]\nBox=citt\xe0\n") << "Kez" << "Box"
                                        << QStringLiteral("città");
        QTest::newRow("no newline at end") << QByteArray("[Kez]\nBox=x") << "Kez" << "Box" << "x";
        const QByteArray longPath = "/home/utente/" + QByteArray(300, 'a') + "/Kez22imb.db";
        QTest::newRow("long value read whole")
            << QByteArray("[PATH]\nkez2021=" + longPath + "\n") << "PATH" << "kez2021"
            << QString::fromLatin1(longPath);
    }

    void readsStrings()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        Profile ini(fileWith(content));
        const QString got = ini.getString(section, key, QStringLiteral("<default>"));
        QCOMPARE(got, expected);
        QCOMPARE(got.isNull(), false);
        QCOMPARE(ini.hasKey(section, key), expected != QLatin1String("<default>"));
    }

    void missingFileGivesDefaults()
    {
        Profile ini(m_dir.filePath(QStringLiteral("none.ini")));
        QCOMPARE(ini.getString("Kez", "Box", "Kez 2022"), QStringLiteral("Kez 2022"));
        QCOMPARE(ini.getInt("Kez", "Sa1ID"), 0);
        QCOMPARE(ini.getInt("Kez", "Sa1ID", 7), 7);
        QVERIFY(!QFile::exists(ini.fileName()));
    }

    void readsIntegers_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("expected");
        QTest::newRow("digits") << QByteArray("Sa1ID=42") << 42;
        QTest::newRow("leading digits only") << QByteArray("Sa1ID=12abc") << 12;
        QTest::newRow("decimal part dropped") << QByteArray("Sa1ID=3,75") << 3;
        QTest::newRow("negative") << QByteArray("Sa1ID=-5") << -5;
        QTest::newRow("plus sign") << QByteArray("Sa1ID=+8") << 8;
        QTest::newRow("letters first") << QByteArray("Sa1ID=abc12") << 0;
        QTest::newRow("empty value") << QByteArray("Sa1ID=") << 0;
        QTest::newRow("sign alone") << QByteArray("Sa1ID=-") << 0;
        QTest::newRow("blanks around") << QByteArray("Sa1ID =  17 ") << 17;
        QTest::newRow("too large is pinned") << QByteArray("Sa1ID=99999999999") << 2147483647;
        QTest::newRow("missing key gives default") << QByteArray("Other=1") << -1;
    }

    void readsIntegers()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, expected);
        Profile ini(fileWith("[Kez]\n" + line + "\n"));
        QCOMPARE(ini.getInt("kez", "SA1ID", -1), expected);
    }

    void writesKeepingTheRest_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("replace keeps comments and spelling")
            << QByteArray("; impostazioni\n[Kez]\nBox=Kez 2022\n; id corrente\nSA1ID=3\n\n[PATH]\nkez2021=a.db\n")
            << "kez" << "Sa1ID" << "12"
            << QByteArray("; impostazioni\n[Kez]\nBox=Kez 2022\n; id corrente\nSA1ID=12\n\n[PATH]\nkez2021=a.db\n");
        QTest::newRow("new key goes at the end of its section")
            << QByteArray("[Kez]\nBox=x\n\n[PATH]\nkez2021=a.db\n") << "Kez" << "ConsID" << "0"
            << QByteArray("[Kez]\nBox=x\nConsID=0\n\n[PATH]\nkez2021=a.db\n");
        QTest::newRow("new section appended")
            << QByteArray("[Kez]\nBox=x\n") << "PATH" << "kez2020" << ""
            << QByteArray("[Kez]\nBox=x\n\n[PATH]\nkez2020=\n");
        QTest::newRow("crlf and bom kept")
            << QByteArray("\xEF\xBB\xBF[Kez]\r\nBox=x\r\nSa1ID=1\r\n") << "Kez" << "Sa1ID" << "2"
            << QByteArray("\xEF\xBB\xBF[Kez]\r\nBox=x\r\nSa1ID=2\r\n");
        QTest::newRow("line break in value flattened")
            << QByteArray("[Kez]\n") << "Kez" << "Box" << "uno\ndue"
            << QByteArray("[Kez]\nBox=uno due\n");
        QTest::newRow("no newline at end")
            << QByteArray("[Kez]\nBox=x") << "Kez" << "Sa1ID" << "4"
            << QByteArray("[Kez]\nBox=x\nSa1ID=4\n");
        QTest::newRow("accented value written as utf-8")
            << QByteArray("") << "Kez" << "Box" << QStringLiteral("Società")
            << QByteArray("[Kez]\nBox=Societ\xc3\xa0\n");
        // No after: the read of the file fails, and the file stays as it was.
        QTest::newRow("read failed") << QByteArray("[Kez]\nBox=Kez 2022\nSa1ID=3\n\n[PATH]\nkez2021=/dati/k.db\n")
                                     << "Kez" << "Sa1ID" << "7" << QByteArray();
    }

    void writesKeepingTheRest()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        Profile ini(fileWith(before));
        if (after.isNull())
            DiskSeam::failNext(DiskSeam::Call::Read, ini.fileName(), EIO);
        QCOMPARE(ini.writeString(section, key, value), !after.isNull());
        QCOMPARE(contentOf(ini.fileName()), after.isNull() ? before : after);
    }

    void firstWriteCreatesTheFile()
    {
        Profile ini(m_dir.filePath(QStringLiteral("nuovo.ini")));
        QVERIFY(ini.writeString("Kez", "Sa1ID", "0"));
        QVERIFY(ini.writeString("Kez", "RifID", "0"));
        QCOMPARE(contentOf(ini.fileName()), QByteArray("[Kez]\nSa1ID=0\nRifID=0\n"));
        QVERIFY(ini.writeString("Kez", "Box", QString()));
        QCOMPARE(ini.getString("Kez", "Box", "d"), QString(""));
        QVERIFY(ini.hasKey("Kez", "Box"));
    }

    void longValueRoundTrips()
    {
        Profile ini(m_dir.filePath(QStringLiteral("lungo.ini")));
        const QString path = QStringLiteral("/home/utente/") + QString(400, QChar('x')) + "/Kez22imb.db";
        QVERIFY(ini.writeString("PATH", "kez2021", path));
        QCOMPARE(ini.getString("PATH", "kez2021"), path);
    }

    void removesKeys()
    {
        Profile ini(fileWith("[Kez]\nBox=x\nSa1ID=3\n"));
        QVERIFY(ini.removeKey("KEZ", "sa1id"));
        QCOMPARE(contentOf(ini.fileName()), QByteArray("[Kez]\nBox=x\n"));
        QVERIFY(ini.removeKey("Kez", "missing"));
    }

    void unwritableFolderWritesNothing()
    {
        Profile missing(m_dir.filePath(QStringLiteral("non/esiste/k.ini")));
        QVERIFY(!missing.writeString("Kez", "Sa1ID", "1"));
        QVERIFY(!QFile::exists(missing.fileName()));

        QDir(m_dir.path()).mkdir(QStringLiteral("sola"));
        const QString folder = m_dir.filePath(QStringLiteral("sola"));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(folder).isWritable())
            QSKIP("running with rights that ignore folder permissions");
        Profile readOnly(folder + QStringLiteral("/k.ini"));
        QVERIFY(!readOnly.writeString("Kez", "Sa1ID", "1"));
        QCOMPARE(readOnly.getInt("Kez", "Sa1ID", -1), -1);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void readOnlyFileIsLeftAlone()
    {
        const QString path = fileWith("[Kez]\nSa1ID=3\n", QStringLiteral("protetto.ini"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
        if (QFileInfo(path).isWritable())
            QSKIP("running with rights that ignore file permissions");
        Profile ini(path);
        QVERIFY(!ini.writeString("Kez", "Sa1ID", "4"));
        QCOMPARE(ini.getInt("Kez", "Sa1ID"), 3);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    // A disk that fills while the file is written (here a limit on the
    // size of the files this process may write) leaves the old file whole.
    void fullDiskKeepsTheOldFile()
    {
        const QString path = fileWith("[Kez]\nSa1ID=3\n", QStringLiteral("pieno.ini"));
        Profile ini(path);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        limit.rlim_cur = 4096;
        std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        const bool written = ini.writeString("Kez", "Box", QString(8192, QLatin1Char('x')));
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!written);
        QCOMPARE(contentOf(path), QByteArray("[Kez]\nSa1ID=3\n"));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("pieno.ini*")}, QDir::Files),
                 QStringList{QStringLiteral("pieno.ini")});
    }

    void noFileNameIsHarmless()
    {
        Profile ini;
        QCOMPARE(ini.getString("Kez", "Box", "d"), QStringLiteral("d"));
        QVERIFY(!ini.writeString("Kez", "Box", "x"));
    }
};

QTEST_GUILESS_MAIN(tst_Profile)
#include "tst_Profile.moc"
