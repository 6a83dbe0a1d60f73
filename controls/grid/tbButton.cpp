#include "tbButton.h"

#include <QMouseEvent>
#include <QPainter>

#include "Ambient.h"
#include "Edges.h"
#include "HoverWatch.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "slxModule.h"

namespace {
constexpr int edgeFlat = 0;
constexpr int edgeRaised = Edges::BDR_RAISEDINNER;
constexpr int edgePressed = Edges::BDR_SUNKENOUTER;
}

tbButton::tbButton(QWidget *parent)
    : CaptionButton(parent),
      m_foreColor(SystemColors::vbButtonText),
      m_foreOver(SystemColors::vbButtonText),
      m_underlineColor(SystemColors::vbButtonShadow),
      m_textColor(SystemColors::vbButtonText)
{
    connect(m_hover, &HoverWatch::left, this, &tbButton::pointerLeft);
    setFocusPolicy(Qt::NoFocus);
}

tbButton::~tbButton() = default;

void tbButton::setFlat(bool value)
{
    m_flat = value;
    m_edge = m_flat ? edgeFlat : edgeRaised;
    update();
}

void tbButton::setForeColor(int value)
{
    m_foreColor = value;
    m_textColor = value;
    update();
}

void tbButton::setForeOver(int value)
{
    m_foreOver = value;
}

void tbButton::setUnderline(bool value)
{
    m_underline = value;
}

void tbButton::setUnderlineColor(int value)
{
    m_underlineColor = value;
}

void tbButton::initNewInstance()
{
    m_caption = objectName();
    m_enabled = true;
    setFont(QFont());
    m_foreColor = m_foreOver = SystemColors::vbButtonText;
    m_edge = edgeRaised;
    m_spacing = 5;
    m_picture = QPixmap();
    m_underlineColor = SystemColors::vbButtonShadow;
    remeasure();
    update();
}

void tbButton::readProperties(const PropertyBag &bag)
{
    const int text = SystemColors::vbButtonText;
    m_backColor = bag.ReadProperty(QStringLiteral("BackColor"), SystemColors::vbButtonFace).toInt();
    m_caption = bag.ReadProperty(QStringLiteral("Caption"), QString()).toString();
    m_enabled = bag.ReadProperty(QStringLiteral("Enabled"), true).toBool();
    m_flat = bag.ReadProperty(QStringLiteral("Flat"), false).toBool();
    setFont(bag.contains(QStringLiteral("Font"))
                ? bag.ReadProperty(QStringLiteral("Font")).value<QFont>() : QFont());
    m_foreColor = bag.ReadProperty(QStringLiteral("ForeColor"), text).toInt();
    m_foreOver = bag.ReadProperty(QStringLiteral("ForeOver"), text).toInt();
    m_mouse.read(bag);
    m_picPosition = bag.ReadProperty(QStringLiteral("PicPosition"), 0).toInt();
    m_picture = bag.ReadProperty(QStringLiteral("Picture"), QPixmap()).value<QPixmap>();
    m_spacing = bag.ReadProperty(QStringLiteral("Spacing"), 5).toInt();
    m_underline = bag.ReadProperty(QStringLiteral("Underline"), false).toBool();
    m_underlineColor = bag.ReadProperty(QStringLiteral("UnderlineColor"),
                                        SystemColors::vbButtonShadow).toInt();
    if (Ambient::userMode())
        QWidget::setEnabled(m_enabled);
    m_textColor = m_foreColor;
    m_edge = m_flat ? edgeFlat : edgeRaised;
    remeasure();
    update();
}

void tbButton::writeProperties(PropertyBag &bag) const
{
    const int text = SystemColors::vbButtonText;
    bag.WriteProperty(QStringLiteral("BackColor"), m_backColor, SystemColors::vbButtonFace);
    bag.WriteProperty(QStringLiteral("Caption"), m_caption, QString());
    bag.WriteProperty(QStringLiteral("Enabled"), m_enabled, true);
    bag.WriteProperty(QStringLiteral("Flat"), m_flat, false);
    bag.WriteProperty(QStringLiteral("Font"), font(), Ambient::font(this));
    bag.WriteProperty(QStringLiteral("ForeColor"), m_foreColor, text);
    bag.WriteProperty(QStringLiteral("ForeOver"), m_foreOver, text);
    m_mouse.write(bag);
    bag.WriteProperty(QStringLiteral("PicPosition"), m_picPosition, 0);
    if (!m_picture.isNull())
        bag.WriteProperty(QStringLiteral("Picture"), m_picture);
    bag.WriteProperty(QStringLiteral("Spacing"), m_spacing, 5);
    bag.WriteProperty(QStringLiteral("Underline"), m_underline, false);
    bag.WriteProperty(QStringLiteral("UnderlineColor"), m_underlineColor,
                      SystemColors::vbButtonShadow);
}

bool tbButton::hoverRunning() const
{
    return m_hover->isActive();
}

bool tbButton::hoverVisible() const
{
    return m_flat || m_foreColor != m_foreOver;
}

void tbButton::setLook(int edge, int shift, int textColor)
{
    m_edge = edge;
    m_shift = shift;
    m_textColor = textColor;
    update();
}

void tbButton::pointerLeft()
{
    if (m_flat)
        setLook(edgeFlat, m_shift, m_foreColor);
    else if (m_foreColor != m_foreOver)
        setLook(m_edge, m_shift, m_foreColor);
}

void tbButton::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::EnabledChange && !isEnabled()) {
        // A disabled button hears no more of the mouse: it goes back to idle
        // at once instead of keeping a hover it can no longer end.
        m_hover->stop();
        setLook(m_flat ? edgeFlat : edgeRaised, 0, m_foreColor);
    }
    CaptionButton::changeEvent(e);
}

void tbButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), SystemColors::toColor(m_backColor, palette()));
    const bool disabled = !isEnabled();
    const int W = width();
    const int H = height();
    if (m_edge != 0) {
        QRect r(0, 0, W, H);
        Edges::drawEdge(painter, r, m_edge, Edges::BF_RECT, palette());
    } else if (m_underline) {
        painter.setPen(SystemColors::toColor(m_underlineColor, palette()));
        painter.drawLine(0, H - 1, W, H - 1);
    }
    m_layout.draw(painter, m_shift, m_picture, m_caption,
                  SystemColors::toColor(m_textColor, palette()), disabled, this);
}

void tbButton::mouseMoveEvent(QMouseEvent *e)
{
    const Qt::MouseButtons buttons = e->buttons();
    const bool inside = Ambient::contains(this, e->position().toPoint());
    if (buttons == Qt::NoButton) {
        if (!m_hover->isActive() && hoverVisible()) {
            setLook(edgeRaised, m_shift, m_foreOver);
            m_hover->start();
        }
    } else if (buttons == Qt::LeftButton) {
        if (!inside && m_edge == edgePressed)
            setLook(edgeRaised, 0, m_foreColor);
        else if (inside && m_edge == edgeRaised)
            setLook(edgePressed, 1, m_foreOver);
    } else if (inside && m_textColor != m_foreOver) {
        setLook(m_edge, m_shift, m_foreOver);
    } else if (!inside && m_textColor != m_foreColor) {
        setLook(m_edge, m_shift, m_foreColor);
    }
}

void tbButton::mousePressEvent(QMouseEvent *e)
{
    m_hover->stop();
    if (e->button() == Qt::LeftButton)
        setLook(edgePressed, 1, m_foreOver);
}

void tbButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (Ambient::contains(this, e->position().toPoint())) {
        if (e->button() != Qt::LeftButton)
            return;
        setLook(edgeRaised, 0, m_textColor);
        Q_EMIT Click();
        if (hoverVisible())
            m_hover->start();
    } else if (m_flat) {
        setLook(edgeFlat, m_shift, m_textColor);
    }
}
