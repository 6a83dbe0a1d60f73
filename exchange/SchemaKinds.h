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

    // Why the value was refused, as the end of "il valore ...": what it
    // should have been ("non è una data nella forma aaaa-mm-gg"), or, for a
    // value written in that very form, what is wrong with it ("non è una
    // data esistente" for 2021-02-30). Empty when the name is not known or
    // holds text.
    QString refusal(const QString &element, const QString &attribute, const QString &value) const;

private:
    // Element names, and "@name" for attributes, to the local name of the
    // built-in type they restrict ("int", "date").
    QHash<QString, QString> m_builtIn;
};
