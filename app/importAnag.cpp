#include "importAnag.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProgressBar>

#include "MessageBoxSeam.h"
#include "Recordset.h"
#include "Transaction.h"
#include "comChanged.h"
#include "dbClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "slxText.h"
#include "ui_importAnag.h"

using modFunz::nzStr;
using modMain::gDb;

struct importAnag::Ui : public ::Ui::importAnag
{
};

importAnag::importAnag(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    sll = ui->sll;
    pb = ui->pb;
    slt = {ui->slt_0, ui->slt_1, ui->slt_2, ui->slt_3};
    slb = {ui->slb_0, ui->slb_1};
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    for (slxText *field : slt)
        field->setValue(0);
    if (mainForm *main = modMain::gMain) {
        slb[0]->setPicture(main->img16(8));
        slb[1]->setPicture(main->img16(2));
    }
    // The counters only show figures: the user starts on "Importa".
    slb[0]->setFocus();
    modMain::currentForm = 106;
}

importAnag::~importAnag()
{
    modMain::currentForm = 100;
}

void importAnag::slb_Click(int Index)
{
    if (Index == 0) {
        Importa();
        return;
    }
    if (m_importing)
        m_stop = true;
    else
        QDialog::reject();
}

void importAnag::reject()
{
    // Esc: a stop request while importing, else closing.
    slb_Click(1);
}

void importAnag::closeEvent(QCloseEvent *event)
{
    // The close box while importing asks to stop, like "Interrompi": the
    // run must end where the user can see what was copied.
    if (m_importing) {
        m_stop = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void importAnag::showCounts()
{
    pb->setValue(m_processed);
    slt[0]->setValue(m_processed);
    slt[1]->setValue(m_imported);
    slt[2]->setValue(m_processed - m_imported - m_withoutCode);
    slt[3]->setValue(m_withoutCode);
}

void importAnag::Importa()
{
    if (m_importing || !slb[0]->Enabled())
        return;
    m_stop = false;
    m_importing = true;
    const comChanged conv;
    slb[1]->setCaption(QStringLiteral("Interrompi"));
    slb[1]->setFocus();
    slb[0]->setEnabled(false);
    slb[1]->setMousePointer(13);
    pb->setMinimum(0);
    pb->setValue(0);
    QCoreApplication::processEvents();

    const bool connected = gDb && gDb->oldDbOpened();
    if (!connected)
        modFunz::showMsg(QStringLiteral("Attenzione, il database dell'anno precedente non è "
                                        "collegato: nessuna anagrafica da importare."),
                         64);
    const bool rows = connected && gDb->oldRsOpen(QStringLiteral("SELECT * FROM Ditte ORDER BY CodFisc"));
    if (!rows) {
        pb->setMaximum(10);
        pb->setValue(10);
    } else {
        Recordset &old = *gDb->oldRs;
        pb->setMaximum(old.RecordCount());
        Connection &cn = gDb->kezCnn;
        // One transaction for the whole run is what makes it quick; a stop
        // keeps what was copied until then.
        Transaction transaction(cn);
        if (!transaction.isActive())
            modFunz::showError(QString());
        const int importedBefore = m_imported;
        for (; transaction.isActive() && !old.eof(); old.MoveNext()) {
            ++m_processed;
            const QString cf = nzStr(old.value(QStringLiteral("codFisc")));
            if (cf.isEmpty()) {
                ++m_withoutCode;
            } else {
                Recordset here;
                if (!here.open(QStringLiteral("SELECT codFisc FROM Ditte WHERE CodFisc = ?"), &cn,
                               Recordset::adLockReadOnly, {cf})) {
                    modFunz::showError(QString());
                    break;
                }
                if (here.eof()) {
                    const QVariantList place = conv.find(old.value(QStringLiteral("prvIstat")),
                                                         old.value(QStringLiteral("comIstat")),
                                                         old.value(QStringLiteral("cap")));
                    if (!cn.execute(QStringLiteral("INSERT INTO Ditte (codFisc, ragSoc, prvIstat, "
                                                   "comIstat, via, civico, cap, prefTel, telefono) "
                                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                                    {cf, old.value(QStringLiteral("ragSoc")), place.at(0),
                                     place.at(1), old.value(QStringLiteral("via")),
                                     old.value(QStringLiteral("civico")), place.at(2),
                                     old.value(QStringLiteral("prefTel")),
                                     old.value(QStringLiteral("telefono"))})) {
                        modFunz::showError(QString());
                        break;
                    }
                    ++m_imported;
                }
            }
            showCounts();
            QCoreApplication::processEvents();
            // Nobody is left to answer: the run stops as the clerk's would.
            if (modMain::sessionEnded())
                break;
            if (m_stop) {
                QApplication::beep();
                if (modFunz::showMsg(QStringLiteral("Annullo importazione delle anagrafiche, sei sicuro?"),
                                     292)
                    == MessageBoxSeam::vbYes)
                    break;
                m_stop = false;
            }
        }
        if (transaction.isActive() && !transaction.commit()) {
            // Nothing of this run reached the file: the counts say so.
            modFunz::showError(QString());
            m_imported = importedBefore;
        }
        showCounts();
    }
    if (gDb && gDb->oldRs)
        gDb->oldRs->close();
    // The launcher's company buffer may hold a company read before the run.
    if (m_imported > 0 && modMain::gModal)
        modMain::gModal->clearDitta();
    m_importing = false;
    slb[1]->setCaption(QStringLiteral("Chiudi"));
    slb[1]->setMousePointer(0);
}
