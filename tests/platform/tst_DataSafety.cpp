#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>
#include <unistd.h>

#include "Connection.h"
#include "Recordset.h"
#include "TestSupport.h"
#include "Transaction.h"

namespace {

// Another program with the database open: sqlite3 holding a read or a
// write lock until it is told to let go.
class LockHolder
{
public:
    bool hold(const QString &path, const QString &begin)
    {
        m_process.start(QStringLiteral("sqlite3"), {path});
        if (!m_process.waitForStarted())
            return false;
        m_process.write((begin + QStringLiteral("; SELECT count(*) FROM Ditte; SELECT 'pronto';\n")).toUtf8());
        while (!m_process.readAllStandardOutput().contains("pronto"))
            if (!m_process.waitForReadyRead(5000))
                return false;
        return true;
    }
    ~LockHolder()
    {
        m_process.write("ROLLBACK;\n.quit\n");
        m_process.closeWriteChannel();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

QByteArray digest(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

// The check a refused database must pass: nothing open, the read-only
// message, the file as it was.
QString refusedAsReadOnly(const QString &path)
{
    const QByteArray before = digest(path);
    Connection cn;
    if (cn.open(path))
        return QStringLiteral("opened");
    if (cn.lastError().Number != SQLITE_READONLY
        || !cn.lastError().Description.startsWith(QStringLiteral("Il database è di sola lettura: ")))
        return cn.lastError().Description;
    if (digest(path) != before || QFile::exists(path + QStringLiteral("-journal")))
        return QStringLiteral("file changed");
    return QString();
}

} // namespace

// Saves that cannot reach the file must fail where the user sees it, never
// succeed for a while and be lost; files that cannot be saved to must be
// refused at open.
class tst_DataSafety : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString newDatabase(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        Connection cn;
        if (!Connection::createDatabase(path) || !cn.open(path)
            || !cn.execute(QStringLiteral("CREATE TABLE Ditte (dtID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                          "ragSoc TEXT COLLATE KEZ NOT NULL)")))
            return QString();
        return path;
    }

    static bool addCompany(Recordset &rs, const QString &name)
    {
        return rs.AddNew() && rs.setValue(QStringLiteral("ragSoc"), name) && rs.Update();
    }

    static QStringList companies(const QString &path)
    {
        Connection cn;
        Recordset rs;
        QStringList names;
        if (cn.open(path) && rs.open(QStringLiteral("SELECT ragSoc FROM Ditte ORDER BY dtID"), &cn))
            for (; !rs.eof(); rs.MoveNext())
                names << rs.value(0).toString();
        return names;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The wait is what a user would sit through; a test needs only its end.
        Connection::setBusyTimeout(200);
        if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
            QSKIP("the sqlite3 program is not installed");
    }

    void saveWhileAnotherProgramHoldsTheFile_data()
    {
        QTest::addColumn<QString>("begin");
        QTest::addColumn<bool>("nested");
        QTest::newRow("reading, save alone") << QStringLiteral("BEGIN") << false;
        QTest::newRow("reading, save in a routine's transaction") << QStringLiteral("BEGIN") << true;
        QTest::newRow("writing, save alone") << QStringLiteral("BEGIN IMMEDIATE") << false;
        QTest::newRow("writing, save in a routine's transaction") << QStringLiteral("BEGIN IMMEDIATE") << true;
    }

    void saveWhileAnotherProgramHoldsTheFile()
    {
        QFETCH(QString, begin);
        QFETCH(bool, nested);
        const QString path = newDatabase(QStringLiteral("lock_%1.db").arg(QTest::currentDataTag()));
        Connection cn;
        QVERIFY(cn.open(path));
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Ditte"), &cn, Recordset::adLockOptimistic));
        {
            LockHolder other;
            QVERIFY(other.hold(path, begin));
            ErrInfo failure;
            if (nested) {
                // The routine fails at its statement (another writer) or at
                // its commit (a reader that stays).
                Transaction routine(cn);
                QVERIFY(routine.isActive());
                const bool saved = addCompany(rs, QStringLiteral("Prima")) && routine.commit();
                failure = cn.lastError();
                QVERIFY(!saved);
            } else {
                QVERIFY(!addCompany(rs, QStringLiteral("Prima")));
                failure = rs.lastError();
                // The form keeps what the user typed for another try.
                QCOMPARE(rs.editMode(), int(Recordset::adEditAdd));
            }
            QCOMPARE(failure.Number & 0xff, int(SQLITE_BUSY));
            QVERIFY2(failure.Description.contains(QStringLiteral("in uso da un altro programma")),
                     qPrintable(failure.Description));
            QVERIFY(failure.Description.contains(QStringLiteral("Dettaglio: database is locked")));
            QVERIFY(!cn.inTransaction());
            QCOMPARE(cn.transactionDepth(), 0);
        }
        // Once the other program lets go, a save is a save: it is in the
        // file for anyone who opens it, and the failed one is not.
        rs.CancelUpdate();
        QVERIFY(rs.Requery());
        QVERIFY2(addCompany(rs, QStringLiteral("Seconda")), qPrintable(rs.lastError().Description));
        QVERIFY(!cn.inTransaction());
        QCOMPARE(companies(path), QStringList{QStringLiteral("Seconda")});
    }

    void transactionLeftOpenIsRefusedAndEnded()
    {
        const QString path = newDatabase(QStringLiteral("stray.db"));
        Connection cn;
        QVERIFY(cn.open(path));
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Ditte"), &cn, Recordset::adLockOptimistic));
        // A routine that returns without ending its transaction ends it.
        {
            Transaction forgotten(cn);
            QVERIFY(cn.execute(QStringLiteral("INSERT INTO Ditte (ragSoc) VALUES ('Dimenticata')")));
        }
        QVERIFY(!cn.inTransaction());
        // SQL run by hand that leaves one open: the next save says so
        // instead of succeeding inside it.
        QVERIFY(cn.execute(QStringLiteral("BEGIN; INSERT INTO Ditte (ragSoc) VALUES ('A mano')")));
        QVERIFY(!addCompany(rs, QStringLiteral("Prima")));
        QCOMPARE(cn.lastError().Number, int(SQLITE_ABORT));
        QVERIFY(!cn.inTransaction());
        rs.CancelUpdate();
        QVERIFY(addCompany(rs, QStringLiteral("Seconda")));
        // A value the table refuses is told in Italian and ends nothing else.
        QVERIFY(!rs.AddNew() || !rs.Update());
        QCOMPARE(cn.lastError().Number, int(SQLITE_CONSTRAINT_NOTNULL));
        QVERIFY(cn.lastError().Description.startsWith(QStringLiteral("Il dato non è stato accettato")));
        QVERIFY(!cn.inTransaction());
        cn.close();
        QCOMPARE(companies(path), QStringList{QStringLiteral("Seconda")});
    }

    void damagedDatabaseIsRefusedAtOpen()
    {
        const QString path = newDatabase(QStringLiteral("damaged.db"));
        {
            Connection cn;
            QVERIFY(cn.open(path));
            QVERIFY(cn.execute(QStringLiteral("CREATE TABLE Comuni (ComDesc TEXT COLLATE KEZ); "
                                              "INSERT INTO Comuni VALUES ('ROMA')")));
        }
        QVERIFY(TestSupport::damageTable(path, QStringLiteral("Comuni")));
        const QByteArray before = digest(path);
        Connection cn;
        QVERIFY(!cn.open(path));
        QCOMPARE(cn.lastError().Number & 0xff, int(SQLITE_CORRUPT));
        QCOMPARE(cn.lastError().Description,
                 QStringLiteral("Il database '%1' è danneggiato.").arg(QDir::toNativeSeparators(path)));
        QCOMPARE(digest(path), before);
    }

    // A folder the user may not write keeps SQLite from making its journal
    // beside the file: every save would fail. The user running the tests
    // must not be root (root writes anywhere): as root the check runs
    // again as nobody.
    void writableFileInReadOnlyFolderIsRefused()
    {
        const QString given = qEnvironmentVariable("KEZ_READONLY_FOLDER_DB");
        if (!given.isEmpty()) {
            const QString failure = refusedAsReadOnly(given);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            return;
        }
        QTemporaryDir top(QDir::tempPath() + QStringLiteral("/kez-ro-XXXXXX"));
        const QString folder = top.filePath(QStringLiteral("sola lettura"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/Kez22imb.db");
        QVERIFY(Connection::createDatabase(path));
        const auto all = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const auto exec = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(path, all | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(folder, all | exec));
        QVERIFY(QFile::setPermissions(top.path(), all | exec | QFile::WriteOwner));
        if (geteuid() != 0) {
            const QString failure = refusedAsReadOnly(path);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
        } else {
            if (QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty())
                QSKIP("runuser is needed to test as another user than root");
            QProcess asNobody;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("KEZ_READONLY_FOLDER_DB"), path);
            asNobody.setProcessEnvironment(env);
            asNobody.start(QStringLiteral("runuser"),
                           {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                            QCoreApplication::applicationFilePath(),
                            QStringLiteral("writableFileInReadOnlyFolderIsRefused")});
            QVERIFY(asNobody.waitForFinished(60000));
            QVERIFY2(asNobody.exitCode() == 0, asNobody.readAll().constData());
        }
        QVERIFY(QFile::setPermissions(folder, all | exec | QFile::WriteOwner));
    }
};

QTEST_GUILESS_MAIN(tst_DataSafety)
#include "tst_DataSafety.moc"
