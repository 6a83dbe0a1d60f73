#include "slxLabel.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "Ambient.h"
#include "CaptionLayout.h"
#include "Edges.h"
#include "KeyCodes.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "slxModule.h"

namespace {
constexpr int DT_CENTER = 0x1;
constexpr int DT_RIGHT = 0x2;
constexpr int DT_VCENTER = 0x4;
constexpr int DT_WORDBREAK = 0x10;

int vbEffect(Qt::DropAction action)
{
    switch (action) {
    case Qt::CopyAction:
        return 1;
    case Qt::MoveAction:
        return 2;
    default:
        return 0;
    }
}

Qt::DropAction dropAction(int effect)
{
    if (effect & 2)
        return Qt::MoveAction;
    if (effect & 1)
        return Qt::CopyAction;
    return Qt::IgnoreAction;
}
}

slxLabel::slxLabel(QWidget *parent)
    : QWidget(parent),
      m_backColor(Ambient::backColor(this)),
      m_foreColor(Ambient::foreColor(this)),
      m_textColor(m_foreColor)
{
    slxModule::initControlMetrics();
    setAttribute(Qt::WA_OpaquePaintEvent);
    flagsAllineamento();
}

slxLabel::~slxLabel() = default;

void slxLabel::setAlignment(int value)
{
    m_alignment = value;
    flagsAllineamento();
    relayout();
}

void slxLabel::setAppearance(int value)
{
    m_appearance = value;
    stileBordo();
    relayout();
}

void slxLabel::setBackColor(int value)
{
    m_backColor = value;
    update();
}

void slxLabel::setCaption(const QString &value)
{
    m_caption = value;
    m_shortcutId = Ambient::setAccessKey(this, m_shortcutId, m_caption);
    relayout();
}

void slxLabel::setEnabled(bool value)
{
    m_enabled = value;
    if (Ambient::userMode()) {
        applyTextColor();
        QWidget::setEnabled(value);
        update();
    }
}

void slxLabel::setForeColor(int value)
{
    m_foreColor = value;
    applyTextColor();
    update();
}

void slxLabel::setMarginX(int value)
{
    m_marginX = value;
    relayout();
}

void slxLabel::setMarginY(int value)
{
    m_marginY = value;
    relayout();
}

void slxLabel::setMultiLine(bool value)
{
    m_multiLine = value;
    applyTextColor();
    flagsAllineamento();
    relayout();
}

void slxLabel::setPosition(int value)
{
    m_position = value;
    relayout();
}

void slxLabel::initNewInstance()
{
    m_backColor = Ambient::backColor(this);
    m_foreColor = Ambient::foreColor(this);
    setFont(QFont());
    m_caption = objectName();
    m_enabled = true;
    m_marginX = 5;
    m_marginY = 3;
    m_textColor = m_foreColor;
    relayout();
}

void slxLabel::readProperties(const PropertyBag &bag)
{
    m_alignment = bag.ReadProperty(QStringLiteral("Alignment"), 0).toInt();
    m_appearance = bag.ReadProperty(QStringLiteral("Appearance"), 0).toInt();
    m_backColor = bag.ReadProperty(QStringLiteral("BackColor"), Ambient::backColor(this)).toInt();
    m_caption = bag.ReadProperty(QStringLiteral("Caption"), QString()).toString();
    m_enabled = bag.ReadProperty(QStringLiteral("Enabled"), true).toBool();
    setFont(bag.contains(QStringLiteral("Font"))
                ? bag.ReadProperty(QStringLiteral("Font")).value<QFont>() : QFont());
    m_foreColor = bag.ReadProperty(QStringLiteral("ForeColor"), Ambient::foreColor(this)).toInt();
    m_marginX = bag.ReadProperty(QStringLiteral("MarginX"), 5).toInt();
    m_marginY = bag.ReadProperty(QStringLiteral("MarginY"), 3).toInt();
    m_mouse.read(bag);
    m_multiLine = bag.ReadProperty(QStringLiteral("MultiLine"), false).toBool();
    m_position = bag.ReadProperty(QStringLiteral("Position"), 0).toInt();
    m_textColor = m_foreColor;
    if (Ambient::userMode()) {
        QWidget::setEnabled(m_enabled);
        applyTextColor();
    }
    stileBordo();
    flagsAllineamento();
    m_shortcutId = Ambient::setAccessKey(this, m_shortcutId, m_caption);
    relayout();
}

void slxLabel::writeProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("Alignment"), m_alignment, 0);
    bag.WriteProperty(QStringLiteral("Appearance"), m_appearance, 0);
    bag.WriteProperty(QStringLiteral("BackColor"), m_backColor, Ambient::backColor(this));
    bag.WriteProperty(QStringLiteral("Caption"), m_caption, QString());
    bag.WriteProperty(QStringLiteral("Enabled"), m_enabled, true);
    bag.WriteProperty(QStringLiteral("Font"), font(), Ambient::font(this));
    bag.WriteProperty(QStringLiteral("ForeColor"), m_foreColor, Ambient::foreColor(this));
    bag.WriteProperty(QStringLiteral("MarginX"), m_marginX, 5);
    bag.WriteProperty(QStringLiteral("MarginY"), m_marginY, 3);
    m_mouse.write(bag);
    bag.WriteProperty(QStringLiteral("MultiLine"), m_multiLine, false);
    bag.WriteProperty(QStringLiteral("Position"), m_position, 0);
}

QRect slxLabel::textBox() const
{
    return QRect(m_boxLeft, m_boxTop, m_boxThird, m_boxFourth);
}

void slxLabel::stileBordo()
{
    static const int edges[] = {0,
                                0,
                                Edges::EDGE_RAISED,
                                Edges::BDR_RAISEDINNER,
                                Edges::BDR_RAISEDOUTER,
                                Edges::EDGE_SUNKEN,
                                Edges::BDR_SUNKENOUTER,
                                Edges::BDR_SUNKENINNER,
                                Edges::EDGE_BUMP,
                                Edges::EDGE_ETCHED,
                                Edges::EDGE_BUMP};
    if (m_appearance < 0 || m_appearance > 10)
        m_edge = Edges::EDGE_ETCHED;
    else
        m_edge = edges[m_appearance];
}

void slxLabel::flagsAllineamento()
{
    m_textFlags = DT_WORDBREAK | DT_VCENTER;
    if (m_alignment == 1)
        m_textFlags |= DT_RIGHT;
    else if (m_alignment == 2)
        m_textFlags |= DT_CENTER;
}

void slxLabel::applyTextColor()
{
    const bool disabled = Ambient::userMode() && !m_enabled;
    m_textColor = disabled && m_multiLine ? SystemColors::vbGrayText : m_foreColor;
}

void slxLabel::relayout()
{
    if (!m_caption.isEmpty()) {
        const int W = width();
        const int H = height();
        const int mx = m_marginX;
        const int my = m_marginY;
        int left = mx;
        int top = my;
        const int right = W - mx - 1;
        int bottom = H - my - 1;
        const QFontMetrics metrics(font());
        if (!m_multiLine) {
            if (m_alignment != 0) {
                const int room = right - left;
                const int tw = metrics.horizontalAdvance(m_caption);
                if (tw < room)
                    left += m_alignment == 2 ? (room - tw) / 2 : room - tw;
            }
            const int th = metrics.height();
            if (m_position == 0)
                top = my;
            else if (m_position == 1)
                top = my + (bottom - my - th) / 2;
            else
                top = H - th - my;
            m_boxLeft = left;
            m_boxTop = top;
            m_boxThird = right - left;
            m_boxFourth = th;
        } else {
            if (m_position != 0) {
                const int room = bottom - top;
                const int h = metrics.boundingRect(QRect(left, top, right - left, room),
                                                   Qt::TextWordWrap | Qt::TextShowMnemonic,
                                                   m_caption).height();
                if (h < room)
                    top += m_position == 1 ? (room - h) / 2 : room - h;
            }
            m_boxLeft = left;
            m_boxTop = top;
            m_boxThird = right;
            m_boxFourth = bottom;
        }
    }
    update();
}

bool slxLabel::event(QEvent *e)
{
    if (e->type() == QEvent::Shortcut) {
        // A label takes no focus: its access key reaches the control after it.
        for (QWidget *next = nextInFocusChain(); next && next != this;
             next = next->nextInFocusChain()) {
            if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(window())
                && next->isEnabled() && next->window() == window()) {
                next->setFocus(Qt::ShortcutFocusReason);
                break;
            }
        }
        return true;
    }
    return QWidget::event(e);
}

void slxLabel::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::FontChange)
        relayout();
    QWidget::changeEvent(e);
}

void slxLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), SystemColors::toColor(m_backColor, palette()));
    const int Wp = width();
    const int Hp = height();
    if (m_edge != 0) {
        QRect r(0, 0, Wp, Hp);
        Edges::drawEdge(painter, r, m_edge,
                        m_appearance < 10 ? Edges::BF_RECT : Edges::BF_BOTTOM, palette());
    } else if (m_appearance == 1) {
        painter.setPen(Qt::black);
        painter.drawRect(0, 0, Wp - 1, Hp - 1);
    }
    if (m_caption.isEmpty())
        return;
    const QColor colour = SystemColors::toColor(m_textColor, palette());
    if (m_multiLine) {
        int flags = Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignTop;
        if (m_textFlags & DT_RIGHT)
            flags |= Qt::AlignRight;
        else if (m_textFlags & DT_CENTER)
            flags |= Qt::AlignHCenter;
        else
            flags |= Qt::AlignLeft;
        const QRect box(m_boxLeft, m_boxTop, m_boxThird - m_boxLeft, m_boxFourth - m_boxTop);
        painter.setClipRect(box);
        painter.setPen(colour);
        painter.drawText(box, flags, m_caption);
    } else {
        painter.setClipRect(textBox());
        CaptionLayout::drawPrefixText(painter, QPoint(m_boxLeft, m_boxTop), m_caption, colour,
                                      !isEnabled(), palette());
    }
}

void slxLabel::resizeEvent(QResizeEvent *e)
{
    relayout();
    QWidget::resizeEvent(e);
}

void slxLabel::raiseMouse(QMouseEvent *e, int kind)
{
    const int button =
        KeyCodes::buttonState(kind == 1 ? e->buttons() : Qt::MouseButtons(e->button()));
    const int shift = KeyCodes::shiftState(e->modifiers());
    const float x = float(e->position().x() * slxModule::twipsPerPixelX);
    const float y = float(e->position().y() * slxModule::twipsPerPixelY);
    if (kind == 0)
        Q_EMIT MouseDown(button, shift, x, y);
    else if (kind == 1)
        Q_EMIT MouseMove(button, shift, x, y);
    else
        Q_EMIT MouseUp(button, shift, x, y);
}

void slxLabel::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_pressed = true;
    raiseMouse(e, 0);
}

void slxLabel::mouseMoveEvent(QMouseEvent *e)
{
    raiseMouse(e, 1);
}

void slxLabel::mouseReleaseEvent(QMouseEvent *e)
{
    raiseMouse(e, 2);
    if (e->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        if (rect().contains(e->position().toPoint()))
            Q_EMIT Click();
    }
}

void slxLabel::raiseDragOver(QDragMoveEvent *e, int state)
{
    int effect = vbEffect(e->proposedAction());
    const QPointF p = e->position();
    Q_EMIT OLEDragOver(e->mimeData(), effect, KeyCodes::buttonState(e->buttons()),
                       KeyCodes::shiftState(e->modifiers()),
                       float(p.x() * slxModule::twipsPerPixelX),
                       float(p.y() * slxModule::twipsPerPixelY), state);
    e->setDropAction(dropAction(effect));
    e->setAccepted(effect != 0);
}

void slxLabel::dragEnterEvent(QDragEnterEvent *e)
{
    raiseDragOver(e, 0);
}

void slxLabel::dragMoveEvent(QDragMoveEvent *e)
{
    raiseDragOver(e, 2);
}

void slxLabel::dragLeaveEvent(QDragLeaveEvent *)
{
    int effect = 0;
    Q_EMIT OLEDragOver(nullptr, effect, 0, 0, 0.0f, 0.0f, 1);
}

void slxLabel::dropEvent(QDropEvent *e)
{
    int effect = vbEffect(e->proposedAction());
    const QPointF p = e->position();
    Q_EMIT OLEDragDrop(e->mimeData(), effect, KeyCodes::buttonState(e->buttons()),
                       KeyCodes::shiftState(e->modifiers()),
                       float(p.x() * slxModule::twipsPerPixelX),
                       float(p.y() * slxModule::twipsPerPixelY));
    e->setDropAction(dropAction(effect));
    e->setAccepted(effect != 0);
}
