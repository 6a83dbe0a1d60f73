#include "expForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QProgressBar>

#include "FileDialogSeam.h"
#include "LongRun.h"
#include "MessageBoxSeam.h"
#include "Verifica.h"
#include "dbClass.h"
#include "expClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "ui_expForm.h"

using modMain::gDb;
using modMain::gKez;
using modMain::gModal;

struct expForm::Ui : public ::Ui::expForm
{
};

expForm::expForm(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    opt = {ui->opt_0, ui->opt_1};
    labDic = ui->labDic;
    cmbCCIAA = ui->cmbCCIAA;
    chkExp = ui->chkExp;
    pb = ui->pb;
    slb = {ui->slb_0, ui->slb_1, ui->slb_2};
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    slb[2]->setToolTip(QStringLiteral("Apre lista delle dichiarazioni inserite"));
    if (mainForm *main = modMain::gMain) {
        slb[0]->setPicture(main->img16(20));
        slb[1]->setPicture(main->img16(2));
        slb[2]->setPicture(main->img16(5));
    }
    modMain::currentForm = 104;
    m_saID = gKez ? gKez->Sa1ID : 0;
    showDeclaration();
    Verifica::fillCamere(cmbCCIAA);
    opt[1]->setEnabled(cmbCCIAA->count() > 0);
    cmbCCIAA->setEnabled(cmbCCIAA->count() > 0);
    // The chamber of the current declaration is the likely choice.
    const int camera = m_saID > 0 ? Verifica::cameraDi(m_saID) : 0;
    if (cmbCCIAA->findData(camera) >= 0)
        cmbCCIAA->setCurrentIndex(cmbCCIAA->findData(camera));
    opt[m_saID > 0 || cmbCCIAA->count() == 0 ? 0 : 1]->setChecked(true);
    connect(cmbCCIAA, qOverload<int>(&QComboBox::activated), this, [this] { opt[1]->setChecked(true); });
}

expForm::~expForm()
{
    modMain::currentForm = 100;
}

void expForm::showDeclaration()
{
    QString codFisc;
    QString text;
    if (m_saID > 0 && modMain::readDeclaration(m_saID, codFisc, text))
        labDic->setText(text);
    else
        labDic->setText(QStringLiteral("nessuna dichiarazione scelta"));
}

void expForm::slb_Click(int Index)
{
    if (m_running) {
        m_stop = m_stop || Index == 1;
        return;
    }
    switch (Index) {
    case 0:
        Esporta();
        break;
    case 2:
        if (gModal && gModal->showDichiarazioni(m_saID, gKez ? gKez->CodiceFiscale : QString())) {
            m_saID = gModal->Key.toInt();
            showDeclaration();
            opt[0]->setChecked(true);
        }
        break;
    default:
        QDialog::reject();
        break;
    }
}

void expForm::reject()
{
    slb_Click(1);
}

void expForm::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        m_stop = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool expForm::write(const QList<int> &ids, const QString &fileName, int camera)
{
    pb->setRange(0, int(ids.size()));
    expClass writer(gDb->kezCnn);
    bool written = false;
    {
        LongRun run(slb[0], slb[1], pb, m_running, m_stop);
        writer.progress = [&run](int done, int) { return run.step(done); };
        written = writer.esporta(ids, fileName, camera);
    }
    if (!written) {
        pb->setValue(0);
        if (writer.databaseError)
            modFunz::showError(QStringLiteral("Esportazione"));
        else
            modFunz::showMsg(writer.errorText, 64);
    }
    return written;
}

bool expForm::Esporta()
{
    if (!gDb || !gDb->kezDbOpened() || !gModal || !gKez)
        return false;
    const bool una = opt[0]->isChecked();
    if (una && m_saID <= 0) {
        modFunz::showMsg(QStringLiteral("Attenzione, scegliere la dichiarazione da esportare."), 64);
        return false;
    }
    const int camera = una ? Verifica::cameraDi(m_saID) : cmbCCIAA->currentData().toInt();
    if (camera < 0)
        return false;
    const int scelta = una ? Verifica::Una : Verifica::Camera;
    const int code = una ? m_saID : camera;
    const bool withExported = chkExp->isChecked();
    bool read = true;
    const bool none = Verifica::dichiarazioni(scelta, code, withExported, false, &read).isEmpty();
    if (!read)
        return modFunz::showError(QStringLiteral("Esportazione"));
    if (none) {
        modFunz::showMsg(una ? QStringLiteral("Attenzione, la dichiarazione è già stata esportata: per "
                                              "esportarla di nuovo includere le dichiarazioni già esportate.")
                             : QStringLiteral("Attenzione, nessuna dichiarazione da esportare: per esportarle "
                                              "di nuovo includere le dichiarazioni già esportate."),
                         64);
        return false;
    }

    gModal->showVerifica(scelta, code, withExported);
    if (!gModal->Status)
        return false;
    if (gModal->checkKo > 0) {
        const QString text = gModal->checkKo == 1
            ? QStringLiteral("Attenzione, 1 dichiarazione con errori non sarà esportata.")
            : QStringLiteral("Attenzione, %1 dichiarazioni con errori non saranno esportate.").arg(gModal->checkKo);
        if (modFunz::showMsg(text + QStringLiteral("\nVuoi aprire il rapporto della verifica?"), 36)
            == MessageBoxSeam::vbYes)
            modFunz::apriFile(Verifica::reportPath());
    }
    const QList<int> ids = Verifica::dichiarazioni(scelta, code, withExported, true, &read);
    if (!read)
        return modFunz::showError(QStringLiteral("Esportazione"));
    if (ids.isEmpty()) {
        modFunz::showMsg(QStringLiteral("Attenzione, nessuna dichiarazione esportabile."), 64);
        return false;
    }
    const QString proposed = gKez->kezName(QStringLiteral("_exp_")
                                               + (una ? QStringLiteral("dic%1").arg(m_saID)
                                                      : QStringLiteral("cciaa%1").arg(camera))
                                               + QDateTime::currentDateTime().toString(QStringLiteral("_yyyyMMdd_HHmm"))
                                               + QStringLiteral(".xml"),
                                           true);
    const QString fileName = FileDialogSeam::getSaveFileName(this, QStringLiteral("Esporta dichiarazioni"),
                                                             proposed, QStringLiteral("File XML (*.xml)"));
    if (fileName.isEmpty())
        return false;
    if (!write(ids, fileName, camera))
        return false;
    modFunz::showMsg(ids.size() == 1
                         ? QStringLiteral("Esportata 1 dichiarazione nel file\n%1").arg(fileName)
                         : QStringLiteral("Esportate %1 dichiarazioni nel file\n%2").arg(ids.size()).arg(fileName),
                     64);
    return true;
}
