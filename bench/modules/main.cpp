// The destination modules of a large consortia sheet: 1,000 modules of 10
// operations each. Measures opening the form from the consortia sheet
// (the press of "Moduli DR-CONS" to its first paint), each
// move of the navigator (the module and its operations shown, and painted)
// and each save of a changed module (module row and operation rows), against
// reading one module with its operations through the raw SQLite API.
#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "Connection.h"
#include "Currency.h"
#include "ModDR_CONS.h"
#include "SK_CONS.h"
#include "hNav.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxGrid.h"
#include "slxText.h"
#include "tbButton.h"

using namespace BenchSupport;

namespace {

constexpr int Modules = 1000;
constexpr int Operations = 10;
constexpr int Openings = 10;
constexpr int Moves = 40;
constexpr int Saves = 20;

bool build(const QString &path)
{
    Connection cn;
    if (!createDatabase(cn, path, {"data/schema.sql", "data/reference/province.sql", "data/reference/comuni.sql"}))
        return false;
    cn.execute(QStringLiteral("INSERT INTO Setup (codFisc, ragSoc) VALUES ('00743110157', 'Studio')"));
    cn.execute(QStringLiteral("INSERT INTO SezAnag (saID, codFisc, ragSoc) VALUES (1, '00743110157', 'Ditta')"));
    cn.execute(QStringLiteral("INSERT INTO SezCons (scID, saID, rifCod, scQta) VALUES (1, 1, '150101', 10000)"));
    cn.beginTransaction();
    for (int m = 1; m <= Modules; ++m) {
        if (!cn.execute(QStringLiteral("INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, "
                                       "comIstat, via, civico, cap, mdcQta, mdcUmi) VALUES "
                                       "(?, 1, 2, ?, ?, 15, 146, 'VIA DEL RECUPERO', '1', '20121', ?, 1)"),
                        {m, QStringLiteral("%1").arg(m, 11, 10, QLatin1Char('0')),
                         QStringLiteral("DESTINO %1 S.R.L.").arg(m), Currency::fromInt(m).toVariant()}))
            return false;
        for (int o = 1; o <= Operations; ++o) {
            const bool recovery = o <= 6;
            if (!cn.execute(QStringLiteral("INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta, Umi) "
                                           "VALUES (?, ?, ?, ?, ?)"),
                            {m, recovery ? 1 : 2,
                             (recovery ? QStringLiteral("R%1") : QStringLiteral("D%1")).arg(recovery ? o * 2 : o),
                             Currency::fromInt(o).toVariant(), 1 + o % 2}))
                return false;
        }
    }
    return cn.commit();
}

double rawRead(sqlite3 *db, int mdcID)
{
    QElapsedTimer t;
    t.start();
    qint64 check = 0;
    for (const char *sql : {"SELECT * FROM ModCons WHERE mdcID = ?",
                            "SELECT * FROM RecDrCons WHERE mdcID = ? ORDER BY Posizione, Codice"}) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        sqlite3_bind_int(stmt, 1, mdcID);
        check += readAllColumns(stmt);
        sqlite3_finalize(stmt);
    }
    return check > 0 ? t.nsecsElapsed() / 1e6 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    ProgramBench bench(argc, argv, "bench_modules");
    if (!bench.start(build, QStringLiteral("Sa1ID=1\nConsID=1\n"), QSize(1000, 720)))
        return 1;

    PaintWatch watch("ModDR_CONS");
    bench.app.installEventFilter(&watch);
    modMain::gMain->vBar1_Click(2, false);
    auto *sheet = qobject_cast<SK_CONS *>(modMain::loadedForms().value(0));
    if (!sheet || sheet->idScheda() != 1)
        return bench.fail("the consortia sheet did not open");
    // From the press of "Moduli DR-CONS" to the form's first paint.
    std::vector<double> openings;
    ModDR_CONS *form = nullptr;
    for (int i = 0; i < Openings; ++i) {
        if (form)
            form->unloadForm();
        QCoreApplication::processEvents();
        watch.painted = false;
        QElapsedTimer t;
        t.start();
        emit sheet->slb[7]->Click();
        form = qobject_cast<ModDR_CONS *>(sheet->childWindow());
        watch.wait();
        openings.push_back(t.nsecsElapsed() / 1e6);
    }
    if (!form || form->nav->Max() != Modules || form->idModulo != Modules)
        return bench.fail("the form did not open on the last module");

    std::vector<double> moves;
    std::vector<double> paintedMoves;
    for (int i = 0; i < Moves; ++i) {
        const int button = (i / 10) % 2 == 0 ? 1 : 2;
        timeMove(form->nav->button(button), watch, moves, paintedMoves);
        if (i == 9 && form->idModulo != Modules - 10)
            return bench.fail("the navigator did not move the form");
    }

    std::vector<double> saves;
    for (int i = 0; i < Saves; ++i) {
        form->slt[7]->setValue(Currency::fromInt(100 + i).toVariant());
        form->slg[i % 2]->setTextMatrix(1 + i % 10, 1, 1 + i);
        form->setModificata();
        QElapsedTimer t;
        t.start();
        const bool refused = form->salvaModulo();
        saves.push_back(t.nsecsElapsed() / 1e6);
        if (refused)
            return bench.fail("a save was refused");
    }

    sqlite3 *raw = nullptr;
    sqlite3_open_v2(bench.path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::vector<double> rawReads;
    for (int i = 0; i < Moves; ++i)
        rawReads.push_back(rawRead(raw, Modules - i));
    sqlite3_close(raw);

    const double rawMove = median(rawReads);
    std::printf("destination modules: %d, operations each: %d\n", Modules, Operations);
    std::printf("open the form (to first paint):   median %8.2f ms\n", median(openings));
    std::printf("move one module:                   median %8.2f ms  (x%.0f raw read)\n", median(moves),
                rawMove > 0 ? median(moves) / rawMove : 0.0);
    std::printf("move one module (to its paint):    median %8.2f ms\n", median(paintedMoves));
    std::printf("save one module with operations:   median %8.2f ms\n", median(saves));
    std::printf("raw read of a module and its rows: median %8.3f ms\n", rawMove);
    modMain::gMain->close();
    return 0;
}
