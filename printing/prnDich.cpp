#include "prnDich.h"

#include <QCheckBox>

#include "PrintMod.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "ui_prnDich.h"

struct prnDich::Ui : public ::Ui::prnDich
{
};

prnDich::prnDich(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    chk = {ui->chk_0, ui->chk_1, ui->chk_2, ui->chk_3, ui->chk_4, ui->chk_5};
    slb = {ui->slb_0, ui->slb_1, ui->slb_2};
    labDich = ui->labDich;
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    if (mainForm *main = modMain::gMain) {
        slb[0]->setPicture(main->img16(12));
        slb[1]->setPicture(main->img16(2));
        slb[2]->setPicture(main->img16(5));
    }
    modMain::currentForm = 107;
    if (modMain::gKez)
        caricaDichiarazione(modMain::gKez->Sa1ID, modMain::gKez->CodiceFiscale);
    slb[0]->setFocus();
}

prnDich::~prnDich()
{
    modMain::currentForm = 100;
}

void prnDich::caricaDichiarazione(int saID, const QString &codFisc)
{
    // A declaration that could not be read (the error box has said why) is
    // not offered for printing, nor said to be missing.
    const int lette = saID > 0 ? PrintMod::sezioniPresenti(saID) : 0;
    const int presenti = qMax(lette, 0);
    m_saID = presenti ? saID : 0;
    m_codFisc = presenti ? codFisc : QString();
    labDich->setText(presenti ? PrintMod::descriviDichiarazione(saID)
                     : lette < 0 ? QStringLiteral("Dichiarazione non letta: errore del database.")
                                 : QStringLiteral("Nessuna dichiarazione selezionata: sceglierne una "
                                                  "dalla lista delle dichiarazioni inserite."));
    for (int i = 0; i < chk.size(); ++i) {
        const bool stored = presenti & (1 << i);
        chk[i]->setChecked(stored);
        chk[i]->setEnabled(stored);
    }
}

void prnDich::slb_Click(int Index)
{
    switch (Index) {
    case 0: {
        if (m_saID == 0) {
            modFunz::warnMsg(QStringLiteral("Attenzione, nessuna dichiarazione selezionata."));
            return;
        }
        int sezioni = 0;
        for (int i = 0; i < chk.size(); ++i)
            if (chk[i]->isEnabled() && chk[i]->isChecked())
                sezioni |= 1 << i;
        if (sezioni == 0) {
            modFunz::warnMsg(QStringLiteral("Attenzione, nessuna sezione selezionata."));
            return;
        }
        m_file = PrintMod::stampaDichiarazione(m_saID, sezioni);
        if (!m_file.isEmpty())
            accept();
        break;
    }
    case 2:
        if (modMain::gModal && modMain::gModal->showDichiarazioni(m_saID, m_codFisc))
            caricaDichiarazione(modMain::gModal->Key.toInt(), modMain::gModal->Codice.toString());
        break;
    default:
        reject();
        break;
    }
}
