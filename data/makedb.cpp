// Builds a database file from the schema and any number of SQL files of
// reference rows, each applied in one transaction.
#include <QFile>

#include <cstdio>

#include "Connection.h"

static bool runScript(Connection &cn, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "kezdbgen: cannot read %s\n", qPrintable(fileName));
        return false;
    }
    if (!cn.beginTransaction())
        return false;
    if (!cn.execute(QString::fromUtf8(file.readAll()))) {
        std::fprintf(stderr, "kezdbgen: %s: %s\n", qPrintable(fileName),
                     qPrintable(cn.lastError().Description));
        cn.rollback();
        return false;
    }
    return cn.commit();
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: kezdbgen DATABASE SCHEMA.sql [REFERENCE.sql ...]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    Connection cn;
    if (!Connection::createDatabase(path) || !cn.open(path)) {
        std::fprintf(stderr, "kezdbgen: cannot create %s: %s\n", argv[1],
                     qPrintable(ErrInfo::current().Description));
        return 1;
    }
    // The file is thrown away on any failure, so the build needs no journal
    // and no waits for the disk.
    bool ok = cn.execute(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"));
    for (int i = 2; i < argc && ok; ++i)
        ok = runScript(cn, QString::fromLocal8Bit(argv[i]));
    // Statistics let the municipality and name searches pick their indexes.
    if (ok)
        ok = cn.execute(QStringLiteral("ANALYZE"));
    cn.close();
    if (!ok)
        std::remove(argv[1]);
    return ok ? 0 : 1;
}
