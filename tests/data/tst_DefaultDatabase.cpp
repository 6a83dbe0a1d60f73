#include <QTest>

#include "DatabaseProbe.h"

// The database shipped with the program carries true lookup tables: a clerk
// finds every municipality with its province and chamber of commerce, the
// countries for foreign subjects and the packaging waste codes.
class tst_DefaultDatabase : public QObject
{
    Q_OBJECT
private:
    DatabaseProbe m_db;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_db.open(QStringLiteral(KEZ_BIN_DIR "/Kez22imb.db"), true)); }

    void counts_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<int>("expected");
        QTest::newRow("municipalities") << QByteArray("SELECT COUNT(*) FROM Comuni") << 7904;
        QTest::newRow("provinces") << QByteArray("SELECT COUNT(*) FROM Province") << 107;
        QTest::newRow("countries") << QByteArray("SELECT COUNT(*) FROM Nazioni") << 248;
        QTest::newRow("waste chapters") << QByteArray("SELECT COUNT(*) FROM Rifiuti WHERE rifCod LIKE '__0000'") << 20;
        QTest::newRow("packaging waste") << QByteArray("SELECT COUNT(*) FROM Rifiuti WHERE rifCod LIKE '15%'") << 15;
        QTest::newRow("hazardous packaging") << QByteArray("SELECT COUNT(*) FROM Rifiuti WHERE rifClass = 'P'") << 3;
        QTest::newRow("activity codes") << QByteArray("SELECT COUNT(*) FROM Attivita") << 1241;
        QTest::newRow("activity divisions") << QByteArray(
            "SELECT COUNT(DISTINCT substr(attCod, 1, 2)) FROM Attivita") << 88;
        QTest::newRow("one stamp") << QByteArray("SELECT COUNT(*) FROM Config") << 1;
        QTest::newRow("no user yet") << QByteArray("SELECT COUNT(*) FROM Setup") << 0;
        QTest::newRow("no declarations") << QByteArray("SELECT COUNT(*) FROM SezAnag") << 0;
        // Italy is no foreign country: 0 stands for an Italian subject.
        QTest::newRow("no Italy") << QByteArray("SELECT COUNT(*) FROM Nazioni WHERE nazID IN (0, 380)") << 0;
    }

    void counts()
    {
        QFETCH(QByteArray, sql);
        QFETCH(int, expected);
        QCOMPARE(m_db.scalar(QString::fromUtf8(sql)).toInt(), expected);
    }

    void knownRows_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Roma") << QByteArray(
            "SELECT Comuni.comDesc || ' ' || Province.prvSigla FROM Comuni INNER JOIN Province "
            "ON Comuni.prvIstat = Province.prvIstat WHERE Comuni.prvIstat = 58 AND Comuni.comIstat = 91")
                              << QStringLiteral("Roma RM");
        QTest::newRow("one postal code") << QByteArray(
            "SELECT comCap FROM Comuni WHERE prvIstat = 98 AND comIstat = 57") << QStringLiteral("26827");
        QTest::newRow("name in any case") << QByteArray(
            "SELECT prvIstat * 1000 + comIstat FROM Comuni WHERE comDesc = 'TERRANOVA DEI PASSERINI'")
                                          << QStringLiteral("98057");
        QTest::newRow("name without accent") << QByteArray(
            "SELECT comIstat FROM Comuni WHERE prvIstat = 1 AND comDesc = 'Aglie'") << QStringLiteral("1");
        QTest::newRow("province by abbreviation") << QByteArray(
            "SELECT prvDesc FROM Province WHERE prvSigla = 'mi'") << QStringLiteral("Milano");
        QTest::newRow("aluminium packaging") << QByteArray(
            "SELECT rifDesc FROM Rifiuti WHERE rifCod = '150104' AND rifClass IS NULL")
                                             << QStringLiteral("imballaggi metallici");
        QTest::newRow("hazardous code") << QByteArray(
            "SELECT rifClass FROM Rifiuti WHERE rifCod = '150110'") << QStringLiteral("P");
        QTest::newRow("wooden packaging maker") << QByteArray(
            "SELECT attDesc FROM Attivita WHERE attCod = '162400'")
                                                << QStringLiteral("Fabbricazione di imballaggi in legno");
        QTest::newRow("country") << QByteArray("SELECT nazDesc FROM Nazioni WHERE nazID = 276")
                                 << QStringLiteral("Germania");
        QTest::newRow("Barletta-Andria-Trani served by Bari") << QByteArray(
            "SELECT B.prvSigla FROM Province A INNER JOIN Province B ON A.prvCCIAA = B.prvIstat "
            "WHERE A.prvSigla = 'BT'") << QStringLiteral("BA");
        QTest::newRow("Sud Sardegna served by Cagliari") << QByteArray(
            "SELECT B.prvSigla FROM Province A INNER JOIN Province B ON A.prvCCIAA = B.prvIstat "
            "WHERE A.prvSigla = 'SU'") << QStringLiteral("CA");
        QTest::newRow("Trinitapoli served by Foggia") << QByteArray(
            "SELECT comCCIAA FROM Comuni WHERE comDesc = 'Trinitapoli'") << QStringLiteral("71");
        QTest::newRow("Budoni served by Nuoro") << QByteArray(
            "SELECT comCCIAA FROM Comuni WHERE comDesc = 'Budoni'") << QStringLiteral("91");
        QTest::newRow("Sardinia") << QByteArray(
            "SELECT group_concat(prvSigla, ' ') FROM (SELECT prvSigla FROM Province "
            "WHERE prvIstat IN (SELECT prvIstat FROM Comuni WHERE comDesc IN "
            "('Sassari', 'Nuoro', 'Cagliari', 'Oristano', 'Carbonia', 'Olbia', 'Tortolì', 'Sanluri')) "
            "ORDER BY prvSigla)") << QStringLiteral("CA NU OR SS SU");
    }

    void knownRows()
    {
        QFETCH(QByteArray, sql);
        QFETCH(QString, expected);
        QCOMPARE(m_db.scalar(QString::fromUtf8(sql)).toString(), expected);
    }

    // Lookups join these tables by value, so a row pointing nowhere would show
    // as a municipality without province or a chamber without a name.
    void noDanglingOrDuplicateRows_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::newRow("municipality without province") << QByteArray(
            "SELECT comDesc FROM Comuni WHERE prvIstat NOT IN (SELECT prvIstat FROM Province)");
        QTest::newRow("municipality chamber unknown") << QByteArray(
            "SELECT comDesc FROM Comuni WHERE comCCIAA NOT IN (SELECT prvIstat FROM Province)");
        QTest::newRow("province chamber unknown") << QByteArray(
            "SELECT prvDesc FROM Province WHERE prvCCIAA NOT IN (SELECT prvIstat FROM Province)");
        QTest::newRow("chamber served elsewhere") << QByteArray(
            "SELECT A.prvDesc FROM Province A INNER JOIN Province B ON A.prvCCIAA = B.prvIstat "
            "WHERE B.prvCCIAA <> B.prvIstat");
        QTest::newRow("duplicate municipality") << QByteArray(
            "SELECT prvIstat FROM Comuni GROUP BY prvIstat, comIstat HAVING COUNT(*) > 1");
        QTest::newRow("duplicate abbreviation") << QByteArray(
            "SELECT prvSigla FROM Province GROUP BY prvSigla HAVING COUNT(*) > 1");
        QTest::newRow("duplicate country name") << QByteArray(
            "SELECT nazDesc FROM Nazioni GROUP BY nazDesc HAVING COUNT(*) > 1");
        QTest::newRow("bad postal code") << QByteArray(
            "SELECT comDesc FROM Comuni WHERE comCap IS NOT NULL AND "
            "(length(comCap) <> 5 OR comCap GLOB '*[^0-9]*')");
        QTest::newRow("bad waste code") << QByteArray(
            "SELECT rifCod FROM Rifiuti WHERE length(rifCod) <> 6 OR rifCod GLOB '*[^0-9]*'");
        // The waste tree hangs each code under its sub-chapter and chapter.
        QTest::newRow("orphan waste code") << QByteArray(
            "SELECT rifCod FROM Rifiuti WHERE substr(rifCod, 1, 2) || '0000' NOT IN "
            "(SELECT rifCod FROM Rifiuti) OR (rifCod NOT LIKE '%00' AND substr(rifCod, 1, 4) || '00' "
            "NOT IN (SELECT rifCod FROM Rifiuti))");
        QTest::newRow("bad activity code") << QByteArray(
            "SELECT attCod FROM Attivita WHERE length(attCod) <> 6 OR attCod GLOB '*[^0-9]*' "
            "OR attDesc IS NULL OR attDesc = ''");
        // A conversion leads to a municipality of this year, from a code that names none.
        QTest::newRow("conversion to nowhere") << QByteArray(
            "SELECT comOld FROM ComConv LEFT JOIN Comuni ON prvIstat = prvNew AND comIstat = comNew "
            "WHERE comDesc IS NULL OR capNew IS NOT comCap");
        QTest::newRow("conversion of a current code") << QByteArray(
            "SELECT comOld FROM ComConv INNER JOIN Comuni ON prvIstat = prvOld AND comIstat = comOld");
        QTest::newRow("unknown waste class") << QByteArray(
            "SELECT rifCod FROM Rifiuti WHERE rifClass IS NOT NULL AND rifClass <> 'P'");
    }

    void noDanglingOrDuplicateRows()
    {
        QFETCH(QByteArray, sql);
        QCOMPARE(m_db.column(QString::fromUtf8(sql)), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_DefaultDatabase)
#include "tst_DefaultDatabase.moc"
