#pragma once

class QWidget;

// Moves the focus as a Tab (or Shift+Tab) keystroke on the focused widget
// would, so Enter can move to the next field everywhere. Like a queued
// keystroke, the move happens once the key being handled is done (the
// next time the event loop runs), so a character that completes a field
// is inserted first.
namespace KeySender {
// The move belongs to the widget that has the focus now: when the focus
// has left it by the time the move is due (the user's own Tab came
// first), the move has been made already and is dropped.
void sendTab(bool backwards = false);
// Enter (13) becomes 0 and moves the focus on as a Tab would.
void sendTabOnEnter(int &KeyAscii);
// The move of a field that the user has just filled to its end. A user
// who does not expect it presses Tab or Enter as well, before or after the
// move: the two make one move, so no field is left untouched behind the
// user and no check runs twice.
void sendAutoTab();
// The same move at once, from the widget that has the focus now.
void moveFocusNow(bool backwards = false);
// The form whose tab order w belongs to: its window, or the MDI child it
// sits in (Tab cycles inside a sheet, never across the main window).
QWidget *formOf(QWidget *w);
}
