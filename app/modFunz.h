#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

#include "NullSafe.h"

class QTreeWidget;
class QWidget;
class Recordset;
class slxText;

// The shared routines every form uses: Null-safe values, the wait pointer,
// Enter-as-Tab, the message boxes and save questions, and the codice
// fiscale check. Every message box of the program goes through here.
namespace modFunz {

using NullSafe::nzStr;
using NullSafe::nullIfBlank;
using NullSafe::sameValue;

// Returns whether the pointer was the hourglass before the call.
bool setWaitCursor(bool wait);
void centerForm(QWidget *frm);
// Enter (13) becomes 0 and moves the focus on as a Tab would.
void sendTab(int &KeyAscii);

// The program's boxes (see MsgBox): titled with its caption, the focus
// given back where it was.
int showMsg(const QString &prompt, int buttons = 0);
// The same box with a title of its own, for a message that must say what
// it is about (which of two files was refused).
int showMsg(const QString &prompt, int buttons, const QString &title);
bool warnMsg(const QString &text);
// Hands a file the program wrote to the desktop's program for it (a PDF to
// its viewer); when none opens it the user is told, with the path. False then.
bool apriFile(const QString &fileName);
// The error box for the failure in ErrInfo::current(); always false.
bool showError(const QString &context);
bool confirmDelete(const QString &item);
// The save question of a form that closes or leaves its record
// (UnloadQuery), and of the company panel's edit: Sì runs save, No drops
// the changes, Annulla keeps them. True when the form may go on: No, or a
// save that succeeded. The focus is left alone: the form is about to go,
// or stays where the user left it.
bool askSaveOnUnload(const QString &prompt, const std::function<bool()> &save);
// Widens column stretchCol so the columns 1 to colCount (0 = all) fill the
// list, less a scroll bar when there are more rows than fit. Columns count
// from 1, as list headers are numbered. With rows other than 0 it fits only
// when the list holds exactly rows items (rows + 1 when adding). Returns
// how many rows fit in the list's height. The list's last column must not
// stretch (QHeaderView::setStretchLastSection(false)): this does its job.
int fitListColumns(QTreeWidget *lv, int stretchCol, int rows, bool adding, int colCount);
void fitListColumns(QTreeWidget *lv, int stretchCol, int colCount);
// A wrong check character asks the user, who may keep the code.
bool checkCodFisc(const QVariant &value);
// The same tests without a word to the user, for data that did not come
// through a form: 0 sound, 1 not a codice fiscale, 2 wrong check character.
int codFiscState(const QString &code);
// rs stands on the module that already has the code; true when the user
// does not want another one.
bool checkDuplicateCF(Recordset &rs);
// Before a save: every field from index from on that holds a value its
// check refused (the field remembers another one) is checked again by
// check(index, Cancel). The first still refused takes the focus; false.
bool checkRefusedFields(const QVector<slxText *> &fields, int from,
                        const std::function<void(int, bool &)> &check);
}
