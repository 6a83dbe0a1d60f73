#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QWheelEvent;

// The table of windows whose wheel events are also handed to a callback
// (the grid with the focus scrolls). Each hooked window keeps its own
// entry; the event is never swallowed and goes on to its normal target.
// A wheel turn over a widget reaches the handler of the nearest hooked
// window or form that contains it, once, however far Qt propagates it.
class WheelHooks : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(QWheelEvent *)>;
    static WheelHooks &instance();

    // Hooking a window again replaces its handler.
    void hook(QWidget *window, Handler handler);
    void unhook(QWidget *window);
    bool isHooked(QWidget *window) const;
    int count() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WheelHooks() = default;
    QHash<QWidget *, Handler> m_handlers;
    bool m_installed = false;
    const QEvent *m_lastEvent = nullptr;
    QPointer<QWidget> m_lastReceiver;
};
