#include "KeySender.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace KeySender {

QWidget *formOf(QWidget *w)
{
    while (w && !w->isWindow() && w->windowType() != Qt::SubWindow)
        w = w->parentWidget();
    return w;
}

void moveFocusNow(bool backwards)
{
    QWidget *focus = QApplication::focusWidget();
    QWidget *owner = formOf(focus);
    if (!owner)
        return;
    // The keystroke goes to the form, not to the focused control: a line
    // edit, a combo box or a multi-line box would take it for themselves,
    // while the form's own handling of Tab is exactly the move wanted.
    QKeyEvent key(QEvent::KeyPress, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                  backwards ? Qt::ShiftModifier : Qt::NoModifier);
    QApplication::sendEvent(owner, &key);
}

void sendTab(bool backwards)
{
    QMetaObject::invokeMethod(
        qApp, [backwards] { moveFocusNow(backwards); }, Qt::QueuedConnection);
}

void sendTabOnEnter(int &KeyAscii)
{
    if (KeyAscii != 13)
        return;
    KeyAscii = 0;
    sendTab();
}

} // namespace KeySender
