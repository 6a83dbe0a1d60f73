#include "KeyCodes.h"

#include <QKeyEvent>

namespace KeyCodes {

namespace {

// Code points of the Windows Western code page at 128 to 159 (0: unused).
const char16_t cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

int keyCode(const QKeyEvent *event)
{
    const int key = event->key();
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return vbKeyF1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vbKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return vbKeyPageUp;
    case Qt::Key_PageDown: return vbKeyPageDown;
    case Qt::Key_End: return vbKeyEnd;
    case Qt::Key_Home: return vbKeyHome;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Insert: return vbKeyInsert;
    case Qt::Key_Delete: return vbKeyDelete;
    case Qt::Key_Asterisk: return keypad ? 106 : 187;
    case Qt::Key_Plus: return keypad ? 107 : 187;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Period: return keypad ? 110 : 190;
    case Qt::Key_Slash: return keypad ? 111 : 191;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Semicolon: return 186;
    case Qt::Key_Equal: return 187;
    default: break;
    }
    return key < 256 ? key : 0;
}

int shiftState(const QKeyEvent *event)
{
    return shiftState(event->modifiers());
}

int shiftState(Qt::KeyboardModifiers m)
{
    int shift = 0;
    if (m & Qt::ShiftModifier)
        shift |= vbShiftMask;
    if (m & Qt::ControlModifier)
        shift |= vbCtrlMask;
    if (m & Qt::AltModifier)
        shift |= vbAltMask;
    return shift;
}

int buttonState(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
           | (buttons & Qt::MiddleButton ? 4 : 0);
}

int keyAscii(const QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers m = event->modifiers();
    const bool ctrl = m & Qt::ControlModifier;
    const bool alt = m & Qt::AltModifier;
    const bool shift = m & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Backspace: return ctrl ? 127 : vbKeyBack;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return ctrl ? 0 : vbKeyTab;
    case Qt::Key_Insert:
        // The other clipboard keys: they paste and copy like Ctrl+V, Ctrl+C.
        if (shift && !ctrl)
            return 22;
        if (ctrl && !shift)
            return 3;
        return 0;
    default: break;
    }
    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        return 0;
    }
    // Alt with a key is a menu's access key, not typing (AltGr comes as
    // Ctrl+Alt on some systems and types its character).
    if (alt && !ctrl)
        return 0;
    const QString text = event->text();
    if (text.isEmpty())
        return 0;
    const QChar c = text.at(0);
    if (c.unicode() < 32 || c.unicode() == 127)
        return 0;
    return codeOf(c);
}

QChar charOf(int keyAscii)
{
    if (keyAscii >= 128 && keyAscii < 160 && cp1252High[keyAscii - 128] != 0)
        return QChar(cp1252High[keyAscii - 128]);
    return QChar(keyAscii);
}

int codeOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0x100 || (u >= 0x80 && u < 0xA0)) {
        for (int i = 0; i < 32; ++i)
            if (cp1252High[i] == u)
                return 128 + i;
    }
    return u;
}

} // namespace KeyCodes
