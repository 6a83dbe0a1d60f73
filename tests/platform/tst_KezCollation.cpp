#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "Connection.h"
#include "KezCollation.h"
#include "Recordset.h"

// Names are typed with or without accents and in any case; the database
// finds and sorts them as the same word.
class tst_KezCollation : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    Connection m_cn;

private Q_SLOTS:
    void initTestCase()
    {
        const QString path = m_dir.filePath(QStringLiteral("coll.db"));
        QVERIFY(Connection::createDatabase(path));
        QVERIFY(m_cn.open(path));
        QVERIFY(m_cn.execute(QStringLiteral("CREATE TABLE Comuni (comID INTEGER PRIMARY KEY, "
                                            "ComDesc TEXT COLLATE KEZ UNIQUE)")));
    }

    void compares_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("accent and case") << QStringLiteral("società") << QStringLiteral("SOCIETÀ") << 0;
        QTest::newRow("accent dropped") << QStringLiteral("SOCIETÀ") << QStringLiteral("Societa") << 0;
        QTest::newRow("same start, accent after") << QStringLiteral("società") << QStringLiteral("societa") << 0;
        QTest::newRow("accents differing in the second byte") << QStringLiteral("perchè") << QStringLiteral("perché") << 0;
        QTest::newRow("same start, longer") << QStringLiteral("Società") << QStringLiteral("Società 2") << -1;
        QTest::newRow("same start, number") << QStringLiteral("Società 10") << QStringLiteral("Società 9") << -1;
        QTest::newRow("ascii case") << QStringLiteral("Roma") << QStringLiteral("ROMA") << 0;
        QTest::newRow("apostrophe kept") << QStringLiteral("D'ANGELO") << QStringLiteral("DANGELO") << -1;
        QTest::newRow("cedilla") << QStringLiteral("Façade") << QStringLiteral("FACADE") << 0;
        QTest::newRow("umlaut") << QStringLiteral("Müller") << QStringLiteral("MULLER") << 0;
        QTest::newRow("sharp s") << QStringLiteral("Straße") << QStringLiteral("STRASSE") << 0;
        QTest::newRow("ligature") << QStringLiteral("Cœur") << QStringLiteral("coeur") << 0;
        QTest::newRow("decomposed input") << QStringLiteral("citta\u0300") << QStringLiteral("Città") << 0;
        QTest::newRow("accent sorts as its letter") << QStringLiteral("Forlì") << QStringLiteral("Forlo") << -1;
        QTest::newRow("accented before next letter") << QStringLiteral("È") << QStringLiteral("f") << -1;
        QTest::newRow("prefix first") << QStringLiteral("San") << QStringLiteral("SANT'ANGELO") << -1;
        QTest::newRow("empty") << QString() << QStringLiteral("a") << -1;
        QTest::newRow("digits before letters") << QStringLiteral("10") << QStringLiteral("A") << -1;
        QTest::newRow("outside the basic plane") << QStringLiteral("a\U0001F600") << QStringLiteral("A\U0001F600") << 0;
    }

    void compares()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        auto signOf = [](int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; };
        QCOMPARE(signOf(KezCollation::compare(a, b)), sign);
        QCOMPARE(signOf(KezCollation::compare(b, a)), -sign);
        QCOMPARE(KezCollation::fold(a) == KezCollation::fold(b), sign == 0);

        // The database agrees with the function, in both directions.
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT (? COLLATE KEZ) < ?, (? COLLATE KEZ) = ?"), &m_cn,
                        Recordset::adLockReadOnly, {a, b, a, b}));
        QCOMPARE(rs.value(0).toInt(), sign < 0 ? 1 : 0);
        QCOMPARE(rs.value(1).toInt(), sign == 0 ? 1 : 0);
    }

    void sortsAndFindsInTables()
    {
        QVERIFY(m_cn.execute(QStringLiteral("DELETE FROM Comuni")));
        const QStringList names = {QStringLiteral("Zola Predosa"), QStringLiteral("forlì"), QStringLiteral("Àglie"),
                                   QStringLiteral("FORLIMPOPOLI"), QStringLiteral("Aglientu"), QStringLiteral("Erbè")};
        for (const QString &n : names)
            QVERIFY(m_cn.execute(QStringLiteral("INSERT INTO Comuni (ComDesc) VALUES (?)"), {n}));
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT ComDesc FROM Comuni ORDER BY ComDesc"), &m_cn));
        QStringList sorted;
        for (; !rs.eof(); rs.MoveNext())
            sorted.append(rs.value(0).toString());
        QCOMPARE(sorted, QStringList({QStringLiteral("Àglie"), QStringLiteral("Aglientu"), QStringLiteral("Erbè"),
                                      QStringLiteral("forlì"), QStringLiteral("FORLIMPOPOLI"),
                                      QStringLiteral("Zola Predosa")}));

        // Equality and the unique index follow the collation too.
        QVERIFY(rs.open(QStringLiteral("SELECT ComDesc FROM Comuni WHERE ComDesc = ?"), &m_cn,
                        Recordset::adLockReadOnly, {QStringLiteral("FORLI")}));
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.value(0).toString(), QStringLiteral("forlì"));
        QVERIFY(!m_cn.execute(QStringLiteral("INSERT INTO Comuni (ComDesc) VALUES (?)"), {QStringLiteral("ERBE")}));
    }

    void likeIgnoresCaseAndAccents_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("prefix without accent") << QStringLiteral("forli%") << QStringList({"forlì", "FORLIMPOPOLI"});
        QTest::newRow("accented upper pattern") << QStringLiteral("ÀGLI%") << QStringList({"Àglie", "Aglientu"});
        QTest::newRow("one character") << QStringLiteral("Erb_") << QStringList({"Erbè"});
        QTest::newRow("inside") << QStringLiteral("%PRED%") << QStringList({"Zola Predosa"});
        QTest::newRow("apostrophe") << QStringLiteral("d'a%") << QStringList();
        QTest::newRow("nothing") << QStringLiteral("x%") << QStringList();
    }

    void likeIgnoresCaseAndAccents()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, found);
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT ComDesc FROM Comuni WHERE ComDesc LIKE ? ORDER BY ComDesc"), &m_cn,
                        Recordset::adLockReadOnly, {pattern}));
        QStringList names;
        for (; !rs.eof(); rs.MoveNext())
            names.append(rs.value(0).toString());
        QCOMPARE(names, found);
    }

    void likeEscapes()
    {
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT 'sconto 10%' LIKE '%10!%' ESCAPE '!', 'sconto 10x' LIKE '%10!%' ESCAPE '!', "
                                       "NULL LIKE 'a', 'aXb' LIKE 'a%%b'"), &m_cn));
        QCOMPARE(rs.value(0), QVariant(1));
        QCOMPARE(rs.value(1), QVariant(0));
        QVERIFY(rs.value(2).isNull());
        QCOMPARE(rs.value(3), QVariant(1));
    }

    // The extension for the sqlite3 program is built from the same source:
    // it must sort, compare and match exactly as the program does.
    void extensionAgreesWithTheProgram()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
            QSKIP("the sqlite3 program is not installed");
        const QStringList names = QStringLiteral("società SOCIETÀ Societa_10 Società_9 perchè perché D'ANGELO "
                                                 "DANGELO Façade Straße STRASSE Cœur citta\u0300 Città Forlì Forlo "
                                                 "È f San SANT'ANGELO 10 a\U0001F600 50%_").split(QLatin1Char(' '));
        const QString path = m_dir.filePath(QStringLiteral("extension.db"));
        {
            Connection cn;
            QVERIFY(Connection::createDatabase(path) && cn.open(path));
            QVERIFY(cn.execute(QStringLiteral("CREATE TABLE Nomi (n TEXT COLLATE KEZ)")));
            for (const QString &name : names)
                QVERIFY(cn.execute(QStringLiteral("INSERT INTO Nomi VALUES (?)"), {name}));
        }
        const QString sql = QStringLiteral(
            "SELECT n FROM Nomi ORDER BY n, rowid; "
            "SELECT a.n, b.n, a.n < b.n, a.n = b.n, a.n LIKE substr(b.n, 1, 3) || '%' "
            "FROM Nomi a, Nomi b ORDER BY a.rowid, b.rowid");
        QProcess cli;
        cli.start(QStringLiteral("sqlite3"), {QStringLiteral("-cmd"),
                                              QStringLiteral(".load " KEZ_BIN_DIR "/kezcollation"), path, sql});
        QVERIFY(cli.waitForFinished(30000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        const QStringList fromTool = QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'),
                                                                                          Qt::SkipEmptyParts);
        QStringList fromProgram;
        Connection cn;
        QVERIFY(cn.open(path));
        for (const QString &one : sql.split(QLatin1Char(';'))) {
            Recordset rs;
            QVERIFY(rs.open(one, &cn));
            for (; !rs.eof(); rs.MoveNext()) {
                QStringList row;
                for (int c = 0; c < rs.fieldCount(); ++c)
                    row << rs.value(c).toString();
                fromProgram << row.join(QLatin1Char('|'));
            }
        }
        QCOMPARE(fromTool.size(), fromProgram.size());
        QCOMPARE(fromTool, fromProgram);
    }
};

QTEST_GUILESS_MAIN(tst_KezCollation)
#include "tst_KezCollation.moc"
