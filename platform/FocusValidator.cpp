#include "FocusValidator.h"

#include "KeySender.h"

#include <QApplication>
#include <QFocusEvent>
#include <QWindowStateChangeEvent>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include <algorithm>

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
    QHash<QWidget *, Check> pending;
    bool installed = false;
    bool checking = false;
    bool moving = false;
    QPointer<QWidget> duplicateFocusIn;
    bool swallowClick = false;
    bool swallowRelease = false;

    // The control that held the focus of a window when the window changed
    // state (minimised, maximised, restored), kept until the window is in
    // sight again.
    QList<QPair<QPointer<QWidget>, QPointer<QWidget>>> held;

    bool focusOut(QWidget *from, QFocusEvent *event);
    void stateChanging(QWidget *window);
    void giveBack(QWidget *window);
    QWidget *heldIn(QWidget *scope) const;
    // The watched controls from w up to scope, the innermost first.
    QList<QPointer<QWidget>> watchedUpTo(QWidget *w, QWidget *scope, QWidget *to) const;
    // Those holding scope's focus with a value typed and not yet checked.
    QList<QPointer<QWidget>> pendingIn(QWidget *scope) const;
    bool runChecks(const QList<QPointer<QWidget>> &controls);
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

void FocusValidator::watch(QWidget *control, Check check, Check pending)
{
    if (!control)
        return;
    if (!d->installed && qApp) {
        qApp->installEventFilter(this);
        d->installed = true;
    }
    if (!d->checks.contains(control))
        connect(control, &QObject::destroyed, this,
                [this, control] {
                    d->checks.remove(control);
                    d->pending.remove(control);
                });
    Q_ASSERT(check && pending);
    d->checks.insert(control, std::move(check));
    d->pending.insert(control, std::move(pending));
}

void FocusValidator::unwatch(QWidget *control)
{
    d->pending.remove(control);
    if (d->checks.remove(control))
        disconnect(control, &QObject::destroyed, this, nullptr);
}

bool FocusValidator::isWatched(QWidget *control) const
{
    return d->checks.contains(control);
}

bool FocusValidator::hasPendingEdit(QWidget *scope) const
{
    return !d->pendingIn(scope).isEmpty();
}

bool FocusValidator::checkPendingEdit(QWidget *scope)
{
    return d->runChecks(d->pendingIn(scope));
}

QList<QPointer<QWidget>> FocusValidator::Impl::watchedUpTo(QWidget *w, QWidget *scope, QWidget *to) const
{
    QList<QPointer<QWidget>> controls;
    for (; w; w = w->parentWidget()) {
        if (checks.contains(w) && w != to && !(to && w->isAncestorOf(to)))
            controls.append(w);
        if (w == scope)
            break;
    }
    return controls;
}

QList<QPointer<QWidget>> FocusValidator::Impl::pendingIn(QWidget *scope) const
{
    if (!scope || checking)
        return {};
    QWidget *focus = scope->window()->focusWidget();
    if (!focus || (focus != scope && !scope->isAncestorOf(focus)))
        focus = heldIn(scope);
    if (!focus)
        return {};
    // A field merely passed through has nothing to check: an empty required
    // field must not hold a form that closes. A value refused stays
    // pending, so every close refuses it again.
    QList<QPointer<QWidget>> controls = watchedUpTo(focus, scope, nullptr);
    controls.erase(std::remove_if(controls.begin(), controls.end(),
                                  [this](const QPointer<QWidget> &control) {
                                      const Check typed = pending.value(control);
                                      return !typed || !typed();
                                  }),
                   controls.end());
    return controls;
}

bool FocusValidator::Impl::runChecks(const QList<QPointer<QWidget>> &controls)
{
    const bool wasChecking = checking;
    checking = true;
    bool accepted = true;
    for (const QPointer<QWidget> &control : controls) {
        if (!control)
            continue;
        const Check check = checks.value(control);
        if (check && !check()) {
            accepted = false;
            break;
        }
    }
    checking = wasChecking;
    return accepted;
}

QWidget *FocusValidator::Impl::heldIn(QWidget *scope) const
{
    for (const auto &[window, control] : held)
        if (window && control && (control == scope || scope->isAncestorOf(control)))
            return control;
    return nullptr;
}

// Qt hides a window's controls while it minimises, maximises or restores
// it, and moves the focus on from the one hidden: that is no leave. The
// control keeps what it shows, and gets the focus back once its window is
// in sight again, as the window coming back gives it.
void FocusValidator::Impl::stateChanging(QWidget *window)
{
    held.removeIf([](const auto &entry) { return !entry.first || !entry.second; });
    QWidget *focus = QApplication::focusWidget();
    const bool holding = std::any_of(held.cbegin(), held.cend(),
                                     [window](const auto &entry) { return entry.first == window; });
    if (!holding && focus && window->isAncestorOf(focus))
        held.append(qMakePair(QPointer<QWidget>(window), QPointer<QWidget>(focus)));
    QMetaObject::invokeMethod(
        QApplication::instance(), [this, window = QPointer<QWidget>(window)] { giveBack(window); },
        Qt::QueuedConnection);
}

void FocusValidator::Impl::giveBack(QWidget *window)
{
    if (!window || !window->isVisible() || window->isMinimized())
        return;
    QPointer<QWidget> control;
    held.removeIf([&control, window](const auto &entry) {
        if (entry.first != window)
            return false;
        control = entry.second;
        return true;
    });
    // Where the clerk has gone meanwhile, the focus stays.
    QWidget *focus = QApplication::focusWidget();
    if (control && control != focus && (!focus || focus == window || window->isAncestorOf(focus))
        && control->isVisible() && control->isEnabled())
        control->setFocus(Qt::ActiveWindowFocusReason);
}

bool FocusValidator::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowStateChange:
        if (auto *w = qobject_cast<QWidget *>(watched)) {
            const Qt::WindowStates sizes = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
            if ((static_cast<QWindowStateChangeEvent *>(event)->oldState() ^ w->windowState()) & sizes)
                d->stateChanging(w);
        }
        break;
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

    const QList<QPointer<QWidget>> leaving = watchedUpTo(from, form, to);
    if (leaving.isEmpty())
        return false;

    const Qt::FocusReason reason = event->reason();
    QPointer<QWidget> source = from;
    QPointer<QWidget> destination = to;
    // Back to the control without a single focus event.
    from->setFocus(Qt::NoFocusReason);

    const bool accepted = runChecks(leaving);

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
