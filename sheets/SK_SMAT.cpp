#include "SK_SMAT.h"

#include "ui_SK_SMAT.h"

#include "Connection.h"
#include "QuantityGrid.h"
#include "Recordset.h"
#include "SheetLayout.h"
#include "dbClass.h"
#include "modMain.h"

namespace {

// Materials are stored as their grid row + 100 (101 Vetro ... 107 Altro).
constexpr int primoMateriale = 100;
const char *const materiali[] = {"Vetro", "Carta", "Alluminio", "Acciaio", "Legno", "Plastica", "Altro"};
const char *const colonne[] = {"qtaProdVuoti", "qtaProdPieni", "qtaImpVuoti",
                               "qtaImpPieni", "qtaEspVuoti", "qtaEspPieni"};

} // namespace

SK_SMAT::SK_SMAT(QWidget *parent) : CardSheet(4, parent), ui(std::make_unique<Ui::SK_SMAT>())
{
    ui->setupUi(this);
    initCards({ui->slt_0, ui->slt_1}, {ui->slb_0, ui->slb_1, ui->slb_2, ui->slb_3, ui->slb_4, ui->slb_5},
              ui->nav);
    SheetLayout::setPictures({ui->slb_0, ui->slb_1, ui->slb_2, ui->slb_3, ui->slb_4, ui->slb_5},
                             {5, 4, 6, 16, 7, 2});

    quantita = new QuantityGrid(ui->slg, 1, this);
    ui->slg->setFixedHeight(900);
    for (const char *caption : {"PRODUZIONE imb. vuoti ton/anno", "AUTOPROD. imb. pieni ton/anno",
                                "IMPORTAZIONE imb. vuoti ton/anno", "IMPORTAZIONE imb. pieni ton/anno",
                                "ESPORTAZIONE imb. vuoti ton/anno", "ESPORTAZIONE imb. pieni ton/anno"})
        quantita->addColumn(QString::fromUtf8(caption), 1800);
    ui->slg->setTextMatrix(0, 0, QStringLiteral("MATERIALE DI IMBALLAGGIO"));
    for (const char *materiale : materiali) {
        const int r = ui->slg->addRow(0);
        ui->slg->setTextMatrix(r, 0, QString::fromUtf8(materiale));
        ui->slg->setRow(r);
        ui->slg->setCol(0);
        ui->slg->setCellBackColor(15262168);
        ui->slg->setCellForeColor(4194304);
        ui->slg->setCellAlignment(7);
    }
    quantita->clear();
    connect(quantita, &QuantityGrid::changed, this, [this] { setModificata(); });
    ui->slg->setExpandedCol(0);
    ui->slg->setRow(1);
    ui->slg->setCol(1);
    apriSchede();
}

SK_SMAT::~SK_SMAT() = default;

slxGrid *SK_SMAT::grid() const
{
    return ui->slg;
}

void SK_SMAT::caricaDati()
{
    quantita->clear();
    auto rs = modMain::gDb->kezRs(QStringLiteral("SELECT * FROM RecMat WHERE skmID = ? ORDER BY skmTipo"),
                                  {idScheda()});
    for (; rs->isOpen() && !rs->eof(); rs->MoveNext()) {
        const int r = rs->value(QStringLiteral("skmTipo")).toInt() - primoMateriale;
        if (r < 1 || r > ui->slg->Rows())
            continue;
        for (int c = 1; c <= 6; ++c)
            quantita->setStored(r, c, rs->value(QLatin1String(colonne[c - 1])));
    }
    ui->slg->setRow(1);
    ui->slg->setCol(1);
}

void SK_SMAT::pulisciDati()
{
    quantita->clear();
    ui->slg->setRow(1);
    ui->slg->setCol(1);
}

bool SK_SMAT::schedaRiempita()
{
    bool riempita = false;
    for (int r = 1; r <= ui->slg->Rows(); ++r) {
        ui->slg->setRowID(r, quantita->hasQuantity(r) ? 1 : 0);
        riempita = riempita || ui->slg->rowID(r) == 1;
    }
    return riempita;
}

// One row per material with a quantity: a stored row of the material is
// rewritten, a missing one added, and the rows of materials left without
// quantities (or of no known material) deleted.
bool SK_SMAT::scriviRighe(int id)
{
    Connection &cn = modMain::gDb->kezCnn;
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT * FROM RecMat WHERE skmID = ? ORDER BY skmTipo"), &cn,
                 Recordset::adLockOptimistic, {id}))
        return false;
    for (int r = 1; r <= ui->slg->Rows(); ++r) {
        bool trovata = false;
        for (rs.MoveFirst(); !rs.eof(); rs.MoveNext())
            if (rs.value(QStringLiteral("skmTipo")).toInt() == r + primoMateriale) {
                trovata = true;
                break;
            }
        if (ui->slg->rowID(r) == 0) {
            if (trovata && !rs.Delete())
                return false;
            continue;
        }
        if (!trovata && !(rs.AddNew() && rs.setValue(QStringLiteral("skmID"), id)
                          && rs.setValue(QStringLiteral("skmTipo"), r + primoMateriale)))
            return false;
        for (int c = 1; c <= 6; ++c)
            if (!rs.setValue(QLatin1String(colonne[c - 1]), quantita->value(r, c)))
                return false;
        if (!rs.Update())
            return false;
    }
    return cn.execute(QStringLiteral("DELETE FROM RecMat WHERE skmID = ? AND (skmTipo < ? OR skmTipo > ?)"),
                      {id, primoMateriale + 1, primoMateriale + ui->slg->Rows()});
}

void SK_SMAT::dopoSalvataggio()
{
    quantita->markSaved();
}

void SK_SMAT::resizeEvent(QResizeEvent *event)
{
    CardSheet::resizeEvent(event);
    SheetLayout::stretch(this, {ui->labCapt_0, ui->labCapt_1, ui->sll_0});
    SheetLayout::placeBar(this, ui->sllBar, ui->nav, {ui->slb_2, ui->slb_3, ui->slb_4, ui->slb_5});
    SheetLayout::fillAbove(ui->slg, ui->sllBar);
    ui->slg->expandCol(0);
}
