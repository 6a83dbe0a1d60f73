#pragma once

#include <QString>

class QFont;
class QPainter;
class QPalette;
class QPixmap;
class QPoint;
class QColor;
class QWidget;

// Where the caption and the picture of an owner-drawn button sit inside it,
// and how both are drawn, plain or embossed when the button is disabled.
// Caption and picture are measured only when they change, never per paint.
class CaptionLayout
{
public:
    struct Box
    {
        int left = 0;
        int top = 0;
        int width = 0;   // 0: nothing to draw
        int height = 0;
    };

    Box caption;
    Box picture;

    // "&" prefixes are processed and explicit line breaks count; nothing wraps.
    void measureCaption(const QString &text, const QFont &font);
    // The picture's own size in device-independent pixels.
    void measurePicture(const QPixmap &pixmap);
    void centerCaption(int left, int top, int right, int bottom);
    // W, H: inner size; picPosition 0-6 places the picture left, top,
    // right, bottom, centred before the caption, both left, both right.
    // Any other value keeps the positions as they were.
    void layout(int W, int H, int picPosition, int spacing, int edgeWidth);

    // Text with access-key underlines ("&&" draws one "&") at topLeft.
    static void drawPrefixText(QPainter &painter, const QPoint &topLeft, const QString &text,
                               const QColor &color, bool disabled, const QPalette &palette);
    static void drawPicture(QPainter &painter, const QPoint &topLeft, const QPixmap &pixmap,
                            bool disabled, const QWidget *styleSource);
    // The picture, fitted to its box, and the caption at their places,
    // both moved right and down by shift while the button is pressed.
    void draw(QPainter &painter, int shift, const QPixmap &pixmap, const QString &text,
              const QColor &color, bool disabled, const QWidget *control) const;
};
