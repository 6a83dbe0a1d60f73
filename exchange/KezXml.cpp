#include "KezXml.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringConverter>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include "FileErrors.h"
#include "SchemaKinds.h"
#include "XmlErrorText.h"
#include "kezClass.h"
#include "modMain.h"

namespace KezXml {

const char *const Namespace = "urn:kez:imballaggi:dichiarazione";
const char *const Versione = "RAC-IT-06.02.18";
const char *const SchemaName = "2010-KEZ-dichiarazione.xsd";

namespace {

constexpr int MaxReported = 5;

// libxml2's own texts are English: they go to this log (off unless asked
// for, QT_LOGGING_RULES="kez.xml.info=true"), the user reads ours.
Q_LOGGING_CATEGORY(lcXml, "kez.xml", QtWarningMsg)

// libxml2 reports through a callback: the first few errors are kept with
// their lines, in Italian; nothing is printed.
struct ErrorList
{
    QStringList lines;
    int count = 0;
    const SchemaKinds *kinds = nullptr;
};

void collect(void *context, xmlErrorPtr error)
{
    auto *list = static_cast<ErrorList *>(context);
    if (!error || error->level == XML_ERR_WARNING)
        return;
    static const SchemaKinds none;
    const QString line = XmlErrorText::describe(*error, list->kinds ? *list->kinds : none);
    // A fault met twice on one line (two bad bytes) is told once.
    if (list->lines.contains(line) || ++list->count > MaxReported)
        return;
    qCInfo(lcXml, "line %d, domain %d, code %d: %s", error->line, error->domain, error->code,
           QByteArray(error->message).trimmed().constData());
    list->lines << line;
}

void silent(void *, const char *, ...) {}

class ErrorCapture
{
public:
    explicit ErrorCapture(ErrorList &list)
    {
        xmlSetGenericErrorFunc(nullptr, silent);
        xmlSetStructuredErrorFunc(&list, collect);
    }
    ~ErrorCapture() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    ErrorCapture(const ErrorCapture &) = delete;
    ErrorCapture &operator=(const ErrorCapture &) = delete;
};

QString joined(const ErrorList &list)
{
    QString text = list.lines.join(QLatin1Char('\n'));
    if (list.count > MaxReported)
        text += QStringLiteral("\n(e altri %1 errori)").arg(list.count - MaxReported);
    return text;
}

struct SchemaFree
{
    void operator()(xmlSchema *schema) const { xmlSchemaFree(schema); }
};

// The schema is read once per path and kept for the program's life, with
// the kinds of value its elements hold.
struct LoadedSchema
{
    QString path;
    std::unique_ptr<xmlSchema, SchemaFree> schema;
    SchemaKinds kinds;
};

LoadedSchema &loaded()
{
    static LoadedSchema schema;
    return schema;
}

xmlSchema *loadSchema(const QString &path, QString &error)
{
    LoadedSchema &current = loaded();
    if (current.schema && current.path == path)
        return current.schema.get();
    ErrorList errors;
    ErrorCapture capture(errors);
    xmlSchemaParserCtxtPtr ctxt = xmlSchemaNewParserCtxt(QFile::encodeName(path).constData());
    xmlSchema *schema = ctxt ? xmlSchemaParse(ctxt) : nullptr;
    xmlSchemaFreeParserCtxt(ctxt);
    if (!schema) {
        error = QStringLiteral("Attenzione, lo schema %1 non è leggibile:\n%2")
                    .arg(QLatin1String(SchemaName), joined(errors));
        return nullptr;
    }
    current.schema.reset(schema);
    current.path = path;
    current.kinds = SchemaKinds::read(path);
    return schema;
}
}

void DocFree::operator()(_xmlDoc *doc) const
{
    xmlFreeDoc(doc);
}

QString schemaPath()
{
    QStringList folders{QCoreApplication::applicationDirPath()};
    if (modMain::gKez)
        folders << modMain::gKez->Path();
    for (const QString &folder : folders) {
        const QString path = QFileInfo(folder + QLatin1Char('/') + QLatin1String(SchemaName)).absoluteFilePath();
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

bool readFile(const QString &fileName, QByteArray &data, QString &error)
{
    // Opening a pipe or a device could wait for ever, and a folder reads
    // as nothing: only a regular file is opened. A name the user cannot
    // see (missing, or in a folder the user may not enter) goes on to the
    // open, whose error says which.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile()) {
        error = QStringLiteral("Attenzione, %1 non è un file ordinario: si importano solo file XML "
                               "esportati da KEZ.")
                    .arg(fileName);
        return false;
    }
    QFile file(fileName);
    auto unreadable = [&] {
        error = QStringLiteral("Attenzione, impossibile leggere il file %1:\n%2")
                    .arg(fileName, FileErrors::reason(file, false, errno));
        return false;
    };
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return unreadable();
    if (file.size() > MaxFileSize) {
        error = QStringLiteral("Attenzione, il file %1 è troppo grande (oltre %2 MB) per essere "
                               "un'esportazione KEZ.")
                    .arg(fileName)
                    .arg(MaxFileSize / (1024 * 1024));
        return false;
    }
    data = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable();
    if (data.size() > MaxFileSize) {
        error = QStringLiteral("Attenzione, il file %1 è troppo grande per essere un'esportazione KEZ.")
                    .arg(fileName);
        return false;
    }
    return true;
}

namespace {

// The scan reads markup where its characters are ASCII bytes: in an
// encoding where they are not (EBCDIC and the like) it would see nothing,
// and our files never use one.
bool readableMarkup(const QByteArray &data, QString &error)
{
    auto refuse = [&error](const QString &encoding) {
        error = QStringLiteral("Attenzione, il file è nella codifica %1, che un'esportazione KEZ non usa: "
                               "file rifiutato.")
                    .arg(encoding);
        return false;
    };
    if (data.startsWith(QByteArrayView("\x4c\x6f\xa7\x94", 4)))
        return refuse(QStringLiteral("EBCDIC"));
    if (!data.isEmpty() && (data.at(0) == '\0' || (data.size() > 1 && data.at(1) == '\0')))
        return refuse(QStringLiteral("UCS-4"));
    if (!data.startsWith("<?xml"))
        return true;
    static const QRegularExpression declared(QStringLiteral("^<\\?xml[^>]*\\sencoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    static const QRegularExpression asciiBased(
        QStringLiteral("^(utf-?8|utf-?16(le|be)?|(us-)?ascii|iso[-_]?8859-\\d+|latin-?\\d|(windows|cp)-?125\\d)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = declared.match(QString::fromLatin1(data.left(qMin<qsizetype>(data.indexOf('>') + 1, 512))));
    if (m.hasMatch() && !asciiBased.match(m.captured(1)).hasMatch())
        return refuse(m.captured(1));
    return true;
}
}

bool checkStructure(const QByteArray &raw, QString &error)
{
    // The scan reads the markup as ASCII: a file in UTF-16 or UTF-32 is
    // turned into UTF-8 for it.
    QByteArray converted;
    const std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(raw, u'<');
    if (encoding && *encoding != QStringConverter::Utf8 && *encoding != QStringConverter::Latin1) {
        QStringDecoder decode(*encoding);
        converted = QString(decode(raw)).toUtf8();
    }
    const QByteArray &data = converted.isEmpty() ? raw : converted;
    if (!readableMarkup(data, error))
        return false;
    const char *p = data.constData();
    const qsizetype n = data.size();
    auto refuse = [&](qsizetype at, const QString &what) {
        const qsizetype line = std::count(p, p + qMin(at, n), '\n') + 1;
        error = QStringLiteral("Attenzione, il file ha %1 (riga %2), che un'esportazione KEZ non ha: file rifiutato.")
                    .arg(what)
                    .arg(line);
        return false;
    };
    auto startsWith = [&](qsizetype at, const char *text) {
        const qsizetype len = qsizetype(qstrlen(text));
        return at + len <= n && memcmp(p + at, text, size_t(len)) == 0;
    };
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    int depth = 0;
    qsizetype i = 0;
    // Past the end of something unfinished the parser says what is wrong.
    while (i < n) {
        const char *lt = static_cast<const char *>(memchr(p + i, '<', size_t(n - i)));
        if (!lt)
            return true;
        i = lt - p;
        const char *close = startsWith(i, "<!--") ? "-->" : startsWith(i, "<![CDATA[") ? "]]>"
                          : startsWith(i, "<?") ? "?>" : startsWith(i, "</") ? ">" : nullptr;
        if (close) {
            if (close[0] == '>')
                --depth;
            i = data.indexOf(close, i + 2);
            if (i < 0)
                return true;
            i += qsizetype(qstrlen(close));
            continue;
        }
        if (startsWith(i, "<!")) {
            error = QStringLiteral("Attenzione, il file contiene una dichiarazione di tipo documento "
                                   "(DOCTYPE o ENTITY), che un'esportazione KEZ non ha: file rifiutato.");
            return false;
        }
        const qsizetype tag = i++;
        while (i < n && !space(p[i]) && p[i] != '>' && p[i] != '/')
            ++i;
        int attributes = 0;
        for (;;) {
            while (i < n && space(p[i]))
                ++i;
            if (i >= n)
                return true;
            if (p[i] == '>') {
                ++i;
                if (++depth > MaxDepth)
                    return refuse(tag, QStringLiteral("elementi annidati oltre %1 livelli").arg(MaxDepth));
                break;
            }
            if (startsWith(i, "/>")) {
                i += 2;
                break;
            }
            if (++attributes > MaxAttributes)
                return refuse(tag, QStringLiteral("un elemento con più di %1 attributi").arg(MaxAttributes));
            while (i < n && p[i] != '=' && p[i] != '>' && p[i] != '<')
                ++i;
            if (i >= n || p[i] != '=')
                return true;
            ++i;
            while (i < n && space(p[i]))
                ++i;
            if (i >= n || (p[i] != '"' && p[i] != '\''))
                return true;
            const char *end = static_cast<const char *>(memchr(p + i + 1, p[i], size_t(n - i - 1)));
            if (!end)
                return true;
            i = end - p + 1;
        }
    }
    return true;
}

namespace {

// The schema beside the program, read once.
xmlSchema *programSchema(QString &error)
{
    const QString path = schemaPath();
    if (path.isEmpty()) {
        error = QStringLiteral("Attenzione, lo schema %1 non si trova nella cartella del programma.")
                    .arg(QLatin1String(SchemaName));
        return nullptr;
    }
    return loadSchema(path, error);
}

QString notValid(const ErrorList &errors)
{
    return QStringLiteral("Attenzione, il file non è conforme allo schema %1:\n%2")
        .arg(QLatin1String(SchemaName), joined(errors));
}

struct ValidFree
{
    void operator()(xmlSchemaValidCtxt *ctxt) const { xmlSchemaFreeValidCtxt(ctxt); }
};
using ValidContext = std::unique_ptr<xmlSchemaValidCtxt, ValidFree>;

struct ParserFree
{
    void operator()(xmlParserCtxt *ctxt) const
    {
        if (ctxt->myDoc)
            xmlFreeDoc(ctxt->myDoc);
        xmlFreeParserCtxt(ctxt);
    }
};

// The slices in which a long file is read between two reports.
constexpr int Slice = 1 << 20;
}

Document parse(const QByteArray &data, QString &error, ParseRun *run)
{
    if (!checkStructure(data, error))
        return nullptr;
    const QString unreadable = QStringLiteral("Attenzione, il file non è un documento XML leggibile:\n%1");
    // The parser would speak of content past the end of a file with none.
    if (data.trimmed().isEmpty()) {
        error = unreadable.arg(QStringLiteral("il file è vuoto."));
        return nullptr;
    }
    ErrorList errors;
    Document doc;
    {
        ErrorCapture capture(errors);
        // The first bytes tell the parser the file's encoding.
        const int head = int(qMin<qsizetype>(4, data.size()));
        std::unique_ptr<xmlParserCtxt, ParserFree> ctxt(
            xmlCreatePushParserCtxt(nullptr, nullptr, data.constData(), head, "dichiarazioni.xml"));
        if (!ctxt) {
            error = QStringLiteral("Attenzione, memoria insufficiente per la lettura del file.");
            return nullptr;
        }
        xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_COMPACT);
        qsizetype at = head;
        bool stopped = false;
        while (!stopped && at < data.size() && ctxt->wellFormed) {
            const int size = int(qMin<qsizetype>(Slice, data.size() - at));
            xmlParseChunk(ctxt.get(), data.constData() + at, size, 0);
            at += size;
            stopped = run && run->progress && !run->progress(at, data.size());
        }
        if (!stopped)
            xmlParseChunk(ctxt.get(), nullptr, 0, 1);
        if (stopped) {
            run->cancelled = true;
            return nullptr;
        }
        if (ctxt->wellFormed && ctxt->myDoc) {
            doc.reset(ctxt->myDoc);
            ctxt->myDoc = nullptr;
        }
    }
    if (!doc) {
        error = unreadable.arg(joined(errors));
        return nullptr;
    }
    if (doc->intSubset || doc->extSubset) {
        error = QStringLiteral("Attenzione, il file contiene una dichiarazione di tipo documento, "
                               "che un'esportazione KEZ non ha: file rifiutato.");
        return nullptr;
    }
    return doc;
}

namespace {

// Runs one validation with the program's schema, its errors told in
// Italian. run validates through the context it is given and returns
// libxml2's result, or nothing when it could not even start.
template <typename Run>
bool validateWith(QString &error, Run run)
{
    xmlSchema *schema = programSchema(error);
    if (!schema)
        return false;
    ErrorList errors;
    errors.kinds = &loaded().kinds;
    ValidContext ctxt(xmlSchemaNewValidCtxt(schema));
    std::optional<int> rc;
    if (ctxt) {
        xmlSchemaSetValidStructuredErrors(ctxt.get(), collect, &errors);
        ErrorCapture capture(errors);
        rc = run(ctxt.get());
    }
    if (!rc) {
        error = QStringLiteral("Attenzione, memoria insufficiente per la verifica del file.");
        return false;
    }
    if (*rc != 0) {
        error = notValid(errors);
        return false;
    }
    return true;
}

} // namespace

bool validate(_xmlDoc *doc, QString &error)
{
    return validateWith(error, [doc](xmlSchemaValidCtxt *ctxt) -> std::optional<int> {
        return xmlSchemaValidateDoc(ctxt, doc);
    });
}

bool validateBytes(const QByteArray &data, QString &error)
{
    return validateWith(error, [&data](xmlSchemaValidCtxt *ctxt) -> std::optional<int> {
        // The stream takes over the buffer, and frees it.
        xmlParserInputBufferPtr input =
            xmlParserInputBufferCreateMem(data.constData(), int(data.size()), XML_CHAR_ENCODING_NONE);
        if (!input)
            return std::nullopt;
        return xmlSchemaValidateStream(ctxt, input, XML_CHAR_ENCODING_NONE, nullptr, nullptr);
    });
}

QString otherYear(int number, const QString &year, const QString &anno)
{
    return QStringLiteral("Attenzione, la dichiarazione n. %1 del file è dell'anno %2, non dell'anno %3 "
                          "dell'esportazione: file rifiutato.")
        .arg(number)
        .arg(year, anno);
}

bool checkYears(_xmlDoc *doc, QString &error)
{
    xmlNode *root = xmlDocGetRootElement(doc);
    if (!root)
        return true;
    xmlChar *attr = xmlGetProp(root, reinterpret_cast<const xmlChar *>("anno"));
    const QString anno = QString::fromUtf8(reinterpret_cast<const char *>(attr)).trimmed();
    xmlFree(attr);
    int number = 0;
    for (xmlNode *n = root->children; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE)
            continue;
        ++number;
        // The year comes first in each declaration (the schema says so).
        xmlNode *year = n->children;
        while (year && year->type != XML_ELEMENT_NODE)
            year = year->next;
        xmlChar *text = year ? xmlNodeGetContent(year) : nullptr;
        const QString value = QString::fromUtf8(reinterpret_cast<const char *>(text)).trimmed();
        xmlFree(text);
        if (value.toInt() != anno.toInt()) {
            error = otherYear(number, value, anno);
            return false;
        }
    }
    return true;
}

} // namespace KezXml
