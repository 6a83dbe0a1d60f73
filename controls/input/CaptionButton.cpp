#include "CaptionButton.h"

#include <QEvent>

#include "Ambient.h"
#include "HoverWatch.h"
#include "SystemColors.h"
#include "slxModule.h"

CaptionButton::CaptionButton(QWidget *parent)
    : QWidget(parent), m_backColor(SystemColors::vbButtonFace), m_hover(new HoverWatch(this))
{
    slxModule::initControlMetrics();
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CaptionButton::setBackColor(int value)
{
    m_backColor = value;
    update();
}

void CaptionButton::setCaption(const QString &value)
{
    m_caption = value;
    m_layout.measureCaption(m_caption, font());
    relayout();
    update();
}

void CaptionButton::setEnabled(bool value)
{
    m_enabled = value;
    if (Ambient::userMode()) {
        QWidget::setEnabled(value);
        update();
    }
}

void CaptionButton::setPicPosition(int value)
{
    m_picPosition = value;
    relayout();
    update();
}

void CaptionButton::setPicture(const QPixmap &value)
{
    m_picture = value;
    m_layout.measurePicture(m_picture);
    relayout();
    update();
}

void CaptionButton::setSpacing(int value)
{
    m_spacing = value;
    relayout();
    update();
}

void CaptionButton::remeasure()
{
    m_layout.measureCaption(m_caption, font());
    m_layout.measurePicture(m_picture);
    relayout();
}

void CaptionButton::relayout()
{
    m_layout.layout(width(), height(), m_picPosition, m_spacing, m_edgeWidth);
}

void CaptionButton::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::FontChange) {
        m_layout.measureCaption(m_caption, font());
        relayout();
        update();
    }
    QWidget::changeEvent(e);
}

void CaptionButton::resizeEvent(QResizeEvent *e)
{
    relayout();
    QWidget::resizeEvent(e);
}
