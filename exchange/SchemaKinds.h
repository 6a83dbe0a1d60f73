#pragma once

#include <QHash>
#include <QString>

// What kind of value each element and attribute of our schema holds (a
// whole number, a date...), read from the schema file itself, so that a
// refused value can be told in the user's words: "non è una data".
class SchemaKinds
{
public:
    // Reads the schema file; empty when it cannot be read.
    static SchemaKinds read(const QString &xsdPath);

    // What the value should have been, as the end of "il valore ... non è":
    // "un numero intero", "una data nella forma aaaa-mm-gg"; empty when the
    // name is not known or holds text.
    QString expected(const QString &element, const QString &attribute = QString()) const;

private:
    // Element names, and "@name" for attributes, to the local name of the
    // built-in type they restrict ("int", "date").
    QHash<QString, QString> m_builtIn;
};
