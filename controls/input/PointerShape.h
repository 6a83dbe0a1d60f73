#pragma once

#include <QPixmap>

class PropertyBag;
class QWidget;

// The MousePointer and MouseIcon properties of an owner-drawn control: the
// pointer shown over it (the values of Ambient::applyMousePointer) and the
// picture of the custom one, applied and persisted alike by every control.
class PointerShape
{
public:
    explicit PointerShape(QWidget *control) : m_control(control) {}

    int pointer() const { return m_pointer; }
    // Values travel as Integer: only the low 16 bits are kept.
    void setPointer(int value);
    QPixmap icon() const { return m_icon; }
    void setIcon(const QPixmap &value);

    void read(const PropertyBag &bag);
    void write(PropertyBag &bag) const;

private:
    QWidget *m_control;
    int m_pointer = 0;
    QPixmap m_icon;
};
