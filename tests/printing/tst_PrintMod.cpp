#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QtTest>

#include <optional>
#include <sys/resource.h>

#include <csignal>

#include "DesktopSeam.h"
#include "DialogDriver.h"
#include "MainWindowTestCase.h"
#include "MessageBoxSeam.h"
#include "OrdinaryUser.h"
#include "SmallDisk.h"
#include "PdfPages.h"
#include "PrintMod.h"
#include "TestSupport.h"
#include "dbClass.h"
#include "kezClass.h"
#include "listBase.h"
#include "mainForm.h"
#include "modMain.h"
#include "prnDich.h"
#include "prnList.h"
#include "slxButton.h"

using modMain::gKez;

namespace {

// One declaration with every section: long names, Italian and foreign
// subjects, operations whose text order is not their numeric order.
// Amounts are stored in ten-thousandths.
const char *const FullDeclaration = R"SQL(
INSERT INTO Comuni (prvIstat, comIstat, comDesc, comCap, comCCIAA) VALUES (25, 47, 'SAPPADA', '32047', 30);
INSERT INTO Rifiuti VALUES ('150104', 'imballaggi metallici', NULL), ('150101', 'imballaggi in carta e cartone', NULL);
INSERT INTO Nazioni VALUES (40, 'Austria');
INSERT INTO Codici (codType, codNumb, codAlfa, codDesc) VALUES (12, 1, 'LEGNO', 'Pallet in legno'),
  (13, 2, 'PLASTICA', 'Cassette in plastica');
UPDATE SezAnag SET REA = 123456, attIstat = '251100', Addetti = 1250, Mesi = 11, cap = '00118',
  prefTel = '06', telefono = '5551234', slPrvIstat = 15, slComIstat = 146, slVia = 'Corso Buenos Aires',
  slCivico = '7B', slCAP = '20121', slPrefTel = '02', slTelefono = '7654321', saCognome = 'Rossi',
  saNome = 'Mario', saDataComp = '2022-03-15', saAnnulla = -1, saDataPrec = '2022-01-20', ExpID = 3
  WHERE saID = 7;
INSERT INTO SezCons (scID, saID, rifCod, scQta, scUmi, ferroQta, ferroUmi, vetroQta, vetroUmi,
  alluminioQta, alluminioUmi, cartaQta, cartaUmi, plasticaQta, plasticaUmi, legnoQta, legnoUmi,
  altroQta, altroUmi, scAll) VALUES
  (1, 7, '150104', 12345678910, 2, 15000, 1, 222500, 2, 3331250, 1, 44440000, 2, 10, 1, 555555000, 2,
   6666666660, 1, 1),
  (2, 7, '150101', 987650, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0);
INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, nazID,
  regCE, mdcQta, mdcUmi, mdcAtt, mdcSup) VALUES
  (1, 1, 1, '01234567897', 'RACCOLTA DIFFERENZIATA DEL NORD-EST SOCIETA CONSORTILE A RESP. LIMITATA',
   25, 6, 'Via delle Industrie', '15/A', '32100', 0, NULL, 77777770, 2, '381100', 1),
  (2, 1, 1, NULL, 'ENTSORGUNG GMBH', 0, 0, NULL, NULL, NULL, 40, NULL, 125000, 1, NULL, 2),
  (3, 1, 2, 'BNCLRA70B41F205X', 'RICICLO SPA', 15, 146, 'Via Roma', '1', '20121', 0, NULL, 88888880, 2,
   NULL, 0),
  (4, 1, 2, NULL, 'RECYCLING AG', 0, 0, NULL, NULL, NULL, 40, 'GB040', 99990, 1, NULL, 0),
  (6, 1, 1, NULL, 'ABFALLWIRTSCHAFTSVERBANDSGESELLSCHAFTFUERVERPACKUNGSRUECKNAHME', 0, 0, NULL, NULL,
   NULL, 40, NULL, 1000, 1, NULL, 1),
  (5, 2, 1, '02345678909', 'CARTIERA VENETA', 25, 6, 'Via Carta', '2', '32100', 0, NULL, 10000, 2,
   '171200', 2);
INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta, Umi) VALUES (3, 1, 'R10', 22500, 1),
  (3, 1, 'R2', 1005000, 2), (3, 2, 'D15', 31250, 2);
INSERT INTO skSbop (saID, codFisc, ragSoc, sksBorse, sks50Micron, sks15Micron, sksOxodegradabili,
  sksBiodegradabili, sksAltre, pmBorse, pm50Micron, pm15Micron, pmOxodegradabili, pmBiodegradabili,
  pmAltre) VALUES (7, '03456789014', 'BORSE ITALIA SRL', 10000000, 25000, 30000, 40000, 50000, 60000,
  71250, 82500, 93750, 101000, 112000, 123000);
INSERT INTO skMat (skmID, saID, codFisc, ragSoc) VALUES (1, 7, '04567890128', 'IMBALLI SRL');
INSERT INTO RecMat (skmID, skmTipo, qtaProdVuoti, qtaProdPieni, qtaImpVuoti, qtaImpPieni, qtaEspVuoti,
  qtaEspPieni) VALUES (1, 101, 11000, 22000, 33000, 44000, 55000, 66000),
  (1, 106, 105000, 205000, 305000, 405000, 505000, 605000);
INSERT INTO RecRiu (saID, riuTipo, qtaAlimentare, qtaAltriUsi) VALUES (7, 1, 115000, 127500), (7, 9, 5000, 2500);
INSERT INTO RecTip (saID, tipTipo, qtaPrimari, qtaSecondari) VALUES (7, 2, 135000, 142500);
)SQL";

// Edge figures and codes: the widest the fields allow, codici fiscali that
// used to split, quantities with more decimals stored than shown.
const char *const EdgeDeclaration = R"SQL(
UPDATE SezAnag SET codFisc = 'MMMMSM80A01H501U', REA = 999999999 WHERE saID = 7;
INSERT INTO SezAnag (saID, codFisc, ragSoc, prvIstat, comIstat, via) VALUES
  (9, 'MNGDNC80H01H501X', 'Menga Domenico', 58, 91, 'Via Tuscolana'), (10, 'WWWWWWWWWWWWWWWW', 'Largo', 58, 91, 'Via');
INSERT INTO Rifiuti VALUES ('150104', 'imballaggi metallici', NULL);
INSERT INTO SezCons (scID, saID, rifCod, scQta, ferroQta, vetroQta, alluminioQta, cartaQta, plasticaQta, legnoQta,
  altroQta) VALUES (1, 7, '150104', 99999999999, 99999999999, 99999999999, 99999999999, 99999999999, 99999999999,
  99999999999, 99999999999);
INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, mdcQta, mdcUmi) VALUES
  (101, 1, 2, 'MMMMSM80A01H501U', 'RICICLO SPA', 15, 146, 'Via Roma', 99999999999, 1),
  (102, 1, 2, 'WWWWWWWWWWWWWWWW', 'RECUPERI SRL', 15, 146, 'Via Roma', 10000, 2);
INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta, Umi) VALUES (101, 1, 'R13', 99999990000, 1);
INSERT INTO skSbop (saID, codFisc, ragSoc, sksBorse, sks50Micron, pmBorse) VALUES
  (7, 'MNGDNC80H01H501X', 'BORSE ITALIA SRL', 9999999990000, 125000, 9999999);
INSERT INTO skMat (skmID, saID, codFisc, ragSoc) VALUES (1, 7, 'MMMMSM80A01H501U', 'IMBALLI SRL');
INSERT INTO RecMat (skmID, skmTipo, qtaProdVuoti, qtaProdPieni, qtaImpVuoti) VALUES
  (1, 101, 99999990000, 12345678912, 99999999000);
INSERT INTO RecRiu (saID, riuTipo, qtaAlimentare, qtaAltriUsi) VALUES (7, 1, 99999999000, 5);
)SQL";

// Every figure of the fixture as the print must show it.
const char *const FullDeclarationTexts[] = {
    "SA1 - Sezione anagrafica", "RSSMRA80A01H501U", "Rossi Imballaggi", "123456", "ROMA", "RM",
    "Via Appia", "00118", "06 5551234", "25.11.00", "1.250", "11", "MILANO", "MI",
    "Corso Buenos Aires", "7B", "20121", "02 7654321", "Rossi", "Mario", "15/03/2022", "20/01/2022",
    "Scheda CONS", "150104", "imballaggi metallici", "1.234.567,891 t", "1,500 Kg", "22,250 t",
    "333,125 Kg", "4.444,000 t", "0,001 Kg", "55.555,500 t", "666.666,666 Kg", "98,765 Kg",
    "Modulo UO-CONS", "01234567897", "RACCOLTA DIFFERENZIATA DEL NORD-EST SOCIETA CONSORTILE A RESP. LIMITATA",
    "BELLUNO", "BL", "Via delle Industrie", "15/A", "32100", "38.11.00", "Pubblica", "7.777,777 t",
    "ENTSORGUNG GMBH", "ABFALLWIRTSCHAFTSVERBANDSGESELLSCHAFTFUERVERPACKUNGSRUECKNAHME", "Austria", "Privata", "12,500 Kg", "Modulo DR-CONS", "BNCLRA70B41F205X",
    "RICICLO SPA", "Via Roma", "8.888,888 t", "100,500 t", "2,250 Kg", "3,125 t", "RECYCLING AG",
    "GB040", "9,999 Kg", "CARTIERA VENETA", "17.12.00", "1,000 t",
    "Scheda SBOP", "03456789014", "BORSE ITALIA SRL", "1.000", "2,5", "7,125", "8,250", "9,375",
    "10,100", "11,200", "12,300",
    "Scheda SMAT", "04567890128", "IMBALLI SRL", "1,1", "2,2", "3,3", "4,4", "5,5", "6,6", "10,5",
    "20,5", "30,5", "40,5", "50,5", "60,5",
    "Scheda SRIU", "Pallet in legno", "11,5", "12,75", "0,25",
    "Scheda STIP", "Cassette in plastica", "13,5", "14,25"};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString &file, int page = 0)
{
    QStringList arguments;
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    return run(QStringLiteral("pdftotext"), arguments << file << QStringLiteral("-"));
}

int pdfPages(const QString &file)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {file}));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// Wrapped lines break a value anywhere: compare without the blanks.
QString squeezed(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s+")));
}

// Every page says which one it is, out of how many.
void checkPageNumbers(const QString &file)
{
    const int pages = pdfPages(file);
    QVERIFY(pages > 0);
    for (int page = 1; page <= pages; ++page)
        QVERIFY2(pdfText(file, page).contains(QStringLiteral("Pagina %1 di %2").arg(page).arg(pages)),
                 qPrintable(QString::number(page)));
}

// Nothing runs past the margins: every word lies inside 15 mm at the sides
// and 10 mm at top and foot of the A4 page (595 x 842 points).
void checkInsideMargins(const QString &file)
{
    const QString boxes = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)<"));
    int words = 0;
    for (auto it = word.globalMatch(boxes); it.hasNext(); ++words) {
        const QRegularExpressionMatch m = it.next();
        QVERIFY2(m.captured(1).toDouble() >= 42 && m.captured(3).toDouble() <= 553.5
                     && m.captured(2).toDouble() >= 28 && m.captured(4).toDouble() <= 814,
                 qPrintable(m.captured(5)));
    }
    QVERIFY(words > 100);
}

// Pictures of the first pages, for a person to look at.
void renderPages(const QString &file, const QString &name, int pages)
{
    const QString dir = QStringLiteral(KEZ_PICTURES_DIR);
    QDir().mkpath(dir);
    QFile::remove(dir + QLatin1Char('/') + name + QStringLiteral(".pdf"));
    QFile::copy(file, dir + QLatin1Char('/') + name + QStringLiteral(".pdf"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("70"),
                                     QStringLiteral("-l"), QString::number(pages), file,
                                     dir + QLatin1Char('/') + name});
}

// The text of each page in the order it was painted, blanks made single.
QStringList pageTexts(const QString &file)
{
    QStringList pages = run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), file, QStringLiteral("-")})
                            .split(QLatin1Char('\f'));
    for (QString &page : pages)
        page = page.simplified();
    return pages;
}

int pageOf(const QStringList &pages, const QString &phrase)
{
    return int(std::find_if(pages.begin(), pages.end(), [&](const QString &p) { return p.contains(phrase); })
               - pages.begin());
}

// A value printed whole: a word of its own, never two words painted one
// after the other that join into it (as "9." over "999.999,900").
bool unbroken(const QStringList &pages, const QString &value)
{
    bool whole = false;
    for (const QString &page : pages) {
        const QStringList words = page.split(QLatin1Char(' '));
        for (int i = 0; i < words.size(); ++i) {
            whole = whole || words[i] == value;
            if (i > 0 && words[i - 1] + words[i] == value)
                return false;
        }
    }
    return whole;
}

// The box of a print that could not be written: the file and the cause.
void checkRefusal(const MessageBoxSeam::Asked &box, const QString &kind, const QString &reason)
{
    QCOMPARE(box.style, 16);
    const QRegularExpression text(QStringLiteral("^Attenzione, impossibile scrivere il file .*/Kez22imb_%1_[0-9A-F_]+\\.pdf:\n%2$")
                                      .arg(kind, QRegularExpression::escape(reason)));
    QVERIFY2(text.match(box.text).hasMatch(), qPrintable(box.text));
}

QStringList prints(const QString &kind)
{
    return QDir(gKez->Path()).entryList({QStringLiteral("Kez22imb_") + kind + QStringLiteral("_*.pdf")},
                                        QDir::Files, QDir::Name);
}

} // namespace

// Printing a declaration and the list of declarations: what the PDF holds,
// where it goes, what it replaces and that the viewer is asked to open it.
class tst_PrintMod : public MainWindowTestCase
{
    Q_OBJECT

    bool start(const QString &extraSql, int sa1ID)
    {
        if (!startProgram(ShellFixture::lookupRows() + extraSql,
                          QStringLiteral("[Kez]\nSa1ID=%1\n").arg(sa1ID)))
            return false;
        DesktopSeam::clearOpened();
        return true;
    }

private Q_SLOTS:
    void declarationWithEverySection()
    {
        QVERIFY(start(QString::fromUtf8(FullDeclaration), 7));
        QCOMPARE(gKez->Sa1ID, 7);
        // Earlier prints: the older declaration goes, the list stays, and
        // an entry that cannot be removed is left without stopping the print.
        QFile old(gKez->Path() + QStringLiteral("Kez22imb_prn_1234ABCD.pdf"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        QFile list(gKez->Path() + QStringLiteral("Kez22imb_lst_20220101_101010.pdf"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.close();
        QVERIFY(QDir(gKez->Path()).mkdir(QStringLiteral("Kez22imb_prn_0.pdf")));

        QString written;
        DialogDriver::onNextDialog([&written](QWidget *dialog) {
            auto *form = qobject_cast<prnDich *>(dialog);
            QVERIFY(form);
            QCOMPARE(modMain::currentForm, 107);
            QVERIFY(form->labDich->text().contains(QStringLiteral("Rossi Imballaggi")));
            for (QCheckBox *box : form->chk)
                QVERIFY(box->isEnabled() && box->isChecked());
            TestSupport::grab(form, QStringLiteral("prnDich"));
            form->slb_Click(0);
            written = form->fileStampato();
        });
        modMain::gMain->smp_Click(0);
        QVERIFY(DialogDriver::allRan());

        QVERIFY(QRegularExpression(QStringLiteral("/Kez22imb_prn_[0-9A-F]+\\.pdf$")).match(written).hasMatch());
        QCOMPARE(DesktopSeam::opened(), QStringList{written});
        QCOMPARE(prints(QStringLiteral("prn")), QStringList{QFileInfo(written).fileName()});
        QVERIFY(list.exists());
        QVERIFY(QFileInfo(gKez->Path() + QStringLiteral("Kez22imb_prn_0.pdf")).isDir());
        QVERIFY(MessageBoxSeam::asked().isEmpty());

        renderPages(written, QStringLiteral("prnDich-page"), 8);
        const QString text = squeezed(pdfText(written));
        for (const char *expected : FullDeclarationTexts)
            QVERIFY2(text.contains(squeezed(QString::fromUtf8(expected))), expected);
        QVERIFY(text.indexOf(QStringLiteral("R2100,500")) < text.indexOf(QStringLiteral("R102,250")));
        checkPageNumbers(written);
        checkInsideMargins(written);
    }

    // A value stored with another type is printed as it is stored, never
    // as another number; a read that fails stops the print with the
    // connection's own error, and no file is written.
    void storedValuesPrintedAsStored_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("printed");
        QTest::newRow("employees") << "UPDATE SezAnag SET Addetti = 2.7 WHERE saID = 7" << "Totale addetti unità locale: 2.7";
        QTest::newRow("unit") << "UPDATE SezCons SET scUmi = 1.5 WHERE scID = 2" << "98,765 1.5";
        QTest::newRow("quantity as text") << "UPDATE SezCons SET cartaQta = 'abc' WHERE scID = 1" << "abc t";
        QTest::newRow("surface") << "UPDATE ModCons SET mdcSup = 2.5 WHERE mdcTipo = 1"
                                 << "Quantità raccolta nell'anno: 2.5";
        QTest::newRow("flag") << "UPDATE SezAnag SET saAnnulla = 'abc' WHERE saID = 7" << "precedente del: abc";
        QTest::newRow("beyond any amount") << "UPDATE RecRiu SET qtaAlimentare = 1e308 WHERE riuTipo = 1"
                                           << "1.0e+308";
        QTest::newRow("column gone") << "ALTER TABLE SezCons DROP COLUMN ferroQta" << QString();
    }
    void storedValuesPrintedAsStored()
    {
        QFETCH(QString, change);
        QFETCH(QString, printed);
        QVERIFY(start(QString::fromUtf8(FullDeclaration), 7));
        QVERIFY(modMain::gDb->Execute(change));
        MessageBoxSeam::clearAsked();
        const QString file = PrintMod::stampaDichiarazione(7, 63);
        if (printed.isEmpty()) {
            QVERIFY(file.isEmpty() && prints(QStringLiteral("prn")).isEmpty());
            QCOMPARE(MessageBoxSeam::asked().size(), 1);
            QVERIFY(MessageBoxSeam::asked().first().text.contains(QStringLiteral("l'archivio non ha la forma attesa")));
            return;
        }
        QVERIFY2(squeezed(pdfText(file)).contains(squeezed(printed)), qPrintable(pdfText(file)));
    }

    // A print the disk refuses (a RAM file system filled up, or files
    // limited in size): the user is told, no viewer opens, nothing new stays
    // in the folder, the older print is kept; with room again the print
    // goes through and only then replaces the older one.
    void printOnFullDisk_data()
    {
        QTest::addColumn<bool>("list");
        QTest::addColumn<bool>("ram");
        QTest::addColumn<QString>("reason");
        const QString full = QStringLiteral("spazio su disco esaurito.");
        const QString limit = QStringLiteral("dimensione massima dei file superata.");
        QTest::newRow("declaration, full RAM disk") << false << true << full;
        QTest::newRow("list, full RAM disk") << true << true << full;
        QTest::newRow("declaration, file size limit") << false << false << limit;
        QTest::newRow("list, file size limit") << true << false << limit;
    }

    void printOnFullDisk()
    {
        QFETCH(bool, list);
        QFETCH(bool, ram);
        QFETCH(QString, reason);
        const QString folder = fx->folder();
        std::optional<SmallDisk> disk;
        if (ram)
            disk.emplace(folder, false, "size=4m");
        if (disk && !disk->ok())
            QSKIP("No RAM file system can be mounted here; the file size limit rows cover the same ground.");
        QVERIFY(start(QString::fromUtf8(FullDeclaration), 7));
        const QString kind = list ? QStringLiteral("lst") : QStringLiteral("prn");
        QFile older(gKez->Path() + (list ? QStringLiteral("Kez22imb_lst_20220101_101010.pdf")
                                         : QStringLiteral("Kez22imb_prn_1234ABCD.pdf")));
        QVERIFY(older.open(QIODevice::WriteOnly) && older.write("%PDF older") == 10);
        older.close();
        const auto print = [list] { return list ? PrintMod::stampaElenco(0) : PrintMod::stampaDichiarazione(7, 63); };
        {
            // Filled but for 8 KB, or files of the process kept under 4 KB.
            QFile filler(folder + QStringLiteral("/filler"));
            QVERIFY(!ram || filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (ram && filler.write(QByteArray(4096, 'x')) == 4096) {
            }
            QVERIFY(!ram || filler.resize(filler.size() - 8192));
            rlimit old {};
            getrlimit(RLIMIT_FSIZE, &old);
            const rlimit limit{ram ? old.rlim_cur : 4096, old.rlim_max};
            std::signal(SIGXFSZ, SIG_IGN);
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
            const auto restore = qScopeGuard([old] { setrlimit(RLIMIT_FSIZE, &old); });
            const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
            QVERIFY(print().isEmpty());
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), before);
            filler.remove();
        }
        QVERIFY(DesktopSeam::opened().isEmpty());
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        checkRefusal(MessageBoxSeam::asked()[0], kind, reason);
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("%PDF older"));
        older.close();

        const QString written = print();
        QCOMPARE(DesktopSeam::opened(), QStringList{written});
        QCOMPARE(prints(kind), QStringList{QFileInfo(written).fileName()});
        QVERIFY(pdfPages(written) > 0);
    }

    // A folder the user may not write in: the box names the cause, no
    // viewer opens, nothing is left in the folder.
    void printRefusedByTheFolder_data()
    {
        QTest::addColumn<bool>("list");
        QTest::addColumn<bool>("disk");
        QTest::addColumn<QString>("reason");
        QTest::newRow("list, folder without write permission") << true << false << "permesso negato.";
        QTest::newRow("declaration, read-only file system") << false << true << "file system di sola lettura.";
    }
    void printRefusedByTheFolder()
    {
        QFETCH(bool, list);
        QFETCH(bool, disk);
        QFETCH(QString, reason);
        QVERIFY(start(QString::fromUtf8(FullDeclaration), 7));
        const QString folder = fx->folder();
        // The folders above it let the user through: the folder itself, or
        // its disk, is what refuses.
        const QString above = QFileInfo(QDir(folder).absolutePath()).absolutePath();
        const QFileDevice::Permissions open = QFile::permissions(folder);
        const QFileDevice::Permissions aboveOpen = QFile::permissions(above);
        QVERIFY(QFile::setPermissions(above, QFileDevice::Permissions(0x7755)));
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(folder, open);
            QFile::setPermissions(above, aboveOpen);
        });
        std::optional<SmallDisk> readOnly;
        if (disk)
            readOnly.emplace(folder, true, "size=64k");
        if (readOnly && !readOnly->ok())
            QSKIP("a read-only file system cannot be mounted here (it takes root)");
        if (!disk)
            QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x5555)));
        const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
        {
            OrdinaryUser user;
            if (!user.ok())
                QSKIP("the test cannot act as an ordinary user here");
            QVERIFY(list ? PrintMod::stampaElenco(0).isEmpty() : PrintMod::stampaDichiarazione(7, 63).isEmpty());
        }
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), before);
        QVERIFY(DesktopSeam::opened().isEmpty());
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        checkRefusal(MessageBoxSeam::asked()[0], list ? QStringLiteral("lst") : QStringLiteral("prn"), reason);
    }

    // A consortia sheet whose modules run over pages; the widest figures
    // and codes the fields allow, in both prints.
    void layoutAtTheEdges()
    {
        QVERIFY(start(QString::fromUtf8(EdgeDeclaration), 7));
        const QString file = fx->folder() + QStringLiteral("/edge.pdf");
        // Each origin module added moves the destination list down the page,
        // so that its heading meets the foot of a page somewhere.
        for (int k = 1; k <= 16; ++k) {
            QVERIFY(modMain::gDb->Execute(
                QStringLiteral("INSERT INTO ModCons (scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, "
                               "mdcQta, mdcUmi, mdcAtt, mdcSup) VALUES (1, 1, 'MNGDNC80H01H501X', ?, 58, 91, 'Via "
                               "Tuscolana', ?, 99999999999, 2, '381100', ?)"),
                {QStringLiteral("SOCIETA DI RACCOLTA %1 ").arg(k).repeated(k % 4 + 1), k, k % 2 ? 0 : 3}));
            PdfPages doc(file, gKez->Caption());
            QVERIFY(PrintMod::disegnaDichiarazione(doc, 7, PrintMod::SezCONS) && doc.write());
            const QStringList pages = pageTexts(file);
            const int drPage = pageOf(pages, QStringLiteral("Modulo DR-CONS - Elenco unità locali di destinazione"));
            QVERIFY2(drPage < pages.size() && drPage == pageOf(pages, QStringLiteral("Modulo DR-CONS 1 di 2")), qPrintable(QString::number(k)));
            QCOMPARE(pageOf(pages, QStringLiteral("Modulo UO-CONS - Elenco unità locali di origine")),
                     pageOf(pages, QStringLiteral("Modulo UO-CONS 1 di %1").arg(k)));
            // What a page shows first, after its header and page number.
            const int count = pages.size() - 1;
            for (int page = 2; page <= count; ++page)
                QVERIFY2(pages[page - 1].contains(QStringLiteral("Pagina %1 di %2 Scheda CONS 1 di 1 - 150104 (segue)")
                                                      .arg(page).arg(count)),
                         qPrintable(QStringLiteral("%1 modules, page %2").arg(k).arg(page)));
            if (k == 16) {
                QVERIFY(count >= 3);
                renderPages(file, QStringLiteral("edge-cons"), 3);
                QCOMPARE(pages.join(QLatin1Char(' ')).count(QStringLiteral("Superficie: Pubblica")), k);
            }
        }

        const QString declaration = PrintMod::stampaDichiarazione(7, 63);
        renderPages(declaration, QStringLiteral("edge-dich"), 8);
        for (const char *value : {"MMMMSM80A01H501U", "MNGDNC80H01H501X", "WWWWWWWWWWWWWWWW", "999999999",
                                  "9.999.999,9999", "9.999.999,000", "999.999.999", "12,5", "999,9999",
                                  "9.999.999,0", "1.234.567,8912", "9.999.999,9", "0,0005"})
            QVERIFY2(unbroken(pageTexts(declaration), QString::fromUtf8(value)), value);
        checkInsideMargins(declaration);
        const QString list = PrintMod::stampaElenco(0);
        renderPages(list, QStringLiteral("edge-list"), 1);
        for (const char *code : {"MMMMSM80A01H501U", "MNGDNC80H01H501X", "WWWWWWWWWWWWWWWW"})
            QVERIFY2(unbroken(pageTexts(list), QString::fromUtf8(code)), code);
        QVERIFY(MessageBoxSeam::asked().isEmpty());
    }

    void sectionsAndDeclarationMissing()
    {
        // Only the registry sheet is stored; then no declaration at all.
        QVERIFY(start(QString(), 7));
        prnDich form(modMain::gMain);
        QVERIFY(form.chk[0]->isEnabled() && form.chk[0]->isChecked());
        for (int i = 1; i < form.chk.size(); ++i)
            QVERIFY(!form.chk[i]->isEnabled() && !form.chk[i]->isChecked());
        form.chk[0]->setChecked(false);
        form.slb_Click(0);
        gKez->Sa1ID = 0;
        prnDich none(modMain::gMain);
        QVERIFY(!none.chk[0]->isEnabled());
        none.slb_Click(0);
        // Another declaration chosen from the list of those entered.
        DialogDriver::onNextDialog([](QWidget *dialog) {
            auto *list = qobject_cast<listBase *>(dialog);
            QVERIFY(list);
            for (int i = 0; i < list->lv->topLevelItemCount(); ++i)
                if (list->lv->topLevelItem(i)->text(1).contains(QStringLiteral("Via Nuova")))
                    list->lv->setCurrentItem(list->lv->topLevelItem(i));
            list->tbb_Click(0);
        });
        none.slb_Click(2);
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(none.saID(), 8);
        QVERIFY(none.labDich->text().contains(QStringLiteral("Ditta Senza Comune")));
        QVERIFY(none.chk[0]->isEnabled() && none.chk[0]->isChecked());

        const QList<MessageBoxSeam::Asked> asked = MessageBoxSeam::asked();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].text, QStringLiteral("Attenzione, nessuna sezione selezionata."));
        QCOMPARE(asked[1].text, QStringLiteral("Attenzione, nessuna dichiarazione selezionata."));
        QVERIFY(DesktopSeam::opened().isEmpty());
        QVERIFY(prints(QStringLiteral("prn")).isEmpty());
    }

    // Both print dialogs open with "Stampa" highlighted: Enter prints, as
    // a click would, and the viewer is asked to show the file.
    void enterPrintsFromTheMenu_data()
    {
        QTest::addColumn<int>("menu");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("declaration") << 0 << "Kez22imb_prn_";
        QTest::newRow("list of declarations") << 10 << "Kez22imb_lst_";
    }

    void enterPrintsFromTheMenu()
    {
        QFETCH(int, menu);
        QFETCH(QString, prefix);
        QVERIFY(start(QString::fromUtf8(FullDeclaration), 7));
        modMain::gMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(modMain::gMain));
        QString focused;
        bool closedByEnter = false;
        DialogDriver::onNextDialog([&focused, &closedByEnter](QWidget *dialog) {
            if (!TestSupport::activate(dialog))
                return;
            auto *button = qobject_cast<slxButton *>(QApplication::focusWidget());
            focused = button ? button->Caption() : QString();
            TestSupport::grab(dialog, QStringLiteral("Enter-") + dialog->objectName());
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
            closedByEnter = !dialog->isVisible();
            if (!closedByEnter)
                dialog->close();
        });
        modMain::gMain->smp_Click(menu);
        QVERIFY(DialogDriver::allRan());
        QCOMPARE(focused, QStringLiteral("Stampa"));
        QVERIFY(closedByEnter);
        QCOMPARE(DesktopSeam::opened().size(), 1);
        QVERIFY2(QFileInfo(DesktopSeam::opened().first()).fileName().startsWith(prefix),
                 qPrintable(DesktopSeam::opened().first()));
        QVERIFY(MessageBoxSeam::asked().isEmpty());
        QCOMPARE(modMain::currentForm, 100);
    }

    void listOfSeveralChambers()
    {
        // 150 declarations in Rome run over several pages; Sappada is served
        // by the chamber of Udine although it lies in the province of Belluno.
        QVERIFY(start(QStringLiteral(
                          "INSERT INTO Comuni (prvIstat, comIstat, comDesc, comCap, comCCIAA) VALUES "
                          "(25, 47, 'SAPPADA', '32047', 30);"
                          "INSERT INTO SezAnag (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, ExpID) "
                          "VALUES ('05678901231', 'ALFA SRL', 15, 146, 'Via Dante', '4', '20121', 0),"
                          "('06789012345', 'SAPPADA LEGNAMI', 25, 47, 'Borgata Bach', '9', '32047', 2);"
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 150) "
                          "INSERT INTO SezAnag (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, ExpID) "
                          "SELECT printf('9%010d', i), printf('ZETA %03d SOCIETA PER AZIONI CON UN NOME "
                          "MOLTO LUNGO', i), 58, 91, 'Via Tuscolana', i, '00118', i % 2 FROM n;"),
                      7));
        QFile older(gKez->Path() + QStringLiteral("Kez22imb_lst_20220101_101010.pdf"));
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.close();

        prnList form(modMain::gMain);
        QCOMPARE(modMain::currentForm, 108);
        TestSupport::grab(&form, QStringLiteral("prnList"));
        QCOMPARE(form.cmbCCIAA->itemData(0).toInt(), 0);
        form.slb_Click(0);
        const QString all = form.fileStampato();
        QVERIFY(QRegularExpression(QStringLiteral("/Kez22imb_lst_\\d{8}_\\d{6}\\.pdf$")).match(all).hasMatch());
        QCOMPARE(DesktopSeam::opened(), QStringList{all});
        QCOMPARE(prints(QStringLiteral("lst")), QStringList{QFileInfo(all).fileName()});

        renderPages(all, QStringLiteral("prnList-page"), 3);
        const QString text = squeezed(pdfText(all));
        const QStringList inOrder{QStringLiteral("CameradicommerciodiMILANO"), QStringLiteral("05678901231ALFASRL"),
                                  QStringLiteral("12345678903DittaSenzaComune"),
                                  QStringLiteral("CameradicommerciodiROMA"), QStringLiteral("RossiImballaggi"),
                                  QStringLiteral("ViaAppia12"), QStringLiteral("ZETA001"),
                                  QStringLiteral("ZETA150"), QStringLiteral("CameradicommerciodiUDINE"),
                                  QStringLiteral("SAPPADALEGNAMI")};
        int at = -1;
        for (const QString &piece : inOrder) {
            const int next = text.indexOf(piece, at + 1);
            QVERIFY2(next > at, qPrintable(piece));
            at = next;
        }
        QVERIFY(text.contains(QStringLiteral("BorgataBach9")) && text.contains(QStringLiteral("32047SAPPADA")));
        QVERIFY(text.contains(QStringLiteral("Dichiarazionielencate:154")));
        QVERIFY(text.contains(QStringLiteral("StudioRossi-C.F.00743110157")));
        checkPageNumbers(all);
        checkInsideMargins(all);
        const int pages = pdfPages(all);
        QVERIFY(pages >= 3);
        for (int page = 1; page <= pages; ++page)
            QVERIFY(pdfText(all, page).contains(QStringLiteral("Indirizzo unità locale")));
        renderPages(all, QStringLiteral("prnList-page"), 3);

        // One chamber only; then one without declarations.
        form.cmbCCIAA->setCurrentIndex(form.cmbCCIAA->findData(58));
        form.slb_Click(0);
        const QString rome = squeezed(pdfText(form.fileStampato()));
        QVERIFY(rome.contains(QStringLiteral("ZETA150")) && !rome.contains(QStringLiteral("ALFASRL")));
        form.cmbCCIAA->setCurrentIndex(form.cmbCCIAA->findData(72));
        form.slb_Click(0);
        QVERIFY(form.fileStampato().isEmpty());
        QCOMPARE(MessageBoxSeam::asked().size(), 1);
        QCOMPARE(MessageBoxSeam::asked()[0].text, QStringLiteral("Attenzione, nessuna dichiarazione da stampare."));
    }
};

QTEST_MAIN(tst_PrintMod)
#include "tst_PrintMod.moc"
