#include "KeySender.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

bool isMoveKey(const QKeyEvent *key)
{
    return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
           && key->modifiers() == Qt::NoModifier;
}

// Makes one move of a field filled to its end and the user's own Tab or
// Enter for it, whichever comes first: a move key pressed before the
// field's move is due takes its place, and the first move key after it, on
// the field it reached, before anything else is typed or clicked, is
// dropped. A move that a message interrupted (a refusal, a question) is
// followed by keys the user meant.
class FilledMoves : public QObject
{
public:
    static FilledMoves &instance()
    {
        static FilledMoves filter;
        if (!filter.m_installed && qApp) {
            qApp->installEventFilter(&filter);
            filter.m_installed = true;
        }
        return filter;
    }

    int moveKeys() const { return m_moveKeys; }

    void move(QWidget *from, bool backwards)
    {
        m_boxShown = false;
        m_moving = true;
        KeySender::moveFocusNow(backwards);
        m_moving = false;
        QWidget *reached = QApplication::focusWidget();
        if (reached && reached != from && !m_boxShown)
            m_reached = reached;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            if (!watched->isWidgetType())
                return false;
            auto *key = static_cast<QKeyEvent *>(event);
            const bool move = isMoveKey(key) && !key->isAutoRepeat();
            if (move)
                ++m_moveKeys;
            const bool repeated = move && m_reached && QApplication::focusWidget() == m_reached;
            m_reached = nullptr;
            if (repeated)
                m_dropRelease = true;
            return repeated;
        }
        case QEvent::KeyRelease:
            if (m_dropRelease) {
                m_dropRelease = false;
                return true;
            }
            return false;
        case QEvent::Show:
            if (m_moving && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
                m_boxShown = true;
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            m_reached = nullptr;
            return false;
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> m_reached;
    int m_moveKeys = 0;
    bool m_installed = false;
    bool m_dropRelease = false;
    bool m_moving = false;
    bool m_boxShown = false;
};

void queueMove(bool backwards, bool filled)
{
    const QPointer<QWidget> from = QApplication::focusWidget();
    const int moveKeys = filled ? FilledMoves::instance().moveKeys() : 0;
    QMetaObject::invokeMethod(
        qApp,
        [from, backwards, filled, moveKeys] {
            // The focus has moved on already, or the user's own key did
            // the move (its check may have kept the focus here).
            if (!from || QApplication::focusWidget() != from)
                return;
            if (filled && FilledMoves::instance().moveKeys() != moveKeys)
                return;
            if (filled)
                FilledMoves::instance().move(from, backwards);
            else
                KeySender::moveFocusNow(backwards);
        },
        Qt::QueuedConnection);
}

} // namespace

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
    queueMove(backwards, false);
}

void sendAutoTab()
{
    queueMove(false, true);
}

void sendTabOnEnter(int &KeyAscii)
{
    if (KeyAscii != 13)
        return;
    KeyAscii = 0;
    sendTab();
}

} // namespace KeySender
