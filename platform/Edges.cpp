#include "Edges.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

struct Layer
{
    QPalette::ColorRole topLeft;
    QPalette::ColorRole bottomRight;
};

void drawLayer(QPainter &painter, const QRect &r, int flags, const Layer &layer,
               const QPalette &palette)
{
    const QColor tl = palette.color(layer.topLeft);
    const QColor br = palette.color(layer.bottomRight);
    // The bottom and right lines run the full length; the top and left
    // ones stop one pixel short, where the other colour takes the corner.
    if (flags & Edges::BF_TOP)
        painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), tl);
    if (flags & Edges::BF_LEFT)
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), tl);
    if (flags & Edges::BF_BOTTOM)
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
    if (flags & Edges::BF_RIGHT)
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
}

QRect shrink(const QRect &r, int flags)
{
    return r.adjusted((flags & Edges::BF_LEFT) ? 1 : 0, (flags & Edges::BF_TOP) ? 1 : 0,
                      (flags & Edges::BF_RIGHT) ? -1 : 0, (flags & Edges::BF_BOTTOM) ? -1 : 0);
}

} // namespace

namespace Edges {

void drawEdge(QPainter &painter, QRect &rect, int edge, int flags, const QPalette &palette)
{
    QList<Layer> layers;
    if (edge & BDR_RAISEDOUTER)
        layers.append({QPalette::Midlight, QPalette::Shadow});
    else if (edge & BDR_SUNKENOUTER)
        layers.append({QPalette::Dark, QPalette::Light});
    if (edge & BDR_RAISEDINNER)
        layers.append({QPalette::Light, QPalette::Dark});
    else if (edge & BDR_SUNKENINNER)
        layers.append({QPalette::Shadow, QPalette::Midlight});

    QRect r = rect;
    for (const Layer &layer : layers) {
        if (r.width() <= 0 || r.height() <= 0)
            break;
        drawLayer(painter, r, flags, layer, palette);
        r = shrink(r, flags);
    }
    if ((flags & BF_MIDDLE) && r.isValid())
        painter.fillRect(r, palette.color(QPalette::Button));
    if (flags & BF_ADJUST)
        rect = r;
}

void drawFocusRect(QPainter &painter, const QRect &rect, const QPalette &palette)
{
    QStyleOptionFocusRect option;
    option.rect = rect;
    option.palette = palette;
    option.backgroundColor = palette.color(QPalette::Window);
    // Some styles draw the focus frame only for keyboard focus; a control
    // that asks for one always wants it seen.
    option.state = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter);
}

} // namespace Edges
