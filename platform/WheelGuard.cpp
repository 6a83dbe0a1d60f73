#include "WheelGuard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QWidget>

void WheelGuard::install()
{
    static WheelGuard guard;
    static bool installed = false;
    if (!installed && qApp) {
        qApp->installEventFilter(&guard);
        installed = true;
    }
}

QWidget *WheelGuard::steppedBy(QWidget *w)
{
    for (int level = 0; w && level < 2; ++level, w = w->parentWidget()) {
        if (qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w)
            || (qobject_cast<QAbstractSlider *>(w) && !qobject_cast<QScrollBar *>(w)))
            return w;
        if (w->isWindow())
            break;
    }
    return nullptr;
}

bool WheelGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Polish && event->type() != QEvent::Wheel)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    QWidget *control = widget ? steppedBy(widget) : nullptr;
    if (!control)
        return false;
    if (event->type() == QEvent::Polish) {
        // Qt hands the focus to a control with this policy on a turn of the
        // wheel over it, before any filter sees the turn.
        if (control == widget && control->focusPolicy() == Qt::WheelFocus)
            control->setFocusPolicy(Qt::StrongFocus);
        return false;
    }
    if (control->hasFocus())
        return false;
    // Ignored, the turn climbs to the parents as one nobody took.
    event->ignore();
    return true;
}
