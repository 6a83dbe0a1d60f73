#include "WheelHooks.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

WheelHooks &WheelHooks::instance()
{
    static WheelHooks hooks;
    return hooks;
}

void WheelHooks::hook(QWidget *window, Handler handler)
{
    if (!window)
        return;
    if (!m_installed && qApp) {
        qApp->installEventFilter(this);
        m_installed = true;
    }
    if (!m_handlers.contains(window))
        connect(window, &QObject::destroyed, this, [this, window] { m_handlers.remove(window); });
    m_handlers.insert(window, std::move(handler));
}

void WheelHooks::unhook(QWidget *window)
{
    if (m_handlers.remove(window))
        disconnect(window, &QObject::destroyed, this, nullptr);
}

bool WheelHooks::isHooked(QWidget *window) const
{
    return m_handlers.contains(window);
}

int WheelHooks::count() const
{
    return int(m_handlers.size());
}

bool WheelHooks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || m_handlers.isEmpty())
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    // Qt hands one wheel turn up the parents, and scroll areas pass it on
    // to their scroll bars, always as the same event object; only the
    // first receiver counts. A real turn starts as a spontaneous event.
    if (!event->spontaneous() && event == m_lastEvent && m_lastReceiver
        && widget != m_lastReceiver
        && (widget->isAncestorOf(m_lastReceiver) || qobject_cast<QScrollBar *>(widget)))
        return false;
    m_lastEvent = event;
    m_lastReceiver = widget;

    for (QWidget *w = widget; w; w = w->parentWidget()) {
        const auto it = m_handlers.constFind(w);
        if (it != m_handlers.constEnd()) {
            // A copy: the handler may unhook its own window.
            const Handler handler = it.value();
            if (handler)
                handler(static_cast<QWheelEvent *>(event));
            break;
        }
        if (w->isWindow())
            break;
    }
    return false;
}
