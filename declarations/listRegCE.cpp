#include "listRegCE.h"

#include <QLabel>
#include <QTreeWidget>

#include "dbClass.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"

using modFunz::nzStr;
using modMain::gDb;
using modMain::gModal;

QString listRegCE::s_search;

listRegCE::listRegCE(QWidget *parent) : listBase(parent, &s_search, 0, false)
{
    Label1->hide();
    setWindowTitle(QStringLiteral("Tabella codici regolamento (CE) 1013/2006"));
    setClientSize(11010, 5400, true);
    setColumns({{QStringLiteral("Descrizione"), Qt::AlignLeft, 0},
                {QStringLiteral("Codice"), Qt::AlignHCenter, 1200}},
               2);
    const QString key = gModal ? nzStr(gModal->Key) : QString();
    QTreeWidgetItem *current = nullptr;
    if (gDb && gDb->listRsOpen(QStringLiteral("SELECT crcCod, crcDesc FROM CodRegCE ORDER BY crcCod"))) {
        int n = 0;
        for (Recordset &rs = gDb->listRs; !rs.eof(); rs.MoveNext(), ++n) {
            const QString code = nzStr(rs.value(0));
            QTreeWidgetItem *line = addLine(QStringLiteral("K") + QString::number(n),
                                            {nzStr(rs.value(1)), code});
            if (!key.isEmpty() && code == key)
                current = line;
        }
    }
    if (gDb)
        gDb->listRs.close();
    finishLoad(current, 1, 0);
}

void listRegCE::scegli(QTreeWidgetItem *line)
{
    if (!gModal)
        return;
    gModal->Status = true;
    gModal->Key = line->text(1);
    gModal->Codice = line->text(0);
}
