#include "prnList.h"

#include <QComboBox>

#include "PrintMod.h"
#include "Recordset.h"
#include "dbClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "ui_prnList.h"

struct prnList::Ui : public ::Ui::prnList
{
};

prnList::prnList(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    cmbCCIAA = ui->cmbCCIAA;
    slb = {ui->slb_0, ui->slb_1};
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    if (mainForm *main = modMain::gMain) {
        slb[0]->setPicture(main->img16(12));
        slb[1]->setPicture(main->img16(2));
    }
    modMain::currentForm = 108;

    cmbCCIAA->addItem(QStringLiteral("Tutte le camere di commercio"), 0);
    if (modMain::gDb) {
        // A chamber of commerce is a province that serves itself.
        auto rs = modMain::gDb->kezRs(QStringLiteral("SELECT prvIstat, prvDesc FROM Province "
                                                     "WHERE prvCCIAA = prvIstat ORDER BY prvDesc"));
        for (; rs->isOpen() && !rs->eof(); rs->MoveNext())
            cmbCCIAA->addItem(modFunz::nzStr(rs->value(1)), rs->value(0).toInt());
    }
    slb[0]->setFocus();
}

prnList::~prnList()
{
    modMain::currentForm = 100;
}

void prnList::slb_Click(int Index)
{
    if (Index != 0) {
        reject();
        return;
    }
    m_file = PrintMod::stampaElenco(cmbCCIAA->currentData().toInt());
    if (!m_file.isEmpty())
        accept();
}
