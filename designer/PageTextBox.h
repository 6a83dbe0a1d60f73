#pragma once

#include <QLineEdit>

// The text box of the property pages: entering it selects its whole text.
// A digits-only box takes nothing but the digits 0 to 9, whether typed,
// pasted or dropped, and an empty one becomes "0" when it is left.
class PageTextBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit PageTextBox(bool digitsOnly = false, QWidget *parent = nullptr);

    bool digitsOnly() const { return m_digitsOnly; }
    // The whole number in a digits-only box; 0 when it is empty.
    int number() const;
    void setNumber(int value);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_digitsOnly;
};
