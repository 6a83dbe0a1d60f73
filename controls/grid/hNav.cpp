#include "hNav.h"

#include "Ambient.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "slxLabel.h"
#include "slxModule.h"
#include "tbButton.h"

// The buttons are square, as high as the label: 375 twips.
hNav::hNav(QWidget *parent) : ArrowBar(parent, 375), m_text(QStringLiteral("Record"))
{
    const int w = tbn.first()->width();
    for (int i = 0; i < 4; ++i) {
        tbn[i]->setEnabled(false);
        connect(tbn[i], &tbButton::Click, this, [this, i] { press(i); });
    }
    slNav = new slxLabel(this);
    slNav->setObjectName(QStringLiteral("slNav"));
    slNav->setAlignment(2);
    slNav->setAppearance(3);
    slNav->setPosition(1);
    slNav->resize(2355 / qMax(slxModule::twipsPerPixelX, 1), w);
    resize(4245 / qMax(slxModule::twipsPerPixelX, 1), w);
    applyAppearance();
}

hNav::~hNav() = default;

// ---------------------------------------------------------------- properties

int hNav::BackColor() const
{
    return slNav->BackColor();
}

void hNav::setBackColor(int value)
{
    slNav->setBackColor(value);
    for (tbButton *b : tbn)
        b->setBackColor(value);
    changed("BackColor");
}

void hNav::setCaption(const QString &value)
{
    m_caption = value;
    slNav->setCaption(value);
    m_showsPosition = false;
    changed("Caption");
}

void hNav::setEnabled(bool value)
{
    const bool was = m_enabled;
    m_enabled = value;
    changed("Enabled");
    if (!Ambient::userMode())
        return;
    QWidget::setEnabled(value);
    slNav->setEnabled(value);
    if (value) {
        // Only a real return from disabled brings back the text it showed;
        // a repeated Enabled = True leaves the label as it is. A position is
        // shown as it is now, never as it was when the bar was disabled.
        if (!was)
            refreshBarra(m_savedPosition ? QString() : m_savedCaption);
    } else {
        if (was) {
            m_savedCaption = slNav->Caption();
            m_savedPosition = m_showsPosition;
        }
        for (tbButton *b : tbn)
            b->setEnabled(false);
    }
}

int hNav::ForeColor() const
{
    return slNav->ForeColor();
}

void hNav::setForeColor(int value)
{
    slNav->setForeColor(value);
    changed("ForeColor");
}

QFont hNav::Font() const
{
    return slNav->font();
}

void hNav::setFont(const QFont &value)
{
    slNav->setFont(value);
    changed("Font");
}

int hNav::LabelAppearance() const
{
    return slNav->Appearance();
}

void hNav::setLabelAppearance(int value)
{
    slNav->setAppearance(value);
    changed("LabelAppearance");
}

void hNav::setText(const QString &value)
{
    m_text = value;
    changed("Text");
}

void hNav::setValue(int value)
{
    m_value = value;
    refreshBarra();
}

void hNav::refreshBarra(const QString &pCaption)
{
    tbn[0]->setEnabled(m_value >= 2);
    tbn[1]->setEnabled(m_value >= 2);
    tbn[2]->setEnabled(m_value < m_max);
    tbn[3]->setEnabled(m_value < m_max);
    m_showsPosition = pCaption.isEmpty() && m_value > 0;
    if (!pCaption.isEmpty())
        slNav->setCaption(pCaption);
    else if (m_value > 0)
        slNav->setCaption(m_text + QLatin1Char(' ') + QString::number(m_value)
                          + QStringLiteral(" di ") + QString::number(m_max));
    else
        // No position (no records left): no stale "Record 3 di 3".
        slNav->setCaption(m_caption);
}

void hNav::press(int index)
{
    bool Cancel = false;
    int Bottone = index;
    emit Click(Cancel, Bottone);
    if (Cancel)
        return;
    switch (Bottone) {
    case 0:
        m_value = 1;
        break;
    case 1:
        --m_value;
        break;
    case 2:
        ++m_value;
        break;
    default:
        m_value = m_max;
        break;
    }
    refreshBarra();
}

// ---------------------------------------------------------------- layout

int hNav::innerHeight() const
{
    return slNav->height();
}

void hNav::resizeEvent(QResizeEvent *)
{
    layoutBar(slNav, m_border);
}

// ---------------------------------------------------------------- persistence

void hNav::initNewInstance()
{
    m_caption = objectName();
    slNav->setFont(Ambient::font(this));
    slNav->setCaption(m_caption);
    m_enabled = true;
    m_text = QStringLiteral("Record");
    m_appearance = 0;
    applyAppearance();
}

void hNav::readProperties(const PropertyBag &bag)
{
    const auto rd = [&bag](const char *key, const QVariant &def) {
        return bag.ReadProperty(QLatin1String(key), def);
    };
    m_appearance = rd("Appearance", 0).toInt();
    slNav->setBackColor(rd("BackColor", SystemColors::vbButtonFace).toInt());
    slNav->setFont(rd("Font", Ambient::font(this)).value<QFont>());
    slNav->setForeColor(rd("ForeColor", SystemColors::vbButtonText).toInt());
    m_caption = rd("Caption", QString()).toString();
    m_text = rd("Text", QStringLiteral("Record")).toString();
    slNav->setAppearance(rd("LabelAppearance", 3).toInt());
    const bool flat = rd("ButtonsFlat", false).toBool();
    for (tbButton *b : tbn) {
        b->setBackColor(slNav->BackColor());
        if (flat)
            b->setFlat(true);
    }
    slNav->setCaption(m_caption);
    applyAppearance();
    setEnabled(rd("Enabled", true).toBool());
}

void hNav::writeProperties(PropertyBag &bag) const
{
    const auto wr = [&bag](const char *key, const QVariant &value, const QVariant &def) {
        bag.WriteProperty(QLatin1String(key), value, def);
    };
    wr("Appearance", m_appearance, 0);
    wr("BackColor", BackColor(), SystemColors::vbButtonFace);
    wr("Caption", m_caption, QString());
    wr("Enabled", m_enabled, true);
    wr("Font", Font(), Ambient::font(this));
    wr("ForeColor", ForeColor(), SystemColors::vbButtonText);
    wr("Text", m_text, QStringLiteral("Record"));
    wr("ButtonsFlat", ButtonsFlat(), false);
    wr("LabelAppearance", LabelAppearance(), 3);
}
