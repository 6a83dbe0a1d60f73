#pragma once

#include <QString>

struct _xmlError;
class SchemaKinds;

// One error of libxml2's parser or schema validator told in Italian, from
// its code and the values it carries: "riga 7, elemento <Addetti>: il
// valore "ventisei" non è un numero intero". libxml2's own message is
// English and never reaches the user; a code without a text of its own
// gets the general one of its kind.
namespace XmlErrorText {

QString describe(const _xmlError &error, const SchemaKinds &kinds);

} // namespace XmlErrorText
