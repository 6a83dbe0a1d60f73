#pragma once

#include <QString>
#include <QStringDecoder>
#include <memory>

// The markup of a file looked over as it streams in, before the parser
// sees it: no document type (so no entity), elements nested and attributes
// per element within bounds. The parser's time grows faster than the
// attributes of one element, so markup shaped to keep it busy is refused
// unread. The bytes come in slices of any size: the scan keeps its place
// between them, and holds no more than a few bytes of its own.
class MarkupScan
{
public:
    // The first slice fed holds at least these bytes, or the whole file:
    // the encoding is judged on them, and the file's declaration has to
    // end within them.
    static constexpr qsizetype HeadSize = 512;

    MarkupScan(int maxDepth, int maxAttributes);

    // Looks over the next slice; false, with the reason in error, once the
    // file is refused. Past the start of something it cannot read as
    // markup, the scan stops looking: the parser says what is wrong there.
    bool feed(const char *data, qsizetype size, QString &error);
    // The encoding the file's first bytes show: UTF-16 in either byte
    // order, or Utf8 for every encoding whose markup is ASCII bytes.
    QStringConverter::Encoding encoding() const;

private:
    enum class State { Text, Open, Bang, Skip, Name, Attributes, Slash, AttrName, Equals, Value, Done };

    bool first(const char *data, qsizetype size, QString &error);
    bool scan(const char *p, qsizetype n, QString &error);
    bool refuse(const QString &what, QString &error) const;
    // One more attribute in the tag; false once they are too many.
    bool attribute(QString &error);
    // Counts the line ends of [from, to) and returns to.
    qsizetype lines(const char *p, qsizetype from, qsizetype to);

    const int m_maxDepth;
    const int m_maxAttributes;
    bool m_started = false;
    // A file in UTF-16 is looked over as UTF-8.
    QStringConverter::Encoding m_encoding = QStringConverter::Utf8;
    std::unique_ptr<QStringDecoder> m_decoder;
    State m_state = State::Text;
    int m_depth = 0;
    int m_attributes = 0;
    qint64 m_line = 1;
    qint64 m_tagLine = 1;
    // After "<!": what came so far of "--" or "[CDATA[".
    QByteArray m_bang;
    // What ends the construct being skipped: a run of m_run of m_closing
    // before a '>' ("-->", "]]>", "?>"; none for an end tag).
    char m_closing = 0;
    int m_needed = 0;
    int m_run = 0;
    char m_quote = 0;
};
