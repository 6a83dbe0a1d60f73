#include "KezXml.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <memory>

#include <libxml/xmlschemas.h>

#include "FileErrors.h"
#include "SchemaKinds.h"
#include "XmlErrors.h"
#include "XmlStream.h"
#include "kezClass.h"
#include "modMain.h"

namespace KezXml {

const char *const Namespace = "urn:kez:imballaggi:dichiarazione";
const char *const Versione = "RAC-IT-06.02.18";
const char *const SchemaName = "2010-KEZ-dichiarazione.xsd";

namespace {

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
    XmlErrors errors;
    XmlErrors::Capture capture(errors);
    xmlSchemaParserCtxtPtr ctxt = xmlSchemaNewParserCtxt(QFile::encodeName(path).constData());
    xmlSchema *schema = ctxt ? xmlSchemaParse(ctxt) : nullptr;
    xmlSchemaFreeParserCtxt(ctxt);
    if (!schema) {
        error = QStringLiteral("Attenzione, lo schema %1 non è leggibile:\n%2")
                    .arg(QLatin1String(SchemaName), errors.joined());
        return nullptr;
    }
    current.schema.reset(schema);
    current.path = path;
    current.kinds = SchemaKinds::read(path);
    return schema;
}

// The slices in which a file is read between two reports: small enough
// for the bar to move and "Annulla" to answer at once.
constexpr qint64 Slice = 64 * 1024;

bool readDevice(QIODevice &device, qint64 total, XmlStream &stream, const Progress &progress, bool &cancelled,
                const std::function<QString()> &readError, QString &error)
{
    cancelled = false;
    QByteArray slice(Slice, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        const qint64 got = device.read(slice.data(), Slice);
        if (got < 0) {
            error = readError();
            return false;
        }
        if (got == 0)
            break;
        done += got;
        if (!stream.push(slice.constData(), got)) {
            error = stream.error();
            return false;
        }
        if (progress && !progress(done, qMax(total, done))) {
            cancelled = true;
            return false;
        }
    }
    if (!stream.finish()) {
        error = stream.error();
        return false;
    }
    return true;
}
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

_xmlSchema *programSchema(QString &error)
{
    const QString path = schemaPath();
    if (path.isEmpty()) {
        error = QStringLiteral("Attenzione, lo schema %1 non si trova nella cartella del programma.")
                    .arg(QLatin1String(SchemaName));
        return nullptr;
    }
    return loadSchema(path, error);
}

const SchemaKinds &schemaKinds()
{
    return loaded().kinds;
}

bool readFile(const QString &fileName, XmlStream &stream, const Progress &progress, QString &error,
              bool &cancelled)
{
    cancelled = false;
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
        return QStringLiteral("Attenzione, impossibile leggere il file %1:\n%2")
            .arg(fileName, FileErrors::reason(file, false, errno));
    };
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        error = unreadable();
        return false;
    }
    return readDevice(file, file.size(), stream, progress, cancelled, unreadable, error);
}

bool readBytes(const QByteArray &data, XmlStream &stream, const Progress &progress, QString &error,
               bool &cancelled)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return readDevice(buffer, data.size(), stream, progress, cancelled, [] { return QString(); }, error);
}

bool validateBytes(const QByteArray &data, QString &error)
{
    XmlStream stream;
    stream.push(data.constData(), data.size());
    if (stream.finish())
        return true;
    error = stream.error();
    return false;
}

QString otherYear(int number, const QString &year, const QString &anno)
{
    return QStringLiteral("Attenzione, la dichiarazione n. %1 del file è dell'anno %2, non dell'anno %3 "
                          "dell'esportazione: file rifiutato.")
        .arg(number)
        .arg(year, anno);
}

} // namespace KezXml
