// Printing the largest declarations and lists an office keeps: one
// declaration with 200 consortia sheets and 1,000 modules, and a list of
// 10,000 declarations. Prints the pages written and the milliseconds per
// page (layout and writing), against a raw baseline that paints the same
// number of pages with 60 lines of text and boxes each, without reading
// the database or laying anything out. A folder given on the command line
// keeps the two PDFs for a look.
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <functional>

#include "BenchSupport.h"
#include "KezCollation.h"
#include "PdfPages.h"
#include "PrintMod.h"
#include "dbClass.h"
#include "kezClass.h"
#include "modMain.h"
#include "modalClass.h"

using namespace BenchSupport;

namespace {

const char *const Data = R"SQL(
INSERT INTO Province (prvIstat, prvDesc, prvSigla, prvCCIAA) VALUES (15, 'MILANO', 'MI', 15),
  (58, 'ROMA', 'RM', 58), (25, 'BELLUNO', 'BL', 25), (30, 'UDINE', 'UD', 30);
INSERT INTO Comuni (prvIstat, comIstat, comDesc, comCap, comCCIAA) VALUES (15, 146, 'MILANO', '20121', 0),
  (58, 91, 'ROMA', '00118', 0), (25, 6, 'BELLUNO', '32100', 0), (25, 47, 'SAPPADA', '32047', 30);
INSERT INTO Nazioni VALUES (40, 'Austria');
INSERT INTO Setup (codFisc, ragSoc) VALUES ('00743110157', 'STUDIO ROSSI');
INSERT INTO SezAnag (saID, saAnno, codFisc, ragSoc, REA, prvIstat, comIstat, via, civico, cap, attIstat,
  Addetti, Mesi, slPrvIstat, slComIstat, slVia, slCivico, slCAP, saCognome, saNome, saDataComp)
  VALUES (1, 2021, 'RSSMRA80A01H501U', 'ROSSI IMBALLAGGI E RECUPERI DI MATERIALI DA COSTRUZIONE S.P.A.', 123456, 58, 91,
  'VIA APPIA NUOVA', '1200', '00118', '381100', 250, 12, 15, 146, 'CORSO BUENOS AIRES', '7', '20121',
  'ROSSI', 'MARIO', '2022-03-15');
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200)
INSERT INTO SezCons (saID, rifCod, scQta, scUmi, ferroQta, vetroQta, alluminioQta, cartaQta, plasticaQta,
  legnoQta, altroQta) SELECT 1, printf('%06d', 150000 + i), i * 123456789, 1 + i % 2, i * 1000, i * 2000,
  i * 3000, i * 4000, i * 5000, i * 6000, i * 7000 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)
INSERT INTO ModCons (scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, nazID, regCE,
  mdcQta, mdcUmi, mdcAtt, mdcSup)
  SELECT (i - 1) / 5 + 1, CASE WHEN i % 5 < 2 THEN 1 ELSE 2 END, printf('%011d', i),
  printf('SOCIETA DI RACCOLTA E RECUPERO NUMERO %04d A RESPONSABILITA LIMITATA', i),
  CASE WHEN i % 7 = 0 THEN 0 ELSE 25 END, CASE WHEN i % 7 = 0 THEN 0 ELSE 6 END, 'VIA DELLE INDUSTRIE',
  i, '32100', CASE WHEN i % 7 = 0 THEN 40 ELSE 0 END, CASE WHEN i % 7 = 0 THEN 'GB040' END,
  i * 98765, 2, '381100', 1 + i % 2 FROM n;
INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta, Umi)
  SELECT mdcID, 1, 'R3', mdcQta / 2, 2 FROM ModCons WHERE mdcTipo = 2
  UNION ALL SELECT mdcID, 1, 'R13', mdcQta / 4, 2 FROM ModCons WHERE mdcTipo = 2
  UNION ALL SELECT mdcID, 2, 'D15', mdcQta / 4, 2 FROM ModCons WHERE mdcTipo = 2;
WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 10001)
INSERT INTO SezAnag (saID, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, ExpID)
  SELECT i, printf('%011d', i * 7), printf('DITTA %05d DI PRODUZIONE IMBALLAGGI SRL', i),
  CASE i % 4 WHEN 0 THEN 15 WHEN 1 THEN 58 ELSE 25 END, CASE i % 4 WHEN 0 THEN 146 WHEN 1 THEN 91
  WHEN 2 THEN 6 ELSE 47 END, 'VIA DEL LAVORO', i, '00100', i % 3 FROM n;
)SQL";

bool buildDatabase(const QString &path)
{
    const QString schema = readSource("data/schema.sql");
    if (schema.isEmpty())
        return false;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return false;
    KezCollation::registerOn(db);
    const QByteArray sql = schema.toUtf8() + "\n" + Data;
    char *message = nullptr;
    const bool ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK;
    if (!ok)
        std::fprintf(stderr, "%s\n", message);
    sqlite3_free(message);
    sqlite3_close(db);
    return ok;
}

// Pages with as much text and as many boxes as a full page of the list.
double rawPerPage(const QString &file, int pages)
{
    const CpuTimer t;
    QPdfWriter writer(file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter p(&writer);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(8.5);
    p.setFont(font);
    const int line = writer.resolution() / 6;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        for (int i = 0; i < 60; ++i) {
            p.drawRect(QRect(0, i * line, line * 40, line));
            p.drawText(QPoint(line / 4, i * line + line * 3 / 4),
                       QStringLiteral("%1 DITTA %2 DI PRODUZIONE IMBALLAGGI SRL VIA DEL LAVORO %2")
                           .arg(page)
                           .arg(i));
        }
    }
    p.end();
    return t.ms() / pages;
}

void report(const char *what, const QString &file, const std::function<void(PdfPages &)> &draw,
            const QString &rawFile)
{
    const CpuTimer t;
    PdfPages doc(file, modMain::gKez->Caption());
    draw(doc);
    const double layout = t.ms();
    doc.write();
    const double total = t.ms();
    const int pages = doc.pageCount();
    const double raw = rawPerPage(rawFile, pages);
    std::printf("%-34s %5d pages  layout %8.1f ms  total %8.1f ms  %6.2f ms/page  "
                "raw %5.2f ms/page  ratio %4.2f\n",
                what, pages, layout, total, total / pages, raw, total / pages / raw);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Kez22imb.db"));
    if (!buildDatabase(db))
        return 1;
    QFile ini(dir.filePath(QStringLiteral("Kez22imb.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        return 1;
    ini.write("[PATH]\nkez2021=" + QFile::encodeName(db) + "\n");
    ini.close();
    modMain::installServices();
    modMain::gKez = std::make_unique<kezClass>(QStringList(), dir.path());
    modMain::gModal = std::make_unique<modalClass>();
    modMain::gDb = std::make_unique<dbClass>();
    if (!modMain::gDb->openKezDb())
        return 1;

    const QString raw = dir.filePath(QStringLiteral("raw.pdf"));
    report("declaration, 200 sheets, 1,000 modules", dir.filePath(QStringLiteral("dich.pdf")),
           [](PdfPages &doc) { PrintMod::disegnaDichiarazione(doc, 1, 63); }, raw);
    report("list of 10,001 declarations", dir.filePath(QStringLiteral("list.pdf")),
           [](PdfPages &doc) { PrintMod::disegnaElenco(doc, 0); }, raw);

    if (argc > 1) {
        for (const char *name : {"dich.pdf", "list.pdf"}) {
            const QString target = QFile::decodeName(argv[1]) + QLatin1Char('/') + QLatin1String(name);
            QFile::remove(target);
            QFile::copy(dir.filePath(QLatin1String(name)), target);
        }
    }
    modMain::gDb.reset();
    modMain::gModal.reset();
    modMain::gKez->setWriteOnRelease(false);
    modMain::gKez.reset();
    return 0;
}
