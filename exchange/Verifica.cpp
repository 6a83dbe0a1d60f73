#include "Verifica.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTimer>
#include <optional>

#include "DeclarationCheck.h"
#include "ErrInfo.h"
#include "Statement.h"
#include "Transaction.h"
#include "WholeFile.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxText.h"
#include "ui_Verifica.h"

using modMain::gDb;
using modMain::gKez;
using modMain::gModal;

namespace {

// The report keeps one line for each error: a control character a stored
// text carries (a line break inside a name) shows as its symbol.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20)
            c = QChar(char16_t(0x2400 + u));
        else if (u == 0x7F)
            c = QChar(char16_t(0x2421));
        else if (u == 0x85 || u == 0x2028 || u == 0x2029)
            c = QChar(char16_t(0x2424));
    }
    return text;
}

}

struct Verifica::Ui : public ::Ui::Verifica
{
};

Verifica::Verifica(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setFixedSize(size());
    opt = {ui->opt_0, ui->opt_1, ui->opt_2};
    labDic = ui->labDic;
    cmbCCIAA = ui->cmbCCIAA;
    chkExp = ui->chkExp;
    pb = ui->pb;
    slt = {ui->slt_0, ui->slt_1};
    slb = {ui->slb_0, ui->slb_1, ui->slb_2};
    for (int i = 0; i < slb.size(); ++i)
        connect(slb[i], &slxButton::Click, this, [this, i] { slb_Click(i); });
    if (mainForm *main = modMain::gMain) {
        slb[0]->setPicture(main->img16(1));
        slb[1]->setPicture(main->img16(4));
        slb[2]->setPicture(main->img16(2));
    }
    for (slxText *field : slt)
        field->setValue(0);
    slb[1]->setEnabled(false);

    m_mode = gModal ? gModal->checkMode : -1;
    fillCamere(cmbCCIAA);
    if (m_mode == -1) {
        modMain::currentForm = 101;
        QString codFisc;
        QString text;
        const bool current = gKez && gKez->Sa1ID > 0 && modMain::readDeclaration(gKez->Sa1ID, codFisc, text);
        labDic->setText(current ? text : QStringLiteral("nessuna dichiarazione corrente"));
        opt[0]->setEnabled(current);
        opt[2]->setEnabled(cmbCCIAA->count() > 0);
        cmbCCIAA->setEnabled(cmbCCIAA->count() > 0);
        opt[current ? 0 : 1]->setChecked(true);
        connect(cmbCCIAA, qOverload<int>(&QComboBox::activated), this, [this] { opt[2]->setChecked(true); });
    } else {
        // Run for the export: what to check is already decided.
        ui->fra->setEnabled(false);
        chkExp->setChecked(gModal->checkExp);
        chkExp->setEnabled(false);
        slb[0]->setEnabled(false);
        if (m_mode == Una) {
            opt[0]->setChecked(true);
            QString codFisc;
            QString text;
            modMain::readDeclaration(gModal->checkCode, codFisc, text);
            labDic->setText(text);
        } else {
            opt[2]->setChecked(true);
            cmbCCIAA->setCurrentIndex(cmbCCIAA->findData(gModal->checkCode));
        }
    }
}

Verifica::~Verifica()
{
    if (m_mode == -1)
        modMain::currentForm = 100;
}

QString Verifica::reportPath()
{
    return gKez ? gKez->kezName(QStringLiteral("Err.txt"), true) : QString();
}

QList<int> Verifica::dichiarazioni(int scelta, int code, bool withExported, bool onlyExportable, bool *read)
{
    QList<int> ids;
    if (read)
        *read = true;
    if (!gDb || !gDb->kezDbOpened())
        return ids;
    QString sql = QStringLiteral("SELECT s.saID, s.ExpID FROM SezAnag s ");
    QVariantList params;
    if (scelta == Camera) {
        sql += QStringLiteral("JOIN Province p ON p.prvIstat = s.prvIstat WHERE p.prvCCIAA = ?");
        params << code;
    } else if (scelta == Una) {
        sql += QStringLiteral("WHERE s.saID = ?");
        params << code;
    } else {
        sql += QStringLiteral("WHERE 1 = 1");
    }
    if (onlyExportable)
        sql += QStringLiteral(" AND s.saExp <> 0");
    Statement s(gDb->kezCnn, sql + QStringLiteral(" ORDER BY s.saID"));
    for (s.exec(params); s.hasRow(); s.next()) {
        // Not exported: Null or a whole 0, the mark as the declaration
        // list and the registry sheet read it (StoredValue::nullOrZero).
        bool whole = false;
        if (withExported || (s.integer(1, &whole) == 0 && whole))
            ids << int(s.integer(0));
    }
    if (read)
        *read = s.isValid() && s.error().isEmpty();
    return ids;
}

void Verifica::fillCamere(QComboBox *cmb)
{
    cmb->clear();
    if (!gDb || !gDb->kezDbOpened())
        return;
    Statement s(gDb->kezCnn, QStringLiteral("SELECT DISTINCT c.prvIstat, c.prvDesc FROM SezAnag a "
                                            "JOIN Province p ON p.prvIstat = a.prvIstat "
                                            "JOIN Province c ON c.prvIstat = p.prvCCIAA ORDER BY c.prvDesc"));
    for (s.exec(); s.hasRow(); s.next())
        cmb->addItem(s.text(1), int(s.integer(0)));
    if (!s.isValid() || !s.error().isEmpty())
        modFunz::showError(QStringLiteral("Camere di commercio"));
}

int Verifica::cameraDi(int saID)
{
    if (!gDb || !gDb->kezDbOpened())
        return 0;
    Statement s(gDb->kezCnn, QStringLiteral("SELECT p.prvCCIAA FROM SezAnag a JOIN Province p "
                                            "ON p.prvIstat = a.prvIstat WHERE a.saID = ?"));
    if (!s.exec({saID})) {
        modFunz::showError(QStringLiteral("Camere di commercio"));
        return -1;
    }
    return int(s.integer(0));
}

void Verifica::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_mode != -1 && !m_started) {
        m_started = true;
        QTimer::singleShot(0, this, &Verifica::runAtOnce);
    }
}

void Verifica::runAtOnce()
{
    bool read = true;
    const QList<int> ids = dichiarazioni(m_mode, gModal->checkCode, gModal->checkExp, false, &read);
    if (!read)
        modFunz::showError(QStringLiteral("Verifica dati inseriti"));
    const bool done = read && verifica(ids, true);
    gModal->checkOk = ok;
    gModal->checkKo = ko;
    gModal->Status = done;
    accept();
}

void Verifica::runChosen()
{
    int scelta = Tutte;
    int code = 0;
    if (opt[0]->isChecked()) {
        scelta = Una;
        code = gKez ? gKez->Sa1ID : 0;
    } else if (opt[2]->isChecked()) {
        scelta = Camera;
        code = cmbCCIAA->currentData().toInt();
    }
    bool read = true;
    const QList<int> ids = dichiarazioni(scelta, code, chkExp->isChecked(), false, &read);
    if (!read) {
        modFunz::showError(QStringLiteral("Verifica dati inseriti"));
        return;
    }
    if (ids.isEmpty()) {
        modFunz::showMsg(QStringLiteral("Attenzione, nessuna dichiarazione da verificare."), 64);
        return;
    }
    const bool done = verifica(ids, false);
    if (gModal) {
        gModal->checkOk = ok;
        gModal->checkKo = ko;
        gModal->Status = done;
    }
    slb[1]->setEnabled(QFile::exists(reportPath()));
}

void Verifica::slb_Click(int Index)
{
    switch (Index) {
    case 0:
        if (!m_running)
            runChosen();
        break;
    case 1:
        modFunz::apriFile(reportPath());
        break;
    default:
        if (m_running)
            m_stop = true;
        else
            QDialog::reject();
        break;
    }
}

void Verifica::reject()
{
    slb_Click(2);
}

void Verifica::closeEvent(QCloseEvent *event)
{
    // Closed while running: the run stops first, so the report is whole.
    if (m_running) {
        m_stop = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool Verifica::verifica(const QList<int> &ids, bool mark)
{
    ok = 0;
    ko = 0;
    if (!gDb || !gDb->kezDbOpened())
        return false;
    m_running = true;
    m_stop = false;
    slb[0]->setEnabled(false);
    slb[1]->setEnabled(false);
    pb->setRange(0, qMax(1, int(ids.size())));
    pb->setValue(0);
    const bool wasWaiting = modFunz::setWaitCursor(true);

    Connection &cn = gDb->kezCnn;
    DeclarationCheck checker(cn);
    // Against lookups not read, every declaration would show errors it has
    // not: the run stops, saying why (another program's lock, a damage).
    if (!checker.lookupsRead()) {
        modFunz::showError(QStringLiteral("Verifica dati inseriti"));
        modFunz::setWaitCursor(wasWaiting);
        m_running = false;
        slb[0]->setEnabled(m_mode == -1);
        return false;
    }
    Statement marker(cn, QStringLiteral("UPDATE SezAnag SET saExp = ? WHERE saID = ?"));
    QString body;
    int warned = 0;
    // The marks of one run go in together, or none does: an export after
    // marks that were not stored would find nothing to export.
    std::optional<Transaction> marks;
    if (mark)
        marks.emplace(cn);
    bool marked = !mark || marks->isActive();
    int done = 0;
    // A declaration not read whole is neither sound nor faulty: the run
    // stops there, with the connection's own error.
    std::optional<ErrInfo> readFailure;
    for (int saID : ids) {
        if (!marked)
            break;
        const DeclarationCheck::Result r = checker.check(saID);
        if (r.failed) {
            readFailure = ErrInfo::current();
            break;
        }
        if (!r.found)
            continue;
        const int errors = r.errors();
        (errors ? ko : ok) += 1;
        if (errors == 0 && !r.findings.isEmpty())
            ++warned;
        if (mark && !marker.exec({errors == 0, saID}))
            marked = false;
        body += QStringLiteral("\n") + QString(70, QLatin1Char('-')) + QStringLiteral("\n");
        body += QStringLiteral("%1 - codice fiscale %2\n").arg(oneLine(r.ragSoc), oneLine(r.codFisc));
        body += QStringLiteral("Unità locale: %1\n").arg(oneLine(r.unitaLocale));
        for (const DeclarationCheck::Finding &f : r.findings)
            body += QStringLiteral("  %1 %2: %3\n")
                        .arg(f.errore ? QStringLiteral("ERRORE") : QStringLiteral("AVVISO"), oneLine(f.dove),
                             oneLine(f.testo));
        body += errors ? QStringLiteral("Esito: dichiarazione con errori, non esportabile.\n")
                       : r.findings.isEmpty() ? QStringLiteral("Esito: dichiarazione corretta.\n")
                                              : QStringLiteral("Esito: dichiarazione corretta, con avvisi da verificare.\n");
        pb->setValue(++done);
        slt[0]->setValue(ok);
        slt[1]->setValue(ko);
        if (done % 25 == 0)
            QCoreApplication::processEvents();
        // At the session's end the run stops as the clerk's stop would.
        m_stop = m_stop || modMain::sessionEnded();
        if (m_stop)
            break;
    }
    const bool stopped = m_stop;
    if (mark) {
        if (stopped || !marked || readFailure)
            marks->rollback();
        else
            marked = marks->commit();
        if (!marked)
            modFunz::showError(QStringLiteral("Esportazione"));
    }
    if (readFailure) {
        ErrInfo::current() = *readFailure;
        modFunz::showError(QStringLiteral("Verifica dati inseriti"));
    }
    slt[0]->setValue(ok);
    slt[1]->setValue(ko);

    const int year = gKez ? gKez->AnnoElaborazione() : 2022;
    QString head = QStringLiteral("KEZ %1 - Verifica dati inseriti del %2\n")
                       .arg(year)
                       .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")));
    head += QStringLiteral("Dichiarazioni verificate: %1 - senza errori: %2 - con errori: %3\n")
                .arg(ok + ko)
                .arg(ok)
                .arg(ko);
    if (warned)
        head += QStringLiteral("Dichiarazioni senza errori ma con avvisi da verificare: %1\n").arg(warned);
    if (stopped)
        head += QStringLiteral("Verifica interrotta dall'utente.\n");
    if (readFailure)
        head += QStringLiteral("Verifica interrotta da un errore del database: %1\n")
                    .arg(oneLine(readFailure->userText()));
    head += QStringLiteral("Gli errori rendono la dichiarazione non esportabile; gli avvisi no.\n");
    QString failure;
    const bool written = WholeFile::write(reportPath(), (head + body).toUtf8(), &failure);
    if (!written)
        modFunz::showMsg(QStringLiteral("Attenzione, impossibile scrivere il rapporto della verifica %1:\n%2")
                             .arg(reportPath(), failure),
                         64);
    modFunz::setWaitCursor(wasWaiting);
    m_running = false;
    slb[0]->setEnabled(m_mode == -1);
    return !stopped && marked && written && !readFailure;
}
