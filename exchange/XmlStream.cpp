#include "XmlStream.h"

#include <QByteArray>
#include <QVector>
#include <cstring>
#include <memory>
#include <utility>

#include <libxml/parser.h>
#include <libxml/SAX2.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>

#include "KezXml.h"
#include "MarkupScan.h"
#include "XmlErrors.h"

namespace {

struct ParserFree
{
    void operator()(xmlParserCtxt *ctxt) const
    {
        if (ctxt->myDoc)
            xmlFreeDoc(ctxt->myDoc);
        xmlFreeParserCtxt(ctxt);
    }
};
struct ValidFree
{
    void operator()(xmlSchemaValidCtxt *ctxt) const { xmlSchemaFreeValidCtxt(ctxt); }
};
struct PlugFree
{
    void operator()(xmlSchemaSAXPlugStruct *plug) const { xmlSchemaSAXUnplug(plug); }
};

const QString &unreadable()
{
    static const QString text = QStringLiteral("Attenzione, il file non è un documento XML leggibile:\n%1");
    return text;
}
}

struct XmlStream::Private
{
    explicit Private(Events *events) : events(events), schemaErrors(&KezXml::schemaKinds()) {}

    bool over() const { return !scanError.isEmpty() || !setupError.isEmpty() || stopped || broken() || halted; }
    bool broken() const { return parser && !parser->wellFormed; }
    // The parser stopped before the file's end, the file still well formed
    // so far (bytes its encoding has no character for): nothing it read is
    // worth keeping.
    bool halted = false;
    // Still taking the bytes the parser stopped at, so that they are told
    // the same however the slices fall.
    bool gathering() const { return stopAt >= 0 && stopBytes.size() < StopShown && !ended; }
    // The events stop at the first fault: what follows it is not stored.
    bool quiet() const { return stopped || schemaErrors.count() > 0; }
    bool start(const char *data, int size);
    // Scans and parses the next bytes; false once the verdict is in.
    bool take(const char *data, qsizetype size);
    bool takeHead();
    void parse(const char *data, int size, bool terminate);
    // The line ends among n bytes that begin at the file's byte from, in
    // the width of the file's characters; keep: the bytes are counted for
    // good.
    qint64 lineEnds(const char *p, qsizetype n, qint64 from, bool keep);
    const xmlParserInputBuffer *input() const;
    qsizetype unconvertedBytes() const;
    void convertRest();
    void conversionStopped();
    void stopAtByte(qint64 at);
    void stopInRest();
    QString stopText() const;
    void refuse(const QString &reason, bool atRoot);
    void textRun(int size);
    void settle();

    static void startElement(void *ctx, const xmlChar *name, const xmlChar *, const xmlChar *uri, int, const xmlChar **,
                             int count, int, const xmlChar **attributes);
    static void endElement(void *ctx, const xmlChar *name, const xmlChar *, const xmlChar *);
    static void characters(void *ctx, const xmlChar *text, int size);
    static void internalSubset(void *ctx, const xmlChar *, const xmlChar *, const xmlChar *);
    static int locate(void *ctx, const char **file, unsigned long *line);
    static void parserError(void *ctx, xmlError *error);

    static constexpr int StopShown = 4;

    Events *events;
    MarkupScan scan{KezXml::MaxDepth, KezXml::MaxAttributes};
    XmlErrors parserErrors;
    XmlErrors schemaErrors;
    xmlSAXHandler sax;
    std::unique_ptr<xmlSchemaValidCtxt, ValidFree> valid;
    std::unique_ptr<xmlSchemaSAXPlugStruct, PlugFree> plug;
    // Declared last: freed first, while the validation it feeds is there.
    std::unique_ptr<xmlParserCtxt, ParserFree> parser;
    // The first bytes, held until they are enough for the scan.
    QByteArray head;
    bool content = false;
    bool ended = false;
    QString scanError;
    QString setupError;
    bool stopped = false;
    bool refusalAtRoot = false;
    QString refusal;
    qint64 text = 0;
    // The lines the open elements begin on: the schema tells its faults
    // at the element they concern, as it does when it judges a whole tree.
    // An element's line is let go at the next event, after the schema has
    // seen its end.
    QVector<int> lines;
    int closing = 0;
    bool rooted = false;

    // The bytes handed to the parser, the line ends among them before the
    // ones it is reading now (reading, from the file's byte readingAt), and
    // the last few bytes before those: where it stops, the place is told
    // from the file's own bytes.
    qint64 pushed = 0;
    qint64 lineCount = 0;
    const char *reading = nullptr;
    qsizetype readingSize = 0;
    qint64 readingAt = 0;
    QByteArray tail;
    int width = 1;
    bool bigEndian = false;
    char previous = 0;
    // The byte the parser could not read on from (-1 while it reads on),
    // its line and the bytes from it on; once the parser has reported
    // bytes it could not convert, the most it had converted by then.
    qint64 stopAt = -1;
    qint64 unconverted = -1;
    qint64 stopLine = 0;
    QByteArray stopBytes;
};

XmlStream::XmlStream(Events *events) : d(std::make_unique<Private>(events)) {}

XmlStream::~XmlStream() = default;

bool XmlStream::Private::start(const char *data, int size)
{
    xmlSchema *schema = KezXml::programSchema(setupError);
    if (!schema)
        return false;
    valid.reset(xmlSchemaNewValidCtxt(schema));
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = startElement;
    sax.endElementNs = endElement;
    sax.characters = characters;
    sax.cdataBlock = characters;
    sax.ignorableWhitespace = characters;
    sax.internalSubset = internalSubset;
    xmlSAXHandler *handler = &sax;
    void *user = this;
    if (valid) {
        xmlSchemaSetValidStructuredErrors(valid.get(), XmlErrors::collect, &schemaErrors);
        plug.reset(xmlSchemaSAXPlug(valid.get(), &handler, &user));
    }
    XmlErrors::Capture capture(parserErrors);
    if (plug)
        parser.reset(xmlCreatePushParserCtxt(handler, user, data, size, "dichiarazioni.xml"));
    if (!parser) {
        setupError = QStringLiteral("Attenzione, memoria insufficiente per la lettura del file.");
        return false;
    }
    xmlCtxtUseOptions(parser.get(), XML_PARSE_NONET);
    const QStringConverter::Encoding encoding = scan.encoding();
    width = encoding == QStringConverter::Utf16LE || encoding == QStringConverter::Utf16BE ? 2 : 1;
    bigEndian = encoding == QStringConverter::Utf16BE;
    pushed = size;
    lineCount = lineEnds(data, size, 0, true);
    tail = QByteArray(data, size);
    // The schema's faults are told at the lines the parser has reached.
    xmlSchemaValidateSetLocator(valid.get(), locate, this);
    return true;
}

void XmlStream::Private::parse(const char *bytes, int size, bool terminate)
{
    reading = bytes;
    readingSize = size;
    readingAt = pushed;
    pushed += size;
    int result = 0;
    {
        XmlErrors::Capture capture(this, parserError);
        result = xmlParseChunk(parser.get(), bytes, size, terminate ? 1 : 0);
    }
    // libxml2 counts the bytes it converted once their slice is in, and
    // takes a slice's last CR in only after the slice (a CR LF split
    // between two slices is one line end): the stop is its count, never
    // the bytes handed to it. Past the last slice it holds them all.
    if (unconverted >= 0 && stopAt < 0) {
        const xmlParserInputBuffer *buffer = input();
        if (bytes)
            stopAtByte(qMax(unconverted, buffer ? qint64(buffer->rawconsumed) : qint64(0)));
        else
            stopInRest();
    }
    // libxml2 leaves the document well formed when it stops at bytes it
    // cannot convert: its result and its state tell the stop.
    if (parser->wellFormed && (result != XML_ERR_OK || (!terminate && parser->instate == XML_PARSER_EOF)))
        halted = true;
    reading = nullptr;
    if (halted)
        return;
    lineCount += lineEnds(bytes, size, readingAt, true);
    tail = size >= StopShown ? QByteArray(bytes + size - StopShown, StopShown)
                             : (tail + QByteArray(bytes, size)).right(StopShown);
    // libxml2 converts a slice as it takes it in, but for the few bytes of a
    // character still to come. Bytes it holds beyond those it will never
    // convert (a byte US-ASCII lacks, passed over without a word, and all
    // that follows it): the stop, found a slice later, so that such a file
    // is never held whole in memory.
    if (bytes && unconvertedBytes() > qsizetype(size) + StopShown)
        stopInRest();
}

qint64 XmlStream::Private::lineEnds(const char *p, qsizetype n, qint64 from, bool keep)
{
    qint64 ends = 0;
    if (width == 1) {
        // memchr leaps over the bytes between two line ends.
        const char *end = p + n;
        for (const char *at = p; at < end; ++at, ++ends) {
            at = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
            if (!at)
                break;
        }
        return ends;
    }
    // A character ends at an odd byte: its two bytes make a line end or not.
    char before = previous;
    for (qsizetype i = 0; i < n; ++i) {
        if ((from + i) % 2 == 1)
            ends += bigEndian ? before == 0 && p[i] == '\n' : before == '\n' && p[i] == 0;
        before = p[i];
    }
    if (keep)
        previous = before;
    return ends;
}

const xmlParserInputBuffer *XmlStream::Private::input() const
{
    return parser && parser->input ? parser->input->buf : nullptr;
}

qsizetype XmlStream::Private::unconvertedBytes() const
{
    const xmlParserInputBuffer *buffer = input();
    return buffer && buffer->raw ? qsizetype(xmlBufUse(buffer->raw)) : 0;
}

// At the file's end libxml2 may still hold bytes it has not converted:
// those its buffer had no room for yet, converted when asked, and those
// that make no character (an odd byte, half a UTF-16 pair, a byte US-ASCII
// lacks), left without a word: the stop.
void XmlStream::Private::convertRest()
{
    for (qsizetype left = unconvertedBytes(); left > 0 && !over();) {
        parse(nullptr, 0, false);
        const qsizetype now = unconvertedBytes();
        if (now == left && !over())
            stopInRest();
        left = now;
    }
}

void XmlStream::Private::conversionStopped()
{
    halted = true;
    // Reported inside a conversion, the count may lack that conversion's
    // bytes; a halt then frees the input, so the count is kept as it goes.
    const xmlParserInputBuffer *buffer = input();
    unconverted = qMax(unconverted, buffer ? qint64(buffer->rawconsumed) : qint64(0));
}

void XmlStream::Private::stopAtByte(qint64 at)
{
    halted = true;
    stopAt = at;
    const qint64 into = stopAt - readingAt;
    stopLine = 1 + lineCount + (into > 0 ? lineEnds(reading, qMin<qint64>(into, readingSize), readingAt, false) : 0);
    // Before the bytes being read lie no more than the few of a character
    // still incomplete, with no line end.
    const QByteArray near = tail + QByteArray(reading, reading ? readingSize : 0);
    if (into + tail.size() >= 0)
        stopBytes = near.mid(into + tail.size(), StopShown);
}

// Past the last slice the parser holds, unconverted, the bytes from the
// stop to the file's end.
void XmlStream::Private::stopInRest()
{
    const qsizetype n = unconvertedBytes();
    const char *rest = n > 0 ? reinterpret_cast<const char *>(xmlBufContent(input()->raw)) : nullptr;
    halted = true;
    stopAt = pushed - n;
    stopLine = 1 + lineCount - lineEnds(rest, n, stopAt, false);
    stopBytes = QByteArray(rest, qMin(n, qsizetype(StopShown)));
}

void XmlStream::Private::parserError(void *ctx, xmlError *error)
{
    auto *d = static_cast<Private *>(ctx);
    // A conversion that failed is told by the stream, from the file's bytes:
    // libxml2's own report of them shows what lies beyond the slice.
    if (error && (error->domain == XML_FROM_I18N || (error->domain == XML_FROM_IO && error->code == XML_IO_ENCODER)))
        d->conversionStopped();
    else
        XmlErrors::collect(&d->parserErrors, error);
}

QString XmlStream::Private::stopText() const
{
    if (stopAt >= 0) {
        QStringList shown;
        for (char c : stopBytes)
            shown << QStringLiteral("0x") + QString::number(uchar(c), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        return QStringLiteral("riga %1: lettura interrotta da un carattere non valido nella codifica del file (byte %2)")
            .arg(stopLine)
            .arg(shown.join(QLatin1Char(' ')));
    }
    if (parserErrors.count() > 0)
        return parserErrors.joined();
    return QStringLiteral("riga %1: lettura interrotta prima della fine del file")
        .arg(xmlSAX2GetLineNumber(parser.get()));
}

bool XmlStream::Private::take(const char *data, qsizetype size)
{
    if (!scan.feed(data, size, scanError))
        return false;
    for (qsizetype i = 0; !content && i < size; ++i)
        content = !(data[i] == ' ' || data[i] == '\t' || data[i] == '\n' || data[i] == '\r');
    qsizetype at = 0;
    if (!parser) {
        // The parser learns the encoding from the first four bytes.
        at = qMin<qsizetype>(4, size);
        if (!start(data, int(at)))
            return false;
    }
    // A slice is parsed in parts the parser's int can count.
    constexpr qsizetype Part = 1 << 30;
    for (; at < size && !over(); at += Part)
        parse(data + at, int(qMin(Part, size - at)), false);
    return !over() || gathering();
}

bool XmlStream::Private::takeHead()
{
    const QByteArray first = std::exchange(head, QByteArray());
    return take(first.constData(), first.size());
}

bool XmlStream::push(const char *data, qsizetype size)
{
    if (d->gathering()) {
        d->stopBytes.append(data, qMin(size, qsizetype(Private::StopShown - d->stopBytes.size())));
        return d->gathering();
    }
    if (d->over())
        return false;
    if (d->parser)
        return d->take(data, size);
    // The first bytes are held until the scan can judge the encoding on
    // them, the same however the slices fall.
    d->head.append(data, size);
    return d->head.size() < MarkupScan::HeadSize || d->takeHead();
}

bool XmlStream::finish()
{
    if (!d->over() && !d->head.isEmpty())
        d->takeHead();
    d->ended = true;
    if (d->over() || !d->content)
        return false;
    d->convertRest();
    if (d->over())
        return false;
    d->parse(nullptr, 0, true);
    // A file whose root is still open at its end was not read whole, even
    // where the parser says nothing of it.
    if (!d->broken() && (!d->rooted || d->lines.size() > d->closing))
        d->halted = true;
    return error().isEmpty();
}

void XmlStream::Private::refuse(const QString &reason, bool atRoot)
{
    if (stopped)
        return;
    stopped = true;
    refusal = reason;
    refusalAtRoot = atRoot;
    // The refusal comes from inside an event, which the schema sees after
    // the events: halting the parser under it would free the text it is
    // handing on. The slice is read to its end, and no more is pushed.
}

void XmlStream::refuse(const QString &reason, bool atRoot)
{
    d->refuse(reason, atRoot);
}

bool XmlStream::refusedByEvents() const
{
    return d->stopped && error() == d->refusal;
}

bool XmlStream::invalid() const
{
    return d->schemaErrors.count() > 0;
}

QString XmlStream::error() const
{
    if (!d->scanError.isEmpty())
        return d->scanError;
    if (!d->setupError.isEmpty())
        return d->setupError;
    if (d->stopped && d->refusalAtRoot)
        return d->refusal;
    if (d->broken())
        return unreadable().arg(d->parserErrors.joined());
    if (d->halted)
        return unreadable().arg(d->stopText());
    if (d->ended && !d->content)
        return unreadable().arg(QStringLiteral("il file è vuoto."));
    if (d->schemaErrors.count() > 0)
        return QStringLiteral("Attenzione, il file non è conforme allo schema %1:\n%2")
            .arg(QLatin1String(KezXml::SchemaName), d->schemaErrors.joined());
    return d->stopped ? d->refusal : QString();
}

int XmlStream::faultLine() const
{
    if (d->broken())
        return d->parserErrors.firstLine();
    if (d->halted)
        return int(d->stopLine);
    return d->schemaErrors.firstLine();
}

QString XmlStream::attribute(int count, const char **attributes, const char *name)
{
    for (int i = 0; i < count; ++i) {
        const char **a = attributes + 5 * i;
        if (qstrcmp(a[0], name) == 0)
            return QString::fromUtf8(a[3], int(a[4] - a[3]));
    }
    return QString();
}

void XmlStream::Private::textRun(int size)
{
    text += size;
    if (text > KezXml::MaxText)
        refuse(QStringLiteral("Attenzione, il file ha un testo di oltre %1 MB (riga %2), che un'esportazione KEZ "
                              "non ha: file rifiutato.")
                   .arg(KezXml::MaxText / (1024 * 1024))
                   .arg(xmlSAX2GetLineNumber(parser.get())),
               true);
}

void XmlStream::Private::settle()
{
    lines.resize(lines.size() - closing);
    closing = 0;
}

void XmlStream::Private::startElement(void *ctx, const xmlChar *name, const xmlChar *, const xmlChar *uri, int,
                                      const xmlChar **, int count, int, const xmlChar **attributes)
{
    auto *d = static_cast<Private *>(ctx);
    d->settle();
    d->rooted = true;
    d->lines.append(xmlSAX2GetLineNumber(d->parser.get()));
    d->text = 0;
    if (d->events && !d->quiet())
        d->events->startElement(reinterpret_cast<const char *>(name), reinterpret_cast<const char *>(uri), count,
                                reinterpret_cast<const char **>(attributes));
}

void XmlStream::Private::endElement(void *ctx, const xmlChar *name, const xmlChar *, const xmlChar *)
{
    auto *d = static_cast<Private *>(ctx);
    d->settle();
    d->closing = qMin(1, int(d->lines.size()));
    d->text = 0;
    if (d->events && !d->quiet())
        d->events->endElement(reinterpret_cast<const char *>(name));
}

void XmlStream::Private::characters(void *ctx, const xmlChar *text, int size)
{
    auto *d = static_cast<Private *>(ctx);
    d->settle();
    d->textRun(size);
    if (d->events && !d->quiet())
        d->events->characters(reinterpret_cast<const char *>(text), size);
}

void XmlStream::Private::internalSubset(void *ctx, const xmlChar *, const xmlChar *, const xmlChar *)
{
    static_cast<Private *>(ctx)->refuse(QStringLiteral("Attenzione, il file contiene una dichiarazione di tipo "
                                                       "documento, che un'esportazione KEZ non ha: file rifiutato."),
                                        true);
}

int XmlStream::Private::locate(void *ctx, const char **file, unsigned long *line)
{
    const auto *d = static_cast<const Private *>(ctx);
    *file = nullptr;
    *line = static_cast<unsigned long>(d->lines.isEmpty() ? xmlSAX2GetLineNumber(d->parser.get()) : d->lines.last());
    return 0;
}
