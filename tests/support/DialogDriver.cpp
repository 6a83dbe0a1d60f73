#include "DialogDriver.h"

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace DialogDriver {

namespace {

struct Pending
{
    QPointer<QWidget> before;   // the modal widget up when the action was queued
    std::function<void(QWidget *)> action;
};

QList<Pending> &pending()
{
    static QList<Pending> queue;
    return queue;
}

QTimer *poller()
{
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(qApp);
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [] {
            if (pending().isEmpty()) {
                timer->stop();
                return;
            }
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal == pending().first().before || !modal->isVisible())
                return;
            const Pending next = pending().takeFirst();
            next.action(modal);
        });
    }
    return timer;
}

} // namespace

void onNextDialog(std::function<void(QWidget *dialog)> action)
{
    pending().append({QApplication::activeModalWidget(), std::move(action)});
    poller()->start();
}

void closeNextDialog()
{
    onNextDialog([](QWidget *dialog) { dialog->close(); });
}

bool allRan()
{
    return pending().isEmpty();
}

void cancelPending()
{
    pending().clear();
}
}
