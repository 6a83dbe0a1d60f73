#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

struct _xmlDoc;

// The export file as libxml2 reads it: our namespace and version, the
// schema beside the program, and a parse that never reaches outside the
// file (no network, no DTD, no entities) and refuses what is not a regular
// file, an oversized file and markup shaped to keep the parser busy.
// Every refusal comes back as an Italian text with the line and reason.
namespace KezXml {

extern const char *const Namespace;
extern const char *const Versione;
extern const char *const SchemaName;
// An export of a thousand full declarations is a few megabytes; a file far
// beyond that is not one of ours.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

struct DocFree
{
    void operator()(_xmlDoc *doc) const;
};
using Document = std::unique_ptr<_xmlDoc, DocFree>;

// The schema file: beside the program, else in the program's folder
// (kezClass::Path); empty when it is in neither.
QString schemaPath();

// Our files have six levels of elements and five attributes at most (on
// the root, with the namespace); the parser's time grows faster than the
// attributes of one element, so a file far beyond these is refused unread.
constexpr int MaxDepth = 32;
constexpr int MaxAttributes = 32;

// A long read reports the bytes done out of the total; false stops it.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Reads a regular file within MaxFileSize; false with the reason in error.
bool readFile(const QString &fileName, QByteArray &data, QString &error);
// A quick scan of the markup before the parse: no document type, depth
// and attributes per element within the bounds above.
bool checkStructure(const QByteArray &data, QString &error);

struct ParseRun
{
    Progress progress;          // called after each slice of the file
    bool cancelled = false;     // progress stopped the parse
};
// Checks the structure and parses the bytes (in slices when run says how
// to report); null with the reason in error, or with run->cancelled set.
Document parse(const QByteArray &data, QString &error, ParseRun *run = nullptr);
// Validates against the schema; false with the first errors in error.
bool validate(_xmlDoc *doc, QString &error);
// Validates bytes against the schema without keeping a document.
bool validateBytes(const QByteArray &data, QString &error);
// One year per file: every declaration is of the year on the root (a
// valid document); false with the first that is not in error.
bool checkYears(_xmlDoc *doc, QString &error);
// The refusal of the declaration number-th of a file, of another year.
QString otherYear(int number, const QString &year, const QString &anno);
}
