#include "MarkupScan.h"

#include <QByteArrayView>
#include <QRegularExpression>
#include <QStringConverter>
#include <algorithm>
#include <cstring>
#include <optional>

#include <libxml/encoding.h>

namespace {

bool space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// An encoding's name as the parser matches it: case, dashes and
// underscores aside.
QString plain(QString name)
{
    return name.remove(QLatin1Char('-')).remove(QLatin1Char('_')).toLower();
}

// A name the parser does not take as UTF-8 or UTF-16 on sight it reads
// through the converter libxml2 finds for it, or not at all.
bool parserKnows(const QString &name)
{
    xmlCharEncodingHandler *handler = xmlFindCharEncodingHandler(name.toLatin1().constData());
    return handler && xmlCharEncCloseFunc(handler) == 0;
}

// The scan reads markup as ASCII bytes, or as decoder decodes it (UTF-16).
// The parser reads on from the declaration's encoding name in the encoding
// it names: one the scan would read otherwise (EBCDIC, UTF-7, a width or
// byte order other than the first bytes') would hide the markup from the
// scan, and our files never use one. Under a UTF-16 start the parser takes
// UTF-8 and UTF-16, however written, for the first bytes' own encoding, as
// a text editor leaves a file it saved again in UTF-16. The declaration has
// to end within the first bytes, where its name is looked for.
bool readableMarkup(const QByteArray &data, const QStringDecoder *decoder, QString &error)
{
    auto refuse = [&error](const QString &what) {
        error = QStringLiteral("Attenzione, %1: file rifiutato.").arg(what);
        return false;
    };
    const QString notOurs = QStringLiteral("il file è nella codifica %1, che un'esportazione KEZ non usa");
    if (data.startsWith(QByteArrayView("\x4c\x6f\xa7\x94", 4)))
        return refuse(notOurs.arg(QStringLiteral("EBCDIC")));
    if (decoder && plain(QString::fromLatin1(decoder->name())).startsWith(QLatin1String("utf32")))
        return refuse(notOurs.arg(QStringLiteral("UTF-32")));
    QByteArray head = data.left(MarkupScan::HeadSize);
    if (decoder)
        head = QString(QStringDecoder(decoder->name())(head)).toUtf8();
    if (!head.isEmpty() && (head.at(0) == '\0' || (head.size() > 1 && head.at(1) == '\0')))
        return refuse(notOurs.arg(QStringLiteral("UCS-4")));
    if (head.startsWith("\xef\xbb\xbf"))
        head.remove(0, 3);
    if (head.size() < 6 || !head.startsWith("<?xml") || !space(head.at(5)))
        return true;
    const qsizetype end = head.indexOf("?>");
    static const QRegularExpression declared(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const QRegularExpressionMatch m = declared.match(QString::fromLatin1(end < 0 ? head : head.left(end)));
    static const QRegularExpression bytes(
        QStringLiteral("^(utf8|(us)?ascii|iso8859\\d+|latin\\d|(windows|cp)125\\d)$"));
    static const QRegularExpression wide(QStringLiteral("^utf(16|32)(le|be)?$"));
    static const QRegularExpression firstBytes(QStringLiteral("^utf-?(8|16)$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QString name = plain(m.captured(1));
    const QString read = decoder ? plain(QString::fromLatin1(decoder->name())) : QString();
    if (m.hasMatch() && (decoder ? name != read && !firstBytes.match(m.captured(1)).hasMatch()
                                 : !bytes.match(name).hasMatch())) {
        const QString otherWidth =
            QStringLiteral("l'intestazione del file indica la codifica %1, ma il file inizia in un'altra codifica");
        return refuse((bytes.match(name).hasMatch() || wide.match(name).hasMatch() ? otherWidth : notOurs)
                          .arg(m.captured(1)));
    }
    if (m.hasMatch() && !firstBytes.match(m.captured(1)).hasMatch() && !parserKnows(m.captured(1)))
        return refuse(notOurs.arg(m.captured(1)));
    return end >= 0
        || refuse(QStringLiteral("il file ha un'intestazione <?xml ...?> che non termina entro i primi %1 byte, che "
                                 "un'esportazione KEZ non ha")
                      .arg(MarkupScan::HeadSize));
}
}

MarkupScan::MarkupScan(int maxDepth, int maxAttributes) : m_maxDepth(maxDepth), m_maxAttributes(maxAttributes) {}

bool MarkupScan::feed(const char *data, qsizetype size, QString &error)
{
    if (!m_started)
        return first(data, size, error);
    if (m_state == State::Done)
        return true;
    if (!m_decoder)
        return scan(data, size, error);
    const QByteArray converted = QString((*m_decoder)(QByteArrayView(data, size))).toUtf8();
    return scan(converted.constData(), converted.size(), error);
}

bool MarkupScan::first(const char *data, qsizetype size, QString &error)
{
    m_started = true;
    const QByteArray raw = QByteArray::fromRawData(data, size);
    const std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(raw, u'<');
    if (encoding && *encoding != QStringConverter::Utf8 && *encoding != QStringConverter::Latin1) {
        m_encoding = *encoding;
        m_decoder = std::make_unique<QStringDecoder>(*encoding);
    }
    if (!readableMarkup(raw, m_decoder.get(), error))
        return false;
    if (!m_decoder)
        return scan(data, size, error);
    const QByteArray converted = QString((*m_decoder)(raw)).toUtf8();
    return scan(converted.constData(), converted.size(), error);
}

QStringConverter::Encoding MarkupScan::encoding() const
{
    return m_encoding;
}

bool MarkupScan::refuse(const QString &what, QString &error) const
{
    error = QStringLiteral("Attenzione, il file ha %1 (riga %2), che un'esportazione KEZ non ha: file rifiutato.")
                .arg(what)
                .arg(m_tagLine);
    return false;
}

bool MarkupScan::attribute(QString &error)
{
    m_state = State::AttrName;
    return ++m_attributes <= m_maxAttributes
        || refuse(QStringLiteral("un elemento con più di %1 attributi").arg(m_maxAttributes), error);
}

qsizetype MarkupScan::lines(const char *p, qsizetype from, qsizetype to)
{
    m_line += std::count(p + from, p + to, '\n');
    return to;
}

bool MarkupScan::scan(const char *p, qsizetype n, QString &error)
{
    qsizetype i = 0;
    while (i < n) {
        const char c = p[i];
        switch (m_state) {
        case State::Text: {
            const char *lt = static_cast<const char *>(memchr(p + i, '<', size_t(n - i)));
            if (!lt)
                return lines(p, i, n) >= 0;
            i = lines(p, i, lt - p) + 1;
            m_tagLine = m_line;
            m_state = State::Open;
            continue;
        }
        case State::Open:
            if (c == '?' || c == '/') {
                // An end tag closes at its '>', a processing instruction at "?>".
                if (c == '/')
                    --m_depth;
                m_closing = '?';
                m_needed = c == '?' ? 1 : 0;
                m_run = 0;
                m_state = State::Skip;
                ++i;
            } else if (c == '!') {
                m_bang.clear();
                m_state = State::Bang;
                ++i;
            } else {
                m_attributes = 0;
                m_state = State::Name;
            }
            continue;
        case State::Bang: {
            m_bang += c;
            ++i;
            static const QByteArray comment("--");
            static const QByteArray cdata("[CDATA[");
            if (m_bang == comment || m_bang == cdata) {
                m_closing = m_bang == comment ? '-' : ']';
                m_needed = 2;
                m_run = 0;
                m_state = State::Skip;
            } else if (!comment.startsWith(m_bang) && !cdata.startsWith(m_bang)) {
                error = QStringLiteral("Attenzione, il file contiene una dichiarazione di tipo documento "
                                       "(DOCTYPE o ENTITY), che un'esportazione KEZ non ha: file rifiutato.");
                return false;
            }
            continue;
        }
        case State::Skip:
            if (c == '>' && m_run >= m_needed)
                m_state = State::Text;
            else if (c == m_closing)
                m_run = qMin(m_run + 1, m_needed);
            else
                m_run = 0;
            if (c == '\n')
                ++m_line;
            ++i;
            continue;
        case State::Name:
            if (space(c) || c == '>' || c == '/')
                m_state = State::Attributes;
            else
                ++i;
            continue;
        case State::Attributes:
            if (space(c)) {
                if (c == '\n')
                    ++m_line;
                ++i;
            } else if (c == '>') {
                ++i;
                m_state = State::Text;
                if (++m_depth > m_maxDepth)
                    return refuse(QStringLiteral("elementi annidati oltre %1 livelli").arg(m_maxDepth), error);
            } else if (c == '/') {
                ++i;
                m_state = State::Slash;
            } else if (!attribute(error)) {
                return false;
            }
            continue;
        case State::Slash:
            // A '/' not closing the tag begins what the parser reads as an
            // attribute.
            if (c == '>') {
                ++i;
                m_state = State::Text;
            } else if (!attribute(error)) {
                return false;
            }
            continue;
        case State::AttrName:
            if (c == '=')
                m_state = State::Equals;
            else if (c == '>' || c == '<')
                m_state = State::Done;
            else if (c == '\n')
                ++m_line;
            ++i;
            continue;
        case State::Equals:
            if (c == '"' || c == '\'') {
                m_quote = c;
                m_state = State::Value;
            } else if (!space(c)) {
                m_state = State::Done;
            } else if (c == '\n') {
                ++m_line;
            }
            ++i;
            continue;
        case State::Value: {
            const char *end = static_cast<const char *>(memchr(p + i, m_quote, size_t(n - i)));
            if (!end)
                return lines(p, i, n) >= 0;
            i = lines(p, i, end - p) + 1;
            m_state = State::Attributes;
            continue;
        }
        case State::Done:
            return true;
        }
    }
    return true;
}
