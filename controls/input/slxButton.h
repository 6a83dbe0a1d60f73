#pragma once

#include "CaptionButton.h"

class PropertyBag;

// The command button of the program's forms: it paints its own caption,
// pictures and three-dimensional edge, shows a hover look while the
// pointer is over it, takes an access key from its caption and can work
// as a two-state toggle.
class slxButton : public CaptionButton
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool BorderFocus READ BorderFocus WRITE setBorderFocus)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool FlatOver READ FlatOver WRITE setFlatOver)
    Q_PROPERTY(bool FocusRect READ FocusRect WRITE setFocusRect)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int ForeDown READ ForeDown WRITE setForeDown)
    Q_PROPERTY(int ForeOver READ ForeOver WRITE setForeOver)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(int PicPosition READ PicPosition WRITE setPicPosition)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(QPixmap PictureDown READ PictureDown WRITE setPictureDown)
    Q_PROPERTY(QPixmap PictureOver READ PictureOver WRITE setPictureOver)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(int State READ State WRITE setState)
    Q_PROPERTY(int Style READ Style WRITE setStyle)
    Q_PROPERTY(bool Toggle READ Toggle WRITE setToggle)

public:
    explicit slxButton(QWidget *parent = nullptr);
    ~slxButton() override;

    bool BorderFocus() const { return m_borderFocus; }
    void setBorderFocus(bool value);
    // Also takes the access key the caption marks.
    void setCaption(const QString &value);
    bool FlatOver() const { return m_flatOver; }
    void setFlatOver(bool value);
    bool FocusRect() const { return m_focusRect; }
    void setFocusRect(bool value);
    int ForeColor() const { return m_foreColor; }
    void setForeColor(int value);
    int ForeDown() const { return m_foreDown; }
    void setForeDown(int value);
    int ForeOver() const { return m_foreOver; }
    void setForeOver(int value);
    QPixmap PictureDown() const { return m_pictureDown; }
    void setPictureDown(const QPixmap &value);
    QPixmap PictureOver() const { return m_pictureOver; }
    void setPictureOver(const QPixmap &value);
    int State() const { return m_state; }
    void setState(int value);
    int Style() const { return m_style; }
    void setStyle(int value);
    bool Toggle() const { return m_toggle; }
    void setToggle(bool value);

    // Values of a button placed new on a form in the designer.
    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    bool isOver() const { return m_over; }
    bool isPressed() const { return m_pressed; }

Q_SIGNALS:
    void Click();
    void MouseIn();
    void MouseOut();

protected:
    bool event(QEvent *e) override;
    void changeEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    void stileBordi();
    void premiBottone();
    void setAccessKey();
    void pointerLeft();
    void repaintFocus();

    bool m_borderFocus = false;
    bool m_flatOver = false;
    bool m_focusRect = true;
    int m_foreColor;
    int m_foreDown;
    int m_foreOver;
    QPixmap m_pictureDown;
    QPixmap m_pictureOver;
    int m_state = 0;
    int m_style = 1;
    bool m_toggle = false;

    bool m_focus = false;
    bool m_over = false;
    bool m_pressed = false;
    int m_edgeOver = 0;
    int m_edgeDown = 0;
    int m_shortcutId = 0;
};
