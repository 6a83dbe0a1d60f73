#include "Anagrafiche.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>

#include "FocusValidator.h"
#include "Recordset.h"
#include "comboCom.h"
#include "dbClass.h"
#include "fndBar.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "slxText.h"
#include "tbButton.h"
#include "ui_Anagrafiche.h"

using modFunz::nzStr;
using modMain::gDb;

struct Anagrafiche::Ui : public ::Ui::Anagrafiche
{
};

QString Anagrafiche::s_search;

Anagrafiche::Anagrafiche(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    sll = ui->sll;
    fb = ui->fb;
    tbb = {ui->tbb_0, ui->tbb_1, ui->tbb_2, ui->tbb_3};
    lv = ui->lv;
    pnlEdit = ui->pnlEdit;
    sllEdit = ui->sllEdit;
    slt = {ui->slt_0, ui->slt_1, ui->slt_2, ui->slt_3, ui->slt_4, ui->slt_5, ui->slt_6, ui->slt_7};
    cmbCom = ui->cmbCom;
    slb = {ui->slb_0, ui->slb_1};

    for (int i = 0; i < tbb.size(); ++i)
        connect(tbb[i], &tbButton::Click, this, [this, i] { tbb_Click(i); });
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    for (int i = 0; i < slt.size(); ++i)
        connect(slt[i], &slxText::Validate, this, [this, i](bool &Cancel) { slt_Validate(i, Cancel); });
    connect(cmbCom, &comboCom::Validate, this, &Anagrafiche::cmbCom_Validate);
    // The search runs over the company names.
    connect(fb, &fndBar::Click, this, [this](int Modo) { fb->findListView(lv, 1, Modo); });
    connect(lv, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (tbb[0]->Enabled())
            selectCompany();
    });
    lv->installEventFilter(this);
    lv->header()->setStretchLastSection(false);
    lv->header()->setSectionsMovable(false);

    modFunz::setWaitCursor(true);
    fb->setText(s_search);
    if (mainForm *main = modMain::gMain) {
        tbb[0]->setPicture(main->img16(9));
        tbb[1]->setPicture(main->img16(10));
        tbb[2]->setPicture(main->img16(7));
        tbb[3]->setPicture(main->img16(2));
        slb[0]->setPicture(main->img16(6));
        slb[1]->setPicture(main->img16(2));
    }
    loadList();
    modFunz::setWaitCursor(false);
}

Anagrafiche::~Anagrafiche()
{
    s_search = fb->Text();
}

void Anagrafiche::loadList()
{
    const QString key = modMain::gModal ? nzStr(modMain::gModal->Key) : QString();
    QTreeWidgetItem *chosen = nullptr;
    if (gDb) {
        auto rs = gDb->kezRs(
            QStringLiteral("SELECT Ditte.CodFisc, Ditte.RagSoc, Ditte.Via, Ditte.Civico, "
                           "Comuni.comDesc, Province.prvSigla "
                           "FROM (Ditte LEFT JOIN Province ON Ditte.prvIstat = Province.prvIstat) "
                           "LEFT JOIN Comuni ON (Ditte.comIstat = Comuni.comIstat) "
                           "AND (Ditte.prvIstat = Comuni.prvIstat) ORDER BY Ditte.RagSoc"));
        QList<QTreeWidgetItem *> items;
        int n = 0;
        for (; rs->isOpen() && !rs->eof(); rs->MoveNext()) {
            ++n;
            QString where = nzStr(rs->value(QStringLiteral("Via")));
            const QVariant civico = rs->value(QStringLiteral("Civico"));
            if (!civico.isNull())
                where += QStringLiteral(", ") + nzStr(civico);
            auto *item = new QTreeWidgetItem(
                QStringList{nzStr(rs->value(QStringLiteral("CodFisc"))),
                            nzStr(rs->value(QStringLiteral("RagSoc"))), where,
                            nzStr(rs->value(QStringLiteral("comDesc"))),
                            nzStr(rs->value(QStringLiteral("prvSigla")))});
            item->setData(0, Qt::UserRole, QStringLiteral("K") + QString::number(n));
            item->setTextAlignment(4, Qt::AlignCenter);
            // A long name is cut in its column: the whole of it on hover.
            item->setToolTip(1, item->text(1));
            if (!key.isEmpty() && item->text(0) == key)
                chosen = item;
            items.append(item);
        }
        lv->addTopLevelItems(items);
    }
    lv->setColumnWidth(0, 140);
    lv->setColumnWidth(2, 180);
    lv->setColumnWidth(3, 130);
    lv->setColumnWidth(4, 44);
    modFunz::fitListColumns(lv, 2, 0);
    if (chosen) {
        lv->setCurrentItem(chosen);
        chosen->setSelected(true);
        lv->scrollToItem(chosen);
    }
    enableList();
}

void Anagrafiche::enableList()
{
    const bool has = lv->topLevelItemCount() > 0;
    if (tbb[0]->Enabled() != has) {
        for (int i = 0; i < 3; ++i)
            tbb[i]->setEnabled(has);
        fb->setEnabled(has);
    }
}

bool Anagrafiche::isEditing() const
{
    return pnlEdit->isVisibleTo(const_cast<Anagrafiche *>(this));
}

bool Anagrafiche::holdsWork() const
{
    // "Salva" lights up with the first change; a value still being typed
    // has not lit it yet.
    return isEditing() && (slb[0]->Enabled() || FocusValidator::instance().hasPendingEdit(pnlEdit));
}

void Anagrafiche::setListMode(bool list)
{
    for (int i = 0; i < 3; ++i)
        tbb[i]->setEnabled(list);
    fb->setEnabled(list);
    pnlEdit->setVisible(!list);
    lv->setVisible(list);
}

void Anagrafiche::tbb_Click(int Index)
{
    switch (Index) {
    case 0:
        selectCompany();
        break;
    case 1:
        openEdit();
        break;
    case 2:
        deleteCompany();
        break;
    case 3:
        reject();
        break;
    default:
        break;
    }
}

void Anagrafiche::slb_Click(int Index)
{
    if (Index == 0)
        Save();
    else if (Index == 1)
        closeEdit();
}

void Anagrafiche::selectCompany()
{
    QTreeWidgetItem *item = lv->currentItem();
    if (!item)
        return;
    if (modMain::gModal) {
        modMain::gModal->Status = true;
        modMain::gModal->Key = item->text(0);
    }
    accept();
}

void Anagrafiche::openEdit()
{
    QTreeWidgetItem *item = lv->currentItem();
    if (!item || !gDb)
        return;
    slb[0]->setEnabled(false);
    setListMode(false);
    m_editItem = item;
    m_comuneCambiato = false;
    m_rs = gDb->kezRs(QStringLiteral("SELECT * FROM Ditte WHERE CodFisc = ?"), {item->text(0)},
                      Recordset::adLockOptimistic);
    if (m_rs->isOpen() && !m_rs->eof()) {
        slt[0]->setValue(m_rs->value(QStringLiteral("codFisc")));
        slt[1]->setValue(m_rs->value(QStringLiteral("ragSoc")));
        slt[2]->setValue(m_rs->value(QStringLiteral("via")));
        slt[3]->setValue(m_rs->value(QStringLiteral("civico")));
        slt[5]->setValue(m_rs->value(QStringLiteral("prefTel")));
        slt[6]->setValue(m_rs->value(QStringLiteral("telefono")));
        slt[7]->setValue(m_rs->value(QStringLiteral("cap")));
        cmbCom->letValue(m_rs->value(QStringLiteral("prvIstat")),
                         m_rs->value(QStringLiteral("comIstat")));
        slt[4]->setValue(modFunz::nullIfBlank(cmbCom->Sigla()));
    }
    slt[1]->setFocus();
}

void Anagrafiche::markModified()
{
    if (!slb[0]->Enabled())
        slb[0]->setEnabled(true);
}

void Anagrafiche::slt_Validate(int Index, bool &Cancel)
{
    bool modified = false;
    if (!slt[Index]->Match(modified)) {
        Cancel = true;
        return;
    }
    if (modified)
        markModified();
}

void Anagrafiche::cmbCom_Validate(bool &Cancel)
{
    bool modified = false;
    if (!cmbCom->Match(modified)) {
        Cancel = true;
        return;
    }
    if (modified) {
        markModified();
        m_comuneCambiato = true;
        slt[4]->setValue(modFunz::nullIfBlank(cmbCom->Sigla()));
    }
}

bool Anagrafiche::Save()
{
    if (slt[1]->isEmpty()) {
        modFunz::warnMsg(slt[1]->MsgRequired());
        slt[1]->setFocus();
        return false;
    }
    if (!m_rs || !m_rs->isOpen() || m_rs->eof())
        return false;
    // The codice fiscale is the company's key: it is never written.
    m_rs->setValue(QStringLiteral("ragSoc"), slt[1]->Value());
    m_rs->setValue(QStringLiteral("via"), slt[2]->Value());
    m_rs->setValue(QStringLiteral("civico"), slt[3]->Value());
    m_rs->setValue(QStringLiteral("prefTel"), slt[5]->Value());
    m_rs->setValue(QStringLiteral("telefono"), slt[6]->Value());
    m_rs->setValue(QStringLiteral("cap"), slt[7]->Value());
    // A municipality this year's table lacks shows none: its codes stay
    // until the clerk chooses another, since nothing here asks for one.
    if (m_comuneCambiato) {
        m_rs->setValue(QStringLiteral("prvIstat"), cmbCom->istatProvincia());
        m_rs->setValue(QStringLiteral("comIstat"), cmbCom->istatComune());
    }
    if (!m_rs->Update()) {
        ErrInfo::current() = m_rs->lastError();
        modFunz::showError(QString());
        m_rs->CancelUpdate();
        return false;
    }
    if (m_editItem) {
        m_editItem->setText(1, nzStr(slt[1]->Value()));
        m_editItem->setToolTip(1, m_editItem->text(1));
    }
    slb[0]->setEnabled(false);
    // A sheet must not copy the company as it was before the change.
    if (modMain::gModal)
        modMain::gModal->clearDitta();
    return true;
}

void Anagrafiche::closeEdit()
{
    // A refused save keeps the panel open with what the user typed.
    if (slb[0]->Enabled()
        && !modFunz::askSaveOnUnload(QStringLiteral("Attenzione dati cambiati, vuoi salvarli?"),
                                     [this] { return Save(); }))
        return;
    setListMode(true);
    lv->setFocus();
    m_rs.reset();
    m_editItem = nullptr;
}

void Anagrafiche::deleteCompany()
{
    QTreeWidgetItem *item = lv->currentItem();
    if (!item || !gDb)
        return;
    if (!modFunz::confirmDelete(QStringLiteral("ditta: ") + item->text(1)))
        return;
    if (!gDb->Execute(QStringLiteral("DELETE FROM Ditte WHERE CodFisc = ?"), {item->text(0)}))
        return;
    if (modMain::gModal)
        modMain::gModal->clearDitta();
    delete item;
    if (lv->topLevelItemCount() > 0) {
        if (QTreeWidgetItem *current = lv->currentItem())
            current->setSelected(true);
    } else {
        enableList();
    }
}

bool Anagrafiche::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lv && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F2) {
        if (lv->topLevelItemCount() > 0)
            openEdit();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
