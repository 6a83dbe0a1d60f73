#include "XmlErrors.h"

#include <QLoggingCategory>

#include <libxml/xmlerror.h>

#include "SchemaKinds.h"
#include "XmlErrorText.h"

namespace {

constexpr int MaxReported = 5;

Q_LOGGING_CATEGORY(lcXml, "kez.xml", QtWarningMsg)

void silent(void *, const char *, ...) {}
}

void XmlErrors::collect(void *context, _xmlError *error)
{
    auto *list = static_cast<XmlErrors *>(context);
    if (!error || error->level == XML_ERR_WARNING)
        return;
    static const SchemaKinds none;
    const QString line = XmlErrorText::describe(*error, list->m_kinds ? *list->m_kinds : none);
    // A fault met twice on one line (two bad bytes) is told once.
    if (list->m_lines.contains(line) || ++list->m_count > MaxReported)
        return;
    qCInfo(lcXml, "line %d, domain %d, code %d: %s", error->line, error->domain, error->code,
           QByteArray(error->message).trimmed().constData());
    if (list->m_lines.isEmpty())
        list->m_firstLine = error->line;
    list->m_lines << line;
}

QString XmlErrors::joined() const
{
    QString text = m_lines.join(QLatin1Char('\n'));
    if (m_count > MaxReported)
        text += QStringLiteral("\n(e altri %1 errori)").arg(m_count - MaxReported);
    return text;
}

XmlErrors::Capture::Capture(XmlErrors &errors) : Capture(&errors, collect) {}

XmlErrors::Capture::Capture(void *context, void (*handler)(void *, _xmlError *))
{
    xmlSetGenericErrorFunc(nullptr, silent);
    xmlSetStructuredErrorFunc(context, handler);
}

XmlErrors::Capture::~Capture()
{
    xmlSetStructuredErrorFunc(nullptr, nullptr);
}
