#include "modalClass.h"

#include "FormFactory.h"
#include "Logo.h"
#include "Recordset.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"

using modFunz::nzStr;
using modMain::gDb;
using modMain::gKez;

bool modalClass::getDitta(const QVariant &codFisc)
{
    const QString code = nzStr(codFisc);
    if (code.isEmpty())
        return false;
    // The buffer is trusted: the same code is not read again.
    if (code == nzStr(CodiceFiscale))
        return true;
    return readDitta(code);
}

bool modalClass::readDitta(const QString &codFisc)
{
    if (!gDb || !gDb->listRsOpen(QStringLiteral("SELECT * FROM Ditte WHERE CodFisc = ?"), {codFisc}))
        return false;
    setDittaFrom(gDb->listRs);
    gDb->listRs.close();
    return true;
}

void modalClass::setDittaFrom(const Recordset &ditte)
{
    const auto column = [&ditte](const char *name) { return ditte.value(QLatin1String(name)); };
    setDitta(column("codFisc"), column("ragSoc"), column("prvIstat"), column("comIstat"), column("via"),
             column("civico"), column("cap"), column("prefTel"), column("telefono"));
}

void modalClass::setDitta(const QVariant &codFisc, const QVariant &ragSoc, const QVariant &prvIstat,
                          const QVariant &comIstat, const QVariant &via, const QVariant &civico,
                          const QVariant &cap, const QVariant &prefisso, const QVariant &telefono)
{
    CodiceFiscale = codFisc;
    ragioneSociale = ragSoc;
    istatProvincia = prvIstat;
    istatComune = comIstat;
    this->via = via;
    this->civico = civico;
    this->cap = cap;
    this->prefisso = prefisso;
    this->telefono = telefono;
}

bool modalClass::getRifiuto(const QVariant &codRif)
{
    const QString code = nzStr(codRif);
    if (!code.isEmpty() && code == codiceRifiuto)
        return true;
    if (!gDb || !gDb->listRsOpen(QStringLiteral("SELECT * FROM Rifiuti WHERE rifCod = ?"), {code}))
        return false;
    const Recordset &rs = gDb->listRs;
    codiceRifiuto = nzStr(rs.value(QStringLiteral("rifCod")));
    descRifiuto = nzStr(rs.value(QStringLiteral("rifDesc")));
    Pericoloso = nzStr(rs.value(QStringLiteral("rifClass"))) == QLatin1String("P");
    return true;
}

bool modalClass::showDitte(const QVariant &codFisc)
{
    Status = false;
    Key = codFisc;
    FormFactory::execDialog(FormFactory::Anagrafiche);
    // A chosen company whose row cannot be read counts as no choice.
    if (Status)
        Status = readDitta(nzStr(Key));
    return Status;
}

void modalClass::showConnect()
{
    Status = false;
    if (!modMain::closeChildForms(102))
        return;
    FormFactory::execDialog(102);
    if (!Status)
        return;
    if (gKez && gKez->Utente.isEmpty()) {
        if (gDb) {
            auto rs = gDb->kezRs(QStringLiteral("SELECT RagSoc FROM Setup"));
            if (rs->isOpen() && !rs->eof())
                gKez->Utente = nzStr(rs->value(QStringLiteral("RagSoc")));
        }
        if (!gKez->Utente.isEmpty()) {
            if (Logo *logo = Logo::instance())
                logo->setUser(gKez->Utente);
        } else {
            showRegistra();
        }
    }
    if (gDb && !gDb->oldDbOpened())
        gDb->openOldDb();
    if (modMain::gMain)
        modMain::gMain->abilitaMenu();
}

bool modalClass::showDichiarazioni(int Sa1ID, const QString &cFisc)
{
    Status = false;
    Key = Sa1ID;
    Codice = cFisc;
    FormFactory::execDialog(FormFactory::listDic);
    return Status;
}

bool modalClass::showModuli(const QString &Intestazione, Recordset &rs)
{
    Status = false;
    if (rs.RecordCount() < 2) {
        modFunz::showMsg(QStringLiteral("Lista non disponibile."), 64);
        return false;
    }
    Codice = Intestazione;
    Cursore = &rs;
    cursorBookMark = rs.Bookmark();
    FormFactory::execDialog(FormFactory::listMod);
    Cursore = nullptr;
    return Status;
}

bool modalClass::showRegCE(const QString &regCod)
{
    Status = false;
    Key = regCod;
    FormFactory::execDialog(FormFactory::listRegCE);
    return Status;
}

bool modalClass::showAttEco(const QString &codAttEco)
{
    Status = false;
    Key = codAttEco;
    FormFactory::execDialog(FormFactory::listAtt);
    return Status;
}

void modalClass::showRegistra()
{
    Status = false;
    if (!modMain::closeChildForms(103))
        return;
    FormFactory::execDialog(103);
    // The user asked to bring the companies over from the previous year.
    if (Status)
        FormFactory::execDialog(106);
    // A user registered here unlocks the program at once.
    if (modMain::gMain)
        modMain::gMain->abilitaMenu();
}

void modalClass::showExport()
{
    Status = false;
    if (!modMain::closeChildForms(104))
        return;
    FormFactory::execDialog(104);
}

void modalClass::showVerifica(int Modo, int pCodice, bool flagExp)
{
    Status = false;
    if (!modMain::closeChildForms(101))
        return;
    checkMode = Modo;
    checkCode = pCodice;
    checkExp = flagExp;
    FormFactory::execDialog(101);
}

bool modalClass::salvaDitta(int Completa)
{
    // A company without a code cannot be found again: it is not added.
    if (!gDb || nzStr(CodiceFiscale).isEmpty())
        return false;
    // An existing company is never changed from here: the registry is
    // edited only in its own form.
    auto rs = gDb->kezRs(QStringLiteral("SELECT * FROM Ditte WHERE CodFisc = ?"), {CodiceFiscale},
                         Recordset::adLockOptimistic);
    if (!rs->isOpen())
        return false;
    // From here on the buffer is trusted for this code: it takes the
    // registry's row, a company already there keeping its own data.
    if (!rs->eof()) {
        setDittaFrom(*rs);
        return true;
    }
    rs->AddNew();
    rs->setValue(QStringLiteral("codFisc"), CodiceFiscale);
    rs->setValue(QStringLiteral("ragSoc"), ragioneSociale);
    if (Completa >= 1) {
        rs->setValue(QStringLiteral("prvIstat"), istatProvincia);
        rs->setValue(QStringLiteral("comIstat"), istatComune);
        rs->setValue(QStringLiteral("via"), via);
        rs->setValue(QStringLiteral("civico"), civico);
        rs->setValue(QStringLiteral("cap"), cap);
    }
    if (Completa > 1) {
        rs->setValue(QStringLiteral("prefTel"), prefisso);
        rs->setValue(QStringLiteral("telefono"), telefono);
    }
    if (!rs->Update()) {
        ErrInfo::current() = rs->lastError();
        modFunz::showError(QString());
        rs->CancelUpdate();
        return false;
    }
    setDittaFrom(*rs);
    return true;
}

void modalClass::clearDitta()
{
    setDitta(QVariant(), QVariant());
}
