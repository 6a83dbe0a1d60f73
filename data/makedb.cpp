// Builds a database file from the schema and any number of SQL files of
// reference rows, each applied in one transaction.
#include <QFile>
#include <QTextStream>

#include <sqlite3.h>

#include <cstdio>

#include "KezCollation.h"

static bool runScript(sqlite3 *db, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "kezdbgen: cannot read %s\n", qPrintable(fileName));
        return false;
    }
    const QByteArray sql = "BEGIN;\n" + file.readAll() + "\nCOMMIT;";
    char *message = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "kezdbgen: %s: %s\n", qPrintable(fileName), message);
        sqlite3_free(message);
        return false;
    }
    return true;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: kezdbgen DATABASE SCHEMA.sql [REFERENCE.sql ...]\n");
        return 2;
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK) {
        std::fprintf(stderr, "kezdbgen: cannot create %s\n", argv[1]);
        return 1;
    }
    KezCollation::registerOn(db);
    // The file is thrown away on any failure, so the build needs no journal
    // and no waits for the disk.
    sqlite3_exec(db, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;", nullptr, nullptr,
                 nullptr);
    bool ok = true;
    for (int i = 2; i < argc && ok; ++i)
        ok = runScript(db, QString::fromLocal8Bit(argv[i]));
    // Statistics let the municipality and name searches pick their indexes.
    if (ok)
        ok = sqlite3_exec(db, "ANALYZE", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!ok)
        std::remove(argv[1]);
    return ok ? 0 : 1;
}
