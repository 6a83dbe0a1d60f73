#pragma once

#include <QBuffer>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <vector>

class QPainter;
class QPdfWriter;

// The printed page of the program: A4 portrait with margins any office
// printer can reach, the program's caption, a title and the declaring
// company at the top of every page and "Pagina N di M" at the foot. The
// content is a column of boxed form rows, caption bands and tables, laid
// out first and painted when the page count is known. Long texts wrap
// inside their boxes; a table that runs past a page goes on with its
// header repeated; rows never split across pages; a heading never ends a
// page without what it heads, and a page that goes on with a section or a
// table begun earlier says so at its top. Figures and codes never break:
// their boxes are as wide as the widest value their field allows. Fonts
// are embedded.
class PdfPages
{
public:
    // One box of a form row: a small caption over its value. Boxes of a
    // row share its width in proportion to their weights.
    // widest: for a figure or a code, the widest value its field allows;
    // the value then stays on one line and the box is made that wide.
    struct Field
    {
        QString caption;
        QString value;
        double weight = 1;
        Qt::Alignment align = Qt::AlignLeft;
        QString widest {};
    };
    struct Column
    {
        QString caption;
        double weight = 1;
        Qt::Alignment align = Qt::AlignLeft;
        QString widest {};
    };

    // fileName: where write() puts the document; caption: the program's.
    PdfPages(const QString &fileName, const QString &caption);
    ~PdfPages();
    PdfPages(const PdfPages &) = delete;
    PdfPages &operator=(const PdfPages &) = delete;

    // Title and subject (company and codice fiscale) of the pages from the
    // next one on, and of the current one while it is still empty.
    void setHeading(const QString &title, const QString &subject);
    // What follows starts on a fresh page (nothing happens on an empty one).
    void newPage();
    // Items between beginBlock and endBlock go on one page when they fit
    // in one: a module never starts at the foot of a page.
    void beginBlock();
    void endBlock();
    // A sheet or a list of modules: every page that carries its items after
    // its first starts with its caption followed by "(segue)". Sections
    // nest, the outer caption first.
    void beginSection(const QString &caption);
    void endSection();

    // Titles, bands and table headers stay on the page of what follows them.
    // A strong band with the title of a sheet or module.
    void title(const QString &text);
    // A lighter band heading a part of a sheet.
    void band(const QString &text);
    void fields(const QVector<Field> &row);
    // The columns of the table whose rows follow; its header is drawn now
    // and again at the top of every page the table continues on, there
    // under a band with the caption (when given) followed by "(segue)".
    void beginTable(const QVector<Column> &columns, const QString &caption = QString());
    void row(const QStringList &cells);
    void endTable();
    // A line of plain text, wrapped to the page width.
    void note(const QString &text);
    void gap(double millimetres);

    // The widest code of length characters drawn from allowed, measured in
    // the font of the values.
    QString widest(const QString &allowed, int length) const;

    int pageCount() const;
    // Paints every page and puts the file in place: written beside it under
    // a temporary name, every write checked, renamed only when whole. False
    // when it cannot be written, with the reason in failure (if given); a
    // file already of that name is then kept.
    bool write(QString *failure = nullptr);

private:
    enum Kind { Title, Band, Fields, TableHead, TableRow, Note, Gap };
    enum FontRole { Value, Caption, Bold, Head, Heading, Small, FontCount };
    struct Cell
    {
        qreal x = 0;
        qreal w = 0;
        QStringList caption;
        QStringList value;
        Qt::Alignment align = Qt::AlignLeft;
        bool whole = false;     // a figure or a code: one line, never broken
    };
    struct Element
    {
        Kind kind = Gap;
        qreal y = 0;
        qreal height = 0;
        int table = -1;     // the head a table row belongs to
        int section = -1;   // the innermost section it belongs to
        QVector<Cell> cells;
    };
    struct Page
    {
        QString title;
        QString subject;
        std::vector<Element> elements;
    };

    // Lays out what is pending and paints every page into the buffer;
    // empty, or why the document could not be made.
    QString paint();
    static bool isHeading(Kind kind);
    qreal mm(double millimetres) const;
    QStringList wrap(const QString &text, FontRole role, qreal width, bool breakWords = true) const;
    qreal lineHeight(FontRole role) const;
    // Boxes side by side across the page, each wrapped to its width.
    Element measuredCells(Kind kind, const QVector<Field> &cells) const;
    void measure(Element &e, const QVector<Field> &cells) const;
    void add(Element e);
    // Items that go on one page when they fit in one.
    void placeGroup(std::vector<Element> group);
    void placePending();
    void place(Element e);
    void append(Element e);
    void startPage();
    // A fresh page going on with what next belongs to.
    void breakPage(const Element &next);
    void paintPage(QPainter &p, const Page &page, int number) const;
    void paintElement(QPainter &p, const Element &e) const;
    void paintLines(QPainter &p, const QStringList &lines, FontRole role, const QRectF &r,
                    Qt::Alignment align) const;

    QString m_fileName;
    // The document is made in memory and written out in one checked step.
    QBuffer m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    QString m_caption;
    QString m_title;
    QString m_subject;
    QFont m_fonts[FontCount];
    qreal m_lineHeight[FontCount] = {};
    qreal m_left = 0;
    qreal m_width = 0;
    qreal m_top = 0;
    qreal m_bottom = 0;
    qreal m_y = 0;
    std::vector<Page> m_pages;
    std::vector<Element> m_tableHeads;
    std::vector<QString> m_tableCaptions;
    int m_table = -1;
    bool m_inBlock = false;
    std::vector<Element> m_block;
    std::vector<Element> m_pending;
    struct Section
    {
        QString caption;
        int parent = -1;
        bool started = false;   // something of it already on a page
    };
    std::vector<Section> m_sections;
    int m_section = -1;
};
