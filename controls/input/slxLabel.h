#pragma once

#include <QPixmap>
#include <QWidget>

#include "PointerShape.h"

class PropertyBag;
class QMimeData;

// The label of the program's forms: an optional border in one of eleven
// styles and a caption inside margins, on one line (aligned and placed at
// the top, middle or bottom) or word-wrapped. Its access key moves the
// focus to the control that follows it.
class slxLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int MarginX READ MarginX WRITE setMarginX)
    Q_PROPERTY(int MarginY READ MarginY WRITE setMarginY)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(bool MultiLine READ MultiLine WRITE setMultiLine)
    Q_PROPERTY(int Position READ Position WRITE setPosition)

public:
    explicit slxLabel(QWidget *parent = nullptr);
    ~slxLabel() override;

    int Alignment() const { return m_alignment; }
    void setAlignment(int value);
    int Appearance() const { return m_appearance; }
    void setAppearance(int value);
    int BackColor() const { return m_backColor; }
    void setBackColor(int value);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &value);
    bool Enabled() const { return m_enabled; }
    // At run time also enables or disables the label's window.
    void setEnabled(bool value);
    int ForeColor() const { return m_foreColor; }
    void setForeColor(int value);
    QWidget *hWnd() { return this; }
    int MarginX() const { return m_marginX; }
    void setMarginX(int value);
    int MarginY() const { return m_marginY; }
    void setMarginY(int value);
    QPixmap MouseIcon() const { return m_mouse.icon(); }
    void setMouseIcon(const QPixmap &value) { m_mouse.setIcon(value); }
    int MousePointer() const { return m_mouse.pointer(); }
    void setMousePointer(int value) { m_mouse.setPointer(value); }
    bool MultiLine() const { return m_multiLine; }
    void setMultiLine(bool value);
    int Position() const { return m_position; }
    void setPosition(int value);
    void Refresh() { update(); }

    void initNewInstance();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    // Where the caption is drawn: one line left, top, width, height;
    // word-wrapped left, top, right, bottom.
    QRect textBox() const;
    // The colour the caption is drawn in (a Long colour).
    int textColor() const { return m_textColor; }

Q_SIGNALS:
    void Click();
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void OLEDragDrop(const QMimeData *Data, int &Effect, int Button, int Shift, float X, float Y);
    void OLEDragOver(const QMimeData *Data, int &Effect, int Button, int Shift, float X, float Y,
                     int State);

protected:
    bool event(QEvent *e) override;
    void changeEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dragLeaveEvent(QDragLeaveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    void stileBordo();
    void flagsAllineamento();
    void applyTextColor();
    void relayout();
    void raiseMouse(QMouseEvent *e, int kind);
    void raiseDragOver(QDragMoveEvent *e, int state);

    int m_alignment = 0;
    int m_appearance = 0;
    int m_backColor;
    QString m_caption;
    bool m_enabled = true;
    int m_foreColor;
    int m_marginX = 5;
    int m_marginY = 3;
    PointerShape m_mouse{this};
    bool m_multiLine = false;
    int m_position = 0;

    int m_edge = 0;
    int m_textFlags = 0;
    int m_textColor;
    int m_boxLeft = 0;
    int m_boxTop = 0;
    int m_boxThird = 0;
    int m_boxFourth = 0;
    int m_shortcutId = 0;
    bool m_pressed = false;
};
