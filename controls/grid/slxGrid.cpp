#include "slxGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "Ambient.h"
#include "Currency.h"
#include "KeySender.h"
#include "OleDrop.h"
#include "PropertyBag.h"
#include "StoreProperty.h"
#include "SystemColors.h"
#include "KeyCodes.h"
#include "comboKgt.h"
#include "slxModule.h"
#include "slxText.h"

namespace {

// The typed value a data cell holds beside its text.
constexpr int TypedRole = Qt::UserRole + 1;

Qt::Alignment alignmentOf(int code, bool number)
{
    Qt::Alignment h = Qt::AlignLeft;
    Qt::Alignment v = Qt::AlignVCenter;
    switch (code) {
    case 0: v = Qt::AlignTop; break;
    case 1: break;
    case 2: v = Qt::AlignBottom; break;
    case 3: h = Qt::AlignHCenter; v = Qt::AlignTop; break;
    case 4: h = Qt::AlignHCenter; break;
    case 5: h = Qt::AlignHCenter; v = Qt::AlignBottom; break;
    case 6: h = Qt::AlignRight; v = Qt::AlignTop; break;
    case 7: h = Qt::AlignRight; break;
    case 8: h = Qt::AlignRight; v = Qt::AlignBottom; break;
    default: h = number ? Qt::AlignRight : Qt::AlignLeft; break;
    }
    return h | v;
}

int alignmentCode(Qt::Alignment a)
{
    const int h = a & Qt::AlignRight ? 2 : (a & Qt::AlignHCenter ? 1 : 0);
    const int v = a & Qt::AlignTop ? 0 : (a & Qt::AlignBottom ? 2 : 1);
    return h * 3 + v;
}

bool looksNumeric(const QVariant &typed, const QString &text)
{
    if (typed.isValid())
        return typed.typeId() == QMetaType::Int || typed.typeId() == QMetaType::Double
            || Currency::isCurrency(typed);
    bool ok = false;
    QString t = text;
    t.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok;
}

void setAllGroups(QPalette &p, QPalette::ColorRole role, const QColor &c)
{
    p.setColor(QPalette::Active, role, c);
    p.setColor(QPalette::Inactive, role, c);
    p.setColor(QPalette::Disabled, role, c);
}

// The lines of a fixed cell (header row, fixed columns): style 0 none, 1 a
// flat line on the right and bottom edges, 2 inset (the line colour on the
// top and left edges, light on the others), 3 raised (the other way round).
void drawFixedEdges(QPainter *painter, const QRect &r, const QColor &line, int style, int width)
{
    if (style <= 0 || width <= 0 || r.isEmpty())
        return;
    const QColor light = SystemColors::toColor(SystemColors::vbWindowBackground);
    const QColor topLeft = style == 2 ? line : light;
    const QColor bottomRight = style == 2 ? light : line;
    painter->save();
    if (style >= 2) {
        painter->fillRect(QRect(r.left(), r.top(), r.width(), width), topLeft);
        painter->fillRect(QRect(r.left(), r.top(), width, r.height()), topLeft);
    }
    painter->fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), bottomRight);
    painter->fillRect(QRect(r.right() - width + 1, r.top(), width, r.height()), bottomRight);
    painter->restore();
}

// The grid colour is a style hint in Qt; this gives the table its own, and
// draws the header sections with the fixed cells' lines.
class GridStyle : public QProxyStyle
{
public:
    QColor lines;
    QColor fixedLines;
    int fixedStyle = 2;
    int fixedWidth = 1;
    // The grid's count of data rows: the row an empty grid keeps has no
    // fixed cell to draw.
    const int *dataRows = nullptr;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_Table_GridLineColor)
            return int(lines.rgba());
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element != CE_HeaderSection) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option);
        if (header && header->orientation == Qt::Vertical && dataRows && header->section >= *dataRows) {
            painter->fillRect(option->rect, option->palette.color(QPalette::Window));
            return;
        }
        painter->fillRect(option->rect, option->palette.color(QPalette::Button));
        drawFixedEdges(painter, option->rect, fixedLines, fixedStyle, fixedWidth);
    }
};

} // namespace

// Paints a cell the grid's way: its back colour (the area beyond the last
// cell shows BackColorBkg), the column's alignment, and the selection and
// focus rectangle only when HighLight and FocusRect say so.
class slxGrid::Delegate : public QStyledItemDelegate
{
public:
    explicit Delegate(slxGrid *grid) : QStyledItemDelegate(grid), g(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        const QVariant back = index.data(Qt::BackgroundRole);
        // The row an empty grid keeps is no data row: only background shows.
        if (index.row() >= g->m_rows) {
            painter->fillRect(opt.rect, SystemColors::toColor(g->m_backColorBkg));
            return;
        }
        if (g->isFixedColumn(index.column() + 1)) {
            // A fixed cell is never current nor selected; it is drawn as the
            // header column is, unless the form gave it colours of its own.
            painter->fillRect(opt.rect, back.isValid()
                                  ? back.value<QBrush>()
                                  : QBrush(SystemColors::toColor(g->m_backColorFixed)));
            opt.state |= QStyle::State_Enabled;
            opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
            if (!index.data(Qt::ForegroundRole).isValid())
                setAllGroups(opt.palette, QPalette::Text, SystemColors::toColor(g->m_foreColorFixed));
            QStyledItemDelegate::paint(painter, opt, index);
            drawFixedEdges(painter, opt.rect, SystemColors::toColor(g->m_gridColorFixed),
                           g->m_gridLinesFixed, g->m_gridLineWidthFixed);
            return;
        }
        painter->fillRect(opt.rect, back.isValid() ? back.value<QBrush>()
                                                   : QBrush(SystemColors::toColor(g->m_backColor)));
        const bool showSelection = g->m_highLight == 1 || (g->m_highLight == 2 && g->m_hasFocus);
        if (!showSelection)
            opt.state &= ~QStyle::State_Selected;
        if (g->m_focusRect == 0 || !g->m_hasFocus)
            opt.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, opt, index);
        if (g->m_focusRect == 2 && g->m_hasFocus && (option.state & QStyle::State_HasFocus)) {
            painter->save();
            painter->setPen(QPen(opt.palette.color(QPalette::Text), 2));
            painter->drawRect(opt.rect.adjusted(1, 1, -1, -1));
            painter->restore();
        }
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.data(Qt::TextAlignmentRole).isValid()) {
            const int col = index.column();
            const int code = col < g->m_colAlign.size() ? g->m_colAlign.at(col) : 9;
            option->displayAlignment =
                alignmentOf(code, code == 9 && looksNumeric(index.data(TypedRole), option->text));
        }
        if (g->m_wordWrap)
            option->features |= QStyleOptionViewItem::WrapText;
        else
            option->features &= ~QStyleOptionViewItem::WrapText;
    }

private:
    slxGrid *g;
};

// Ctrl+Tab in the grid is the grid's before any application-wide use of
// it (a multi-document area switches its windows with it), so the grid
// watches it application-wide too.
class slxGrid::CtrlTab : public QObject
{
public:
    explicit CtrlTab(slxGrid *grid) : QObject(grid), g(grid) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        return (key->modifiers() & Qt::ControlModifier)
            && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && watched->isWidgetType()
            && g->isAncestorOf(static_cast<QWidget *>(watched)) && g->tabKey(key);
    }

private:
    slxGrid *g;
};

slxGrid::slxGrid(QWidget *parent)
    : QWidget(parent),
      m_backColor(SystemColors::vbWindowBackground),
      m_backColorBkg(SystemColors::vbButtonFace),
      m_backColorFixed(SystemColors::vbButtonFace),
      m_backColorSel(SystemColors::vbHighlight),
      m_backColorUnsel(int(0x80000003u)),
      m_foreColor(SystemColors::vbWindowText),
      m_foreColorFixed(SystemColors::vbButtonText),
      m_foreColorSel(SystemColors::vbHighlightText),
      m_foreColorUnsel(int(0x80000013u)),
      m_gridColor(SystemColors::vbButtonText),
      m_gridColorFixed(0xC0C0C0)
{
    slxModule::initControlMetrics();
    // The editors come first in the tab chain, so Tab in an editor goes
    // back to the table and Tab on the table leaves the grid.
    slt = new slxText(this);
    slt->setObjectName(QStringLiteral("slt"));
    slt->setAppearance(1);
    slt->setCharacters(58);
    // A cell's edit ends only on Enter, Tab, an arrow, Esc or a click. An
    // editor that moved on by itself once full would leave the cursor on
    // the cell, and the next key would start a new edit over the value.
    slt->setAutoTab(false);
    slt->hide();
    auto *unit = new comboKgt(this);
    unit->setObjectName(QStringLiteral("cmb_0"));
    unit->hide();
    cmb << unit;

    hfg = new QTableWidget(this);
    hfg->setObjectName(QStringLiteral("hfg"));
    hfg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    hfg->setTabKeyNavigation(false);
    hfg->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    hfg->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    hfg->setCornerButtonEnabled(false);
    hfg->setItemDelegate(new Delegate(this));
    auto *style = new GridStyle;
    style->setParent(this);
    style->dataRows = &m_rows;
    hfg->setStyle(style);
    // A widget's style does not pass to its children.
    hfg->horizontalHeader()->setStyle(style);
    hfg->verticalHeader()->setStyle(style);
    for (QHeaderView *h : {hfg->horizontalHeader(), hfg->verticalHeader()}) {
        h->setHighlightSections(false);
        h->setMinimumSectionSize(0);
        h->setDefaultAlignment(Qt::AlignCenter);
    }
    hfg->horizontalHeader()->setStretchLastSection(false);
    setFocusProxy(hfg);
    hfg->installEventFilter(this);
    new CtrlTab(this);
    hfg->viewport()->installEventFilter(this);
    if (auto *corner = hfg->findChild<QAbstractButton *>()) {
        corner->setStyle(style);
        corner->installEventFilter(this);
    }

    connect(hfg, &QTableWidget::currentCellChanged, this, [this] { currentCellChanged(); });
    connect(hfg->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { tableScrolled(); });
    connect(hfg->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { tableScrolled(); });

    // Tab and Esc in an editor are the grid's before the editor's or the
    // form's: the boxes that hold the focus while a cell is edited.
    slt->textBox()->installEventFilter(this);
    for (comboKgt *c : cmb)
        c->comboBox()->installEventFilter(this);

    connect(slt, &slxText::KeyDown, this, [this](int &KeyCode, int &Shift) { editorKeyDown(KeyCode, Shift); });
    connect(slt, &slxText::KeyPress, this, [this](int &KeyAscii) { editorKeyPress(KeyAscii); });
    connect(slt, &slxText::Validate, this, [this](bool &Cancel) { editorValidate(Cancel); });
    for (comboKgt *c : cmb) {
        connect(c, &comboKgt::KeyPress, this, [this](int &KeyAscii) { editorKeyPress(KeyAscii); });
        connect(c, &comboKgt::Validate, this, [this](bool &Cancel) { editorValidate(Cancel); });
    }
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *from, QWidget *to) { focusMoved(from, to); });

    setTableRowCount(1);
    applyColours();
    applySelectionColours(false);
    applyFrame();
    applyScrollBars();
    applyResizing();
    applySelectionMode();
    hfg->setShowGrid(m_gridLines != 0);
    hfg->verticalHeader()->setDefaultSectionSize(tableRowHeight());
    applyFixedCol();
    applyFixedRow();
    applyFixedAlignment();
}

slxGrid::~slxGrid() = default;

// ---------------------------------------------------------------- metrics

int slxGrid::px(int twipsX) const
{
    return qRound(double(twipsX) / slxModule::twipsPerPixelX);
}

int slxGrid::pxY(int twipsY) const
{
    return qRound(double(twipsY) / slxModule::twipsPerPixelY);
}

int slxGrid::twips(int pixelsX) const
{
    return pixelsX * slxModule::twipsPerPixelX;
}

int slxGrid::tableRowHeight() const
{
    return hfg->fontMetrics().height() + 6;
}

void slxGrid::changed(const char *key)
{
    emit PropertyChanged(QLatin1String(key));
}

// ---------------------------------------------------------------- properties

void slxGrid::setAllowBigSelection(bool value)
{
    m_allowBigSelection = value;
    hfg->horizontalHeader()->setSectionsClickable(value);
    hfg->verticalHeader()->setSectionsClickable(value);
    changed("AllowBigSelection");
}

void slxGrid::setAllowDelete(bool value)
{
    storeProperty(this, m_allowDelete, value, "AllowDelete");
}

void slxGrid::setAllowInsert(bool value)
{
    storeProperty(this, m_allowInsert, value, "AllowInsert");
}

void slxGrid::setAllowUserResizing(int value)
{
    storeProperty(this, m_allowUserResizing, value, "AllowUserResizing", &slxGrid::applyResizing);
}

void slxGrid::applyResizing()
{
    hfg->horizontalHeader()->setSectionResizeMode(
        m_allowUserResizing & 1 ? QHeaderView::Interactive : QHeaderView::Fixed);
    hfg->verticalHeader()->setSectionResizeMode(
        m_allowUserResizing & 2 ? QHeaderView::Interactive : QHeaderView::Fixed);
}

void slxGrid::setAppearance(int value)
{
    storeProperty(this, m_appearance, value, "Appearance", &slxGrid::applyFrame);
}

void slxGrid::applyFrame()
{
    if (m_borderStyle == 0) {
        hfg->setFrameStyle(QFrame::NoFrame);
    } else if (m_appearance == 1) {
        hfg->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    } else {
        hfg->setFrameStyle(QFrame::Box | QFrame::Plain);
        hfg->setLineWidth(1);
    }
}

void slxGrid::setAutoTab(int value)
{
    storeProperty(this, m_autoTab, value, "AutoTab");
}

void slxGrid::setBackColor(int value)
{
    storeProperty(this, m_backColor, value, "BackColor", &slxGrid::applyColours);
}

void slxGrid::setBackColorBkg(int value)
{
    storeProperty(this, m_backColorBkg, value, "BackColorBkg", &slxGrid::applyColours);
}

void slxGrid::setBackColorFixed(int value)
{
    storeProperty(this, m_backColorFixed, value, "BackColorFixed", &slxGrid::applyColours);
}

void slxGrid::setBackColorSel(int value)
{
    storeProperty(this, m_backColorSel, value, "BackColorSel");
}

void slxGrid::setBackColorUnsel(int value)
{
    m_backColorUnsel = value;
    applySelectionColours(m_hasFocus);
    changed("BackColorUnsel");
}

void slxGrid::setBorderStyle(int value)
{
    storeProperty(this, m_borderStyle, value, "BorderStyle", &slxGrid::applyFrame);
}

void slxGrid::setEnabled(bool value)
{
    m_enabled = value;
    if (Ambient::userMode()) {
        hfg->setEnabled(value);
        QWidget::setEnabled(value);
    }
    changed("Enabled");
}

void slxGrid::setExpandedCol(int value)
{
    storeProperty(this, m_expandedCol, value, "ExpandedCol");
}

void slxGrid::setFixedAlignment(int value)
{
    storeProperty(this, m_fixedAlignment, value, "FixedAlignment", &slxGrid::applyFixedAlignment);
}

void slxGrid::applyFixedAlignment()
{
    hfg->verticalHeader()->setDefaultAlignment(alignmentOf(m_fixedAlignment, false));
    if (auto *corner = hfg->findChild<QAbstractButton *>())
        corner->update();
}

void slxGrid::setFixedCol(bool value)
{
    storeProperty(this, m_fixedCol, value, "FixedCol", &slxGrid::applyFixedCol);
}

void slxGrid::applyFixedCol()
{
    const int w = m_fixedCol ? px(m_fixedWidth) : 0;
    hfg->verticalHeader()->setVisible(w > 0);
    hfg->verticalHeader()->setFixedWidth(w);
}

void slxGrid::setFixedHeight(int value)
{
    m_fixedHeight = value;
    if (m_fixedRow)
        applyFixedRow();
    changed("FixedHeight");
}

void slxGrid::setFixedRow(bool value)
{
    storeProperty(this, m_fixedRow, value, "FixedRow", &slxGrid::applyFixedRow);
}

void slxGrid::applyFixedRow()
{
    const int h = m_fixedRow ? pxY(m_fixedHeight) : 0;
    hfg->horizontalHeader()->setVisible(h > 0);
    hfg->horizontalHeader()->setFixedHeight(h);
    computeVisibleRows();
}

void slxGrid::setFixedWidth(int value)
{
    m_fixedWidth = value;
    if (m_fixedCol)
        applyFixedCol();
    changed("FixedWidth");
}

void slxGrid::setFocusRect(int value)
{
    m_focusRect = value;
    hfg->viewport()->update();
    changed("FocusRect");
}

QFont slxGrid::Font() const
{
    return hfg->font();
}

void slxGrid::setFont(const QFont &font)
{
    hfg->setFont(font);
    slt->setFont(font);
    for (comboKgt *c : cmb)
        c->setFont(font);
    hfg->verticalHeader()->setDefaultSectionSize(tableRowHeight());
    computeVisibleRows();
    changed("Font");
}

QFont slxGrid::FontFixed() const
{
    return hfg->horizontalHeader()->font();
}

void slxGrid::setFontFixed(const QFont &font)
{
    hfg->horizontalHeader()->setFont(font);
    hfg->verticalHeader()->setFont(font);
    if (auto *corner = hfg->findChild<QAbstractButton *>())
        corner->setFont(font);
    changed("FontFixed");
}

void slxGrid::setForeColor(int value)
{
    storeProperty(this, m_foreColor, value, "ForeColor", &slxGrid::applyColours);
}

void slxGrid::setForeColorFixed(int value)
{
    storeProperty(this, m_foreColorFixed, value, "ForeColorFixed", &slxGrid::applyColours);
}

void slxGrid::setForeColorSel(int value)
{
    storeProperty(this, m_foreColorSel, value, "ForeColorSel");
}

void slxGrid::setForeColorUnsel(int value)
{
    m_foreColorUnsel = value;
    applySelectionColours(m_hasFocus);
    changed("ForeColorUnsel");
}

void slxGrid::setGridColor(int value)
{
    storeProperty(this, m_gridColor, value, "GridColor", &slxGrid::applyColours);
}

void slxGrid::setGridColorFixed(int value)
{
    storeProperty(this, m_gridColorFixed, value, "GridColorFixed", &slxGrid::applyColours);
}

void slxGrid::setGridLines(int value)
{
    m_gridLines = value;
    hfg->setShowGrid(value != 0);
    hfg->setGridStyle(value == 0 || value == 1 ? Qt::SolidLine : Qt::SolidLine);
    changed("GridLines");
}

void slxGrid::setGridLinesFixed(int value)
{
    storeProperty(this, m_gridLinesFixed, value, "GridLinesFixed", &slxGrid::applyColours);
}

void slxGrid::setGridLineWidth(int value)
{
    storeProperty(this, m_gridLineWidth, value, "GridLineWidth");
}

void slxGrid::setGridLineWidthFixed(int value)
{
    storeProperty(this, m_gridLineWidthFixed, value, "GridLineWidthFixed", &slxGrid::applyColours);
}

void slxGrid::setHighLight(int value)
{
    m_highLight = value;
    hfg->viewport()->update();
    changed("HighLight");
}

void slxGrid::setOleDropMode(int value)
{
    m_oleDropMode = value;
    hfg->viewport()->setAcceptDrops(value != 0);
    changed("OleDropMode");
}

void slxGrid::setRowSizingMode(int value)
{
    storeProperty(this, m_rowSizingMode, value, "RowSizingMode");
}

void slxGrid::setScrollBars(int value)
{
    storeProperty(this, m_scrollBars, value, "ScrollBars", &slxGrid::applyScrollBars);
}

void slxGrid::applyScrollBars()
{
    hfg->setHorizontalScrollBarPolicy(m_scrollBars & 1 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    hfg->setVerticalScrollBarPolicy(m_scrollBars & 2 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void slxGrid::setSelectionMode(int value)
{
    storeProperty(this, m_selectionMode, value, "SelectionMode", &slxGrid::applySelectionMode);
}

void slxGrid::applySelectionMode()
{
    hfg->setSelectionMode(QAbstractItemView::ExtendedSelection);
    hfg->setSelectionBehavior(m_selectionMode == 1   ? QAbstractItemView::SelectRows
                              : m_selectionMode == 2 ? QAbstractItemView::SelectColumns
                                                     : QAbstractItemView::SelectItems);
}

void slxGrid::setWordWrap(bool value)
{
    m_wordWrap = value;
    hfg->setWordWrap(value);
    hfg->viewport()->update();
    changed("WordWrap");
}

void slxGrid::applyColours()
{
    QPalette p = hfg->palette();
    setAllGroups(p, QPalette::Base, SystemColors::toColor(m_backColorBkg));
    setAllGroups(p, QPalette::Text, SystemColors::toColor(m_foreColor));
    hfg->setPalette(p);
    for (QWidget *h : {static_cast<QWidget *>(hfg->horizontalHeader()),
                       static_cast<QWidget *>(hfg->verticalHeader())}) {
        QPalette hp = h->palette();
        setAllGroups(hp, QPalette::Button, SystemColors::toColor(m_backColorFixed));
        // Beyond the last row or column the headers show the grid's background.
        setAllGroups(hp, QPalette::Window, SystemColors::toColor(m_backColorBkg));
        setAllGroups(hp, QPalette::ButtonText, SystemColors::toColor(m_foreColorFixed));
        setAllGroups(hp, QPalette::WindowText, SystemColors::toColor(m_foreColorFixed));
        h->setPalette(hp);
    }
    auto *style = static_cast<GridStyle *>(hfg->style());
    style->lines = SystemColors::toColor(m_gridColor);
    style->fixedLines = SystemColors::toColor(m_gridColorFixed);
    style->fixedStyle = m_gridLinesFixed;
    style->fixedWidth = m_gridLineWidthFixed;
    applySelectionColours(m_hasFocus);
    hfg->viewport()->update();
    hfg->horizontalHeader()->viewport()->update();
    hfg->verticalHeader()->viewport()->update();
    if (auto *corner = hfg->findChild<QAbstractButton *>())
        corner->update();
}

void slxGrid::applySelectionColours(bool focused)
{
    QPalette p = hfg->palette();
    setAllGroups(p, QPalette::Highlight, SystemColors::toColor(focused ? m_backColorSel : m_backColorUnsel));
    setAllGroups(p, QPalette::HighlightedText,
                 SystemColors::toColor(focused ? m_foreColorSel : m_foreColorUnsel));
    hfg->setPalette(p);
}

// ---------------------------------------------------------------- columns

gridColumn *slxGrid::ColumnHeader(int columnIndex) const
{
    if (columnIndex < 1 || columnIndex > Cols())
        return nullptr;
    return m_columns[size_t(columnIndex - 1)].get();
}

gridColumn *slxGrid::AddColumn(const QString &Caption, int Width, bool Visible)
{
    auto column = std::make_unique<gridColumn>();
    column->Caption = Caption;
    column->Width = Width;
    column->Visible = Visible;
    const int at = Cols();
    hfg->insertColumn(at);
    hfg->setHorizontalHeaderItem(at, new QTableWidgetItem);
    m_colAlign.insert(at, column->FieldAlign);
    m_columns.push_back(std::move(column));
    return m_columns.back().get();
}

gridColumn *slxGrid::InsColumn(int Posizione)
{
    if (Posizione == 0 || Posizione < -1)
        return nullptr;
    if (Posizione == -1 || Posizione > Cols()) {
        gridColumn *c = AddColumn();
        RefreshColumn(Cols(), c);
        changed("Cols");
        return c;
    }
    auto column = std::make_unique<gridColumn>();
    gridColumn *c = column.get();
    hfg->insertColumn(Posizione - 1);
    hfg->setHorizontalHeaderItem(Posizione - 1, new QTableWidgetItem);
    m_colAlign.insert(Posizione - 1, c->FieldAlign);
    m_columns.insert(m_columns.begin() + (Posizione - 1), std::move(column));
    for (int i = Posizione; i <= Cols(); ++i)
        RefreshColumn(i, ColumnHeader(i));
    changed("Cols");
    return c;
}

void slxGrid::delColumn(int Indice)
{
    if (Indice < 1 || Indice > Cols())
        return;
    m_columns.erase(m_columns.begin() + (Indice - 1));
    m_colAlign.remove(Indice - 1);
    hfg->removeColumn(Indice - 1);
    for (int i = Indice; i <= Cols(); ++i)
        RefreshColumn(i, ColumnHeader(i));
    changed("Cols");
}

void slxGrid::Refresh()
{
    applyFixedCol();
    applyFixedRow();
    applyFixedAlignment();
    for (int i = 1; i <= Cols(); ++i)
        RefreshColumn(i, ColumnHeader(i));
}

void slxGrid::RefreshColumn(int Indice, gridColumn *myCol)
{
    if (Indice < 1 || Indice > Cols() || !myCol)
        return;
    QTableWidgetItem *header = hfg->horizontalHeaderItem(Indice - 1);
    if (!header) {
        header = new QTableWidgetItem;
        hfg->setHorizontalHeaderItem(Indice - 1, header);
    }
    header->setText(myCol->Caption);
    header->setData(Qt::TextAlignmentRole,
                    int(alignmentOf(myCol->CaptionAlign, false)) | int(Qt::TextWordWrap));
    m_colAlign[Indice - 1] = myCol->FieldAlign;
    hfg->setColumnHidden(Indice - 1, !myCol->Visible);
    if (myCol->Visible)
        hfg->setColumnWidth(Indice - 1, px(myCol->Width));
    hfg->viewport()->update();
    changed("Cols");
}

int slxGrid::colWidth(int Indice) const
{
    if (Indice == 0)
        return !hfg->verticalHeader()->isHidden() ? twips(hfg->verticalHeader()->width()) : 0;
    if (Indice < 1 || Indice > Cols() || hfg->isColumnHidden(Indice - 1))
        return 0;
    return twips(hfg->columnWidth(Indice - 1));
}

void slxGrid::setColWidth(int Indice, int value)
{
    if (Indice == 0) {
        hfg->verticalHeader()->setVisible(value > 0);
        hfg->verticalHeader()->setFixedWidth(px(value));
        // The table places its column headers beside the row headers only
        // when its own size changes: a new width alone would leave them
        // where the old one ended.
        QMetaObject::invokeMethod(hfg, "updateGeometries");
    } else if (Indice >= 1 && Indice <= Cols()) {
        hfg->setColumnWidth(Indice - 1, px(value));
    }
}

void slxGrid::setFixedCols(int value)
{
    m_fixedCols = qMax(value, 0);
    hfg->verticalHeader()->setVisible(m_fixedCols > 0 && m_fixedCol);
    markFixedCells(1, hfg->rowCount());
    // The cursor never stays on a cell that has become fixed.
    if (hfg->currentColumn() >= 0 && isFixedColumn(Col()))
        moveQuietly(Row(), firstFreeCol());
    hfg->viewport()->update();
}

bool slxGrid::isFixedColumn(int col) const
{
    return col >= 1 && col < m_fixedCols;
}

int slxGrid::firstFreeCol() const
{
    return qMax(m_fixedCols, 1);
}

// Fixed data cells are disabled items: the keyboard and the mouse pass over
// them, and the delegate draws them as fixed cells.
void slxGrid::markFixedCells(int fromRow, int toRow)
{
    for (int r = fromRow; r <= toRow; ++r)
        for (int c = 1; c <= Cols(); ++c)
            if (QTableWidgetItem *item = cell(r, c, isFixedColumn(c))) {
                const Qt::ItemFlags flags = item->flags();
                item->setFlags(isFixedColumn(c) ? flags & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable)
                                                : flags | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
}

int slxGrid::expandCol(int Colonna)
{
    int w = hfg->width() - 2 * hfg->frameWidth();
    if (qMax(m_rows, 1) > m_visibleRows && (m_scrollBars & 2))
        w -= slxModule::vScrollWidth / slxModule::twipsPerPixelX;
    for (int i = 0; i <= Cols(); ++i)
        if (i != Colonna)
            w -= i == 0 ? (!hfg->verticalHeader()->isHidden() ? hfg->verticalHeader()->width() : 0)
                        : (hfg->isColumnHidden(i - 1) ? 0 : hfg->columnWidth(i - 1));
    if (w > 10) {
        if (m_expandedCol == 0)
            setColWidth(0, twips(w));
        else if (m_expandedCol <= Cols())
            hfg->setColumnWidth(m_expandedCol - 1, w);
    }
    return twips(w);
}

void slxGrid::fitExpandedCol()
{
    if (m_expandedCol != 0 && Ambient::userMode())
        expandCol(m_expandedCol);
}

void slxGrid::setHelpContext(const QVariant &id)
{
    const int context = id.toInt();
    hfg->setProperty("HelpContextID", context);
    slt->setProperty("HelpContextID", context);
    for (comboKgt *c : cmb)
        c->setProperty("HelpContextID", context);
}

// ---------------------------------------------------------------- cells

QTableWidgetItem *slxGrid::cell(int row, int col, bool create)
{
    if (row < 1 || col < 0 || row > hfg->rowCount() || col > Cols())
        return nullptr;
    QTableWidgetItem *item = col == 0 ? hfg->verticalHeaderItem(row - 1) : hfg->item(row - 1, col - 1);
    if (!item && create) {
        item = new QTableWidgetItem;
        if (isFixedColumn(col))
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        if (col == 0)
            hfg->setVerticalHeaderItem(row - 1, item);
        else
            hfg->setItem(row - 1, col - 1, item);
    }
    return item;
}

QString slxGrid::cellText(int row, int col) const
{
    if (row == 0) {
        if (col == 0)
            return m_cornerText;
        const QTableWidgetItem *h = col <= Cols() ? hfg->horizontalHeaderItem(col - 1) : nullptr;
        return h ? h->text() : QString();
    }
    const QTableWidgetItem *item = const_cast<slxGrid *>(this)->cell(row, col, false);
    return item ? item->text() : QString();
}

void slxGrid::setCellText(int row, int col, const QString &text)
{
    if (row == 0) {
        if (col == 0) {
            m_cornerText = text;
            if (auto *corner = hfg->findChild<QAbstractButton *>())
                corner->update();
        } else if (col <= Cols()) {
            QTableWidgetItem *h = hfg->horizontalHeaderItem(col - 1);
            if (!h) {
                h = new QTableWidgetItem;
                hfg->setHorizontalHeaderItem(col - 1, h);
            }
            h->setText(text);
        }
        return;
    }
    if (QTableWidgetItem *item = cell(row, col, true)) {
        item->setText(text);
        item->setData(TypedRole, QVariant());
    }
}

QVariant slxGrid::readCellValue(int row, int col) const
{
    const gridColumn *column = ColumnHeader(col);
    if (!column || row < 1 || row > hfg->rowCount())
        return QVariant();
    const QTableWidgetItem *item = hfg->item(row - 1, col - 1);
    const QVariant typed = item ? item->data(TypedRole) : QVariant();
    if (column->FieldType == gridColumn::Combo && typed.typeId() != QMetaType::QString)
        return typed.isValid() ? typed.toInt() : comboKgt::Value4Text(item ? item->text() : QString());
    if (typed.isValid())
        return typed;
    return column->parseText(item ? item->text() : QString());
}

void slxGrid::storeEditValue(int row, int col, const QVariant &value)
{
    const gridColumn *column = ColumnHeader(col);
    QTableWidgetItem *item = column ? cell(row, col, true) : nullptr;
    if (!item)
        return;
    const QVariant typed = column->typedValue(value);
    item->setText(column->FieldType == gridColumn::Combo ? comboKgt::Text4Value(typed)
                                                         : column->displayText(typed));
    item->setData(TypedRole, typed);
}

QVariant slxGrid::TextMatrix(int Riga, int Colonna) const
{
    if (Riga == 0 || Colonna == 0)
        return cellText(Riga, Colonna);
    return readCellValue(Riga, Colonna);
}

void slxGrid::setTextMatrix(int Riga, int Colonna, const QVariant &value)
{
    if (Riga < 0 || Riga > hfg->rowCount() || Colonna < 0 || Colonna > Cols())
        return;
    if (Riga == 0 || Colonna == 0)
        setCellText(Riga, Colonna, value.toString());
    else
        storeEditValue(Riga, Colonna, value);
}

QVariant slxGrid::Text() const
{
    return TextMatrix(Row(), Col());
}

void slxGrid::setText(const QVariant &value)
{
    setTextMatrix(Row(), Col(), value);
}

void slxGrid::clearRow(int row)
{
    for (int c = 0; c <= Cols(); ++c) {
        QTableWidgetItem *item = cell(row, c, false);
        if (item) {
            item->setText(QString());
            item->setData(TypedRole, QVariant());
        }
    }
    if (row >= 1 && row <= m_rowIDs.size())
        m_rowIDs[row - 1] = 0;
}

int slxGrid::cellAlignment() const
{
    const QTableWidgetItem *item = const_cast<slxGrid *>(this)->cell(Row(), Col(), false);
    const QVariant a = item ? item->data(Qt::TextAlignmentRole) : QVariant();
    if (a.isValid())
        return alignmentCode(Qt::Alignment(a.toInt()));
    const gridColumn *c = ColumnHeader(Col());
    return c ? m_colAlign.value(Col() - 1, 9) : m_fixedAlignment;
}

void slxGrid::setCellAlignment(int value)
{
    if (QTableWidgetItem *item = cell(Row(), Col(), true))
        item->setTextAlignment(alignmentOf(value, looksNumeric(item->data(TypedRole), item->text())));
}

int slxGrid::cellColor(int role) const
{
    const QTableWidgetItem *item = const_cast<slxGrid *>(this)->cell(Row(), Col(), false);
    const QVariant c = item ? item->data(role) : QVariant();
    return c.isValid() ? SystemColors::fromColor(c.value<QBrush>().color()) : 0;
}

// 0 gives the cell back the grid's colour.
void slxGrid::setCellColor(int role, int value)
{
    if (QTableWidgetItem *item = cell(Row(), Col(), true))
        item->setData(role, value == 0 ? QVariant() : QVariant(QBrush(SystemColors::toColor(value))));
}

int slxGrid::cellBackColor() const
{
    return cellColor(Qt::BackgroundRole);
}

void slxGrid::setCellBackColor(int value)
{
    setCellColor(Qt::BackgroundRole, value);
}

int slxGrid::cellForeColor() const
{
    return cellColor(Qt::ForegroundRole);
}

void slxGrid::setCellForeColor(int value)
{
    setCellColor(Qt::ForegroundRole, value);
}

bool slxGrid::cellFontFlag(bool (QFont::*flag)() const) const
{
    const QTableWidgetItem *item = const_cast<slxGrid *>(this)->cell(Row(), Col(), false);
    return item && item->data(Qt::FontRole).isValid() && (item->font().*flag)();
}

// A cell without a font of its own starts from the grid's.
void slxGrid::setCellFontFlag(void (QFont::*setFlag)(bool), bool value)
{
    if (QTableWidgetItem *item = cell(Row(), Col(), true)) {
        QFont f = item->data(Qt::FontRole).isValid() ? item->font() : hfg->font();
        (f.*setFlag)(value);
        item->setFont(f);
    }
}

bool slxGrid::cellFontBold() const
{
    return cellFontFlag(&QFont::bold);
}

void slxGrid::setCellFontBold(bool value)
{
    setCellFontFlag(&QFont::setBold, value);
}

bool slxGrid::cellFontItalic() const
{
    return cellFontFlag(&QFont::italic);
}

void slxGrid::setCellFontItalic(bool value)
{
    setCellFontFlag(&QFont::setItalic, value);
}

// ---------------------------------------------------------------- rows and cursor

void slxGrid::setTableRowCount(int count)
{
    const int old = hfg->rowCount();
    hfg->setRowCount(count);
    m_rowIDs.resize(count);
    for (int r = old; r < count; ++r) {
        m_rowIDs[r] = 0;
        hfg->setVerticalHeaderItem(r, new QTableWidgetItem);
    }
    if (m_fixedCols > 1)
        markFixedCells(old + 1, count);
}

void slxGrid::setRows(int Righe)
{
    Righe = qMax(0, Righe);
    ++m_quietMoves;
    setTableRowCount(qMax(Righe, 1));
    // The blank row kept for an empty grid must not carry an old record's
    // key or texts into the next addRow.
    if (Righe == 0)
        clearRow(1);
    m_rows = Righe;
    --m_quietMoves;
    if (Ambient::userMode())
        fitExpandedCol();
    changed("Rows");
}

int slxGrid::addRow(int Indice, const QVariantList &colData)
{
    int r;
    ++m_quietMoves;
    if (m_rows >= 1) {
        if (Indice < 0 || Indice > hfg->rowCount() + 1) {
            --m_quietMoves;
            qWarning("slxGrid::addRow: no row %d", Indice);
            return 0;
        }
        r = Indice != 0 ? Indice : hfg->rowCount() + 1;
        hfg->insertRow(r - 1);
        m_rowIDs.insert(r - 1, 0);
        hfg->setVerticalHeaderItem(r - 1, new QTableWidgetItem);
        if (m_fixedCols > 1)
            markFixedCells(r, r);
    } else {
        r = 1;
    }
    for (int i = 0; i < colData.size() && i < Cols(); ++i)
        storeEditValue(r, i + 1, colData.at(i));
    m_rows = hfg->rowCount();
    --m_quietMoves;
    if (m_rows == m_visibleRows + 1)
        fitExpandedCol();
    return r;
}

void slxGrid::delRow(int Indice)
{
    if (Indice < 1 || Indice > hfg->rowCount())
        return;
    ++m_quietMoves;
    if (m_rows > 1) {
        hfg->removeRow(Indice - 1);
        m_rowIDs.remove(Indice - 1);
        m_rows = hfg->rowCount();
    } else {
        clearRow(1);
        m_rows = 0;
    }
    --m_quietMoves;
    if (m_rows == m_visibleRows)
        fitExpandedCol();
}

int slxGrid::rowID(int Indice) const
{
    return Indice >= 1 && Indice <= m_rowIDs.size() ? m_rowIDs.at(Indice - 1) : 0;
}

void slxGrid::setRowID(int Indice, int value)
{
    if (Indice >= 1 && Indice <= m_rowIDs.size())
        m_rowIDs[Indice - 1] = value;
}

int slxGrid::Row() const
{
    return qMax(hfg->currentRow(), 0) + 1;
}

void slxGrid::setRow(int value)
{
    if (value < 1 || value > m_rows)
        return;
    hfg->setCurrentCell(value - 1, qMax(hfg->currentColumn(), firstFreeCol() - 1));
}

int slxGrid::Col() const
{
    return m_codeCol >= 0 ? m_codeCol : qMax(hfg->currentColumn(), 0) + 1;
}

// Code may make a fixed cell of the current row current, column 0 too, to
// format it; the table's own cursor stays where it was, so the user never
// reaches one, and the next move of the cursor ends it.
void slxGrid::setCol(int value)
{
    if (m_rows < 1 || value < 0 || value > Cols())
        return;
    if (value < firstFreeCol()) {
        m_codeCol = value;
        return;
    }
    m_codeCol = -1;
    hfg->setCurrentCell(qMax(hfg->currentRow(), 0), value - 1);
}

int slxGrid::TopRow() const
{
    return hfg->verticalScrollBar()->value() + 1;
}

void slxGrid::setTopRow(int value)
{
    hfg->verticalScrollBar()->setValue(qMax(value, 1) - 1);
}

void slxGrid::SelectRow(int Indice)
{
    if (Indice < 1 || Indice > m_rows || Cols() < 1)
        return;
    const int top = hfg->rowViewportPosition(Indice - 1);
    const bool visible = top >= 0 && top + hfg->rowHeight(Indice - 1) <= hfg->viewport()->height();
    hfg->setCurrentCell(Indice - 1, firstFreeCol() - 1);
    hfg->clearSelection();
    hfg->setRangeSelected(
        QTableWidgetSelectionRange(Indice - 1, firstFreeCol() - 1, Indice - 1, Cols() - 1), true);
    if (!visible)
        setTopRow(qMax(Indice - m_visibleRows + 1, 1));
}

void slxGrid::mouseWheel(int Rotation)
{
    if (hfg->rowCount() + 1 <= m_visibleRows)
        return;
    QScrollBar *bar = hfg->verticalScrollBar();
    if (Rotation <= 0) {
        // The last row is fully in view once the bar is at its end.
        if (bar->value() < bar->maximum())
            bar->setValue(bar->value() + 1);
    } else if (bar->value() > 0) {
        bar->setValue(bar->value() - 1);
    }
}

void slxGrid::computeVisibleRows()
{
    const int rowHeight = hfg->verticalHeader()->defaultSectionSize();
    int height = hfg->height() - 2 * hfg->frameWidth()
        - (!hfg->horizontalHeader()->isHidden() ? hfg->horizontalHeader()->height() : 0);
    m_visibleRows = rowHeight > 0 ? qMax(height, 0) / rowHeight : 0;
}

void slxGrid::resizeEvent(QResizeEvent *)
{
    hfg->setGeometry(rect());
    if (Ambient::userMode()) {
        computeVisibleRows();
        fitExpandedCol();
    }
    if (m_editing && m_openEditor && m_openEditor->isVisible())
        placeEditor(m_openEditor);
}

void slxGrid::currentCellChanged()
{
    m_clickArmed = false;
    m_codeCol = -1;
    if (m_quietMoves == 0 && m_rows >= 1)
        emit RowColChange();
}

void slxGrid::moveQuietly(int row, int col)
{
    ++m_quietMoves;
    hfg->setCurrentCell(row - 1, col - 1);
    --m_quietMoves;
}

// ---------------------------------------------------------------- keys and mouse

bool slxGrid::oneCellSelected() const
{
    const QList<QTableWidgetSelectionRange> ranges = hfg->selectedRanges();
    return ranges.isEmpty()
        || (ranges.size() == 1 && ranges.first().rowCount() == 1 && ranges.first().columnCount() == 1);
}

bool slxGrid::tableKeyPress(QKeyEvent *event)
{
    // The user works from the table's own cursor, never from a fixed cell.
    m_codeCol = -1;
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return tabKey(event);
    int KeyCode = KeyCodes::keyCode(event);
    int Shift = KeyCodes::shiftState(event);
    emit KeyDown(KeyCode, Shift);
    if (KeyCode == 0)
        return true;
    switch (KeyCode) {
    case 46:
        deleteKey();
        return true;
    case 45:
        if (m_allowInsert) {
            bool Cancel = false;
            emit RequestInsert(Cancel);
        }
        return true;
    case 113:
        if (oneCellSelected() && canEditCurrent())
            beginEdit(0);
        return true;
    default:
        break;
    }
    int KeyAscii = KeyCodes::keyAscii(event);
    if (KeyAscii == 0)
        return false;
    emit KeyPress(KeyAscii);
    if (KeyAscii == 27) {
        // Esc belongs to the form (it closes a sheet or a dialog).
        event->ignore();
        return true;
    }
    if (KeyAscii != 0 && oneCellSelected() && canEditCurrent()) {
        if (KeyAscii == 13)
            beginEdit(0);
        else if (KeyAscii >= 33 && (m_editType == gridColumn::Combo || acceptsStartKey(KeyAscii)))
            beginEdit(KeyAscii);
    }
    // Typed characters never reach the table: it has nothing to search.
    return true;
}

void slxGrid::deleteKey()
{
    if (!m_allowDelete || m_rows < 1)
        return;
    bool Cancel = false;
    emit RequestDelete(Cancel);
    if (Cancel)
        return;
    ++m_quietMoves;
    if (m_rows == 1) {
        clearRow(1);
        m_rows = 0;
    } else {
        const int row = Row();
        hfg->removeRow(row - 1);
        m_rowIDs.remove(row - 1);
        m_rows = hfg->rowCount();
    }
    --m_quietMoves;
    if (m_rows == m_visibleRows)
        fitExpandedCol();
    emit RowColChange();
}

void slxGrid::viewportMouse(QEvent *event)
{
    auto *e = static_cast<QMouseEvent *>(event);
    int Button = e->button() == Qt::LeftButton ? 1 : e->button() == Qt::RightButton ? 2
                                                   : e->button() == Qt::MiddleButton ? 4 : 0;
    int Shift = KeyCodes::shiftState(e->modifiers());
    const QPoint p = hfg->viewport()->mapTo(this, e->position().toPoint());
    float x = float(p.x() * slxModule::twipsPerPixelX);
    float Y = float(p.y() * slxModule::twipsPerPixelY);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_codeCol = -1;
        if (Button != 1)
            m_clickArmed = false;
        emit MouseDown(Button, Shift, x, Y);
        break;
    case QEvent::MouseButtonDblClick:
        m_clickArmed = false;
        emit DblClick();
        break;
    case QEvent::MouseButtonRelease: {
        if (Button != 1)
            m_clickArmed = false;
        emit MouseUp(Button, Shift, x, Y);
        const QModelIndex at = hfg->indexAt(e->position().toPoint());
        if (Button == 1 && at.isValid() && !isFixedColumn(at.column() + 1)) {
            // The first click on a cell selects it, a second one edits it.
            if (oneCellSelected()) {
                if (m_clickArmed) {
                    m_clickArmed = false;
                    if (canEditCurrent())
                        beginEdit(0);
                } else {
                    m_clickArmed = true;
                }
            } else {
                ++m_quietMoves;
                hfg->setCurrentCell(hfg->currentRow(), hfg->currentColumn(),
                                    QItemSelectionModel::ClearAndSelect);
                --m_quietMoves;
                m_clickArmed = false;
            }
        }
        break;
    }
    default:
        break;
    }
}

bool slxGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (m_editing && m_openEditor && watched->isWidgetType()
        && m_openEditor->isAncestorOf(static_cast<QWidget *>(watched)))
        return editorEvent(event);
    if (watched == hfg) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return tableKeyPress(static_cast<QKeyEvent *>(event));
        case QEvent::KeyRelease: {
            auto *k = static_cast<QKeyEvent *>(event);
            if (!k->isAutoRepeat() && k->key() != Qt::Key_Tab && k->key() != Qt::Key_Backtab) {
                int KeyCode = KeyCodes::keyCode(k);
                int Shift = KeyCodes::shiftState(k);
                emit KeyUp(KeyCode, Shift);
            }
            break;
        }
        case QEvent::FocusIn:
            m_hasFocus = true;
            applySelectionColours(true);
            break;
        case QEvent::FocusOut:
            m_hasFocus = false;
            m_clickArmed = false;
            applySelectionColours(false);
            break;
        case QEvent::Wheel:
            // The wheel moves the grid through mouseWheel only (one row per
            // notch, from the window's wheel hook); the event goes on up.
            event->ignore();
            return true;
        default:
            break;
        }
        return false;
    }
    if (watched == hfg->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (event->type() == QEvent::MouseButtonRelease) {
                // Let the table finish the press first.
                hfg->viewport()->removeEventFilter(this);
                QCoreApplication::sendEvent(hfg->viewport(), event);
                hfg->viewport()->installEventFilter(this);
                viewportMouse(event);
                return true;
            }
            viewportMouse(event);
            return false;
        case QEvent::Wheel:
            event->ignore();
            return true;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            if (m_oleDropMode != 0) {
                auto *d = static_cast<QDropEvent *>(event);
                const QPoint p = hfg->viewport()->mapTo(this, d->position().toPoint());
                raiseOleDrop(this, d, d->buttons() & Qt::LeftButton ? 1 : 0,
                             KeyCodes::shiftState(d->modifiers()),
                             float(p.x() * slxModule::twipsPerPixelX),
                             float(p.y() * slxModule::twipsPerPixelY));
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }
    if (event->type() == QEvent::Paint && watched == hfg->findChild<QAbstractButton *>()) {
        auto *corner = static_cast<QWidget *>(watched);
        QPainter painter(corner);
        QStyleOptionHeader opt;
        opt.initFrom(corner);
        opt.palette = hfg->horizontalHeader()->palette();
        opt.rect = corner->rect();
        opt.position = QStyleOptionHeader::OnlyOneSection;
        opt.state |= QStyle::State_Raised;
        painter.save();
        corner->style()->drawControl(QStyle::CE_Header, &opt, &painter, corner);
        painter.restore();
        // A long caption wraps, as the headers' captions do.
        painter.setFont(hfg->horizontalHeader()->font());
        painter.setPen(opt.palette.color(QPalette::ButtonText));
        painter.drawText(corner->rect().adjusted(4, 2, -4, -2),
                         int(alignmentOf(m_fixedAlignment, false)) | Qt::TextWordWrap, m_cornerText);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- editing

bool slxGrid::canEditCurrent()
{
    const gridColumn *column = ColumnHeader(Col());
    if (m_rows < 1 || !column || !column->Editable || isFixedColumn(Col()))
        return false;
    m_editType = column->FieldType;
    return true;
}

bool slxGrid::acceptsStartKey(int KeyAscii) const
{
    if (m_editType == gridColumn::Stringa)
        return true;
    if (m_editType == gridColumn::Data)
        return KeyAscii >= '0' && KeyAscii <= '3';
    return KeyAscii >= '0' && KeyAscii <= '9';
}

void slxGrid::setEditing(bool value)
{
    if (value) {
        if (!m_editing && canEditCurrent())
            beginEdit(0);
    } else if (m_editing) {
        finishEdit();
    }
}

void slxGrid::cancelEdit()
{
    if (m_editing)
        leaveEdit();
}

comboKgt *slxGrid::unitEditor(int index) const
{
    return index >= 0 && index < cmb.size() ? cmb.at(index) : nullptr;
}

void slxGrid::beginEdit(int KeyAscii)
{
    m_editRow = Row();
    m_editCol = Col();
    QVariant Valore = readCellValue(m_editRow, m_editCol);
    bool Cancel = false;
    emit RequestEdit(Cancel, KeyAscii, Valore);
    if (Cancel)
        return;
    const gridColumn *column = ColumnHeader(m_editCol);
    if (!column)
        return;
    m_editing = true;
    m_lastEditKey = 0;
    hfg->scrollToItem(cell(m_editRow, m_editCol, true));
    if (column->FieldType != gridColumn::Combo) {
        slt->setControlType(column->FieldType);
        if (column->FieldType == gridColumn::Stringa)
            slt->setMaxLength(column->FieldLen);
        if (column->FieldType >= gridColumn::Intero)
            slt->setIntDigits(column->FieldLen);
        if (column->FieldType == gridColumn::Decimale)
            slt->setDecDigits(column->FieldDec);
        slt->setValue(Valore);
        m_openEditor = slt;
        placeEditor(slt);
        slt->show();
        slt->raise();
        slt->setFocus(Qt::OtherFocusReason);
        if (KeyAscii >= 1 && KeyAscii != 13)
            deliverChar(slt, KeyAscii);
    } else {
        comboKgt *picker = unitEditor(column->comboIndex);
        if (!picker)
            picker = cmb.first();
        picker->setValue(Valore);
        m_openEditor = picker;
        placeEditor(picker);
        picker->show();
        picker->raise();
        picker->setFocus(Qt::OtherFocusReason);
        if (KeyAscii == 13 || KeyAscii < 1)
            picker->comboBox()->showPopup();
        else
            deliverChar(picker->comboBox(), KeyAscii);
    }
}

void slxGrid::placeEditor(QWidget *editor)
{
    QTableWidgetItem *item = cell(m_editRow, m_editCol, true);
    QRect r = hfg->visualItemRect(item);
    r.moveTopLeft(hfg->viewport()->mapTo(this, r.topLeft()));
    // Over the cell's grid lines on every side, so only the editor shows.
    editor->setGeometry(r.left() - 1, r.top() - 1, r.width() + 2, qMax(r.height() + 2, editor->sizeHint().height()));
}

void slxGrid::deliverChar(QWidget *editor, int KeyAscii)
{
    QWidget *target = editor->focusWidget() ? editor->focusWidget() : editor;
    const QChar c = KeyCodes::charOf(KeyAscii);
    const QString text(c);
    int key = Qt::Key_unknown;
    const QChar upper = c.toUpper();
    if ((upper >= QLatin1Char('A') && upper <= QLatin1Char('Z'))
        || (upper >= QLatin1Char('0') && upper <= QLatin1Char('9')))
        key = upper.unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

void slxGrid::editorKeyDown(int &KeyCode, int &Shift)
{
    emit KeyDown(KeyCode, Shift);
    if (!m_editing || Shift != 0 || (KeyCode != 40 && KeyCode != 38))
        return;
    const int row = m_editRow;
    const bool down = KeyCode == 40;
    KeyCode = 0;
    if (down ? row < qMax(m_rows, 1) : row > 1) {
        const int col = m_editCol;
        if (finishEdit())
            hfg->setCurrentCell(row - 1 + (down ? 1 : -1), col - 1);
    }
}

void slxGrid::editorKeyPress(int &KeyAscii)
{
    emit KeyPress(KeyAscii);
    if (!m_editing)
        return;
    m_lastEditKey = KeyAscii;
    if (KeyAscii == 27) {
        // Esc ends the edit where it is, with the value typed when it is a
        // valid one. It never holds the user in the cell: a value refused
        // gives way, with no message, to the one the cell had.
        KeyAscii = 0;
        if (m_openEditor != slt || slt->textAccepted())
            validateOpenEditor();
        leaveEdit();
    } else if (KeyAscii == 13) {
        KeyAscii = 0;
        if (finishEdit())
            endEdit();
    }
}

void slxGrid::editorValidate(bool &Cancel)
{
    // A leave the grid itself started has been validated already.
    if (!m_editing || m_closing)
        return;
    Cancel = !validateOpenEditor();
    m_leaveValidated = !Cancel;
}

bool slxGrid::validateOpenEditor()
{
    if (m_validating)
        return false;
    m_validating = true;
    QVariant Valore;
    bool ok = true;
    if (m_openEditor == slt) {
        bool Modificato = false;
        ok = slt->Match(Modificato);
        if (ok) {
            // A number cell holding a text as the file holds it gets it
            // back unless something else was typed: the editor reads some
            // texts ("1,5") as the number they spell.
            const QVariant held = readCellValue(m_editRow, m_editCol);
            const gridColumn *column = ColumnHeader(m_editCol);
            const bool kept = !Modificato && column && column->isNumeric() && held.typeId() == QMetaType::QString;
            Valore = kept ? held : slt->Value();
        }
    } else if (auto *picker = qobject_cast<comboKgt *>(m_openEditor)) {
        Valore = picker->valueToStore();
    }
    if (ok) {
        bool Cancel = false;
        emit ValidateEdit(Cancel, Valore);
        if (Cancel) {
            if (m_openEditor == slt)
                slt->SelectAll();
            ok = false;
        } else {
            storeEditValue(m_editRow, m_editCol, Valore);
        }
    }
    m_validating = false;
    return ok;
}

bool slxGrid::finishEdit()
{
    if (!m_editing)
        return true;
    if (!validateOpenEditor())
        return false;
    leaveEdit();
    return true;
}

void slxGrid::leaveEdit()
{
    m_closing = true;
    hfg->setFocus(Qt::OtherFocusReason);
    closeEditor();
    m_closing = false;
}

void slxGrid::closeEditor()
{
    if (m_openEditor) {
        if (auto *picker = qobject_cast<comboKgt *>(m_openEditor))
            picker->comboBox()->hidePopup();
        m_openEditor->hide();
    }
    m_openEditor = nullptr;
    m_editing = false;
    m_leaveValidated = false;
}

void slxGrid::focusMoved(QWidget *from, QWidget *to)
{
    // A window that gives the focus to the first control of its chain when
    // it is activated (a multi-document child) may hand it to an editor that
    // is hidden, where keys would go unseen: the focus is the table's.
    if (!m_editing && to && !to->isVisible() && isAncestorOf(to)) {
        hfg->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!m_editing || m_closing || !m_openEditor || !from || !to)
        return;
    // The picker's drop-down list is a window of its own, still the editor's.
    const auto inEditor = [this](QWidget *w) {
        for (; w; w = w->parentWidget())
            if (w == m_openEditor)
                return true;
        return false;
    };
    // The window going out of sight (minimised, or hidden for a moment as
    // it is maximised or restored) takes the focus from the editor without
    // a leave: the edit stays open for the clerk's return.
    if (!inEditor(from) || inEditor(to) || !m_openEditor->isVisible())
        return;
    // A move no Validate saw (a programmatic one) is validated now; a
    // refusal brings the focus back to the editor.
    if (!m_leaveValidated && !validateOpenEditor()) {
        m_openEditor->setFocus(Qt::OtherFocusReason);
        return;
    }
    closeEditor();
}

void slxGrid::tableScrolled()
{
    if (!m_editing || !m_openEditor || m_closing)
        return;
    QTableWidgetItem *item = cell(m_editRow, m_editCol, true);
    const QRect r = hfg->visualItemRect(item);
    if (hfg->viewport()->rect().contains(r.center())) {
        placeEditor(m_openEditor);
        return;
    }
    // The edited cell scrolled away: its value is stored as on any leave.
    if (!finishEdit())
        hfg->scrollToItem(item);
}

bool slxGrid::nextEditableCell(int &row, int &col, bool backwards) const
{
    const int n = Cols();
    const int step = backwards ? -1 : 1;
    for (int r = row, c = col + step; r >= 1 && r <= m_rows; r += step, c = backwards ? n : 1) {
        for (; c >= 1 && c <= n; c += step) {
            const gridColumn *column = ColumnHeader(c);
            if (column && column->Editable && !isFixedColumn(c)) {
                row = r;
                col = c;
                return true;
            }
        }
    }
    return false;
}

bool slxGrid::tabKey(const QKeyEvent *key)
{
    if (m_autoTab < 1 || (key->modifiers() & Qt::AltModifier))
        return false;
    int row = m_editing ? m_editRow : Row();
    int col = m_editing ? m_editCol : Col();
    // An edit's value goes with it, as with Enter; a refused one keeps the
    // editor open.
    if (!finishEdit())
        return true;
    // A plain Tab stays in the grid while a cell to fill is left, so what
    // is typed next never lands in a field outside it; Ctrl+Tab leaves it,
    // as it leaves any widget that keeps Tab for itself.
    const bool backwards = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
    if (!(key->modifiers() & Qt::ControlModifier) && nextEditableCell(row, col, backwards)) {
        moveQuietly(row, col);
        emit RowColChange();
    } else {
        KeySender::moveFocusNow(backwards);
    }
    return true;
}

void slxGrid::endEdit()
{
    if (m_lastEditKey != 13 || m_autoTab < 1)
        return;
    int row = m_editRow;
    int col = m_editCol;
    const bool inGrid = m_autoTab == 1 ? nextEditableCell(row, col, false) : ++row <= m_rows;
    if (!inGrid) {
        KeySender::sendTab();
        return;
    }
    moveQuietly(row, col);
    emit RowColChange();
}

bool slxGrid::editorEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The form's Esc (closing a sheet or a dialog) waits for an Esc
        // that no edit takes.
        if (static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
            return false;
        event->accept();
        return true;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && tabKey(key);
    }
    default:
        return false;
    }
}

// ---------------------------------------------------------------- persistence

void slxGrid::initNewInstance()
{
    m_columns.clear();
    m_colAlign.clear();
    hfg->setColumnCount(0);
    hfg->setFont(Ambient::font(this));
    setFontFixed(Ambient::font(this));
    m_autoTab = 1;
    m_enabled = true;
    m_backColorUnsel = int(0x80000003u);
    m_foreColorUnsel = int(0x80000013u);
    // A new grid shows its selection in the system's highlight colours.
    m_backColorSel = SystemColors::vbHighlight;
    m_foreColorSel = SystemColors::vbHighlightText;
    m_fixedAlignment = 9;
    m_fixedRow = true;
    m_fixedCol = true;
    m_fixedHeight = 405;
    m_fixedWidth = 300;
    setRows(1);
    AddColumn();
    applySelectionColours(m_hasFocus);
    Refresh();
}

void slxGrid::readProperties(const PropertyBag &bag)
{
    const auto rd = [&bag](const char *key, const QVariant &def) {
        return bag.ReadProperty(QLatin1String(key), def);
    };
    const QFont ambient = Ambient::font(this);
    m_allowBigSelection = rd("AllowBigSelection", true).toBool();
    m_allowDelete = rd("AllowDelete", false).toBool();
    m_allowInsert = rd("AllowInsert", false).toBool();
    m_allowUserResizing = rd("AllowUserResizing", 0).toInt();
    m_appearance = rd("Appearance", 1).toInt();
    m_autoTab = rd("AutoTab", 1).toInt();
    m_backColor = rd("BackColor", SystemColors::vbWindowBackground).toInt();
    m_backColorBkg = rd("BackColorBkg", SystemColors::vbButtonFace).toInt();
    m_backColorFixed = rd("BackColorFixed", SystemColors::vbButtonFace).toInt();
    m_backColorSel = rd("BackColorSel", SystemColors::vbHighlight).toInt();
    m_backColorUnsel = rd("BackColorUnsel", int(0x80000003u)).toInt();
    m_borderStyle = rd("BorderStyle", 1).toInt();
    const int layoutCols = qMax(rd("Cols", 2).toInt(), 1);
    m_enabled = rd("Enabled", true).toBool();
    m_expandedCol = rd("ExpandedCol", 0).toInt();
    m_fixedAlignment = rd("FixedAlignment", 9).toInt();
    m_fixedCol = rd("FixedCol", true).toBool();
    m_fixedHeight = rd("FixedHeight", 405).toInt();
    m_fixedRow = rd("FixedRow", true).toBool();
    m_fixedWidth = rd("FixedWidth", 300).toInt();
    m_focusRect = rd("FocusRect", 1).toInt();
    hfg->setFont(rd("Font", ambient).value<QFont>());
    const QFont fixedFont = rd("FontFixed", ambient).value<QFont>();
    m_foreColor = rd("ForeColor", SystemColors::vbWindowText).toInt();
    m_foreColorFixed = rd("ForeColorFixed", SystemColors::vbButtonText).toInt();
    m_foreColorSel = rd("ForeColorSel", SystemColors::vbHighlightText).toInt();
    m_foreColorUnsel = rd("ForeColorUnsel", int(0x80000013u)).toInt();
    m_gridColor = rd("GridColor", SystemColors::vbButtonText).toInt();
    m_gridColorFixed = rd("GridColorFixed", 0xC0C0C0).toInt();
    m_gridLines = rd("GridLines", 1).toInt();
    m_gridLinesFixed = rd("GridLinesFixed", 2).toInt();
    m_gridLineWidth = rd("GridLineWidth", 1).toInt();
    m_gridLineWidthFixed = rd("GridLineWidthFixed", 1).toInt();
    m_highLight = rd("HighLight", 1).toInt();
    m_oleDropMode = rd("OleDropMode", 0).toInt();
    const int rows = qMax(rd("Rows", 1).toInt(), 0);
    m_rowSizingMode = rd("RowSizingMode", 0).toInt();
    m_scrollBars = rd("ScrollBars", 3).toInt();
    m_selectionMode = rd("SelectionMode", 0).toInt();
    m_wordWrap = rd("WordWrap", false).toBool();

    // Only now, with every grid value known, are the columns built.
    m_columns.clear();
    m_colAlign.clear();
    hfg->setColumnCount(0);
    for (int i = 1; i < layoutCols; ++i) {
        gridColumn *c = AddColumn();
        c->readProperties(bag, i);
    }
    finishRead(rows, fixedFont);
}

void slxGrid::finishRead(int rows, const QFont &fixedFont)
{
    ++m_quietMoves;
    setTableRowCount(qMax(rows, 1));
    m_rows = rows;
    --m_quietMoves;
    hfg->horizontalHeader()->setFont(fixedFont);
    hfg->verticalHeader()->setFont(fixedFont);
    hfg->verticalHeader()->setDefaultSectionSize(tableRowHeight());
    hfg->setShowGrid(m_gridLines != 0);
    hfg->setWordWrap(m_wordWrap);
    hfg->horizontalHeader()->setSectionsClickable(m_allowBigSelection);
    hfg->verticalHeader()->setSectionsClickable(m_allowBigSelection);
    hfg->viewport()->setAcceptDrops(m_oleDropMode != 0);
    applyColours();
    applySelectionColours(false);
    applyFrame();
    applyScrollBars();
    applyResizing();
    applySelectionMode();
    if (Ambient::userMode()) {
        hfg->setEnabled(m_enabled);
        QWidget::setEnabled(m_enabled);
        slt->setFont(hfg->font());
        for (comboKgt *c : cmb)
            c->setFont(hfg->font());
    }
    Refresh();
}

void slxGrid::endReadProperties()
{
    PropertyBag bag;
    int count = 0;
    for (const QByteArray &name : dynamicPropertyNames()) {
        int digits = 3;
        while (digits < name.size() && name.at(digits) >= '0' && name.at(digits) <= '9')
            ++digits;
        if (!name.startsWith("Col") || digits == 3)
            continue;
        count = qMax(count, name.mid(3, digits - 3).toInt());
        bag.WriteProperty(QString::fromLatin1(name), property(name.constData()));
    }
    if (count > 0) {
        m_columns.clear();
        m_colAlign.clear();
        hfg->setColumnCount(0);
        for (int i = 1; i <= count; ++i)
            AddColumn()->readProperties(bag, i);
    }
    finishRead(m_rows, FontFixed());
}

void slxGrid::writeProperties(PropertyBag &bag) const
{
    const auto wr = [&bag](const char *key, const QVariant &value, const QVariant &def) {
        bag.WriteProperty(QLatin1String(key), value, def);
    };
    const QFont ambient = Ambient::font(this);
    wr("AllowBigSelection", m_allowBigSelection, true);
    wr("AllowDelete", m_allowDelete, false);
    wr("AllowInsert", m_allowInsert, false);
    wr("AllowUserResizing", m_allowUserResizing, 0);
    wr("Appearance", m_appearance, 1);
    wr("AutoTab", m_autoTab, 1);
    wr("BackColor", m_backColor, SystemColors::vbWindowBackground);
    wr("BackColorBkg", m_backColorBkg, SystemColors::vbButtonFace);
    wr("BackColorFixed", m_backColorFixed, SystemColors::vbButtonFace);
    wr("BackColorSel", m_backColorSel, SystemColors::vbHighlight);
    wr("BackColorUnsel", m_backColorUnsel, int(0x80000003u));
    wr("BorderStyle", m_borderStyle, 1);
    wr("Cols", Cols() + 1, 2);
    wr("Enabled", m_enabled, true);
    wr("ExpandedCol", m_expandedCol, 0);
    wr("FixedAlignment", m_fixedAlignment, 9);
    wr("FixedCol", m_fixedCol, true);
    wr("FixedHeight", m_fixedHeight, 405);
    wr("FixedRow", m_fixedRow, true);
    wr("FixedWidth", m_fixedWidth, 300);
    wr("FocusRect", m_focusRect, 1);
    wr("Font", Font(), ambient);
    wr("FontFixed", FontFixed(), ambient);
    wr("ForeColor", m_foreColor, SystemColors::vbWindowText);
    wr("ForeColorFixed", m_foreColorFixed, SystemColors::vbButtonText);
    wr("ForeColorSel", m_foreColorSel, SystemColors::vbHighlightText);
    wr("ForeColorUnsel", m_foreColorUnsel, int(0x80000013u));
    wr("GridColor", m_gridColor, SystemColors::vbButtonText);
    wr("GridColorFixed", m_gridColorFixed, 0xC0C0C0);
    wr("GridLines", m_gridLines, 1);
    wr("GridLinesFixed", m_gridLinesFixed, 2);
    wr("GridLineWidth", m_gridLineWidth, 1);
    wr("GridLineWidthFixed", m_gridLineWidthFixed, 1);
    wr("HighLight", m_highLight, 1);
    wr("OleDropMode", m_oleDropMode, 0);
    wr("Rows", m_rows, 1);
    wr("RowSizingMode", m_rowSizingMode, 0);
    wr("ScrollBars", m_scrollBars, 3);
    wr("SelectionMode", m_selectionMode, 0);
    wr("WordWrap", m_wordWrap, false);
    for (int i = 1; i <= Cols(); ++i)
        ColumnHeader(i)->writeProperties(bag, i);
}
