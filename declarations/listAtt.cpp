#include "listAtt.h"

#include <QLabel>
#include <QTreeWidget>

#include "ItalianFormat.h"
#include "dbClass.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"

using modFunz::nzStr;
using modMain::gDb;
using modMain::gModal;

QString listAtt::s_search;

listAtt::listAtt(QWidget *parent) : listBase(parent, &s_search, 1, false)
{
    Label1->hide();
    setWindowTitle(QStringLiteral("Lista dei codici Istat delle attività economiche"));
    setClientSize(11010, 5400, true);
    setColumns({{QStringLiteral("Codice"), Qt::AlignLeft, 1200},
                {QStringLiteral("Descrizione"), Qt::AlignLeft, 0}},
               0);
    const QString key = gModal ? nzStr(gModal->Key) : QString();
    QTreeWidgetItem *current = nullptr;
    if (gDb && gDb->listRsOpen(QStringLiteral("SELECT attCod, attDesc FROM Attivita ORDER BY attCod"))) {
        int n = 0;
        for (Recordset &rs = gDb->listRs; !rs.eof(); rs.MoveNext(), ++n) {
            const QString code = nzStr(rs.value(0));
            QTreeWidgetItem *line = addLine(
                QStringLiteral("K") + QString::number(n),
                {ItalianFormat::formatText(code, QStringLiteral("!@@.@@.@@")), nzStr(rs.value(1))}, code);
            if (!current && !key.isEmpty() && code.startsWith(key, Qt::CaseInsensitive))
                current = line;
        }
    }
    if (gDb)
        gDb->listRs.close();
    finishLoad(current, 2, 0);
}

void listAtt::scegli(QTreeWidgetItem *line)
{
    if (!gModal)
        return;
    gModal->Status = true;
    gModal->Key = lineTag(line);
    gModal->Codice = line->text(0);
}
