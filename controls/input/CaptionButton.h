#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

#include "CaptionLayout.h"
#include "PointerShape.h"

class HoverWatch;

// What the command button and the toolbar button share: a caption and a
// picture placed by PicPosition and Spacing inside the edge, a back
// colour, an Enabled that reaches the window only at run time, the pointer
// over them and the watch that notices the pointer leaving.
class CaptionButton : public QWidget
{
public:
    int BackColor() const { return m_backColor; }
    void setBackColor(int value);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &value);
    bool Enabled() const { return m_enabled; }
    // At run time also enables or disables the button's window.
    void setEnabled(bool value);
    QWidget *hWnd() { return this; }
    QPixmap MouseIcon() const { return m_mouse.icon(); }
    void setMouseIcon(const QPixmap &value) { m_mouse.setIcon(value); }
    int MousePointer() const { return m_mouse.pointer(); }
    void setMousePointer(int value) { m_mouse.setPointer(value); }
    int PicPosition() const { return m_picPosition; }
    void setPicPosition(int value);
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap &value);
    int Spacing() const { return m_spacing; }
    void setSpacing(int value);

    // Where the caption and the picture are drawn.
    const CaptionLayout &captionLayout() const { return m_layout; }

protected:
    explicit CaptionButton(QWidget *parent);

    // Measures caption and picture again and places them.
    void remeasure();
    void relayout();

    void changeEvent(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

    int m_backColor;
    QString m_caption;
    bool m_enabled = true;
    int m_picPosition = 0;
    QPixmap m_picture;
    int m_spacing = 5;
    // The width of the edge the caption and picture keep clear of.
    int m_edgeWidth = 0;
    PointerShape m_mouse{this};
    CaptionLayout m_layout;
    HoverWatch *m_hover;
};
