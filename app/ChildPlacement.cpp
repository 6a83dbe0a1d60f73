#include "ChildPlacement.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QVariant>

#include "mainForm.h"
#include "modMain.h"

namespace ChildPlacement {

namespace {
// Keeps a child window below its form while the main window changes size.
class BelowFollower : public QObject
{
public:
    BelowFollower(QWidget *child, QWidget *above) : QObject(child), m_child(child), m_above(above) {}

    static void place(QWidget *child, QWidget *above)
    {
        QWidget *window = windowOf(child);
        QWidget *upper = windowOf(above);
        QWidget *client = window->parentWidget();
        if (!client || window == child)
            return;
        const int top = upper->parentWidget() == client ? upper->y() + upper->height() : 0;
        window->setGeometry(0, top, client->width(), qMax(0, client->height() - top));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && m_child && m_above)
            place(m_child, m_above);
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> m_child;
    QPointer<QWidget> m_above;
};
}

QWidget *windowOf(QWidget *form)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget()))
        return sub;
    return form;
}

void placeBelow(QWidget *child, QWidget *above)
{
    if (!child || !above)
        return;
    BelowFollower::place(child, above);
    QWidget *client = windowOf(child)->parentWidget();
    const char *const follows = "kezFollowsBelow";
    if (client && !child->property(follows).toBool()) {
        child->setProperty(follows, true);
        client->installEventFilter(new BelowFollower(child, above));
    }
}

QWidget *formBeneath(QWidget *form)
{
    const QList<QWidget *> forms = modMain::loadedForms();
    const int at = int(forms.indexOf(form));
    if (at > 0)
        return forms.at(at - 1);
    return at < 0 && !forms.isEmpty() ? forms.last() : nullptr;
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
    frame->show();
    child->show();
    modMain::gMain->mdiArea()->setActiveSubWindow(frame);
    return frame;
}

void childUnloaded(QWidget *child, QWidget *beneath)
{
    modMain::formUnloaded(child);
    if (beneath)
        beneath->setEnabled(true);
}

} // namespace ChildPlacement
