#include <QTemporaryDir>
#include <QTest>

#include "Connection.h"
#include "Currency.h"
#include "Recordset.h"
#include "Statement.h"

// Sheets read their cards into a static recordset, move through them with
// the navigator, add and change rows and read the AutoNumber back.
class tst_Recordset : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    Connection m_cn;
    int m_count = 0;

    // A fresh database per test with a table of every column type.
    void freshDatabase()
    {
        const QString path = m_dir.filePath(QStringLiteral("rs%1.db").arg(++m_count));
        QVERIFY(Connection::createDatabase(path));
        QVERIFY(m_cn.open(path));
        QVERIFY(m_cn.execute(QStringLiteral(
            "CREATE TABLE Schede (skID INTEGER PRIMARY KEY AUTOINCREMENT, ragSoc TEXT COLLATE KEZ, "
            "anno INTEGER DEFAULT 2022, grande INTEGER, esportata YESNO DEFAULT 0, qta CURRENCY DEFAULT 0, "
            "umi INTEGER DEFAULT 1, dataIns DATE, ora DATETIME, peso REAL, nota TEXT);"
            "CREATE TABLE Righe (skID INTEGER, riga INTEGER, qta CURRENCY, PRIMARY KEY (skID, riga));"
            "CREATE TABLE Libera (x TEXT)")));
    }

    void addRows(int n)
    {
        for (int i = 1; i <= n; ++i)
            QVERIFY(m_cn.execute(QStringLiteral("INSERT INTO Schede (ragSoc, qta) VALUES (?, ?)"),
                                 {QStringLiteral("Ditta %1").arg(i), Currency::fromInt(i).toVariant()}));
    }

private Q_SLOTS:
    void init() { freshDatabase(); }

    void movesAtTheEdges()
    {
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Schede"), &m_cn));
        QVERIFY(rs.eof());
        QVERIFY(rs.bof());
        QCOMPARE(rs.RecordCount(), 0);
        QCOMPARE(rs.AbsolutePosition(), -1);
        QVERIFY(!rs.value(QStringLiteral("ragSoc")).isValid());
        QCOMPARE(rs.lastError().Number, 3021);
        rs.MoveLast();
        QVERIFY(rs.eof() && rs.bof());

        addRows(3);
        QVERIFY(rs.Requery());
        QCOMPARE(rs.RecordCount(), 3);
        QVERIFY(!rs.bof());
        QCOMPARE(rs.AbsolutePosition(), 1);
        rs.MovePrevious();
        QVERIFY(rs.bof());
        QVERIFY(!rs.eof());
        rs.MovePrevious();
        QCOMPARE(rs.lastError().Number, 3021);
        QVERIFY(rs.bof());
        rs.MoveNext();
        QCOMPARE(rs.value(QStringLiteral("RAGSOC")).toString(), QStringLiteral("Ditta 1"));
        rs.MoveLast();
        QCOMPARE(rs.AbsolutePosition(), 3);
        rs.MoveNext();
        QVERIFY(rs.eof());
        QCOMPARE(rs.AbsolutePosition(), -1);
        rs.MoveNext();
        QVERIFY(rs.eof());
        rs.Move(-2);
        QCOMPARE(rs.AbsolutePosition(), 2);
        rs.Move(5);
        QVERIFY(rs.eof());
        rs.setAbsolutePosition(1);
        QCOMPARE(rs.value(0).toInt(), 1);
        rs.setAbsolutePosition(4);
        QCOMPARE(rs.lastError().Number, 3001);
        QCOMPARE(rs.AbsolutePosition(), 1);
    }

    void fieldsByNameWithoutCase()
    {
        addRows(1);
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT skID AS Id, ragSoc, qta * 2 AS doppio FROM Schede"), &m_cn));
        QCOMPARE(rs.fieldNames(), QStringList({"Id", "ragSoc", "doppio"}));
        QVERIFY(rs.hasField(QStringLiteral("ID")));
        QVERIFY(!rs.hasField(QStringLiteral("nessuno")));
        QCOMPARE(rs[QStringLiteral("id")].toInt(), 1);
        QCOMPARE(rs.value(QStringLiteral("Doppio")).toLongLong(), qint64(20000));
        ErrInfo::clear();
        QVERIFY(!rs.value(QStringLiteral("nessuno")).isValid());
        QCOMPARE(rs.lastError().Number, 3265);
        QCOMPARE(ErrInfo::current().Source, QStringLiteral("Kez.Recordset"));
    }

    void everyTypeRoundTrips_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");
        const QVariant cur = Currency::fromString(QStringLiteral("-1234.5678")).toVariant();
        QTest::newRow("text") << "ragSoc" << QVariant(QStringLiteral("D'ANGELO Società")) << QVariant(QStringLiteral("D'ANGELO Società"));
        QTest::newRow("empty text") << "nota" << QVariant(QString("")) << QVariant(QString(""));
        QTest::newRow("null text") << "ragSoc" << QVariant() << QVariant();
        QTest::newRow("integer") << "anno" << QVariant(2021) << QVariant(2021);
        QTest::newRow("integer from text") << "anno" << QVariant(QStringLiteral("2020")) << QVariant(2020);
        QTest::newRow("big integer") << "grande" << QVariant(qint64(1) << 40) << QVariant(qint64(1) << 40);
        QTest::newRow("yes") << "esportata" << QVariant(true) << QVariant(true);
        QTest::newRow("no") << "esportata" << QVariant(false) << QVariant(false);
        QTest::newRow("yes from -1") << "esportata" << QVariant(-1) << QVariant(true);
        QTest::newRow("currency") << "qta" << cur << cur;
        QTest::newRow("currency from double") << "qta" << QVariant(0.1) << Currency::fromRaw(1000).toVariant();
        QTest::newRow("currency from int") << "qta" << QVariant(7) << Currency::fromInt(7).toVariant();
        QTest::newRow("null currency") << "qta" << QVariant() << QVariant();
        QTest::newRow("date") << "dataIns" << QVariant(QDate(2022, 12, 31)) << QVariant(QDate(2022, 12, 31));
        QTest::newRow("datetime") << "ora" << QVariant(QDateTime(QDate(2022, 1, 2), QTime(23, 59, 58)))
                                  << QVariant(QDateTime(QDate(2022, 1, 2), QTime(23, 59, 58)));
        QTest::newRow("real") << "peso" << QVariant(0.125) << QVariant(0.125);
    }

    void everyTypeRoundTrips()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Schede"), &m_cn, Recordset::adLockOptimistic));
        QVERIFY(rs.AddNew());
        QCOMPARE(rs.editMode(), int(Recordset::adEditAdd));
        QVERIFY(rs.setValue(field, value));
        QCOMPARE(rs.value(field), expected);
        QVERIFY2(rs.Update(), qPrintable(rs.lastError().Description));
        QCOMPARE(rs.editMode(), int(Recordset::adEditNone));
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.value(QStringLiteral("skID")), QVariant(1));
        QCOMPARE(rs.value(field), expected);
        QVERIFY(rs.Resync());
        QCOMPARE(rs.value(field), expected);
        QCOMPARE(rs.value(field).metaType(), expected.metaType());

        // Changed again through a plain assignment and Update, as ADO allows.
        Recordset again;
        QVERIFY(again.open(QStringLiteral("SELECT * FROM Schede WHERE skID = ?"), &m_cn,
                           Recordset::adLockOptimistic, {1}));
        QCOMPARE(again.value(field), expected);
        QVERIFY(again.setValue(field, QVariant()));
        QVERIFY(again.Update());
        QVERIFY(rs.Resync());
        QCOMPARE(rs.value(field), QVariant());
    }

    void newRowTakesItsAutoNumberAndDefaults()
    {
        addRows(2);
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Schede ORDER BY skID"), &m_cn, Recordset::adLockOptimistic));
        rs.MoveLast();
        const double before = rs.Bookmark();
        QVERIFY(rs.AddNew());
        QVERIFY(!rs.eof());
        rs.CancelUpdate();
        QCOMPARE(rs.Bookmark(), before);
        QCOMPARE(rs.RecordCount(), 2);

        QVERIFY(rs.AddNew());
        QVERIFY(rs.setValue(QStringLiteral("ragSoc"), QStringLiteral("Nuova")));
        QVERIFY(rs.Update());
        QCOMPARE(rs.RecordCount(), 3);
        QCOMPARE(rs.AbsolutePosition(), 3);
        QCOMPARE(rs.value(QStringLiteral("skID")).toInt(), 3);
        QCOMPARE(rs.value(QStringLiteral("anno")), QVariant(2022));
        QCOMPARE(rs.value(QStringLiteral("umi")), QVariant(1));
        QCOMPARE(rs.value(QStringLiteral("esportata")), QVariant(false));
        QCOMPARE(rs.value(QStringLiteral("qta")), Currency().toVariant());

        // AutoNumber never hands out an id again, also after a delete.
        QVERIFY(rs.Delete());
        QVERIFY(rs.AddNew());
        QVERIFY(rs.Update());
        QCOMPARE(rs.value(QStringLiteral("skID")).toInt(), 4);
    }

    void updateWritesOnlyWhatChanged()
    {
        addRows(1);
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Schede"), &m_cn, Recordset::adLockOptimistic));
        // Someone else changes another column meanwhile: it must survive.
        QVERIFY(m_cn.execute(QStringLiteral("UPDATE Schede SET nota = 'altro'")));
        QVERIFY(rs.setValue(QStringLiteral("ragSoc"), QStringLiteral("Cambiata")));
        QCOMPARE(rs.editMode(), int(Recordset::adEditInProgress));
        rs.MoveNext();      // moving off writes the row
        QVERIFY(rs.eof());
        Recordset check;
        QVERIFY(check.open(QStringLiteral("SELECT ragSoc, nota FROM Schede"), &m_cn));
        QCOMPARE(check.value(0).toString(), QStringLiteral("Cambiata"));
        QCOMPARE(check.value(1).toString(), QStringLiteral("altro"));

        // A row deleted behind the recordset's back is an error, not a silent success.
        rs.MoveFirst();
        QVERIFY(m_cn.execute(QStringLiteral("DELETE FROM Schede")));
        QVERIFY(rs.setValue(QStringLiteral("ragSoc"), QStringLiteral("Persa")));
        QVERIFY(!rs.Update());
        QCOMPARE(rs.lastError().Number, -2147217864);
        rs.CancelUpdate();
        QVERIFY(!rs.Resync());
        QVERIFY(!m_cn.inTransaction());
    }

    void bookmarksSurviveDeletes()
    {
        addRows(5);
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT skID, ragSoc FROM Schede ORDER BY skID"), &m_cn,
                        Recordset::adLockOptimistic));
        QList<double> marks;
        for (rs.MoveFirst(); !rs.eof(); rs.MoveNext())
            marks.append(rs.Bookmark());
        rs.setBookmark(marks.at(1));
        QVERIFY(rs.Delete());
        QVERIFY(!rs.eof());
        QVERIFY(!rs.value(QStringLiteral("skID")).isValid());
        QCOMPARE(rs.RecordCount(), 4);
        rs.MoveNext();
        QCOMPARE(rs.value(QStringLiteral("skID")).toInt(), 3);
        QCOMPARE(rs.AbsolutePosition(), 2);
        rs.setBookmark(marks.at(4));
        QCOMPARE(rs.value(QStringLiteral("skID")).toInt(), 5);
        QCOMPARE(rs.AbsolutePosition(), 4);
        rs.setBookmark(marks.at(1));
        QCOMPARE(rs.lastError().Number, 3001);
        QCOMPARE(rs.value(QStringLiteral("skID")).toInt(), 5);
        rs.setBookmark(marks.at(0));
        QCOMPARE(rs.value(QStringLiteral("skID")).toInt(), 1);

        // Deleting the last row leaves neither BOF nor EOF until a move.
        rs.MoveLast();
        QVERIFY(rs.Delete());
        QVERIFY(!rs.eof());
        rs.MoveNext();
        QVERIFY(rs.eof());
        rs.MovePrevious();
        QCOMPARE(rs.value(QStringLiteral("skID")).toInt(), 4);
        QVERIFY(rs.Delete());
        rs.MovePrevious();
        QCOMPARE(rs.value(QStringLiteral("skID")).toInt(), 3);

        Recordset check;
        QVERIFY(check.open(QStringLiteral("SELECT count(*) FROM Schede"), &m_cn));
        QCOMPARE(check.value(0), QVariant(2));
    }

    void compositeKeys()
    {
        QVERIFY(m_cn.execute(QStringLiteral("INSERT INTO Righe VALUES (1, 1, 10000), (1, 2, 20000), (2, 1, 30000)")));
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Righe WHERE skID = ? ORDER BY riga"), &m_cn,
                        Recordset::adLockOptimistic, {1}));
        QCOMPARE(rs.RecordCount(), 2);
        rs.MoveNext();
        QVERIFY(rs.setValue(QStringLiteral("qta"), Currency::fromString(QStringLiteral("2.5")).toVariant()));
        QVERIFY(rs.Update());
        QVERIFY(rs.AddNew());
        QVERIFY(rs.setValue(QStringLiteral("skID"), 1));
        QVERIFY(rs.setValue(QStringLiteral("riga"), 3));
        QVERIFY(rs.Update());
        QVERIFY(rs.Requery());
        QCOMPARE(rs.RecordCount(), 3);
        QCOMPARE(rs.AbsolutePosition(), 3);
        rs.MovePrevious();
        QCOMPARE(rs.value(QStringLiteral("qta")).value<Currency>().toString(), QStringLiteral("2.5"));
    }

    void refusesWritesItCannotMake_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("lockType");
        QTest::addColumn<bool>("deletes");
        QTest::newRow("read-only") << "SELECT * FROM Schede" << int(Recordset::adLockReadOnly) << false;
        QTest::newRow("join") << "SELECT Schede.skID, Schede.ragSoc, Righe.qta FROM Schede "
                                 "JOIN Righe ON Righe.skID = Schede.skID" << int(Recordset::adLockOptimistic) << false;
        QTest::newRow("no key column") << "SELECT ragSoc FROM Schede" << int(Recordset::adLockOptimistic) << false;
        QTest::newRow("no primary key") << "SELECT x AS ragSoc FROM Libera" << int(Recordset::adLockOptimistic) << false;
        QTest::newRow("expression") << "SELECT skID, upper(ragSoc) AS ragSoc FROM Schede"
                                    << int(Recordset::adLockOptimistic) << true;
    }

    void refusesWritesItCannotMake()
    {
        QFETCH(QString, sql);
        QFETCH(int, lockType);
        QFETCH(bool, deletes);
        addRows(1);
        QVERIFY(m_cn.execute(QStringLiteral("INSERT INTO Righe VALUES (1, 1, 0); INSERT INTO Libera VALUES ('a')")));
        Recordset rs;
        QVERIFY(rs.open(sql, &m_cn, lockType));
        QVERIFY(!rs.setValue(QStringLiteral("ragSoc"), QStringLiteral("X")));
        QCOMPARE(rs.lastError().Number, 3251);
        QVERIFY(!rs.lastError().Description.isEmpty());
        QCOMPARE(rs.editMode(), int(Recordset::adEditNone));
        Recordset check;
        QVERIFY(check.open(QStringLiteral("SELECT ragSoc FROM Schede"), &m_cn));
        QCOMPARE(check.value(0).toString(), QStringLiteral("Ditta 1"));
        QCOMPARE(rs.Delete(), deletes);
    }

    void wrongValueIsRefused()
    {
        addRows(1);
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Schede"), &m_cn, Recordset::adLockOptimistic));
        QVERIFY(!rs.setValue(QStringLiteral("qta"), QStringLiteral("dieci")));
        QCOMPARE(rs.lastError().Number, 3421);
        QVERIFY(!rs.setValue(QStringLiteral("dataIns"), QStringLiteral("31/02/2022")));
        QCOMPARE(rs.value(QStringLiteral("qta")), Currency::fromInt(1).toVariant());
    }

    // A value put in by hand with another type reads as it is stored, by
    // the recordset and by a statement alike, and a save that hands it back
    // unchanged leaves it so.
    void storedValuesReadAsStored_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QVariant>("read");
        QTest::newRow("fraction as a whole number") << "umi" << "1.5" << QVariant(QStringLiteral("1.5"));
        QTest::newRow("text as a whole number") << "anno" << "'12A45'" << QVariant(QStringLiteral("12A45"));
        QTest::newRow("text as an amount") << "qta" << "'abc'" << QVariant(QStringLiteral("abc"));
        QTest::newRow("real beyond any amount") << "qta" << "1e308" << QVariant(QStringLiteral("1.0e+308"));
        QTest::newRow("real with five decimals") << "qta" << "1.23456" << QVariant(QStringLiteral("1.23456"));
        QTest::newRow("real amount") << "qta" << "1.5" << Currency::fromRaw(15000).toVariant();
    }
    void storedValuesReadAsStored()
    {
        QFETCH(QString, field);
        QFETCH(QString, stored);
        QFETCH(QVariant, read);
        addRows(1);
        QVERIFY(m_cn.execute(QStringLiteral("UPDATE Schede SET %1 = %2").arg(field, stored)));
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Schede"), &m_cn, Recordset::adLockOptimistic));
        QCOMPARE(rs.value(field), read);
        Statement s(m_cn, QStringLiteral("SELECT %1 FROM Schede").arg(field));
        QVERIFY(s.exec());
        bool ofKind = false;
        const qint64 number = field == "qta" ? s.money(0, &ofKind).raw() : s.integer(0, &ofKind);
        QCOMPARE(ofKind, Currency::isCurrency(read));
        QCOMPARE(number, ofKind ? read.value<Currency>().raw() : 0);
        QVERIFY(rs.setValue(field, read) && rs.setValue(QStringLiteral("ragSoc"), QStringLiteral("Altra")));
        QVERIFY(rs.Update());
        Recordset again;
        QVERIFY(again.open(QStringLiteral("SELECT * FROM Schede"), &m_cn));
        QCOMPARE(again.value(field), read);
    }

    void requeryKeepsTheRow()
    {
        addRows(4);
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT skID FROM Schede ORDER BY skID DESC"), &m_cn));
        rs.MoveNext();
        QCOMPARE(rs.value(0).toInt(), 3);
        QVERIFY(m_cn.execute(QStringLiteral("INSERT INTO Schede (ragSoc) VALUES ('cinque')")));
        QVERIFY(rs.Requery());
        QCOMPARE(rs.RecordCount(), 5);
        QCOMPARE(rs.value(0).toInt(), 3);
        QCOMPARE(rs.AbsolutePosition(), 3);
    }

    void failingQueryReportsError()
    {
        Recordset rs;
        ErrInfo::clear();
        QVERIFY(!rs.open(QStringLiteral("SELECT * FROM Mancante"), &m_cn));
        QVERIFY(!rs.isOpen());
        QCOMPARE(rs.lastError().Number, 1);
        QVERIFY(rs.lastError().Description.contains(QStringLiteral("Mancante")));
        QCOMPARE(ErrInfo::current().Number, 1);
    }
};

QTEST_GUILESS_MAIN(tst_Recordset)
#include "tst_Recordset.moc"
