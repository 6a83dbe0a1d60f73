#include "PointerShape.h"

#include "Ambient.h"
#include "PropertyBag.h"

void PointerShape::setPointer(int value)
{
    m_pointer = qint16(value);
    Ambient::applyMousePointer(m_control, m_pointer, m_icon);
}

void PointerShape::setIcon(const QPixmap &value)
{
    m_icon = value;
    Ambient::applyMousePointer(m_control, m_pointer, m_icon);
}

void PointerShape::read(const PropertyBag &bag)
{
    m_icon = bag.ReadProperty(QStringLiteral("MouseIcon"), QPixmap()).value<QPixmap>();
    setPointer(bag.ReadProperty(QStringLiteral("MousePointer"), 0).toInt());
}

void PointerShape::write(PropertyBag &bag) const
{
    if (!m_icon.isNull())
        bag.WriteProperty(QStringLiteral("MouseIcon"), m_icon);
    bag.WriteProperty(QStringLiteral("MousePointer"), m_pointer, 0);
}
