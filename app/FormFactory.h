#pragma once

#include <QString>
#include <QVariantList>

class QWidget;

// The one place where the windows opened from the main window, the side bar
// and the dialog launcher are made. A form that the program does not have
// yet opens nothing, so later forms plug in here only.
namespace FormFactory {

// Child windows by open-form code: 1 registry sheet, 2-6 the section
// sheets, 8 export history. Shown inside the main window without waiting;
// nullptr when the form does not exist.
QWidget *showChild(int formCode);

// The child windows the consortia sheet opens below itself, after it has
// set modoApertura and reduced itself to its top band. Each returns the
// window shown, or nullptr while the program does not have it.
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
// 200 the about box. Returns false when the dialog does not exist.
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
    StipForm = 6
};
}
