#pragma once

#include <QString>

#include <functional>

class QWidget;

// The message boxes as the program shows them, for every layer: titled with
// the program's caption, owned by the dialog in front (else the main
// window), the focus given back where it was. The shell says once at
// start-up where its caption and main window are; until then a box is
// titled "Kez" and belongs to the active window. Controls show their boxes
// here; the forms go through modFunz, which shows them here too.
namespace MsgBox {

// Read at every box, so a caption or main window that changes is followed.
void setCaption(std::function<QString()> caption);
void setMainWindow(std::function<QWidget *()> mainWindow);

QString caption();
// The dialog in front, else the main window, else the active window.
QWidget *parent();

// Styles and answers as MessageBoxSeam has them.
int show(const QString &prompt, int buttons = 0);
int show(const QString &prompt, int buttons, const QString &title);
// An information box; always true.
bool warn(const QString &text);
// The error box for the failure in ErrInfo::current(); always false.
bool showError(const QString &context);
}
