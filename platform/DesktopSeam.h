#pragma once

#include <QStringList>

// Opens a file with the desktop's default program (a PDF in its viewer).
// Tests switch it to recording, so no viewer ever opens.
namespace DesktopSeam {
bool openFile(const QString &fileName);
void setScripted(bool scripted);
QStringList opened();
void clearOpened();
}
