// Verification, export and import of a year's work: 1,000 declarations,
// then an office's 10,000 (about 150 MB of file), each with 5 consortia
// sheets of 4 destination modules with 3 operations, and the SMAT, SBOP,
// SRIU and STIP cards. The import is set against libxml2's own parse and
// schema validation of the same file (what `xmllint --noout --schema`
// does); the peak memory of the export and the import is taken above what
// the program held before each; two files at fault show how soon the
// import refuses them, and with how much memory. An argument gives other
// counts ("bench_exchange 2000").
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include "BenchSupport.h"
#include "Connection.h"
#include "dbClass.h"
#include "KezXml.h"
#include "Statement.h"
#include "Verifica.h"
#include "expClass.h"
#include "impModClass.h"
#include "kezClass.h"
#include "modMain.h"

using namespace BenchSupport;

namespace {

const char *const Codes[] = {"150101", "150102", "150103", "150104", "150105"};

bool createArchive(const QString &path, int declarations)
{
    Connection cn;
    if (!createDatabase(cn, path, {"data/schema.sql"}))
        return false;
    cn.beginTransaction();
    for (const QString &name : QDir(QStringLiteral(KEZ_SOURCE_DIR "/data/reference"))
                                   .entryList({"*.sql"}, QDir::Files, QDir::Name))
        if (!cn.execute(readSource(qPrintable("data/reference/" + name))))
            return false;
    if (declarations > 0) {
        Statement sa(cn, "INSERT INTO SezAnag (saAnno, codFisc, ragSoc, REA, prvIstat, comIstat, via, civico, cap, "
                         "attIstat, Addetti, Mesi, slPrvIstat, slComIstat, slVia, saCognome, saNome, saDataComp) "
                         "VALUES (2021, '11111111115', ?, 1000, 15, 146, 'VIA ROMA', ?, '20121', '222200', 10, 12, "
                         "15, 146, 'VIA DANTE', 'ROSSI', 'MARIO', '2022-03-15')");
        Statement sc(cn, "INSERT INTO SezCons (saID, rifCod, scQta, scUmi, cartaQta, cartaUmi) "
                         "VALUES (?, ?, 120000000, 1, 50000000, 1)");
        Statement md(cn, "INSERT INTO ModCons (scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, "
                         "mdcQta, mdcUmi) VALUES (?, 2, '12345678903', 'RECUPERI SRL', 15, 146, 'VIA MONZA', '9', "
                         "'20121', 30000000, 1)");
        Statement op(cn, "INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta, Umi) VALUES (?, ?, ?, 10000000, 1)");
        Statement sb(cn, "INSERT INTO skSbop (saID, codFisc, ragSoc, sksBorse, pmBorse) "
                         "VALUES (?, '00743110157', 'BORSE SRL', 1200000, 12340)");
        Statement sm(cn, "INSERT INTO skMat (saID, codFisc, ragSoc) VALUES (?, 'RSSMRA80A01H501U', 'ROSSI MARIO')");
        Statement rm(cn, "INSERT INTO RecMat (skmID, skmTipo, qtaProdVuoti) VALUES (?, ?, 25000)");
        Statement ri(cn, "INSERT INTO RecRiu (saID, riuTipo, qtaAlimentare) VALUES (?, 3, 15000)");
        Statement ti(cn, "INSERT INTO RecTip (saID, tipTipo, qtaPrimari) VALUES (?, 2, 1000)");
        for (int d = 1; d <= declarations; ++d) {
            sa.exec({QStringLiteral("DITTA %1 SRL").arg(d), QString::number(d)});
            const qint64 saID = cn.lastInsertRowId();
            for (const char *code : Codes) {
                sc.exec({saID, QLatin1String(code)});
                const qint64 scID = cn.lastInsertRowId();
                for (int m = 0; m < 4; ++m) {
                    md.exec({scID});
                    const qint64 mdcID = cn.lastInsertRowId();
                    op.exec({mdcID, 1, "R3"});
                    op.exec({mdcID, 1, "R13"});
                    op.exec({mdcID, 2, "D1"});
                }
            }
            sb.exec({saID});
            sm.exec({saID});
            const qint64 skmID = cn.lastInsertRowId();
            rm.exec({skmID, 101});
            rm.exec({skmID, 106});
            ri.exec({saID});
            ti.exec({saID});
        }
    }
    return cn.commit();
}

// libxml2 alone on the same bytes: the parse and the schema check the
// import cannot do without, and the document's release that ends them.
double rawParseAndValidate(const QString &file, const QString &schemaPath, bool &valid)
{
    CpuTimer t;
    xmlSchemaParserCtxtPtr pc = xmlSchemaNewParserCtxt(QFile::encodeName(schemaPath).constData());
    xmlSchemaPtr schema = xmlSchemaParse(pc);
    xmlSchemaFreeParserCtxt(pc);
    t.restart();
    xmlDocPtr doc = xmlReadFile(QFile::encodeName(file).constData(), nullptr, XML_PARSE_NONET | XML_PARSE_COMPACT);
    xmlSchemaValidCtxtPtr vc = xmlSchemaNewValidCtxt(schema);
    valid = doc && xmlSchemaValidateDoc(vc, doc) == 0;
    xmlSchemaFreeValidCtxt(vc);
    xmlFreeDoc(doc);
    const double seconds = t.seconds();
    xmlSchemaFree(schema);
    return seconds;
}

// The export of the archive on cn, into again, is the file first but for
// the export's number and time on its root; read a slice at a time.
bool sameAgain(Connection &cn, const QString &first, const QString &again)
{
    QList<int> ids;
    Statement all(cn, QStringLiteral("SELECT saID FROM SezAnag ORDER BY saID"));
    for (all.exec(); all.hasRow(); all.next())
        ids << int(all.integer(0));
    expClass writer(cn);
    if (!writer.esporta(ids, again, 15))
        return false;
    QFile a(first);
    QFile b(again);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    static const QRegularExpression stamp(QStringLiteral(" (numero|dataOra)=\"[^\"]*\""));
    for (int line = 0; line < 2; ++line)
        if (QString::fromUtf8(a.readLine()).remove(stamp) != QString::fromUtf8(b.readLine()).remove(stamp))
            return false;
    for (;;) {
        const QByteArray x = a.read(1 << 20);
        if (x != b.read(1 << 20))
            return false;
        if (x.isEmpty())
            break;
    }
    QFile::remove(again);
    return true;
}

// The figures of one archive of count declarations, built in folder.
bool measure(const QString &folder, const QString &schemaPath, int count)
{
    // The machine is shared: each figure is the median of a few runs.
    constexpr int Runs = 3;
    const QString source = folder + QStringLiteral("sorgente%1.db").arg(count);
    if (!createArchive(source, count)) {
        std::fprintf(stderr, "cannot build the archive\n");
        return false;
    }
    // The verification runs as the export runs it: checks, marks, report.
    modMain::gDb = std::make_unique<dbClass>();
    modMain::gDb->kezDbFilename = source;
    if (!modMain::gDb->openKezDb()) {
        std::fprintf(stderr, "cannot open the archive\n");
        return false;
    }
    Connection &cn = modMain::gDb->kezCnn;
    const QList<int> ids = Verifica::dichiarazioni(Verifica::Tutte, 0, true);
    std::vector<double> verify, exported, baseline, imported, ratios;
    int errors = 0;
    for (int run = 0; run < Runs; ++run) {
        CpuTimer t;
        Verifica check;
        check.verifica(ids, true);
        errors = check.ko;
        verify.push_back(t.seconds());
    }

    const QString file = folder + QStringLiteral("esportazione%1.xml").arg(count);
    double exportPeak = 0;
    for (int run = 0; run < Runs; ++run) {
        const double before = residentMb();
        resetPeak();
        CpuTimer t;
        expClass writer(cn);
        if (!writer.esporta(ids, file, 15)) {
            std::fprintf(stderr, "export failed: %s\n", qPrintable(writer.errorText));
            return false;
        }
        exported.push_back(t.seconds());
        exportPeak = std::max(exportPeak, peakMb() - before);
    }

    bool valid = false;
    int reports = 0;
    double longestGap = 0;
    double importPeak = 0;
    bool allImported = true;
    bool roundTrip = false;
    QString failure;
    for (int run = 0; run < Runs; ++run) {
        baseline.push_back(rawParseAndValidate(file, schemaPath, valid));
        const QString target = folder + QStringLiteral("destinazione%1_%2.db").arg(count).arg(run);
        if (!createArchive(target, 0))
            return false;
        Connection empty;
        empty.open(target);
        {
            impModClass importer(empty);
            // How often the bar would move, and the longest wait between moves.
            CpuTimer gap;
            reports = 0;
            importer.progress = [&](int, int) {
                longestGap = std::max(longestGap, gap.seconds());
                gap.restart();
                ++reports;
                return true;
            };
            const double before = residentMb();
            resetPeak();
            CpuTimer t;
            const bool done = importer.importa(file) && importer.importate == int(ids.size());
            imported.push_back(t.seconds());
            importPeak = std::max(importPeak, peakMb() - before);
            if (!done)
                failure = importer.errorText;
            allImported = done && allImported;
            ratios.push_back(imported.back() / baseline.back());
            if (run == 0 && done)
                roundTrip = sameAgain(empty, file, folder + QStringLiteral("di nuovo.xml"));
        }
        empty.close();
        QFile::remove(target);
    }

    std::printf("declarations: %d (5 CONS sheets x 4 modules x 3 operations, SMAT, SBOP, SRIU, STIP each)\n",
                int(ids.size()));
    std::printf("file: %.1f MB; medians of %d runs, CPU time\n", double(QFileInfo(file).size()) / (1024 * 1024),
                Runs);
    std::printf("verify:  %7.3f s  (checks with the file's limits, saExp marks and report; %d with errors; "
                "target under 1 s for 1,000)\n", median(verify), errors);
    std::printf("export:  %7.3f s  (includes the file's own schema check; target under 1 s for 1,000); "
                "peak memory %+.0f MB\n", median(exported), exportPeak);
    std::printf("import:  %7.3f s  (%s; %d progress reports, longest gap %.3f s); peak memory %+.0f MB\n",
                median(imported), allImported ? "all imported" : qPrintable("FAILED: " + failure), reports,
                longestGap, importPeak);
    std::printf("round trip: %s\n", roundTrip ? "the archive's export is the file again, but for its number and time"
                                                 : "FAILED, the export of the imported archive differs");
    std::printf("libxml2 parse + validate + free: %7.3f s%s\n", median(baseline), valid ? "" : " (INVALID)");
    std::printf("import / parse+validate: %.2fx (median of the runs' ratios; target within 2x)\n", median(ratios));
    std::printf("memory: target under 150 MB above the level before each job\n\n");
    std::fflush(stdout);
    modMain::gDb.reset();
    QFile::remove(source);
    QFile::remove(file);
    return allImported && valid && roundTrip;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString schemaPath = folder + QStringLiteral("2010-KEZ-dichiarazione.xsd");
    QFile::copy(QStringLiteral(KEZ_SOURCE_DIR "/resources/2010-KEZ-dichiarazione.xsd"), schemaPath);
    modMain::installServices();
    modMain::gKez = std::make_unique<kezClass>(QStringList(), dir.path());
    modMain::gKez->setWriteOnRelease(false);
    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts << QByteArray(argv[i]).toInt();
    if (counts.isEmpty())
        counts = {1000, 10000};
    bool ok = true;
    for (int count : counts)
        ok = measure(folder, schemaPath, count) && ok;

    const QString target = folder + QStringLiteral("rifiuto.db");
    createArchive(target, 0);
    Connection cn;
    cn.open(target);
    // How soon a file at fault is refused, and with how much memory: one
    // that says why (expected) in the box.
    const auto refusal = [&](const char *what, const QByteArray &bytes, const QString &expected) {
        const QString path = folder + QStringLiteral("ostile.xml");
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        out.close();
        const double before = residentMb();
        resetPeak();
        CpuTimer t;
        impModClass refuser(cn);
        const bool refused = !refuser.importa(path) && refuser.errorText.contains(expected);
        std::printf("%s refused in %.1f ms, peak memory %+.0f MB%s\n", what, t.seconds() * 1000,
                    peakMb() - before, refused ? "" : " (NOT REFUSED)");
        QFile::remove(path);
        return refused;
    };
    // One element with 100,000 attributes.
    QByteArray hostile = "<?xml version=\"1.0\"?>\n<esportazione xmlns=\"urn:kez:imballaggi:dichiarazione\"";
    for (int i = 0; i < 100000; ++i)
        hostile += " a" + QByteArray::number(i) + "='x'";
    hostile += "/>";
    bool refused = refusal("100,000-attribute file", hostile, QStringLiteral("attributi"));
    // 256 MB declared US-ASCII, with a byte it lacks near its start.
    QByteArray ascii = "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<esportazione xmlns=\"urn:kez:imballaggi:"
                       "dichiarazione\" versione=\"RAC-IT-06.02.18\" anno=\"2021\" numero=\"1\" "
                       "dataOra=\"2022-01-01T00:00:00\">\n<!-- \xe9 -->\n";
    ascii += QByteArray(256 * 1024 * 1024, ' ') + "</esportazione>\n";
    refused = refusal("256 MB US-ASCII file with a byte it lacks at its start", ascii, QStringLiteral("byte 0xE9"))
        && refused;
    modMain::gKez.reset();
    return ok && refused ? 0 : 1;
}
