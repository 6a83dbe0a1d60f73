#include "PageTextBox.h"

#include <QFocusEvent>
#include <QRegularExpressionValidator>
#include <QTimer>

namespace {
// Nine digits always fit a Long, so a number can never overflow.
constexpr int maxDigits = 9;
}

PageTextBox::PageTextBox(bool digitsOnly, QWidget *parent)
    : QLineEdit(parent),
      m_digitsOnly(digitsOnly)
{
    if (m_digitsOnly) {
        // A validator refuses a paste or a drop holding anything but digits
        // as a whole, as it refuses a typed letter.
        setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(maxDigits)), this));
        setMaxLength(maxDigits);
    }
}

int PageTextBox::number() const
{
    return text().toInt();
}

void PageTextBox::setNumber(int value)
{
    setText(QString::number(value));
}

void PageTextBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // After a click the press that follows would place the caret: select
    // once the click is over.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus())
            selectAll();
    });
}

void PageTextBox::focusOutEvent(QFocusEvent *event)
{
    if (m_digitsOnly && text().isEmpty())
        setText(QStringLiteral("0"));
    QLineEdit::focusOutEvent(event);
}
