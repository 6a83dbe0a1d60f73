#pragma once

class QMdiSubWindow;
class QRect;
class QWidget;

// Where a child window of a sheet goes: inside the main window, directly
// below the sheet that opened it (which has shrunk to its top band), from
// the left edge to the right one and down to the bottom of the main
// window's client area. The sheet stays disabled meanwhile; the child
// enables it again when it unloads.
namespace ChildPlacement {

// The frame that stands for a form inside the main window, or the form
// itself when it is a window of its own.
QWidget *frameOf(QWidget *form);
// The form loaded just before child (which has announced its own load),
// the one a child window goes below by default; nullptr when none.
QWidget *formBeneath(QWidget *child);
// The rectangle below `above` in the main window's client area.
QRect areaBelow(QWidget *above);
// Shows child as a child window of the main window and places it below
// `above`; it keeps that place when the main window is resized. Without a
// main window the child is shown as a window of its own. Returns the frame
// the main window gave it, or nullptr.
QMdiSubWindow *showBelow(QWidget *child, QWidget *above);
// The child has unloaded: it leaves the loaded forms and the form
// beneath it can be used again.
void childUnloaded(QWidget *child, QWidget *beneath);
// Places an already shown child again below `above`.
void placeBelow(QWidget *child, QWidget *above);
}
