#include "LookupSource.h"

#include "Connection.h"
#include "MsgBox.h"
#include "Recordset.h"

namespace {
std::function<Connection *()> &defaultSource()
{
    static std::function<Connection *()> source;
    return source;
}
} // namespace

namespace LookupSource {

void setDefault(std::function<Connection *()> connection)
{
    defaultSource() = std::move(connection);
}

Connection *connection(Connection *handed)
{
    if (handed)
        return handed;
    return defaultSource() ? defaultSource()() : nullptr;
}

std::unique_ptr<Recordset> open(Connection *cn, const QString &sql, const QVariantList &params)
{
    auto rs = std::make_unique<Recordset>();
    if (!rs->open(sql, cn, Recordset::adLockReadOnly, params))
        MsgBox::showError(QString());
    return rs;
}

} // namespace LookupSource
