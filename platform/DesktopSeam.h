#pragma once

#include <QStringList>

// Opens a file with the desktop's default program (a PDF in its viewer).
// Tests switch it to recording, so no viewer ever opens; the environment
// variable KEZ_NO_VIEWER=1 does the same for a whole run, and so does the
// offscreen platform, where no viewer could be seen. A test may also make
// the recording refuse, as a desktop without a program for the file does.
namespace DesktopSeam {
// True when the file was handed to the desktop (or recorded instead).
bool openFile(const QString &fileName);
void setScripted(bool scripted);
bool isScripted();
// While set, a recorded file is not opened: openFile says false.
void setRefusing(bool refusing);
QStringList opened();
void clearOpened();
}
