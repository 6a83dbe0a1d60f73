#pragma once

#include <QString>
#include <QVariantList>
#include <QWidget>

#include <functional>

#include "ModalDialog.h"

// The one place where the windows opened from the main window, the side bar
// and the dialog launcher are made. The shell knows the forms only by their
// codes: each form is made by a creator that the program's entry registers
// once at start-up (a test registers the ones it needs). A code with no
// creator opens nothing.
namespace FormFactory {

// Makes a child window, shows it inside the main window and returns it.
using ChildCreator = std::function<QWidget *()>;
// Runs a modal dialog owned by owner until the user closes it.
using DialogCreator = std::function<void(QWidget *owner)>;
using RifTreeCreator = std::function<QWidget *(const QString &codice)>;
using ListRifCreator =
    std::function<QWidget *(const QString &caption, int key, const QString &sql, const QVariantList &params)>;

// A later registration of the same code takes the place of the earlier.
void registerChild(int formCode, ChildCreator create);
void registerModule(int modoApertura, ChildCreator create);
void registerDialog(int formCode, DialogCreator create);
void registerRifTree(RifTreeCreator create);
void registerListRif(ListRifCreator create);

// The usual creators. A sheet is a heap object that the main window's
// frame deletes on close; a dialog lives on the stack while it runs.
template <typename Sheet>
QWidget *showSheet()
{
    auto *sheet = new Sheet;
    sheet->showInMain();
    return sheet;
}

template <typename Dialog>
void runDialog(QWidget *owner)
{
    Dialog dialog(owner);
    ModalDialog::exec(dialog);
}

// A sheet of its own size, framed inside the main window, not maximised,
// centred; returns form.
QWidget *showCentred(QWidget *form);

// Child windows by open-form code: 1 registry sheet, 2-6 the section
// sheets, 8 export history. Shown inside the main window without waiting;
// nullptr when there is no main window or no such form.
QWidget *showChild(int formCode);

// The child windows the consortia sheet opens below itself, after it has
// set modoApertura and reduced itself to its top band. Each returns the
// window shown, or nullptr when no creator is registered for it.
// Modules by open mode: 31 origin (UO-CONS), 32 destination (DR-CONS).
QWidget *showModule(int modoApertura);
// The waste-code tree, opened on codice.
QWidget *showRifTree(const QString &codice);
// The list of the rows of sql (params bound in order), captioned caption,
// with the row whose key is key preselected.
QWidget *showListRif(const QString &caption, int key, const QString &sql, const QVariantList &params);

// Modal dialogs owned by the main window, by open-form code: 101
// verification, 102 database chooser, 103 user data, 104 export, 105 XML
// import, 106 company import, 107 declaration print, 108 list print; and
// 200 the about box. Returns false when no creator is registered for it,
// or when the desktop session has ended: then no dialog opens any more.
bool execDialog(int formCode);

// The pick lists and the company registry that the dialog launcher opens.
// They are factory codes only: no form stores them in currentForm.
enum PickList {
    Anagrafiche = 201,
    listDic = 202,
    listMod = 203,
    listRegCE = 204,
    listAtt = 205,
    // The summary of the current declaration.
    SA2 = 206
};

// Open-form codes of the child windows.
enum ChildForm {
    SezAnagForm = 1,
    SK_CONSForm = 2,
    SbopForm = 3,
    SmatForm = 4,
    SriuForm = 5,
    StipForm = 6,
    ExportHistoryForm = 8
};

// Open-form codes of the modal dialogs.
enum DialogForm {
    VerificaDialog = 101,
    ConnettiDialog = 102,
    RegistraDialog = 103,
    ExportDialog = 104,
    ImportDialog = 105,
    ImportAnagDialog = 106,
    PrintDeclarationDialog = 107,
    PrintListDialog = 108,
    AboutDialog = 200
};
}
