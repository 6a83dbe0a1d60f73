// The consortia sheet on a declaration of 500 sheets, each with its
// modules: the time from the "Sez. CONS" click to the sheet's first paint,
// each move of the navigator (with its repaint), and the waste-code tree
// over a table of 1,100 codes opened below the sheet to its first paint,
// against reading the declaration's sheets with the raw SQLite API.
#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "Connection.h"
#include "SK_CONS.h"
#include "dbClass.h"
#include "hNav.h"
#include "rifTree.h"
#include "mainForm.h"
#include "modMain.h"
#include "tbButton.h"

using namespace BenchSupport;

namespace {

constexpr int Sheets = 500;
constexpr int Openings = 15;
constexpr int Moves = 200;
constexpr int Chapters = 20;
constexpr int SubChapters = 6;
constexpr int Codes = 8;

bool build(const QString &path)
{
    Connection cn;
    if (!createDatabase(cn, path, {"data/schema.sql", "data/reference/province.sql", "data/reference/rifiuti.sql"}))
        return false;
    cn.execute(QStringLiteral("INSERT INTO Setup (codFisc, ragSoc) VALUES ('00743110157', 'Studio')"));
    cn.execute(QStringLiteral("INSERT INTO SezAnag (saID, codFisc, ragSoc) VALUES (1, '00743110157', 'Ditta')"));
    // A table as large as the whole list of waste: chapters of sub-chapters
    // of codes, beside the real chapter 15.
    cn.beginTransaction();
    for (int c = 21; c < 21 + Chapters; ++c)
        for (int sub = 0; sub <= SubChapters; ++sub)
            for (int code = 0; code <= (sub ? Codes : 0); ++code)
                cn.execute(QStringLiteral("INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES (?, ?, ?)"),
                           {QStringLiteral("%1%2%3").arg(c).arg(sub, 2, 10, QLatin1Char('0')).arg(code, 2, 10, QLatin1Char('0')),
                            QStringLiteral("rifiuti di prova del capitolo %1, voce %2.%3").arg(c).arg(sub).arg(code),
                            code % 5 == 1 ? QVariant(QStringLiteral("P")) : QVariant()});
    cn.commit();
    // Other declarations' sheets around the one measured.
    cn.execute(QStringLiteral("INSERT INTO SezAnag (saID, codFisc, ragSoc) VALUES (2, '01234567890', 'Altra')"));
    QStringList codes;
    {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(cn.handle(), "SELECT rifCod FROM Rifiuti WHERE rifCod NOT LIKE '%00'", -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            codes << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    if (codes.isEmpty())
        return false;
    cn.beginTransaction();
    for (int n = 0; n < 2 * Sheets; ++n) {
        if (!cn.execute(QStringLiteral("INSERT INTO SezCons (saID, rifCod, scQta, ferroQta, ferroUmi, cartaQta) "
                                       "VALUES (?, ?, ?, ?, 2, ?)"),
                        {n % 2 + 1, codes.at(n % codes.size()), 10000 + n, n * 7, n * 3}))
            return false;
        const qint64 sheet = cn.lastInsertRowId();
        for (int m = 0; m < 4; ++m)
            cn.execute(QStringLiteral("INSERT INTO ModCons (scID, mdcTipo, codFisc, mdcQta) VALUES (?, ?, '00743110157', 10000)"),
                       {sheet, m % 2 + 1});
    }
    return cn.commit();
}

// The raw baseline: the declaration's sheets, read to the last column.
double rawRead(sqlite3 *db)
{
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM SezCons WHERE saID = 1 ORDER BY rifCod, scID", -1, &stmt, nullptr);
    const qint64 check = readAllColumns(stmt);
    sqlite3_finalize(stmt);
    return check > 0 ? t.nsecsElapsed() / 1e6 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    ProgramBench bench(argc, argv, "bench_cons");
    // The remembered sheet is one in the middle of the declaration.
    if (!bench.start(build, QStringLiteral("Sa1ID=1\nConsID=%1\n").arg(Sheets + 1), QSize(1024, 768)))
        return 1;

    PaintWatch watch("SK_CONS");
    bench.app.installEventFilter(&watch);
    std::vector<double> openings;
    for (int i = 0; i < Openings; ++i)
        openings.push_back(openSheet(2, &watch));
    auto *sheet = modMain::gMain->findChild<SK_CONS *>();
    if (!sheet || sheet->nav->Max() != Sheets || sheet->idScheda() != Sheets + 1)
        return bench.fail("the sheet did not open on the remembered sheet");

    // Forward and back through the sheets, and jumps to either end.
    std::vector<double> moves;
    std::vector<double> paintedMoves;
    for (int i = 0; i < Moves; ++i) {
        int button = (i / 20) % 2 == 0 ? 2 : 1;
        if (i % 50 == 49)
            button = i % 100 == 49 ? 0 : 3;
        const int before = sheet->nav->Value();
        if ((button >= 2 && before == Sheets) || (button <= 1 && before == 1))
            continue;
        timeMove(sheet->nav->button(button), watch, moves, paintedMoves);
    }
    // The tree below the sheet, opened on the sheet's code and cancelled.
    std::vector<double> trees;
    watch.target = "rifTree";
    for (int i = 0; i < Openings; ++i) {
        watch.painted = false;
        QElapsedTimer t;
        t.start();
        sheet->slb_Click(1);
        watch.wait();
        trees.push_back(t.nsecsElapsed() / 1e6);
        auto *tree = qobject_cast<rifTree *>(sheet->childWindow());
        if (!tree)
            return bench.fail("the waste-code tree did not open");
        tree->tbb_Click(1);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    std::vector<double> raw;
    for (int i = 0; i < Openings; ++i)
        raw.push_back(rawRead(modMain::gDb->kezCnn.handle()));

    std::printf("consortia sheets: %d in the declaration, %d in the file, 4 modules each\n", Sheets, 2 * Sheets);
    std::printf("open to first paint:   median %7.2f ms, best %7.2f ms over %d openings (target < 100 ms)\n",
                median(openings), *std::min_element(openings.begin(), openings.end()), Openings);
    std::printf("move:                  median %7.2f ms over %zu moves\n", median(moves), moves.size());
    std::printf("move with its repaint: median %7.2f ms (target < 100 ms)\n", median(paintedMoves));
    std::printf("waste-code tree, %d codes besides chapter 15, to first paint: median %7.2f ms (target < 100 ms)\n",
                Chapters * (1 + SubChapters * (Codes + 1)), median(trees));
    std::printf("raw read of the declaration's sheets: median %7.3f ms\n", median(raw));
    std::printf("ratio opening / raw read: %.1f\n", median(openings) / std::max(median(raw), 1e-6));
    modMain::gMain->close();
    return 0;
}
