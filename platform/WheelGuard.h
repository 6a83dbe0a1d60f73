#pragma once

#include <QObject>

class QWidget;

// Only the control that holds the keyboard takes the wheel. A control whose
// value a wheel turn steps (a picker, a spin box, a slider) is never given
// the focus by the wheel, and while the clerk works elsewhere a turn over
// it goes on to what lies beneath, the form that scrolls: a long form is
// scrolled with the pointer anywhere on it, and no unit, country or list
// entry changes under a pointer that only passes by.
class WheelGuard : public QObject
{
    Q_OBJECT
public:
    // Watches every control of the application from now on; once is enough.
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WheelGuard() = default;
    // The control that steps its value on a turn over w (w itself, or the
    // box that holds w as its text field); null for any other widget.
    static QWidget *steppedBy(QWidget *w);
};
