#include "comChanged.h"

#include "Recordset.h"
#include "dbClass.h"
#include "modFunz.h"
#include "modMain.h"

namespace {

// A whole number from a stored or typed code, "058" as much as 58.
bool toCode(const QVariant &value, int &code)
{
    if (value.isNull())
        return false;
    bool ok = false;
    code = value.toString().trimmed().toInt(&ok);
    return ok;
}

} // namespace

comChanged::comChanged()
{
    if (!modMain::gDb || !modMain::gDb->kezDbOpened())
        return;
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT prvOld, comOld, prvNew, comNew, capNew FROM ComConv "
                                "ORDER BY prvOld, comOld"),
                 &modMain::gDb->kezCnn)) {
        modFunz::showError(QString());
        return;
    }
    m_rows.reserve(rs.RecordCount());
    for (; !rs.eof(); rs.MoveNext()) {
        Row row;
        // A row missing one of its codes cannot convert anything: it is
        // left out rather than spoiling the rest of the table.
        if (!toCode(rs.value(0), row.prvOld) || !toCode(rs.value(1), row.comOld)
            || !toCode(rs.value(2), row.prvNew) || !toCode(rs.value(3), row.comNew))
            continue;
        row.capNew = rs.value(4).toString();
        m_rows.append(row);
    }
}

QVariantList comChanged::find(const QVariant &codPrv, const QVariant &codCom,
                              const QVariant &codCap) const
{
    if (codPrv.isNull() || codCom.isNull())
        return {0, 0, QVariant()};
    int p = 0;
    int c = 0;
    // A code that is not a number cannot be listed: it comes back as it was.
    if (!toCode(codPrv, p) || !toCode(codCom, c))
        return {codPrv, codCom, codCap};
    for (const Row &row : m_rows) {
        if (row.prvOld > p)
            break;
        if (row.prvOld == p && row.comOld >= c) {
            // A municipality with several postal codes has none to give:
            // the company's own is the one of its address.
            if (row.comOld == c)
                return {row.prvNew, row.comNew, row.capNew.isEmpty() ? codCap : QVariant(row.capNew)};
            break;
        }
    }
    return {p, c, codCap};
}
