#include "CardSheet.h"

#include "Connection.h"
#include "MessageBoxSeam.h"
#include "Transaction.h"
#include "Recordset.h"
#include "dbClass.h"
#include "hNav.h"
#include "kezClass.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxText.h"

using modFunz::nzStr;

namespace {
enum Bottone { Lista, Anagrafica, Salva, Nuova, Elimina, Chiudi };
}

CardSheet::CardSheet(int formCode, QWidget *parent) : SheetFrame(formCode, parent) {}

void CardSheet::initCards(const QVector<slxText *> &fields, const QVector<slxButton *> &buttons,
                          hNav *navigator)
{
    slt = fields;
    slb = buttons;
    nav = navigator;
    for (int i = 0; i < slt.size(); ++i)
        connect(slt[i], &slxText::Validate, this, [this, i](bool &Cancel) { slt_Validate(i, Cancel); });
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    setSaveButton(slb[Salva]);
    setNavigator(nav);
    slb[Elimina]->setEnabled(false);
}

void CardSheet::apriSchede()
{
    schedeRs = modMain::gDb->kezRs(QStringLiteral("SELECT * FROM %1 WHERE saID = ? ORDER BY %2")
                                       .arg(tabella(), chiave()),
                                   {modMain::gKez->Sa1ID}, Recordset::adLockOptimistic);
    if (!schedeRs->isOpen() || schedeRs->RecordCount() == 0) {
        schedaVuota();
        return;
    }
    schedeRs->MoveLast();
    nav->setMax(schedeRs->RecordCount());
    nav->setValue(schedeRs->RecordCount());
    caricaScheda();
}

slxText *CardSheet::primoCampo() const
{
    return slt.value(0);
}

void CardSheet::caricaScheda()
{
    m_idScheda = schedeRs->value(chiave()).toInt();
    codFiscScheda = schedeRs->value(QStringLiteral("codFisc"));
    slt[0]->setValue(codFiscScheda);
    slt[1]->setValue(schedeRs->value(QStringLiteral("ragSoc")));
    caricaDati();
    dittaNota = true;
    slb[Elimina]->setEnabled(true);
    setSalvata();
}

void CardSheet::nuovaScheda()
{
    nuovaSchedaFrame(QStringLiteral("Nuova scheda"));
    m_idScheda = 0;
    codFiscScheda = modFunz::nullIfBlank(slt[0]->Text());
    pulisciDati();
    slb[Elimina]->setEnabled(false);
}

// A card with empty fields: nothing of the card shown before stays with it,
// neither its code nor its company.
void CardSheet::schedaVuota()
{
    slt[0]->setValue(QVariant());
    slt[1]->setValue(QVariant());
    dittaNota = false;
    nuovaScheda();
}

void CardSheet::focusCodFisc()
{
    slt[0]->SelectAll();
    slt[0]->setFocus();
}

void CardSheet::slb_Click(int Index)
{
    switch (Index) {
    case Lista:
        if (modMain::gModal->showModuli(titoloLista(), *schedeRs) && chiediSalvataggio()) {
            schedeRs->setBookmark(modMain::gModal->cursorBookMark);
            nav->setValue(modMain::gModal->Key.toInt());
            caricaScheda();
        }
        focusCodFisc();
        break;
    case Anagrafica:
        if (modMain::gModal->showDitte(slt[0]->Text())
            && nzStr(modMain::gModal->CodiceFiscale) != slt[0]->Text() && chiediSalvataggio()) {
            slt[0]->setValue(modMain::gModal->CodiceFiscale);
            cercaCodFisc();
        }
        focusCodFisc();
        break;
    case Salva:
        if (!salvaSchedaCorrente())
            slt[0]->setFocus();
        break;
    case Nuova:
        if (chiediSalvataggio()) {
            schedaVuota();
            slt[0]->setFocus();
        }
        break;
    case Elimina:
        eliminaSchedaCorrente();
        break;
    default:
        unloadForm();
        break;
    }
}

void CardSheet::slt_Validate(int Index, bool &Cancel)
{
    bool Modificato = false;
    Cancel = !matchField(slt[Index], Modificato);
    if (Cancel || !Modificato)
        return;
    if (Index == 0)
        codFisc_Validate(Cancel);
    else
        setModificata();
}

// Another code selects another card: the shown one is never renamed.
void CardSheet::codFisc_Validate(bool &Cancel)
{
    if (!modFunz::checkCodFisc(slt[0]->Value())) {
        slt[0]->oldValue = modFunz::nullIfBlank(nzStr(codFiscScheda));
        Cancel = true;
        slt[0]->SelectAll();
        return;
    }
    const bool senzaCodice = m_idScheda == 0 && codFiscScheda.isNull();
    Cancel = !queryMove(QStringLiteral("Attenzione dati cambiati, vuoi salvarli?"));
    if (Cancel) {
        slt[0]->setValue(codiceDaSalvare());
        slt[0]->SelectAll();
        return;
    }
    // A card started without a code and stored now under the one typed is
    // that subject's card: it stays on show.
    if (!senzaCodice || m_idScheda == 0)
        cercaCodFisc();
}

QVariant CardSheet::codiceDaSalvare() const
{
    // A card belongs to the subject it was started for, and its name to
    // that code. Only a card started without a code takes the one its
    // field accepted (a refused code is not remembered).
    if (m_idScheda != 0 || !codFiscScheda.isNull())
        return codFiscScheda;
    return slt[0]->oldValue == slt[0]->Value() ? slt[0]->Value() : QVariant();
}

void CardSheet::cercaCodFisc()
{
    const QString code = nzStr(slt[0]->Value());
    if (nav->Max() >= 1) {
        schedeRs->MoveFirst();
        for (int i = 1; i <= nav->Max(); ++i) {
            if (nzStr(schedeRs->value(QStringLiteral("codFisc"))) == code) {
                nav->setValue(i);
                caricaScheda();
                return;
            }
            if (i < nav->Max())
                schedeRs->MoveNext();
        }
        nav->setValue(nav->Max());
    }
    dittaNota = modMain::gModal->getDitta(code);
    slt[1]->setValue(dittaNota ? modMain::gModal->ragioneSociale : QVariant());
    nuovaScheda();
    slt[1]->setFocus();
}

bool CardSheet::verificaScheda()
{
    for (slxText *field : {slt[0], slt[1]}) {
        if ((field == slt[0] ? codiceDaSalvare() : field->Value()).isNull()) {
            modFunz::showMsg(field->MsgRequired(), 64);
            field->setFocus();
            return false;
        }
    }
    if (!schedaRiempita()
        && modFunz::showMsg(QStringLiteral("Attenzione, nessuna quantità inserita.\nSalvo comunque la scheda?"), 36)
            != MessageBoxSeam::vbYes)
        return false;
    return true;
}

// Returns Cancel: true when the card was not stored (a check refused it or
// the database did; the user's data stays on the sheet).
bool CardSheet::salvaSchedaCorrente()
{
    if (!verificaScheda())
        return true;
    Connection &cn = modMain::gDb->kezCnn;
    const bool nuova = m_idScheda == 0;
    const QVariant code = codiceDaSalvare();
    const bool registra = nuova || !dittaNota;
    bool dittaRifiutata = false;
    Transaction transaction(cn);
    bool ok = transaction.isActive();
    if (ok && nuova)
        ok = schedeRs->AddNew() && schedeRs->setValue(QStringLiteral("saID"), modMain::gKez->Sa1ID);
    ok = ok && schedeRs->setValue(QStringLiteral("codFisc"), code)
        && schedeRs->setValue(QStringLiteral("ragSoc"), slt[1]->Value()) && scriviCampi() && schedeRs->Update();
    const int id = ok ? schedeRs->value(chiave()).toInt() : 0;
    ok = ok && scriviRighe(id);
    if (ok && registra) {
        modMain::gModal->setDitta(code, slt[1]->Value());
        ok = modMain::gModal->salvaDitta(0);
        dittaRifiutata = !ok;
    }
    ok = ok && transaction.commit();
    if (!ok) {
        // Undone before the message: the file is not held while the user reads it.
        transaction.rollback();
        if (dittaRifiutata) {
            modMain::gModal->clearDitta();
            modFunz::warnMsg(QStringLiteral("Attenzione, impossibile registrare la ditta in anagrafica:\n"
                                            "la scheda non è stata salvata."));
        } else {
            modFunz::showError(QString());
        }
        riposiziona();
        return true;
    }
    if (nuova) {
        m_idScheda = id;
        nav->setMax(nav->Max() + 1);
        nav->setValue(nav->Max());
    }
    codFiscScheda = code;
    dittaNota = true;
    dopoSalvataggio();
    setSalvata();
    slb[Elimina]->setEnabled(true);
    return false;
}

// After a refused save the cards are read again, so that no row the
// database did not keep stays in the list, and the shown card is found again.
void CardSheet::riposiziona()
{
    if (schedeRs->editMode() != Recordset::adEditNone)
        schedeRs->CancelUpdate();
    schedeRs->Requery();
    if (m_idScheda == 0)
        return;
    for (schedeRs->MoveFirst(); !schedeRs->eof(); schedeRs->MoveNext())
        if (schedeRs->value(chiave()).toInt() == m_idScheda)
            return;
}

void CardSheet::eliminaSchedaCorrente()
{
    if (!modFunz::confirmDelete(voceElimina()))
        return;
    if (!schedeRs->Delete()) {
        modFunz::showError(QString());
        return;
    }
    if (dopoEliminazione())
        caricaScheda();
    else
        schedaVuota();
    slt[0]->setFocus();
}
