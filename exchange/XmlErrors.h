#pragma once

#include <QString>
#include <QStringList>

class SchemaKinds;
struct _xmlError;

// The faults libxml2 reports for one run, the first few kept with their
// lines in Italian; its own English texts go to the "kez.xml" log only
// (off unless asked for, QT_LOGGING_RULES="kez.xml.info=true").
class XmlErrors
{
public:
    // kinds: what the schema's elements hold, to tell a refused value.
    explicit XmlErrors(const SchemaKinds *kinds = nullptr) : m_kinds(kinds) {}

    // libxml2's structured-error callback; context is an XmlErrors.
    static void collect(void *context, _xmlError *error);

    int count() const { return m_count; }
    // The line of the first fault kept; 0 when it had none.
    int firstLine() const { return m_firstLine; }
    // The faults kept, a line each, with the count of the others.
    QString joined() const;

    // While it lives, the faults libxml2 reports outside a validation (the
    // parser's) go to errors, and nothing is printed.
    class Capture
    {
    public:
        explicit Capture(XmlErrors &errors);
        // The same, each fault going to handler, with context, instead.
        Capture(void *context, void (*handler)(void *, _xmlError *));
        ~Capture();
        Capture(const Capture &) = delete;
        Capture &operator=(const Capture &) = delete;
    };

private:
    const SchemaKinds *m_kinds;
    QStringList m_lines;
    int m_count = 0;
    int m_firstLine = 0;
};
