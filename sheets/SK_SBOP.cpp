#include "SK_SBOP.h"

#include "ui_SK_SBOP.h"

#include "Currency.h"
#include "Recordset.h"
#include "SheetLayout.h"

namespace {
constexpr int tonnellate = 6;
}

SK_SBOP::SK_SBOP(QWidget *parent) : CardSheet(3, parent), ui(std::make_unique<Ui::SK_SBOP>())
{
    ui->setupUi(this);
    quantita = {ui->slt_2, ui->slt_3, ui->slt_4,  ui->slt_5,  ui->slt_6,  ui->slt_7,
                ui->slt_8, ui->slt_9, ui->slt_10, ui->slt_11, ui->slt_12, ui->slt_13};
    initCards(QVector<slxText *>{ui->slt_0, ui->slt_1} + quantita,
              {ui->slb_0, ui->slb_1, ui->slb_2, ui->slb_3, ui->slb_4, ui->slb_5}, ui->nav);
    SheetLayout::setPictures({ui->slb_0, ui->slb_1, ui->slb_2, ui->slb_3, ui->slb_4, ui->slb_5},
                             {5, 4, 6, 16, 7, 2});
    apriSchede();
}

SK_SBOP::~SK_SBOP() = default;

void SK_SBOP::caricaDati()
{
    letti.clear();
    mostrati.clear();
    for (slxText *field : std::as_const(quantita)) {
        letti << schedeRs->value(field->Field());
        field->setValue(letti.last());
        mostrati << field->Value();
    }
}

void SK_SBOP::pulisciDati()
{
    letti.clear();
    mostrati.clear();
    for (slxText *field : std::as_const(quantita)) {
        field->setValue(0);
        letti << QVariant::fromValue(Currency());
        mostrati << field->Value();
    }
}

// Only the tonnages make a card filled; the average weights do not. A
// stored value that is no amount was still entered.
bool SK_SBOP::schedaRiempita()
{
    for (int i = 0; i < tonnellate; ++i)
        if (quantita[i]->Value().typeId() == QMetaType::QString || quantita[i]->Value().toDouble() > 0)
            return true;
    return false;
}

// A field the user left as it was shown keeps the value read (Null, or
// more decimals than the field shows); a changed one takes what was typed.
bool SK_SBOP::scriviCampi()
{
    for (int i = 0; i < quantita.size(); ++i) {
        const QVariant shown = quantita[i]->Value();
        const QVariant value = i < mostrati.size() && shown == mostrati[i]
            ? letti[i]
            : QVariant::fromValue(Currency::fromDouble(shown.toDouble()));
        if (!schedeRs->setValue(quantita[i]->Field(), value))
            return false;
    }
    return true;
}

void SK_SBOP::dopoSalvataggio()
{
    letti.clear();
    mostrati.clear();
    for (slxText *field : std::as_const(quantita)) {
        letti << schedeRs->value(field->Field());
        mostrati << field->Value();
    }
}

void SK_SBOP::resizeEvent(QResizeEvent *event)
{
    CardSheet::resizeEvent(event);
    SheetLayout::stretch(this, {ui->sll_0, ui->labCapt_1, ui->sll_1});
    SheetLayout::placeBar(this, ui->sllBar, ui->nav, {ui->slb_2, ui->slb_3, ui->slb_4, ui->slb_5});
}
