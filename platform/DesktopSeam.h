#pragma once

#include <QStringList>

// Opens a file with the desktop's default program (a PDF in its viewer).
// Tests switch it to recording, so no viewer ever opens; the environment
// variable KEZ_NO_VIEWER=1 does the same for a whole run, and so does the
// offscreen platform, where no viewer could be seen.
namespace DesktopSeam {
// True when the file was handed to the desktop (or recorded instead).
bool openFile(const QString &fileName);
void setScripted(bool scripted);
bool isScripted();
QStringList opened();
void clearOpened();
}
