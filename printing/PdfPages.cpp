#include "PdfPages.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <new>

#include "WholeFile.h"

namespace {

// A4 portrait; 15 mm at the sides and 10 mm at top and foot suit every
// office printer's unprintable edge with room to spare.
constexpr double PageWidth = 210;
constexpr double PageHeight = 297;
constexpr double SideMargin = 15;
constexpr double EdgeMargin = 10;
constexpr double CellPadX = 1.2;
constexpr double CellPadY = 0.7;
constexpr double LineWidth = 0.2;

// Installed with the program's packages and embedded in the file, so the
// document looks the same wherever it is opened.
const QString FontFamily = QStringLiteral("DejaVu Sans");

} // namespace

PdfPages::PdfPages(const QString &fileName, const QString &caption)
    : m_fileName(fileName), m_caption(caption)
{
    m_buffer.open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(&m_buffer);
    m_writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    m_writer->setCreator(caption);

    const struct { double points; bool bold; } styles[FontCount] = {
        {8.5, false},   // Value
        {6, false},     // Caption
        {9, true},      // Bold
        {7, true},      // Head
        {11, true},     // Heading
        {7.5, false},   // Small
    };
    for (int i = 0; i < FontCount; ++i) {
        QFont font(FontFamily);
        font.setPointSizeF(styles[i].points);
        font.setBold(styles[i].bold);
        font.setKerning(false);
        // Ligatures would turn "fi" into one sign that a search in the
        // viewer no longer finds.
        font.setStyleStrategy(QFont::PreferNoShaping);
        m_fonts[i] = font;
        m_lineHeight[i] = QFontMetricsF(font, m_writer.get()).lineSpacing();
    }

    m_left = mm(SideMargin);
    m_width = mm(PageWidth - 2 * SideMargin);
    // The subject may take two lines: a long company name, its codice
    // fiscale and the local unit's address.
    m_top = mm(EdgeMargin) + m_lineHeight[Small] + m_lineHeight[Heading] + 2 * m_lineHeight[Value]
        + mm(3);
    m_bottom = mm(PageHeight - EdgeMargin) - m_lineHeight[Small] - mm(2.5);
}

PdfPages::~PdfPages() = default;

qreal PdfPages::mm(double millimetres) const
{
    return millimetres * m_writer->resolution() / 25.4;
}

qreal PdfPages::lineHeight(FontRole role) const
{
    return m_lineHeight[role];
}

QStringList PdfPages::wrap(const QString &text, FontRole role, qreal width, bool breakWords) const
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    const QFontMetricsF metrics(m_fonts[role], m_writer.get());
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        if (metrics.horizontalAdvance(paragraph) <= width) {
            lines.append(paragraph);
            continue;
        }
        // A word of a name or an address longer than its box is broken too
        // rather than left to run out of it; a word of a caption stays
        // whole and is narrowed to its box when painted.
        QTextLayout layout(paragraph, m_fonts[role], m_writer.get());
        QTextOption option;
        option.setWrapMode(breakWords ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                      : QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append(paragraph.mid(line.textStart(), line.textLength()).trimmed());
        }
        layout.endLayout();
    }
    return lines;
}

void PdfPages::setHeading(const QString &title, const QString &subject)
{
    placePending();
    m_title = title;
    m_subject = subject;
    if (!m_pages.empty() && m_pages.back().elements.empty()) {
        m_pages.back().title = title;
        m_pages.back().subject = subject;
    }
}

void PdfPages::startPage()
{
    Page page;
    page.title = m_title;
    page.subject = m_subject;
    m_pages.push_back(std::move(page));
    m_y = m_top;
}

void PdfPages::newPage()
{
    placePending();
    if (!m_pages.empty() && !m_pages.back().elements.empty())
        startPage();
}

void PdfPages::beginBlock()
{
    m_inBlock = true;
}

void PdfPages::endBlock()
{
    m_inBlock = false;
    std::vector<Element> group;
    group.swap(m_pending);
    for (Element &e : m_block)
        group.push_back(std::move(e));
    m_block.clear();
    placeGroup(std::move(group));
}

void PdfPages::beginSection(const QString &caption)
{
    m_sections.push_back({caption, m_section, false});
    m_section = int(m_sections.size()) - 1;
}

void PdfPages::endSection()
{
    if (m_section >= 0)
        m_section = m_sections.at(size_t(m_section)).parent;
}

QString PdfPages::widest(const QString &allowed, int length) const
{
    const QFontMetricsF metrics(m_fonts[Value], m_writer.get());
    QChar widest;
    for (const QChar c : allowed)
        if (widest.isNull() || metrics.horizontalAdvance(c) > metrics.horizontalAdvance(widest))
            widest = c;
    return QString(length, widest);
}

PdfPages::Element PdfPages::measuredCells(Kind kind, const QVector<Field> &cells) const
{
    const FontRole valueRole = kind == Title ? Bold : kind == Band ? Head : Value;
    const qreal padX = mm(CellPadX);
    // A box holding a figure or a code is as wide as its widest value; the
    // other boxes share what is left in proportion to their weights.
    QVector<qreal> least(cells.size(), 0);
    const QFontMetricsF metrics(m_fonts[valueRole], m_writer.get());
    for (int i = 0; i < cells.size(); ++i)
        if (!cells[i].widest.isEmpty())
            least[i] = metrics.horizontalAdvance(cells[i].widest) + 2 * padX + mm(0.2);
    QVector<qreal> widths(cells.size(), 0);
    QVector<bool> fixed(cells.size(), false);
    for (bool again = true; again;) {
        again = false;
        qreal free = m_width;
        double weights = 0;
        for (int i = 0; i < cells.size(); ++i) {
            if (fixed[i])
                free -= widths[i];
            else
                weights += cells[i].weight;
        }
        for (int i = 0; i < cells.size(); ++i) {
            if (fixed[i])
                continue;
            widths[i] = weights > 0 ? free * cells[i].weight / weights : 0;
            if (widths[i] < least[i]) {
                widths[i] = least[i];
                fixed[i] = true;
                again = true;
            }
        }
    }
    Element e;
    e.kind = kind;
    qreal x = m_left;
    for (int i = 0; i < cells.size(); ++i) {
        Cell cell;
        cell.x = x;
        cell.w = i + 1 == cells.size() ? m_left + m_width - x : widths[i];
        x += cell.w;
        cell.align = cells[i].align;
        cell.whole = !cells[i].widest.isEmpty();
        e.cells.append(cell);
    }
    measure(e, cells);
    return e;
}

// Wraps the texts of the element's boxes and sets its height.
void PdfPages::measure(Element &e, const QVector<Field> &cells) const
{
    const FontRole captionRole = e.kind == TableHead ? Head : Caption;
    const FontRole valueRole = e.kind == Title ? Bold : e.kind == Band ? Head : Value;
    const qreal padX = mm(CellPadX);
    const qreal padY = mm(CellPadY);
    e.height = 0;
    for (int i = 0; i < e.cells.size(); ++i) {
        Cell &cell = e.cells[i];
        const qreal inner = cell.w - 2 * padX;
        cell.caption = wrap(cells[i].caption, captionRole, inner, false);
        if (cell.whole)
            cell.value = cells[i].value.isEmpty() ? QStringList() : QStringList{cells[i].value};
        else
            cell.value = wrap(cells[i].value, valueRole, inner);
        qreal h = 2 * padY + cell.caption.size() * lineHeight(captionRole);
        if (e.kind != TableHead)
            h += std::max<int>(1, int(cell.value.size())) * lineHeight(valueRole);
        e.height = std::max(e.height, h);
    }
}

void PdfPages::title(const QString &text)
{
    add(measuredCells(Title, {{QString(), text, 1, Qt::AlignHCenter}}));
}

void PdfPages::band(const QString &text)
{
    add(measuredCells(Band, {{QString(), text}}));
}

void PdfPages::fields(const QVector<Field> &row)
{
    add(measuredCells(Fields, row));
}

void PdfPages::beginTable(const QVector<Column> &columns, const QString &caption)
{
    QVector<Field> cells;
    for (const Column &c : columns)
        cells.append({c.caption, QString(), c.weight, c.align, c.widest});
    Element head = measuredCells(TableHead, cells);
    m_tableHeads.push_back(head);
    m_tableCaptions.push_back(caption);
    m_table = int(m_tableHeads.size()) - 1;
    add(head);
}

void PdfPages::row(const QStringList &values)
{
    // The boxes of a row are those of its header.
    Element e = m_tableHeads.at(size_t(m_table));
    e.kind = TableRow;
    e.table = m_table;
    QVector<Field> cells;
    for (int i = 0; i < e.cells.size(); ++i)
        cells.append({QString(), values.value(i)});
    measure(e, cells);
    add(std::move(e));
}

void PdfPages::endTable()
{
    m_table = -1;
}

void PdfPages::note(const QString &text)
{
    Element e;
    e.kind = Note;
    Cell cell;
    cell.x = m_left;
    cell.w = m_width;
    cell.value = wrap(text, Value, m_width);
    e.height = std::max<int>(1, int(cell.value.size())) * lineHeight(Value) + mm(CellPadY);
    e.cells.append(cell);
    add(std::move(e));
}

void PdfPages::gap(double millimetres)
{
    Element e;
    e.kind = Gap;
    e.height = mm(millimetres);
    add(std::move(e));
}

bool PdfPages::isHeading(Kind kind)
{
    return kind == Title || kind == Band || kind == TableHead;
}

void PdfPages::add(Element e)
{
    e.section = m_section;
    if (m_inBlock) {
        m_block.push_back(std::move(e));
    } else if (isHeading(e.kind)) {
        m_pending.push_back(std::move(e));
    } else if (e.kind == Gap && m_pending.empty()) {
        place(std::move(e));
    } else {
        m_pending.push_back(std::move(e));
        placePending();
    }
}

void PdfPages::placePending()
{
    std::vector<Element> group;
    group.swap(m_pending);
    placeGroup(std::move(group));
}

void PdfPages::placeGroup(std::vector<Element> group)
{
    if (group.empty())
        return;
    if (m_pages.empty())
        startPage();
    qreal total = 0;
    for (const Element &e : group)
        total += e.height;
    if (m_y + total > m_bottom && !m_pages.back().elements.empty() && total <= m_bottom - m_top) {
        // A gap opening the group has nothing to keep apart on a fresh page.
        while (!group.empty() && group.front().kind == Gap) {
            total -= group.front().height;
            group.erase(group.begin());
        }
        if (group.empty())
            return;
        breakPage(group.front());
    }
    const bool fits = m_y + total <= m_bottom;
    for (Element &e : group) {
        if (fits)
            append(std::move(e));
        else
            place(std::move(e));
    }
}

void PdfPages::place(Element e)
{
    if (m_pages.empty())
        startPage();
    // Inside a group taller than a page a heading still needs a line of
    // what it heads below it; a gap at the foot of a page is simply dropped.
    qreal needed = e.height;
    if (isHeading(e.kind))
        needed += 2 * lineHeight(Value) + 2 * mm(CellPadY);
    if (m_y + needed > m_bottom && !m_pages.back().elements.empty()) {
        if (e.kind == Gap)
            return;
        breakPage(e);
    }
    append(std::move(e));
}

void PdfPages::append(Element e)
{
    for (int s = e.section; s >= 0; s = m_sections.at(size_t(s)).parent)
        m_sections[size_t(s)].started = true;
    e.y = m_y;
    m_y += e.height;
    m_pages.back().elements.push_back(std::move(e));
}

void PdfPages::breakPage(const Element &next)
{
    startPage();
    std::vector<Element> repeated;
    for (int s = next.section; s >= 0; s = m_sections.at(size_t(s)).parent) {
        const Section &section = m_sections.at(size_t(s));
        if (section.started && !section.caption.isEmpty())
            repeated.insert(repeated.begin(),
                            measuredCells(Band, {{QString(), section.caption + QStringLiteral(" (segue)")}}));
    }
    if (next.kind == TableRow && next.table >= 0) {
        const QString &caption = m_tableCaptions.at(size_t(next.table));
        if (!caption.isEmpty())
            repeated.push_back(measuredCells(Band, {{QString(), caption + QStringLiteral(" (segue)")}}));
        repeated.push_back(m_tableHeads.at(size_t(next.table)));
    }
    for (Element &r : repeated) {
        r.y = m_y;
        m_y += r.height;
        m_pages.back().elements.push_back(std::move(r));
    }
}

int PdfPages::pageCount() const
{
    return std::max<int>(1, int(m_pages.size()));
}

bool PdfPages::write(QString *failure)
{
    QString cause;
    // Lack of memory is the one fault that comes as an exception; it must
    // not reach the event loop, which would end the program.
    try {
        cause = paint();
    } catch (const std::bad_alloc &) {
        cause = QStringLiteral("memoria insufficiente per comporre il documento.");
    }
    if (!cause.isEmpty()) {
        if (failure)
            *failure = cause;
        return false;
    }
    // Written beside its name and renamed only when whole: a print of the
    // same name, made within the same second, is replaced only then.
    return WholeFile::write(m_fileName, m_buffer.data(), failure);
}

QString PdfPages::paint()
{
    placePending();
    if (m_pages.empty())
        startPage();
    if (!m_pages.front().title.isEmpty())
        m_writer->setTitle(m_pages.front().title);
    QPainter p;
    if (!p.begin(m_writer.get()))
        return QStringLiteral("non è stato possibile avviare la composizione del documento.");
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (i > 0 && !m_writer->newPage())
            return QStringLiteral("non è stato possibile aggiungere la pagina %1 di %2 al documento.")
                .arg(i + 1)
                .arg(m_pages.size());
        paintPage(p, m_pages[i], int(i) + 1);
    }
    // The writer does not report bytes its device refused: a document
    // without its closing mark lost some of them.
    if (!p.end() || !m_buffer.data().endsWith("%%EOF\n"))
        return QStringLiteral("il documento composto è rimasto incompleto.");
    return QString();
}

void PdfPages::paintLines(QPainter &p, const QStringList &lines, FontRole role, const QRectF &r,
                          Qt::Alignment align) const
{
    if (lines.isEmpty())
        return;
    p.setFont(m_fonts[role]);
    const QFontMetricsF metrics(m_fonts[role], m_writer.get());
    qreal baseline = r.top() + metrics.ascent();
    for (const QString &line : lines) {
        const qreal advance = metrics.horizontalAdvance(line);
        if (advance > r.width()) {
            // A figure beyond what its field allows (read from an imported
            // file) is narrowed to its box rather than broken or cut.
            p.save();
            p.translate(r.left(), baseline);
            p.scale(r.width() / advance, 1);
            p.drawText(QPointF(0, 0), line);
            p.restore();
        } else {
            qreal x = r.left();
            if (align & (Qt::AlignRight | Qt::AlignHCenter)) {
                const qreal free = r.width() - advance;
                x += (align & Qt::AlignRight) ? free : free / 2;
            }
            p.drawText(QPointF(x, baseline), line);
        }
        baseline += lineHeight(role);
    }
}

void PdfPages::paintPage(QPainter &p, const Page &page, int number) const
{
    const QPen rule(Qt::black, mm(LineWidth));
    const qreal right = m_left + m_width;
    qreal y = mm(EdgeMargin);
    paintLines(p, {m_caption}, Small, QRectF(m_left, y, m_width, lineHeight(Small)), Qt::AlignLeft);
    y += lineHeight(Small);
    const QFontMetricsF heading(m_fonts[Heading], m_writer.get());
    paintLines(p, {heading.elidedText(page.title, Qt::ElideRight, m_width)}, Heading,
               QRectF(m_left, y, m_width, lineHeight(Heading)), Qt::AlignHCenter);
    y += lineHeight(Heading);
    QStringList subject = wrap(page.subject, Value, m_width);
    if (subject.size() > 2) {
        const QFontMetricsF value(m_fonts[Value], m_writer.get());
        subject[1] = value.elidedText(subject.mid(1).join(QLatin1Char(' ')),
                                      Qt::ElideRight, m_width);
        subject = subject.mid(0, 2);
    }
    paintLines(p, subject, Value, QRectF(m_left, y, m_width, 2 * lineHeight(Value)), Qt::AlignHCenter);
    p.setPen(rule);
    p.drawLine(QPointF(m_left, m_top - mm(1.5)), QPointF(right, m_top - mm(1.5)));

    const qreal footer = m_bottom + mm(1.5);
    p.drawLine(QPointF(m_left, footer), QPointF(right, footer));
    paintLines(p, {QStringLiteral("Pagina %1 di %2").arg(number).arg(m_pages.size())}, Small,
               QRectF(m_left, footer + mm(1), m_width, lineHeight(Small)), Qt::AlignRight);

    for (const Element &e : page.elements)
        paintElement(p, e);
}

void PdfPages::paintElement(QPainter &p, const Element &e) const
{
    if (e.kind == Gap)
        return;
    const QPen rule(Qt::black, mm(LineWidth));
    const qreal padX = mm(CellPadX);
    const qreal padY = mm(CellPadY);
    for (const Cell &cell : e.cells) {
        const QRectF box(cell.x, e.y, cell.w, e.height);
        const QRectF inner = box.adjusted(padX, padY, -padX, -padY);
        switch (e.kind) {
        case Title:
        case Band:
        case TableHead: {
            const QColor fill = e.kind == Title ? QColor(200, 200, 200)
                : e.kind == Band                ? QColor(228, 228, 228)
                                                : QColor(238, 238, 238);
            p.fillRect(box, fill);
            p.setPen(rule);
            p.drawRect(box);
            p.setPen(Qt::black);
            if (e.kind == TableHead)
                paintLines(p, cell.caption, Head, inner, Qt::AlignHCenter);
            else
                paintLines(p, cell.value, e.kind == Title ? Bold : Head, inner, cell.align);
            break;
        }
        case Fields:
            p.setPen(rule);
            p.drawRect(box);
            p.setPen(QColor(80, 80, 80));
            paintLines(p, cell.caption, Caption, inner, Qt::AlignLeft);
            p.setPen(Qt::black);
            paintLines(p, cell.value, Value,
                       inner.adjusted(0, cell.caption.size() * lineHeight(Caption), 0, 0),
                       cell.align);
            break;
        case TableRow:
            p.setPen(rule);
            p.drawRect(box);
            p.setPen(Qt::black);
            paintLines(p, cell.value, Value, inner, cell.align);
            break;
        case Note:
            p.setPen(Qt::black);
            paintLines(p, cell.value, Value, box, Qt::AlignLeft);
            break;
        case Gap:
            break;
        }
    }
}
