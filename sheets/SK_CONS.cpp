#include "SK_CONS.h"

#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "Currency.h"
#include "FlagBox.h"
#include "FormFactory.h"
#include "MessageBoxSeam.h"
#include "Recordset.h"
#include "comboKgt.h"
#include "dbClass.h"
#include "hNav.h"
#include "kezClass.h"
#include "listRif.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "slxText.h"
#include "ui_SK_CONS.h"

using modMain::gDb;
using modMain::gKez;
using modMain::gModal;

struct SK_CONS::Ui : public ::Ui::SK_CONS
{
};

namespace {
const QString codiceAlluminio = QStringLiteral("150104");
}

SK_CONS::SK_CONS(QWidget *parent) : SheetFrame(2, parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    slt = {ui->slt_0, ui->slt_1, ui->slt_2, ui->slt_3, ui->slt_4,
           ui->slt_5, ui->slt_6, ui->slt_7, ui->slt_8, ui->slt_9};
    kgt = {nullptr, nullptr, ui->kgt_2, ui->kgt_3, ui->kgt_4, ui->kgt_5,
           ui->kgt_6, ui->kgt_7, ui->kgt_8, ui->kgt_9};
    slb = {ui->slb_0, ui->slb_1, ui->slb_2, ui->slb_3, ui->slb_4, ui->slb_5, ui->slb_6, ui->slb_7};
    sll = {ui->sll_0, nullptr, ui->sll_2, ui->sll_3, ui->sll_4};
    nav = ui->nav;
    chkAll = ui->chkAll;
    QFont bold = sll[0]->font();
    bold.setBold(true);
    sll[0]->setFont(bold);
    sll[3]->setFont(bold);

    setSaveButton(slb[3]);
    setNavigator(nav);
    for (int i : {0, 2, 3, 4, 5, 6, 7, 8, 9})
        connect(slt[i], &slxText::Validate, this, [this, i](bool &Cancel) { slt_Validate(i, Cancel); });
    for (int i = 2; i <= 9; ++i)
        connect(kgt[i], &comboKgt::Validate, this, [this, i](bool &Cancel) { kgt_Validate(i, Cancel); });
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    connect(chkAll, &QCheckBox::clicked, this, [this] { setModificata(); });

    modMain::modoApertura = 0;
    if (mainForm *main = modMain::gMain) {
        slb[0]->setPicture(main->img16(5));
        slb[1]->setPicture(main->img16(19));
        slb[2]->setPicture(main->img16(2));
    }
    loadSheets();
}

SK_CONS::~SK_CONS() = default;

void SK_CONS::loadSheets()
{
    m_idScheda = gKez ? gKez->consID : 0;
    const int Sa1ID = gKez ? gKez->Sa1ID : 0;
    if (gDb)
        schedeRs = gDb->kezRs(QStringLiteral("SELECT * FROM SezCons WHERE saID = ? ORDER BY rifCod, scID"),
                              {Sa1ID}, Recordset::adLockOptimistic);
    if (!schedeRs)
        schedeRs = std::make_unique<Recordset>();
    if (schedeRs->RecordCount() < 1) {
        nuovaScheda();
        return;
    }
    nav->setMax(schedeRs->RecordCount());
    int position = 0;
    if (m_idScheda != 0)
        position = findRow(QStringLiteral("scID"), m_idScheda);
    else
        schedeRs->MoveLast();
    nav->setValue(position > 0 ? position : nav->Max());
    caricaScheda();
}

int SK_CONS::findRow(const QString &column, const QVariant &value)
{
    const int count = schedeRs->RecordCount();
    if (count < 1)
        return 0;
    const QString wanted = modFunz::nzStr(value);
    schedeRs->MoveFirst();
    for (int position = 1; position <= count; ++position) {
        if (modFunz::nzStr(schedeRs->value(column)) == wanted)
            return position;
        if (position < count)
            schedeRs->MoveNext();
    }
    return 0;
}

void SK_CONS::caricaScheda()
{
    m_idScheda = schedeRs->value(QStringLiteral("scID")).toInt();
    if (gKez)
        gKez->consID = m_idScheda;
    m_codiceScheda = modFunz::nzStr(schedeRs->value(QStringLiteral("rifCod")));
    slt[0]->setValue(modFunz::nullIfBlank(m_codiceScheda));
    // A code no longer in the table has no description: whatever the last
    // lookup left behind belongs to another code.
    const bool known = gModal && gModal->getRifiuto(slt[0]->Text());
    slt[1]->setValue(known ? QVariant(gModal->descRifiuto) : QVariant());
    for (int i = 2; i <= 9; ++i) {
        slt[i]->setValue(schedeRs->value(slt[i]->Field()));
        kgt[i]->setValue(schedeRs->value(kgt[i]->Field()));
    }
    FlagBox::setValue(chkAll, schedeRs->value(QStringLiteral("scAll")));
    chkAll->setEnabled(m_codiceScheda == codiceAlluminio);
    setModuleButtons(true);
    setSalvata();
}

void SK_CONS::nuovaScheda()
{
    m_idScheda = 0;
    m_codiceScheda = slt[0]->Text();
    for (int i = 2; i <= 9; ++i) {
        slt[i]->setValue(0);
        kgt[i]->setValue(1);
    }
    FlagBox::setValue(chkAll, false);
    chkAll->setEnabled(slt[0]->Text() == codiceAlluminio);
    setModuleButtons(false);
    nuovaSchedaFrame(QStringLiteral("Nuova scheda CONS"));
}

void SK_CONS::setModuleButtons(bool stored)
{
    slb[5]->setEnabled(stored);
    slb[6]->setEnabled(stored);
    slb[7]->setEnabled(stored);
}

void SK_CONS::nuovaSchedaPerCodice()
{
    if (nav->Max() > 0) {
        const int position = findRow(QStringLiteral("rifCod"), slt[0]->Text());
        if (position > 0) {
            if (modFunz::showMsg(QStringLiteral("Attenzione, scheda CONS già presente,\nvuoi inserirne una nuova?"), 36)
                != MessageBoxSeam::vbYes) {
                nav->setValue(position);
                caricaScheda();
                return;
            }
            // The navigator shows the last position: the recordset goes
            // there too, so a move from the new sheet starts where it shows.
            schedeRs->MoveLast();
        }
        nav->setValue(nav->Max());
    }
    slt[1]->setValue(gModal ? QVariant(gModal->descRifiuto) : QVariant());
    nuovaScheda();
}

void SK_CONS::vaiAScheda()
{
    if (nav->Max() < 1 || !gModal)
        return;
    const double bookmark = schedeRs->Bookmark();
    const int position = findRow(QStringLiteral("scID"), gModal->Key);
    if (position > 0) {
        nav->setValue(position);
        caricaScheda();
    } else {
        schedeRs->setBookmark(bookmark);
    }
}

QVariant SK_CONS::codiceDaSalvare() const
{
    // A sheet belongs to the code it was started for: a code typed over it
    // leads to another sheet, it never renames this one. Only a sheet
    // started without a code takes the one typed.
    if (m_idScheda == 0 && !m_codiceScheda.isEmpty())
        return m_codiceScheda;
    return slt[0]->Value();
}

bool SK_CONS::verificaScheda()
{
    if (codiceDaSalvare().isNull()) {
        modFunz::warnMsg(slt[0]->MsgRequired());
        slt[0]->setFocus();
        return false;
    }
    if (slt[2]->isEmpty()) {
        modFunz::warnMsg(slt[2]->MsgRequired());
        slt[2]->setFocus();
        return false;
    }
    return true;
}

bool SK_CONS::salvaScheda()
{
    if (!verificaScheda())
        return true;
    Recordset &rs = *schedeRs;
    const bool nuova = m_idScheda == 0;
    bool ok = nuova ? rs.AddNew() : true;
    if (ok && nuova) {
        ok = rs.setValue(QStringLiteral("saID"), gKez ? gKez->Sa1ID : 0)
             && rs.setValue(QStringLiteral("rifCod"), codiceDaSalvare());
    }
    for (int i = 2; ok && i <= 9; ++i) {
        // A stored value that is no amount, shown as it is, goes back so.
        const QVariant shown = slt[i]->Value();
        ok = rs.setValue(slt[i]->Field(), shown.typeId() == QMetaType::QString
                                              ? shown
                                              : QVariant::fromValue(Currency::fromVariant(shown)))
             && rs.setValue(kgt[i]->Field(), kgt[i]->valueToStore());
    }
    ok = ok && rs.setValue(QStringLiteral("scAll"), FlagBox::value(chkAll, 1, 0)) && rs.Update();
    if (!ok) {
        // The sheet keeps what the user typed and stays to be saved.
        modFunz::showError(QStringLiteral("Salvataggio scheda CONS"));
        rs.CancelUpdate();
        return true;
    }
    if (nuova) {
        m_idScheda = rs.value(QStringLiteral("scID")).toInt();
        m_codiceScheda = modFunz::nzStr(rs.value(QStringLiteral("rifCod")));
        nav->setMax(nav->Max() + 1);
        nav->setValue(nav->Max());
        setModuleButtons(true);
        if (gKez)
            gKez->consID = m_idScheda;
    }
    setSalvata();
    return false;
}

void SK_CONS::eliminaSchedaCorrente()
{
    if (m_idScheda == 0 || !modFunz::confirmDelete(QStringLiteral("scheda CONS e ralitivi moduli")))
        return;
    if (!schedeRs->Delete()) {
        modFunz::showError(QStringLiteral("Eliminazione scheda CONS"));
        return;
    }
    if (gKez && gKez->consID == m_idScheda)
        gKez->consID = 0;
    if (dopoEliminazione()) {
        caricaScheda();
    } else {
        slt[0]->setValue(QVariant());
        slt[1]->setValue(QVariant());
        nuovaScheda();
    }
    slt[0]->setFocus();
}

int SK_CONS::altezzaRidotta() const
{
    QWidget *window = windowOf(const_cast<SK_CONS *>(this));
    return sll[2]->y() + (window->height() - height());
}

void SK_CONS::apriFinestraCons(int mode)
{
    if (mode == modMain::modoApertura)
        return;
    QWidget *window = windowOf(this);
    const QRect full = window->geometry();
    window->resize(window->width(), altezzaRidotta());
    m_ridotta = true;
    modMain::modoApertura = mode;
    QWidget *child = nullptr;
    switch (mode) {
    case ModuliUO:
    case ModuliDR:
        child = FormFactory::showModule(mode);
        break;
    case ListaSchede:
        child = FormFactory::showListRif(QStringLiteral("Lista delle schede CONS inserite"), m_idScheda,
                                         listRif::sqlSchedeCons(), {gKez ? gKez->Sa1ID : 0});
        break;
    case TabellaRifiuti:
        child = FormFactory::showRifTree(slt[0]->Text());
        break;
    default:
        break;
    }
    if (!child) {
        // No such window in the program: the sheet stays as it was.
        m_ridotta = false;
        modMain::modoApertura = 0;
        window->setGeometry(full);
        return;
    }
    m_child = child;
    for (int i = 0; i <= 2; ++i)
        slb[i]->setEnabled(false);
    nav->setEnabled(false);
    setEnabled(false);
}

void SK_CONS::formActivate()
{
    if (!m_ridotta)
        return;
    m_ridotta = false;
    m_child = nullptr;
    QWidget *window = windowOf(this);
    if (window != this && window->parentWidget())
        window->setGeometry(QRect(QPoint(0, 0), window->parentWidget()->size()));
    for (int i = 0; i <= 2; ++i)
        slb[i]->setEnabled(true);
    nav->setEnabled(true);
    const int mode = modMain::modoApertura;
    if (mode != ListaSchede && mode != TabellaRifiuti)
        return;
    if (gModal && gModal->Status && chiediSalvataggio()) {
        if (mode == TabellaRifiuti) {
            slt[0]->setValue(gModal->codiceRifiuto);
            nuovaSchedaPerCodice();
        } else {
            vaiAScheda();
        }
    }
    focusCode();
    modMain::modoApertura = 0;
}

void SK_CONS::focusCode()
{
    slt[0]->SelectAll();
    slt[0]->setFocus();
}

slxText *SK_CONS::primoCampo() const
{
    return slt[0];
}

void SK_CONS::slb_Click(int Index)
{
    switch (Index) {
    case 0:
        if (nav->Max() > 1)
            apriFinestraCons(ListaSchede);
        break;
    case 1:
        apriFinestraCons(TabellaRifiuti);
        break;
    case 3:
        salvaScheda();
        break;
    case 4:
        if (chiediSalvataggio()) {
            slt[0]->setValue(QVariant());
            slt[1]->setValue(QVariant());
            nuovaScheda();
            slt[0]->setFocus();
        }
        break;
    case 5:
        eliminaSchedaCorrente();
        break;
    case 6:
        apriFinestraCons(ModuliUO);
        break;
    case 7:
        apriFinestraCons(ModuliDR);
        break;
    default:
        unloadForm();
        break;
    }
}

void SK_CONS::slt_Validate(int Index, bool &Cancel)
{
    bool changed = false;
    Cancel = !matchField(slt[Index], changed);
    if (Cancel || !changed)
        return;
    if (Index >= 2) {
        setModificata();
        return;
    }
    const QString code = slt[0]->Text();
    bool refused = false;
    if (!gModal || !gModal->getRifiuto(slt[0]->Value())) {
        modFunz::showMsg(QStringLiteral("Attenzione, codice rifiuto non trovato: ") + code, 64);
        refused = true;
    } else if (!modMain::isRifiutoSelezionabile(code, false)) {
        refused = true;
    } else if (chiediSalvataggio()) {
        nuovaSchedaPerCodice();
        return;
    } else {
        slt[0]->setValue(modFunz::nullIfBlank(m_codiceScheda));
    }
    // A refused code is checked again on the next exit, so it can never
    // reach a save.
    if (refused)
        slt[0]->oldValue = QVariant();
    slt[0]->SelectAll();
    Cancel = true;
}

void SK_CONS::kgt_Validate(int Index, bool &)
{
    if (kgt[Index]->Changed())
        setModificata();
}

void SK_CONS::resizeEvent(QResizeEvent *event)
{
    SheetFrame::resizeEvent(event);
    layoutBands();
}

void SK_CONS::layoutBands()
{
    const int w = width();
    for (int i : {2, 3, 4})
        sll[i]->resize(w, sll[i]->height());
    sll[0]->resize(qMax(1, w - 2 * sll[0]->x()), sll[0]->height());
    slb[2]->move(qMax(0, w - 4 - slb[2]->width()), slb[2]->y());
    nav->resize(qMax(1, slb[2]->x() - 2 - nav->x()), nav->height());
    slt[1]->resize(qMax(1, w - 4 - slt[1]->x()), slt[1]->height());
    const int left = slb[3]->x();
    const int each = qMax(1, (w - 2 * left) / 5);
    for (int i = 0; i < 5; ++i)
        slb[3 + i]->setGeometry(left + i * each, slb[3]->y(), each, slb[3]->height());
}
