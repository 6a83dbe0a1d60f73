#pragma once

#include <QString>

struct sqlite3;

// Text in the program's tables compares and sorts without regard to case
// or accents ("società" = "SOCIETÀ" = "Societa"), as users of the original
// database expect. Columns declare it as COLLATE KEZ.
namespace KezCollation {
// Registers the KEZ collation on a connection (every connection needs it
// before touching a table that declares it).
bool registerOn(sqlite3 *db);
// The comparison the collation uses: <0, 0, >0.
int compare(const QString &a, const QString &b);
// The folded form two texts share when they compare equal.
QString fold(const QString &text);
}
