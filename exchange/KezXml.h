#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

struct _xmlDoc;

// The export file as libxml2 reads it: our namespace and version, the
// schema beside the program, and a parse that never reaches outside the
// file (no network, no DTD, no entities) and refuses oversized files.
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

// Reads a file within MaxFileSize; false with the reason in error.
bool readFile(const QString &fileName, QByteArray &data, QString &error);
// Parses the bytes; null with the reason in error.
Document parse(const QByteArray &data, QString &error);
// Validates against the schema; false with the first errors in error.
bool validate(_xmlDoc *doc, QString &error);
}
