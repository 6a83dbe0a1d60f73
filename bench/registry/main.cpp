// The registry sheet on a large year: 2,000 companies of 5 local units.
// Measures the time from the side-bar click to the sheet's first paint,
// and each move of the navigator through a company's units (the move with
// its repaint), against reading the same company's rows with the raw
// SQLite API.
#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "Connection.h"
#include "SezAnag.h"
#include "dbClass.h"
#include "hNav.h"
#include "mainForm.h"
#include "modMain.h"
#include "tbButton.h"

using namespace BenchSupport;

namespace {

constexpr int Companies = 2000;
constexpr int Units = 5;
constexpr int Openings = 15;
constexpr int Laps = 20;

QString codeOf(int company)
{
    return QStringLiteral("%1").arg(company + 10000000000LL, 11, 10, QLatin1Char('0'));
}

bool build(const QString &path)
{
    Connection cn;
    if (!createDatabase(cn, path, {"data/schema.sql", "data/reference/province.sql", "data/reference/comuni.sql",
                                   "data/reference/attivita.sql"}))
        return false;
    cn.execute(QStringLiteral("INSERT INTO Setup (codFisc, ragSoc) VALUES ('00743110157', 'Studio')"));
    // Real municipalities, one after the other, so each unit looks one up.
    std::vector<std::pair<int, int>> places;
    {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(cn.handle(), "SELECT prvIstat, comIstat FROM Comuni LIMIT 500", -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            places.emplace_back(sqlite3_column_int(stmt, 0), sqlite3_column_int(stmt, 1));
        sqlite3_finalize(stmt);
    }
    if (places.empty())
        return false;
    cn.beginTransaction();
    int n = 0;
    // Companies interleaved, as years of typing leave them.
    for (int unit = 0; unit < Units; ++unit) {
        for (int company = 0; company < Companies; ++company, ++n) {
            const auto &unitPlace = places[size_t(n) % places.size()];
            const auto &office = places[size_t(company) % places.size()];
            if (!cn.execute(QStringLiteral(
                    "INSERT INTO SezAnag (saAnno, codFisc, ragSoc, REA, prvIstat, comIstat, via, civico, "
                    "cap, prefTel, telefono, attIstat, Addetti, Mesi, slPrvIstat, slComIstat, slVia, "
                    "slCivico, slCAP, saCognome, saNome, saDataComp, ExpID) VALUES (2021, ?, ?, ?, ?, ?, ?, "
                    "'12', '20100', '02', '5551234', '011110', 7, 12, ?, ?, 'Via Sede', '1', '20100', "
                    "'ROSSI', 'MARIA', '2022-02-01', ?)"),
                    {codeOf(company), QStringLiteral("DITTA %1 S.R.L.").arg(company), 1000 + n,
                     unitPlace.first, unitPlace.second, QStringLiteral("VIA UNITA %1").arg(unit),
                     office.first, office.second, n % 7 == 0 ? 1 : 0}))
                return false;
        }
    }
    return cn.commit();
}

// The raw baseline of one move: the company's rows, read to the last column.
double rawRead(sqlite3 *db, const QByteArray &code)
{
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM SezAnag WHERE codFisc = ? ORDER BY saID", -1, &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, code.constData(), code.size(), SQLITE_TRANSIENT);
    const qint64 check = readAllColumns(stmt);
    sqlite3_finalize(stmt);
    return check > 0 ? t.nsecsElapsed() / 1e6 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    ProgramBench bench(argc, argv, "bench_registry");
    // The current declaration: the third unit of a company in the middle.
    const int current = 2 * Companies + Companies / 2 + 1;
    if (!bench.start(build, QStringLiteral("Sa1ID=%1\n").arg(current), QSize()))
        return 1;

    PaintWatch watch("SezAnag");
    bench.app.installEventFilter(&watch);
    std::vector<double> openings;
    for (int i = 0; i < Openings; ++i)
        openings.push_back(openSheet(1, &watch));
    auto *sheet = modMain::gMain->findChild<SezAnag *>();
    if (!sheet || sheet->saIDCorrente() != current)
        return bench.fail("the sheet did not open on the current declaration");

    // Back and forth through the company's five units.
    std::vector<double> moves;
    std::vector<double> paintedMoves;
    for (int lap = 0; lap < Laps; ++lap) {
        for (int step = 0; step < 2 * (Units - 1); ++step) {
            const int button = (step / (Units - 1)) % 2 == 0 ? 2 : 1;
            const int before = sheet->nav->Value();
            if ((button == 2 && before == Units) || (button == 1 && before == 1))
                continue;
            timeMove(sheet->nav->button(button), watch, moves, paintedMoves);
        }
    }
    std::vector<double> raw;
    const QByteArray code = sheet->codFiscCorrente().toUtf8();
    for (int i = 0; i < int(moves.size()); ++i)
        raw.push_back(rawRead(modMain::gDb->kezCnn.handle(), code));

    std::printf("declarations: %d (%d companies of %d local units), municipalities from the real table\n",
                Companies * Units, Companies, Units);
    std::printf("open to first paint:   median %7.2f ms, best %7.2f ms over %d openings (target < 100 ms)\n",
                median(openings), *std::min_element(openings.begin(), openings.end()), Openings);
    std::printf("move:                  median %7.2f ms over %zu moves\n", median(moves), moves.size());
    std::printf("move with its repaint: median %7.2f ms (target < 10 ms)\n", median(paintedMoves));
    std::printf("raw read of the company's rows: median %7.3f ms\n", median(raw));
    std::printf("ratio move / raw read: %.1f\n", median(moves) / std::max(median(raw), 1e-6));
    modMain::gMain->close();
    return 0;
}
