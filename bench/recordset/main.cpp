// Opening a static recordset copies every row in; this measures that copy
// plus a walk over every field against stepping the same query with the raw
// SQLite API and reading each column. It also times the check every open
// makes of the whole file, on the default database holding 10,000
// declarations.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

#include "BenchSupport.h"
#include "Connection.h"
#include "Currency.h"
#include "Recordset.h"
#include "Transaction.h"

using namespace BenchSupport;

namespace {

constexpr int Rows = 100000;
constexpr int Rounds = 9;
const char *const Query = "SELECT id, ragSoc, anno, qta, esportata, dataIns, peso, nota FROM Righe";

bool fill(Connection &cn)
{
    if (!cn.execute(QStringLiteral(
            "CREATE TABLE Righe (id INTEGER PRIMARY KEY AUTOINCREMENT, ragSoc TEXT COLLATE KEZ, "
            "anno INTEGER, qta CURRENCY, esportata YESNO, dataIns DATE, peso REAL, nota TEXT)")))
        return false;
    cn.beginTransaction();
    for (int i = 0; i < Rows; ++i) {
        const QVariant nota = i % 3 == 0 ? QVariant() : QVariant(QStringLiteral("Nota %1").arg(i));
        if (!cn.execute(QStringLiteral("INSERT INTO Righe (ragSoc, anno, qta, esportata, dataIns, peso, nota) "
                                       "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                        {QStringLiteral("Società %1 S.R.L.").arg(i), 2000 + i % 23,
                         Currency::fromRaw(qint64(i) * 12345).toVariant(), i % 2 == 0,
                         QDate(2022, 1, 1).addDays(i % 365), i * 0.25, nota}))
            return false;
    }
    return cn.commit();
}

// The raw baseline: step and read each column as its storage type.
qint64 rawWalk(sqlite3 *db, double *ms)
{
    const CpuTimer t;
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, Query, -1, &stmt, nullptr);
    qint64 check = 0;
    const int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER: check += sqlite3_column_int64(stmt, c); break;
            case SQLITE_FLOAT: check += qint64(sqlite3_column_double(stmt, c)); break;
            case SQLITE_TEXT:
                sqlite3_column_text(stmt, c);
                check += sqlite3_column_bytes(stmt, c);
                break;
            default: break;
            }
        }
    }
    sqlite3_finalize(stmt);
    *ms = t.ms();
    return check;
}

qint64 recordsetWalk(Connection &cn, double *openMs, double *ms, double *closeMs)
{
    const CpuTimer t;
    Recordset rs;
    rs.open(QString::fromLatin1(Query), &cn);
    *openMs = t.ms();
    qint64 check = 0;
    const int columns = rs.fieldCount();
    for (; !rs.eof(); rs.MoveNext()) {
        for (int c = 0; c < columns; ++c) {
            const QVariant v = rs.value(c);
            switch (v.typeId()) {
            case QMetaType::Int: check += v.toInt(); break;
            case QMetaType::LongLong: check += v.toLongLong(); break;
            case QMetaType::Double: check += qint64(v.toDouble()); break;
            case QMetaType::Bool: check += v.toBool() ? -1 : 0; break;
            case QMetaType::QString: check += v.toString().size(); break;
            case QMetaType::QDate: check += v.toDate().toJulianDay(); break;
            default:
                if (Currency::isCurrency(v))
                    check += v.value<Currency>().raw();
            }
        }
    }
    *ms = t.ms();
    rs.close();
    *closeMs = t.ms() - *ms;
    return check;
}

// Forms read fields by name: the same walk through value("name").
double nameWalk(Connection &cn, qint64 *check)
{
    Recordset rs;
    rs.open(QString::fromLatin1(Query), &cn);
    const CpuTimer t;
    const QStringList names = rs.fieldNames();
    for (; !rs.eof(); rs.MoveNext())
        for (const QString &name : names)
            *check += rs.value(name).isNull() ? 0 : 1;
    return t.ms();
}

// Every ORDER BY on text goes through the KEZ collation: sorting the names
// with it against SQLite's own ASCII-only NOCASE.
double sortWalk(sqlite3 *db, const char *collation)
{
    const QByteArray sql = QByteArray("SELECT ragSoc FROM Righe ORDER BY ragSoc COLLATE ") + collation;
    const CpuTimer t;
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
    }
    sqlite3_finalize(stmt);
    return t.ms();
}

constexpr int Declarations = 10000;

// Each declaration with a consortia sheet, two modules and an operation:
// the rows a busy year's database holds.
bool fillDeclarations(Connection &cn)
{
    Transaction transaction(cn);
    for (int i = 0; i < Declarations; ++i) {
        const QString cf = QStringLiteral("%1").arg(i, 11, 10, QLatin1Char('0'));
        if (!cn.execute(QStringLiteral("INSERT INTO SezAnag (saAnno, codFisc, ragSoc, prvIstat, comIstat, via, "
                                       "civico, cap) VALUES (2021, ?, ?, 58, 91, 'VIA DEL CORSO', ?, '00186')"),
                        {cf, QStringLiteral("DITTA %1 S.R.L.").arg(i), i % 300})
            || !cn.execute(QStringLiteral("INSERT INTO SezCons (saID, rifCod, scQta) VALUES (?, '150101', 1000)"),
                           {cn.lastInsertRowId()}))
            return false;
        const qint64 sheet = cn.lastInsertRowId();
        for (int type = 1; type <= 2; ++type)
            if (!cn.execute(QStringLiteral("INSERT INTO ModCons (scID, mdcTipo, codFisc, ragSoc, prvIstat, "
                                           "comIstat, via, mdcQta) VALUES (?, ?, ?, ?, 15, 146, 'VIA ROMA', 500)"),
                            {sheet, type, cf, QStringLiteral("RACCOLTA %1").arg(i)}))
                return false;
        if (!cn.execute(QStringLiteral("INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta) VALUES (?, 1, 'R3', 500)"),
                        {cn.lastInsertRowId()}))
            return false;
    }
    return transaction.commit();
}

// Wall time: the check reads the file, and that is what the user waits for.
void openCheck(const QString &dir)
{
    const QString path = dir + QStringLiteral("/Kez22imb.db");
    Connection cn;
    if (!QFile::copy(QStringLiteral(KEZ_BIN_DIR "/Kez22imb.db"), path) || !cn.open(path)
        || !fillDeclarations(cn)) {
        std::fprintf(stderr, "bench_recordset: cannot build the declarations: %s\n",
                     qPrintable(ErrInfo::current().Description));
        return;
    }
    cn.close();
    double openBest = 1e9, checkBest = 1e9;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer t;
        t.start();
        cn.open(path);
        openBest = std::min(openBest, t.nsecsElapsed() / 1e6);
        t.restart();
        sqlite3_exec(cn.handle(), "PRAGMA quick_check(1)", nullptr, nullptr, nullptr);
        checkBest = std::min(checkBest, t.nsecsElapsed() / 1e6);
        cn.close();
    }
    std::printf("declarations: %d, file %.1f MB, best of %d rounds, wall time\n", Declarations,
                QFile(path).size() / 1e6, Rounds);
    std::printf("open with its check:             %8.2f ms (target under 100)\n", openBest);
    std::printf("the check alone (quick_check):   %8.2f ms\n", checkBest);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.db"));
    Connection cn;
    if (!Connection::createDatabase(path) || !cn.open(path) || !fill(cn)) {
        std::fprintf(stderr, "bench_recordset: cannot build the database: %s\n",
                     qPrintable(ErrInfo::current().Description));
        return 1;
    }
    double rawBest = 1e9, rsBest = 1e9, openBest = 1e9, closeBest = 1e9, nameBest = 1e9;
    qint64 rawCheck = 0, rsCheck = 0;
    for (int round = 0; round < Rounds; ++round) {
        double raw = 0, open = 0, walk = 0, close = 0;
        rawCheck = rawWalk(cn.handle(), &raw);
        rsCheck = recordsetWalk(cn, &open, &walk, &close);
        closeBest = std::min(closeBest, close);
        rawBest = std::min(rawBest, raw);
        rsBest = std::min(rsBest, walk);
        openBest = std::min(openBest, open);
    }
    qint64 named = 0;
    for (int round = 0; round < Rounds; ++round)
        nameBest = std::min(nameBest, nameWalk(cn, &named));
    double kezSort = 1e9, nocaseSort = 1e9;
    for (int round = 0; round < 3; ++round) {
        kezSort = std::min(kezSort, sortWalk(cn.handle(), "KEZ"));
        nocaseSort = std::min(nocaseSort, sortWalk(cn.handle(), "NOCASE"));
    }
    std::printf("rows: %d, columns: 8, best of %d rounds, thread CPU time\n", Rows, Rounds);
    std::printf("raw sqlite3 step and read:       %8.2f ms (check %lld)\n", rawBest, rawCheck);
    std::printf("Recordset open:                  %8.2f ms\n", openBest);
    std::printf("Recordset open and walk fields:  %8.2f ms (check %lld)\n", rsBest, rsCheck);
    std::printf("Recordset close afterwards:      %8.2f ms\n", closeBest);
    std::printf("walk of an open one by name:     %8.2f ms\n", nameBest);
    std::printf("ORDER BY text, KEZ collation:    %8.2f ms (NOCASE %.2f ms)\n", kezSort, nocaseSort);
    std::printf("ratio: %.2f (target at most 1.5)\n", rsBest / rawBest);
    openCheck(dir.path());
    return 0;
}
