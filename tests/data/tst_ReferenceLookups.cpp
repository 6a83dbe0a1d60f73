#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Connection.h"
#include "KezCollation.h"
#include "Recordset.h"

// The shipped lookup tables answer the program's own queries through its own
// data layer: a clerk typing the beginning of a town, with or without
// accents, finds it with its province and chamber of commerce; countries
// come in the order the country picker relies on.
class tst_ReferenceLookups : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    Connection m_cn;

    static QString townSearch()
    {
        return QStringLiteral(
            "SELECT Comuni.PrvIstat, Comuni.ComIstat, Comuni.ComDesc, Comuni.ComCap, Comuni.comCCIAA, "
            "Province.PrvDesc, Province.PrvSigla FROM Comuni INNER JOIN Province "
            "ON Comuni.PrvIstat = Province.PrvIstat WHERE (Comuni.ComDesc LIKE ?) ORDER BY Comuni.ComDesc");
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A copy, so that nothing a test does can touch the shipped file.
        QVERIFY(m_dir.isValid());
        const QString copy = m_dir.filePath(QStringLiteral("Kez22imb.db"));
        QVERIFY(QFile::copy(QStringLiteral(KEZ_BIN_DIR "/Kez22imb.db"), copy));
        QVERIFY(m_cn.open(copy));
    }

    void townsFoundByTheirBeginning_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("sigla");
        QTest::addColumn<int>("chamber");
        QTest::addColumn<QVariant>("cap");
        QTest::newRow("plain") << "sassari" << "Sassari" << 90064 << "SS" << 90 << QVariant("07100");
        QTest::newRow("accent left out") << "aglie" << "Agliè" << 1001 << "TO" << 1 << QVariant("10011");
        QTest::newRow("upper case") << "TRINITAP" << "Trinitapoli" << 110010 << "BT" << 71 << QVariant("76015");
        QTest::newRow("several postal codes") << "roma" << "Roma" << 58091 << "RM" << 58 << QVariant();
        QTest::newRow("apostrophe") << "l'aquila" << "L'Aquila" << 66049 << "AQ" << 66 << QVariant("67100");
        QTest::newRow("founded 2021") << "misiliscemi" << "Misiliscemi" << 81025 << "TP" << 81 << QVariant();
        QTest::newRow("moved 2021") << "montecopiolo" << "Montecopiolo" << 99030 << "RN" << 99 << QVariant("61014");
    }

    void townsFoundByTheirBeginning()
    {
        QFETCH(QString, typed);
        QFETCH(QString, first);
        QFETCH(int, key);
        QFETCH(QString, sigla);
        QFETCH(int, chamber);
        QFETCH(QVariant, cap);
        Recordset rs;
        QVERIFY(rs.open(townSearch(), &m_cn, Recordset::adLockReadOnly, {typed + QLatin1Char('%')}));
        QVERIFY(!rs.eof());
        QCOMPARE(rs.value(QStringLiteral("comDesc")).toString(), first);
        QCOMPARE(rs.value(QStringLiteral("prvIstat")).toInt() * 1000 + rs.value(QStringLiteral("comIstat")).toInt(), key);
        QCOMPARE(rs.value(QStringLiteral("prvSigla")).toString(), sigla);
        QCOMPARE(rs.value(QStringLiteral("comCCIAA")).toInt(), chamber);
        // A town with several postal codes proposes none (Null).
        QCOMPARE(rs.value(QStringLiteral("comCap")), cap);
    }

    // The chamber-of-commerce lookup by province abbreviation joins the
    // table to itself; every province must find its chamber.
    void everyProvinceFindsItsChamber()
    {
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral(
            "SELECT Province.prvSigla, Province_1.prvSigla AS CompSigla FROM Province "
            "INNER JOIN Province AS Province_1 ON Province.prvCCIAA = Province_1.prvIstat"), &m_cn));
        QCOMPARE(rs.RecordCount(), 107);
        QStringList elsewhere;
        for (; !rs.eof(); rs.MoveNext()) {
            if (rs.value(QStringLiteral("prvSigla")) != rs.value(QStringLiteral("CompSigla")))
                elsewhere << rs.value(QStringLiteral("prvSigla")).toString() + QLatin1Char('>')
                                 + rs.value(QStringLiteral("CompSigla")).toString();
        }
        elsewhere.sort();
        QCOMPARE(elsewhere, QStringList({QStringLiteral("BT>BA"), QStringLiteral("SU>CA")}));
    }

    // The country picker matches typed text against a list it expects in
    // ascending order of the program's own comparison.
    void countriesInPickerOrder()
    {
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT nazID, nazDesc FROM Nazioni ORDER BY nazDesc"), &m_cn));
        QCOMPARE(rs.RecordCount(), 248);
        QString previous;
        for (; !rs.eof(); rs.MoveNext()) {
            const QString name = rs.value(QStringLiteral("nazDesc")).toString();
            QVERIFY2(KezCollation::compare(previous, name) < 0, qPrintable(previous + " / " + name));
            previous = name;
        }
    }

    void activityCodesAsTyped_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("known");
        QTest::newRow("plastic packaging") << "222200" << true;
        QTest::newRow("packaging on behalf of others") << "829220" << true;
        QTest::newRow("replaced by the 2022 update") << "162320" << false;
        QTest::newRow("with points") << "22.22.00" << false;
    }

    void activityCodesAsTyped()
    {
        QFETCH(QString, code);
        QFETCH(bool, known);
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT attCod FROM Attivita WHERE (attCod = ?)"), &m_cn,
                        Recordset::adLockReadOnly, {code}));
        QCOMPARE(!rs.eof(), known);
    }
};

QTEST_GUILESS_MAIN(tst_ReferenceLookups)
#include "tst_ReferenceLookups.moc"
