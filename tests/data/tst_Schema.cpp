#include <QTemporaryDir>
#include <QTest>

#include "DatabaseProbe.h"
#include "TestSupport.h"

// Every table the program opens exists in a new database, with the columns
// it reads and the declared types the recordset turns into value types.
class tst_Schema : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    DatabaseProbe m_db;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("schema.db"));
        QVERIFY(TestSupport::createDatabase(path));
        QVERIFY(m_db.open(path));
    }

    void columns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("types");
        const auto row = [](const char *table, const QStringList &columns, const QStringList &types) {
            QTest::newRow(table) << QString::fromLatin1(table) << columns << types;
        };
        row("SezAnag", {"saID", "codFisc", "REA", "attIstat", "saDataComp", "saAnnulla", "ExpID", "saExp", "slCAP"},
            {"INTEGER", "TEXT", "INTEGER", "TEXT", "DATE", "YESNO", "INTEGER", "YESNO", "TEXT"});
        row("SezCons", {"scID", "saID", "rifCod", "scQta", "scUmi", "altroQta", "scAll"},
            {"INTEGER", "INTEGER", "TEXT", "CURRENCY", "INTEGER", "CURRENCY", "INTEGER"});
        row("ModCons", {"mdcID", "scID", "mdcTipo", "Privati", "nazID", "regCE", "mdcQta", "mdcAtt", "mdcSup"},
            {"INTEGER", "INTEGER", "INTEGER", "YESNO", "INTEGER", "TEXT", "CURRENCY", "TEXT", "INTEGER"});
        row("RecDrCons", {"mdcID", "Posizione", "Codice", "Qta", "Umi"},
            {"INTEGER", "INTEGER", "TEXT", "CURRENCY", "INTEGER"});
        row("skSbop", {"sksID", "saID", "sks50Micron", "sks15Micron", "pmAltre"},
            {"INTEGER", "INTEGER", "CURRENCY", "CURRENCY", "CURRENCY"});
        row("skMat", {"skmID", "saID", "codFisc", "ragSoc"}, {"INTEGER", "INTEGER", "TEXT", "TEXT"});
        row("RecMat", {"rkmID", "skmID", "skmTipo", "qtaProdVuoti", "qtaEspPieni"},
            {"INTEGER", "INTEGER", "INTEGER", "CURRENCY", "CURRENCY"});
        row("RecRiu", {"riuID", "saID", "riuTipo", "qtaAlimentare", "qtaAltriUsi"},
            {"INTEGER", "INTEGER", "INTEGER", "CURRENCY", "CURRENCY"});
        row("RecTip", {"tipID", "saID", "tipTipo", "qtaPrimari", "qtaSecondari"},
            {"INTEGER", "INTEGER", "INTEGER", "CURRENCY", "CURRENCY"});
        row("Setup", {"codFisc", "ragSoc", "prvIstat", "suUserName", "suPassword"},
            {"TEXT", "TEXT", "INTEGER", "TEXT", "TEXT"});
        row("Config", {"CnfDbVer", "CnfType"}, {"TEXT", "INTEGER"});
        row("Ditte", {"codFisc", "ragSoc", "prvIstat", "comIstat", "prefTel", "telefono"},
            {"TEXT", "TEXT", "INTEGER", "INTEGER", "TEXT", "TEXT"});
        row("expTab", {"expID"}, {"INTEGER"});
        row("Comuni", {"prvIstat", "comIstat", "comDesc", "comCap", "comCCIAA"},
            {"INTEGER", "INTEGER", "TEXT", "TEXT", "INTEGER"});
        row("Province", {"prvIstat", "prvDesc", "prvSigla", "prvCCIAA"}, {"INTEGER", "TEXT", "TEXT", "INTEGER"});
        row("Nazioni", {"nazID", "nazDesc"}, {"INTEGER", "TEXT"});
        row("Rifiuti", {"rifCod", "rifDesc", "rifClass"}, {"TEXT", "TEXT", "TEXT"});
        row("Codici", {"codType", "codNumb", "codAlfa", "codDesc"}, {"INTEGER", "INTEGER", "TEXT", "TEXT"});
        row("Attivita", {"attCod", "attDesc"}, {"TEXT", "TEXT"});
        row("CodRegCE", {"crcCod", "crcDesc"}, {"TEXT", "TEXT"});
        row("ComConv", {"prvOld", "comOld", "prvNew", "comNew", "capNew"},
            {"INTEGER", "INTEGER", "INTEGER", "INTEGER", "TEXT"});
    }

    void columns()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QStringList, types);
        const QString exists = QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = '%1'");
        QCOMPARE(m_db.scalar(exists.arg(table)).toString(), table);
        for (int i = 0; i < columns.size(); ++i)
            QCOMPARE(m_db.declaredType(table, columns.at(i)), types.at(i));
    }

    // Names typed in any case or without accents find the stored text, the
    // way the municipality and company searches rely on.
    void textIgnoresCaseAndAccents()
    {
        QVERIFY(m_db.exec(QStringLiteral("INSERT INTO Ditte (codFisc, ragSoc) VALUES ('ABCDEF12G34H567I', 'Società Più')")));
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT codFisc FROM Ditte WHERE ragSoc = 'SOCIETA PIU'")).toString(),
                 QStringLiteral("ABCDEF12G34H567I"));
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT ragSoc FROM Ditte WHERE codFisc = 'abcdef12g34h567i'")).toString(),
                 QStringLiteral("Società Più"));
        QVERIFY(m_db.exec(QStringLiteral("DELETE FROM Ditte")));
    }

    // A deleted declaration's number is never given to a new one: sections
    // that stayed behind must not attach to someone else's declaration.
    void keysAreNeverReused()
    {
        QVERIFY(m_db.exec(QStringLiteral("INSERT INTO SezAnag (codFisc) VALUES ('A')")));
        QVERIFY(m_db.exec(QStringLiteral("INSERT INTO SezAnag (codFisc) VALUES ('B')")));
        const int last = m_db.scalar(QStringLiteral("SELECT MAX(saID) FROM SezAnag")).toInt();
        QVERIFY(m_db.exec(QStringLiteral("DELETE FROM SezAnag WHERE saID = ") + QString::number(last)));
        QVERIFY(m_db.exec(QStringLiteral("INSERT INTO SezAnag (codFisc) VALUES ('C')")));
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT MAX(saID) FROM SezAnag")).toInt(), last + 1);
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT saExp FROM SezAnag WHERE codFisc = 'C'")).toInt(), 0);
    }

    // A declaration takes every section row below it when it goes, down to
    // the operation rows of its modules and the materials of its cards; a
    // row can never be written below a parent that does not exist.
    void sectionsGoWithTheirDeclaration()
    {
        const QStringList fill = {
            "INSERT INTO SezAnag (saID, codFisc) VALUES (900, 'D''ANGELO')",
            "INSERT INTO SezAnag (saID, codFisc) VALUES (901, 'OTHER')",
            "INSERT INTO SezCons (scID, saID, rifCod) VALUES (50, 900, '150101')",
            "INSERT INTO ModCons (mdcID, scID, mdcTipo) VALUES (70, 50, 2)",
            "INSERT INTO RecDrCons (mdcID, Posizione, Codice) VALUES (70, 1, 'R1')",
            "INSERT INTO skMat (skmID, saID) VALUES (30, 900)",
            "INSERT INTO RecMat (skmID, skmTipo) VALUES (30, 101)",
            "INSERT INTO skSbop (saID) VALUES (900)",
            "INSERT INTO RecRiu (saID, riuTipo) VALUES (900, 1)",
            "INSERT INTO RecTip (saID, tipTipo) VALUES (900, 1)",
            "INSERT INTO RecTip (saID, tipTipo) VALUES (901, 1)",
        };
        for (const QString &sql : fill)
            QVERIFY2(m_db.exec(sql), qPrintable(sql));
        QVERIFY(!m_db.exec(QStringLiteral("INSERT INTO ModCons (scID, mdcTipo) VALUES (99999, 1)")));
        QVERIFY(!m_db.exec(QStringLiteral("INSERT INTO RecMat (skmID) VALUES (99999)")));

        QVERIFY(m_db.exec(QStringLiteral("DELETE FROM SezAnag WHERE saID = 900")));
        for (const char *table : {"SezCons", "ModCons", "RecDrCons", "skMat", "RecMat", "skSbop", "RecRiu"})
            QCOMPARE(m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).toInt(), 0);
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM RecTip WHERE saID = 901")).toInt(), 1);
        QVERIFY(m_db.exec(QStringLiteral("DELETE FROM SezAnag")));
    }

    void databaseIsStamped()
    {
        QVERIFY(!m_db.scalar(QStringLiteral("SELECT CnfDbVer FROM Config")).toString().isEmpty());
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM Config")).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_Schema)
#include "tst_Schema.moc"
