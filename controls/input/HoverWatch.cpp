#include "HoverWatch.h"

#include <QTimer>
#include <QWidget>

#include "Ambient.h"

HoverWatch::HoverWatch(QWidget *control)
    : QObject(control), m_control(control), m_timer(new QTimer(this))
{
    m_timer->setInterval(10);
    connect(m_timer, &QTimer::timeout, this, &HoverWatch::poll);
}

void HoverWatch::start()
{
    m_timer->start();
}

void HoverWatch::stop()
{
    m_timer->stop();
}

bool HoverWatch::isActive() const
{
    return m_timer->isActive();
}

void HoverWatch::poll()
{
    if (Ambient::pointerOver(m_control))
        return;
    m_timer->stop();
    Q_EMIT left();
}
