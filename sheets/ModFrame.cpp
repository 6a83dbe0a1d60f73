#include "ModFrame.h"

#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTimer>

#include "Connection.h"
#include "Transaction.h"
#include "Recordset.h"
#include "comboCom.h"
#include "comboKgt.h"
#include "dbClass.h"
#include "hNav.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxCombo.h"
#include "slxLabel.h"
#include "slxText.h"

using modFunz::nullIfBlank;
using modFunz::nzStr;
using modMain::gDb;
using modMain::gKez;
using modMain::gModal;

namespace {
bool reportFailure(const ErrInfo &error)
{
    ErrInfo::current() = error;
    modFunz::showError(QString());
    return false;
}
}

ModFrame::ModFrame(QWidget *parent) : SheetFrame(0, parent) {}

ModFrame::~ModFrame() = default;

void ModFrame::apriModuli()
{
    dittaNota = false;
    if (mainForm *main = modMain::gMain) {
        static const int pictures[] = {4, 3, 7, 5, 6, 15, 2};
        for (int i = 0; i < 7; ++i)
            slb[i]->setPicture(main->img16(pictures[i]));
    }
    for (int i = 0; i < slt.size(); ++i)
        connect(slt[i], &slxText::Validate, this, [this, i](bool &Cancel) { slt_Validate(i, Cancel); });
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    for (int i = 0; i < opt.size(); ++i) {
        // A click on an option does not leave the field being typed: an
        // empty codice fiscale must not stop the user choosing "Estero".
        opt[i]->setFocusPolicy(Qt::TabFocus);
        connect(opt[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                opt_Click(i);
        });
    }
    connect(cmbCom, &comboCom::Validate, this, &ModFrame::cmbCom_Validate);
    connect(cmbNaz, &slxCombo::Validate, this, &ModFrame::cmbNaz_Validate);
    connect(kgt, &comboKgt::Validate, this, [this](bool &) {
        if (kgt->Changed())
            setModificata();
    });
    setSaveButton(slb[4]);
    setNavigator(nav);

    cmbNaz->Refresh();
    if (gDb && gKez)
        schedeRs = gDb->kezRs(
            QStringLiteral("SELECT * FROM ModCons WHERE scID = ? AND mdcTipo = ? ORDER BY mdcID"),
            {gKez->consID, tipoModulo()}, Recordset::adLockOptimistic);
    else
        schedeRs = std::make_unique<Recordset>();
    if (!schedeRs->isOpen() || schedeRs->RecordCount() < 1) {
        avviaNuovo();
        return;
    }
    schedeRs->MoveLast();
    nav->setMax(schedeRs->RecordCount());
    nav->setValue(nav->Max());
    caricaModulo(false);
}

void ModFrame::showEvent(QShowEvent *event)
{
    SheetFrame::showEvent(event);
    if (!m_mostrato) {
        m_mostrato = true;
        // A click on the form's background or on an option takes no focus
        // away from the field being typed (and so runs no check of it).
        if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
            frame->setFocusPolicy(Qt::NoFocus);
        // The form opens with the cursor where a module is chosen or started.
        QTimer::singleShot(0, slt[0], [this] { focusCodFisc(); });
    }
}

void ModFrame::allarga(int width)
{
    for (slxLabel *band : std::as_const(sll))
        band->resize(width - 2 * band->x(), band->height());
    nav->resize(width - nav->x() - 4, nav->height());
    const int left = slb[4]->x();
    const int each = (width - left - 4) / 3;
    for (int i = 0; i < 3; ++i)
        slb[4 + i]->setGeometry(left + i * each, slb[4]->y(), each, slb[4]->height());
}

bool ModFrame::isItalia() const
{
    return opt[0]->isChecked();
}

slxText *ModFrame::primoCampo() const
{
    return slt[0];
}

void ModFrame::caricaModulo(bool richiesto)
{
    m_caricamento = true;
    const Recordset &rs = *schedeRs;
    idModulo = rs.value(QStringLiteral("mdcID")).toInt();
    slt[0]->setValue(rs.value(QStringLiteral("codFisc")));
    codFiscModulo = slt[0]->Text();
    slt[1]->setValue(rs.value(QStringLiteral("ragSoc")));
    cmbCom->letValue(rs.value(QStringLiteral("prvIstat")), rs.value(QStringLiteral("comIstat")));
    slt[2]->setValue(nullIfBlank(cmbCom->Sigla()));
    slt[3]->setValue(rs.value(QStringLiteral("via")));
    slt[4]->setValue(rs.value(QStringLiteral("civico")));
    slt[5]->setValue(rs.value(QStringLiteral("cap")));
    cmbNaz->setValue(rs.value(QStringLiteral("nazID")));
    slt[6]->setValue(rs.value(QStringLiteral("regCE")));
    slt[7]->setValue(rs.value(QStringLiteral("mdcQta")));
    kgt->setValue(rs.value(QStringLiteral("mdcUmi")));
    caricaProprio(rs);
    // A subject with a municipality is Italian, and so is one whose code
    // is no number (the data layer gives it as the text it is): the print
    // and the verification judge it so.
    const QVariant comune = rs.value(QStringLiteral("comIstat"));
    scegliOpzione(comune.typeId() == QMetaType::QString || comune.toLongLong() != 0 ? 0 : 1);
    slb[2]->setEnabled(true);
    setSalvata();
    slb[5]->setEnabled(true);
    m_caricamento = false;
    if (richiesto)
        focusCodFisc();
}

void ModFrame::nuovoModulo()
{
    nuovaSchedaFrame(QStringLiteral("Nuovo modulo"));
    idModulo = 0;
    codFiscModulo = slt[0]->Text();
    if (dittaNota && gModal) {
        slt[1]->setValue(gModal->ragioneSociale);
        slt[3]->setValue(gModal->via);
        slt[4]->setValue(gModal->civico);
        slt[5]->setValue(gModal->cap);
        cmbCom->letValue(gModal->istatProvincia, gModal->istatComune);
        slt[2]->setValue(nullIfBlank(cmbCom->Sigla()));
    } else {
        for (int i = 1; i <= 5; ++i)
            slt[i]->setValue(QVariant());
        cmbCom->setValue(0);
    }
    cmbNaz->setValue(0);
    slt[6]->setValue(QVariant());
    slt[7]->setValue(0);
    kgt->setValue(1);
    nuovoProprio();
    slb[2]->setEnabled(false);
    slb[5]->setEnabled(false);
}

void ModFrame::avviaNuovo()
{
    // Taken before the buttons it may stand on are disabled, so that the
    // focus never passes through another field on the way.
    slt[0]->setFocus();
    slt[0]->setValue(QVariant());
    dittaNota = false;
    m_caricamento = true;
    scegliOpzione(0);
    m_caricamento = false;
    nuovoModulo();
}

void ModFrame::scegliOpzione(int Index)
{
    // Choosing the option already chosen raises no toggle, but its
    // controls must still follow it.
    if (opt[Index]->isChecked())
        opt_Click(Index);
    else
        opt[Index]->setChecked(true);
}

void ModFrame::opt_Click(int Index)
{
    const bool italia = Index == 0;
    for (int i = 2; i <= 5; ++i)
        slt[i]->setEnabled(italia);
    if (italia) {
        slt[0]->setEnabled(true);
        slt[1]->setEnabled(true);
    }
    cmbCom->setEnabled(italia);
    slb[1]->setEnabled(italia);
    cmbNaz->setEnabled(!italia);
    slt[6]->setEnabled(!italia);
    slb[3]->setEnabled(!italia);
    slb[0]->setEnabled(true);
    if (!m_caricamento) {
        if (italia) {
            cmbNaz->setValue(0);
            if (mostraRegCE())
                slt[6]->setValue(QVariant());
        } else {
            cmbCom->setValue(0);
            for (int i = 2; i <= 5; ++i)
                slt[i]->setValue(QVariant());
        }
        if (idModulo > 0)
            setModificata();
    }
    slt[0]->setRequired(italia ? 2 : 0);
    optProprio(italia);
}

void ModFrame::slt_Validate(int Index, bool &Cancel)
{
    bool changed = false;
    if (!matchField(slt[Index], changed)) {
        Cancel = true;
        return;
    }
    if (!changed)
        return;
    switch (Index) {
    case 0:
        Cancel = verificaCodFiscModulo();
        return;
    case 5:
        if (!slt[5]->isEmpty() && nzStr(slt[5]->Value()).length() != 5) {
            modFunz::warnMsg(QStringLiteral("Attenzione, C.A.P. digitato formalmente errato."));
            // Leaving the field again checks it again: a wrong code is never
            // let through by a second Tab.
            slt[5]->oldValue = QVariant();
            Cancel = true;
            return;
        }
        break;
    case 6:
        if (!slt[6]->isEmpty() && !modMain::existsRegCE(slt[6]->Text())) {
            modFunz::warnMsg(QStringLiteral("Attenzione, Codice regolamento (CE) 1013/2006 errato."));
            slt[6]->oldValue = QVariant();
            Cancel = true;
            return;
        }
        break;
    default:
        if (Index > 7) {
            cambioProprio(Index, Cancel);
            return;
        }
        break;
    }
    setModificata();
}

void ModFrame::cmbCom_Validate(bool &Cancel)
{
    bool changed = false;
    if (!cmbCom->Match(changed)) {
        Cancel = true;
        return;
    }
    if (!changed)
        return;
    slt[2]->setValue(nullIfBlank(cmbCom->Sigla()));
    slt[5]->setValue(cmbCom->capFor(slt[5]->Value()));
    setModificata();
}

void ModFrame::cmbNaz_Validate(bool &Cancel)
{
    bool changed = false;
    if (!cmbNaz->Match(changed)) {
        Cancel = true;
        return;
    }
    if (changed)
        setModificata();
}

bool ModFrame::verificaCodFiscModulo()
{
    bool cancel = false;
    if (isItalia() && !modFunz::checkCodFisc(slt[0]->Value())) {
        slt[0]->oldValue = nullIfBlank(codFiscModulo);
        cancel = true;
    } else if (!slt[0]->isEmpty()) {
        // A save asked for here puts the module's own code back in the field.
        const QVariant typed = slt[0]->Value();
        const bool senzaCodice = idModulo == 0 && codFiscModulo.trimmed().isEmpty();
        if (!chiediSalvataggio()) {
            slt[0]->setValue(nullIfBlank(codiceDaSalvare()));
            cancel = true;
        } else {
            slt[0]->setValue(typed);
            // A module started without a code and stored now under the one
            // typed is that subject's own: it stays on show.
            if (!senzaCodice || idModulo == 0)
                cercaDittaModulo();
        }
    }
    if (cancel)
        slt[0]->SelectAll();
    return cancel;
}

void ModFrame::cercaDittaModulo()
{
    const QString code = slt[0]->Text();
    Recordset &rs = *schedeRs;
    if (nav->Max() >= 1 && rs.isOpen()) {
        int found = 0;
        rs.MoveFirst();
        for (int i = 1; i <= nav->Max(); ++i) {
            if (nzStr(rs.value(QStringLiteral("codFisc"))) == code) {
                found = i;
                break;
            }
            if (i < nav->Max())
                rs.MoveNext();
        }
        if (found > 0) {
            nav->setValue(found);
            if (modFunz::checkDuplicateCF(rs)) {
                caricaModulo(true);
                return;
            }
        } else {
            nav->setValue(nav->Max());
        }
    }
    dittaNota = isItalia() && gModal && gModal->getDitta(code);
    nuovoModulo();
}

bool ModFrame::richiesto(QWidget *control, const QString &message)
{
    modFunz::warnMsg(message);
    control->setFocus();
    return false;
}

QString ModFrame::codiceDaSalvare() const
{
    // A module belongs to the subject it was started for: a code typed over
    // it leads to another module, it never renames this one. Only a module
    // started without a code takes the one its field accepted (a refused
    // code is not remembered).
    if (idModulo != 0 || !codFiscModulo.trimmed().isEmpty())
        return codFiscModulo;
    return slt[0]->oldValue == slt[0]->Value() ? nzStr(slt[0]->Value()) : QString();
}

bool ModFrame::verificaModulo()
{
    if (!modFunz::checkRefusedFields(slt, 1, [this](int i, bool &Cancel) { slt_Validate(i, Cancel); }))
        return false;
    if (isItalia()) {
        // An Italian module is never written without a code.
        if (slt[0]->isEmpty() || codiceDaSalvare().trimmed().isEmpty())
            return richiesto(slt[0], slt[0]->MsgRequired());
        if (slt[1]->isEmpty())
            return richiesto(slt[1], slt[1]->MsgRequired());
        if (cmbCom->Value().toInt() == 0 && !cmbCom->holdsStored())
            return richiesto(cmbCom, cmbCom->MsgRequired);
        if (slt[3]->isEmpty())
            return richiesto(slt[3], slt[3]->MsgRequired());
        if (!verificaProprioItalia())
            return false;
    } else {
        if (slt[1]->isEmpty())
            return richiesto(slt[1], slt[1]->MsgRequired());
        if (cmbNaz->Value().toInt() == 0 && !cmbNaz->holdsStored())
            return richiesto(cmbNaz, cmbNaz->MsgRequired);
    }
    if (slt[7]->isEmpty())
        return richiesto(slt[7], QStringLiteral("Attenzione, quantità richiesta."));
    return true;
}

bool ModFrame::salvaModulo()
{
    if (!verificaModulo())
        return true;
    if (!gDb || !schedeRs->isOpen())
        return true;
    Connection &cn = gDb->kezCnn;
    Transaction transaction(cn);
    if (!transaction.isActive()) {
        reportFailure(cn.lastError());
        return true;
    }

    Recordset &rs = *schedeRs;
    const bool nuovo = idModulo == 0;
    const QString codice = codiceDaSalvare();
    const bool offriDitta = nuovo && isItalia() && !dittaNota;
    bool ok = true;
    if (nuovo) {
        ok = rs.AddNew();
        rs.setValue(QStringLiteral("scID"), gKez ? gKez->consID : 0);
        rs.setValue(QStringLiteral("mdcTipo"), tipoModulo());
    }
    int id = idModulo;
    if (ok) {
        rs.setValue(QStringLiteral("codFisc"), nullIfBlank(codice));
        for (int i = 1; i < slt.size(); ++i)
            if (!slt[i]->Field().isEmpty())
                rs.setValue(slt[i]->Field(), slt[i]->Value());
        rs.setValue(QStringLiteral("prvIstat"), cmbCom->istatProvincia());
        rs.setValue(QStringLiteral("comIstat"), cmbCom->istatComune());
        rs.setValue(QStringLiteral("nazID"), cmbNaz->Value());
        rs.setValue(QStringLiteral("mdcUmi"), kgt->valueToStore());
        scriviProprio(rs);
        ok = rs.Update() || reportFailure(rs.lastError());
    }
    if (ok && nuovo) {
        ok = rs.Resync() || reportFailure(rs.lastError());
        id = rs.value(QStringLiteral("mdcID")).toInt();
    }
    if (ok && offriDitta && gModal) {
        // The registry learns the company under the code its name was
        // entered with, the one the module is stored under.
        gModal->setDitta(nullIfBlank(codice), slt[1]->Value(), cmbCom->istatProvincia(), cmbCom->istatComune(),
                         slt[3]->Value(), slt[4]->Value(), slt[5]->Value());
        ok = gModal->salvaDitta(1);
    }
    ok = ok && salvaDopo(id);
    ok = ok && (transaction.commit() || reportFailure(cn.lastError()));
    if (!ok) {
        // Neither the module nor its rows are half written; what the user
        // typed stays on screen for another try.
        if (rs.editMode() != Recordset::adEditNone)
            rs.CancelUpdate();
        transaction.rollback();
        if (offriDitta && gModal)
            gModal->clearDitta();
        riallinea();
        return true;
    }

    if (nuovo) {
        idModulo = id;
        codFiscModulo = codice;
        nav->setMax(nav->Max() + 1);
        nav->setValue(nav->Max());
    }
    if (offriDitta)
        dittaNota = true;
    // A foreign module whose code was emptied keeps the stored code: the
    // field shows it again.
    slt[0]->setValue(nullIfBlank(codFiscModulo));
    setSalvata();
    slb[5]->setEnabled(true);
    slb[2]->setEnabled(true);
    slt[0]->setFocus();
    return false;
}

void ModFrame::riallinea()
{
    Recordset &rs = *schedeRs;
    if (!rs.Requery())
        return;
    if (idModulo > 0) {
        for (rs.MoveFirst(); !rs.eof(); rs.MoveNext())
            if (rs.value(QStringLiteral("mdcID")).toInt() == idModulo)
                return;
    }
    if (nav->Value() >= 1 && nav->Value() <= rs.RecordCount())
        rs.setAbsolutePosition(nav->Value());
    else if (rs.RecordCount() > 0)
        rs.MoveLast();
}

void ModFrame::eliminaModulo()
{
    if (!modFunz::confirmDelete(QStringLiteral("modulo corrente,")))
        return;
    Recordset &rs = *schedeRs;
    if (!rs.Delete()) {
        reportFailure(rs.lastError());
        riallinea();
        return;
    }
    if (dopoEliminazione()) {
        caricaModulo(true);
    } else {
        nav->setValue(0);
        avviaNuovo();
    }
}

void ModFrame::focusCodFisc()
{
    slt[0]->setFocus();
    slt[0]->SelectAll();
}

void ModFrame::listaModuli()
{
    if (gModal && schedeRs->isOpen()
        && gModal->showModuli(QStringLiteral("Lista dei moduli ") + siglaModulo(), *schedeRs)
        && chiediSalvataggio()) {
        schedeRs->setBookmark(gModal->cursorBookMark);
        nav->setValue(gModal->Key.toInt());
        caricaModulo(false);
    }
    focusCodFisc();
}

void ModFrame::listaDitte()
{
    if (gModal && gModal->showDitte(slt[0]->Text())
        && nzStr(gModal->CodiceFiscale) != slt[0]->Text() && chiediSalvataggio()) {
        slt[0]->setValue(gModal->CodiceFiscale);
        cercaDittaModulo();
    }
    focusCodFisc();
}

void ModFrame::listaRegCE()
{
    slt[6]->setFocus();
    if (gModal && gModal->showRegCE(slt[6]->Text())) {
        slt[6]->setValue(gModal->Key);
        slt[6]->SelectAll();
        setModificata();
    }
}

void ModFrame::nuovoClick()
{
    // The changes of the module shown are never dropped without asking.
    if (chiediSalvataggio())
        avviaNuovo();
}

void ModFrame::slb_Click(int Index)
{
    switch (Index) {
    case 0: listaModuli(); break;
    case 1: listaDitte(); break;
    case 2: eliminaModulo(); break;
    case 3: listaRegCE(); break;
    case 4: salvaModulo(); break;
    case 5: nuovoClick(); break;
    case 6: unloadForm(); break;
    default: slbProprio(Index); break;
    }
}
