#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QFile;
class SchemaKinds;
class XmlStream;
struct _xmlSchema;

// The export file as the program reads and writes it: our namespace and
// version, the schema beside the program, and a read that never reaches
// outside the file (no network, no DTD, no entities), refuses what is not
// a regular file and markup shaped to keep the parser busy, and streams:
// a file of any size the disk holds goes through in bounded memory.
namespace KezXml {

extern const char *const Namespace;
extern const char *const Versione;
extern const char *const SchemaName;

// The schema file: beside the program, else in the program's folder
// (kezClass::Path); empty when it is in neither.
QString schemaPath();
// The schema beside the program, read once and kept; null with the reason
// in error when it cannot be read.
_xmlSchema *programSchema(QString &error);
// What the elements of that schema hold.
const SchemaKinds &schemaKinds();

// Our files have six levels of elements and five attributes at most (on
// the root, with the namespace), and texts of some tens of characters; the
// parser's time grows faster than the attributes of one element, and the
// validator keeps a text whole, so a file far beyond these is refused.
constexpr int MaxDepth = 32;
constexpr int MaxAttributes = 32;
constexpr qint64 MaxText = 1024 * 1024;

// A long read reports the bytes done out of the total; false stops it.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Reads the regular file fileName through stream, a slice at a time,
// telling progress after each, then ends the stream. False when the file
// cannot be read or the stream refused it (error says why), or progress
// stopped it (cancelled set, error empty).
bool readFile(const QString &fileName, XmlStream &stream, const Progress &progress, QString &error,
              bool &cancelled);
// The same with the file's bytes in memory.
bool readBytes(const QByteArray &data, XmlStream &stream, const Progress &progress, QString &error,
               bool &cancelled);
// Validates bytes against the schema; false with the first faults in error.
bool validateBytes(const QByteArray &data, QString &error);
// The refusal of the declaration number-th of a file, of another year.
QString otherYear(int number, const QString &year, const QString &anno);
}
