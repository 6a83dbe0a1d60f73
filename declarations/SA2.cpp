#include "SA2.h"

#include <algorithm>

#include <QHeaderView>
#include <QTreeWidget>

#include "ItalianFormat.h"
#include "Recordset.h"
#include "ScreenMetrics.h"
#include "dbClass.h"
#include "kezClass.h"
#include "listBase.h"
#include "modFunz.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "ui_SA2.h"

using modMain::gDb;

struct SA2::Ui : public ::Ui::SA2
{
};

SA2::SA2(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    sll = ui->sll;
    lv = ui->lv;
    slb = ui->slb;

    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSize(8);
    setFont(verdana);
    QFont bold = verdana;
    bold.setBold(true);
    sll->setFont(bold);
    slb->setFont(bold);
    setAutoFillBackground(true);
    QPalette green = palette();
    green.setColor(QPalette::Window, QColor(146, 194, 162));
    setPalette(green);

    lv->header()->setStretchLastSection(false);
    lv->header()->setSectionsMovable(false);
    lv->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    lv->setColumnWidth(1, qRound(900 / ScreenMetrics::twipsPerPixelX()));

    connect(slb, &slxButton::Click, this, &QDialog::accept);
    listBase::closeOnEsc(this, [this] { reject(); });

    caricaRiepilogo();
}

SA2::~SA2() = default;

void SA2::aggiungiRiga(int level, const QString &caption, int value)
{
    auto *line = new QTreeWidgetItem(lv);
    line->setText(0, QString(2 * level, QLatin1Char(' ')) + caption);
    line->setTextAlignment(1, Qt::AlignCenter);
    if (value < 0) {
        QFont bold = line->font(0);
        bold.setBold(true);
        line->setFont(0, bold);
        line->setText(1, QStringLiteral(" "));
    } else {
        line->setText(1, ItalianFormat::formatNumber(value, QStringLiteral("#,##0")));
    }
    if (level == 0)
        line->setForeground(0, QColor(192, 64, 0));
}

void SA2::contaModuli(const QString &sql, const QVariantList &params, int *counts, int size, bool reset)
{
    if (reset)
        std::fill(counts, counts + size, 0);
    if (!gDb || !gDb->listRsOpen(sql, params))
        return;
    for (Recordset &rs = gDb->listRs; !rs.eof(); rs.MoveNext()) {
        const int kind = rs.value(0).toInt();
        if (kind >= 0 && kind < size)
            counts[kind] += rs.value(1).toInt();
    }
}

int SA2::conta(const QString &sql, int saID)
{
    if (!gDb || !gDb->listRsOpen(sql, {saID}))
        return 0;
    return gDb->listRs.value(0).toInt();
}

void SA2::caricaRiepilogo()
{
    const int saID = modMain::gKez ? modMain::gKez->Sa1ID : 0;
    int moduli[5];

    aggiungiRiga(0, QStringLiteral("SEZIONE ANAGRAFICA"), -1);
    aggiungiRiga(1, QStringLiteral("Scheda SA1"), 1);
    aggiungiRiga(1, QStringLiteral("Consorzi di recupero"), -1);
    aggiungiRiga(2, QStringLiteral("Schede CONS"),
                 conta(QStringLiteral("SELECT COUNT(scID) FROM SezCons WHERE saID = ?"), saID));
    // One count over all the declaration's consortia sheets.
    contaModuli(QStringLiteral("SELECT ModCons.mdcTipo, COUNT(ModCons.mdcID) AS Moduli "
                               "FROM ModCons INNER JOIN SezCons ON ModCons.scID = SezCons.scID "
                               "WHERE SezCons.saID = ? GROUP BY ModCons.mdcTipo"),
                {saID}, moduli, 5, true);
    aggiungiRiga(3, QStringLiteral("Moduli UO-CONS"), moduli[1]);
    aggiungiRiga(3, QStringLiteral("Moduli UD-CONS"), moduli[2]);
    aggiungiRiga(2, QStringLiteral("Schede SBOP"),
                 conta(QStringLiteral("SELECT COUNT(sksID) AS nrks FROM skSbop WHERE saID = ?"), saID));
    aggiungiRiga(1, QStringLiteral("Imballaggi"), -1);
    aggiungiRiga(2, QStringLiteral("Schede SMAT"),
                 conta(QStringLiteral("SELECT COUNT(skmID) AS Schede FROM skMat WHERE saID = ?"), saID));
    // The reuse and packaging-type cards are one per declaration, kept in
    // one row per type: they are there or not.
    aggiungiRiga(2, QStringLiteral("Schede SRIU"),
                 conta(QStringLiteral("SELECT COUNT(riuID) AS Schede FROM RecRiu WHERE saID = ?"), saID) != 0);
    aggiungiRiga(2, QStringLiteral("Schede STIP"),
                 conta(QStringLiteral("SELECT COUNT(tipID) AS Schede FROM RecTip WHERE saID = ?"), saID) != 0);
    if (gDb)
        gDb->listRs.close();
    modFunz::fitListColumns(lv, 1, 0);
}
