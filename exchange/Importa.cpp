#include "Importa.h"

#include <QCloseEvent>
#include <QProgressBar>

#include "FileDialogSeam.h"
#include "LongRun.h"
#include "dbClass.h"
#include "impModClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxText.h"
#include "ui_Importa.h"

using modMain::gDb;
using modMain::gKez;

struct Importa::Ui : public ::Ui::Importa
{
};

Importa::Importa(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    labFile = ui->labFile;
    pb = ui->pb;
    slt = {ui->slt_0, ui->slt_1, ui->slt_2, ui->slt_3, ui->slt_4};
    slb = {ui->slb_0, ui->slb_1};
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    if (mainForm *main = modMain::gMain) {
        slb[0]->setPicture(main->img16(10));
        slb[1]->setPicture(main->img16(2));
    }
    for (slxText *field : slt)
        field->setValue(0);
    slb[0]->setFocus();
    modMain::currentForm = 105;
}

Importa::~Importa()
{
    modMain::currentForm = 100;
}

void Importa::slb_Click(int Index)
{
    if (m_running) {
        // While a file goes in, "Chiudi" reads "Annulla".
        m_stop = m_stop || Index != 0;
        return;
    }
    if (Index != 0) {
        reject();
        return;
    }
    const QString fileName = FileDialogSeam::getOpenFileName(
        this, QStringLiteral("Importa dichiarazioni KEZ"), gKez ? gKez->Path() : QString(),
        QStringLiteral("File XML (*.xml)"));
    if (!fileName.isEmpty())
        importaFile(fileName);
}

void Importa::reject()
{
    if (m_running)
        m_stop = true;
    else
        QDialog::reject();
}

void Importa::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        m_stop = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool Importa::importaFile(const QString &fileName)
{
    if (!gDb || !gDb->kezDbOpened())
        return false;
    labFile->setText(fileName);
    pb->setRange(0, impModClass::Steps);
    for (slxText *field : slt)
        field->setValue(0);
    impModClass importer(gDb->kezCnn);
    bool imported = false;
    {
        LongRun run(slb[0], slb[1], pb, m_running, m_stop);
        importer.progress = [&run](int done, int) { return run.step(done); };
        imported = importer.importa(fileName);
    }
    slt[0]->setValue(importer.nelFile);
    slt[1]->setValue(importer.importate);
    slt[2]->setValue(importer.presenti);
    slt[3]->setValue(importer.ditte);
    slt[4]->setValue(importer.ripetute);
    if (!imported) {
        pb->setValue(0);
        if (importer.databaseError)
            modFunz::showError(QStringLiteral("Importazione"));
        modFunz::showMsg(importer.errorText, 64);
        return false;
    }
    pb->setValue(impModClass::Steps);
    // The registry may have grown under the launcher's company buffer.
    if (importer.ditte > 0 && modMain::gModal)
        modMain::gModal->clearDitta();
    const QString importate = importer.importate == 1
                                  ? QStringLiteral("1 dichiarazione importata")
                                  : QStringLiteral("%1 dichiarazioni importate").arg(importer.importate);
    const QString presenti = importer.presenti == 1 ? QStringLiteral("1 già presente")
                                                    : QStringLiteral("%1 già presenti").arg(importer.presenti);
    QString text = QStringLiteral("Importazione terminata: %1, %2 in archivio").arg(importate, presenti);
    if (importer.ripetute > 0)
        text += importer.ripetute == 1 ? QStringLiteral(", 1 ripetuta nel file")
                                       : QStringLiteral(", %1 ripetute nel file").arg(importer.ripetute);
    modFunz::showMsg(text + QLatin1Char('.'), 64);
    return true;
}
