#pragma once

#include <QObject>

class QTimer;
class QWidget;

// Notices when the mouse pointer has left a hover button. The button hears
// no leave event once the pointer jumps onto another window, so while it
// shows its hover look it polls what lies under the pointer.
class HoverWatch : public QObject
{
    Q_OBJECT

public:
    explicit HoverWatch(QWidget *control);

    void start();
    void stop();
    bool isActive() const;

Q_SIGNALS:
    // The pointer is no longer over the control; polling has stopped.
    void left();

private:
    void poll();

    QWidget *m_control;
    QTimer *m_timer;
};
