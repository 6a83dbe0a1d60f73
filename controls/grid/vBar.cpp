#include "vBar.h"

#include <QPainter>

#include "Ambient.h"
#include "Edges.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "slxModule.h"
#include "tbButton.h"

vBar::vBar(QWidget *parent)
    : QWidget(parent),
      UnderlineColor(SystemColors::vbButtonShadow),
      m_backColor(Ambient::backColor(this))
{
    slxModule::initControlMetrics();
    setAttribute(Qt::WA_OpaquePaintEvent);

    auto *menuTemplate = new tbButton(this);
    menuTemplate->setObjectName(QStringLiteral("tbMenu_0"));
    menuTemplate->setCaption(QStringLiteral("Menu"));
    menuTemplate->resize(menuTemplate->width(), 25);
    menuTemplate->hide();
    tbMenu.append(menuTemplate);

    auto *buttonTemplate = new tbButton(this);
    buttonTemplate->setObjectName(QStringLiteral("tbb_0"));
    buttonTemplate->setCaption(QStringLiteral("Bottone"));
    buttonTemplate->setFlat(true);
    buttonTemplate->setPicPosition(1);
    buttonTemplate->resize(buttonTemplate->width(), 55);
    buttonTemplate->hide();
    tbb.append(buttonTemplate);

    m_firstMenu = Ambient::userMode() ? 1 : 0;
}

vBar::~vBar() = default;

void vBar::setBackColor(int value)
{
    m_backColor = value;
    update();
}

void vBar::setEnabled(bool value)
{
    m_enabled = value;
    if (Ambient::userMode())
        update();
}

int vBar::ButtonBackColor() const { return tbb[0]->BackColor(); }
void vBar::setButtonBackColor(int value) { tbb[0]->setBackColor(value); }
bool vBar::ButtonFlat() const { return tbb[0]->Flat(); }
void vBar::setButtonFlat(bool value) { tbb[0]->setFlat(value); }
QFont vBar::ButtonFont() const { return tbb[0]->font(); }
void vBar::setButtonFont(const QFont &value) { tbb[0]->setFont(value); }
int vBar::ButtonForeColor() const { return tbb[0]->ForeColor(); }
void vBar::setButtonForeColor(int value)
{
    tbb[0]->setForeColor(value);
    update();
}
int vBar::ButtonForeOver() const { return tbb[0]->ForeOver(); }
void vBar::setButtonForeOver(int value) { tbb[0]->setForeOver(value); }
int vBar::ButtonHeight() const { return tbb[0]->height(); }
void vBar::setButtonHeight(int value) { tbb[0]->resize(tbb[0]->width(), value); }
QPixmap vBar::ButtonMouseIcon() const { return tbb[0]->MouseIcon(); }
void vBar::setButtonMouseIcon(const QPixmap &value)
{
    tbb[0]->setMouseIcon(value);
    tbb[0]->setMousePointer(value.isNull() ? 0 : 99);
}
int vBar::ButtonPicPos() const { return tbb[0]->PicPosition(); }
void vBar::setButtonPicPos(int value) { tbb[0]->setPicPosition(value); }
int vBar::ButtonSpacing() const { return tbb[0]->Spacing(); }
void vBar::setButtonSpacing(int value) { tbb[0]->setSpacing(value); }

int vBar::MenuBackColor() const { return tbMenu[0]->BackColor(); }
void vBar::setMenuBackColor(int value) { tbMenu[0]->setBackColor(value); }
bool vBar::MenuFlat() const { return tbMenu[0]->Flat(); }
void vBar::setMenuFlat(bool value) { tbMenu[0]->setFlat(value); }
QFont vBar::MenuFont() const { return tbMenu[0]->font(); }
void vBar::setMenuFont(const QFont &value) { tbMenu[0]->setFont(value); }
int vBar::MenuForeColor() const { return tbMenu[0]->ForeColor(); }
void vBar::setMenuForeColor(int value) { tbMenu[0]->setForeColor(value); }
int vBar::MenuForeOver() const { return tbMenu[0]->ForeOver(); }
void vBar::setMenuForeOver(int value) { tbMenu[0]->setForeOver(value); }
int vBar::MenuHeight() const { return tbMenu[0]->height(); }
void vBar::setMenuHeight(int value) { tbMenu[0]->resize(tbMenu[0]->width(), value); }
QPixmap vBar::MenuMouseIcon() const { return tbMenu[0]->MouseIcon(); }
void vBar::setMenuMouseIcon(const QPixmap &value)
{
    tbMenu[0]->setMouseIcon(value);
    tbMenu[0]->setMousePointer(value.isNull() ? 0 : 99);
}
int vBar::MenuPicPos() const { return tbMenu[0]->PicPosition(); }
void vBar::setMenuPicPos(int value) { tbMenu[0]->setPicPosition(value); }
int vBar::MenuSpacing() const { return tbMenu[0]->Spacing(); }
void vBar::setMenuSpacing(int value) { tbMenu[0]->setSpacing(value); }

bool vBar::menuEnabled(int Indice) const
{
    return Indice >= 0 && Indice < tbMenu.size() && tbMenu[Indice]->Enabled();
}

bool vBar::setMenuEnabled(int Indice, bool value)
{
    if (Indice < 0 || Indice >= tbMenu.size())
        return false;
    if (tbMenu[Indice]->Enabled() == value)
        return true;
    if (!value && Indice == m_openMenu)
        menuSelect(0);
    tbMenu[Indice]->setEnabled(value);
    return true;
}

bool vBar::buttonEnabled(int Indice) const
{
    return Indice >= 0 && Indice < tbb.size() && tbb[Indice]->Enabled();
}

bool vBar::setButtonEnabled(int Indice, bool value)
{
    if (Indice < 0 || Indice >= tbb.size())
        return false;
    tbb[Indice]->setEnabled(value);
    return true;
}

tbButton *vBar::copyOf(const tbButton *model)
{
    auto *b = new tbButton(this);
    b->hide();
    b->setBackColor(model->BackColor());
    b->setFlat(model->Flat());
    b->setFont(model->font());
    b->setForeColor(model->ForeColor());
    b->setForeOver(model->ForeOver());
    b->setMouseIcon(model->MouseIcon());
    b->setMousePointer(model->MousePointer());
    b->setPicPosition(model->PicPosition());
    b->setSpacing(model->Spacing());
    b->setUnderline(model->Underline());
    b->setUnderlineColor(model->UnderlineColor());
    b->resize(width() - 2, model->height());
    b->move(1, b->y());
    return b;
}

void vBar::placeWidth(tbButton *b) const
{
    b->setGeometry(1, b->y(), width() - 2, b->height());
}

bool vBar::AddMenu(const QString &Caption, const QString &ToolTip, const QPixmap &Icona)
{
    if (m_menuCount >= maxMenus)
        return false;
    ++m_menuCount;
    tbButton *header = copyOf(tbMenu[0]);
    header->setObjectName(QStringLiteral("tbMenu_%1").arg(m_menuCount));
    header->setCaption(Caption);
    header->setToolTip(ToolTip);
    header->setPicture(Icona);
    const int index = m_menuCount;
    connect(header, &tbButton::Click, this, [this, index] { menuPressed(index); });
    tbMenu.append(header);
    m_firstButton[m_menuCount] = m_nextButton;
    return true;
}

void vBar::AddButton(const QString &Caption, const QString &ToolTip, const QPixmap &Icona)
{
    tbButton *b = copyOf(tbb[0]);
    b->setObjectName(QStringLiteral("tbb_%1").arg(m_nextButton));
    b->setCaption(Caption);
    b->setToolTip(ToolTip);
    b->setPicture(Icona);
    const int index = m_nextButton;
    connect(b, &tbButton::Click, this, [this, index] { buttonPressed(index); });
    tbb.append(b);
    ++m_nextButton;
}

void vBar::Show(int Selected)
{
    const int h = MenuHeight();
    const int k = ButtonHeight();
    int top = 1;
    m_firstButton[m_menuCount + 1] = m_nextButton;
    for (int i = m_firstMenu; i <= m_menuCount; ++i) {
        tbMenu[i]->move(1, top);
        top += h;
        tbMenu[i]->show();
        if (i == Selected) {
            m_openMenu = Selected;
            for (int j = m_firstButton[i]; j < m_firstButton[i + 1]; ++j) {
                tbb[j]->move(1, top);
                top += k;
                tbb[j]->show();
            }
        }
    }
}

void vBar::menuSelect(int Selected)
{
    const int h = MenuHeight();
    const int k = ButtonHeight();
    int top = 1;
    for (int i = m_firstMenu; i <= m_menuCount; ++i) {
        tbMenu[i]->move(1, top);
        top += h;
        // Buttons added after the last Show are outside every range until
        // the next Show, so they are never reached here.
        if (i == m_openMenu) {
            for (int j = m_firstButton[i]; j < m_firstButton[i + 1]; ++j)
                tbb[j]->hide();
        }
        if (i == Selected) {
            for (int j = m_firstButton[i]; j < m_firstButton[i + 1]; ++j) {
                tbb[j]->move(1, top);
                top += k;
                tbb[j]->show();
            }
        }
    }
    m_openMenu = Selected;
}

void vBar::menuPressed(int i)
{
    const bool changed = i != m_openMenu;
    if (changed)
        menuSelect(i);
    Q_EMIT MenuClick(i, changed);
}

void vBar::buttonPressed(int j)
{
    const bool changed = j != m_lastButton;
    // The host may close the whole window from here: nothing of the bar
    // is touched after the event but the last-button index.
    m_lastButton = j;
    Q_EMIT Click(j, changed);
}

void vBar::initNewInstance()
{
    m_backColor = Ambient::backColor(this);
    m_enabled = true;
    tbb[0]->setFont(QFont());
    tbMenu[0]->setFont(QFont());
    UnderlineColor = SystemColors::vbButtonShadow;
    m_nextButton = 1;
    Show(0);
}

void vBar::readProperties(const PropertyBag &bag)
{
    const int face = SystemColors::vbButtonFace;
    const int text = SystemColors::vbButtonText;
    const QFont ambientFont = Ambient::font(this);
    m_backColor = bag.ReadProperty(QStringLiteral("BackColor"), Ambient::backColor(this)).toInt();
    m_enabled = bag.ReadProperty(QStringLiteral("Enabled"), true).toBool();
    Underline = bag.ReadProperty(QStringLiteral("Underline"), false).toBool();
    UnderlineColor = bag.ReadProperty(QStringLiteral("UnderlineColor"),
                                      SystemColors::vbButtonShadow).toInt();
    tbButton *button = tbb[0];
    button->setBackColor(bag.ReadProperty(QStringLiteral("ButtonBackColor"), face).toInt());
    button->setFlat(bag.ReadProperty(QStringLiteral("ButtonFlat"), true).toBool());
    button->setFont(bag.ReadProperty(QStringLiteral("ButtonFont"), ambientFont).value<QFont>());
    button->setForeColor(bag.ReadProperty(QStringLiteral("ButtonForeColor"), text).toInt());
    button->setForeOver(bag.ReadProperty(QStringLiteral("ButtonForeOver"), text).toInt());
    setButtonHeight(bag.ReadProperty(QStringLiteral("ButtonHeight"), 55).toInt());
    button->setMouseIcon(bag.ReadProperty(QStringLiteral("ButtonMouseIcon"), QPixmap())
                             .value<QPixmap>());
    button->setPicPosition(bag.ReadProperty(QStringLiteral("ButtonPicPos"), 0).toInt());
    button->setSpacing(bag.ReadProperty(QStringLiteral("ButtonSpacing"), 5).toInt());
    tbButton *menu = tbMenu[0];
    menu->setBackColor(bag.ReadProperty(QStringLiteral("MenuBackColor"), face).toInt());
    menu->setFlat(bag.ReadProperty(QStringLiteral("MenuFlat"), false).toBool());
    menu->setFont(bag.ReadProperty(QStringLiteral("MenuFont"), ambientFont).value<QFont>());
    menu->setForeColor(bag.ReadProperty(QStringLiteral("MenuForeColor"), text).toInt());
    menu->setForeOver(bag.ReadProperty(QStringLiteral("MenuForeOver"), text).toInt());
    setMenuHeight(bag.ReadProperty(QStringLiteral("MenuHeight"), 25).toInt());
    menu->setMouseIcon(bag.ReadProperty(QStringLiteral("MenuMouseIcon"), QPixmap())
                           .value<QPixmap>());
    menu->setPicPosition(bag.ReadProperty(QStringLiteral("MenuPicPos"), 0).toInt());
    menu->setSpacing(bag.ReadProperty(QStringLiteral("MenuSpacing"), 5).toInt());
    m_nextButton = 1;
    if (Ambient::userMode()) {
        menu->setMousePointer(menu->MouseIcon().isNull() ? 0 : 99);
        button->setMousePointer(button->MouseIcon().isNull() ? 0 : 99);
        button->setUnderline(Underline);
        button->setUnderlineColor(UnderlineColor);
        m_firstMenu = 1;
    } else {
        Show(0);
    }
    update();
}

void vBar::writeProperties(PropertyBag &bag) const
{
    const int face = SystemColors::vbButtonFace;
    const int text = SystemColors::vbButtonText;
    const tbButton *button = tbb[0];
    const tbButton *menu = tbMenu[0];
    bag.WriteProperty(QStringLiteral("BackColor"), m_backColor);
    bag.WriteProperty(QStringLiteral("Enabled"), m_enabled);
    bag.WriteProperty(QStringLiteral("Underline"), Underline, false);
    bag.WriteProperty(QStringLiteral("UnderlineColor"), UnderlineColor, SystemColors::vbButtonShadow);
    bag.WriteProperty(QStringLiteral("ButtonBackColor"), button->BackColor(), face);
    bag.WriteProperty(QStringLiteral("ButtonFlat"), button->Flat(), true);
    bag.WriteProperty(QStringLiteral("ButtonFont"), button->font());
    bag.WriteProperty(QStringLiteral("ButtonForeColor"), button->ForeColor(), text);
    bag.WriteProperty(QStringLiteral("ButtonForeOver"), button->ForeOver(), text);
    bag.WriteProperty(QStringLiteral("ButtonHeight"), button->height(), 55);
    if (!button->MouseIcon().isNull())
        bag.WriteProperty(QStringLiteral("ButtonMouseIcon"), button->MouseIcon());
    bag.WriteProperty(QStringLiteral("ButtonPicPos"), button->PicPosition(), 0);
    bag.WriteProperty(QStringLiteral("ButtonSpacing"), button->Spacing(), 5);
    bag.WriteProperty(QStringLiteral("MenuBackColor"), menu->BackColor(), face);
    bag.WriteProperty(QStringLiteral("MenuFlat"), menu->Flat(), false);
    bag.WriteProperty(QStringLiteral("MenuFont"), menu->font());
    bag.WriteProperty(QStringLiteral("MenuForeColor"), menu->ForeColor(), text);
    bag.WriteProperty(QStringLiteral("MenuForeOver"), menu->ForeOver(), text);
    bag.WriteProperty(QStringLiteral("MenuHeight"), menu->height(), 25);
    if (!menu->MouseIcon().isNull())
        bag.WriteProperty(QStringLiteral("MenuMouseIcon"), menu->MouseIcon());
    bag.WriteProperty(QStringLiteral("MenuPicPos"), menu->PicPosition(), 0);
    bag.WriteProperty(QStringLiteral("MenuSpacing"), menu->Spacing(), 5);
}

void vBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), SystemColors::toColor(m_backColor, palette()));
    QRect r = rect();
    Edges::drawEdge(painter, r, Edges::BDR_SUNKENOUTER, Edges::BF_RECT, palette());
}

void vBar::resizeEvent(QResizeEvent *e)
{
    for (tbButton *b : std::as_const(tbMenu))
        placeWidth(b);
    for (tbButton *b : std::as_const(tbb))
        placeWidth(b);
    QWidget::resizeEvent(e);
}
