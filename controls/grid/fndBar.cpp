#include "fndBar.h"

#include <QAbstractItemModel>
#include <QPainter>
#include <QTreeWidget>

#include "Ambient.h"
#include "PropertyBag.h"
#include "SystemColors.h"
#include "slxModule.h"
#include "slxText.h"
#include "tbButton.h"

namespace {

// The order of addition of a tree node, kept on the node itself.
constexpr int OrderRole = Qt::UserRole + 0x4642;
const char *const nextOrderKey = "fndBarNextOrder";

void numberSubtree(QTreeWidget *tv, QTreeWidgetItem *item)
{
    const int next = tv->property(nextOrderKey).toInt();
    item->setData(0, OrderRole, next);
    tv->setProperty(nextOrderKey, next + 1);
    for (int i = 0; i < item->childCount(); ++i)
        numberSubtree(tv, item->child(i));
}

// Every node of the tree in the order of addition (nodes nobody numbered
// keep the display order, after the numbered ones of the same standing).
QList<QTreeWidgetItem *> nodesInOrder(QTreeWidget *tv)
{
    QList<QTreeWidgetItem *> nodes;
    for (QTreeWidgetItemIterator it(tv); *it; ++it)
        nodes << *it;
    std::stable_sort(nodes.begin(), nodes.end(), [](QTreeWidgetItem *a, QTreeWidgetItem *b) {
        const QVariant oa = a->data(0, OrderRole);
        const QVariant ob = b->data(0, OrderRole);
        if (oa.isValid() != ob.isValid())
            return oa.isValid();
        return oa.isValid() && oa.toInt() < ob.toInt();
    });
    return nodes;
}

// The line the user sees as the current one. A view given the focus makes
// its first line current without selecting it: that is no position yet.
bool isShownCurrent(QTreeWidget *view)
{
    QTreeWidgetItem *item = view->currentItem();
    return item && item->isSelected();
}

} // namespace

fndBar::fndBar(QWidget *parent) : ArrowBar(parent, 330), m_backColor(SystemColors::vbButtonFace)
{
    const int w = tbn.first()->width();
    static const char *const tips[] = {"Cerca la prima ricorrenza", "Cerca la ricorrenza precedente",
                                       "Cerca la ricorrenza successiva", "Cerca l'ultima ricorrenza"};
    slt = new slxText(this);
    slt->setObjectName(QStringLiteral("slt"));
    slt->setAppearance(3);
    slt->setBackColor(0xFFFFFF);
    slt->setBackStyle(0);
    slt->setForeColor(0);
    // As high as the buttons, so its whole border shows inside the bar; a
    // larger font still makes it as high as one line needs.
    slt->resize(slt->width(), tbn.first()->height());
    // The search text is checked when the focus leaves it, but a search
    // text never keeps the focus.
    connect(slt, &slxText::Validate, this, [this](bool &) {
        bool Modificato = false;
        slt->Match(Modificato);
    });
    for (int i = 0; i < 4; ++i) {
        tbn[i]->setToolTip(QString::fromUtf8(tips[i]));
        connect(tbn[i], &tbButton::Click, this, [this, i] { emit Click(i); });
    }
    setAutoFillBackground(true);
    resize(5 * w + 120, w);
    applyAppearance();
}

fndBar::~fndBar() = default;

// ---------------------------------------------------------------- properties

void fndBar::setBackColor(int value)
{
    m_backColor = value;
    QPalette p = palette();
    p.setColor(QPalette::Window, SystemColors::toColor(value));
    setPalette(p);
    for (tbButton *b : tbn)
        b->setBackColor(value);
    slt->setBackStyle(0);
    update();
    changed("BackColor");
}

void fndBar::setEnabled(bool value)
{
    m_enabled = value;
    if (Ambient::userMode()) {
        for (tbButton *b : tbn)
            b->setEnabled(value);
        slt->setEnabled(value);
    }
    changed("Enabled");
}

int fndBar::ForeColor() const
{
    return slt->ForeColor();
}

void fndBar::setForeColor(int value)
{
    slt->setForeColor(value);
    changed("ForeColor");
}

QFont fndBar::Font() const
{
    return slt->Font();
}

void fndBar::setFont(const QFont &value)
{
    slt->setFont(value);
    changed("Font");
}

int fndBar::TextAppearance() const
{
    return slt->Appearance();
}

void fndBar::setTextAppearance(int value)
{
    slt->setAppearance(value);
    changed("TextAppearance");
}

int fndBar::TextBackColor() const
{
    return slt->BackColor();
}

void fndBar::setTextBackColor(int value)
{
    slt->setBackColor(value);
    changed("TextBackColor");
}

QString fndBar::Text() const
{
    return slt->Text();
}

void fndBar::setText(const QString &value)
{
    slt->setValue(value);
    changed("Text");
}

// ---------------------------------------------------------------- searching

int fndBar::searchTarget(int count, int c, int mode, const std::function<QString(int)> &textAt) const
{
    const QString text = Text().trimmed();
    if (text.isEmpty()) {
        // No text: plain first, previous, next and last.
        switch (mode) {
        case 0:
            return c != 1 ? 1 : 0;
        case 1:
            return c >= 2 ? c - 1 : 0;
        case 2:
            return c < count ? c + 1 : 0;
        default:
            return c < count ? count : 0;
        }
    }
    // The scan never wraps, and the current row is not looked at when
    // looking for the previous or the next occurrence.
    int from = 1;
    int to = count;
    int step = 1;
    switch (mode) {
    case 0:
        break;
    case 1:
        if (c <= 1)
            return 0;
        from = c - 1, to = 1, step = -1;
        break;
    case 2:
        if (c >= count)
            return 0;
        from = c + 1;
        break;
    default:
        from = count, to = 1, step = -1;
        break;
    }
    for (int i = from; step > 0 ? i <= to : i >= to; i += step)
        if (textAt(i).contains(text, Qt::CaseInsensitive))
            return i;
    return 0;
}

bool fndBar::findListView(QTreeWidget *lv, int fndDove, int fndMode) const
{
    const int count = lv ? lv->topLevelItemCount() : 0;
    if (count < 2)
        return false;
    const int c = isShownCurrent(lv) ? lv->indexOfTopLevelItem(lv->currentItem()) + 1 : 0;
    const int target = searchTarget(count, c, fndMode,
                                    [lv, fndDove](int i) { return lv->topLevelItem(i - 1)->text(fndDove); });
    if (target == 0)
        return false;
    QTreeWidgetItem *item = lv->topLevelItem(target - 1);
    lv->setCurrentItem(item);
    lv->scrollToItem(item);
    return true;
}

bool fndBar::findTreeView(QTreeWidget *tv, int Modo) const
{
    if (!tv)
        return false;
    const QList<QTreeWidgetItem *> nodes = nodesInOrder(tv);
    const int count = int(nodes.size());
    if (count < 2)
        return false;
    const int c = isShownCurrent(tv) ? int(nodes.indexOf(tv->currentItem())) + 1 : 0;
    const int target = searchTarget(count, c, Modo, [&nodes](int i) { return nodes.at(i - 1)->text(0); });
    if (target == 0)
        return false;
    QTreeWidgetItem *node = nodes.at(target - 1);
    for (QTreeWidgetItem *up = node->parent(); up; up = up->parent())
        up->setExpanded(true);
    tv->setCurrentItem(node);
    tv->scrollToItem(node);
    return true;
}

void fndBar::watchTree(QTreeWidget *tv)
{
    if (!tv || tv->property(nextOrderKey).isValid())
        return;
    tv->setProperty(nextOrderKey, 0);
    for (QTreeWidgetItemIterator it(tv); *it; ++it) {
        (*it)->setData(0, OrderRole, tv->property(nextOrderKey).toInt());
        tv->setProperty(nextOrderKey, tv->property(nextOrderKey).toInt() + 1);
    }
    connect(tv->model(), &QAbstractItemModel::rowsInserted, tv,
            [tv](const QModelIndex &parent, int first, int last) {
                QTreeWidgetItem *up = parent.isValid() ? tv->itemFromIndex(parent) : nullptr;
                for (int row = first; row <= last; ++row) {
                    QTreeWidgetItem *item = up ? up->child(row) : tv->topLevelItem(row);
                    if (item && !item->data(0, OrderRole).isValid())
                        numberSubtree(tv, item);
                }
            });
}

// ---------------------------------------------------------------- layout

void fndBar::resizeEvent(QResizeEvent *)
{
    const int textTop = m_border + qMax(0, (tbn.first()->height() - slt->height()) / 2);
    layoutBar(slt, textTop);
}

// ---------------------------------------------------------------- persistence

void fndBar::initNewInstance()
{
    m_enabled = true;
    slt->setFont(Ambient::font(this));
    m_appearance = 0;
    applyAppearance();
}

void fndBar::readProperties(const PropertyBag &bag)
{
    const auto rd = [&bag](const char *key, const QVariant &def) {
        return bag.ReadProperty(QLatin1String(key), def);
    };
    m_appearance = rd("Appearance", 0).toInt();
    m_backColor = rd("BackColor", SystemColors::vbButtonFace).toInt();
    QPalette p = palette();
    p.setColor(QPalette::Window, SystemColors::toColor(m_backColor));
    setPalette(p);
    m_enabled = rd("Enabled", true).toBool();
    slt->setFont(rd("Font", Ambient::font(this)).value<QFont>());
    slt->setForeColor(rd("ForeColor", 0).toInt());
    slt->setBackColor(rd("TextBackColor", 0xFFFFFF).toInt());
    slt->setAppearance(rd("TextAppearance", 3).toInt());
    const bool flat = rd("ButtonsFlat", false).toBool();
    for (tbButton *b : tbn) {
        b->setBackColor(m_backColor);
        if (flat)
            b->setFlat(true);
    }
    slt->setBackStyle(0);
    applyAppearance();
    setEnabled(m_enabled);
}

void fndBar::writeProperties(PropertyBag &bag) const
{
    const auto wr = [&bag](const char *key, const QVariant &value, const QVariant &def) {
        bag.WriteProperty(QLatin1String(key), value, def);
    };
    wr("Appearance", m_appearance, 0);
    wr("BackColor", m_backColor, SystemColors::vbButtonFace);
    wr("Enabled", m_enabled, true);
    wr("Font", Font(), Ambient::font(this));
    wr("ForeColor", ForeColor(), 0);
    wr("ButtonsFlat", ButtonsFlat(), false);
    wr("TextAppearance", TextAppearance(), 3);
    wr("TextBackColor", TextBackColor(), 0xFFFFFF);
}
