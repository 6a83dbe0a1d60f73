#pragma once

#include <QObject>
#include <functional>

class QWidget;

// The Validate event: when the focus is about to leave a watched control for
// another control of the same window, its check runs first; a refusal keeps
// the focus where it is, before the other control sees any focus change.
class FocusValidator : public QObject
{
    Q_OBJECT
public:
    // Returns true to let the focus go, false to keep it.
    using Check = std::function<bool()>;
    static FocusValidator &instance();

    void watch(QWidget *control, Check check);
    void unwatch(QWidget *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FocusValidator();
    struct Impl;
    Impl *d;
};
