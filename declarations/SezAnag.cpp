#include "SezAnag.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDate>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QShortcut>

#include "ErrInfo.h"
#include "FlagBox.h"
#include "FormFactory.h"
#include "MessageBoxSeam.h"
#include "Recordset.h"
#include "StoredValue.h"
#include "comboCom.h"
#include "dbClass.h"
#include "hNav.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modMain.h"
#include "modalClass.h"
#include "slxButton.h"
#include "slxLabel.h"
#include "slxText.h"
#include "ui_SezAnag.h"

using modFunz::nullIfBlank;
using modFunz::nzStr;
using modMain::gDb;
using modMain::gKez;
using modMain::gModal;

struct SezAnag::Ui : public ::Ui::SezAnag
{
};

namespace {
// The columns written from the text fields, by field index; the municipality
// pickers, the ticks and the two columns of a new row are written apart.
const struct
{
    int field;
    const char *column;
} boundFields[] = {
    {1, "ragSoc"},     {2, "REA"},         {4, "via"},         {5, "civico"},
    {6, "cap"},        {7, "prefTel"},     {8, "telefono"},    {9, "attIstat"},
    {10, "Addetti"},   {11, "Mesi"},       {13, "slVia"},      {14, "slCivico"},
    {15, "slCAP"},     {16, "slPrefTel"},  {17, "slTelefono"}, {18, "saCognome"},
    {19, "saNome"},    {20, "saDataComp"}, {21, "saDataPrec"},
};

const QString unitsSql = QStringLiteral("SELECT * FROM SezAnag WHERE CodFisc = ? ORDER BY SaID");

// The rows of one company, or nullptr after the error box.
std::unique_ptr<Recordset> openUnits(const QString &codFisc)
{
    auto rs = std::make_unique<Recordset>();
    if (!gDb || !rs->open(unitsSql, &gDb->kezCnn, Recordset::adLockOptimistic, {codFisc})) {
        modFunz::showError(QStringLiteral("Lettura dichiarazioni"));
        return nullptr;
    }
    return rs;
}
}

SezAnag::SezAnag(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(size());
    slt = {ui->slt_0,  ui->slt_1,  ui->slt_2,  ui->slt_3,  ui->slt_4,  ui->slt_5,
           ui->slt_6,  ui->slt_7,  ui->slt_8,  ui->slt_9,  ui->slt_10, ui->slt_11,
           ui->slt_12, ui->slt_13, ui->slt_14, ui->slt_15, ui->slt_16, ui->slt_17,
           ui->slt_18, ui->slt_19, ui->slt_20, ui->slt_21};
    cmbCom = {ui->cmbCom_0, ui->cmbCom_1};
    chk = {ui->chk_0, ui->chk_1};
    tbb = {ui->tbb_0, ui->tbb_1, ui->tbb_2, ui->tbb_3, ui->tbb_4,
           ui->tbb_5, ui->tbb_6, ui->tbb_7, ui->tbb_8};
    sll = {ui->sll_0, ui->sll_1, ui->sll_2, ui->sll_3, ui->sll_4};
    Salva = ui->Salva;
    nav = ui->nav;
    labCopy = ui->labCopy;
    cmbCom[0]->MsgRequired = QStringLiteral("Attenzione, comune unità locale richiesto.");
    cmbCom[1]->MsgRequired = QStringLiteral("Attenzione, comune sede legale richiesto.");

    for (int i = 0; i < slt.size(); ++i)
        connect(slt[i], &slxText::Validate, this, [this, i](bool &Cancel) { slt_Validate(i, Cancel); });
    for (int i = 0; i < cmbCom.size(); ++i)
        connect(cmbCom[i], &comboCom::Validate, this,
                [this, i](bool &Cancel) { cmbCom_Validate(i, Cancel); });
    for (int i = 0; i < tbb.size(); ++i)
        connect(tbb[i], &slxButton::Click, this, [this, i] { tbb_Click(i); });
    for (int i = 0; i < chk.size(); ++i) {
        connect(chk[i], &QCheckBox::clicked, this, [this, i] { chk_Click(i); });
        chk[i]->installEventFilter(this);
    }
    connect(Salva, &slxButton::Click, this, &SezAnag::Salva_Click);
    connect(nav, &hNav::Click, this, [this](bool &Cancel, int &Bottone) { nav_Click(Cancel, Bottone); });
    labCopy->installEventFilter(this);
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr,
                              Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, this, &SezAnag::scarica);

    modFunz::setWaitCursor(true);
    modMain::currentForm = 1;
    modMain::formLoaded(this);
    labCopy->setCursor(Qt::PointingHandCursor);
    QFont link = labCopy->font();
    link.setUnderline(true);
    labCopy->setFont(link);
    const int annoDichiarazione = gKez ? gKez->AnnoDichiarazione() : 0;
    sll[1]->setCaption(QStringLiteral("Anno di dichiarazione: ") + QString::number(annoDichiarazione));
    tbb[2]->setCaption(QStringLiteral("SA1 anno prec."));
    tbb[2]->setEnabled(gDb && gDb->oldDbOpened());
    if (mainForm *main = modMain::gMain) {
        setWindowIcon(main->imgMenu(1));
        const int pictures[] = {16, 15, 18, 7, 17, 2, 5, 3, 5};
        for (int i = 0; i < tbb.size(); ++i)
            tbb[i]->setPicture(main->img16(pictures[i]));
        Salva->setPicture(main->img16(6));
    }

    rsUnita = std::make_unique<Recordset>();
    if (gKez) {
        m_codFiscCorrente = gKez->CodiceFiscale;
        m_saIDCorrente = gKez->Sa1ID;
    }
    if (!caricaUnita(m_codFiscCorrente, m_saIDCorrente)) {
        m_codFiscCorrente.clear();
        nuovaScheda(false);
    }
    // On a stored declaration the clerk starts from its code. A blank sheet
    // does not put the user into its required code field unasked: the
    // toolbar stays free until the user chooses to type a code.
    if (m_saIDCorrente != 0)
        slt[0]->setFocus();
    modFunz::setWaitCursor(false);
}

SezAnag::~SezAnag()
{
    rsUnita->close();
    // The declaration left current is kept when the sheet goes, not on every
    // move (each write of the INI waits for the disk), so that a run that
    // ends badly later still starts again on it.
    if (gKez) {
        const QString section = QStringLiteral("Kez");
        gKez->writeIniFile(section, QStringLiteral("Sa1ID"), QString::number(gKez->Sa1ID));
        gKez->writeIniFile(section, QStringLiteral("RifID"), QString::number(gKez->RifID));
        gKez->writeIniFile(section, QStringLiteral("IntID"), QString::number(gKez->IntID));
        gKez->writeIniFile(section, QStringLiteral("ConsID"), QString::number(gKez->consID));
    }
    modMain::formUnloaded(this);
    if (modMain::currentForm == 1)
        modMain::currentForm = 0;
    if (modMain::gMain && !QCoreApplication::closingDown())
        modMain::showLogo();
}

bool SezAnag::modificata() const
{
    return Salva->Enabled();
}

bool SezAnag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == labCopy && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        labCopy_Click();
        return true;
    }
    // Enter on a tick moves on, as in every field.
    if (event->type() == QEvent::KeyPress && chk.contains(qobject_cast<QCheckBox *>(watched))) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            int KeyAscii = 13;
            modFunz::sendTab(KeyAscii);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SezAnag::scarica()
{
    // The frame asks the sheet, then goes with it.
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
    else
        close();
}

QString SezAnag::unloadPrompt() const
{
    return QStringLiteral("Attenzione, scheda modificata, vuoi salvarla?");
}

void SezAnag::closeEvent(QCloseEvent *event)
{
    if (!queryUnload(Asker::Close)) {
        event->ignore();
        return;
    }
    rsUnita->close();
    event->accept();
}

// ------------------------------------------------------------ showing rows

bool SezAnag::caricaUnita(const QString &codFisc, int saID)
{
    std::unique_ptr<Recordset> rs = openUnits(codFisc);
    if (!rs)
        return false;
    rsUnita = std::move(rs);
    m_codFiscCorrente = codFisc;
    m_saIDCorrente = saID;
    if (rsUnita->eof()) {
        nuovaScheda(false);
        return true;
    }
    nav->setMax(rsUnita->RecordCount());
    int position = 0;
    for (int i = 1; !rsUnita->eof(); ++i, rsUnita->MoveNext()) {
        if (rsUnita->value(QStringLiteral("saID")).toInt() == saID) {
            position = i;
            break;
        }
    }
    if (position == 0) {
        rsUnita->MoveLast();
        position = nav->Max();
    }
    nav->setValue(position);
    caricaScheda();
    return true;
}

void SezAnag::caricaScheda()
{
    inCaricamento = true;
    labCopy->setVisible(false);
    const Recordset &rs = *rsUnita;
    m_codFiscCorrente = nzStr(rs.value(QStringLiteral("codFisc")));
    m_saIDCorrente = rs.value(QStringLiteral("saID")).toInt();
    slt[0]->setValue(nullIfBlank(m_codFiscCorrente));
    for (const auto &bound : boundFields)
        slt[bound.field]->setValue(rs.value(QLatin1String(bound.column)));
    cmbCom[0]->letValue(rs.value(QStringLiteral("prvIstat")), rs.value(QStringLiteral("comIstat")));
    slt[3]->setValue(nullIfBlank(cmbCom[0]->Sigla()));
    cmbCom[1]->letValue(rs.value(QStringLiteral("slPrvIstat")), rs.value(QStringLiteral("slComIstat")));
    slt[12]->setValue(nullIfBlank(cmbCom[1]->Sigla()));

    // Any export id but 0 marks the declaration exported, one stored as
    // a text or a fraction too: the mark can only be taken away, and a
    // tick left as it is keeps the id as stored.
    const bool exported = !StoredValue::nullOrZero(rs.value(QStringLiteral("ExpID")));
    chk[0]->setChecked(exported);
    chk[0]->setEnabled(exported);
    FlagBox::setValue(chk[1], rs.value(QStringLiteral("saAnnulla")));
    slt[21]->setEnabled(FlagBox::ticked(chk[1]));
    setSelectedDeclaration(true);
    aggiornaStato();
    inCaricamento = false;
}

void SezAnag::setSelectedDeclaration(bool stored)
{
    for (int i : {1, 3, 4})
        tbb[i]->setEnabled(stored);
    Salva->setEnabled(false);
    m_campoAvvisato = -1;
}

void SezAnag::aggiornaStato()
{
    QString text;
    if (m_saIDCorrente != 0)
        text = slt[1]->Text() + QStringLiteral(" - U. L.: ") + nzStr(slt[4]->Value())
            + QLatin1Char(' ') + nzStr(slt[5]->Value()) + QLatin1Char(' ') + cmbCom[0]->Text()
            + QStringLiteral(" (") + nzStr(slt[3]->Value()) + QLatin1Char(')');
    if (modMain::gMain)
        modMain::gMain->setDeclarationText(text);
    if (!gKez)
        return;
    // The code published is always the one stored in the row shown, so the
    // next opening and the next start find the declaration again.
    if (m_saIDCorrente != 0)
        gKez->CodiceFiscale = m_codFiscCorrente;
    if (gKez->Sa1ID == m_saIDCorrente)
        return;
    gKez->Sa1ID = m_saIDCorrente;
    gKez->CodiceFiscale = m_codFiscCorrente;
    gKez->RifID = 0;
    gKez->IntID = 0;
    gKez->consID = 0;
    if (modMain::gMain)
        modMain::gMain->abilitaMenu();
}

void SezAnag::setModificata()
{
    if (!inCaricamento && !Salva->Enabled())
        Salva->setEnabled(true);
}

bool SezAnag::chiediSalvataggio()
{
    return queryMove(QStringLiteral("Attenzione, anagrafica modificata, vuoi salvarla?"));
}

// ---------------------------------------------------------------- toolbar

void SezAnag::tbb_Click(int Index)
{
    switch (Index) {
    case 0:
        if (!chiediSalvataggio())
            return;
        m_codFiscCorrente.clear();
        slt[0]->setValue(QVariant());
        nuovaScheda(false);
        slt[0]->setFocus();
        break;
    case 1:
        if (!chiediSalvataggio())
            return;
        nuovaScheda(true);
        slt[1]->setFocus();
        break;
    case 2:
        if (gModal && gModal->showDichiarazioni(-1, m_codFiscCorrente) && chiediSalvataggio())
            copiaAnnoPrec();
        break;
    case 3:
        eliminaSchedaCorrente();
        break;
    case 4:
        FormFactory::execDialog(FormFactory::SA2);
        break;
    case 6:
        if (gModal && gModal->showDichiarazioni(m_saIDCorrente, m_codFiscCorrente)
            && gModal->Key.toInt() != m_saIDCorrente && chiediSalvataggio())
            caricaUnita(nzStr(gModal->Codice), gModal->Key.toInt());
        slt[0]->setFocus();
        break;
    case 7:
        if (gModal && gModal->showDitte(m_codFiscCorrente) && nzStr(gModal->CodiceFiscale) != m_codFiscCorrente
            && chiediSalvataggio()) {
            const QString code = nzStr(gModal->CodiceFiscale);
            slt[0]->setValue(nullIfBlank(code));
            if (caricaUnita(code, 0))
                labCopy->setVisible(false);
        }
        slt[1]->setFocus();
        slt[1]->SelectAll();
        break;
    case 8: {
        if (slt[0]->isEmpty() || !gModal)
            return;
        const QString current = nzStr(slt[9]->Value());
        if (gModal->showAttEco(current) && nzStr(gModal->Key) != current) {
            slt[9]->setValue(gModal->Key);
            setModificata();
        }
        slt[9]->setFocus();
        break;
    }
    default:
        scarica();
        break;
    }
}

void SezAnag::Salva_Click()
{
    salvaScheda();
}

void SezAnag::nav_Click(bool &Cancel, int Bottone)
{
    // A code typed last leads to its company's declarations, as a Tab
    // would: the sheet then shows those and goes no further.
    const QString before = m_codFiscCorrente;
    if (!chiediSalvataggio() || before != m_codFiscCorrente) {
        Cancel = true;
        return;
    }
    // From the row the navigator stands on now: a blank sheet saved by the
    // question above is the last row, and nothing follows it.
    int target = 0;
    switch (Bottone) {
    case 0: target = 1; break;
    case 1: target = nav->Value() - 1; break;
    case 2: target = nav->Value() + 1; break;
    default: target = nav->Max(); break;
    }
    if (target < 1 || target > rsUnita->RecordCount()) {
        Cancel = true;
        return;
    }
    rsUnita->setAbsolutePosition(target);
    if (rsUnita->AbsolutePosition() != target) {
        modFunz::showError(QStringLiteral("Lettura dichiarazioni"));
        Cancel = true;
        return;
    }
    caricaScheda();
    slt[0]->setFocus();
    slt[0]->SelectAll();
}

void SezAnag::eliminaSchedaCorrente()
{
    if (m_saIDCorrente == 0 || !modFunz::confirmDelete(QStringLiteral("dichiarazione corrente")))
        return;
    if (!rsUnita->Delete()) {
        ErrInfo::current() = rsUnita->lastError();
        modFunz::showError(QStringLiteral("Eliminazione dichiarazione"));
        return;
    }
    const int rows = rsUnita->RecordCount();
    nav->setMax(rows);
    if (rows > 0) {
        // The next row takes the deleted one's place; after the last, the
        // one before it.
        const int position = qMin(nav->Value(), rows);
        rsUnita->setAbsolutePosition(position);
        nav->setValue(position);
        caricaScheda();
    } else {
        nav->setValue(0);
        m_codFiscCorrente.clear();
        slt[0]->setValue(QVariant());
        nuovaScheda(false);
    }
    slt[0]->setFocus();
    aggiornaStato();
}

void SezAnag::chk_Click(int Index)
{
    if (Index == 1) {
        const bool ticked = FlagBox::ticked(chk[1]);
        if (!ticked)
            slt[21]->setValue(QVariant());
        slt[21]->setEnabled(ticked);
    }
    setModificata();
}

void SezAnag::cmbCom_Validate(int Index, bool &Cancel)
{
    bool Modificato = false;
    if (!cmbCom[Index]->Match(Modificato)) {
        Cancel = true;
        return;
    }
    if (!Modificato)
        return;
    setModificata();
    slt[Index == 0 ? 3 : 12]->setValue(nullIfBlank(cmbCom[Index]->Sigla()));
    slxText *cap = slt[Index == 0 ? 6 : 15];
    cap->setValue(cmbCom[Index]->capFor(cap->Value()));
}

// ------------------------------------------------------------- new sheets

void SezAnag::nuovaScheda(bool unitaLocale)
{
    inCaricamento = true;
    const bool found = !unitaLocale && gModal && gModal->getDitta(m_codFiscCorrente);
    if (unitaLocale) {
        nav->setCaption(QStringLiteral("Nuova unità locale"));
        labCopy->setVisible(false);
    } else {
        nav->setMax(0);
        nav->setValue(0);
        nav->setCaption(QStringLiteral("Nuova dichiarazione"));
        labCopy->setVisible(true);
        if (found) {
            slt[1]->setValue(gModal->ragioneSociale);
            cmbCom[1]->letValue(gModal->istatProvincia, gModal->istatComune);
            slt[12]->setValue(nullIfBlank(cmbCom[1]->Sigla()));
            const QVariant office[] = {gModal->via, gModal->civico, gModal->cap, gModal->prefisso,
                                       gModal->telefono};
            for (int i = 0; i < 5; ++i)
                slt[13 + i]->setValue(office[i]);
        } else {
            slt[1]->setValue(QVariant());
            cmbCom[1]->setValue(0);
            for (int i = 12; i <= 17; ++i)
                slt[i]->setValue(QVariant());
        }
        slt[18]->setValue(QVariant());
        slt[19]->setValue(QVariant());
        slt[20]->setValue(QDate::currentDate());
        slt[21]->setValue(QVariant());
    }
    m_saIDCorrente = 0;
    slt[2]->setValue(0);
    if (found) {
        cmbCom[0]->letValue(gModal->istatProvincia, gModal->istatComune);
        slt[3]->setValue(nullIfBlank(cmbCom[0]->Sigla()));
        const QVariant unit[] = {gModal->via, gModal->civico, gModal->cap, gModal->prefisso,
                                 gModal->telefono};
        for (int i = 0; i < 5; ++i)
            slt[4 + i]->setValue(unit[i]);
    } else {
        cmbCom[0]->setValue(0);
        for (int i = 3; i <= 8; ++i)
            slt[i]->setValue(QVariant());
    }
    slt[9]->setValue(QVariant());
    slt[10]->setValue(0);
    slt[11]->setValue(12);
    chk[0]->setChecked(false);
    chk[0]->setEnabled(false);
    FlagBox::setValue(chk[1], false);
    slt[21]->setEnabled(false);
    setSelectedDeclaration(false);
    inCaricamento = false;
}

void SezAnag::copiaAnnoPrec()
{
    m_codFiscCorrente.clear();
    nuovaScheda(false);
    inCaricamento = true;
    labCopy->setVisible(false);
    const QVariant key = gModal ? gModal->Key : QVariant();
    if (gDb && gDb->oldRsOpen(QStringLiteral("SELECT * FROM SezAnag WHERE SaID = ?"), {key})) {
        const Recordset &rs = *gDb->oldRs;
        const QString codFisc = nzStr(rs.value(QStringLiteral("codFisc")));
        slt[0]->setValue(nullIfBlank(codFisc));
        slt[1]->setValue(rs.value(QStringLiteral("ragSoc")));
        slt[2]->setValue(rs.value(QStringLiteral("REA")));
        cmbCom[0]->letValue(rs.value(QStringLiteral("prvIstat")), rs.value(QStringLiteral("comIstat")));
        cmbCom[1]->letValue(rs.value(QStringLiteral("slPrvIstat")),
                            rs.value(QStringLiteral("slComIstat")));
        slt[3]->setValue(nullIfBlank(cmbCom[0]->Sigla()));
        // Prefixes whole: the fields take all five characters a prefix has.
        static const char *const columns[] = {"via", "civico", "cap", "prefTel", "telefono", "attIstat",
                                              "Addetti"};
        for (int i = 0; i < 7; ++i)
            slt[4 + i]->setValue(rs.value(QLatin1String(columns[i])));
        slt[12]->setValue(nullIfBlank(cmbCom[1]->Sigla()));
        static const char *const office[] = {"slVia", "slCivico", "slCAP", "slPrefTel", "slTelefono",
                                             "saCognome", "saNome"};
        for (int i = 0; i < 7; ++i)
            slt[13 + i]->setValue(rs.value(QLatin1String(office[i])));
        gDb->oldRs->close();
        // The navigator counts the copied company's local units, to which
        // the new declaration will be added.
        if (std::unique_ptr<Recordset> units = openUnits(codFisc)) {
            rsUnita = std::move(units);
            m_codFiscCorrente = codFisc;
            nav->setMax(rsUnita->RecordCount());
            nav->setValue(0);
            nav->setCaption(QStringLiteral("Nuova dichiarazione"));
        }
        inCaricamento = false;
        slt[1]->setFocus();
        Salva->setEnabled(true);
        return;
    }
    if (gDb && gDb->oldRs)
        gDb->oldRs->close();
    inCaricamento = false;
    slt[0]->setFocus();
}

void SezAnag::labCopy_Click()
{
    cmbCom[1]->letValue(cmbCom[0]->istatProvincia(), cmbCom[0]->istatComune());
    for (int i = 3; i <= 8; ++i)
        slt[i + 9]->setValue(slt[i]->Value());
}

// ------------------------------------------------------------ field checks

void SezAnag::slt_Validate(int Index, bool &Cancel)
{
    slxText *field = slt[Index];
    const bool avvisato = m_campoAvvisato == Index;
    m_campoAvvisato = -1;
    bool Modificato = false;
    if (!field->Match(Modificato)) {
        Cancel = true;
    } else if (!Modificato) {
        // A value warned about once and left unchanged is taken as it
        // stands: a change like any other, to be saved or asked about.
        if (avvisato && Index != 0)
            setModificata();
        return;
    } else {
        campoCambiato(Index, Cancel);
    }
    if (Cancel) {
        field->SelectAll();
        // The remembered value already holds the change the field shows, so
        // the next exit unchanged accepts it without a second warning.
        if (Index != 0 && Modificato && field->oldValue == field->Value())
            m_campoAvvisato = Index;
    } else if (Index != 0) {
        setModificata();
    }
}

void SezAnag::campoCambiato(int Index, bool &Cancel)
{
    slxText *field = slt[Index];
    const QVariant value = field->Value();
    switch (Index) {
    case 0:
        if (!modFunz::checkCodFisc(value)) {
            field->oldValue = QVariant();
            Cancel = true;
        } else {
            codFiscAccettato(Cancel);
        }
        break;
    case 10:
        if (value.toInt() > 99
            && modFunz::showMsg(QStringLiteral("Attenzione, verificare numero addetti."), 36)
                == MessageBoxSeam::vbYes)
            Cancel = true;
        break;
    case 11:
        if (value.toInt() < 1 || value.toInt() > 12) {
            Cancel = modFunz::warnMsg(QStringLiteral("Attenzione, mesi di attività errati."));
            field->oldValue = 0;
        }
        break;
    case 9:
        if (!modMain::existsAttEco(nzStr(value))) {
            Cancel = modFunz::warnMsg(QStringLiteral("Attenzione, codice Istat Attività errato."));
            field->oldValue = QVariant();
        }
        break;
    case 20:
        if (!value.isNull() && gKez && value.toDate().year() != gKez->AnnoElaborazione()
            && modFunz::showMsg(QStringLiteral("Attenzione, verificare la data della dichiarazione."),
                                36)
                == MessageBoxSeam::vbYes)
            Cancel = true;
        break;
    case 6:
    case 15:
        if (!value.isNull() && value.toString().size() != 5)
            Cancel = modFunz::warnMsg(QStringLiteral("Attenzione, C.A.P. digitato formalmente errato."));
        break;
    default:
        break;
    }
}

void SezAnag::codFiscAccettato(bool &Cancel)
{
    const QString code = nzStr(slt[0]->Value());
    Cancel = !queryMove(QStringLiteral("Attenzione dati cambiati, vuoi salvarli?"));
    if (Cancel) {
        // The sheet stays as it was, under its own code: another company's
        // code is never left standing over it, and typing it again asks
        // again. A sheet started without a company keeps the code it took.
        slt[0]->setValue(nullIfBlank(codiceDaSalvare()));
        slt[0]->SelectAll();
        return;
    }
    if (!caricaUnita(code, 0)) {
        Cancel = true;
        return;
    }
    // The typed code stays in the field of a company that has no row yet.
    slt[0]->setValue(nullIfBlank(code));
}

QString SezAnag::codiceDaSalvare() const
{
    // A declaration belongs to the company it was started for: a code typed
    // over it leads to that company's declarations, it never moves this one.
    // Only a sheet started without a company takes the code its field
    // accepted (a refused code is remembered as Null).
    if (m_saIDCorrente != 0 || !m_codFiscCorrente.isEmpty())
        return m_codFiscCorrente;
    return slt[0]->oldValue == slt[0]->Value() ? nzStr(slt[0]->Value()) : QString();
}

bool SezAnag::verificaScheda()
{
    if (!modFunz::checkRefusedFields(slt, 1, [this](int i, bool &Cancel) { slt_Validate(i, Cancel); }))
        return false;
    // A new declaration needs the company it belongs to.
    if (m_saIDCorrente == 0 && codiceDaSalvare().isEmpty()) {
        modFunz::warnMsg(slt[0]->MsgRequired());
        slt[0]->setFocus();
        return false;
    }
    const struct
    {
        QWidget *control;
        bool empty;
        QString text;
    } required[] = {
        {slt[1], slt[1]->isEmpty(), slt[1]->MsgRequired()},
        {cmbCom[0], cmbCom[0]->Value().toInt() == 0 && !cmbCom[0]->holdsStored(), cmbCom[0]->MsgRequired},
        {slt[4], slt[4]->isEmpty(), slt[4]->MsgRequired()},
        {slt[9], slt[9]->isEmpty(), slt[9]->MsgRequired()},
        {slt[10], slt[10]->isEmpty(), slt[10]->MsgRequired()},
        {slt[11], slt[11]->isEmpty(), slt[11]->MsgRequired()},
        {cmbCom[1], cmbCom[1]->Value().toInt() == 0 && !cmbCom[1]->holdsStored(), cmbCom[1]->MsgRequired},
        {slt[13], slt[13]->isEmpty(), slt[13]->MsgRequired()},
        {slt[18], slt[18]->isEmpty(), slt[18]->MsgRequired()},
        {slt[19], slt[19]->isEmpty(), slt[19]->MsgRequired()},
        {slt[20], slt[20]->isEmpty(), slt[20]->MsgRequired()},
    };
    for (const auto &field : required) {
        if (field.empty) {
            modFunz::warnMsg(field.text);
            field.control->setFocus();
            return false;
        }
    }
    if (!FlagBox::ticked(chk[1]))
        return true;
    QString refusal;
    if (slt[21]->isEmpty())
        refusal = QStringLiteral("Attenzione, data precedente dichiarazione da annullare richiesta.");
    else if (!slt[20]->isEmpty() && slt[21]->Value().toDate() > slt[20]->Value().toDate())
        refusal = QStringLiteral("Attenzione, data precedente dichiarazione > data dichiarazione.");
    if (refusal.isEmpty())
        return true;
    modFunz::warnMsg(refusal);
    slt[21]->setFocus();
    return false;
}

// ------------------------------------------------------------------- save

bool SezAnag::scriviScheda(bool nuova)
{
    Recordset &rs = *rsUnita;
    bool ok = true;
    if (nuova) {
        ok = rs.AddNew() && rs.setValue(QStringLiteral("codFisc"), codiceDaSalvare())
            && rs.setValue(QStringLiteral("saAnno"), gKez ? gKez->AnnoDichiarazione() : 0);
    }
    for (const auto &bound : boundFields)
        ok = ok && rs.setValue(QLatin1String(bound.column), slt[bound.field]->Value());
    ok = ok && rs.setValue(QStringLiteral("prvIstat"), cmbCom[0]->istatProvincia())
        && rs.setValue(QStringLiteral("comIstat"), cmbCom[0]->istatComune())
        && rs.setValue(QStringLiteral("slPrvIstat"), cmbCom[1]->istatProvincia())
        && rs.setValue(QStringLiteral("slComIstat"), cmbCom[1]->istatComune())
        && rs.setValue(QStringLiteral("saAnnulla"), FlagBox::value(chk[1], true, false));
    if (ok && !chk[0]->isChecked())
        ok = rs.setValue(QStringLiteral("ExpID"), 0);
    if (ok)
        ok = rs.Update();
    if (!ok) {
        erroreDatabase(QStringLiteral("Salvataggio dichiarazione"));
        return false;
    }
    rs.Resync();
    return true;
}

void SezAnag::erroreDatabase(const QString &context)
{
    ErrInfo::current() = rsUnita->lastError();
    if (rsUnita->editMode() != Recordset::adEditNone)
        rsUnita->CancelUpdate();
    modFunz::showError(context);
}

bool SezAnag::salvaScheda()
{
    if (!verificaScheda())
        return true;
    const bool nuova = m_saIDCorrente == 0;
    if (!scriviScheda(nuova))
        return true;
    if (nuova) {
        const int saID = rsUnita->value(QStringLiteral("saID")).toInt();
        const QString code = nzStr(rsUnita->value(QStringLiteral("codFisc")));
        // A sheet started without a company joins the declarations of the
        // one whose code it took; when they cannot be read, it stays alone.
        if (code == m_codFiscCorrente || !caricaUnita(code, saID)) {
            m_saIDCorrente = saID;
            m_codFiscCorrente = code;
            aggiornaStato();
            nav->setMax(rsUnita->RecordCount());
            nav->setValue(rsUnita->AbsolutePosition());
            for (int i : {1, 3, 4})
                tbb[i]->setEnabled(true);
        }
    } else {
        aggiornaStato();
    }
    slt[0]->setFocus();
    Salva->setEnabled(false);
    return false;
}
