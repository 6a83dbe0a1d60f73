#include "TypeSheet.h"

#include "ui_TypeSheet.h"

#include "Connection.h"
#include "MessageBoxSeam.h"
#include "Transaction.h"
#include "QuantityGrid.h"
#include "Recordset.h"
#include "SheetLayout.h"
#include "dbClass.h"
#include "gridColumn.h"
#include "kezClass.h"
#include "modFunz.h"
#include "modMain.h"
#include "slxModule.h"

using modFunz::nzStr;

namespace {
enum Bottone { Salva, Elimina, Chiudi };
enum Colonna { Tipo = 1, Quantita1, Quantita2 };
constexpr int coloreTipo = 216 + 225 * 256 + 232 * 65536;
constexpr int testoTipo = 64 * 65536;
} // namespace

TypeSheet::TypeSheet(const Kind &kind, QWidget *parent)
    : SheetFrame(kind.formCode, parent), k(kind), ui(std::make_unique<Ui::TypeSheet>())
{
    ui->setupUi(this);
    setWindowTitle(QString::fromUtf8(k.caption));
    ui->labCapt_1->setCaption(QString::fromUtf8(k.title));
    ui->labCapt_2->setVisible(k.quantityLabel);
    const QList<slxButton *> slb{ui->slb_0, ui->slb_1, ui->slb_2};
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    SheetLayout::setPictures(slb, {6, 7, 2});
    setSaveButton(ui->slb_0);

    quantita = new QuantityGrid(ui->slg, Quantita1, this);
    ui->slg->setFixedHeight(k.headerHeight);
    ui->slg->setFixedAlignment(4);
    gridColumn *tipo = ui->slg->AddColumn(QStringLiteral("TIPO DI IMBALLAGGIO"), 2400);
    tipo->CaptionAlign = 4;
    tipo->FieldAlign = 7;
    tipo->FieldType = gridColumn::Stringa;
    tipo->Editable = false;
    ui->slg->RefreshColumn(Tipo, tipo);
    quantita->addColumn(QString::fromUtf8(k.caption1), k.columnWidth);
    quantita->addColumn(QString::fromUtf8(k.caption2), k.columnWidth);
    ui->slg->setExpandedCol(Tipo);
    connect(quantita, &QuantityGrid::changed, this, [this] { setModificata(); });

    caricaTipi();
    caricaRighe();
    ui->slg->setHelpContext(k.formCode);
    if (k.wheel)
        modMain::hookWheel(this);
}

TypeSheet::~TypeSheet() = default;

slxGrid *TypeSheet::grid() const
{
    return ui->slg;
}

void TypeSheet::caricaTipi()
{
    auto rs = modMain::gDb->kezRs(
        QStringLiteral("SELECT codAlfa, codNumb, codDesc FROM Codici WHERE codType = ? ORDER BY codNumb"),
        {k.codType});
    ui->slg->setTextMatrix(0, 0, QStringLiteral("MATERIALE"));
    ui->slg->setFixedCols(2);
    for (; rs->isOpen() && !rs->eof(); rs->MoveNext()) {
        const int r = ui->slg->addRow(0, nzStr(rs->value(QStringLiteral("codDesc"))) + QLatin1Char(' '));
        ui->slg->setRowID(r, rs->value(QStringLiteral("codNumb")).toInt());
        ui->slg->setTextMatrix(r, 0, nzStr(rs->value(QStringLiteral("codAlfa"))));
        ui->slg->setRow(r);
        for (int c : {0, int(Tipo)}) {
            ui->slg->setCol(c);
            ui->slg->setCellBackColor(coloreTipo);
            ui->slg->setCellForeColor(testoTipo);
            ui->slg->setCellAlignment(7);
        }
        ui->slg->setCellFontBold(false);
    }
    quantita->clear();
    ui->slg->setRow(1);
    ui->slg->setCol(Quantita1);
}

// Each stored row shows on the row of its type; a type the list does not
// hold is not shown (the next save drops it), and of two rows of one type
// the later one shows.
void TypeSheet::caricaRighe()
{
    m_righe.clear();
    m_chiavi.clear();
    auto rs = modMain::gDb->kezRs(QStringLiteral("SELECT * FROM %1 WHERE saID = ? ORDER BY %2, %3")
                                      .arg(QLatin1String(k.table), QLatin1String(k.typeColumn), QLatin1String(k.key)),
                                  {modMain::gKez->Sa1ID});
    QHash<int, int> rowOfType;
    for (int r = 1; r <= ui->slg->Rows(); ++r)
        rowOfType.insert(ui->slg->rowID(r), r);
    for (; rs->isOpen() && !rs->eof(); rs->MoveNext()) {
        const int id = rs->value(QLatin1String(k.key)).toInt();
        const int type = rs->value(QLatin1String(k.typeColumn)).toInt();
        m_chiavi << id;
        const int r = rowOfType.value(type, 0);
        if (r == 0)
            continue;
        m_righe.insert(type, id);
        quantita->setStored(r, Quantita1, rs->value(QLatin1String(k.qta1)));
        quantita->setStored(r, Quantita2, rs->value(QLatin1String(k.qta2)));
    }
    if (!m_chiavi.isEmpty())
        ui->slb_1->setEnabled(true);
}

void TypeSheet::slb_Click(int Index)
{
    switch (Index) {
    case Salva:
        salvaScheda();
        if (m_eliminata)
            unloadForm();
        break;
    case Elimina:
        eliminaScheda();
        break;
    default:
        unloadForm();
        break;
    }
}

// Returns Cancel: true keeps the sheet open (the user kept an empty card,
// or the database refused the change; the user's values stay).
bool TypeSheet::salvaScheda()
{
    m_eliminata = false;
    bool vuota = true;
    for (int r = 1; r <= ui->slg->Rows() && vuota; ++r)
        vuota = !quantita->hasQuantity(r);
    if (vuota) {
        if (!ui->slb_1->Enabled()) {
            setSalvata();
            return false;
        }
        if (modFunz::showMsg(
                QStringLiteral("Attenzione, nessun valore impostato,\nprocedo con l'eliminazione della scheda?"), 33)
            != MessageBoxSeam::vbOK)
            return true;
        if (!eliminaRighe())
            return true;
        setSalvata();
        m_eliminata = true;
        return false;
    }
    Connection &cn = modMain::gDb->kezCnn;
    QHash<int, int> righe;
    Transaction transaction(cn);
    if (!(transaction.isActive() && scriviRighe(righe) && transaction.commit())) {
        transaction.rollback();
        modFunz::showError(QString());
        return true;
    }
    // What is stored now, for the next save.
    m_righe = righe;
    m_chiavi = righe.values();
    quantita->markSaved();
    setSalvata();
    ui->slb_1->setEnabled(true);
    return false;
}

// A type with a quantity rewrites its stored row or gets a new one; every
// other stored row of the declaration goes.
bool TypeSheet::scriviRighe(QHash<int, int> &righe)
{
    Connection &cn = modMain::gDb->kezCnn;
    const QString table = QLatin1String(k.table);
    for (int r = 1; r <= ui->slg->Rows(); ++r) {
        if (!quantita->hasQuantity(r))
            continue;
        const int type = ui->slg->rowID(r);
        const QVariant q1 = quantita->value(r, Quantita1);
        const QVariant q2 = quantita->value(r, Quantita2);
        if (const int id = m_righe.value(type, 0)) {
            if (!cn.execute(QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE %4 = ?")
                                .arg(table, QLatin1String(k.qta1), QLatin1String(k.qta2), QLatin1String(k.key)),
                            {q1, q2, id}))
                return false;
            righe.insert(type, id);
        } else {
            if (!cn.execute(QStringLiteral("INSERT INTO %1 (saID, %2, %3, %4) VALUES (?, ?, ?, ?)")
                                .arg(table, QLatin1String(k.typeColumn), QLatin1String(k.qta1), QLatin1String(k.qta2)),
                            {modMain::gKez->Sa1ID, type, q1, q2}))
                return false;
            righe.insert(type, int(cn.lastInsertRowId()));
        }
    }
    const QList<int> tenute = righe.values();
    for (const int id : std::as_const(m_chiavi)) {
        if (!tenute.contains(id)
            && !cn.execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, QLatin1String(k.key)), {id}))
            return false;
    }
    return true;
}

bool TypeSheet::eliminaRighe()
{
    if (!modMain::gDb->Execute(QStringLiteral("DELETE FROM %1 WHERE saID = ?").arg(QLatin1String(k.table)),
                               {modMain::gKez->Sa1ID}))
        return false;
    m_righe.clear();
    m_chiavi.clear();
    return true;
}

void TypeSheet::eliminaScheda()
{
    if (!modFunz::confirmDelete(QString::fromUtf8(k.deleteItem)))
        return;
    if (!eliminaRighe())
        return;
    setSalvata();
    unloadForm();
}

void TypeSheet::formUnload()
{
    if (k.wheel)
        modMain::unhookWheel(this);
}

void TypeSheet::resizeEvent(QResizeEvent *event)
{
    SheetFrame::resizeEvent(event);
    SheetLayout::stretch(this, {ui->labCapt_0, ui->labCapt_1});
    ui->labCapt_2->move(width() - ui->labCapt_2->width(), ui->labCapt_2->y());
    ui->sllBar->setGeometry(0, height() - ui->sllBar->height(), width(), ui->sllBar->height());
    const int y = ui->sllBar->y() + (ui->sllBar->height() - ui->slb_0->height()) / 2;
    ui->slb_0->move(ui->slb_0->x(), y);
    ui->slb_1->move((width() - ui->slb_1->width()) / 2, y);
    ui->slb_2->move(width() - ui->slb_2->width() - ui->slb_0->x(), y);
    // Without the label over the quantities the grid starts under the title.
    const QWidget *above = k.quantityLabel ? static_cast<QWidget *>(ui->labCapt_2) : ui->labCapt_1;
    ui->slg->move(0, above->geometry().bottom() + 3);
    SheetLayout::fillAbove(ui->slg, ui->sllBar);
    ui->slg->expandCol(Tipo);
}
