#include "listMod.h"

#include <QTreeWidget>

#include "ItalianFormat.h"
#include "Recordset.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"

using modFunz::nzStr;
using modMain::gModal;

QString listMod::s_search;

listMod::listMod(QWidget *parent) : listBase(parent, &s_search, 1, true)
{
    setClientSize(11055, 5490, true);
    setColumns({{QStringLiteral("Codice fiscale"), Qt::AlignLeft, 2700},
                {QStringLiteral("Ragione sociale"), Qt::AlignLeft, 0},
                {QStringLiteral("N°"), Qt::AlignRight, 600}},
               3);
    Recordset *rs = gModal ? gModal->Cursore : nullptr;
    setWindowTitle(gModal ? nzStr(gModal->Codice) : QString());

    QTreeWidgetItem *current = nullptr;
    if (rs && rs->isOpen()) {
        const double bookmark = rs->Bookmark();
        gModal->cursorBookMark = bookmark;
        int n = 0;
        for (rs->MoveFirst(); !rs->eof(); rs->MoveNext()) {
            ++n;
            const QVariant ragSoc = rs->value(QStringLiteral("ragSoc"));
            const double here = rs->Bookmark();
            QTreeWidgetItem *line = addLine(
                QStringLiteral("K") + QString::number(n),
                {nzStr(rs->value(QStringLiteral("codFisc"))),
                 ragSoc.isNull() ? QStringLiteral("*** Privati ***") : nzStr(ragSoc),
                 ItalianFormat::formatNumber(n, QStringLiteral("#,##0"))},
                QString::number(here, 'g', 17));
            if (here == bookmark)
                current = line;
        }
        // The sheet goes on from the card it was showing.
        rs->setBookmark(bookmark);
    }
    finishLoad(current, 2, 0);
}

void listMod::scegli(QTreeWidgetItem *line)
{
    if (!gModal)
        return;
    const double bookmark = lineTag(line).toDouble();
    if (bookmark == gModal->cursorBookMark)
        return;
    gModal->Status = true;
    gModal->Key = lineKey(line).mid(1).toInt();
    gModal->cursorBookMark = bookmark;
}
