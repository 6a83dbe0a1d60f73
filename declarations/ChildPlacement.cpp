#include "ChildPlacement.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRect>

#include "mainForm.h"
#include "modMain.h"

namespace ChildPlacement {

namespace {

// Keeps a child below its sheet while the main window changes size.
class Follower : public QObject
{
public:
    Follower(QWidget *child, QWidget *above) : QObject(child), m_child(child), m_above(above) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && m_child && m_above)
            placeBelow(m_child, m_above);
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> m_child;
    QPointer<QWidget> m_above;
};

QWidget *clientArea()
{
    return modMain::gMain ? modMain::gMain->mdiArea()->viewport() : nullptr;
}

} // namespace

QWidget *frameOf(QWidget *form)
{
    if (!form)
        return nullptr;
    if (auto *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget()))
        return frame;
    return form;
}

QWidget *formBeneath(QWidget *child)
{
    const QList<QWidget *> forms = modMain::loadedForms();
    const int at = int(forms.indexOf(child));
    if (at > 0)
        return forms.at(at - 1);
    return at < 0 && !forms.isEmpty() ? forms.last() : nullptr;
}

QRect areaBelow(QWidget *above)
{
    QWidget *client = clientArea();
    if (!client)
        return QRect();
    QWidget *frame = frameOf(above);
    // A sheet that is not in the main window leaves the whole area free.
    const int top = frame && frame->parentWidget() == client ? frame->geometry().bottom() + 1 : 0;
    return QRect(0, top, client->width(), qMax(0, client->height() - top));
}

void placeBelow(QWidget *child, QWidget *above)
{
    QWidget *frame = frameOf(child);
    if (!frame || frame == child)
        return;
    frame->setGeometry(areaBelow(above));
}

void childUnloaded(QWidget *child, QWidget *beneath)
{
    modMain::formUnloaded(child);
    if (beneath)
        beneath->setEnabled(true);
}

QMdiSubWindow *showBelow(QWidget *child, QWidget *above)
{
    if (!child)
        return nullptr;
    if (!modMain::gMain) {
        child->show();
        return nullptr;
    }
    QMdiSubWindow *frame = modMain::gMain->mdiArea()->addSubWindow(child);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(child->windowIcon());
    placeBelow(child, above);
    clientArea()->installEventFilter(new Follower(child, above));
    frame->show();
    child->show();
    return frame;
}

} // namespace ChildPlacement
