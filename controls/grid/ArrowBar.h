#pragma once

#include <QPixmap>
#include <QVector>
#include <QWidget>

class tbButton;

// The frame the record navigator and the find bar share: the buttons
// first, previous, next and last around a middle control (the position
// label or the search text), inside a border of one of ten styles.
class ArrowBar : public QWidget
{
    Q_OBJECT

public:
    // Border style 0 to 9; any other value is 0 (no border).
    int Appearance() const { return m_appearance; }
    void setAppearance(int value);
    bool ButtonsFlat() const;
    void setButtonsFlat(bool value);

    tbButton *button(int index) const { return tbn.value(index); }
    // The arrow pictures of the buttons: 0 first, 1 previous, 2 next, 3 last.
    static QPixmap buttonPicture(int index);

Q_SIGNALS:
    // A design-time property changed; the key is its layout key.
    void PropertyChanged(const QString &key);

protected:
    // Square buttons of buttonTwips, made and named but not yet placed.
    ArrowBar(QWidget *parent, int buttonTwips);

    void changed(const char *key);
    // Applies the border style: the bar's height and the least width that
    // shows the four buttons, then the layout again.
    void applyAppearance();
    // Places first and previous at the left, the middle control across the
    // rest and next and last at its right end.
    void layoutBar(QWidget *middle, int middleTop);
    // The height inside the border.
    virtual int innerHeight() const;

    void paintEvent(QPaintEvent *event) override;

    QVector<tbButton *> tbn;
    int m_appearance = 0;
    int m_border = 0;
    int m_edge = 0;
};
