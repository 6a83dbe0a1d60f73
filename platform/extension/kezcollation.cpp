// The program's KEZ collation and LIKE as a SQLite loadable extension, so
// that the sqlite3 program and other tools can query and sort the tables
// exactly as Kez does: sqlite3 -cmd ".load kezcollation" Kez22imb.db
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include "KezCollation.h"

extern "C" int sqlite3_kezcollation_init(sqlite3 *db, char **, const sqlite3_api_routines *api)
{
    SQLITE_EXTENSION_INIT2(api);
    return KezCollation::registerOn(db) ? SQLITE_OK : SQLITE_ERROR;
}
