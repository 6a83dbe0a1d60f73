#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QWidget;
class SessionRequest;
class dbClass;
class kezClass;
class mainForm;
class modalClass;

// The program's entry, its three global objects and the few values the
// forms share: which window is open over the main window, how a sheet or
// dialog replaces it, the shared lookups and the mouse-wheel hook.
namespace modMain {

extern std::unique_ptr<kezClass> gKez;
extern std::unique_ptr<dbClass> gDb;
extern std::unique_ptr<modalClass> gModal;
// The main window while it exists (it deletes itself when closed).
extern QPointer<mainForm> gMain;
// What the shell is doing with the open forms, which decides whether a
// form that closes may ask its save question. Set only by a round of
// closeForms or unloadForms, and back to None when the round is over.
enum class CloseRound {
    None,     // no round: each form closes on its own
    Asking,   // the shell closes the forms for another window or for
              // quitting: each may ask, and one that stays stops the round
    Silently  // the forms close without a question, changes dropped
};
extern CloseRound closeRound;
// The shell is closing the forms wholesale: a round of closeForms or
// unloadForms, or the session's end. A form that closes then neither takes
// over from the window it leaves nor brings the splash back.
bool closingAll();
extern int currentForm;
extern int modoApertura;
extern int filtroRifiutoLen;

// Returns false when another copy runs (the caller ends at once).
// programFolder: where the INI and the database live; empty = the
// executable's folder (see kezClass).
bool subMain(const QStringList &arguments, const QString &programFolder = QString());
// Tells the layers below the shell where to find what they read from it:
// the caption and the main window for every message box, whether the
// session has ended, the current database for the controls' lookups. Read at each use, so it is said
// once: start-up calls it, and so does a test that builds the globals
// itself. The session is live from then on.
void installServices();
void releaseGlobals();
// Clears the main window before the sheet or dialog formCode opens: every
// open form closes, each asking its own save question. False when there
// is nothing to do (formCode is already open) or a form stayed open (the
// user cancelled, or its save was refused): then formCode must not open.
bool closeChildForms(int formCode);
void showLogo();
bool existsAttEco(const QString &code);
bool existsRegCE(const QString &code);
bool isRifiutoSelezionabile(const QString &code, bool silent);
int checkProvinciaCCIAA(const QVariant &sigla, QString &compSigla, QString &compDesc);
void hookWheel(QWidget *window);
void unhookWheel(QWidget *window);
bool checkSingleInstance();

// Reads a declaration for the status bar: false when saID names none.
// The text is company - U. L.: street number municipality (province);
// missing parts are left empty.
bool readDeclaration(int saID, QString &codFisc, QString &statusText);

// The forms open over the main window (splash, sheets, export history,
// dialogs), in the order they were loaded. Every such form calls
// formLoaded when it loads; it leaves the list when it is destroyed or
// calls formUnloaded. Forms that register are heap objects: unloading
// closes and deletes them (their frame too, inside the main window).
void formLoaded(QWidget *form);
void formUnloaded(QWidget *form);
QList<QWidget *> loadedForms();
// Closes every registered form, the most recently loaded first, each
// asking its own save question; false as soon as one stays open. The main
// window stays.
bool closeForms();
// The same without any question: every form goes, changes unsaved.
void unloadForms();
// The desktop's session manager asks the program to save its data, before
// a logout or at a checkpoint (QGuiApplication::commitDataRequest). Nothing
// closes here: the session may go on. When the user may be asked, every
// modified form asks its own save question, the most recent first; Cancel,
// or a save that is refused, cancels the logout. Otherwise nothing is
// asked and nothing is saved. A modal window up that may hold something
// (a question, a job, a change not applied; see ModalWork) asks nothing
// and cancels the logout when the user may be asked.
void commitData(SessionRequest &session);
// The session ends (the session manager's quit): questions and dialogs
// still open are closed as Esc would close them and every event loop is
// told to return. Nothing is deleted here; closeProgram does the rest.
void endSession();
// From the session's end on nothing is asked any more: a form closes
// unasked, a job stops at its next step, and the program ends once its
// event loops have returned.
bool sessionEnded();
// The program's last step, once its event loop has returned: whatever is
// still open closes without questions and the globals are released.
void closeProgram();
}
