#include "Registra.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>

#include "Logo.h"
#include "Recordset.h"
#include "comboCom.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "slxText.h"
#include "ui_Registra.h"

using modMain::gDb;

struct Registra::Ui : public ::Ui::Registra
{
};

Registra::Registra(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    slt = {ui->slt_0, ui->slt_1, ui->slt_2, ui->slt_3, ui->slt_4,
           ui->slt_5, ui->slt_6, ui->slt_7, ui->slt_8, ui->slt_9};
    slb = {ui->slb_0, ui->slb_1};
    cmbCom = ui->cmbCom;
    chkImport = ui->chkImport;
    QFont bold = ui->lab_8->font();
    bold.setBold(true);
    ui->lab_8->setFont(bold);
    for (int i = 0; i < slt.size(); ++i)
        connect(slt[i], &slxText::Validate, this, [this, i](bool &Cancel) { slt_Validate(i, Cancel); });
    connect(cmbCom, &comboCom::Validate, this, &Registra::cmbCom_Validate);
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    // Enter on the check box moves on like in every field.
    chkImport->installEventFilter(this);

    modMain::currentForm = 103;
    m_savedWait = modFunz::setWaitCursor(true);
    if (mainForm *main = modMain::gMain) {
        slb[0]->setPicture(main->img16(3));
        slb[1]->setPicture(main->img16(2));
    }

    if (gDb)
        rs = gDb->kezRs(QStringLiteral("SELECT * FROM Setup"), {}, Recordset::adLockOptimistic);
    else
        rs = std::make_unique<Recordset>();
    if (rs->isOpen() && !rs->eof()) {
        fill(*rs);
        slt[8]->setValue(rs->value(QStringLiteral("suUserName")));
        slt[9]->setValue(rs->value(QStringLiteral("suPassword")));
    } else if (gDb && gDb->oldDbOpened()
               && gDb->oldRsOpen(QStringLiteral("SELECT * FROM Setup"))) {
        // A new year: last year's data are proposed, not yet saved. The
        // service's user name and pass word are not carried over.
        chkImport->setVisible(true);
        fill(*gDb->oldRs);
        slb[0]->setEnabled(true);
        gDb->oldRs->close();
    }
    modFunz::setWaitCursor(false);
}

Registra::~Registra()
{
    // The company import that follows manages the open-form code itself.
    if (chkImport->isChecked() && rs->isOpen() && rs->RecordCount() > 0) {
        if (modMain::gModal)
            modMain::gModal->Status = true;
    } else {
        modMain::currentForm = 100;
        modFunz::setWaitCursor(m_savedWait);
    }
}

void Registra::fill(const Recordset &row)
{
    slt[0]->setValue(row.value(QStringLiteral("codFisc")));
    m_acceptedCodFisc = slt[0]->Value();
    slt[1]->setValue(row.value(QStringLiteral("ragSoc")));
    slt[3]->setValue(row.value(QStringLiteral("via")));
    slt[4]->setValue(row.value(QStringLiteral("civico")));
    slt[5]->setValue(row.value(QStringLiteral("cap")));
    slt[6]->setValue(row.value(QStringLiteral("prefTel")));
    slt[7]->setValue(row.value(QStringLiteral("telefono")));
    cmbCom->letValue(row.value(QStringLiteral("prvIstat")), row.value(QStringLiteral("comIstat")));
    slt[2]->setValue(modFunz::nullIfBlank(cmbCom->Sigla()));
}

void Registra::markModified()
{
    if (!slb[0]->Enabled())
        slb[0]->setEnabled(true);
}

void Registra::slt_Validate(int Index, bool &Cancel)
{
    bool modified = false;
    if (!slt[Index]->Match(modified)) {
        Cancel = true;
        return;
    }
    if (!modified)
        return;
    if (Index == 0) {
        if (modFunz::checkCodFisc(slt[0]->Value())) {
            m_acceptedCodFisc = slt[0]->Value();
        } else {
            Cancel = true;
            slt[0]->SelectAll();
        }
    }
    markModified();
}

void Registra::cmbCom_Validate(bool &Cancel)
{
    bool modified = false;
    if (!cmbCom->Match(modified)) {
        Cancel = true;
        return;
    }
    if (!modified)
        return;
    slt[2]->setValue(modFunz::nullIfBlank(cmbCom->Sigla()));
    slt[5]->setValue(cmbCom->capFor(slt[5]->Value()));
    markModified();
}

bool Registra::checkRequired()
{
    for (int i : {0, 1}) {
        if (slt[i]->isEmpty()) {
            modFunz::warnMsg(slt[i]->MsgRequired());
            slt[i]->setFocus();
            return false;
        }
    }
    if (cmbCom->Value().toInt() == 0) {
        modFunz::warnMsg(cmbCom->MsgRequired);
        cmbCom->setFocus();
        return false;
    }
    // A code the user declined to confirm in the field (and then left the
    // form without fixing it) is asked about again rather than saved.
    if (slt[0]->Value() != m_acceptedCodFisc) {
        if (!modFunz::checkCodFisc(slt[0]->Value())) {
            slt[0]->setFocus();
            slt[0]->SelectAll();
            return false;
        }
        m_acceptedCodFisc = slt[0]->Value();
    }
    return true;
}

bool Registra::Save()
{
    if (!checkRequired())
        return true;
    if (!rs->isOpen())
        return true;
    if (rs->eof() && rs->bof())
        rs->AddNew();
    else if (rs->eof() || rs->bof())
        rs->MoveFirst();
    rs->setValue(QStringLiteral("codFisc"), slt[0]->Value());
    rs->setValue(QStringLiteral("ragSoc"), slt[1]->Value());
    rs->setValue(QStringLiteral("prvIstat"), cmbCom->istatProvincia());
    rs->setValue(QStringLiteral("comIstat"), cmbCom->istatComune());
    static const char *const columns[] = {"via", "civico", "cap", "prefTel", "telefono",
                                          "suUserName", "suPassword"};
    for (int i = 0; i < 7; ++i)
        rs->setValue(QLatin1String(columns[i]), slt[i + 3]->Value());
    if (!rs->Update()) {
        // Nothing is lost: the data stay in the form for another try.
        ErrInfo::current() = rs->lastError();
        modFunz::showError(QString());
        rs->CancelUpdate();
        return true;
    }
    rs->Resync();
    slb[0]->setEnabled(false);
    if (modMain::gKez)
        modMain::gKez->Utente = modFunz::nzStr(slt[1]->Value());
    if (Logo *logo = Logo::instance())
        logo->setUser(modMain::gKez ? modMain::gKez->Utente : QString());
    return false;
}

void Registra::slb_Click(int Index)
{
    if (Index == 0)
        Save();
    else if (Index == 1)
        close();
}

bool Registra::hasChanges() const
{
    return slb[0]->Enabled();
}

QString Registra::unloadPrompt() const
{
    return QStringLiteral("Attenzione dati cambiati, vuoi salvarli?");
}

void Registra::closeEvent(QCloseEvent *event)
{
    if (!queryUnload(Asker::Close)) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool Registra::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == chkImport && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            int KeyAscii = 13;
            modFunz::sendTab(KeyAscii);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Registra::keyPressEvent(QKeyEvent *event)
{
    // The form has no Esc: leaving goes through "Chiudi" and its question.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
