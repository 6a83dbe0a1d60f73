#include "listRif.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTreeWidget>

#include "ChildPlacement.h"
#include "Recordset.h"
#include "dbClass.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "tbButton.h"

using modFunz::nzStr;
using modMain::gDb;
using modMain::gModal;

listRif::listRif(QWidget *formBeneath) : listBase(nullptr, nullptr, 0, false)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Lista delle schede RIF inserite"));
    if (gModal)
        gModal->Status = false;
    modMain::formLoaded(this);
    m_beneath = formBeneath ? formBeneath : ChildPlacement::formBeneath(this);
    Label1->setText(QStringLiteral("Trova in descrizione rifiuto:"));
    for (tbButton *b : tbb)
        b->setPicture(QPixmap());
    setColumns({{QStringLiteral("Descrizione rifiuto"), Qt::AlignLeft, 0},
                {QStringLiteral("Codice"), Qt::AlignHCenter, 1200},
                {QStringLiteral("Pericoloso"), Qt::AlignHCenter, 1200}},
               2);
}

listRif::~listRif()
{
    scarica();
}

QString listRif::sqlSchedeCons()
{
    return QStringLiteral("SELECT SezCons.scID, SezCons.rifCod, Rifiuti.rifDesc, Rifiuti.rifClass "
                          "FROM SezCons LEFT JOIN Rifiuti ON SezCons.rifCod = Rifiuti.rifCod "
                          "WHERE SezCons.saID = ? ORDER BY SezCons.rifCod, SezCons.scID");
}

void listRif::Visualizza(const QString &pCaption, int pKey, const QString &pSql,
                         const QVariantList &params)
{
    setWindowTitle(pCaption);
    if (!isVisible())
        ChildPlacement::showBelow(this, m_beneath);
    m_preselected = nullptr;
    if (gDb) {
        Recordset rs;
        if (!rs.open(pSql, &gDb->kezCnn, Recordset::adLockReadOnly, params)) {
            ErrInfo::current() = rs.lastError();
            modFunz::showError(QString());
        }
        for (; rs.isOpen() && !rs.eof(); rs.MoveNext()) {
            const int key = rs.value(0).toInt();
            const QString code = nzStr(rs.value(QStringLiteral("rifCod")));
            QTreeWidgetItem *line = addLine(
                QStringLiteral("K") + QString::number(key),
                {nzStr(rs.value(QStringLiteral("rifDesc"))), code,
                 nzStr(rs.value(QStringLiteral("rifClass"))) == QLatin1String("P") ? QStringLiteral("si")
                                                                                   : QStringLiteral(" ")});
            if (key == pKey)
                m_preselected = line;
        }
    }
    finishLoad(m_preselected, 1, 0);
}

void listRif::scegli(QTreeWidgetItem *line)
{
    if (!gModal || line == m_preselected)
        return;
    gModal->Status = true;
    gModal->Key = lineKey(line).mid(1).toInt();
    gModal->codiceRifiuto = line->text(1);
    gModal->descRifiuto = line->text(0);
    gModal->Pericoloso = line->text(2) == QLatin1String("si");
}

void listRif::closeEvent(QCloseEvent *event)
{
    listBase::closeEvent(event);
    if (event->isAccepted())
        scarica();
}

void listRif::scarica()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    ChildPlacement::childUnloaded(this, m_beneath);
    emit unloaded();
}
