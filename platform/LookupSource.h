#pragma once

#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

class Connection;
class Recordset;

// Where the controls read their lookup tables (municipalities, provinces,
// the rows of a combo's query): the connection the owning form hands a
// control, else the default the shell sets once at start-up, its
// current-year database. No default and nothing handed means no lookups:
// the control stays empty and says nothing.
namespace LookupSource {

// Read at every lookup, so a database reopened by the user is followed.
void setDefault(std::function<Connection *()> connection);
// handed when not null, else the default (which may be null).
Connection *connection(Connection *handed = nullptr);
// A read-only recordset of sql on cn, params bound in order. A failed
// query shows the error box and gives a closed recordset.
std::unique_ptr<Recordset> open(Connection *cn, const QString &sql, const QVariantList &params = {});
}
