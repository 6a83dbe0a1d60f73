#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QtTest>

#include <cerrno>
#include <memory>
#include <optional>

#include <sys/wait.h>
#include <unistd.h>

#include "BriefLock.h"
#include "Connection.h"
#include "DatabaseProbe.h"
#include "DesktopSeam.h"
#include "DiskSeam.h"
#include "ExchangeFixture.h"
#include "ExchangeTables.h"
#include "FileDialogSeam.h"
#include "MainWindowSupport.h"
#include "MessageBoxSeam.h"
#include "OrdinaryUser.h"
#include "ShellFixture.h"
#include "SmallDisk.h"
#include "TestSupport.h"
#include "WholeFile.h"
#include "Verifica.h"
#include "dbClass.h"
#include "expClass.h"
#include "expForm.h"
#include "expList.h"
#include "impModClass.h"
#include "kezClass.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"

using modMain::gDb;
using modMain::gKez;

// Declarations leaving in a file and coming back: the file, the export's
// record and stamps, and a round trip that loses nothing.
class tst_expClass : public QObject
{
    Q_OBJECT

    static QString readText(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // Every row of the declaration tables, without the ids a new archive
    // gives and the export's own marks, in the order they were written.
    static QStringList rows(const QString &dbPath)
    {
        DatabaseProbe db;
        if (!db.open(dbPath, true))
            return {QStringLiteral("not opened")};
        QStringList all;
        std::function<void(const ExchangeTables::Table &)> walk = [&](const ExchangeTables::Table &t) {
            QStringList cols;
            // A date column holds a day, whatever time was typed with it.
            for (const ExchangeTables::Field &f : t.fields)
                cols << (f.kind == ExchangeTables::Kind::Date ? QStringLiteral("quote(substr(%1, 1, 10))")
                                                              : QStringLiteral("quote(%1)"))
                            .arg(QLatin1String(f.column));
            if (t.positionFromCode)
                cols << QStringLiteral("Posizione");
            all << QLatin1String(t.name)
                << db.column(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                 .arg(cols.join(QStringLiteral(" || '|' || ")), QLatin1String(t.name),
                                      QLatin1String(t.key)));
            for (const ExchangeTables::Table *child : t.children)
                walk(*child);
        };
        walk(ExchangeTables::dichiarazione());
        return all;
    }
    // The files of the folder and of its dati/, hidden ones included.
    static QStringList files(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden)
            + QDir(folder + "dati").entryList(QDir::Files | QDir::Hidden);
    }
    static QString withoutStamp(QString xml)
    {
        xml.replace(QRegularExpression(QStringLiteral(" numero=\"\\d+\"")), QString());
        xml.replace(QRegularExpression(QStringLiteral(" dataOra=\"[^\"]*\"")), QString());
        return xml;
    }

private Q_SLOTS:
    void initTestCase() { TestSupport::scriptDialogs(); }
    void init()
    {
        MessageBoxSeam::clearAsked();
        FileDialogSeam::clearAsked();
        DesktopSeam::clearOpened();
    }

    void roundTrip()
    {
        auto first = std::make_unique<ShellFixture>();
        QVERIFY(first->openDatabase(
            ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "11111111115")
            + ExchangeFixture::declaration(2, "RSSMRA80A01H501U", 108, 33)
            + "UPDATE SezAnag SET civico = NULL, telefono = '', saAnnulla = -1, saDataPrec = '2022-01-10', "
              "ragSoc = 'L''ARTE & <CO> \"È\"' WHERE saID = 2;"
              // Texts as pasted: CR LF, tabs, edge spaces, a character
              // beyond the 16-bit range, a full column; amounts at the limit.
              "UPDATE SezAnag SET slVia = ' V.LE' || char(13, 10) || 'È]]>' || char(9, 128512) || ' ', "
              "saNome = char(13) || 'ANNA', saCognome = replace(hex(zeroblob(12)), '0', 'Ù') || 'Ò' "
              "WHERE saID = 1;"
              "UPDATE SezCons SET scQta = 99999999990, cartaQta = 10 WHERE saID = 1;"
              "UPDATE skSbop SET sksBorse = 9999999990000, pmBorse = 9999990 WHERE saID = 2;"
              "UPDATE SezAnag SET saDataComp = '2022-03-15T10:20:00' WHERE saID = 1;"));
        QVERIFY(ExchangeFixture::placeSchema(first->folder()));
        const QString file1 = first->folder() + "uno.xml";
        expClass writer(gDb->kezCnn);
        QVERIFY2(writer.esporta({1, 2}, file1, 15), qPrintable(writer.errorText));
        const QString firstDb = gDb->kezDbFilename;
        {
            DatabaseProbe db;
            QVERIFY(db.open(firstDb, true));
            QCOMPARE(db.column("SELECT expID || '|' || expFile || '|' || expCCIAA || '|' || expNum FROM expTab"),
                     QStringList{"1|" + file1 + "|15|2"});
            QCOMPARE(db.column("SELECT ExpID FROM SezAnag ORDER BY saID"), (QStringList{"1", "1"}));
        }
        const QString xml = readText(file1);
        QVERIFY(xml.contains("<esportazione xmlns=\"urn:kez:imballaggi:dichiarazione\" "
                             "versione=\"RAC-IT-06.02.18\" anno=\"2021\" numero=\"1\""));
        QVERIFY2(xml.contains("<ragSoc>L'ARTE &amp; &lt;CO&gt; &quot;È&quot;</ragSoc>"),
                 qPrintable(xml.mid(xml.indexOf("ARTE") - 20, 60)));
        QVERIFY(xml.contains("<saDataComp>2022-03-15</saDataComp>"));
        QVERIFY(xml.contains(QString::fromUtf8("<slVia> V.LE&#13;\nÈ]]&gt;\t\xF0\x9F\x98\x80 </slVia>")));
        QVERIFY(xml.contains("<cartaQta>1250.5</cartaQta>"));
        QVERIFY(xml.contains("<operazione>\n     <Codice>R13</Codice>\n     <Qta>0.4</Qta>\n     <Umi>2</Umi>"));

        // Data the verification would hold back, handed to the writer
        // directly: no file, and the refusal names the declaration.
        QVERIFY(gDb->Execute("UPDATE SezAnag SET slCAP = '201210' WHERE saID = 2"));
        expClass guard(gDb->kezCnn);
        QVERIFY(!guard.esporta({1, 2}, first->folder() + "no.xml", 15));
        QCOMPARE(guard.errorText,
                 "Attenzione, i dati non rientrano nel formato del file di esportazione; nessun file scritto.\n"
                 "Dichiarazione di L'ARTE & <CO> \"È\", codice fiscale RSSMRA80A01H501U:\n"
                 "elemento <slCAP>: testo di 6 caratteri, oltre i 5 ammessi");
        QVERIFY(!QFile::exists(first->folder() + "no.xml"));
        QVERIFY(gDb->Execute("UPDATE SezAnag SET slCAP = '20121' WHERE saID = 2"));

        // Into an empty archive, and out again.
        auto second = std::make_unique<ShellFixture>();
        QVERIFY(second->openDatabase(ExchangeFixture::lookups()));
        QVERIFY(ExchangeFixture::placeSchema(second->folder()));
        impModClass importer(gDb->kezCnn);
        QVERIFY2(importer.importa(file1), qPrintable(importer.errorText));
        QCOMPARE(importer.nelFile, 2);
        QCOMPARE(importer.importate, 2);
        QCOMPARE(importer.presenti, 0);
        const QString file2 = second->folder() + "due.xml";
        expClass again(gDb->kezCnn);
        QVERIFY(again.esporta(Verifica::dichiarazioni(Verifica::Tutte, 0, false), file2, 15));
        QCOMPARE(withoutStamp(readText(file2)), withoutStamp(xml));
        QCOMPARE(rows(gDb->kezDbFilename), rows(firstDb));

        DatabaseProbe db;
        QVERIFY(db.open(gDb->kezDbFilename, true));
        // The modules' and cards' subjects join the registry as the forms
        // add them; the declarant does not.
        QCOMPARE(db.column("SELECT codFisc || '|' || ragSoc || '|' || prvIstat || '|' || comIstat || '|' || "
                           "coalesce(via, '-') FROM Ditte ORDER BY codFisc"),
                 (QStringList{"00743110157|BORSE 1 SRL|0|0|-", "01234567897|ORIGINE 1 SPA|58|91|VIA APPIA",
                              "12345678903|RECUPERI 1 SRL|108|33|VIA MONZA", "FR12345|RECYCLAGE 1 SA|0|0|-",
                              "RSSMRA80A01H501U|ROSSI MARIO|0|0|-"}));
        QCOMPARE(importer.ditte, 5);
        // The same file again: nothing twice.
        impModClass twice(gDb->kezCnn);
        QVERIFY(twice.importa(file1));
        QCOMPARE(twice.presenti, 2);
        QCOMPARE(twice.importate, 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM SezAnag").toInt(), 2);
    }

    void exportDialog()
    {
        ShellFixture fx;
        QVERIFY(fx.openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "11111111115")
                                + ExchangeFixture::declaration(2, "00743110157", 108, 33)
                                + ExchangeFixture::declaration(3, "01234567897", 58, 91)
                                + ExchangeFixture::declaration(4, "12345678903")
                                + ExchangeFixture::declaration(6, "RSSMRA80A01H501U")
                                + "UPDATE SezAnag SET attIstat = NULL WHERE saID = 2;"
                                  // From an older archive: a name beyond the file's column, an
                                  // amount too precise for its sheet, a declaration of 2020.
                                  "UPDATE SezAnag SET ragSoc = ragSoc || replace(hex(zeroblob(30)), '0', '.') "
                                  "WHERE saID = 4;"
                                  "UPDATE SezCons SET cartaQta = 12505001 WHERE saID = 4;"
                                  "UPDATE SezAnag SET saAnno = 2020 WHERE saID = 6;"));
        QVERIFY(ExchangeFixture::placeSchema(fx.folder()));
        gKez->Sa1ID = 3;
        expForm form;
        QCOMPARE(modMain::currentForm, 104);
        QVERIFY(form.opt[0]->isChecked());
        QCOMPARE(form.cmbCCIAA->count(), 2);
        form.opt[1]->setChecked(true);
        form.cmbCCIAA->setCurrentIndex(form.cmbCCIAA->findData(15));
        TestSupport::grab(&form, QStringLiteral("expForm"));

        const QString target = fx.folder() + "milano.xml";
        FileDialogSeam::pushFileName(target);
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbYes);
        QVERIFY(form.Esporta());
        const QList<MessageBoxSeam::Asked> asked = MessageBoxSeam::asked();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].text, QStringLiteral("Attenzione, 3 dichiarazioni con errori non saranno esportate.\n"
                                               "Vuoi aprire il rapporto della verifica?"));
        QCOMPARE(asked[1].text, "Esportata 1 dichiarazione nel file\n" + target);
        QCOMPARE(DesktopSeam::opened(), QStringList{Verifica::reportPath()});
        const FileDialogSeam::Asked dialog = FileDialogSeam::asked().last();
        QCOMPARE(dialog.filter, QStringLiteral("File XML (*.xml)"));
        QVERIFY(dialog.directory.startsWith(gKez->Path() + "Kez22imb_exp_cciaa15_"));
        const QString xml = readText(target);
        QVERIFY(xml.contains("DITTA 1 S.R.L.") && !xml.contains("DITTA 2") && !xml.contains("DITTA 3")
                && !xml.contains("DITTA 4") && !xml.contains("DITTA 6"));
        const QString report = readText(Verifica::reportPath());
        QVERIFY2(report.contains("ERRORE Scheda SA1: nome o ragione sociale di 74 caratteri, oltre i 60 che il "
                                 "file ammette.\n  ERRORE Scheda CONS 150101: quantità di carta e cartone "
                                 "1250,5001: il file ammette al massimo 3 decimali.")
                     && report.contains("ERRORE Scheda SA1: dichiarazione dell'anno 2020, non dell'anno 2021"),
                 qPrintable(report));
        QFile::remove(KEZ_PICTURES_DIR "/esportazione.xml");
        QFile::copy(target, KEZ_PICTURES_DIR "/esportazione.xml");

        DatabaseProbe db;
        QVERIFY(db.open(gDb->kezDbFilename, true));
        QCOMPARE(db.column("SELECT saID || ':' || ExpID FROM SezAnag ORDER BY saID"),
                 (QStringList{"1:1", "2:0", "3:0", "4:0", "6:0"}));

        // A file that cannot be written: no file, no record, no stamp.
        MessageBoxSeam::clearAsked();
        form.chkExp->setChecked(true);
        FileDialogSeam::pushFileName(fx.folder() + "manca/milano.xml");
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
        QVERIFY(!form.Esporta());
        QCOMPARE(MessageBoxSeam::asked().last().text,
                 "Attenzione, impossibile scrivere il file " + fx.folder() + "manca/milano.xml:\ncartella inesistente.");
        QVERIFY(!QDir(fx.folder() + "manca").exists());
        QCOMPARE(db.scalar("SELECT count(*) FROM expTab").toInt(), 1);
        QCOMPARE(db.column("SELECT ExpID FROM SezAnag ORDER BY saID"), (QStringList{"1", "0", "0", "0", "0"}));

        // Stopped while writing: no file, no record, no stamp.
        MessageBoxSeam::clearAsked();
        FileDialogSeam::pushFileName(fx.folder() + "fermata.xml");
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
        connect(form.pb, &QProgressBar::valueChanged, &form, [&](int value) {
            if (value == 1) {
                QCOMPARE(form.slb[1]->Caption(), QStringLiteral("Annulla"));
                form.slb_Click(1);
            }
        });
        QVERIFY(!form.Esporta());
        QCOMPARE(MessageBoxSeam::asked().last().text, QStringLiteral("Esportazione annullata: nessun file scritto."));
        QVERIFY(!QFile::exists(fx.folder() + "fermata.xml"));
        QCOMPARE(db.scalar("SELECT count(*) FROM expTab").toInt(), 1);
        QCOMPARE(db.column("SELECT ExpID FROM SezAnag ORDER BY saID"), (QStringList{"1", "0", "0", "0", "0"}));
        QCOMPARE(form.slb[1]->Caption(), QStringLiteral("Chiudi"));
        disconnect(form.pb, nullptr, &form, nullptr);

        // The desktop session ends while writing: the same as "Annulla".
        FileDialogSeam::pushFileName(fx.folder() + "fermata.xml");
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
        connect(form.pb, &QProgressBar::valueChanged, &form, &modMain::endSession, Qt::SingleShotConnection);
        const bool exported = form.Esporta();
        MainWindowSupport::resumeSession();
        QVERIFY(!exported);
        QVERIFY(!QFile::exists(fx.folder() + "fermata.xml"));
        QCOMPARE(db.column("SELECT count(*) || ':' || max(expID) FROM expTab"), QStringList{"1:1"});
        QCOMPARE(db.column("SELECT ExpID FROM SezAnag ORDER BY saID"), (QStringList{"1", "0", "0", "0", "0"}));

        // The history, newest first.
        FileDialogSeam::pushFileName(fx.folder() + "roma.xml");
        form.opt[0]->setChecked(true);
        QVERIFY(form.Esporta());
        expList list;
        QCOMPARE(modMain::currentForm, 8);
        list.resize(900, 560);
        QCOMPARE(list.lv->topLevelItemCount(), 2);
        QCOMPARE(list.lv->topLevelItem(0)->text(2), QStringLiteral("roma.xml"));
        QCOMPARE(list.lv->topLevelItem(0)->text(3), QStringLiteral("ROMA"));
        QCOMPARE(list.lv->topLevelItem(1)->text(2), QStringLiteral("milano.xml"));
        QCOMPARE(list.lv->topLevelItem(1)->text(3), QStringLiteral("MILANO"));
        QCOMPARE(list.lv->topLevelItem(1)->text(4), QStringLiteral("1"));
        TestSupport::grab(&list, QStringLiteral("expList"));
    }

    // A value stored with another type is named by the verification and
    // keeps its declaration home; handed to the writer all the same, it
    // goes out as stored and the file's own check refuses it.
    void storedWithAnotherType_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("finding");
        QTest::addColumn<QString>("element");
        QTest::newRow("REA") << "UPDATE SezAnag SET REA = '12A45'" << "numero REA \"12A45\"" << "<REA>";
        QTest::newRow("months") << "UPDATE SezAnag SET Mesi = '12 mesi'" << "attività \"12 mesi\"" << "<Mesi>";
        QTest::newRow("employees") << "UPDATE SezAnag SET Addetti = 2.7" << "addetti \"2.7\"" << "<Addetti>";
        QTest::newRow("unit") << "UPDATE SezCons SET scUmi = 1.5" << "raccolta \"1.5\"" << "<scUmi>";
        QTest::newRow("year") << "UPDATE SezAnag SET saAnno = '2021a'" << "anno della dichiarazione \"2021a\""
                              << "<esportazione>, attributo \"anno\": il valore \"2021a\"";
    }
    void storedWithAnotherType()
    {
        QFETCH(QString, change);
        QFETCH(QString, finding);
        QFETCH(QString, element);
        ShellFixture fx;
        QVERIFY(fx.openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "11111111115") + change
                                + ";"));
        QVERIFY(ExchangeFixture::placeSchema(fx.folder()));
        gKez->Sa1ID = 1;
        expForm form;
        MessageBoxSeam::clearAsked();
        MessageBoxSeam::pushAnswer(MessageBoxSeam::vbNo);
        QVERIFY(!form.Esporta() && !MessageBoxSeam::asked().isEmpty());
        QCOMPARE(MessageBoxSeam::asked().last().text, QStringLiteral("Attenzione, nessuna dichiarazione esportabile."));
        QVERIFY2(readText(Verifica::reportPath()).contains(finding), qPrintable(readText(Verifica::reportPath())));
        expClass writer(gDb->kezCnn);
        QVERIFY(!writer.esporta({1}, fx.folder() + "no.xml", 15));
        QVERIFY2(writer.errorText.contains("elemento " + element), qPrintable(writer.errorText));
    }

    // Another program's write is waited out; a file that a full or
    // read-only disk keeps out, or whose bytes the disk does not take, says
    // why, in Italian, and so does a database commit that fails; that export
    // leaves no record, no stamp and the earlier file of its name as it was.
    void exportThroughFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << "full disk" << "spazio su disco esaurito.";
        QTest::newRow("read-only disk") << "read-only disk" << "file system di sola lettura.";
        QTest::newRow("sync to disk") << "sync" << "errore di input/output del disco.";
        QTest::newRow("database commit") << "commit" << QString();
        QTest::newRow("database commit, the name a link") << "commit through a link" << QString();
    }
    void exportThroughFaults()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        const bool readOnly = fault == "read-only disk";
        ShellFixture fx;
        QVERIFY(fx.openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "11111111115")));
        QVERIFY(ExchangeFixture::placeSchema(fx.folder()));
        const QString first = fx.folder() + "uno.xml";
        const QString named = fx.folder() + "dati/";
        if (fault.endsWith("link"))
            QVERIFY(QDir().mkpath(named) && QFile::link(named + "uno.xml", first));
        const auto listing = [&] { return files(fx.folder()); };
        {
            BriefLock other;
            QVERIFY(other.hold(gDb->kezDbFilename, 1000));
            expClass writer(gDb->kezCnn);
            QVERIFY2(writer.esporta({1}, first, 15), qPrintable(writer.errorText));
        }
        if (!fault.endsWith("disk")) {
            // Exported again over the first file: the disk does not take
            // it, or another program reads the archive from the first
            // declaration written on, beyond the wait.
            const QString before = readText(first);
            const QStringList listed = listing();
            // An export cut off after its commit held left the earlier file
            // aside: it goes.
            QVERIFY(WholeFile::write(QFileInfo(QFileInfo(first).canonicalFilePath()).path() + "/.uno.xml.precedente",
                                     "copia"));
            Connection::setBusyTimeout(300);
            Connection cn;
            QVERIFY(cn.open(gDb->kezDbFilename));
            Connection::setBusyTimeout(5000);
            BriefLock reader;
            expClass writer(cn);
            if (fault == "sync")
                DiskSeam::failNext(DiskSeam::Call::Sync, first, EIO);
            else
                writer.progress = [&](int, int) {
                    return reader.hold(gDb->kezDbFilename, 1000, "BEGIN; SELECT count(*) FROM sqlite_master");
                };
            QVERIFY(!writer.esporta({1}, first, 15));
            QCOMPARE(writer.errorText, reason.isEmpty()
                         ? "Attenzione, errore del database: esportazione annullata."
                         : "Attenzione, impossibile scrivere il file " + first + ":\n" + reason);
            QCOMPARE(readText(first), before);
            QCOMPARE(listing(), listed);
            QCOMPARE(QFileInfo(first).isSymLink(), fault.endsWith("link"));
            DatabaseProbe db;
            QVERIFY(db.open(gDb->kezDbFilename, true));
            QCOMPARE(db.column("SELECT count(*) || ':' || max(expTab.expID) || ':' || sum(SezAnag.ExpID) "
                               "FROM expTab, SezAnag"),
                     QStringList{"1:1:1"});
            // Once the other program is gone the file is replaced, and no
            // copy of the earlier one stays behind.
            reader.release();
            QVERIFY(expClass(cn).esporta({1}, first, 15) && readText(first) != before);
            QCOMPARE(listing(), listed);
            return;
        }
        const QString disk = fx.folder() + "disco";
        QVERIFY(QDir().mkpath(disk));
        SmallDisk small(disk, readOnly, "size=64k");
        if (!small.ok())
            QSKIP("a small file system cannot be mounted here (it takes root)");
        if (!readOnly) {
            QFile filler(disk + "/riempitivo");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            filler.write(QByteArray(1 << 20, 'x'));
            filler.close();
        }
        // The user exports the declaration again, into the small disk.
        gKez->Sa1ID = 1;
        expForm form;
        form.chkExp->setChecked(true);
        MessageBoxSeam::clearAsked();
        FileDialogSeam::pushFileName(disk + "/due.xml");
        const bool written = form.Esporta();
        const QStringList left = QDir(disk).entryList(QDir::Files);
        small.unmount();
        QVERIFY(!written);
        QCOMPARE(left, readOnly ? QStringList() : QStringList{"riempitivo"});
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        QCOMPARE(MessageBoxSeam::asked().first().text,
                 "Attenzione, impossibile scrivere il file " + disk + "/due.xml:\n" + reason);
        DatabaseProbe db;
        QVERIFY(db.open(gDb->kezDbFilename, true));
        QCOMPARE(db.column("SELECT count(*) || ':' || max(expID) FROM expTab"), QStringList{"1:1"});
        QCOMPARE(db.scalar("SELECT ExpID FROM SezAnag WHERE saID = 1").toInt(), 1);
    }

    // An export again over the file of an earlier one: through a link in a
    // folder that takes no new name, under a name as long as a folder takes
    // with the suffix of a file, or after an export cut off as a kill cuts
    // it (in a process of its own). What the cut left is settled: the file
    // at the name is the export the archive records, and nothing else lies
    // beside it.
    void exportAgain_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cut");
        QTest::newRow("through a link in a folder that takes no new name") << "chiusa/uno.xml" << "";
        QTest::newRow("name of 250 bytes") << QString(246, QLatin1Char('n')) + ".xml" << "";
        QTest::newRow("cut off after the rename") << "uno.xml" << "after the rename";
        QTest::newRow("cut off between the renames, no hard links") << "uno.xml" << "no hard links";
    }
    void exportAgain()
    {
        QFETCH(QString, name);
        QFETCH(QString, cut);
        ShellFixture fx;
        QVERIFY(fx.openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "11111111115")));
        QVERIFY(ExchangeFixture::placeSchema(fx.folder()));
        const QString file = fx.folder() + name;
        const QString folder = QFileInfo(file).absolutePath();
        if (name.contains('/'))
            QVERIFY(QDir().mkpath(folder) && QDir().mkpath(fx.folder() + "dati")
                    && QFile::link(fx.folder() + "dati/uno.xml", file));
        const auto listing = [&] { return files(fx.folder()); };
        QVERIFY(expClass(gDb->kezCnn).esporta({1}, file, 15));
        const QStringList before = listing();
        const QString first = readText(file);
        const bool noLinks = cut == "no hard links";
        if (!cut.isEmpty()) {
            const pid_t child = ::fork();
            if (child == 0) {
                Connection cn;
                if (noLinks)
                    DiskSeam::failNext(DiskSeam::Call::Link, file, EPERM);
                DiskSeam::cutNext(noLinks ? DiskSeam::Call::Rename : DiskSeam::Call::SyncFolder,
                                  noLinks ? file : folder);
                if (cn.open(gDb->kezDbFilename))
                    expClass(cn).esporta({1}, file, 15);
                ::_exit(1);
            }
            int status = -1;
            QVERIFY(child > 0 && ::waitpid(child, &status, 0) == child);
            QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "the export was not cut off");
            // The export the archive records is whole, at its name or beside it.
            const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
            QVERIFY(std::any_of(left.cbegin(), left.cend(), [&](const QString &f) { return readText(folder + '/' + f) == first; }));
        }
        expClass again(gDb->kezCnn);
        {
            std::optional<OrdinaryUser> user;
            if (name.contains('/')) {
                for (const QString &open : {fx.folder(), fx.folder() + "dati", fx.folder() + "dati/uno.xml"})
                    QVERIFY(QFile::setPermissions(open, QFileDevice::Permissions(0x7777)));
                QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x5555)));
                user.emplace();
                if (!user->ok())
                    QSKIP("the test cannot act as an ordinary user here");
            }
            QVERIFY2(again.esporta({1}, file, 15), qPrintable(again.errorText));
        }
        QCOMPARE(listing(), before);
        QCOMPARE(QFileInfo(file).isSymLink(), name.contains('/'));
        DatabaseProbe db;
        QVERIFY(db.open(gDb->kezDbFilename, true));
        const QString recorded = db.scalar("SELECT 'numero=\"' || expID || '\" dataOra=\"' || expData || '\"' "
                                           "FROM expTab ORDER BY expID DESC LIMIT 1").toString();
        QVERIFY2(readText(file).contains(recorded), qPrintable(recorded));
        QCOMPARE(db.scalar("SELECT count(*) FROM expTab").toInt(), 2);
    }

    // The verification's marks cannot be stored while another program
    // reads the file: the export stops there and says so, marking nothing.
    void verificationMarksUnderALock()
    {
        ShellFixture fx;
        Connection::setBusyTimeout(300);
        const bool opened = fx.openDatabase(ExchangeFixture::lookups() + ExchangeFixture::declaration(1, "11111111115"));
        Connection::setBusyTimeout(5000);
        QVERIFY(opened && ExchangeFixture::placeSchema(fx.folder()));
        gKez->Sa1ID = 1;
        expForm form;
        BriefLock reader;
        QVERIFY(reader.hold(gDb->kezDbFilename, 2000, "BEGIN; SELECT count(*) FROM sqlite_master"));
        MessageBoxSeam::clearAsked();
        QVERIFY(!form.Esporta());
        const QList<MessageBoxSeam::Asked> asked = MessageBoxSeam::asked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Esportazione (5)"));
        QVERIFY2(asked[0].text.startsWith("Le modifiche non sono state salvate.\nIl database è in uso da un altro programma."),
                 qPrintable(asked[0].text));
        reader.release();
        DatabaseProbe db;
        QVERIFY(db.open(gDb->kezDbFilename, true));
        QCOMPARE(db.scalar("SELECT saExp FROM SezAnag WHERE saID = 1").toInt(), 0);
    }
};

QTEST_MAIN(tst_expClass)
#include "tst_expClass.moc"
