#include "KezXml.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include "kezClass.h"
#include "modMain.h"

namespace KezXml {

const char *const Namespace = "urn:kez:imballaggi:dichiarazione";
const char *const Versione = "RAC-IT-06.02.18";
const char *const SchemaName = "2010-KEZ-dichiarazione.xsd";

namespace {

constexpr int MaxReported = 5;

// libxml2 reports through a callback: the first few errors are kept with
// their lines, nothing is printed.
struct ErrorList
{
    QStringList lines;
    int count = 0;
};

void collect(void *context, xmlErrorPtr error)
{
    auto *list = static_cast<ErrorList *>(context);
    if (!error || error->level == XML_ERR_WARNING)
        return;
    if (++list->count > MaxReported)
        return;
    const QString reason = QString::fromUtf8(error->message ? error->message : "").trimmed();
    list->lines << (error->line > 0 ? QStringLiteral("riga %1: %2").arg(error->line).arg(reason) : reason);
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

// The schema is read once per path and kept for the program's life.
xmlSchema *loadSchema(const QString &path, QString &error)
{
    static QString loadedPath;
    static std::unique_ptr<xmlSchema, SchemaFree> loaded;
    if (loaded && loadedPath == path)
        return loaded.get();
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
    loaded.reset(schema);
    loadedPath = path;
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
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Attenzione, impossibile leggere il file %1.").arg(fileName);
        return false;
    }
    if (file.size() > MaxFileSize) {
        error = QStringLiteral("Attenzione, il file %1 è troppo grande (oltre %2 MB) per essere "
                               "un'esportazione KEZ.")
                    .arg(fileName)
                    .arg(MaxFileSize / (1024 * 1024));
        return false;
    }
    data = file.read(MaxFileSize + 1);
    if (data.size() > MaxFileSize) {
        error = QStringLiteral("Attenzione, il file %1 è troppo grande per essere un'esportazione KEZ.")
                    .arg(fileName);
        return false;
    }
    return true;
}

Document parse(const QByteArray &data, QString &error)
{
    // Our files never declare a document type: one that does may hide
    // entities that expand without end or reach outside the file.
    if (data.contains("<!DOCTYPE") || data.contains("<!ENTITY")) {
        error = QStringLiteral("Attenzione, il file contiene una dichiarazione di tipo documento "
                               "(DOCTYPE o ENTITY), che un'esportazione KEZ non ha: file rifiutato.");
        return nullptr;
    }
    ErrorList errors;
    Document doc;
    {
        ErrorCapture capture(errors);
        doc.reset(xmlReadMemory(data.constData(), int(data.size()), "dichiarazioni.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_COMPACT));
    }
    if (!doc) {
        error = QStringLiteral("Attenzione, il file non è un documento XML leggibile:\n%1").arg(joined(errors));
        return nullptr;
    }
    if (doc->intSubset || doc->extSubset) {
        error = QStringLiteral("Attenzione, il file contiene una dichiarazione di tipo documento, "
                               "che un'esportazione KEZ non ha: file rifiutato.");
        return nullptr;
    }
    return doc;
}

bool validate(_xmlDoc *doc, QString &error)
{
    const QString path = schemaPath();
    if (path.isEmpty()) {
        error = QStringLiteral("Attenzione, lo schema %1 non si trova nella cartella del programma.")
                    .arg(QLatin1String(SchemaName));
        return false;
    }
    xmlSchema *schema = loadSchema(path, error);
    if (!schema)
        return false;
    ErrorList errors;
    xmlSchemaValidCtxtPtr ctxt = xmlSchemaNewValidCtxt(schema);
    if (!ctxt) {
        error = QStringLiteral("Attenzione, memoria insufficiente per la verifica del file.");
        return false;
    }
    xmlSchemaSetValidStructuredErrors(ctxt, collect, &errors);
    int rc = 0;
    {
        ErrorCapture capture(errors);
        rc = xmlSchemaValidateDoc(ctxt, doc);
    }
    xmlSchemaFreeValidCtxt(ctxt);
    if (rc != 0) {
        error = QStringLiteral("Attenzione, il file non è conforme allo schema %1:\n%2")
                    .arg(QLatin1String(SchemaName), joined(errors));
        return false;
    }
    return true;
}

} // namespace KezXml
