#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "ShellFixture.h"
#include "dbClass.h"
#include "kezClass.h"
#include "modMain.h"

using modMain::gDb;
using modMain::gKez;

// The application object on a real folder: constants, file names, the INI
// settings and the current declaration that survives a restart.
class tst_kezClass : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstStartWithoutIni();
    void boxKeyGivesCaption_data();
    void boxKeyGivesCaption();
    void developmentModeOnlyForExactWord_data();
    void developmentModeOnlyForExactWord();
    void fileNames_data();
    void fileNames();
    void longValuesAreReadWhole();
    void integerKeys_data();
    void integerKeys();
    void currentIdsSurviveRestart();
    void endingSecondCopyWritesNothing();
    void unwritableFolderWritesNothing();
    void firstStartFromAReadOnlyInstall_data();
    void firstStartFromAReadOnlyInstall();

private:
    QTemporaryDir m_home;
};

void tst_kezClass::initTestCase()
{
    // Development mode works in the home folder: keep it inside the test.
    qputenv("HOME", m_home.path().toLocal8Bit());
}

void tst_kezClass::firstStartWithoutIni()
{
    ShellFixture fx;
    fx.startGlobals();
    QCOMPARE(gKez->Caption(), QStringLiteral("Kez 2022"));
    QCOMPARE(gKez->Path(), fx.folder());
    QVERIFY(gDb->kezDbFilename.isEmpty());
    QVERIFY(gDb->oldDbFilename.isEmpty());
    QCOMPARE(gKez->Sa1ID, 0);
    QVERIFY(!QFile::exists(fx.iniPath()));

    fx.releaseGlobals(true);
    const QString ini = fx.readIni();
    for (const char *key : {"Sa1ID=0", "RifID=0", "IntID=0", "ConsID=0"})
        QVERIFY2(ini.contains(QLatin1String(key)), key);
    QVERIFY(ini.contains(QLatin1String("[Kez]")));
}

void tst_kezClass::boxKeyGivesCaption_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("caption");
    QTest::newRow("own title") << "[Kez]\nBox=Dichiarazioni 2022\n" << "Dichiarazioni 2022";
    QTest::newRow("present but empty") << "[Kez]\nBox=\n" << "";
    QTest::newRow("case of names ignored") << "[KEZ]\nbox=Altro\n" << "Altro";
    QTest::newRow("other section") << "[PATH]\nBox=No\n" << "Kez 2022";
}

void tst_kezClass::boxKeyGivesCaption()
{
    QFETCH(QString, ini);
    QFETCH(QString, caption);
    ShellFixture fx;
    fx.writeIni(ini);
    kezClass kez(QStringList(), fx.folder());
    kez.setWriteOnRelease(false);
    QCOMPARE(kez.Caption(), caption);
}

void tst_kezClass::developmentModeOnlyForExactWord_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("development");
    QTest::newRow("Sviluppo") << QStringList{"Sviluppo"} << true;
    QTest::newRow("lower case") << QStringList{"sviluppo"} << false;
    QTest::newRow("word and more") << QStringList{"Sviluppo", "x"} << false;
    QTest::newRow("nothing") << QStringList() << false;
}

void tst_kezClass::developmentModeOnlyForExactWord()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, development);
    ShellFixture fx;
    kezClass kez(arguments, fx.folder());
    kez.setWriteOnRelease(false);
    QCOMPARE(kez.Sviluppo, development);
    const QString devFolder = QDir::homePath() + QStringLiteral("/Kez22imb/");
    QCOMPARE(kez.Path(), development ? devFolder : fx.folder());
    if (development)
        QVERIFY(QDir(devFolder).exists());
    QVERIFY(kez.Path().endsWith(QLatin1Char('/')));
}

void tst_kezClass::fileNames_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<bool>("withPath");
    QTest::addColumn<bool>("previous");
    QTest::addColumn<QString>("name");
    QTest::newRow("stem") << "" << false << false << "Kez22imb";
    QTest::newRow("report") << "Err.txt" << true << false << "%1Kez22imbErr.txt";
    QTest::newRow("previous db") << ".db" << true << true << "%1Kez21imb.db";
    QTest::newRow("previous stem") << "" << false << true << "Kez21imb";
}

void tst_kezClass::fileNames()
{
    QFETCH(QString, extension);
    QFETCH(bool, withPath);
    QFETCH(bool, previous);
    QFETCH(QString, name);
    ShellFixture fx;
    kezClass kez(QStringList(), fx.folder());
    kez.setWriteOnRelease(false);
    QCOMPARE(kez.kezName(extension, withPath, previous),
             name.contains(QLatin1String("%1")) ? name.arg(fx.folder()) : name);
    QCOMPARE(kez.AnnoDichiarazione(), 2021);
    QCOMPARE(kez.DataRilascio(), QStringLiteral("04/02/2022"));
}

void tst_kezClass::longValuesAreReadWhole()
{
    // A long database path must not be cut: the file would not be found.
    ShellFixture fx;
    const QString longPath = QStringLiteral("/dati/") + QString(300, QLatin1Char('x'))
        + QStringLiteral("/Kez22imb.db");
    fx.writeIni(QStringLiteral("[PATH]\nkez2021=") + longPath + QLatin1Char('\n'));
    fx.startGlobals();
    QCOMPARE(gKez->getIniFile(QStringLiteral("PATH"), QStringLiteral("kez2021")), longPath);
    QCOMPARE(gDb->kezDbFilename, longPath);
}

void tst_kezClass::integerKeys_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("value");
    QTest::newRow("number") << "Sa1ID=42" << 42;
    QTest::newRow("leading digits") << "Sa1ID=42abc" << 42;
    QTest::newRow("no digits") << "Sa1ID=abc" << 0;
    QTest::newRow("empty") << "Sa1ID=" << 0;
    QTest::newRow("missing") << "Altro=5" << 0;
}

void tst_kezClass::integerKeys()
{
    QFETCH(QString, line);
    QFETCH(int, value);
    ShellFixture fx;
    fx.writeIni(QStringLiteral("[Kez]\n") + line + QLatin1Char('\n'));
    kezClass kez(QStringList(), fx.folder());
    kez.setWriteOnRelease(false);
    QCOMPARE(kez.getIniInt(QStringLiteral("Kez"), QStringLiteral("Sa1ID")), value);
}

void tst_kezClass::currentIdsSurviveRestart()
{
    ShellFixture fx;
    fx.writeIni(QStringLiteral("; impostazioni\n[Kez]\nFiltroRifiuto=xx\n[PATH]\nkez2021=/d/a.db\n"));
    {
        kezClass kez(QStringList(), fx.folder());
        kez.Sa1ID = 12;
        kez.RifID = 3;
        kez.IntID = 4;
        kez.consID = 99;
    }
    kezClass again(QStringList(), fx.folder());
    again.setWriteOnRelease(false);
    QCOMPARE(again.getIniInt(QStringLiteral("Kez"), QStringLiteral("Sa1ID")), 12);
    QCOMPARE(again.getIniInt(QStringLiteral("Kez"), QStringLiteral("RifID")), 3);
    QCOMPARE(again.getIniInt(QStringLiteral("Kez"), QStringLiteral("IntID")), 4);
    QCOMPARE(again.getIniInt(QStringLiteral("Kez"), QStringLiteral("ConsID")), 99);
    // Everything else in the file is kept as it was.
    QCOMPARE(again.getIniFile(QStringLiteral("Kez"), QStringLiteral("FiltroRifiuto")),
             QStringLiteral("xx"));
    QVERIFY(fx.readIni().contains(QLatin1String("; impostazioni")));
    QCOMPARE(again.getIniFile(QStringLiteral("PATH"), QStringLiteral("kez2021")),
             QStringLiteral("/d/a.db"));
}

void tst_kezClass::endingSecondCopyWritesNothing()
{
    ShellFixture fx;
    const QString ini = QStringLiteral("[Kez]\nSa1ID=5\nRifID=0\nIntID=0\nConsID=8\n");
    fx.writeIni(ini);
    {
        kezClass kez(QStringList(), fx.folder());
        kez.setWriteOnRelease(false);
    }
    QCOMPARE(fx.readIni(), ini);
}

void tst_kezClass::unwritableFolderWritesNothing()
{
    ShellFixture fx;
    const QString missing = fx.folder() + QStringLiteral("manca/");
    {
        kezClass kez(QStringList(), missing);
        kez.Sa1ID = 3;
        kez.writeIniFile(QStringLiteral("Kez"), QStringLiteral("Box"), QStringLiteral("x"));
    }
    QVERIFY(!QFile::exists(missing + QStringLiteral("Kez22imb.ini")));
}


void tst_kezClass::firstStartFromAReadOnlyInstall_data()
{
    QTest::addColumn<QString>("userFile");  // already in the user's folder
    QTest::newRow("first start") << QString();
    QTest::newRow("the user's database stays") << QStringLiteral("Kez22imb.db");
    QTest::newRow("the user's INI stays") << QStringLiteral("Kez22imb.ini");
}

// Installed in a folder the user may not write, the program keeps its files
// in the user's folder: on the first start it copies the shipped INI and
// database there, and starts ready on the copy.
void tst_kezClass::firstStartFromAReadOnlyInstall()
{
    QFETCH(QString, userFile);
    QTemporaryDir shipped;
    QTemporaryDir user;
    const QString copy = user.filePath(QStringLiteral("Kez22imb.db"));
    QFile ini(shipped.filePath(QStringLiteral("Kez22imb.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("[PATH]\nkez2021=/opt/kez/Kez22imb.db\n[Kez]\nBox=Kez\n"));
    ini.close();
    QVERIFY(QFile::copy(QStringLiteral(KEZ_BIN_DIR "/Kez22imb.db"), shipped.filePath(QStringLiteral("Kez22imb.db"))));
    for (const QString &name : {QStringLiteral("Kez22imb.db"), QStringLiteral("Kez22imb.ini")})
        QVERIFY(QFile::setPermissions(shipped.filePath(name), QFile::ReadOwner | QFile::ReadOther));
    if (!userFile.isEmpty())
        QVERIFY(QFile::copy(QStringLiteral(KEZ_SOURCE_DIR "/README.md"), user.filePath(userFile)));

    gKez = std::make_unique<kezClass>(QStringList(), user.path());
    gKez->setWriteOnRelease(false);
    QCOMPARE(gKez->installFrom(shipped.path()), userFile != QLatin1String("Kez22imb.ini"));
    QFile kept(user.filePath(userFile));
    QVERIFY(userFile.isEmpty() || (kept.open(QIODevice::ReadOnly) && kept.readAll().startsWith("# Kez")));
    if (userFile.isEmpty()) {
        QCOMPARE(gKez->getIniFile(QStringLiteral("Kez"), QStringLiteral("Box")), QStringLiteral("Kez"));
        // The copies are the user's to write: the program opens and saves.
        gDb = std::make_unique<dbClass>();
        QCOMPARE(gDb->kezDbFilename, copy);
        QVERIFY(gDb->openKezDb());
        QVERIFY(gDb->kezCnn.execute(QStringLiteral("UPDATE Setup SET ragSoc = 'Mia'")));
        gDb.reset();
    }
    gKez.reset();
}

QTEST_MAIN(tst_kezClass)
#include "tst_kezClass.moc"
