#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace Pictures {

namespace {

const QColor ink(0x33, 0x3a, 0x44);
const QColor green(0x2e, 0x8b, 0x3c);
const QColor lightGreen(0x7c, 0xc5, 0x76);
const QColor blue(0x2b, 0x6c, 0xb0);
const QColor lightBlue(0xa9, 0xcf, 0xf0);
const QColor red(0xc6, 0x28, 0x28);
const QColor cardboard(0xc8, 0x93, 0x55);
const QColor cardboardDark(0x9a, 0x6a, 0x35);
const QColor paper(0xfb, 0xfb, 0xf8);
const QColor amber(0xe8, 0xa3, 0x17);

// Every picture is drawn on a 32 x 32 grid and scaled to the size asked.
struct Canvas
{
    QPixmap pixmap;
    QPainter painter;
    explicit Canvas(int size) : pixmap(size, size)
    {
        pixmap.fill(Qt::transparent);
        painter.begin(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
    }
    QPixmap done()
    {
        painter.end();
        return pixmap;
    }
};

QPen pen(const QColor &c, qreal w = 1.5)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void arrowHead(QPainter &p, QPointF tip, qreal angleDeg, qreal len, const QColor &c)
{
    const qreal a = qDegreesToRadians(angleDeg);
    const QPointF back(tip.x() - len * qCos(a), tip.y() - len * qSin(a));
    const QPointF side(-qSin(a) * len * 0.6, qCos(a) * len * 0.6);
    QPolygonF head;
    head << tip << back + side << back - side;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(head);
}

// Three arcs chasing each other round the centre, each ending in a head.
void drawRecycle(QPainter &p, QPointF centre, qreal radius, const QColor &c, qreal width)
{
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    for (int i = 0; i < 3; ++i) {
        const qreal start = 90 + i * 120 + 12;   // degrees, counter-clockwise
        const qreal span = 84;
        p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(box, int(start * 16), int(span * 16));
        const qreal end = qDegreesToRadians(start + span);
        const QPointF tip(centre.x() + radius * qCos(end), centre.y() - radius * qSin(end));
        // The tangent of a counter-clockwise arc, in screen coordinates.
        const qreal tangent = -(start + span) - 90;
        arrowHead(p, tip + QPointF(qCos(qDegreesToRadians(tangent)), qSin(qDegreesToRadians(tangent))) * width * 0.9,
                  tangent, width * 2.2, c);
    }
}

void drawBox(QPainter &p, const QRectF &r)
{
    // A closed carton seen slightly from above: front, top and a tape strip.
    const qreal depth = r.height() * 0.28;
    QPolygonF top;
    top << QPointF(r.left(), r.top() + depth) << QPointF(r.left() + depth, r.top())
        << QPointF(r.right(), r.top()) << QPointF(r.right() - depth, r.top() + depth);
    QPolygonF side;
    side << QPointF(r.right() - depth, r.top() + depth) << QPointF(r.right(), r.top())
         << QPointF(r.right(), r.bottom() - depth) << QPointF(r.right() - depth, r.bottom());
    const QRectF front(r.left(), r.top() + depth, r.width() - depth, r.height() - depth);
    p.setPen(pen(cardboardDark, 1));
    p.setBrush(cardboard.lighter(115));
    p.drawPolygon(top);
    p.setBrush(cardboardDark.lighter(120));
    p.drawPolygon(side);
    p.setBrush(cardboard);
    p.drawRect(front);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe9, 0xd2, 0xa8));
    const qreal tape = front.width() * 0.16;
    p.drawRect(QRectF(front.center().x() - tape / 2, front.top(), tape, front.height() * 0.45));
}

void drawDocument(QPainter &p, const QRectF &r, bool lines = true)
{
    const qreal fold = r.width() * 0.3;
    QPolygonF page;
    page << r.topLeft() << QPointF(r.right() - fold, r.top()) << QPointF(r.right(), r.top() + fold)
         << r.bottomRight() << r.bottomLeft();
    p.setPen(pen(ink, 1.2));
    p.setBrush(paper);
    p.drawPolygon(page);
    p.drawPolyline(QPolygonF() << QPointF(r.right() - fold, r.top())
                              << QPointF(r.right() - fold, r.top() + fold)
                              << QPointF(r.right(), r.top() + fold));
    if (!lines)
        return;
    p.setPen(pen(QColor(0x90, 0x9a, 0xa6), 1.2));
    for (qreal y = r.top() + fold + 3; y < r.bottom() - 2; y += 3.5)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void drawBadge(QPainter &p, QPointF centre, qreal radius, const QColor &c)
{
    p.setPen(pen(Qt::white, 1.2));
    p.setBrush(c);
    p.drawEllipse(centre, radius, radius);
}

void drawCross(QPainter &p, QPointF centre, qreal half, const QColor &c, qreal width)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
    p.drawLine(centre + QPointF(-half, half), centre + QPointF(half, -half));
}

void drawPlus(QPainter &p, QPointF centre, qreal half, const QColor &c, qreal width)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-half, 0), centre + QPointF(half, 0));
    p.drawLine(centre + QPointF(0, -half), centre + QPointF(0, half));
}

void drawCheck(QPainter &p, const QColor &c, qreal width)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF() << QPointF(6, 17) << QPointF(13, 24) << QPointF(26, 8));
}

void drawBag(QPainter &p)
{
    QPainterPath body;
    body.moveTo(7, 11);
    body.lineTo(25, 11);
    body.lineTo(27, 29);
    body.lineTo(5, 29);
    body.closeSubpath();
    p.setPen(pen(blue, 1.2));
    p.setBrush(lightBlue);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(blue, 2));
    p.drawArc(QRectF(10, 4, 5, 12), 0, 180 * 16);
    p.drawArc(QRectF(17, 4, 5, 12), 0, 180 * 16);
    drawRecycle(p, QPointF(16, 21), 4.2, blue, 1.4);
}

void drawPerson(QPainter &p, QPointF at, qreal scale, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(at + QPointF(0, -3.2 * scale), 2.6 * scale, 2.6 * scale);
    p.drawChord(QRectF(at.x() - 4.6 * scale, at.y() + 0.2 * scale, 9.2 * scale, 8 * scale), 0,
                180 * 16);
}

void drawTree(QPainter &p)
{
    p.setPen(pen(ink, 1.5));
    p.drawLine(QPointF(8, 8), QPointF(8, 25));
    p.drawLine(QPointF(8, 16), QPointF(15, 16));
    p.drawLine(QPointF(8, 25), QPointF(15, 25));
    p.setBrush(amber);
    p.drawRect(QRectF(4, 3, 8, 6));
    p.setBrush(lightBlue);
    p.drawRect(QRectF(15, 13, 12, 6));
    p.drawRect(QRectF(15, 22, 12, 6));
}

void drawList(QPainter &p)
{
    p.setPen(pen(ink, 1.2));
    p.setBrush(paper);
    p.drawRoundedRect(QRectF(3, 4, 26, 24), 2, 2);
    for (int i = 0; i < 4; ++i) {
        const qreal y = 9 + i * 5.5;
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawEllipse(QPointF(8, y), 1.6, 1.6);
        p.setPen(pen(ink, 1.6));
        p.drawLine(QPointF(12, y), QPointF(25, y));
    }
}

void drawFloppy(QPainter &p)
{
    p.setPen(pen(QColor(0x1d, 0x3f, 0x73), 1.2));
    p.setBrush(blue);
    QPolygonF outline;
    outline << QPointF(4, 4) << QPointF(24, 4) << QPointF(28, 8) << QPointF(28, 28)
            << QPointF(4, 28);
    p.drawPolygon(outline);
    p.setBrush(paper);
    p.drawRect(QRectF(8, 4, 14, 9));
    p.setBrush(QColor(0xdd, 0xe4, 0xee));
    p.drawRect(QRectF(8, 17, 16, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRect(QRectF(17, 5.5, 3, 6));
}

void drawTrash(QPainter &p)
{
    p.setPen(pen(ink, 1.2));
    p.setBrush(QColor(0xd9, 0xdd, 0xe2));
    QPolygonF can;
    can << QPointF(8, 10) << QPointF(24, 10) << QPointF(22.5, 29) << QPointF(9.5, 29);
    p.drawPolygon(can);
    p.drawRoundedRect(QRectF(5, 6, 22, 4), 1, 1);
    p.drawRect(QRectF(13, 3, 6, 3));
    p.setPen(pen(QColor(0x80, 0x88, 0x92), 1.4));
    for (qreal x : {12.5, 16.0, 19.5})
        p.drawLine(QPointF(x, 13), QPointF(x, 26));
    drawBadge(p, QPointF(24, 24), 6, red);
    drawCross(p, QPointF(24, 24), 2.6, Qt::white, 1.8);
}

void drawPencil(QPainter &p)
{
    drawDocument(p, QRectF(4, 3, 19, 25));
    p.save();
    p.translate(21, 19);
    p.rotate(45);
    p.setPen(pen(ink, 1));
    p.setBrush(amber);
    p.drawRect(QRectF(-3, -12, 6, 16));
    p.setBrush(QColor(0xf2, 0xd0, 0xa0));
    QPolygonF tip;
    tip << QPointF(-3, 4) << QPointF(3, 4) << QPointF(0, 9);
    p.drawPolygon(tip);
    p.setBrush(QColor(0xe8, 0x8f, 0xa0));
    p.drawRect(QRectF(-3, -15, 6, 3));
    p.restore();
}

void drawFolder(QPainter &p)
{
    p.setPen(pen(QColor(0xa0, 0x74, 0x12), 1.2));
    p.setBrush(QColor(0xf0, 0xc0, 0x4c));
    QPolygonF back;
    back << QPointF(3, 8) << QPointF(12, 8) << QPointF(14, 11) << QPointF(29, 11)
         << QPointF(29, 27) << QPointF(3, 27);
    p.drawPolygon(back);
    p.setBrush(QColor(0xf8, 0xd7, 0x7a));
    QPolygonF front;
    front << QPointF(3, 27) << QPointF(7, 15) << QPointF(31, 15) << QPointF(29, 27);
    p.drawPolygon(front);
}

void drawMagnifier(QPainter &p)
{
    p.setPen(pen(ink, 2.5));
    p.setBrush(QColor(0xdd, 0xee, 0xfb));
    p.drawEllipse(QPointF(13, 13), 8, 8);
    p.setPen(QPen(ink, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19.5, 19.5), QPointF(27, 27));
}

void drawPrinter(QPainter &p)
{
    p.setPen(pen(ink, 1.2));
    p.setBrush(paper);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(QColor(0x9a, 0xa3, 0xad));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(paper);
    p.drawRect(QRectF(9, 20, 14, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(lightGreen);
    p.drawEllipse(QPointF(25, 16), 1.4, 1.4);
}

void drawArrow(QPainter &p, QPointF from, QPointF to, const QColor &c, qreal width)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    const QPointF d = to - from;
    const qreal angle = qRadiansToDegrees(qAtan2(d.y(), d.x()));
    const qreal len = qSqrt(d.x() * d.x() + d.y() * d.y());
    const QPointF shortTo = from + d * ((len - width * 1.5) / len);
    p.drawLine(from, shortTo);
    arrowHead(p, to, angle, width * 3, c);
}

void drawDatabase(QPainter &p)
{
    p.setPen(pen(QColor(0x1d, 0x3f, 0x73), 1.2));
    p.setBrush(lightBlue);
    QPainterPath drum;
    drum.moveTo(5, 8);
    drum.lineTo(5, 25);
    drum.arcTo(QRectF(5, 21, 22, 8), 180, 180);
    drum.lineTo(27, 8);
    drum.closeSubpath();
    p.drawPath(drum);
    p.drawEllipse(QRectF(5, 4, 22, 8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 10, 22, 8), 180 * 16, 180 * 16);
    p.drawArc(QRectF(5, 16, 22, 8), 180 * 16, 180 * 16);
}

void drawCalendar(QPainter &p)
{
    p.setPen(pen(ink, 1.2));
    p.setBrush(paper);
    p.drawRoundedRect(QRectF(3, 5, 26, 24), 2, 2);
    p.setBrush(red);
    p.drawRect(QRectF(3, 5, 26, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xb0, 0xb8, 0xc2));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            p.drawRect(QRectF(6 + c * 5.5, 14 + r * 4.7, 3.4, 3));
}

void drawSigma(QPainter &p)
{
    p.setPen(pen(ink, 1.2));
    p.setBrush(paper);
    p.drawRoundedRect(QRectF(5, 3, 22, 26), 2, 2);
    p.setBrush(QColor(0x9a, 0xa3, 0xad));
    p.drawRect(QRectF(11, 1.5, 10, 4));
    p.setPen(pen(blue, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF() << QPointF(21, 10) << QPointF(11, 10) << QPointF(17, 16.5)
                               << QPointF(11, 23) << QPointF(21, 23));
}

void drawDoor(QPainter &p)
{
    p.setPen(pen(ink, 1.2));
    p.setBrush(QColor(0xe4, 0xe7, 0xeb));
    p.drawRect(QRectF(5, 3, 16, 26));
    p.setBrush(QColor(0x8d, 0x5a, 0x2b));
    QPolygonF leaf;
    leaf << QPointF(5, 3) << QPointF(15, 6) << QPointF(15, 31) << QPointF(5, 29);
    p.drawPolygon(leaf);
    p.setPen(Qt::NoPen);
    p.setBrush(amber);
    p.drawEllipse(QPointF(13, 18), 1.2, 1.2);
    drawArrow(p, QPointF(18, 16), QPointF(30, 16), red, 3);
}

void drawPackagingTypes(QPainter &p)
{
    // A bottle, a can and a small carton side by side.
    QPainterPath bottle;
    bottle.moveTo(5, 29);
    bottle.lineTo(5, 15);
    bottle.quadTo(5, 11, 8, 9);
    bottle.lineTo(8, 4);
    bottle.lineTo(11, 4);
    bottle.lineTo(11, 9);
    bottle.quadTo(14, 11, 14, 15);
    bottle.lineTo(14, 29);
    bottle.closeSubpath();
    p.setPen(pen(QColor(0x1f, 0x6e, 0x4b), 1.1));
    p.setBrush(QColor(0x9f, 0xd9, 0xb9));
    p.drawPath(bottle);
    p.setPen(pen(ink, 1.1));
    QLinearGradient metal(15, 0, 22, 0);
    metal.setColorAt(0, QColor(0xb8, 0xbf, 0xc7));
    metal.setColorAt(0.5, QColor(0xf2, 0xf4, 0xf6));
    metal.setColorAt(1, QColor(0x9a, 0xa3, 0xad));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(15, 14, 7, 15), 1.5, 1.5);
    drawBox(p, QRectF(21, 18, 10, 11));
}

void drawReuse(QPainter &p)
{
    drawBox(p, QRectF(9, 11, 14, 12));
    p.setPen(QPen(green, 2.4, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(3, 3, 26, 26);
    p.drawArc(ring, 100 * 16, 150 * 16);
    p.drawArc(ring, 280 * 16, 150 * 16);
    arrowHead(p, QPointF(5.5, 23.5), 70, 5.5, green);
    arrowHead(p, QPointF(26.5, 8.5), 250, 5.5, green);
}

void drawRegistry(QPainter &p)
{
    p.setPen(pen(QColor(0x1d, 0x3f, 0x73), 1.2));
    p.setBrush(paper);
    p.drawRoundedRect(QRectF(2, 6, 28, 21), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRoundedRect(QRectF(2.6, 6.6, 26.8, 5), 2, 2);
    p.drawRect(QRectF(2.6, 9, 26.8, 2.6));
    p.setBrush(QColor(0xdd, 0xe8, 0xf4));
    p.drawRect(QRectF(5, 14, 9, 10));
    drawPerson(p, QPointF(9.5, 19.5), 0.85, blue);
    p.setPen(pen(QColor(0x80, 0x8a, 0x96), 1.4));
    for (qreal y : {15.5, 19.0, 22.5})
        p.drawLine(QPointF(17, y), QPointF(27, y));
}

} // namespace

QPixmap menuIcon(int n, int size)
{
    Canvas c(size);
    QPainter &p = c.painter;
    switch (n) {
    case 1:
        drawRegistry(p);
        break;
    case 2:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xe3, 0xf3, 0xe1));
        p.drawEllipse(QPointF(16, 16), 15, 15);
        drawRecycle(p, QPointF(16, 16), 10, green, 3.2);
        break;
    case 3:
        drawBag(p);
        break;
    case 4:
        drawBox(p, QRectF(3, 6, 26, 23));
        break;
    case 5:
        drawReuse(p);
        break;
    case 6:
        drawPackagingTypes(p);
        break;
    case 7:
        drawDoor(p);
        break;
    default:
        break;
    }
    return c.done();
}

// The small list: 1 go on, 2 close or cancel, 3 write or register, 4 open
// a record, 5 list, 6 save, 7 delete, 8 find, 9 select, 10 folder,
// 11 database, 12 print, 13 previous, 14 next, 15 new local unit,
// 16 new declaration, 17 summary, 18 previous year, 19 tree, 20 export.
QPixmap buttonIcon(int n, int size)
{
    Canvas c(size);
    QPainter &p = c.painter;
    switch (n) {
    case 1:
        drawCheck(p, green, 4.5);
        break;
    case 2:
        drawBadge(p, QPointF(16, 16), 13, red);
        drawCross(p, QPointF(16, 16), 5.5, Qt::white, 3.5);
        break;
    case 3:
        drawPencil(p);
        break;
    case 4:
        drawDocument(p, QRectF(6, 3, 20, 26));
        break;
    case 5:
        drawList(p);
        break;
    case 6:
        drawFloppy(p);
        break;
    case 7:
        drawTrash(p);
        break;
    case 8:
        drawMagnifier(p);
        break;
    case 9:
        drawBadge(p, QPointF(16, 16), 13, green);
        drawArrow(p, QPointF(9, 16), QPointF(24, 16), Qt::white, 3.5);
        break;
    case 10:
        drawFolder(p);
        break;
    case 11:
        drawDatabase(p);
        break;
    case 12:
        drawPrinter(p);
        break;
    case 13:
        drawArrow(p, QPointF(26, 16), QPointF(5, 16), blue, 4);
        break;
    case 14:
        drawArrow(p, QPointF(6, 16), QPointF(27, 16), blue, 4);
        break;
    case 15:
        drawRegistry(p);
        drawBadge(p, QPointF(24, 24), 7, green);
        drawPlus(p, QPointF(24, 24), 3.5, Qt::white, 2.2);
        break;
    case 16:
        drawDocument(p, QRectF(4, 2, 20, 26));
        drawBadge(p, QPointF(24, 24), 7, green);
        drawPlus(p, QPointF(24, 24), 3.5, Qt::white, 2.2);
        break;
    case 17:
        drawSigma(p);
        break;
    case 18:
        drawCalendar(p);
        drawArrow(p, QPointF(30, 25), QPointF(15, 25), blue, 3);
        break;
    case 19:
        drawTree(p);
        break;
    case 20:
        drawDocument(p, QRectF(3, 2, 18, 24));
        drawArrow(p, QPointF(14, 22), QPointF(30, 22), green, 3.5);
        break;
    default:
        break;
    }
    return c.done();
}

QPixmap recycle(int size)
{
    Canvas c(size);
    drawRecycle(c.painter, QPointF(16, 16), 11, green, 3.4);
    return c.done();
}

QPixmap emblem(int size)
{
    Canvas c(size);
    QPainter &p = c.painter;
    QRadialGradient glow(QPointF(16, 14), 16);
    glow.setColorAt(0, QColor(0xf1, 0xf8, 0xef));
    glow.setColorAt(1, QColor(0xd5, 0xec, 0xd1));
    p.setPen(QPen(green, 0.8));
    p.setBrush(glow);
    p.drawEllipse(QPointF(16, 16), 15.3, 15.3);
    drawBox(p, QRectF(9.5, 10, 13, 12));
    drawRecycle(p, QPointF(16, 16), 12, green, 1.8);
    return c.done();
}

QPixmap appIcon(int size)
{
    return emblem(size);
}
}
