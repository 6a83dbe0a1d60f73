// The packaging sheets on a large declaration: 500 producer packaging cards
// of seven materials each, and a reuse list of 200 types all with stored
// quantities. Measures opening the producer packaging sheet and moving
// between its cards, and opening and saving the reuse sheet, against
// reading one card's rows with the raw SQLite API.
#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "Connection.h"
#include "FormFactory.h"
#include "dbClass.h"
#include "SK_SMAT.h"
#include "SK_SRIU.h"
#include "hNav.h"
#include "mainForm.h"
#include "modMain.h"
#include "slxButton.h"
#include "tbButton.h"

using namespace BenchSupport;

namespace {

constexpr int Cards = 500;
constexpr int Types = 200;
constexpr int Openings = 10;
constexpr int Moves = 100;
constexpr int Saves = 10;

bool build(const QString &path)
{
    Connection cn;
    if (!createDatabase(cn, path, {"data/schema.sql"}))
        return false;
    cn.beginTransaction();
    bool ok = cn.execute(QStringLiteral("INSERT INTO Setup (codFisc, ragSoc) VALUES ('00743110157', 'Studio')"))
        && cn.execute(QStringLiteral("INSERT INTO SezAnag (saID, codFisc, ragSoc) VALUES (1, '00743110157', 'Studio')"));
    for (int card = 1; ok && card <= Cards; ++card) {
        ok = cn.execute(QStringLiteral("INSERT INTO skMat (skmID, saID, codFisc, ragSoc) VALUES (?, 1, ?, ?)"),
                        {card, QStringLiteral("%1").arg(10000000000LL + card), QStringLiteral("DITTA %1").arg(card)});
        for (int m = 101; ok && m <= 107; ++m)
            ok = cn.execute(QStringLiteral("INSERT INTO RecMat (skmID, skmTipo, qtaProdVuoti, qtaProdPieni, "
                                           "qtaImpVuoti, qtaImpPieni, qtaEspVuoti, qtaEspPieni) "
                                           "VALUES (?, ?, ?, 1000, 2000, 3000, 4000, 5000)"),
                            {card, m, card * 10000});
    }
    for (int t = 1; ok && t <= Types; ++t)
        ok = cn.execute(QStringLiteral("INSERT INTO Codici (codType, codNumb, codAlfa, codDesc) VALUES (12, ?, ?, ?)"),
                        {t, QStringLiteral("T%1").arg(t), QStringLiteral("Tipo di prova %1").arg(t)})
            && cn.execute(QStringLiteral("INSERT INTO RecRiu (saID, riuTipo, qtaAlimentare, qtaAltriUsi) "
                                         "VALUES (1, ?, ?, 12345)"),
                          {t, t * 10000});
    return ok && cn.commit();
}

double rawRead(sqlite3 *db, int card)
{
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM RecMat WHERE skmID = ? ORDER BY skmTipo", -1, &stmt, nullptr);
    sqlite3_bind_int(stmt, 1, card);
    qint64 check = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            check += sqlite3_column_int64(stmt, c);
    sqlite3_finalize(stmt);
    return check > 0 ? t.nsecsElapsed() / 1e6 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    ProgramBench bench(argc, argv, "bench_packaging");
    if (!bench.start(build, QStringLiteral("Sa1ID=1\n"), QSize(1000, 700)))
        return 1;

    std::vector<double> smatOpenings;
    for (int i = 0; i < Openings; ++i)
        smatOpenings.push_back(openSheet(FormFactory::SmatForm, nullptr));
    auto *smat = modMain::gMain->findChild<SK_SMAT *>();
    auto *nav = smat ? smat->findChild<hNav *>(QStringLiteral("nav")) : nullptr;
    if (!nav || nav->Max() != Cards)
        return bench.fail("the producer packaging sheet did not open on its cards");
    std::vector<double> moves;
    for (int i = 0; i < Moves; ++i) {
        const int button = (i / 10) % 2 == 0 ? 1 : 2;
        QElapsedTimer t;
        t.start();
        emit nav->button(button)->Click();
        QCoreApplication::processEvents();
        moves.push_back(t.nsecsElapsed() / 1e6);
    }
    std::vector<double> raw;
    for (int i = 0; i < Moves; ++i)
        raw.push_back(rawRead(modMain::gDb->kezCnn.handle(), Cards - i % 10));

    std::vector<double> sriuOpenings;
    for (int i = 0; i < Openings; ++i)
        sriuOpenings.push_back(openSheet(FormFactory::SriuForm, nullptr));
    auto *sriu = modMain::gMain->findChild<SK_SRIU *>();
    auto *save = sriu ? sriu->findChild<slxButton *>(QStringLiteral("slb_0")) : nullptr;
    if (!save)
        return bench.fail("the reuse sheet did not open");
    std::vector<double> saves;
    for (int i = 0; i < Saves; ++i) {
        sriu->setModificata();
        QElapsedTimer t;
        t.start();
        emit save->Click();
        saves.push_back(t.nsecsElapsed() / 1e6);
        if (save->Enabled())
            return bench.fail("the reuse card was not saved");
    }

    std::printf("producer packaging: %d cards of 7 materials; reuse: %d types with quantities\n", Cards, Types);
    std::printf("SMAT open:  median %7.2f ms over %d openings (target < 100 ms)\n", median(smatOpenings), Openings);
    std::printf("SMAT move:  median %7.2f ms over %d moves (target < 100 ms)\n", median(moves), Moves);
    std::printf("raw read of a card's rows: median %7.3f ms; ratio move / raw read: %.1f\n", median(raw),
                median(moves) / std::max(median(raw), 1e-6));
    std::printf("SRIU open:  median %7.2f ms over %d openings (target < 100 ms)\n", median(sriuOpenings), Openings);
    std::printf("SRIU save:  median %7.2f ms over %d saves of %d rows (target < 100 ms)\n", median(saves), Saves,
                Types);
    modMain::gMain->close();
    return 0;
}
