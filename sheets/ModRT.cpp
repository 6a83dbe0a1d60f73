#include "ModRT.h"

#include <QButtonGroup>
#include <QRadioButton>

#include "Recordset.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxText.h"
#include "ui_ModRT.h"

using modFunz::nzStr;

struct ModRT::Ui : public ::Ui::ModRT
{
};

ModRT::ModRT(QWidget *parent) : ModFrame(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    slt = {ui->slt_0, ui->slt_1, ui->slt_2, ui->slt_3, ui->slt_4,
           ui->slt_5, ui->slt_6, ui->slt_7, ui->slt_8};
    slb = {ui->slb_0, ui->slb_1, ui->slb_2, ui->slb_3, ui->slb_4, ui->slb_5, ui->slb_6, ui->slb_7};
    opt = {ui->opt_0, ui->opt_1};
    optSup = {ui->optSup_0, ui->optSup_1};
    sll = {ui->sll_0, ui->sll_1, ui->sll_2, ui->sll_3, ui->sll_4};
    cmbCom = ui->cmbCom;
    cmbNaz = ui->cmbNaz;
    kgt = ui->kgt;
    nav = ui->nav;
    // The two pairs of options are chosen apart.
    for (auto *pair : {&opt, &optSup}) {
        auto *group = new QButtonGroup(this);
        for (QRadioButton *option : *pair)
            group->addButton(option);
        if (pair == &optSup)
            gruppoSup = group;
    }
    // Origin modules carry no Regulation (CE) code.
    ui->lab_8->hide();
    slt[6]->hide();
    slb[3]->hide();
    if (mainForm *main = modMain::gMain)
        slb[7]->setPicture(main->img16(5));
    for (QRadioButton *option : std::as_const(optSup)) {
        option->setFocusPolicy(Qt::TabFocus);
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !caricamento())
                setModificata();
        });
    }
    apriModuli();
}

ModRT::~ModRT() = default;

void ModRT::caricaProprio(const Recordset &rs)
{
    slt[8]->setValue(rs.value(QStringLiteral("mdcAtt")));
    // A surface stored as a text or a fraction (the data layer gives it as
    // the text it is) is neither public nor private: no option shows, and
    // the value stays until the clerk chooses one.
    const QVariant sup = rs.value(QStringLiteral("mdcSup"));
    supTenuta = sup.typeId() == QMetaType::QString ? sup : QVariant();
    if (supTenuta.isValid()) {
        gruppoSup->setExclusive(false);
        for (QRadioButton *option : std::as_const(optSup))
            option->setChecked(false);
        gruppoSup->setExclusive(true);
    } else {
        optSup[sup.toInt() == 2 ? 1 : 0]->setChecked(true);
    }
}

void ModRT::nuovoProprio()
{
    slt[8]->setValue(QVariant());
    // A new module starts public without counting as a change.
    supTenuta = QVariant();
    const QSignalBlocker quiet(optSup[0]);
    optSup[0]->setChecked(true);
}

bool ModRT::verificaProprioItalia()
{
    return !slt[8]->isEmpty() || richiesto(slt[8], slt[8]->MsgRequired());
}

void ModRT::scriviProprio(Recordset &rs)
{
    const QVariant sup = optSup[0]->isChecked() ? QVariant(1) : optSup[1]->isChecked() ? QVariant(2) : supTenuta;
    rs.setValue(QStringLiteral("mdcSup"), sup);
}

void ModRT::optProprio(bool italia)
{
    // A foreign unit is asked for neither codice fiscale nor activity.
    slt[8]->setRequired(italia ? 1 : 0);
}

void ModRT::cambioProprio(int Index, bool &Cancel)
{
    if (Index != 8)
        return;
    if (!slt[8]->isEmpty() && !modMain::existsAttEco(nzStr(slt[8]->Value()))) {
        modFunz::warnMsg(QStringLiteral("Attenzione, codice Istat Attività errato."));
        slt[8]->oldValue = QVariant();
        Cancel = true;
        return;
    }
    setModificata();
}

void ModRT::slbProprio(int Index)
{
    if (Index != 7 || slt[0]->isEmpty() || !modMain::gModal)
        return;
    const QString current = nzStr(slt[8]->Value());
    if (modMain::gModal->showAttEco(current) && nzStr(modMain::gModal->Key) != current) {
        slt[8]->setValue(modMain::gModal->Key);
        setModificata();
    }
    slt[8]->setFocus();
}

void ModRT::resizeEvent(QResizeEvent *event)
{
    ModFrame::resizeEvent(event);
    allarga(width());
}
