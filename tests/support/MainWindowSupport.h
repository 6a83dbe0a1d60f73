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
// The one end of a started program: its forms go without a question, the
// main window closes and is deleted and the globals are released;
// currentForm starts from nothing again, and after the
// session's end the event loops can run again.
void closeMainWindow();
// A live session again after the session's end, as a start of the program
// makes it, and event loops that run: for a test that goes on after ending
// the session under a running job.
void resumeSession();
// What the program's main does once its event loop has returned, then the
// end above.
void finishProgram();
// Starts the program on folder, as a double-click on kez would, after
// ending any program a test started before.
bool startProgram(const QString &folder);
// Enabled states of the main window's side-bar buttons 1 to 7, as a
// string of 1 and 0.
QString sideBarStates();
}
