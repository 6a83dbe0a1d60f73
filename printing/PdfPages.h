#pragma once

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
// header repeated; rows never split across pages. Fonts are embedded.
class PdfPages
{
public:
    // One box of a form row: a small caption over its value. Boxes of a
    // row share its width in proportion to their weights.
    struct Field
    {
        QString caption;
        QString value;
        double weight = 1;
        Qt::Alignment align = Qt::AlignLeft;
    };
    struct Column
    {
        QString caption;
        double weight = 1;
        Qt::Alignment align = Qt::AlignLeft;
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

    int pageCount() const;
    // Paints every page into the file; false when it cannot be written.
    bool write();

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
    };
    struct Element
    {
        Kind kind = Gap;
        qreal y = 0;
        qreal height = 0;
        int table = -1;     // the head a table row belongs to
        QVector<Cell> cells;
    };
    struct Page
    {
        QString title;
        QString subject;
        std::vector<Element> elements;
    };

    qreal mm(double millimetres) const;
    QStringList wrap(const QString &text, FontRole role, qreal width) const;
    qreal lineHeight(FontRole role) const;
    // Boxes side by side across the page, each wrapped to its width.
    Element measuredCells(Kind kind, const QVector<Field> &cells) const;
    void add(Element e);
    void place(Element e);
    void startPage();
    void paintPage(QPainter &p, const Page &page, int number) const;
    void paintElement(QPainter &p, const Element &e) const;
    void paintLines(QPainter &p, const QStringList &lines, FontRole role, const QRectF &r,
                    Qt::Alignment align) const;

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
};
