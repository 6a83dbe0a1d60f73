#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include "Connection.h"
#include "Currency.h"
#include "Recordset.h"

// The program opens a year's database and runs its statements through one
// connection; a wrong file must be refused at open, not at the first query.
class tst_Connection : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString newDatabase(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        if (!Connection::createDatabase(path))
            return QString();
        Connection cn;
        if (!cn.open(path)
            || !cn.execute(QStringLiteral("CREATE TABLE Ditte (dtID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                          "ragSoc TEXT COLLATE KEZ, prvIstat INTEGER, attivo YESNO, "
                                          "qta CURRENCY, dataIns DATE, ora DATETIME, peso REAL)")))
            return QString();
        return path;
    }

private Q_SLOTS:
    void refusesWhatIsNotADatabase_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("create");
        QTest::addColumn<QString>("says");
        const QString notADatabase = QStringLiteral("non è un database riconosciuto.");
        QTest::newRow("missing file") << QByteArray() << false
                                      << QStringLiteral("Impossibile trovare il file '");
        QTest::newRow("empty file") << QByteArray() << true << notADatabase;
        QTest::newRow("text file") << QByteArray("[Kez]\r\nSa1ID=3\r\n") << true << notADatabase;
        QTest::newRow("long text file") << QByteArray(8192, 'x') << true << notADatabase;
    }

    void refusesWhatIsNotADatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, create);
        QFETCH(QString, says);
        const QString path = m_dir.filePath(QStringLiteral("wrong_%1.db").arg(QTest::currentDataTag()));
        if (create) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        ErrInfo::clear();
        Connection cn;
        QVERIFY(!cn.open(path));
        QVERIFY(!cn.isOpen());
        QCOMPARE(cn.State(), int(Connection::adStateClosed));
        QVERIFY(cn.lastError().Number != 0);
        // The error box tells the user, in Italian, what is wrong with which file.
        QVERIFY2(cn.lastError().Description.contains(says), qPrintable(cn.lastError().Description));
        QVERIFY(cn.lastError().Description.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(ErrInfo::current().Number, cn.lastError().Number);
        QCOMPARE(ErrInfo::current().Source, QStringLiteral("Kez.Connection"));
        // Opening must never leave a file behind or change the one there.
        QCOMPARE(QFile::exists(path), create);
        if (create) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), content);
        }
    }

    void opensACreatedDatabase()
    {
        const QString path = newDatabase(QStringLiteral("new.db"));
        QVERIFY(!path.isEmpty());
        QVERIFY(!Connection::createDatabase(path));
        Connection cn;
        QVERIFY(cn.open(path));
        QCOMPARE(cn.State(), int(Connection::adStateOpen));
        QCOMPARE(cn.path(), path);
    }

    void refusesAFileThatCannotBeWritten()
    {
        const QString path = newDatabase(QStringLiteral("readonly.db"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (QFileInfo(path).isWritable())
            QSKIP("the user running the tests may write any file");
        Connection cn;
        QVERIFY(!cn.open(path));
        QCOMPARE(cn.lastError().Number, int(SQLITE_READONLY));
        QVERIFY(!cn.isOpen());
    }

    void failingStatementKeepsNumberAndDescription_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("words");
        QTest::newRow("missing table") << QStringLiteral("SELECT * FROM Nessuna") << int(SQLITE_ERROR)
                                       << QStringLiteral("no such table");
        QTest::newRow("syntax") << QStringLiteral("SELEC 1") << int(SQLITE_ERROR) << QStringLiteral("syntax error");
        QTest::newRow("duplicate key") << QStringLiteral("INSERT INTO Ditte (dtID) VALUES (1)")
                                       << int(SQLITE_CONSTRAINT_PRIMARYKEY) << QStringLiteral("UNIQUE");
        QTest::newRow("file moved away, a copy put in its place") << QStringLiteral("DELETE FROM Ditte")
            << int(SQLITE_READONLY_DBMOVED) << QStringLiteral("spostato, sostituito o eliminato da un altro programma");
    }

    void failingStatementKeepsNumberAndDescription()
    {
        QFETCH(QString, sql);
        QFETCH(int, number);
        QFETCH(QString, words);
        const QString path = newDatabase(QStringLiteral("err_%1.db").arg(QTest::currentDataTag()));
        Connection cn;
        QVERIFY(cn.open(path));
        QVERIFY(cn.execute(QStringLiteral("INSERT INTO Ditte (dtID, ragSoc) VALUES (1, ?)"), {QStringLiteral("A")}));
        ErrInfo::clear();
        QVERIFY(number != SQLITE_READONLY_DBMOVED || (QFile::rename(path, path + "~") && QFile::copy(path + "~", path)));
        QVERIFY(!cn.execute(sql));
        QCOMPARE(cn.lastError().Number, number);
        QVERIFY2(cn.lastError().Description.contains(words), qPrintable(cn.lastError().Description));
        QCOMPARE(ErrInfo::current().Number, number);
        QCOMPARE(ErrInfo::current().Description, cn.lastError().Description);
        QCOMPARE(ErrInfo::current().Source, QStringLiteral("Kez.Connection"));
        QVERIFY(cn.execute(QStringLiteral("SELECT 1")));
        QCOMPARE(cn.lastError().Number, 0);
    }

    // Every value goes in as a parameter: an apostrophe is just a letter.
    void parametersKeepEveryType()
    {
        const QString path = newDatabase(QStringLiteral("params.db"));
        Connection cn;
        QVERIFY(cn.open(path));
        int rows = 0;
        QVERIFY(cn.execute(QStringLiteral("INSERT INTO Ditte (ragSoc, prvIstat, attivo, qta, dataIns, ora, peso) "
                                          "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                           {QStringLiteral("D'ANGELO S.R.L.'); DROP TABLE Ditte; --"), 58, true,
                            Currency::fromString(QStringLiteral("12.3456")).toVariant(), QDate(2022, 2, 28),
                            QDateTime(QDate(2022, 3, 1), QTime(13, 5, 9)), 0.5},
                           &rows));
        QCOMPARE(rows, 1);
        QCOMPARE(cn.lastInsertRowId(), qint64(1));
        sqlite3_stmt *stmt = nullptr;
        QCOMPARE(sqlite3_prepare_v2(cn.handle(), "SELECT ragSoc, prvIstat, attivo, qta, dataIns, ora, peso, "
                                    "typeof(qta) FROM Ditte", -1, &stmt, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
        auto text = [&](int c) { return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c))); };
        QCOMPARE(text(0), QStringLiteral("D'ANGELO S.R.L.'); DROP TABLE Ditte; --"));
        QCOMPARE(sqlite3_column_int(stmt, 1), 58);
        QCOMPARE(sqlite3_column_int(stmt, 2), -1);
        QCOMPARE(sqlite3_column_int64(stmt, 3), qint64(123456));
        QCOMPARE(text(4), QStringLiteral("2022-02-28"));
        QCOMPARE(text(5), QStringLiteral("2022-03-01T13:05:09"));
        QCOMPARE(sqlite3_column_double(stmt, 6), 0.5);
        QCOMPARE(text(7), QStringLiteral("integer"));
        sqlite3_finalize(stmt);

        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT dtID FROM Ditte WHERE ragSoc LIKE ?"), &cn, Recordset::adLockReadOnly,
                        {QStringLiteral("d'angelo%")}));
        QCOMPARE(rs.RecordCount(), 1);
    }

    // A value too few or too many never runs the statement with a guess.
    void wrongNumberOfValuesIsRefused_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("params");
        QTest::newRow("one missing") << QStringLiteral("INSERT INTO Ditte (ragSoc, prvIstat) VALUES (?, ?)")
                                     << QVariantList({QStringLiteral("A")});
        QTest::newRow("one too many") << QStringLiteral("INSERT INTO Ditte (ragSoc) VALUES (?)")
                                      << QVariantList({QStringLiteral("A"), 1});
        QTest::newRow("second statement short") << QStringLiteral("INSERT INTO Ditte (ragSoc) VALUES (?); "
                                                                  "INSERT INTO Ditte (ragSoc) VALUES (?)")
                                                << QVariantList({QStringLiteral("A")});
    }

    void wrongNumberOfValuesIsRefused()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, params);
        const QString path = newDatabase(QStringLiteral("count_%1.db").arg(QTest::currentDataTag()));
        Connection cn;
        QVERIFY(cn.open(path));
        QVERIFY(cn.beginTransaction());
        QVERIFY(!cn.execute(sql, params));
        QCOMPARE(cn.lastError().Number, int(SQLITE_RANGE));
        QVERIFY(cn.rollback());
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT count(*) FROM Ditte"), &cn));
        QCOMPARE(rs.value(0), QVariant(0));
        QVERIFY(!rs.open(QStringLiteral("SELECT * FROM Ditte WHERE dtID = ?"), &cn));
        QCOMPARE(rs.lastError().Number, int(SQLITE_RANGE));
    }

    void transactionsNestAndRollBack()
    {
        const QString path = newDatabase(QStringLiteral("tx.db"));
        Connection cn;
        QVERIFY(cn.open(path));
        QVERIFY(!cn.inTransaction());
        QVERIFY(cn.beginTransaction());
        QVERIFY(cn.execute(QStringLiteral("INSERT INTO Ditte (ragSoc) VALUES ('uno')")));
        QVERIFY(cn.beginTransaction());
        QVERIFY(cn.execute(QStringLiteral("INSERT INTO Ditte (ragSoc) VALUES ('due')")));
        QVERIFY(cn.rollback());
        QVERIFY(cn.inTransaction());
        QVERIFY(cn.commit());
        QVERIFY(!cn.inTransaction());
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT ragSoc FROM Ditte"), &cn));
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.value(QStringLiteral("RAGSOC")).toString(), QStringLiteral("uno"));

        QVERIFY(cn.beginTransaction());
        QVERIFY(cn.execute(QStringLiteral("DELETE FROM Ditte")));
        QVERIFY(cn.rollback());
        QVERIFY(rs.Requery());
        QCOMPARE(rs.RecordCount(), 1);
    }

    void closedConnectionRefusesWork()
    {
        Connection cn;
        QVERIFY(!cn.execute(QStringLiteral("SELECT 1")));
        QCOMPARE(cn.lastError().Number, 3704);
        Recordset rs;
        QVERIFY(!rs.open(QStringLiteral("SELECT 1"), &cn));
        QVERIFY(rs.eof());
        QCOMPARE(rs.State(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_Connection)
#include "tst_Connection.moc"
