#include "CaptionLayout.h"

#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <cmath>

namespace {
// A box large enough for any caption: the text is placed by its top left
// corner and measured by the platform, like a zero-size DrawState.
constexpr int unbounded = 32767;
}

void CaptionLayout::measureCaption(const QString &text, const QFont &font)
{
    caption.left = 0;
    caption.top = 0;
    if (text.isEmpty()) {
        caption.width = 0;
        caption.height = 0;
        return;
    }
    const QRect r = QFontMetrics(font).boundingRect(QRect(0, 0, unbounded, unbounded),
                                                    Qt::TextShowMnemonic, text);
    caption.width = r.width();
    caption.height = r.height();
}

void CaptionLayout::measurePicture(const QPixmap &pixmap)
{
    if (pixmap.isNull()) {
        picture.width = 0;
        picture.height = 0;
        return;
    }
    const QSizeF size = pixmap.deviceIndependentSize();
    picture.width = int(std::lround(size.width()));
    picture.height = int(std::lround(size.height()));
}

void CaptionLayout::centerCaption(int left, int top, int right, int bottom)
{
    caption.left = left + (right - left - caption.width) / 2;
    caption.top = top + (bottom - top - caption.height) / 2;
}

void CaptionLayout::layout(int W, int H, int picPosition, int spacing, int edgeWidth)
{
    const int pw = picture.width;
    const int ph = picture.height;
    const int cw = caption.width;
    const int ch = caption.height;
    const int s = spacing;
    const int e = edgeWidth;
    if (pw == 0 && cw == 0)
        return;
    if (pw == 0) {
        centerCaption(0, 0, W, H);
        return;
    }
    if (cw == 0) {
        picture.left = (W - pw) / 2;
        picture.top = (H - ph) / 2;
        return;
    }
    switch (picPosition) {
    case 0:
        picture.left = e + s;
        picture.top = (H - ph) / 2;
        centerCaption(picture.left + pw, 0, W, H);
        break;
    case 1:
        picture.left = (W - pw) / 2;
        picture.top = e + s;
        centerCaption(0, picture.top + ph, W, H);
        break;
    case 2:
        picture.left = W - pw - s - e;
        picture.top = (H - ph) / 2;
        centerCaption(0, 0, picture.left, H);
        break;
    case 3:
        picture.left = (W - pw) / 2;
        picture.top = H - s - ph - e;
        centerCaption(0, 0, W, picture.top);
        break;
    case 4:
        picture.left = (W - pw - cw - s) / 2;
        picture.top = (H - ph) / 2;
        caption.left = picture.left + pw + s;
        caption.top = (H - ch) / 2;
        break;
    case 5:
        picture.left = e + s;
        picture.top = (H - ph) / 2;
        caption.left = picture.left + pw + s;
        caption.top = (H - ch) / 2;
        break;
    case 6:
        picture.left = W - pw - s - e;
        picture.top = (H - ph) / 2;
        caption.left = picture.left - cw - s;
        caption.top = (H - ch) / 2;
        break;
    default:
        break;
    }
}

void CaptionLayout::drawPrefixText(QPainter &painter, const QPoint &topLeft, const QString &text,
                                   const QColor &color, bool disabled, const QPalette &palette)
{
    const int flags = Qt::TextShowMnemonic | Qt::AlignLeft | Qt::AlignTop;
    const QRect box(topLeft, QSize(unbounded, unbounded));
    painter.save();
    if (disabled) {
        // Embossed: a light copy one pixel down and right under a shadow copy.
        painter.setPen(palette.color(QPalette::Light));
        painter.drawText(box.translated(1, 1), flags, text);
        painter.setPen(palette.color(QPalette::Dark));
    } else {
        painter.setPen(color);
    }
    painter.drawText(box, flags, text);
    painter.restore();
}

void CaptionLayout::drawPicture(QPainter &painter, const QPoint &topLeft, const QPixmap &pixmap,
                                bool disabled, const QWidget *styleSource)
{
    if (pixmap.isNull())
        return;
    if (!disabled) {
        painter.drawPixmap(topLeft, pixmap);
        return;
    }
    QStyleOption option;
    option.initFrom(styleSource);
    painter.drawPixmap(topLeft, styleSource->style()->generatedIconPixmap(QIcon::Disabled, pixmap,
                                                                          &option));
}

void CaptionLayout::draw(QPainter &painter, int shift, const QPixmap &pixmap, const QString &text,
                         const QColor &color, bool disabled, const QWidget *control) const
{
    if (picture.width != 0) {
        // A state's picture of another size is drawn in the box of the main one.
        const QSize box(picture.width, picture.height);
        const QPixmap fitted = pixmap.deviceIndependentSize().toSize() == box
                                   ? pixmap
                                   : pixmap.scaled(box * pixmap.devicePixelRatio());
        drawPicture(painter, QPoint(picture.left + shift, picture.top + shift), fitted, disabled,
                    control);
    }
    if (caption.width != 0)
        drawPrefixText(painter, QPoint(caption.left + shift, caption.top + shift), text, color,
                       disabled, control->palette());
}
