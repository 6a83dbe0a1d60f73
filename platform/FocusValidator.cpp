#include "FocusValidator.h"

#include "KeySender.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHash>
#include <QPointer>
#include <QWidget>

// How it works. Qt moves the focus in one call: the new widget becomes the
// focus widget, then the old one gets FocusOut, then the new one FocusIn.
// The application filter sees the FocusOut first, when the destination is
// already known (QApplication::focusWidget()). There, without letting the
// old widget see the FocusOut, the focus is put back silently (no events),
// so that Qt's pending FocusIn for the destination is not sent; the check
// then runs with the focus where the user left it, free to show a message
// box. On acceptance the move is made again, for real, past the filter.
struct FocusValidator::Impl
{
    QHash<QWidget *, Check> checks;
    bool installed = false;
    bool checking = false;
    bool moving = false;
    QPointer<QWidget> duplicateFocusIn;
    bool swallowClick = false;
    bool swallowRelease = false;

    bool focusOut(QWidget *from, QFocusEvent *event);
};

namespace {

bool isMouseClick(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
}

// Controls validate among the controls of their own form.
using KeySender::formOf;

} // namespace

FocusValidator &FocusValidator::instance()
{
    static FocusValidator validator;
    return validator;
}

FocusValidator::FocusValidator() : d(std::make_unique<Impl>()) {}

FocusValidator::~FocusValidator() = default;

void FocusValidator::watch(QWidget *control, Check check)
{
    if (!control)
        return;
    if (!d->installed && qApp) {
        qApp->installEventFilter(this);
        d->installed = true;
    }
    if (!d->checks.contains(control))
        connect(control, &QObject::destroyed, this,
                [this, control] { d->checks.remove(control); });
    d->checks.insert(control, std::move(check));
}

void FocusValidator::unwatch(QWidget *control)
{
    if (d->checks.remove(control))
        disconnect(control, &QObject::destroyed, this, nullptr);
}

bool FocusValidator::isWatched(QWidget *control) const
{
    return d->checks.contains(control);
}

bool FocusValidator::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusOut:
        if (auto *w = qobject_cast<QWidget *>(watched))
            return d->focusOut(w, static_cast<QFocusEvent *>(event));
        break;
    case QEvent::FocusIn:
        // The move made after a check already gave the destination its
        // FocusIn; Qt's own, still pending from the first attempt, would be
        // a second one.
        if (watched == d->duplicateFocusIn) {
            d->duplicateFocusIn = nullptr;
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        // A click that was refused the focus must not act either (a button
        // would fire on its release).
        if (d->swallowClick && isMouseClick(event->type())) {
            d->swallowClick = false;
            d->swallowRelease = true;
            return true;
        }
        if (d->swallowRelease) {
            d->swallowRelease = false;
            return event->type() == QEvent::MouseButtonRelease;
        }
        break;
    default:
        break;
    }
    return false;
}

bool FocusValidator::Impl::focusOut(QWidget *from, QFocusEvent *event)
{
    // Moves made by a check itself, or the move that follows an accepted
    // check, are not checked again.
    if (checks.isEmpty() || checking || moving)
        return false;
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
    case Qt::NoFocusReason:
        return false;
    default:
        break;
    }
    QWidget *to = QApplication::focusWidget();
    if (!to || to == from || !from->isVisible() || !from->isEnabled())
        return false;
    QWidget *form = formOf(from);
    if (formOf(to) != form)
        return false;

    QList<QPointer<QWidget>> leaving;
    for (QWidget *w = from; w; w = w->parentWidget()) {
        if (checks.contains(w) && w != to && !w->isAncestorOf(to))
            leaving.append(w);
        if (w == form)
            break;
    }
    if (leaving.isEmpty())
        return false;

    const Qt::FocusReason reason = event->reason();
    QPointer<QWidget> source = from;
    QPointer<QWidget> destination = to;
    // Back to the control without a single focus event.
    from->setFocus(Qt::NoFocusReason);

    bool accepted = true;
    checking = true;
    for (const QPointer<QWidget> &control : leaving) {
        if (!control)
            continue;
        const Check check = checks.value(control);
        if (check && !check()) {
            accepted = false;
            break;
        }
    }
    checking = false;

    QWidget *now = QApplication::focusWidget();
    const bool checkMovedFocus = now && now != source && formOf(now) == form;
    if (accepted && destination && !checkMovedFocus && destination->isVisible()
        && destination->isEnabled()) {
        moving = true;
        destination->setFocus(reason);
        if (QApplication::focusWidget() == destination) {
            duplicateFocusIn = destination;
        } else if (source && source->window()->focusWidget() == destination) {
            // A message box of the check left the window inactive: the
            // destination gets the focus when the window is active again,
            // but the control must know now that it has been left for good
            // (it saw only the box take the focus for a while).
            QFocusEvent out(QEvent::FocusOut, reason);
            QCoreApplication::sendEvent(source, &out);
        }
        moving = false;
    } else if (!accepted && reason == Qt::MouseFocusReason) {
        swallowClick = true;
    }
    QMetaObject::invokeMethod(
        QApplication::instance(),
        [this] {
            duplicateFocusIn = nullptr;
            swallowClick = false;
        },
        Qt::QueuedConnection);
    // The control has either kept the focus without ever losing it, or has
    // already seen its FocusOut from the move above.
    return true;
}
