#pragma once

#include <QString>
#include <QVariant>

class QTreeWidget;
class QWidget;
class Recordset;

// The shared routines every form uses: Null-safe values, the wait pointer,
// Enter-as-Tab, the message boxes and save questions, and the codice
// fiscale check. Every message box of the program goes through here.
namespace modFunz {

QString nzStr(const QVariant &value);
QVariant nullIfBlank(const QString &text);
bool sameValue(const QVariant &a, const QVariant &b);

// Returns whether the pointer was the hourglass before the call.
bool setWaitCursor(bool wait);
void centerForm(QWidget *frm);
// Enter (13) becomes 0 and moves the focus on as a Tab would.
void sendTab(int &KeyAscii);

// Box titled with the program's caption; the focus returns where it was.
int showMsg(const QString &prompt, int buttons = 0);
bool warnMsg(const QString &text);
// The error box for the failure in ErrInfo::current(); always false.
bool showError(const QString &context);
bool confirmDelete(const QString &item);
// Null QVariant stands for Empty; Cancel is set true to keep the form open.
QVariant askSaveOnUnload(bool &Cancel, int UnloadMode, bool changed, const QString &prompt);
QVariant askSaveChanges(bool &Cancel, bool changed, const QString &prompt);
void fitListColumns(QTreeWidget *lv, int stretchCol, int colCount);
bool checkCodFisc(const QVariant &value);
bool checkDuplicateCF(Recordset &rs);
}
