#include "Connetti.h"

#include <QFileInfo>

#include "Connection.h"
#include "FileDialogSeam.h"
#include "SchemaCheck.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "slxText.h"
#include "ui_Connetti.h"

using modMain::gDb;
using modMain::gKez;

struct Connetti::Ui : public ::Ui::Connetti
{
};

namespace {

QString probeTitle(int index)
{
    return index == 0 ? QStringLiteral("Connessione database KEZ")
                      : QStringLiteral("Connessione database anno precedente");
}

QString pathKey(int year)
{
    return QStringLiteral("Kez") + QString::number(year);
}

} // namespace

Connetti::Connetti(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    sll = {ui->sll_0, ui->sll_1, ui->sll_2};
    slt = {ui->slt_0, ui->slt_1};
    slb = {ui->slb_0, ui->slb_1, ui->slb_2, ui->slb_3, ui->slb_4};
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });

    modMain::currentForm = 102;
    if (mainForm *main = modMain::gMain) {
        slb[2]->setPicture(main->img16(1));
        slb[3]->setPicture(main->img16(2));
        slb[4]->setPicture(main->img16(7));
        slb[0]->setPicture(main->img32(1));
        slb[1]->setPicture(main->img32(1));
    }
    QFont bold = sll[0]->font();
    bold.setBold(true);
    sll[0]->setFont(bold);
    if (gKez) {
        sll[1]->setCaption(sll[1]->Caption().replace(QStringLiteral("xxxx"),
                                                     QString::number(gKez->AnnoElaborazione())));
        sll[2]->setCaption(sll[2]->Caption().replace(QStringLiteral("xxxx"),
                                                     QString::number(gKez->AnnoDichiarazione())));
    }
    if (gDb) {
        m_paths[0] = gDb->kezDbFilename;
        m_paths[1] = gDb->oldDbFilename;
    }
    if (!m_paths[0].isEmpty()) {
        slt[0]->setValue(m_paths[0]);
        slt[1]->setValue(modFunz::nullIfBlank(m_paths[1]));
    } else if (gKez) {
        // Nothing stored yet: offer the file the program ships beside itself.
        slt[0]->setValue(gKez->kezName(QStringLiteral(".db"), true));
    }
    for (int i = 0; i < 2; ++i)
        m_shownPaths[i] = modFunz::nzStr(slt[i]->Value());
    // The paths change only through "Sfoglia": the user starts there, not
    // in a field that cannot be typed into.
    slb[0]->setFocus();
    // The normal pointer while the user chooses, even during start-up.
    m_savedWait = modFunz::setWaitCursor(false);
}

Connetti::~Connetti()
{
    modMain::currentForm = 100;
    modFunz::setWaitCursor(m_savedWait);
}

bool Connetti::holdsWork() const
{
    for (int i = 0; i < 2; ++i)
        if (modFunz::nzStr(slt[i]->Value()) != m_shownPaths[i])
            return true;
    return false;
}

void Connetti::slb_Click(int Index)
{
    switch (Index) {
    case 0:
    case 1:
        Browse(Index);
        break;
    case 2:
        if (Apply())
            accept();
        break;
    case 3:
        reject();
        break;
    case 4:
        if (!slt[1]->isEmpty())
            slt[1]->setValue(QVariant());
        break;
    default:
        break;
    }
}

void Connetti::Browse(int Index)
{
    if (!gKez)
        return;
    const QString name = gKez->kezName(QStringLiteral(".db"), false, Index == 1);
    const QString first = (Index == 0 ? QStringLiteral("Database KEZ anno corrente (")
                                      : QStringLiteral("Database KEZ anno precedente ("))
        + name + QLatin1Char(')');
    const QString filter =
        first + QStringLiteral(";;Database KEZ (*.db);;Tutti i files (*)");
    // The dialog opens where the shown file is, with that file chosen.
    // With no previous-year file yet, it is looked for beside this year's.
    QString shown = modFunz::nzStr(slt[Index]->Value());
    if (shown.isEmpty())
        shown = QFileInfo(modFunz::nzStr(slt[0]->Value())).absolutePath();
    const QString chosen =
        FileDialogSeam::getOpenFileName(this, probeTitle(Index), shown, filter);
    if (!chosen.isEmpty())
        slt[Index]->setValue(chosen);
}

bool Connetti::Probe(int Index, const QString &title)
{
    const QString path = modFunz::nzStr(slt[Index]->Value());
    if (Index == 1 && path.isEmpty()) {
        m_paths[1].clear();
        return true;
    }
    // Linux file names differ by case, so the comparison is exact. The
    // current year's file is checked again while it is not open, so that
    // "Procedi" never ends with no database.
    const bool open = Index == 0 ? gDb && gDb->kezDbOpened() : true;
    if (path == m_paths[Index] && open)
        return true;

    Connection cn;
    if (!cn.open(path))
        return modFunz::showError(title);
    if (!SchemaCheck::isWhole(cn, title))
        return false;
    m_paths[Index] = path;
    return true;
}

bool Connetti::Apply()
{
    if (!gDb || !gKez)
        return false;
    modFunz::setWaitCursor(true);
    if (!Probe(0, probeTitle(0)) || !Probe(1, probeTitle(1))) {
        modFunz::setWaitCursor(false);
        return false;
    }
    // Last year's declarations would otherwise be this year's own, offered
    // as the ones to copy from.
    if (!m_paths[1].isEmpty() && dbClass::sameFile(m_paths[0], m_paths[1])) {
        modFunz::setWaitCursor(false);
        modFunz::showMsg(QStringLiteral("Attenzione, l'archivio dell'anno precedente non può essere "
                                        "lo stesso file dell'anno corrente: scegliere un altro file "
                                        "o rimuovere il collegamento."),
                         16, probeTitle(1));
        slb[1]->setFocus();
        return false;
    }
    modalClass *modal = modMain::gModal.get();
    bool opened = true;
    if (m_paths[0] != gDb->kezDbFilename) {
        if (modal)
            modal->Status = true;
        gDb->kezDbFilename = m_paths[0];
        // Another file: the remembered declaration and user belong to the old one.
        gKez->Utente.clear();
        gKez->CodiceFiscale.clear();
        gKez->Sa1ID = 0;
        gKez->RifID = 0;
        gKez->IntID = 0;
        gKez->consID = 0;
        gKez->writeIniFile(QStringLiteral("Path"), pathKey(gKez->AnnoDichiarazione()),
                           gDb->kezDbFilename);
        gKez->writeIniFile(QStringLiteral("Kez"), QStringLiteral("Sa1ID"), QStringLiteral("0"));
        if (modMain::gMain)
            modMain::gMain->setDeclarationText(QString());
        opened = gDb->openKezDb();
    } else if (!gDb->kezDbOpened() || gDb->kezCnn.hasMoved()) {
        // The stored file was not open (start-up could not open it), or
        // another program has put another file in its place: open it now.
        if (modal)
            modal->Status = true;
        opened = gDb->openKezDb();
    }
    if (m_paths[1] != gDb->oldDbFilename || (gDb->oldCn() && gDb->oldCn()->hasMoved())) {
        if (modal)
            modal->Status = true;
        if (m_paths[1].isEmpty()) {
            gDb->oldDbClose();
            gDb->oldDbFilename.clear();
        } else {
            gDb->oldDbFilename = m_paths[1];
            gDb->openOldDb();
        }
        gKez->writeIniFile(QStringLiteral("Path"), pathKey(gKez->AnnoDichiarazione() - 1),
                           gDb->oldDbFilename);
    }
    modFunz::setWaitCursor(false);
    // A file that passed the check but still does not open keeps the form
    // up: the user may choose another one.
    return opened;
}
