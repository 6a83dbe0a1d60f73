#include <QDir>
#include <QFile>
#include <QtTest>

#include "MessageBoxSeam.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "kezClass.h"
#include "modMain.h"

using modMain::gDb;
using modMain::gKez;

namespace {

QString wipeTrigger()
{
    return QStringLiteral("CREATE TRIGGER wipe AFTER UPDATE ON SezCons BEGIN DELETE FROM Ditte; END;");
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The database object on real files: which files it accepts, what the
// user is told when one cannot be opened, and the shared lookups.
class tst_dbClass : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void openingTheCurrentYear_data();
    void openingTheCurrentYear();
    void databaseWithoutVersionRowOpens();
    void refusedPreviousYearIsForgotten_data();
    void refusedPreviousYearIsForgotten();
    void previousYearOpensAndCloses();
    void thisYearsFileIsNoPreviousYear();
    void failingStatementIsReported();
    void listWithoutRowsStaysOpen();
    void failingQueryKeepsTheProgramRunning();
    void comuneDaIstat_data();
    void comuneDaIstat();
};

void tst_dbClass::initTestCase()
{
    TestSupport::scriptDialogs();
}

void tst_dbClass::init()
{
    MessageBoxSeam::clearAsked();
}

void tst_dbClass::openingTheCurrentYear_data()
{
    QTest::addColumn<QString>("file");     // what the INI names
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("title");    // of the error box; empty = no box
    QTest::addColumn<QString>("edit");     // made by hand in a copy of a Kez file
    QTest::addColumn<QString>("says");     // in the box
    QTest::newRow("database") << "Kez22imb.db" << true << "" << "" << "";
    QTest::newRow("no path") << "" << false << "" << "" << "";
    QTest::newRow("missing file") << "manca.db" << false << "Connessione database KEZ (" << "" << "";
    QTest::newRow("not a database") << "testo.db" << false << "Connessione database KEZ (" << "" << "";
    // Damaged in a table start-up never reads: refused at open, not in
    // the middle of a search.
    QTest::newRow("damaged") << "Kez21imb.db" << false << "Connessione database KEZ (" << "" << "";
    const QString edited = QStringLiteral("copia.db");
    QTest::newRow("extra column and index") << edited << true << ""
        << "ALTER TABLE Ditte ADD COLUMN note TEXT; CREATE INDEX DitteVia ON Ditte (via);" << "";
    QTest::newRow("trigger") << edited << false << "Connessione database KEZ" << wipeTrigger()
                             << "il trigger 'wipe' sulla tabella SezCons";
    QTest::newRow("column dropped") << edited << false << "Connessione database KEZ"
        << "ALTER TABLE SezCons DROP COLUMN ferroQta;" << "nella tabella SezCons manca la colonna ferroQta";
    QTest::newRow("view in place of a table") << edited << false << "Connessione database KEZ"
        << "ALTER TABLE Nazioni RENAME TO Paesi; CREATE VIEW Nazioni AS SELECT * FROM Paesi;"
        << "la vista 'Nazioni' al posto della tabella Nazioni";
    QTest::newRow("column of another type") << edited << false << "Connessione database KEZ"
        << "ALTER TABLE Setup DROP COLUMN via; ALTER TABLE Setup ADD COLUMN via INTEGER;"
        << "la colonna via è di tipo INTEGER invece di TEXT";
    QTest::newRow("cascade added") << edited << false << "Connessione database KEZ"
        << "ALTER TABLE Ditte ADD COLUMN scID INTEGER REFERENCES SezCons (scID) ON DELETE CASCADE;"
        << "il vincolo della colonna scID della tabella Ditte verso la tabella SezCons";
}

void tst_dbClass::openingTheCurrentYear()
{
    QFETCH(QString, file);
    QFETCH(bool, opens);
    QFETCH(QString, title);
    QFETCH(QString, edit);
    QFETCH(QString, says);
    ShellFixture fx;
    fx.createDatabase(QStringLiteral("Kez22imb.db"));
    if (!edit.isEmpty())
        fx.createDatabase(file, edit);
    QFile text(fx.folder() + QStringLiteral("testo.db"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("Questo non è un database, ma un semplice testo.\n");
    text.close();
    const bool damaged = file == QLatin1String("Kez21imb.db");
    QVERIFY(!damaged || TestSupport::damageTable(fx.createDatabase(file), QStringLiteral("Comuni")));
    if (!file.isEmpty())
        fx.writeIni(QStringLiteral("[PATH]\nkez2021=") + fx.folder() + file + QLatin1Char('\n'));

    const QByteArray before = bytesOf(fx.folder() + file);

    fx.startGlobals();
    QCOMPARE(gDb->openKezDb(), opens);
    QCOMPARE(gDb->kezDbOpened(), opens);
    QCOMPARE(bytesOf(fx.folder() + file), before);
    const auto asked = MessageBoxSeam::asked();
    if (title.isEmpty()) {
        QVERIFY(asked.isEmpty());
    } else {
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked.first().title.startsWith(title), qPrintable(asked.first().title));
        QCOMPARE(asked.first().style, 16);
        QVERIFY2(asked.first().text.contains(says), qPrintable(asked.first().text));
        if (damaged)
            QCOMPARE(asked.first().text.section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral("Il database '%1' è danneggiato.").arg(QDir::toNativeSeparators(fx.folder() + file)));
    }
    if (opens) {
        QCOMPARE(gDb->kezDbVersion, QStringLiteral("2022.1"));
        // Opening again closes and reopens.
        QVERIFY(gDb->openKezDb());
    }
    // A missing file must not be created by trying to open it.
    QVERIFY(!QFile::exists(fx.folder() + QStringLiteral("manca.db")));
}

void tst_dbClass::databaseWithoutVersionRowOpens()
{
    ShellFixture fx;
    QVERIFY(fx.openDatabase(QStringLiteral("DELETE FROM Config;")));
    QVERIFY(gDb->kezDbVersion.isEmpty());
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_dbClass::refusedPreviousYearIsForgotten_data()
{
    QTest::addColumn<QString>("edit");   // made by hand in last year's file; empty = no file
    QTest::addColumn<QString>("says");
    QTest::newRow("missing file") << "" << "";
    QTest::newRow("trigger") << wipeTrigger() << "il trigger 'wipe' sulla tabella SezCons";
    QTest::newRow("column dropped") << "ALTER TABLE SezAnag DROP COLUMN slVia;"
                                    << "nella tabella SezAnag manca la colonna slVia";
}

void tst_dbClass::refusedPreviousYearIsForgotten()
{
    QFETCH(QString, edit);
    QFETCH(QString, says);
    ShellFixture fx;
    const QByteArray before = edit.isEmpty() ? QByteArray()
                                             : bytesOf(fx.createDatabase(QStringLiteral("Kez21imb.db"), edit));
    fx.writeIni(QStringLiteral("[PATH]\nkez2020=") + fx.folder()
                + QStringLiteral("Kez21imb.db\nkez2021=x\n"));
    fx.startGlobals();
    QVERIFY(!gDb->openOldDb());
    QVERIFY(!gDb->oldDbOpened());
    QVERIFY(gDb->oldDbFilename.isEmpty());
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
    QVERIFY(MessageBoxSeam::asked().first().title.startsWith(QLatin1String("Connessione database anno precedente")));
    QVERIFY2(MessageBoxSeam::asked().first().text.contains(says), qPrintable(MessageBoxSeam::asked().first().text));
    QCOMPARE(bytesOf(fx.folder() + QStringLiteral("Kez21imb.db")), before);
    // The key stays, empty, so the next start tries nothing and says nothing.
    QVERIFY(gKez->getIniFile(QStringLiteral("PATH"), QStringLiteral("kez2020"),
                             QStringLiteral("assente"))
                .isEmpty());
    QCOMPARE(gKez->getIniFile(QStringLiteral("PATH"), QStringLiteral("kez2021")),
             QStringLiteral("x"));

    fx.releaseGlobals();
    MessageBoxSeam::clearAsked();
    fx.startGlobals();
    QVERIFY(!gDb->openOldDb());
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_dbClass::previousYearOpensAndCloses()
{
    ShellFixture fx;
    const QString old = fx.createDatabase(QStringLiteral("Kez21imb.db"),
                                          QStringLiteral("INSERT INTO Ditte (codFisc, ragSoc) "
                                                         "VALUES ('00743110157', 'Vecchia');"));
    fx.writeIni(QStringLiteral("[PATH]\nkez2020=") + old + QLatin1Char('\n'));
    fx.startGlobals();
    QVERIFY(gDb->openOldDb());
    QVERIFY(gDb->oldDbOpened());
    QVERIFY(gDb->oldRsOpen(QStringLiteral("SELECT ragSoc FROM Ditte WHERE codFisc = ?"),
                           {QStringLiteral("00743110157")}));
    QCOMPARE(gDb->oldRs->value(QStringLiteral("RAGSOC")).toString(), QStringLiteral("Vecchia"));
    gDb->oldDbClose();
    QVERIFY(!gDb->oldDbOpened());
    QVERIFY(!gDb->oldRs);
    // Reading without a previous year is reported, not a crash.
    QVERIFY(!gDb->oldRsOpen(QStringLiteral("SELECT * FROM Ditte")));
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
}

// An INI written before linking refused it names one file for both years.
void tst_dbClass::thisYearsFileIsNoPreviousYear()
{
    ShellFixture fx;
    const QString current = fx.createDatabase(QStringLiteral("Kez22imb.db"));
    const QString sameThroughDots = fx.folder() + QStringLiteral("../") + QFileInfo(fx.folder()).dir().dirName()
        + QStringLiteral("/Kez22imb.db");
    fx.writeIni(QStringLiteral("[PATH]\nkez2021=") + current + QStringLiteral("\nkez2020=") + sameThroughDots
                + QLatin1Char('\n'));
    fx.startGlobals();
    QVERIFY(gDb->openKezDb());
    QVERIFY(!gDb->openOldDb());
    QVERIFY(!gDb->oldDbOpened());
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
    QVERIFY(MessageBoxSeam::asked().first().text.contains(QLatin1String("stesso file")));
    QVERIFY(gKez->getIniFile(QStringLiteral("PATH"), QStringLiteral("kez2020")).isEmpty());
    QCOMPARE(gKez->getIniFile(QStringLiteral("PATH"), QStringLiteral("kez2021")), current);
}

void tst_dbClass::failingStatementIsReported()
{
    ShellFixture fx;
    QVERIFY(fx.openDatabase());
    QVERIFY(gDb->Execute(QStringLiteral("INSERT INTO Ditte (codFisc, ragSoc) VALUES (?, ?)"),
                         {QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("L'Apostrofo")}));
    QVERIFY(MessageBoxSeam::asked().isEmpty());
    QVERIFY(!gDb->Execute(QStringLiteral("INSERT INTO Ditte (codFisc, ragSoc) VALUES (?, ?)"),
                          {QStringLiteral("RSSMRA80A01H501U"), QStringLiteral("doppione")}));
    QCOMPARE(MessageBoxSeam::asked().size(), 1);
    QVERIFY(MessageBoxSeam::asked().first().title.startsWith(QLatin1String("Errore codice: ")));
    QCOMPARE(MessageBoxSeam::asked().first().style, 16);
}

void tst_dbClass::listWithoutRowsStaysOpen()
{
    ShellFixture fx;
    QVERIFY(fx.openDatabase());
    QVERIFY(!gDb->listRsOpen(QStringLiteral("SELECT * FROM Ditte")));
    QVERIFY(gDb->listRs.isOpen());
    QVERIFY(gDb->listRs.eof());
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

void tst_dbClass::failingQueryKeepsTheProgramRunning()
{
    ShellFixture fx;
    QVERIFY(fx.openDatabase());
    QVERIFY(!gDb->listRsOpen(QStringLiteral("SELECT * FROM TabellaCheNonEsiste")));
    auto rs = gDb->kezRs(QStringLiteral("SELECT colonna FROM Ditte"));
    QVERIFY(!rs->isOpen());
    QCOMPARE(MessageBoxSeam::asked().size(), 2);
}

void tst_dbClass::comuneDaIstat_data()
{
    QTest::addColumn<QVariant>("prov");
    QTest::addColumn<QVariant>("com");
    QTest::addColumn<QStringList>("expected");   // empty = Null
    QTest::newRow("Roma") << QVariant(58) << QVariant(91)
                          << QStringList{"ROMA", "00118", "ROMA", "RM"};
    QTest::newRow("codes as text") << QVariant(QStringLiteral("15")) << QVariant(QStringLiteral("146"))
                                   << QStringList{"MILANO", "20121", "MILANO", "MI"};
    QTest::newRow("unknown pair") << QVariant(58) << QVariant(1) << QStringList();
    QTest::newRow("null province") << QVariant() << QVariant(91) << QStringList();
    QTest::newRow("null municipality") << QVariant(58) << QVariant() << QStringList();
    QTest::newRow("not a number") << QVariant(QStringLiteral("58 OR 1=1")) << QVariant(91)
                                  << QStringList();
}

void tst_dbClass::comuneDaIstat()
{
    QFETCH(QVariant, prov);
    QFETCH(QVariant, com);
    QFETCH(QStringList, expected);
    ShellFixture fx;
    QVERIFY(fx.openDatabase(ShellFixture::lookupRows()));
    const QVariant result = gDb->comuneDaIstat(prov, com);
    if (expected.isEmpty())
        QVERIFY(result.isNull());
    else
        QCOMPARE(result.toStringList(), expected);
    QVERIFY(MessageBoxSeam::asked().isEmpty());
}

QTEST_MAIN(tst_dbClass)
#include "tst_dbClass.moc"
