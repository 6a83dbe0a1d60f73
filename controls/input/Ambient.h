#pragma once

#include <QFont>
#include <QPoint>
#include <QPixmap>

class QWidget;

// What a control learns from the form that hosts it: design or run time,
// the form's font and colours, and the pointer the form's author chose.
namespace Ambient {

// False while the control sits in the form designer. Enabled False
// disables a control's window only at run time.
bool userMode();
void setUserMode(bool runTime);

QFont font(const QWidget *control);
// Colours as Long values; forms use the button face and button text.
int backColor(const QWidget *control);
int foreColor(const QWidget *control);

// MousePointer values: 0 default, 1 arrow, 2 cross, 3 I-beam, 4 icon,
// 5 size, 6 size NE-SW, 7 size N-S, 8 size NW-SE, 9 size W-E, 10 up arrow,
// 11 hourglass, 12 no drop, 13 arrow and hourglass, 14 arrow and question
// mark, 15 size all, 99 the custom MouseIcon.
void applyMousePointer(QWidget *control, int mousePointer, const QPixmap &mouseIcon);

// Gives the control the access key of caption (Alt + the letter after a
// single "&"), releasing the one it had; returns the new shortcut id, 0
// for none. The control receives a QEvent::Shortcut when it is pressed.
int setAccessKey(QWidget *control, int shortcutId, const QString &caption);

// Whether the window under the mouse pointer is the control itself: the
// hover buttons poll this while the pointer is over them.
bool pointerOver(const QWidget *control);

// Whether p, in the control's coordinates, is on the control; its right and
// bottom edges count, so a release there still clicks.
bool contains(const QWidget *control, const QPoint &p);
}
