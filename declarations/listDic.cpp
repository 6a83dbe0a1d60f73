#include "listDic.h"

#include <QLabel>
#include <QTreeWidget>

#include "ItalianFormat.h"
#include "Recordset.h"
#include "StoredValue.h"
#include "dbClass.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"

using modFunz::nzStr;
using modMain::gDb;
using modMain::gModal;

QString listDic::s_search;

listDic::listDic(QWidget *parent) : listBase(parent, &s_search, 0, false)
{
    modFunz::setWaitCursor(true);
    setClientSize(11475, 5490, true);
    setColumns({{QStringLiteral("Ragione sociale"), Qt::AlignLeft, 0},
                {QStringLiteral("Ubicazione U.L."), Qt::AlignLeft, 4950},
                {QStringLiteral("Exp."), Qt::AlignHCenter, 900},
                {QStringLiteral("N°"), Qt::AlignRight, 900},
                {QStringLiteral("Comune"), Qt::AlignLeft, 4650},
                {QStringLiteral("Prov."), Qt::AlignHCenter, 900}},
               4);

    const int key = gModal ? gModal->Key.toInt() : 0;
    const QString codice = gModal ? nzStr(gModal->Codice) : QString();
    const bool previousYear = key == -1;
    setWindowTitle(previousYear ? QStringLiteral("Lista delle dichiarazioni dell'anno precedente")
                                : QStringLiteral("Lista delle dichiarazioni inserite"));

    const QString sql = QStringLiteral(
        "SELECT SezAnag.saID, SezAnag.CodFisc, SezAnag.RagSoc, SezAnag.Via, SezAnag.Civico, "
        "SezAnag.ExpID, Comuni.comDesc, Province.prvSigla "
        "FROM (SezAnag LEFT JOIN Province ON SezAnag.prvIstat = Province.prvIstat) "
        "LEFT JOIN Comuni ON (SezAnag.comIstat = Comuni.comIstat) "
        "AND (SezAnag.prvIstat = Comuni.prvIstat) ORDER BY SezAnag.RagSoc, SezAnag.saID");
    Recordset *rs = nullptr;
    if (gDb) {
        if (previousYear) {
            gDb->oldRsOpen(sql);
            rs = gDb->oldRs.get();
        } else {
            gDb->listRsOpen(sql);
            rs = &gDb->listRs;
        }
    }
    QTreeWidgetItem *byKey = nullptr;
    QTreeWidgetItem *byCode = nullptr;
    int n = 0;
    for (; rs && rs->isOpen() && !rs->eof(); rs->MoveNext()) {
        ++n;
        const int saID = rs->value(QStringLiteral("saID")).toInt();
        const QString codFisc = nzStr(rs->value(QStringLiteral("CodFisc")));
        QTreeWidgetItem *line = addLine(
            QStringLiteral("K") + QString::number(saID),
            {nzStr(rs->value(QStringLiteral("RagSoc"))),
             nzStr(rs->value(QStringLiteral("Via"))) + QLatin1Char(' ')
                 + nzStr(rs->value(QStringLiteral("Civico"))),
             StoredValue::nullOrZero(rs->value(QStringLiteral("ExpID"))) ? QString() : QStringLiteral("si"),
             ItalianFormat::formatNumber(n, QStringLiteral("#,###")),
             nzStr(rs->value(QStringLiteral("comDesc"))), nzStr(rs->value(QStringLiteral("prvSigla")))},
            codFisc);
        // The declaration asked for wins over an earlier one of the same
        // company; last year's file is matched by codice fiscale only.
        if (!previousYear && key > 0 && saID == key)
            byKey = line;
        else if (!byCode && !codice.isEmpty() && codFisc == codice)
            byCode = line;
    }
    if (rs)
        rs->close();
    finishLoad(byKey ? byKey : byCode, 1, 4);
    modFunz::setWaitCursor(false);
}

void listDic::scegli(QTreeWidgetItem *line)
{
    if (!gModal)
        return;
    gModal->Status = true;
    gModal->Key = lineKey(line).mid(1).toInt();
    gModal->Codice = lineTag(line);
    // The declaration's name, not the registry's: under no code, so that it
    // is never taken for the company last read.
    gModal->setDitta(QVariant(), line->text(0));
}
