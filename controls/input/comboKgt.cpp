#include "comboKgt.h"

#include <QComboBox>

#include "Ambient.h"
#include "PropertyBag.h"
#include "StoredValue.h"
#include "SystemColors.h"

comboKgt::comboKgt(QWidget *parent)
    : comboHost(false, parent)
{
    cmb->addItem(QStringLiteral("Kg"));
    cmb->addItem(QStringLiteral("t"));
    cmb->setCurrentIndex(0);
    takeShown();
}

bool comboKgt::Changed() const
{
    return !showsTaken();
}

void comboKgt::setField(const QString &field)
{
    m_field = field;
    Q_EMIT PropertyChanged(QStringLiteral("Field"));
}

int comboKgt::Value() const
{
    return cmb->currentIndex() + 1;
}

void comboKgt::setValue(const QVariant &value)
{
    // A unit code is only ever 1 or 2; a text of digits counts as its number.
    qint64 code = 0;
    const bool none = noUnit(value);
    cmb->setCurrentIndex(none ? -1 : StoredValue::whole(value, &code) && code == 2 ? 1 : 0);
    holdStored(none ? value : QVariant());
    takeShown();
    Q_EMIT PropertyChanged(QStringLiteral("Value"));
}

QVariant comboKgt::valueToStore() const
{
    return holdsStored() ? heldStored() : QVariant(Value());
}

bool comboKgt::noUnit(const QVariant &Valore)
{
    qint64 code = 0;
    return !Valore.isNull() && !StoredValue::whole(Valore, &code);
}

QString comboKgt::Text4Value(const QVariant &Valore)
{
    bool ok = false;
    const int code = Valore.isNull() ? 0 : Valore.toInt(&ok);
    if (ok && code == 2)
        return QStringLiteral("t");
    if (ok && code == 1)
        return QStringLiteral("Kg");
    return QString();
}

int comboKgt::Value4Text(const QString &Testo)
{
    if (Testo == QLatin1String("t"))
        return 2;
    if (Testo == QLatin1String("Kg"))
        return 1;
    return 0;
}

void comboKgt::initNewInstance()
{
    cmb->setFont(Ambient::font(this));
    relayout();
    setEnabled(true);
    cmb->setCurrentIndex(0);
}

void comboKgt::readProperties(const PropertyBag &bag)
{
    setBackColor(bag.ReadProperty(QStringLiteral("BackColor"), SystemColors::vbWindowBackground).toInt());
    setForeColor(bag.ReadProperty(QStringLiteral("ForeColor"), SystemColors::vbWindowText).toInt());
    setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    setField(bag.ReadProperty(QStringLiteral("Field"), QString()).toString());
    setFont(bag.ReadProperty(QStringLiteral("Font"), Ambient::font(this)).value<QFont>());
    setLocked(bag.ReadProperty(QStringLiteral("Locked"), false).toBool());
    setValue(bag.ReadProperty(QStringLiteral("Value"), 1));
}

void comboKgt::writeProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), BackColor(), SystemColors::vbWindowBackground);
    bag.WriteProperty(QStringLiteral("ForeColor"), ForeColor(), SystemColors::vbWindowText);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("Field"), m_field, QString());
    bag.WriteProperty(QStringLiteral("Font"), Font(), Ambient::font(this));
    bag.WriteProperty(QStringLiteral("Locked"), Locked(), false);
    bag.WriteProperty(QStringLiteral("Value"), Value(), 1);
}

void comboKgt::keyPress(int &KeyAscii)
{
    Q_EMIT KeyPress(KeyAscii);
}
