#include "slxButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "Ambient.h"
#include "Edges.h"
#include "HoverWatch.h"
#include "KeySender.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "slxModule.h"

slxButton::slxButton(QWidget *parent)
    : CaptionButton(parent),
      m_foreColor(SystemColors::vbButtonText),
      m_foreDown(SystemColors::vbButtonText),
      m_foreOver(SystemColors::vbButtonText)
{
    connect(m_hover, &HoverWatch::left, this, &slxButton::pointerLeft);
    setFocusPolicy(Qt::StrongFocus);
    stileBordi();
}

slxButton::~slxButton() = default;

void slxButton::setBorderFocus(bool value)
{
    m_borderFocus = value;
}

void slxButton::setCaption(const QString &value)
{
    CaptionButton::setCaption(value);
    setAccessKey();
}

void slxButton::setFlatOver(bool value)
{
    m_flatOver = value;
    relayout();
    update();
}

void slxButton::setFocusRect(bool value)
{
    m_focusRect = value;
}

void slxButton::setForeColor(int value)
{
    m_foreColor = value;
    update();
}

void slxButton::setForeDown(int value)
{
    m_foreDown = value;
}

void slxButton::setForeOver(int value)
{
    m_foreOver = value;
}

void slxButton::setPictureDown(const QPixmap &value)
{
    m_pictureDown = value;
    update();
}

void slxButton::setPictureOver(const QPixmap &value)
{
    m_pictureOver = value;
}

void slxButton::setState(int value)
{
    m_state = value;
    update();
}

void slxButton::setStyle(int value)
{
    m_style = value;
    stileBordi();
    update();
}

void slxButton::setToggle(bool value)
{
    m_toggle = value;
    update();
}

void slxButton::initNewInstance()
{
    m_caption = objectName();
    m_enabled = true;
    m_focusRect = true;
    setFont(QFont());
    m_spacing = 5;
    m_foreColor = m_foreDown = m_foreOver = SystemColors::vbButtonText;
    m_style = 1;
    m_picture = m_pictureDown = m_pictureOver = QPixmap();
    stileBordi();
    remeasure();
    update();
}

void slxButton::readProperties(const PropertyBag &bag)
{
    const int face = SystemColors::vbButtonFace;
    const int text = SystemColors::vbButtonText;
    m_backColor = bag.ReadProperty(QStringLiteral("BackColor"), face).toInt();
    m_borderFocus = bag.ReadProperty(QStringLiteral("BorderFocus"), false).toBool();
    m_caption = bag.ReadProperty(QStringLiteral("Caption"), QString()).toString();
    m_enabled = bag.ReadProperty(QStringLiteral("Enabled"), true).toBool();
    m_flatOver = bag.ReadProperty(QStringLiteral("FlatOver"), false).toBool();
    m_focusRect = bag.ReadProperty(QStringLiteral("FocusRect"), true).toBool();
    setFont(bag.contains(QStringLiteral("Font"))
                ? bag.ReadProperty(QStringLiteral("Font")).value<QFont>() : QFont());
    m_foreColor = bag.ReadProperty(QStringLiteral("ForeColor"), text).toInt();
    m_foreDown = bag.ReadProperty(QStringLiteral("ForeDown"), text).toInt();
    m_foreOver = bag.ReadProperty(QStringLiteral("ForeOver"), text).toInt();
    m_mouse.read(bag);
    m_picPosition = bag.ReadProperty(QStringLiteral("PicPosition"), 0).toInt();
    m_picture = bag.ReadProperty(QStringLiteral("Picture"), QPixmap()).value<QPixmap>();
    m_pictureDown = bag.ReadProperty(QStringLiteral("PictureDown"), QPixmap()).value<QPixmap>();
    m_pictureOver = bag.ReadProperty(QStringLiteral("PictureOver"), QPixmap()).value<QPixmap>();
    m_spacing = bag.ReadProperty(QStringLiteral("Spacing"), 5).toInt();
    m_state = bag.ReadProperty(QStringLiteral("State"), 0).toInt();
    m_style = bag.ReadProperty(QStringLiteral("Style"), 1).toInt();
    m_toggle = bag.ReadProperty(QStringLiteral("Toggle"), false).toBool();
    if (Ambient::userMode())
        QWidget::setEnabled(m_enabled);
    setAccessKey();
    stileBordi();
    remeasure();
    update();
}

void slxButton::writeProperties(PropertyBag &bag) const
{
    const int face = SystemColors::vbButtonFace;
    const int text = SystemColors::vbButtonText;
    bag.WriteProperty(QStringLiteral("BackColor"), m_backColor, face);
    bag.WriteProperty(QStringLiteral("BorderFocus"), m_borderFocus, false);
    bag.WriteProperty(QStringLiteral("Caption"), m_caption, QString());
    bag.WriteProperty(QStringLiteral("Enabled"), m_enabled, true);
    bag.WriteProperty(QStringLiteral("FlatOver"), m_flatOver, false);
    bag.WriteProperty(QStringLiteral("FocusRect"), m_focusRect, true);
    bag.WriteProperty(QStringLiteral("Font"), font(), Ambient::font(this));
    bag.WriteProperty(QStringLiteral("ForeColor"), m_foreColor, text);
    bag.WriteProperty(QStringLiteral("ForeDown"), m_foreDown, text);
    bag.WriteProperty(QStringLiteral("ForeOver"), m_foreOver, text);
    m_mouse.write(bag);
    bag.WriteProperty(QStringLiteral("PicPosition"), m_picPosition, 0);
    if (!m_picture.isNull())
        bag.WriteProperty(QStringLiteral("Picture"), m_picture);
    if (!m_pictureDown.isNull())
        bag.WriteProperty(QStringLiteral("PictureDown"), m_pictureDown);
    if (!m_pictureOver.isNull())
        bag.WriteProperty(QStringLiteral("PictureOver"), m_pictureOver);
    bag.WriteProperty(QStringLiteral("Spacing"), m_spacing, 5);
    bag.WriteProperty(QStringLiteral("State"), m_state, 0);
    bag.WriteProperty(QStringLiteral("Style"), m_style, 1);
    bag.WriteProperty(QStringLiteral("Toggle"), m_toggle, false);
}

void slxButton::stileBordi()
{
    if (m_style == 1) {
        m_edgeOver = Edges::BDR_RAISEDINNER;
        m_edgeDown = Edges::BDR_SUNKENOUTER;
        m_edgeWidth = 1;
    } else {
        m_edgeOver = Edges::EDGE_RAISED;
        m_edgeDown = Edges::EDGE_SUNKEN;
        m_edgeWidth = 2;
    }
}

void slxButton::setAccessKey()
{
    m_shortcutId = Ambient::setAccessKey(this, m_shortcutId, m_caption);
}

void slxButton::premiBottone()
{
    if (m_toggle) {
        m_state = m_state == 1 ? 0 : 1;
        update();
    }
    Q_EMIT Click();
}

void slxButton::pointerLeft()
{
    m_over = false;
    update();
    Q_EMIT MouseOut();
}

void slxButton::repaintFocus()
{
    if (m_flatOver || m_focusRect || m_borderFocus)
        update();
}

bool slxButton::event(QEvent *e)
{
    if (e->type() == QEvent::Shortcut) {
        premiBottone();
        return true;
    }
    return QWidget::event(e);
}

void slxButton::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::EnabledChange && !isEnabled()) {
        // A disabled button hears no more of the mouse or keys: it drops a
        // hover or press it could no longer end.
        const bool wasOver = m_over;
        m_hover->stop();
        m_over = false;
        m_pressed = false;
        update();
        if (wasOver)
            Q_EMIT MouseOut();
    }
    CaptionButton::changeEvent(e);
}

void slxButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), SystemColors::toColor(m_backColor, palette()));
    const bool disabled = !isEnabled();
    const int W = width();
    const int H = height();

    int edge;
    int colour;
    QPixmap picture;
    int shift = 0;
    if (m_pressed || (m_toggle && m_state == 1)) {
        edge = m_edgeDown;
        colour = m_foreDown;
        picture = !m_pictureDown.isNull() ? m_pictureDown
                  : !m_pictureOver.isNull() ? m_pictureOver : m_picture;
        shift = m_edgeWidth;
    } else if (m_over) {
        edge = m_edgeOver;
        colour = m_foreOver;
        picture = !m_pictureOver.isNull() ? m_pictureOver : m_picture;
    } else {
        edge = m_flatOver ? 0 : m_edgeOver;
        colour = m_foreColor;
        picture = m_picture;
    }

    QRect edgeRect(0, 0, W, H);
    if (m_focus && m_borderFocus) {
        painter.setPen(Qt::black);
        painter.drawRect(0, 0, W - 1, H - 1);
        edgeRect = QRect(1, 1, W - 2, H - 2);
    }
    if (edge != 0) {
        QRect r = edgeRect;
        Edges::drawEdge(painter, r, edge, Edges::BF_RECT, palette());
    }
    m_layout.draw(painter, shift, picture, m_caption, SystemColors::toColor(colour, palette()),
                  disabled, this);
    if (m_focus && m_focusRect) {
        const int inset = m_edgeWidth + 2;
        Edges::drawFocusRect(painter, edgeRect.adjusted(inset, inset, -inset, -inset), palette());
    }
}

void slxButton::showEvent(QShowEvent *e)
{
    m_focus = false;
    QWidget::showEvent(e);
}

void slxButton::mouseMoveEvent(QMouseEvent *e)
{
    const Qt::MouseButtons buttons = e->buttons();
    if (buttons == Qt::NoButton) {
        if (!m_over) {
            m_over = true;
            m_hover->start();
            update();
            Q_EMIT MouseIn();
        }
        return;
    }
    if (buttons != Qt::LeftButton)
        return;
    const bool outside = !Ambient::contains(this, e->position().toPoint());
    if (outside && m_pressed) {
        m_pressed = false;
        update();
    } else if (!outside && !m_pressed) {
        m_pressed = true;
        update();
    }
}

void slxButton::mousePressEvent(QMouseEvent *e)
{
    m_hover->stop();
    if (e->button() == Qt::LeftButton) {
        m_pressed = true;
        update();
    }
}

void slxButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        update();
        premiBottone();
    }
    if (m_over)
        m_hover->start();
}

void slxButton::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Space:
        if (!m_pressed) {
            m_pressed = true;
            update();
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the button the window shows highlighted, the one
        // with the focus: Qt's dialogs pass Enter on only to their own push
        // buttons, never to this one. A held key presses it once.
        if (!e->isAutoRepeat())
            premiBottone();
        break;
    case Qt::Key_Up:
    case Qt::Key_Left:
        KeySender::sendTab(true);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        KeySender::sendTab(false);
        break;
    default:
        QWidget::keyPressEvent(e);
    }
}

void slxButton::keyReleaseEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        if (m_pressed) {
            m_pressed = false;
            update();
            premiBottone();
        }
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void slxButton::focusInEvent(QFocusEvent *e)
{
    m_focus = true;
    repaintFocus();
    QWidget::focusInEvent(e);
}

void slxButton::focusOutEvent(QFocusEvent *e)
{
    m_focus = false;
    repaintFocus();
    QWidget::focusOutEvent(e);
}
