#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QtTest>

#include <cerrno>
#include <memory>

#include "DatabaseProbe.h"
#include "DeclarationCheck.h"
#include "DesktopSeam.h"
#include "DiskSeam.h"
#include "ExchangeFixture.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "ShellFixture.h"
#include "TestSupport.h"
#include "Verifica.h"
#include "dbClass.h"
#include "kezClass.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxText.h"

using modMain::gDb;
using modMain::gKez;
using modMain::gModal;

// Checking declarations before they leave: each rule on a declaration made
// to break it, the marks the export relies on, and the report a user reads.
class tst_Verifica : public QObject
{
    Q_OBJECT

    std::unique_ptr<ShellFixture> fx;

    QString report() const
    {
        QFile file(Verifica::reportPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private Q_SLOTS:
    void initTestCase() { TestSupport::scriptDialogs(); }
    void init()
    {
        MessageBoxSeam::clearAsked();
        DesktopSeam::clearOpened();
        fx = std::make_unique<ShellFixture>();
    }
    void cleanup() { fx.reset(); }

    void rules_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("finding");
        QTest::addColumn<bool>("error");
        QTest::newRow("complete") << QString() << QString() << false;
        QTest::newRow("codice fiscale") << "UPDATE SezAnag SET codFisc = 'RSSMRA80A0'"
                                        << "Scheda SA1: codice fiscale RSSMRA80A0 formalmente errato" << true;
        QTest::newRow("check character") << "UPDATE SezAnag SET codFisc = 'RSSMRA80A01H501X'"
                                         << "carattere di controllo errato" << false;
        QTest::newRow("name") << "UPDATE SezAnag SET ragSoc = NULL" << "nome o ragione sociale mancante" << true;
        QTest::newRow("municipality") << "UPDATE SezAnag SET comIstat = 999"
                                      << "comune dell'unità locale sconosciuto" << true;
        QTest::newRow("activity") << "UPDATE SezAnag SET attIstat = '999999'"
                                  << "attività 999999 non presente" << true;
        QTest::newRow("employees") << "UPDATE SezAnag SET Addetti = 150" << "numero addetti 150" << false;
        QTest::newRow("no employees") << "UPDATE SezAnag SET Addetti = 0" << "numero addetti mancante" << true;
        QTest::newRow("months") << "UPDATE SezAnag SET Mesi = 13" << "mesi di attività errati (13)" << true;
        QTest::newRow("postal code") << "UPDATE SezAnag SET cap = '2012'" << "C.A.P. dell'unità locale" << false;
        QTest::newRow("representative") << "UPDATE SezAnag SET saCognome = NULL" << "cognome" << true;
        QTest::newRow("date") << "UPDATE SezAnag SET saDataComp = '2021-12-31'" << "fuori dall'anno 2022" << false;
        QTest::newRow("cancelled") << "UPDATE SezAnag SET saAnnulla = -1" << "da annullare mancante" << true;
        QTest::newRow("cancelled later") << "UPDATE SezAnag SET saAnnulla = -1, saDataPrec = '2022-03-16'"
                                         << "successiva alla data" << true;
        QTest::newRow("no section") << "DELETE FROM SezCons; DELETE FROM skSbop; DELETE FROM skMat; "
                                       "DELETE FROM RecRiu; DELETE FROM RecTip"
                                    << "Dichiarazione: nessuna sezione compilata" << true;
        QTest::newRow("waste code") << "UPDATE SezCons SET rifCod = '999999'" << "non presente nella tabella dei rifiuti"
                                    << true;
        QTest::newRow("sub-chapter") << "UPDATE SezCons SET rifCod = '150100'" << "150100 non selezionabile" << true;
        QTest::newRow("total") << "UPDATE SezCons SET scQta = 0" << "Scheda CONS 150101: quantità complessivamente"
                               << true;
        QTest::newRow("unit") << "UPDATE SezCons SET cartaUmi = 3" << "unità di misura errata: carta" << true;
        QTest::newRow("italian without code") << "UPDATE ModCons SET codFisc = NULL WHERE mdcID = 100"
                                              << "modulo UO-CONS n. 1 (ORIGINE 1 SPA): codice fiscale mancante"
                                              << true;
        QTest::newRow("origin activity") << "UPDATE ModCons SET mdcAtt = NULL WHERE mdcID = 100"
                                         << "attività economica mancante" << true;
        QTest::newRow("foreign country") << "UPDATE ModCons SET nazID = 0 WHERE mdcID = 102"
                                         << "modulo DR-CONS n. 2 (RECYCLAGE 1 SA): paese estero mancante" << true;
        QTest::newRow("regulation code") << "UPDATE ModCons SET regCE = 'XX999' WHERE mdcID = 102"
                                         << "(CE) 1013/2006 XX999 errato" << true;
        QTest::newRow("module quantity") << "UPDATE ModCons SET mdcQta = 0 WHERE mdcID = 100"
                                         << "quantità conferita mancante" << true;
        QTest::newRow("operations sum") << "UPDATE RecDrCons SET Qta = 7000000 WHERE Codice = 'R3'"
                                        << "(1100 Kg) non corrisponde alla quantità conferita (1000 Kg)" << true;
        QTest::newRow("no operations") << "DELETE FROM RecDrCons WHERE mdcID = 102"
                                       << "nessuna operazione di recupero o smaltimento" << true;
        QTest::newRow("operation position") << "UPDATE RecDrCons SET Posizione = 2 WHERE Codice = 'R3'"
                                            << "operazione R3 errata" << true;
        QTest::newRow("operation code") << "UPDATE RecDrCons SET Codice = 'R14' WHERE Codice = 'R13'"
                                        << "operazione R14 errata" << true;
        QTest::newRow("bags") << "UPDATE skSbop SET sksBorse = 0" << "Scheda SBOP n. 1 (BORSE 1 SRL): nessuna quantità"
                              << false;
        QTest::newRow("bags company") << "UPDATE skSbop SET codFisc = NULL" << "Scheda SBOP n. 1" << true;
        QTest::newRow("material") << "UPDATE RecMat SET skmTipo = 108 WHERE skmTipo = 106"
                                  << "materiale sconosciuto (codice 108)" << true;
        // What the export file cannot carry, from an older or hand-edited archive.
        QTest::newRow("text too long") << "UPDATE SezAnag SET ragSoc = replace(hex(zeroblob(30)), '0', 'È') || 'X'"
                                       << "Scheda SA1: nome o ragione sociale di 61 caratteri, oltre i 60" << true;
        QTest::newRow("decimals") << "UPDATE RecMat SET qtaProdVuoti = 25001 WHERE skmTipo = 101"
                                  << "Scheda SMAT n. 1 (ROSSI MARIO): imballaggi vuoti prodotti 2,5001: il file "
                                     "ammette al massimo 1 decimali"
                                  << true;
        QTest::newRow("digits") << "UPDATE skSbop SET sksBorse = 10000000000000"
                                << "borse 1000000000 oltre il massimo di 999999999" << true;
        QTest::newRow("foreign code") << "UPDATE ModCons SET codFisc = 'FR-123' WHERE mdcID = 102"
                                      << "modulo DR-CONS n. 2 (RECYCLAGE 1 SA): codice fiscale \"FR-123\" non nella "
                                         "forma"
                                      << true;
        QTest::newRow("control character") << "UPDATE SezAnag SET slVia = 'VIA' || char(1) || 'DANTE'"
                                           << "via della sede legale con un carattere che il file non può "
                                              "contenere (codice 0001)"
                                           << true;
        QTest::newRow("negative REA") << "UPDATE SezAnag SET REA = -5"
                                      << "numero REA -5 fuori dai valori che il file ammette (da 0 a 999999999)"
                                      << true;
        QTest::newRow("other year") << "UPDATE SezAnag SET saAnno = 2020"
                                    << "Scheda SA1: dichiarazione dell'anno 2020, non dell'anno 2021 di questo "
                                       "archivio"
                                    << true;
        QTest::newRow("no year") << "UPDATE SezAnag SET saAnno = NULL"
                                 << "Scheda SA1: anno della dichiarazione mancante" << true;
        QTest::newRow("reuse type") << "UPDATE RecRiu SET riuTipo = 0" << "Scheda SRIU: tipo di imballaggio" << true;
        // Values stored with another type, named as they are stored.
        QTest::newRow("REA as text") << "UPDATE SezAnag SET REA = '12A45'"
                                     << "Scheda SA1: numero REA \"12A45\" non è un numero intero." << true;
        QTest::newRow("months as text") << "UPDATE SezAnag SET Mesi = '12 mesi'"
                                        << "mesi di attività \"12 mesi\" non è un numero intero." << true;
        QTest::newRow("employees fraction") << "UPDATE SezAnag SET Addetti = 2.7"
                                            << "numero addetti \"2.7\" non è un numero intero." << true;
        QTest::newRow("unit fraction") << "UPDATE SezCons SET scUmi = 1.5"
                                       << "unità di misura della quantità raccolta \"1.5\" non è un numero intero."
                                       << true;
        QTest::newRow("quantity as text") << "UPDATE SezCons SET cartaQta = 'abc'"
                                          << "quantità di carta e cartone \"abc\" non è un numero." << true;
        QTest::newRow("negative total") << "UPDATE SezCons SET scQta = -10000"
                                        << "quantità complessivamente raccolta negativa (-1)." << true;
        QTest::newRow("quantity beyond any amount") << "UPDATE skSbop SET sksBorse = 1e308"
                                                    << "borse \"1.0e+308\" oltre il massimo di 999999999" << true;
        QTest::newRow("operation unit as text") << "UPDATE RecDrCons SET Umi = 'kg' WHERE Codice = 'D1'"
                                                << "unità di misura dell'operazione \"kg\" non è un numero intero."
                                                << true;
    }
    void rules()
    {
        QFETCH(QString, change);
        QFETCH(QString, finding);
        QFETCH(bool, error);
        QVERIFY(fx->openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "RSSMRA80A01H501U")
                                 + change + QStringLiteral(";")));
        DeclarationCheck checker(gDb->kezCnn);
        const DeclarationCheck::Result r = checker.check(1);
        QVERIFY(r.found);
        QStringList lines;
        for (const DeclarationCheck::Finding &f : r.findings)
            lines << QStringLiteral("%1 %2: %3").arg(f.errore ? "E" : "W", f.dove, f.testo);
        if (finding.isEmpty()) {
            QVERIFY2(lines.isEmpty(), qPrintable(lines.join('\n')));
            return;
        }
        // The finding named, and nothing else wrong with the declaration.
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().contains(finding), qPrintable(lines.first()));
        QCOMPARE(r.errors(), error ? 1 : 0);
    }

    // A read that fails (a table or column gone since the file was
    // opened) stops the run with the connection's own error: no
    // declaration passes for sound, none is marked for export.
    void failedReadStops_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("sheet") << "ALTER TABLE SezCons DROP COLUMN ferroQta";
        QTest::newRow("module") << "ALTER TABLE ModCons DROP COLUMN mdcAtt";
        QTest::newRow("operation") << "ALTER TABLE RecDrCons DROP COLUMN Umi";
        QTest::newRow("card row") << "ALTER TABLE RecMat RENAME TO RecMatVecchia";
    }
    void failedReadStops()
    {
        QFETCH(QString, change);
        QVERIFY(fx->openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "RSSMRA80A01H501U")));
        QVERIFY(gDb->Execute(change));
        gModal->showVerifica(Verifica::Una, 1, false);
        QVERIFY(!gModal->Status);
        QCOMPARE(gModal->checkOk + gModal->checkKo, 0);
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        QCOMPARE(MessageBoxSeam::asked().first().title, QStringLiteral("Verifica dati inseriti (1)"));
        QVERIFY(MessageBoxSeam::asked().first().text.contains("l'archivio non ha la forma attesa"));
        QVERIFY(report().contains("Verifica interrotta da un errore del database"));
        DatabaseProbe db;
        QVERIFY(db.open(gDb->kezDbFilename, true));
        QCOMPARE(db.scalar("SELECT saExp FROM SezAnag").toInt(), 0);
    }

    void exportRunMarksDeclarations()
    {
        // Milan's chamber covers Monza too; Rome's declaration is exported.
        QVERIFY(fx->openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "RSSMRA80A01H501U")
                                 + ExchangeFixture::declaration(2, "00743110157", 108, 33)
                                 + ExchangeFixture::declaration(3, "01234567897", 58, 91)
                                 + "UPDATE SezAnag SET Mesi = 0 WHERE saID = 2;"
                                   "UPDATE SezAnag SET ExpID = 4, saExp = 0 WHERE saID = 3;"
                                   "UPDATE SezAnag SET saExp = -1 WHERE saID = 2;"));
        gModal->showVerifica(Verifica::Camera, 15, false);
        QVERIFY(gModal->Status);
        QCOMPARE(gModal->checkOk, 1);
        QCOMPARE(gModal->checkKo, 1);
        DatabaseProbe db;
        QVERIFY(db.open(gDb->kezDbFilename, true));
        QCOMPARE(db.column("SELECT saID || ':' || saExp FROM SezAnag ORDER BY saID"),
                 (QStringList{"1:-1", "2:0", "3:0"}));
        const QString text = report();
        QVERIFY(text.contains("Dichiarazioni verificate: 2 - senza errori: 1 - con errori: 1"));
        QVERIFY(text.contains("DITTA 2 S.R.L. - codice fiscale 00743110157\nUnità locale: VIA ROMA 1 - MONZA (MB)\n"
                              "  ERRORE Scheda SA1: mesi di attività errati (0).\n"
                              "Esito: dichiarazione con errori, non esportabile."));
        QVERIFY(!text.contains("DITTA 3"));
        QCOMPARE(Verifica::dichiarazioni(Verifica::Camera, 15, false, true), (QList<int>{1}));

        // One declaration already exported: only with the exported ones.
        gModal->showVerifica(Verifica::Una, 3, false);
        QCOMPARE(gModal->checkOk + gModal->checkKo, 0);
        gModal->showVerifica(Verifica::Una, 3, true);
        QCOMPARE(gModal->checkOk, 1);
        QCOMPARE(db.scalar("SELECT saExp FROM SezAnag WHERE saID = 3").toInt(), -1);
        QVERIFY(!report().contains("DITTA 1"));

        // The desktop session ends during a run: it stops as the clerk's
        // stop would, and its marks go.
        QVERIFY(gDb->Execute("UPDATE SezAnag SET saExp = 0"));
        Verifica form;
        connect(form.pb, &QProgressBar::valueChanged, &form, &modMain::endSession, Qt::SingleShotConnection);
        const bool checked = form.verifica({1, 3}, true);
        MainWindowSupport::resumeSession();
        QVERIFY(!checked);
        QCOMPARE(db.scalar("SELECT count(*) FROM SezAnag WHERE saExp <> 0").toInt(), 0);
    }

    void fromTheMenu()
    {
        QVERIFY(fx->openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "RSSMRA80A01H501U")
                                 + ExchangeFixture::declaration(2, "00743110157", 108, 33)
                                 + "UPDATE SezAnag SET Addetti = 250 WHERE saID = 1;"
                                   "UPDATE ModCons SET ragSoc = NULL WHERE mdcID = 200;"
                                   "UPDATE ModCons SET codFisc = NULL, ragSoc = 'RECUPERI' || char(10) || '2' "
                                   "WHERE mdcID = 201;"));
        gKez->Sa1ID = 1;
        gModal->checkMode = -1;
        Verifica form;
        QCOMPARE(modMain::currentForm, 101);
        QVERIFY(form.opt[0]->isChecked());
        QVERIFY(form.labDic->text().contains("DITTA 1"));
        QCOMPARE(form.cmbCCIAA->count(), 1);
        form.show();
        form.opt[1]->setChecked(true);
        form.slb_Click(0);
        QCOMPARE(form.slt[0]->Value().toInt(), 1);
        QCOMPARE(form.slt[1]->Value().toInt(), 1);
        QCOMPARE(form.pb->value(), 2);
        QVERIFY(form.slb[1]->Enabled());
        TestSupport::grab(&form, QStringLiteral("Verifica"));
        // A disk that does not take the report: the clerk is told, and the
        // report of the run before stays.
        DiskSeam::failNext(DiskSeam::Call::Sync, Verifica::reportPath(), EIO);
        form.slb_Click(0);
        QCOMPARE(MessageBoxSeam::asked().value(0).text,
                 "Attenzione, impossibile scrivere il rapporto della verifica " + Verifica::reportPath()
                     + ":\nerrore di input/output del disco.");
        form.slb_Click(1);
        QCOMPARE(DesktopSeam::opened(), QStringList{Verifica::reportPath()});
        // A desktop with no program for the report: the user hears so, and
        // where it is.
        DesktopSeam::setRefusing(true);
        form.slb_Click(1);
        DesktopSeam::setRefusing(false);
        QCOMPARE(MessageBoxSeam::asked().last().text,
                 "Attenzione, il file è stato scritto ma non è stato possibile aprirlo:\n" + Verifica::reportPath());
        // From the menu nothing is marked for export.
        DatabaseProbe db;
        QVERIFY(db.open(gDb->kezDbFilename, true));
        QCOMPARE(db.scalar("SELECT count(*) FROM SezAnag WHERE saExp <> 0").toInt(), 0);
        const QString text = report();
        QVERIFY(text.contains("  AVVISO Scheda SA1: numero addetti 250: verificare.\n"
                              "Esito: dichiarazione corretta, con avvisi da verificare."));
        QVERIFY(text.contains("Scheda CONS 150101, modulo UO-CONS n. 1: nome o ragione sociale mancante."));
        // A line break in a name keeps the finding on its line.
        QVERIFY(text.contains("  ERRORE Scheda CONS 150101, modulo DR-CONS n. 1 (RECUPERI\u240A2): codice fiscale "
                              "mancante.\n"));
        // Kept beside the pictures, for a person to read.
        QFile::remove(KEZ_PICTURES_DIR "/Kez22imbErr.txt");
        QFile::copy(Verifica::reportPath(), KEZ_PICTURES_DIR "/Kez22imbErr.txt");
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(tst_Verifica)
#include "tst_Verifica.moc"
