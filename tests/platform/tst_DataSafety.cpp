#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>
#include <unistd.h>

#include "Connection.h"
#include "LockHolder.h"
#include "Recordset.h"
#include "Transaction.h"

// Saves that cannot reach the file fail where the user sees them, never
// succeed for a while and get lost at close; a file that cannot be saved
// to is refused at open.
class tst_DataSafety : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    static bool addCompany(Recordset &rs, const QString &name)
    {
        return rs.AddNew() && rs.setValue(QStringLiteral("ragSoc"), name) && rs.Update();
    }

private Q_SLOTS:
    void lockedFileAndForgottenTransactions_data()
    {
        QTest::addColumn<QString>("begin");     // of the other program
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("says");
        QTest::newRow("another program reads") << "BEGIN" << int(SQLITE_BUSY)
                                               << "Le modifiche non sono state salvate.\nIl database è in uso";
        QTest::newRow("another program writes") << "BEGIN IMMEDIATE" << int(SQLITE_BUSY)
                                                << "Il database è in uso da un altro programma.";
        QTest::newRow("SQL left a transaction open") << "" << int(SQLITE_ABORT)
                                                     << "Una transazione rimasta aperta è stata annullata";
    }

    void lockedFileAndForgottenTransactions()
    {
        QFETCH(QString, begin);
        QFETCH(int, number);
        QFETCH(QString, says);
        if (!begin.isEmpty() && !LockHolder::available())
            QSKIP("the sqlite3 program is not installed");
        Connection::setBusyTimeout(200);
        const QString path = m_dir.filePath(QStringLiteral("%1.db").arg(QTest::currentDataTag()));
        Connection cn;
        QVERIFY(Connection::createDatabase(path) && cn.open(path));
        QVERIFY(cn.execute(QStringLiteral("CREATE TABLE Ditte (dtID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                          "ragSoc TEXT COLLATE KEZ NOT NULL)")));
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Ditte"), &cn, Recordset::adLockOptimistic));
        {
            LockHolder other;
            if (begin.isEmpty())
                QVERIFY(cn.execute(QStringLiteral("BEGIN; INSERT INTO Ditte (ragSoc) VALUES ('A mano')")));
            else
                QVERIFY(other.hold(path, begin));
            // A routine of the program saves in a transaction of its own:
            // it is left with nothing open, whatever failed.
            Transaction routine(cn);
            ErrInfo failure = cn.lastError();
            if (routine.isActive()) {
                QVERIFY(!(addCompany(rs, QStringLiteral("Persa")) && routine.commit()));
                failure = routine.isActive() ? rs.lastError() : cn.lastError();
            }
            QCOMPARE(failure.Number & 0xff, number);
            QVERIFY2(failure.Description.startsWith(says), qPrintable(failure.Description));
        }
        QVERIFY(!cn.inTransaction());
        // A value the table refuses is told in Italian, SQLite's text after.
        rs.CancelUpdate();
        QVERIFY(!(rs.AddNew() && rs.Update()));
        QCOMPARE(rs.lastError().Description, QStringLiteral("Il dato non è stato accettato: manca un valore "
                                                            "obbligatorio.\nDettaglio: NOT NULL constraint "
                                                            "failed: Ditte.ragSoc"));
        rs.CancelUpdate();
        // Once free, a save is a save: in the file for anyone who opens it.
        QVERIFY(addCompany(rs, QStringLiteral("Salvata")));
        Connection reader;
        Recordset check;
        QVERIFY(reader.open(path) && check.open(QStringLiteral("SELECT group_concat(ragSoc) FROM Ditte"), &reader));
        QCOMPARE(check.value(0).toString(), QStringLiteral("Salvata"));
    }

    // A full disk makes SQLite undo the whole transaction by itself. The
    // routine that met it ends with nothing stored, a routine around it
    // can store nothing more, and once there is space again the next save
    // works in the same session, however the failed one was written.
    void fullDiskNeverBlocksLaterSaves_data()
    {
        QTest::addColumn<bool>("nested");
        QTest::newRow("a routine inside another") << true;
        QTest::newRow("begun by hand, never ended") << false;
    }

    void fullDiskNeverBlocksLaterSaves()
    {
        QFETCH(bool, nested);
        const QString path = m_dir.filePath(QStringLiteral("full%1.db").arg(nested));
        Connection cn;
        QVERIFY(Connection::createDatabase(path) && cn.open(path));
        QVERIFY(cn.execute(QStringLiteral("CREATE TABLE Note (id INTEGER PRIMARY KEY, testo TEXT)")));
        const QString insert = QStringLiteral("INSERT INTO Note (testo) VALUES (?)");
        // Longer than a page: it needs pages the file cannot grow by.
        const QString big(20000, QLatin1Char('x'));
        QVERIFY(cn.execute(QStringLiteral("PRAGMA max_page_count = 1")));
        if (nested) {
            Transaction outer(cn);
            QVERIFY(cn.execute(insert, {QStringLiteral("prima")}));
            {
                Transaction inner(cn);
                QVERIFY(!cn.execute(insert, {big}));
                QCOMPARE(cn.lastError().Number & 0xff, int(SQLITE_FULL));
                QVERIFY(cn.lastError().Description.startsWith(QStringLiteral("Spazio su disco esaurito.")));
            }
            QVERIFY(!cn.inTransaction());
            // Nothing the outer routine still tries is stored on its own.
            Transaction next(cn);
            QVERIFY(!next.isActive());
            QVERIFY(!cn.execute(insert, {QStringLiteral("dopo")}));
            QVERIFY(!outer.commit());
        } else {
            QVERIFY(cn.beginTransaction());
            QVERIFY(!cn.execute(insert, {big}));
        }
        QVERIFY(!cn.inTransaction());
        QVERIFY(cn.execute(QStringLiteral("PRAGMA max_page_count = 1000000")));
        {
            Transaction routine(cn);
            QVERIFY(routine.isActive() && cn.execute(insert, {QStringLiteral("salvata")}) && routine.commit());
        }
        QCOMPARE(cn.transactionDepth(), 0);
        Connection reader;
        Recordset check;
        QVERIFY(reader.open(path) && check.open(QStringLiteral("SELECT group_concat(testo) FROM Note"), &reader));
        QCOMPARE(check.value(0).toString(), QStringLiteral("salvata"));
    }

    // SQLite cannot make its journal in a folder the user may not write:
    // every save would fail. Root writes anywhere, so as root the check
    // runs again as nobody.
    void writableFileInReadOnlyFolderIsRefused()
    {
        const QString given = qEnvironmentVariable("KEZ_READONLY_FOLDER_DB");
        const QString folder = QDir::tempPath() + QStringLiteral("/kez-ro-%1").arg(getpid());
        const QString path = given.isEmpty() ? folder + QStringLiteral("/Kez22imb.db") : given;
        if (given.isEmpty()) {
            QVERIFY(QDir().mkpath(folder) && Connection::createDatabase(path));
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x6666)));
            QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x5555)));
        }
        const QStringList nobody = {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--")};
        if (given.isEmpty() && geteuid() == 0
            && QProcess::execute(QStringLiteral("runuser"), nobody + QStringList{QStringLiteral("test"), QStringLiteral("-x"),
                                                                                 QCoreApplication::applicationFilePath()}) != 0) {
            QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)) && QDir(folder).removeRecursively());
            QSKIP("this test program cannot run as nobody here (runuser missing or the build folder closed to others)");
        }
        if (given.isEmpty() && geteuid() == 0) {
            QProcess asNobody;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("KEZ_READONLY_FOLDER_DB"), path);
            asNobody.setProcessEnvironment(env);
            asNobody.start(QStringLiteral("runuser"), nobody + QStringList{QCoreApplication::applicationFilePath(),
                                                                           QStringLiteral("writableFileInReadOnlyFolderIsRefused")});
            QVERIFY2(asNobody.waitForFinished(60000) && asNobody.exitCode() == 0, asNobody.readAll().constData());
        } else {
            Connection cn;
            QVERIFY(!cn.open(path));
            QCOMPARE(cn.lastError().Number, int(SQLITE_READONLY));
            QCOMPARE(cn.lastError().Description, QStringLiteral("La cartella del database è di sola lettura:\n%1\n"
                                                                "Per salvare i dati il programma deve poter scrivere nella cartella.")
                                                     .arg(QFileInfo(path).absolutePath()));
            const QString said = cn.lastError().Description, link = QFileInfo(path).absolutePath() + QStringLiteral(".db");
            QVERIFY(QFile::link(path, link) && !cn.open(link) && QFile::remove(link));  // the same file through a link
            QCOMPARE(cn.lastError().Description, said);
        }
        if (given.isEmpty()) {
            QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
            QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)) && QDir(folder).removeRecursively());
        }
    }
};

QTEST_GUILESS_MAIN(tst_DataSafety)
#include "tst_DataSafety.moc"
