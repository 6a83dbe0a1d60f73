// Verification, export and import of a full year's work: 1,000
// declarations, each with 5 consortia sheets of 4 destination modules with
// 3 operations, and the SMAT, SBOP, SRIU and STIP cards. The import is set
// against libxml2's own parse and schema validation of the same file.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

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

constexpr int Declarations = 1000;
const char *const Codes[] = {"150101", "150102", "150103", "150104", "150105"};

bool createArchive(const QString &path, bool withDeclarations)
{
    Connection cn;
    if (!createDatabase(cn, path, {"data/schema.sql"}))
        return false;
    cn.beginTransaction();
    for (const QString &name : QDir(QStringLiteral(KEZ_SOURCE_DIR "/data/reference"))
                                   .entryList({"*.sql"}, QDir::Files, QDir::Name))
        if (!cn.execute(readSource(qPrintable("data/reference/" + name))))
            return false;
    if (withDeclarations) {
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
        for (int d = 1; d <= Declarations; ++d) {
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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QFile::copy(QStringLiteral(KEZ_SOURCE_DIR "/resources/2010-KEZ-dichiarazione.xsd"),
                folder + QStringLiteral("2010-KEZ-dichiarazione.xsd"));
    modMain::installServices();
    modMain::gKez = std::make_unique<kezClass>(QStringList(), dir.path());
    modMain::gKez->setWriteOnRelease(false);
    const QString source = folder + "sorgente.db";
    const QString target = folder + "destinazione.db";
    if (!createArchive(source, true) || !createArchive(target, false)) {
        std::fprintf(stderr, "cannot build the archives\n");
        return 1;
    }

    // The verification runs as the export runs it: checks, marks, report.
    modMain::gDb = std::make_unique<dbClass>();
    modMain::gDb->kezDbFilename = source;
    if (!modMain::gDb->openKezDb()) {
        std::fprintf(stderr, "cannot open the archive\n");
        return 1;
    }
    Connection &cn = modMain::gDb->kezCnn;
    const QList<int> ids = Verifica::dichiarazioni(Verifica::Tutte, 0, true);
    CpuTimer t;
    int errors = 0;
    {
        Verifica run;
        run.verifica(ids, true);
        errors = run.ko;
    }
    const double verify = t.seconds();

    const QString file = folder + "esportazione.xml";
    t.restart();
    expClass writer(cn);
    if (!writer.esporta(ids, file, 15)) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(writer.errorText));
        return 1;
    }
    const double exported = t.seconds();

    t.restart();
    QByteArray data;
    QString error;
    KezXml::readFile(file, data, error);
    KezXml::Document doc = KezXml::parse(data, error);
    const bool valid = doc && KezXml::validate(doc.get(), error);
    const double baseline = t.seconds();
    doc.reset();

    Connection empty;
    empty.open(target);
    t.restart();
    impModClass importer(empty);
    const bool imported = importer.importa(file);
    const double import = t.seconds();

    std::printf("declarations: %d (5 CONS sheets x 4 modules x 3 operations, SMAT, SBOP, SRIU, STIP each)\n",
                int(ids.size()));
    std::printf("file: %.1f MB\n", double(QFileInfo(file).size()) / (1024 * 1024));
    std::printf("verify:  %7.3f s  (checks, saExp marks and report; %d with errors)\n", verify, errors);
    std::printf("export:  %7.3f s  (includes the file's own schema check)\n", exported);
    std::printf("import:  %7.3f s  (%d imported%s)\n", import, importer.importate,
                imported ? "" : ", FAILED");
    std::printf("libxml2 parse + validate: %7.3f s%s\n", baseline, valid ? "" : " (INVALID)");
    std::printf("import / parse+validate: %.2fx (target within 3x)\n", import / baseline);
    modMain::gDb.reset();
    modMain::gKez.reset();
    return imported && valid ? 0 : 1;
}
