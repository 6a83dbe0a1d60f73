#pragma once

#include <QChar>
#include <Qt>

class QKeyEvent;

// The key codes, Shift states and character codes the controls' KeyDown and
// KeyPress events carry, derived from Qt key events in this one place.
// Character codes follow the Windows Western code page (the euro sign is
// 128, "è" 232); characters outside it keep their Unicode value.
namespace KeyCodes {

enum Key {
    vbKeyBack = 8,
    vbKeyTab = 9,
    vbKeyReturn = 13,
    vbKeyEscape = 27,
    vbKeySpace = 32,
    vbKeyPageUp = 33,
    vbKeyPageDown = 34,
    vbKeyEnd = 35,
    vbKeyHome = 36,
    vbKeyLeft = 37,
    vbKeyUp = 38,
    vbKeyRight = 39,
    vbKeyDown = 40,
    vbKeyInsert = 45,
    vbKeyDelete = 46,
    vbKeyF1 = 112,
    vbKeyF2 = 113
};

enum Shift { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

// The key code of a key press or release: 65 for A, 48 for 0, 13 for Enter,
// 37 to 40 for the arrows, 46 for Delete; 0 for a key with no code.
int keyCode(const QKeyEvent *event);
// 1 Shift, 2 Ctrl, 4 Alt, summed.
int shiftState(const QKeyEvent *event);
int shiftState(Qt::KeyboardModifiers modifiers);
// The Button argument of mouse and drag events: 1 left, 2 right, 4 middle, summed.
int buttonState(Qt::MouseButtons buttons);
// The character a key press types: the character's code, 13 Enter, 8
// Backspace, 27 Esc, 1 to 26 for Ctrl with a letter (3 copy, 22 paste, 24
// cut, 26 undo, also for Ctrl+Insert, Shift+Insert); 0 when it types none.
int keyAscii(const QKeyEvent *event);

QChar charOf(int keyAscii);
int codeOf(QChar c);
}
