#pragma once

class QMdiSubWindow;
class QWidget;

// Where the waste-code tree and the sheet list go: inside the main window,
// directly below the consortia sheet that opened them (which has shrunk to
// its top band), over the rest of the client area. The sheet stays
// disabled meanwhile; the child enables it again when it unloads. The
// placement itself is the one the sheet frame gives its module forms.
namespace ChildPlacement {

// The form a child window goes below by default: the one loaded just
// before it.
QWidget *formBeneath(QWidget *child);
// Shows child as a child window of the main window below `above`. Without
// a main window the child is shown as a window of its own. Returns the
// frame the main window gave it, or nullptr.
QMdiSubWindow *showBelow(QWidget *child, QWidget *above);
// The child has unloaded: it leaves the loaded forms and the form
// beneath it can be used again.
void childUnloaded(QWidget *child, QWidget *beneath);
}
