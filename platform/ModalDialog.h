#pragma once

class QDialog;

// Runs the program's modal dialogs and message boxes: once one closes, the
// window that was active before it is active again, its control that had
// the focus with it. Without a window manager nothing else gives it back,
// and the window's fields would take keys with no caret shown and none of
// their checks run.
namespace ModalDialog {
int exec(QDialog &dialog);
}
