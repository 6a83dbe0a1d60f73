#pragma once

#include <functional>

class QWidget;

// Acting inside a modal dialog that the code under test opens and waits
// for: the action runs once, from the dialog's own event loop, as soon as
// the dialog is up. Message boxes and file dialogs are answered through
// their seams instead.
namespace DialogDriver {

void onNextDialog(std::function<void(QWidget *dialog)> action);
// The user closes the next dialog with its close box.
void closeNextDialog();
// True when every queued action has run.
bool allRan();
// Drops the actions still waiting (a dialog that was expected not to open).
void cancelPending();
}
