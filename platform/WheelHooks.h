#pragma once

#include <QObject>
#include <functional>

class QWheelEvent;
class QWidget;

// The table of windows whose wheel events are also handed to a callback
// (the grid with the focus scrolls). Each hooked window keeps its own
// entry; the event is never swallowed and goes on to its normal target.
class WheelHooks : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(QWheelEvent *)>;
    static WheelHooks &instance();

    void hook(QWidget *window, Handler handler);
    void unhook(QWidget *window);
    bool isHooked(QWidget *window) const;
    int count() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WheelHooks() = default;
    struct Entry;
    QList<Entry *> m_entries;
};
