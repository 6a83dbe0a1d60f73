#include "hNav.h"

#include <QPainter>
#include <QPainterPath>

#include "Ambient.h"
#include "Edges.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "slxLabel.h"
#include "slxModule.h"
#include "tbButton.h"

namespace {

// The buttons are square, as high as the label: 375 twips.
constexpr int buttonTwips = 375;

int buttonPixels()
{
    return buttonTwips / qMax(slxModule::twipsPerPixelX, 1);
}

} // namespace

hNav::hNav(QWidget *parent) : QWidget(parent), m_text(QStringLiteral("Record"))
{
    slxModule::initControlMetrics();
    const int w = buttonPixels();
    for (int i = 0; i < 4; ++i) {
        auto *b = new tbButton(this);
        b->setObjectName(QStringLiteral("tbn_%1").arg(i));
        b->setCaption(QString());
        b->setPicture(buttonPicture(i));
        b->resize(w, w);
        b->setEnabled(false);
        connect(b, &tbButton::Click, this, [this, i] { press(i); });
        tbn << b;
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

void hNav::changed(const char *key)
{
    emit PropertyChanged(QLatin1String(key));
}

int hNav::borderEdge(int &appearance, int &borderPixels)
{
    static const int table[10][2] = {{0, 0}, {0, 1}, {Edges::EDGE_RAISED, 2},
                                     {Edges::BDR_RAISEDINNER, 1}, {Edges::BDR_RAISEDOUTER, 1},
                                     {Edges::EDGE_SUNKEN, 2}, {Edges::BDR_SUNKENOUTER, 1},
                                     {Edges::BDR_SUNKENINNER, 1}, {Edges::EDGE_BUMP, 2},
                                     {Edges::EDGE_ETCHED, 2}};
    if (appearance < 0 || appearance > 9)
        appearance = 0;
    borderPixels = table[appearance][1];
    return table[appearance][0];
}

void hNav::paintBorder(QWidget *bar, int appearance, int edge)
{
    QPainter painter(bar);
    QRect r = bar->rect();
    if (edge != 0) {
        Edges::drawEdge(painter, r, edge, Edges::BF_RECT, bar->palette());
    } else if (appearance == 1) {
        painter.setPen(bar->palette().color(QPalette::Shadow));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

QPixmap hNav::buttonPicture(int index)
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

// ---------------------------------------------------------------- properties

void hNav::setAppearance(int value)
{
    m_appearance = value;
    applyAppearance();
    changed("Appearance");
}

void hNav::applyAppearance()
{
    m_edge = borderEdge(m_appearance, m_border);
    const int w = tbn.first()->width();
    setFixedHeight(slNav->height() + 2 * m_border);
    setMinimumWidth(5 * w + 2 * m_border);
    resizeEvent(nullptr);
    update();
}

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

bool hNav::ButtonsFlat() const
{
    return tbn.first()->Flat();
}

void hNav::setButtonsFlat(bool value)
{
    for (tbButton *b : tbn)
        b->setFlat(value);
    changed("ButtonsFlat");
}

void hNav::setCaption(const QString &value)
{
    m_caption = value;
    slNav->setCaption(value);
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
        // a repeated Enabled = True leaves the label as it is.
        if (!was)
            refreshBarra(m_savedCaption);
    } else {
        if (was)
            m_savedCaption = slNav->Caption();
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

void hNav::layoutBar(const QVector<tbButton *> &buttons, QWidget *middle, int border, int middleTop)
{
    const int w = buttons.first()->width();
    const int b = border;
    QWidget *bar = middle->parentWidget();
    buttons[0]->move(b, b);
    buttons[1]->move(b + w, b);
    middle->setGeometry(b + 2 * w, middleTop, qMax(bar->width() - 4 * w - 2 * b, 0), middle->height());
    buttons[2]->move(middle->x() + middle->width(), b);
    buttons[3]->move(buttons[2]->x() + w, b);
}

void hNav::resizeEvent(QResizeEvent *)
{
    layoutBar(tbn, slNav, m_border, m_border);
}

void hNav::paintEvent(QPaintEvent *)
{
    paintBorder(this, m_appearance, m_edge);
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
