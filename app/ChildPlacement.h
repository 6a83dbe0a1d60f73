#pragma once

class QMdiSubWindow;
class QWidget;

// Where the windows a sheet opens below itself go: inside the main window,
// directly below the sheet that opened them (which has shrunk to its top
// band), over the rest of the client area. The waste-code tree, the sheet
// list and the module forms all take this one placement. The sheet stays
// disabled meanwhile; the child enables it again when it unloads.
namespace ChildPlacement {

// The form a child window goes below by default: the one loaded just
// before it (nullptr when none).
QWidget *formBeneath(QWidget *child);
// The window that stands for form: its frame inside the main window.
QWidget *windowOf(QWidget *form);
// Places child (a form shown inside the main window) directly below
// above's window and stretches it over the rest of the main window's
// client area, now and whenever the main window changes size. For any
// child window of a sheet, framed or not.
void placeBelow(QWidget *child, QWidget *above);
// Shows child as a child window of the main window below `above`. Without
// a main window the child is shown as a window of its own. Returns the
// frame the main window gave it, or nullptr.
QMdiSubWindow *showBelow(QWidget *child, QWidget *above);
// The child has unloaded: it leaves the loaded forms and the form
// beneath it can be used again.
void childUnloaded(QWidget *child, QWidget *beneath);
}
