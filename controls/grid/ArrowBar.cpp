#include "ArrowBar.h"

#include <QPainter>
#include <QPainterPath>

#include "Edges.h"
#include "slxModule.h"
#include "tbButton.h"

ArrowBar::ArrowBar(QWidget *parent, int buttonTwips) : QWidget(parent)
{
    slxModule::initControlMetrics();
    const int w = buttonTwips / qMax(slxModule::twipsPerPixelX, 1);
    for (int i = 0; i < 4; ++i) {
        auto *b = new tbButton(this);
        b->setObjectName(QStringLiteral("tbn_%1").arg(i));
        b->setCaption(QString());
        b->setPicture(buttonPicture(i));
        b->resize(w, w);
        tbn << b;
    }
}

void ArrowBar::changed(const char *key)
{
    emit PropertyChanged(QLatin1String(key));
}

void ArrowBar::setAppearance(int value)
{
    m_appearance = value;
    applyAppearance();
    changed("Appearance");
}

void ArrowBar::applyAppearance()
{
    // Edge flags and border width of each style; style 1 is a one-pixel outline.
    static const int table[10][2] = {{0, 0}, {0, 1}, {Edges::EDGE_RAISED, 2},
                                     {Edges::BDR_RAISEDINNER, 1}, {Edges::BDR_RAISEDOUTER, 1},
                                     {Edges::EDGE_SUNKEN, 2}, {Edges::BDR_SUNKENOUTER, 1},
                                     {Edges::BDR_SUNKENINNER, 1}, {Edges::EDGE_BUMP, 2},
                                     {Edges::EDGE_ETCHED, 2}};
    if (m_appearance < 0 || m_appearance > 9)
        m_appearance = 0;
    m_edge = table[m_appearance][0];
    m_border = table[m_appearance][1];
    const int w = tbn.first()->width();
    setFixedHeight(innerHeight() + 2 * m_border);
    setMinimumWidth(5 * w + 2 * m_border);
    resizeEvent(nullptr);
    update();
}

int ArrowBar::innerHeight() const
{
    return tbn.first()->height();
}

bool ArrowBar::ButtonsFlat() const
{
    return tbn.first()->Flat();
}

void ArrowBar::setButtonsFlat(bool value)
{
    for (tbButton *b : tbn)
        b->setFlat(value);
    changed("ButtonsFlat");
}

QPixmap ArrowBar::buttonPicture(int index)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x9a));
    const bool right = index >= 2;
    const auto triangle = [&p, right](qreal x) {
        QPainterPath path;
        if (right) {
            path.moveTo(x, 3);
            path.lineTo(x + 6, 8);
            path.lineTo(x, 13);
        } else {
            path.moveTo(x + 6, 3);
            path.lineTo(x, 8);
            path.lineTo(x + 6, 13);
        }
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (index) {
    case 0:
        p.drawRect(QRectF(3, 3, 2, 10));
        triangle(6);
        break;
    case 1:
        triangle(5);
        break;
    case 2:
        triangle(5);
        break;
    default:
        triangle(4);
        p.drawRect(QRectF(11, 3, 2, 10));
        break;
    }
    return pm;
}

void ArrowBar::layoutBar(QWidget *middle, int middleTop)
{
    const int w = tbn.first()->width();
    const int b = m_border;
    tbn[0]->move(b, b);
    tbn[1]->move(b + w, b);
    middle->setGeometry(b + 2 * w, middleTop, qMax(width() - 4 * w - 2 * b, 0), middle->height());
    tbn[2]->move(middle->x() + middle->width(), b);
    tbn[3]->move(tbn[2]->x() + w, b);
}

void ArrowBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect r = rect();
    if (m_edge != 0) {
        Edges::drawEdge(painter, r, m_edge, Edges::BF_RECT, palette());
    } else if (m_appearance == 1) {
        painter.setPen(palette().color(QPalette::Shadow));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
}
