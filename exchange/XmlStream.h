#pragma once

#include <QString>
#include <memory>

// An export file going through libxml2 as it is read or written, a slice
// at a time: each slice is looked over for markup shaped to harm
// (MarkupScan), parsed, and validated against the program's schema as it
// comes, so that neither the time to the first refusal nor the memory
// grows with the file. The elements reach the events given, until the
// file is found at fault. Every refusal is told in Italian, with the line.
class XmlStream
{
public:
    // What a read hands on as the file comes in. An element reaches the
    // events before the schema has judged it: whatever they make of the
    // file stands only once finish() has said the whole file is sound.
    class Events
    {
    public:
        virtual ~Events() = default;
        // attributes: count groups of five, as libxml2 gives them (local
        // name, prefix, namespace, start and end of the value).
        virtual void startElement(const char *name, const char *uri, int count, const char **attributes) = 0;
        virtual void characters(const char *text, int size) = 0;
        virtual void endElement(const char *name) = 0;
    };

    explicit XmlStream(Events *events = nullptr);
    ~XmlStream();
    XmlStream(const XmlStream &) = delete;
    XmlStream &operator=(const XmlStream &) = delete;

    // The next slice of the file; false once nothing that follows can
    // change the verdict (the file is unreadable, or refused). A value the
    // schema refuses stops the events but not the read: the file is read
    // on for what would make it unreadable, and for the count of faults.
    bool push(const char *data, qsizetype size);
    // The end of the file; true when the whole file is sound.
    bool finish();

    // The events' own refusal: nothing more reaches them, and the read
    // stops at the end of the slice. One at the root (a
    // file not ours) outweighs the schema's faults; a later one (a
    // declaration of another year, a store that failed) gives way to
    // them, since the schema may be refusing the very value it met.
    void refuse(const QString &reason, bool atRoot);
    // The events' refusal is the verdict.
    bool refusedByEvents() const;
    // The schema has found a fault so far.
    bool invalid() const;
    // The refusal, headline first; empty while the file is sound.
    QString error() const;
    // The line of the first fault told in error(); 0 when none has one.
    int faultLine() const;
    // The value of the attribute named name among those of an element;
    // null when it has none.
    static QString attribute(int count, const char **attributes, const char *name);

    struct Private;

private:
    std::unique_ptr<Private> d;
};
