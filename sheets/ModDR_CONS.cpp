#include "ModDR_CONS.h"

#include <QApplication>
#include <QButtonGroup>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollArea>

#include "Currency.h"
#include "Recordset.h"
#include "dbClass.h"
#include "modFunz.h"
#include "modMain.h"
#include "slxGrid.h"
#include "slxLabel.h"
#include "slxText.h"
#include "ui_ModDR_CONS.h"

using modMain::gDb;

namespace {
// Operation rows are read and rewritten in this order; a position other
// than recovery or disposal belongs to neither grid and is left alone.
const QString sqlOperazioni = QStringLiteral(
    "SELECT * FROM RecDrCons WHERE mdcID = ? AND Posizione IN (1, 2) ORDER BY Posizione, Codice");
}

struct ModDR_CONS::Ui : public ::Ui::ModDR_CONS
{
};

ModDR_CONS::ModDR_CONS(QWidget *parent) : ModFrame(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    m_altezza = ui->vsbContent->height();
    vsb = ui->vsb;
    slt = {ui->slt_0, ui->slt_1, ui->slt_2, ui->slt_3, ui->slt_4, ui->slt_5, ui->slt_6, ui->slt_7};
    slb = {ui->slb_0, ui->slb_1, ui->slb_2, ui->slb_3, ui->slb_4, ui->slb_5, ui->slb_6};
    opt = {ui->opt_0, ui->opt_1};
    sll = {ui->sll_0, ui->sll_1, ui->sll_2, ui->sll_3, ui->sll_4};
    slg = {ui->slg_0, ui->slg_1};
    cmbCom = ui->cmbCom;
    cmbNaz = ui->cmbNaz;
    kgt = ui->kgt;
    nav = ui->nav;
    ui->vsbContent->setMinimumHeight(m_altezza);
    // The scrolling area itself never takes the focus from a field.
    vsb->setFocusPolicy(Qt::NoFocus);
    ui->vsbContent->installEventFilter(this);

    const QString prefix[] = {QStringLiteral("R"), QStringLiteral("D")};
    const int rows[] = {13, 15};
    for (int g = 0; g < 2; ++g) {
        slg[g]->endReadProperties();
        for (int i = 1; i <= rows[g]; ++i) {
            const int r = slg[g]->addRow(0, 0, 1);
            slg[g]->setTextMatrix(r, 0, prefix[g] + QString::number(i));
        }
        connect(slg[g], &slxGrid::RequestEdit, this,
                [this](bool &, int &, QVariant &Valore) { m_valoreCella = Valore; });
        connect(slg[g], &slxGrid::ValidateEdit, this, [this](bool &, QVariant &Valore) {
            if (!modFunz::sameValue(m_valoreCella, Valore))
                setModificata();
        });
    }
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { mostraFocus(now); });
    apriModuli();
}

ModDR_CONS::~ModDR_CONS() = default;

void ModDR_CONS::mostraFocus(QWidget *now)
{
    if (!now || !ui->vsbContent->isAncestorOf(now))
        return;
    const auto within = [now](QWidget *w) { return w == now || w->isAncestorOf(now); };
    if (within(slt[0]) || within(opt[0]) || within(opt[1])) {
        vsb->ensureWidgetVisible(ui->sll_0);
    } else if (within(ui->Frame1_0) || within(ui->Frame1_1)) {
        // The whole breakdown, from its heading down, as far as the room allows.
        vsb->ensureWidgetVisible(within(ui->Frame1_0) ? ui->Frame1_0 : ui->Frame1_1, 0, 0);
        vsb->ensureWidgetVisible(ui->sll_3, 0, 0);
    } else {
        vsb->ensureWidgetVisible(now);
    }
}

void ModDR_CONS::azzeraOperazioni()
{
    for (slxGrid *grid : std::as_const(slg)) {
        for (int i = 1; i <= grid->Rows(); ++i) {
            grid->setTextMatrix(i, 1, 0);
            grid->setTextMatrix(i, 2, 1);
        }
        grid->setRow(1);
        grid->setCol(1);
    }
}

void ModDR_CONS::caricaProprio(const Recordset &)
{
    azzeraOperazioni();
    if (!gDb || !gDb->listRsOpen(sqlOperazioni, {idModulo}))
        return;
    Recordset &rs = gDb->listRs;
    for (; !rs.eof(); rs.MoveNext()) {
        slxGrid *grid = slg[rs.value(QStringLiteral("Posizione")).toInt() - 1];
        const QString code = modFunz::nzStr(rs.value(QStringLiteral("Codice")));
        for (int i = 1; i <= grid->Rows(); ++i) {
            if (grid->TextMatrix(i, 0).toString() == code) {
                grid->setTextMatrix(i, 1, rs.value(QStringLiteral("Qta")));
                grid->setTextMatrix(i, 2, rs.value(QStringLiteral("Umi")));
                break;
            }
        }
    }
    rs.close();
}

void ModDR_CONS::nuovoProprio()
{
    azzeraOperazioni();
}

bool ModDR_CONS::salvaDopo(int key)
{
    return salvaOperazioni(key);
}

bool ModDR_CONS::salvaOperazioni(int key)
{
    if (!gDb)
        return false;
    // Rows are rewritten in the grids' order, not each on its own stored
    // row: a quantity or unit the file holds as no number of its kind
    // (shown as it stands) cannot go back where it was. The clerk types it
    // over before the module is saved; nothing is changed behind the clerk.
    for (int g = 0; g < 2; ++g) {
        for (int i = 1; i <= slg[g]->Rows(); ++i) {
            for (int c = 1; c <= 2; ++c) {
                if (slg[g]->TextMatrix(i, c).typeId() != QMetaType::QString)
                    continue;
                modFunz::warnMsg(QStringLiteral("Attenzione, %1 dell'operazione %2 non valida: correggerla.")
                                     .arg(c == 1 ? QStringLiteral("quantità") : QStringLiteral("unità di misura"),
                                          slg[g]->TextMatrix(i, 0).toString()));
                slg[g]->setFocus();
                slg[g]->setRow(i);
                slg[g]->setCol(c);
                return false;
            }
        }
    }
    auto rs = gDb->kezRs(sqlOperazioni, {key}, Recordset::adLockOptimistic);
    if (!rs->isOpen())
        return false;
    const auto failed = [&rs] {
        ErrInfo::current() = rs->lastError();
        modFunz::showError(QString());
        return false;
    };
    // Stored rows are rewritten in place; rows are added only for more
    // operations than before and deleted only for fewer.
    const int n = rs->RecordCount();
    int used = 0;
    for (int g = 0; g < 2; ++g) {
        for (int i = 1; i <= slg[g]->Rows(); ++i) {
            const Currency q = Currency::fromVariant(slg[g]->TextMatrix(i, 1));
            if (q <= Currency())
                continue;
            ++used;
            if (used > n) {
                if (!rs->AddNew())
                    return failed();
                rs->setValue(QStringLiteral("mdcID"), key);
            }
            rs->setValue(QStringLiteral("Posizione"), g + 1);
            rs->setValue(QStringLiteral("Codice"), slg[g]->TextMatrix(i, 0));
            rs->setValue(QStringLiteral("Qta"), q.toVariant());
            rs->setValue(QStringLiteral("Umi"), slg[g]->TextMatrix(i, 2));
            if (!rs->Update())
                return failed();
            if (used <= n)
                rs->MoveNext();
        }
    }
    // The stored rows past the last one reused are no longer operations.
    for (int k = used; k < n; ++k) {
        if (!rs->Delete())
            return failed();
        rs->MoveNext();
    }
    return true;
}

void ModDR_CONS::dispone(int width)
{
    allarga(width);
    const int half = (width - 24) / 2;
    ui->Frame1_0->setGeometry(8, ui->Frame1_0->y(), half, ui->Frame1_0->height());
    ui->Frame1_1->setGeometry(16 + half, ui->Frame1_1->y(), half, ui->Frame1_1->height());
    for (slxGrid *grid : std::as_const(slg)) {
        grid->resize(half - 16, grid->height());
        grid->expandCol(1);
    }
}

bool ModDR_CONS::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->vsbContent && event->type() == QEvent::Resize)
        dispone(static_cast<QResizeEvent *>(event)->size().width());
    return ModFrame::eventFilter(watched, event);
}

void ModDR_CONS::resizeEvent(QResizeEvent *event)
{
    ModFrame::resizeEvent(event);
    vsb->setGeometry(rect());
}
