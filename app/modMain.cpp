#include "modMain.h"

#include <QApplication>
#include <algorithm>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QWheelEvent>
#include <QWidget>

#include "FormFactory.h"
#include "Logo.h"
#include "LookupSource.h"
#include "MessageBoxSeam.h"
#include "ModalWork.h"
#include "MsgBox.h"
#include "Recordset.h"
#include "SessionRequest.h"
#include "SingleInstance.h"
#include "UnloadQuery.h"
#include "WheelGuard.h"
#include "WheelHooks.h"
#include "dbClass.h"
#include "kezClass.h"
#include "mainForm.h"
#include "modFunz.h"
#include "modalClass.h"

using modFunz::nzStr;

namespace modMain {

std::unique_ptr<kezClass> gKez;
std::unique_ptr<dbClass> gDb;
std::unique_ptr<modalClass> gModal;
QPointer<mainForm> gMain;
CloseRound closeRound = CloseRound::None;
int currentForm = 0;
int modoApertura = 0;
int filtroRifiutoLen = 0;

namespace {

// Held for the whole run: it keeps the lock and answers later copies.
std::unique_ptr<SingleInstance> instanceGuard;
bool sessionOver = false;

QList<QPointer<QWidget>> &registry()
{
    static QList<QPointer<QWidget>> forms;
    return forms;
}

void purgeRegistry()
{
    registry().removeAll(QPointer<QWidget>());
}

// The window that stands for a form: its frame when it lives inside the
// main window.
QWidget *frameOf(QWidget *form)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget()))
        return sub;
    return form;
}

void restoreDeclaration()
{
    gKez->Sa1ID = gKez->getIniInt(QStringLiteral("Kez"), QStringLiteral("Sa1ID"));
    if (gKez->Sa1ID <= 0)
        return;
    QString codFisc;
    QString text;
    if (!readDeclaration(gKez->Sa1ID, codFisc, text)) {
        gKez->Sa1ID = 0;
        return;
    }
    gKez->CodiceFiscale = codFisc;
    gKez->RifID = gKez->getIniInt(QStringLiteral("Kez"), QStringLiteral("RifID"));
    gKez->IntID = gKez->getIniInt(QStringLiteral("Kez"), QStringLiteral("IntID"));
    gKez->consID = gKez->getIniInt(QStringLiteral("Kez"), QStringLiteral("ConsID"));
    if (gMain)
        gMain->setDeclarationText(text);
}

// The wheel of a hooked window also reaches the grid that has the focus.
// The grid is found by class name so that the shell does not depend on
// the grid control.
void wheelToGrid(QWheelEvent *event)
{
    QObject *target = QApplication::focusWidget();
    while (target && !target->inherits("slxGrid"))
        target = target->parent();
    if (!target)
        return;
    const int delta = event->angleDelta().y();
    int keys = 0;
    if (event->buttons() & Qt::LeftButton)
        keys |= 0x1;
    if (event->buttons() & Qt::RightButton)
        keys |= 0x2;
    if (event->modifiers() & Qt::ShiftModifier)
        keys |= 0x4;
    if (event->modifiers() & Qt::ControlModifier)
        keys |= 0x8;
    if (event->buttons() & Qt::MiddleButton)
        keys |= 0x10;
    // The delta in the high word, the key state in the low word.
    const int wParam = static_cast<int>((static_cast<quint32>(delta) << 16) | quint32(keys));
    QMetaObject::invokeMethod(target, "mouseWheel", Qt::DirectConnection, Q_ARG(int, wParam));
}

bool codeExists(const QString &sql, const QString &code)
{
    if (!gDb)
        return false;
    const bool found = gDb->listRsOpen(sql, {code});
    gDb->listRs.close();
    return found;
}

} // namespace

void installServices()
{
    // A program that starts has a live session.
    sessionOver = false;
    MsgBox::setCaption([] { return gKez ? gKez->Caption() : QStringLiteral("Kez"); });
    MsgBox::setMainWindow([]() -> QWidget * { return gMain; });
    LookupSource::setDefault([]() -> Connection * { return gDb ? &gDb->kezCnn : nullptr; });
    MessageBoxSeam::setSessionEnded(sessionEnded);
    WheelGuard::install();
}

bool subMain(const QStringList &arguments, const QString &programFolder)
{
    installServices();
    modFunz::setWaitCursor(true);
    gKez = std::make_unique<kezClass>(arguments, programFolder);
    gModal = std::make_unique<modalClass>();
    if (!checkSingleInstance())
        return false;
    gDb = std::make_unique<dbClass>();

    auto *window = new mainForm;
    window->setAttribute(Qt::WA_DeleteOnClose);
    gMain = window;
    if (instanceGuard)
        instanceGuard->setWindow(window);
    window->show();
    QCoreApplication::processEvents();
    Logo::showInMain();
    QCoreApplication::processEvents();

    if (!gDb->openKezDb())
        FormFactory::execDialog(102);

    if (gDb->kezDbOpened()) {
        if (!gDb->oldDbOpened())
            gDb->openOldDb();
        {
            auto rs = gDb->kezRs(QStringLiteral("SELECT RagSoc FROM Setup"));
            if (rs->isOpen() && !rs->eof())
                gKez->Utente = nzStr(rs->value(QStringLiteral("RagSoc")));
        }
        if (gKez->Utente.isEmpty())
            gModal->showRegistra();
        if (!gKez->Utente.isEmpty()) {
            if (Logo *logo = Logo::instance())
                logo->setUser(gKez->Utente);
            restoreDeclaration();
        }
    }

    const int filterLength =
        gKez->getIniFile(QStringLiteral("Kez"), QStringLiteral("FiltroRifiuto")).length();
    filtroRifiutoLen = (filterLength == 2 || filterLength == 4) ? filterLength : 0;

    if (gMain)
        gMain->abilitaMenu();
    modFunz::setWaitCursor(false);
    return true;
}

void releaseGlobals()
{
    gDb.reset();
    gKez.reset();
    gModal.reset();
    // The program is ending: a new copy may start from now on.
    instanceGuard.reset();
}

bool readDeclaration(int saID, QString &codFisc, QString &statusText)
{
    if (!gDb || saID <= 0)
        return false;
    // The declaration exists when its own row does; a municipality or
    // province missing from the lookup tables only leaves its name empty.
    auto rs = gDb->kezRs(
        QStringLiteral("SELECT SezAnag.CodFisc, SezAnag.RagSoc, SezAnag.Via, SezAnag.Civico, "
                       "Comuni.ComDesc, Province.PrvSigla FROM SezAnag "
                       "LEFT JOIN Province ON SezAnag.PrvIstat = Province.PrvIstat "
                       "LEFT JOIN Comuni ON SezAnag.ComIstat = Comuni.ComIstat "
                       "AND SezAnag.PrvIstat = Comuni.PrvIstat "
                       "WHERE SezAnag.saID = ?"),
        {saID});
    if (!rs->isOpen() || rs->eof())
        return false;
    codFisc = nzStr(rs->value(QStringLiteral("CodFisc")));
    statusText = nzStr(rs->value(QStringLiteral("RagSoc"))) + QStringLiteral(" - U. L.: ")
        + nzStr(rs->value(QStringLiteral("Via"))) + QLatin1Char(' ')
        + nzStr(rs->value(QStringLiteral("Civico"))) + QLatin1Char(' ')
        + nzStr(rs->value(QStringLiteral("ComDesc"))) + QStringLiteral(" (")
        + nzStr(rs->value(QStringLiteral("PrvSigla"))) + QLatin1Char(')');
    return true;
}

void formLoaded(QWidget *form)
{
    if (!form)
        return;
    purgeRegistry();
    for (const QPointer<QWidget> &known : registry())
        if (known == form)
            return;
    registry().append(form);
}

void formUnloaded(QWidget *form)
{
    registry().removeAll(QPointer<QWidget>(form));
    purgeRegistry();
}

QList<QWidget *> loadedForms()
{
    purgeRegistry();
    QList<QWidget *> forms;
    for (const QPointer<QWidget> &form : registry())
        forms.append(form);
    return forms;
}

namespace {

// Closes the registered forms, the most recently loaded first (a module
// before its sheet). With questions each form may ask to save and stay
// open, which stops the round; without, every form goes.
bool closeRegistered(bool withQuestions)
{
    const CloseRound previous = closeRound;
    const bool asking = withQuestions && previous != CloseRound::Silently && !sessionOver;
    closeRound = asking ? CloseRound::Asking : CloseRound::Silently;
    bool closed = true;
    for (purgeRegistry(); !registry().isEmpty(); purgeRegistry()) {
        // The session ended while a form asked: what is left goes once the
        // event loops have returned, never beneath the question's caller.
        if (asking && sessionOver) {
            closed = false;
            break;
        }
        QPointer<QWidget> form = registry().last();
        QPointer<QWidget> frame = frameOf(form);
        if (!frame->close() && asking) {
            closed = false;
            break;
        }
        registry().removeAll(form);
        // A closed form goes now, not at the next turn of the event loop:
        // the window that replaces it must not meet it.
        delete frame.data();
        delete form.data();
        QCoreApplication::processEvents();
    }
    closeRound = previous;
    return closed;
}

// Whether a modal window up may hold something the clerk would lose: a
// question, a job at work, a choice not applied. A form with a save
// question asks its own and is not counted; a window that does not say
// may be a question.
bool modalHoldsWork()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || !window->isModal() || dynamic_cast<UnloadQuery *>(window))
            continue;
        auto *work = dynamic_cast<ModalWork *>(window);
        if (!work || work->holdsWork())
            return true;
    }
    return false;
}

// The forms with a save question, in the order they ask: a dialog stands
// over every form of the main window, and among those the most recently
// loaded asks first (a module before its sheet).
QList<QPointer<QWidget>> formsWithQuestions()
{
    const QList<QWidget *> loaded = loadedForms();
    QList<QPointer<QWidget>> forms;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && dynamic_cast<UnloadQuery *>(window) && !loaded.contains(window))
            forms.append(window);
    for (auto it = loaded.crbegin(); it != loaded.crend(); ++it)
        if (dynamic_cast<UnloadQuery *>(*it))
            forms.append(*it);
    return forms;
}

} // namespace

bool closeForms()
{
    return closeRegistered(true);
}

void unloadForms()
{
    closeRegistered(false);
}

void commitData(SessionRequest &session)
{
    // The request comes in from whatever loop is running. Over a question,
    // a dialog at work or a save the clerk is already answering the
    // program: nothing more is asked, and the logout waits for them. A
    // dialog with nothing to lose is no reason to wait: the session's end
    // closes it as Esc would.
    if (modalHoldsWork()) {
        if (session.allowsInteraction())
            session.cancel();
        return;
    }
    const QList<QPointer<QWidget>> forms = formsWithQuestions();
    const bool changed = std::any_of(forms.cbegin(), forms.cend(), [](const QPointer<QWidget> &form) {
        auto *query = dynamic_cast<UnloadQuery *>(form.data());
        return query && query->holdsChanges();
    });
    // Without the user nothing may be decided for them: what is unsaved
    // stays so, and goes only if the session really ends.
    if (!changed || !session.allowsInteraction())
        return;
    for (const QPointer<QWidget> &form : forms) {
        auto *query = dynamic_cast<UnloadQuery *>(form.data());
        if (query && !query->queryUnload(UnloadQuery::Asker::SessionManager)) {
            // The session manager ends the interaction itself, telling the
            // desktop that the logout stopped.
            session.cancel();
            return;
        }
    }
    session.release();
}

void endSession()
{
    sessionOver = true;
    // A question or dialog goes as Esc takes it away: its caller goes on
    // with that answer, finds the session over and asks nothing more. A
    // dialog at work (an import) stops at its next step and goes with its
    // event loop.
    QList<QPointer<QWidget>> open;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window != gMain
            && (window->isModal() || window->windowType() == Qt::Popup))
            open.append(window);
    for (const QPointer<QWidget> &window : open)
        if (window)
            window->close();
    QCoreApplication::exit(0);
}

bool sessionEnded()
{
    return sessionOver;
}

bool closingAll()
{
    return closeRound != CloseRound::None || sessionOver;
}

void closeProgram()
{
    // After the user's quit nothing is left; after the session's end the
    // forms go as they are, unasked.
    unloadForms();
    if (gMain) {
        gMain->close();
        delete gMain.data();
    }
    releaseGlobals();
}

bool closeChildForms(int formCode)
{
    if (formCode == currentForm)
        return false;
    if (formCode > 100 && currentForm == 100)
        return true;
    if (!closeForms())
        return false;
    // Nothing is open any more until the next form loads.
    currentForm = 0;
    if (formCode > 100)
        Logo::showInMain();
    return true;
}

void showLogo()
{
    if (!closingAll())
        Logo::showInMain();
}

bool existsAttEco(const QString &code)
{
    return codeExists(QStringLiteral("SELECT attCod FROM Attivita WHERE attCod = ?"), code);
}

bool existsRegCE(const QString &code)
{
    return codeExists(QStringLiteral("SELECT crcCod FROM CodRegCE WHERE crcCod = ?"), code);
}

bool isRifiutoSelezionabile(const QString &code, bool silent)
{
    bool selectable = true;
    switch (filtroRifiutoLen) {
    case 4:
        break;
    case 2:
        selectable = !code.endsWith(QLatin1String("0000"));
        break;
    default:
        selectable = !code.endsWith(QLatin1String("00"));
        break;
    }
    if (!selectable && !silent)
        modFunz::showMsg(QStringLiteral("Attenzione, codice rifiuto non selezionabile: ") + code, 64);
    return selectable;
}

int checkProvinciaCCIAA(const QVariant &sigla, QString &compSigla, QString &compDesc)
{
    if (!gDb)
        return 0;
    if (!gDb->listRsOpen(
            QStringLiteral("SELECT Province.prvIstat, Province.prvDesc, Province.prvCCIAA, "
                           "Province_1.prvDesc AS CompCCIAA, Province_1.prvSigla AS CompSigla "
                           "FROM Province INNER JOIN Province AS Province_1 "
                           "ON Province.prvCCIAA = Province_1.prvIstat "
                           "WHERE Province.prvSigla = ?"),
            {sigla})) {
        gDb->listRs.close();
        modFunz::warnMsg(QStringLiteral("Attenzione, sigla provincia digitata errata!"));
        return 0;
    }
    const Recordset &rs = gDb->listRs;
    const int result = rs.value(QStringLiteral("prvCCIAA")).toInt();
    compSigla = nzStr(rs.value(QStringLiteral("CompSigla")));
    compDesc = nzStr(rs.value(QStringLiteral("CompCCIAA")));

    // Some municipalities belong to the chamber of another province.
    const QString typed = nzStr(sigla).trimmed().toUpper();
    QString notice;
    if (result == rs.value(QStringLiteral("prvIstat")).toInt()) {
        if (typed == QLatin1String("BL"))
            notice = QStringLiteral(
                "Attenzione, la CCIAA di competenza per il comune di SAPPADA è UDINE.");
        else if (typed == QLatin1String("SS"))
            notice = QStringLiteral("Attenzione, la CCIAA di competenza per i comuni di BUDONI, "
                                    "SAN TEODORO è NUORO.");
        else if (typed == QLatin1String("OR"))
            notice = QStringLiteral("Attenzione, la CCIAA di competenza per i comuni di BOSA, "
                                    "FLUSSIO, LACONI, MAGOMADAS, MODOLO, MONTRESTA, SAGAMA, SUNI, "
                                    "NURRI, TINNURA è NUORO.");
        else if (typed == QLatin1String("LC"))
            notice = QStringLiteral("Attenzione, la CCIAA di competenza per il comune di TORRE DE' "
                                    "BUSI è BERGAMO.");
    } else {
        notice = QStringLiteral("Attenzione, la CCIAA di competenza per ")
            + nzStr(rs.value(QStringLiteral("prvDesc"))) + QStringLiteral(" è: ") + compDesc
            + QLatin1Char('.');
        if (typed == QLatin1String("BT"))
            notice += QStringLiteral("\n(ad eccezione di Margherita di Savoia, San Ferdinando di "
                                     "Puglia e Trinitapoli\nper i quali la CCIAA di competenza è "
                                     "FOGGIA)");
        else if (typed == QLatin1String("SU"))
            notice += QStringLiteral("\nad eccezione dei comuni di ESCALAPLANO, ESCOLCA, ESTERZILI, "
                                     "GENONI, GERGEI, ISILI, NURAGUS, NURALLAO, NURRI, ORROLI, "
                                     "SADALI, SERRI, SEUI, SEULO, VILLANOVA TULO per i quali la "
                                     "CCIAA di competenza è NUORO.");
    }
    gDb->listRs.close();
    if (!notice.isEmpty())
        modFunz::warnMsg(notice);
    return result;
}

void hookWheel(QWidget *window)
{
    if (!window || (gKez && gKez->Sviluppo))
        return;
    WheelHooks::instance().hook(window, wheelToGrid);
}

void unhookWheel(QWidget *window)
{
    if (window && WheelHooks::instance().isHooked(window))
        WheelHooks::instance().unhook(window);
}

bool checkSingleInstance()
{
    if (instanceGuard)
        return true;
    const QString title = QStringLiteral("Kez ") + QString::number(gKez->AnnoElaborazione());
    auto guard = std::make_unique<SingleInstance>(title);
    if (guard->acquire()) {
        instanceGuard = std::move(guard);
        return true;
    }
    // The running copy has been asked to come to the front; this one ends
    // without touching the running copy's settings.
    QCoreApplication::processEvents();
    gKez->setWriteOnRelease(false);
    gKez.reset();
    gModal.reset();
    return false;
}

} // namespace modMain
