#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QWidget;

// The Validate event: when the focus is about to leave a watched control
// (or any widget inside it) for another control of the same form, its check
// runs first; a refusal keeps the focus where it is, and neither the control
// nor the other widget sees any focus change. The focus going to another
// window (a message box, another program) is not a leave and runs no check;
// a message box shown by the check itself is therefore safe. What the
// control sees: nothing while a refused move is undone; FocusOut with
// Qt::ActiveWindowFocusReason while a box of its check is up (and FocusIn
// with that reason when the window is active again); after an accepted
// check, one FocusOut with the reason of the move (Tab, mouse, other).
class FocusValidator : public QObject
{
    Q_OBJECT
public:
    // Returns true to let the focus go, false to keep it.
    using Check = std::function<bool()>;
    static FocusValidator &instance();
    ~FocusValidator() override;

    // A control watched again gets the new check in place of the old one;
    // a destroyed control is forgotten by itself. pending tells, without a
    // word to the user, whether the control shows a value other than the
    // one it last took (loaded by the program, or let through by its
    // check): a close or a move takes that value as a leave would. Every
    // watched control says it, or a close would drop what it shows.
    void watch(QWidget *control, Check check, Check pending);
    void unwatch(QWidget *control);
    bool isWatched(QWidget *control) const;

    // The edit still open in scope: a value typed or chosen, and not yet
    // taken, in the control of scope that holds its window's focus (a
    // field, a picker, or a grid's cell editor), whether the window is
    // active or not; while a window is out of sight after a change of its
    // state, the control that held its focus then. A form that closes, or
    // leaves its record for another, takes it as a leave of the form would.
    bool hasPendingEdit(QWidget *scope) const;
    // Runs its check; false when refused, the message shown and the focus
    // left in the control.
    bool checkPendingEdit(QWidget *scope);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FocusValidator();
    struct Impl;
    std::unique_ptr<Impl> d;
};
