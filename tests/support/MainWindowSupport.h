#pragma once

#include <QString>

class QTemporaryDir;

// What every test of the main window needs around it: a program that is
// its own single copy, and a clean end that closes the window and releases
// the shell's globals for the next test.
namespace MainWindowSupport {

// Points the single-instance lock and answers at a folder of the test,
// and scripts every message box and file dialog.
void isolate(const QTemporaryDir &runtime);
// Closes the main window (its children go first), deletes it and releases
// the globals; currentForm starts from nothing again.
void closeMainWindow();
// Enabled states of the main window's side-bar buttons 1 to 7, as a
// string of 1 and 0.
QString sideBarStates();
}
