#pragma once

#include "CaptionButton.h"

class PropertyBag;

// The light button of toolbars and bars: a caption and one picture, a
// raised edge while hovered (always, unless Flat), a sunken one while
// pressed, an optional underline when flat. No focus and no keys.
class tbButton : public CaptionButton
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int ForeOver READ ForeOver WRITE setForeOver)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(int PicPosition READ PicPosition WRITE setPicPosition)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(bool Underline READ Underline WRITE setUnderline)
    Q_PROPERTY(int UnderlineColor READ UnderlineColor WRITE setUnderlineColor)

public:
    explicit tbButton(QWidget *parent = nullptr);
    ~tbButton() override;

    bool Flat() const { return m_flat; }
    void setFlat(bool value);
    int ForeColor() const { return m_foreColor; }
    void setForeColor(int value);
    int ForeOver() const { return m_foreOver; }
    void setForeOver(int value);
    bool Underline() const { return m_underline; }
    void setUnderline(bool value);
    int UnderlineColor() const { return m_underlineColor; }
    void setUnderlineColor(int value);

    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    // The edge shown now, which is also the state: 0 flat and idle, 4
    // raised (idle or hovered), 2 sunken (pressed).
    int edge() const { return m_edge; }
    // The caption's colour now (a Long colour).
    int textColor() const { return m_textColor; }
    bool hoverRunning() const;

Q_SIGNALS:
    void Click();

protected:
    void changeEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    bool hoverVisible() const;
    void setLook(int edge, int shift, int textColor);
    void pointerLeft();

    bool m_flat = false;
    int m_foreColor;
    int m_foreOver;
    bool m_underline = false;
    int m_underlineColor;

    int m_edge = 4;
    int m_shift = 0;
    int m_textColor;
};
