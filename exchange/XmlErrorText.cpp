#include "XmlErrorText.h"

#include <QRegularExpression>
#include <QStringList>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include "SchemaKinds.h"

namespace {

QString text(const char *s)
{
    return QString::fromUtf8(s ? s : "");
}

// A name as libxml2 writes it, "{urn:...}ragSoc", without its namespace.
QString localName(const QString &name)
{
    return name.mid(name.lastIndexOf(QLatin1Char('}')) + 1);
}

QString tag(const QString &name)
{
    return QStringLiteral("<%1>").arg(name);
}

// What the error is about, read from libxml2's own fields first: the node
// it was raised on (a tree's validation), then the strings where its code
// puts a name. Its English message is the last resort: the validator names
// the element only in the head of its message when it validates a stream,
// and an attribute whose value it refused only there ("Element '{ns}x',
// attribute 'y': ...").
struct Subject
{
    QString element;
    QString attribute;
};

void fromNode(const xmlError &e, Subject &s)
{
    const auto *node = static_cast<const xmlNode *>(e.node);
    if (!node || !node->name)
        return;
    if (node->type == XML_ELEMENT_NODE)
        s.element = text(reinterpret_cast<const char *>(node->name));
    if (node->type == XML_ATTRIBUTE_NODE) {
        s.attribute = text(reinterpret_cast<const char *>(node->name));
        if (node->parent && node->parent->name)
            s.element = text(reinterpret_cast<const char *>(node->parent->name));
    }
}

void fromStrings(const xmlError &e, Subject &s)
{
    const QString str1 = text(e.str1);
    const QString str2 = text(e.str2);
    const QString str3 = text(e.str3);
    switch (e.code) {
    case XML_ERR_TAG_NAME_MISMATCH:
    case XML_ERR_TAG_NOT_FINISHED:
    case XML_ERR_GT_REQUIRED:
        s.element = str1;
        break;
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
        s.attribute = str1;
        break;
    case XML_ERR_ATTRIBUTE_REDEFINED:
        // A prefixed name comes as prefix and local name.
        s.attribute = e.str2 ? str2 : str1;
        break;
    case XML_NS_ERR_UNDEFINED_NAMESPACE:
        // The prefix, then the element; or the prefix, the attribute and
        // its element.
        if (e.str3) {
            s.attribute = str2;
            s.element = str3;
        } else {
            s.element = str2;
        }
        break;
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_3_2_1:
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_3_2_2:
    case XML_SCHEMAV_ATTRUNKNOWN:
        if (!str1.isEmpty())
            s.attribute = localName(str1);
        break;
    default:
        break;
    }
}

void fromHead(const xmlError &e, Subject &s)
{
    static const QRegularExpression head(QStringLiteral("^Element '([^']*)'(?:, attribute '([^']*)')?"));
    const QRegularExpressionMatch m = head.match(text(e.message));
    if (!m.hasMatch())
        return;
    // Its attribute is taken only when the head speaks of the same element.
    const QString element = localName(m.captured(1));
    if (!s.element.isEmpty() && s.element != element)
        return;
    s.element = element;
    if (s.attribute.isEmpty())
        s.attribute = localName(m.captured(2));
}

Subject subjectOf(const xmlError &e)
{
    Subject s;
    fromNode(e, s);
    fromStrings(e, s);
    fromHead(e, s);
    return s;
}

// The elements the validator expected instead, from the list it appends:
// "Expected is ( {ns}a, {ns}b )".
QStringList expectedElements(const xmlError &e)
{
    static const QRegularExpression list(QStringLiteral("\\( ([^()]*) \\)"));
    const QRegularExpressionMatch m = list.match(text(e.message));
    QStringList names;
    if (m.hasMatch())
        for (const QString &name : m.captured(1).split(QStringLiteral(", "), Qt::SkipEmptyParts))
            names << tag(localName(name.trimmed()));
    return names;
}

QString oneOf(const QStringList &names)
{
    constexpr int Shown = 4;
    if (names.size() == 1)
        return names.first();
    QString shown = names.mid(0, Shown).join(QStringLiteral(", "));
    if (names.size() > Shown)
        shown += QStringLiteral(", …");
    return QStringLiteral("uno fra %1").arg(shown);
}

QString quoted(const QString &value)
{
    return QStringLiteral("\"%1\"").arg(value);
}

// The parser's errors: the markup itself is broken.
QString parserText(const xmlError &e, Subject &s)
{
    const QString str1 = text(e.str1);
    const QString str2 = text(e.str2);
    switch (e.code) {
    case XML_ERR_TAG_NAME_MISMATCH:
        return QStringLiteral("il tag di chiusura </%1> non corrisponde all'elemento aperto alla riga %2 "
                              "(tag non chiuso o nome errato)")
            .arg(str2)
            .arg(e.int1);
    case XML_ERR_TAG_NOT_FINISHED:
        return QStringLiteral("il file finisce prima della chiusura dell'elemento aperto alla riga %1 "
                              "(file incompleto)")
            .arg(e.int1);
    case XML_ERR_GT_REQUIRED:
        return QStringLiteral("tag di apertura non chiuso da \">\"");
    case XML_ERR_LTSLASH_REQUIRED:
        return QStringLiteral("manca il tag di chiusura");
    case XML_ERR_NAME_REQUIRED:
        return QStringLiteral("nome di elemento o di attributo non valido");
    case XML_ERR_SPACE_REQUIRED:
        return QStringLiteral("attributi scritti in modo non valido");
    case XML_ERR_EQUAL_REQUIRED:
        return QStringLiteral("manca il segno \"=\" dopo il nome di un attributo");
    case XML_ERR_LT_IN_ATTRIBUTE:
        return QStringLiteral("carattere \"<\" nel valore di un attributo");
    case XML_ERR_ATTRIBUTE_NOT_STARTED:
    case XML_ERR_LITERAL_NOT_STARTED:
    case XML_ERR_STRING_NOT_STARTED:
        return QStringLiteral("valore di attributo non racchiuso tra virgolette");
    case XML_ERR_ATTRIBUTE_NOT_FINISHED:
    case XML_ERR_LITERAL_NOT_FINISHED:
    case XML_ERR_STRING_NOT_CLOSED:
        return QStringLiteral("virgolette aperte e non chiuse");
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
        return QStringLiteral("attributo senza valore");
    case XML_ERR_ATTRIBUTE_REDEFINED:
        return QStringLiteral("attributo ripetuto");
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_ENCODING:
    case XML_ERR_INVALID_CHARREF:
    case XML_ERR_INVALID_DEC_CHARREF:
    case XML_ERR_INVALID_HEX_CHARREF:
    case XML_ERR_ENTITY_CHAR_ERROR:
        return QStringLiteral("carattere non valido o non nella codifica del file");
    case XML_ERR_UNKNOWN_ENCODING:
    case XML_ERR_UNSUPPORTED_ENCODING:
    case XML_ERR_ENCODING_NAME:
        return QStringLiteral("codifica dei caratteri non riconosciuta");
    case XML_ERR_DOCUMENT_EMPTY:
    case XML_ERR_DOCUMENT_START:
        return QStringLiteral("il file è vuoto o non inizia con un documento XML");
    case XML_ERR_DOCUMENT_END: {
        // Fed in slices, the parser says the same of a file that stops
        // inside an element: the elements still open tell them apart.
        const auto *ctxt = e.domain == XML_FROM_PARSER ? static_cast<const xmlParserCtxt *>(e.ctxt) : nullptr;
        if (ctxt && ctxt->nameNr > 0 && ctxt->name) {
            s.element = text(reinterpret_cast<const char *>(ctxt->name));
            return QStringLiteral("il file finisce prima della chiusura dell'elemento (file incompleto)");
        }
        return QStringLiteral("contenuto oltre la fine del documento");
    }
    case XML_ERR_EXTRA_CONTENT:
        return QStringLiteral("contenuto oltre la fine del documento");
    case XML_ERR_NOT_WELL_BALANCED:
        return QStringLiteral("elementi aperti e chiusi in ordine errato");
    case XML_ERR_COMMENT_NOT_FINISHED:
        return QStringLiteral("commento aperto e non chiuso");
    case XML_ERR_CDATA_NOT_FINISHED:
        return QStringLiteral("sezione CDATA aperta e non chiusa");
    case XML_ERR_MISPLACED_CDATA_END:
        return QStringLiteral("sequenza \"]]>\" fuori da una sezione CDATA");
    case XML_ERR_PI_NOT_STARTED:
    case XML_ERR_PI_NOT_FINISHED:
        return QStringLiteral("istruzione <?...?> non valida o non chiusa");
    case XML_ERR_XMLDECL_NOT_STARTED:
    case XML_ERR_XMLDECL_NOT_FINISHED:
    case XML_ERR_RESERVED_XML_NAME:
        return QStringLiteral("intestazione <?xml ...?> non valida o fuori posto");
    case XML_ERR_ENTITYREF_NO_NAME:
    case XML_ERR_ENTITYREF_SEMICOL_MISSING:
    case XML_ERR_ENTITYREF_AT_EOF:
        return QStringLiteral("carattere \"&\" non seguito da un riferimento valido (si scrive &amp;)");
    case XML_ERR_UNDECLARED_ENTITY:
        return QStringLiteral("riferimento &%1; non definito").arg(str1);
    case XML_ERR_NAME_TOO_LONG:
        return QStringLiteral("nome troppo lungo");
    case XML_ERR_NO_MEMORY:
        return QStringLiteral("memoria insufficiente per leggere il file");
    case XML_NS_ERR_UNDEFINED_NAMESPACE:
        return QStringLiteral("prefisso %1 non dichiarato").arg(quoted(str1));
    default:
        break;
    }
    if (e.domain == XML_FROM_NAMESPACE)
        return QStringLiteral("spazio dei nomi non valido");
    if (e.domain == XML_FROM_IO)
        return QStringLiteral("file non leggibile");
    return QStringLiteral("struttura XML non valida");
}

// A facet of a length: an attribute's value comes first, then the length
// and the limit; an element's value is left out.
std::pair<QString, QString> lengthAndLimit(const xmlError &e)
{
    return e.str3 ? std::make_pair(text(e.str2), text(e.str3)) : std::make_pair(text(e.str1), text(e.str2));
}

// The validator's errors: the markup is sound, the content not ours.
QString schemaText(const xmlError &e, Subject &s, const SchemaKinds &kinds)
{
    const QString value = text(e.str1);
    const QString limit = text(e.str2);
    switch (e.code) {
    case XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_1:
    case XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_2:
    case XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_3:
    case XML_SCHEMAV_VALUE:
    case XML_SCHEMAV_CVC_TYPE_3_1_1:
    case XML_SCHEMAV_CVC_TYPE_3_1_2: {
        const QString why = kinds.refusal(s.element, s.attribute, value);
        const QString what = value.isEmpty() ? QStringLiteral("il valore") : QStringLiteral("il valore ") + quoted(value);
        return what + QLatin1Char(' ') + (why.isEmpty() ? QStringLiteral("non è del tipo richiesto") : why);
    }
    case XML_SCHEMAV_CVC_MAXLENGTH_VALID: {
        const auto [length, max] = lengthAndLimit(e);
        return QStringLiteral("testo di %1 caratteri, oltre i %2 ammessi").arg(length, max);
    }
    case XML_SCHEMAV_CVC_MINLENGTH_VALID: {
        const auto [length, min] = lengthAndLimit(e);
        return QStringLiteral("testo di %1 caratteri, meno dei %2 richiesti").arg(length, min);
    }
    case XML_SCHEMAV_CVC_LENGTH_VALID: {
        const auto [length, exact] = lengthAndLimit(e);
        return QStringLiteral("testo di %1 caratteri invece di %2").arg(length, exact);
    }
    case XML_SCHEMAV_CVC_MININCLUSIVE_VALID: {
        // Quantities and counts start at zero: the user is told the sign
        // is wrong, not a bound to compare with.
        bool number = false;
        if (limit.toDouble(&number) == 0 && number)
            return QStringLiteral("il valore %1 non può essere negativo").arg(value);
        return QStringLiteral("il valore %1 è sotto il minimo ammesso (%2)").arg(value, limit);
    }
    case XML_SCHEMAV_CVC_MAXINCLUSIVE_VALID:
        return QStringLiteral("il valore %1 è oltre il massimo ammesso (%2)").arg(value, limit);
    case XML_SCHEMAV_CVC_MINEXCLUSIVE_VALID:
        return QStringLiteral("il valore %1 deve essere maggiore di %2").arg(value, limit);
    case XML_SCHEMAV_CVC_MAXEXCLUSIVE_VALID:
        return QStringLiteral("il valore %1 deve essere minore di %2").arg(value, limit);
    case XML_SCHEMAV_CVC_TOTALDIGITS_VALID:
        return QStringLiteral("il valore %1 ha più delle %2 cifre ammesse").arg(value, limit);
    case XML_SCHEMAV_CVC_FRACTIONDIGITS_VALID:
        return QStringLiteral("il valore %1 ha più dei %2 decimali ammessi").arg(value, limit);
    case XML_SCHEMAV_CVC_PATTERN_VALID:
        return QStringLiteral("il valore %1 non ha la forma richiesta").arg(quoted(value));
    case XML_SCHEMAV_CVC_ENUMERATION_VALID:
        return QStringLiteral("il valore %1 non è fra quelli ammessi (%2)")
            .arg(quoted(value), QString(limit).remove(QLatin1Char('\'')));
    case XML_SCHEMAV_CVC_AU:
    case XML_SCHEMAV_CVC_ELT_5_2_2_2_2:
        return QStringLiteral("il valore %1 deve essere %2").arg(quoted(value), quoted(limit));
    case XML_SCHEMAV_ELEMENT_CONTENT:
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_2_4: {
        const QStringList expected = expectedElements(e);
        // The same code says an element came where it should not and that
        // an element ended before its required children: the validator
        // tells them apart only in the words of its message.
        if (text(e.message).contains(QLatin1String("Missing child")))
            return expected.isEmpty() ? QStringLiteral("mancano elementi obbligatori")
                                      : QStringLiteral("manca l'elemento obbligatorio %1").arg(oneOf(expected));
        return expected.isEmpty() ? QStringLiteral("elemento non previsto in questa posizione")
                                  : QStringLiteral("elemento non previsto in questa posizione (atteso %1)")
                                        .arg(oneOf(expected));
    }
    case XML_SCHEMAV_MISSING:
        return QStringLiteral("manca un elemento obbligatorio");
    case XML_SCHEMAV_UNDECLAREDELEM:
    case XML_SCHEMAV_INVALIDELEM:
    case XML_SCHEMAV_WRONGELEM:
        return QStringLiteral("elemento non previsto");
    case XML_SCHEMAV_CVC_ELT_1:
    case XML_SCHEMAV_NOROOT:
        return QStringLiteral("elemento principale diverso da <esportazione>");
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_2_3:
        return QStringLiteral("testo non ammesso: l'elemento contiene solo altri elementi");
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_2_2:
        return QStringLiteral("elementi non ammessi: l'elemento contiene solo un valore");
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_2_1:
        return QStringLiteral("l'elemento deve essere vuoto");
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_3_2_1:
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_3_2_2:
    case XML_SCHEMAV_ATTRUNKNOWN:
        return QStringLiteral("attributo non previsto");
    case XML_SCHEMAV_CVC_COMPLEX_TYPE_4:
        s.attribute.clear();
        return QStringLiteral("manca l'attributo obbligatorio %1").arg(quoted(value));
    default:
        break;
    }
    if (e.domain == XML_FROM_SCHEMASP)
        return QStringLiteral("schema non valido");
    return QStringLiteral("valore non ammesso dallo schema");
}

} // namespace

namespace XmlErrorText {

QString describe(const xmlError &error, const SchemaKinds &kinds)
{
    Subject s = subjectOf(error);
    const bool validation = error.domain == XML_FROM_SCHEMASV || error.domain == XML_FROM_SCHEMASP;
    const QString what = validation ? schemaText(error, s, kinds) : parserText(error, s);
    QStringList where;
    if (error.line > 0)
        where << QStringLiteral("riga %1").arg(error.line);
    if (!s.element.isEmpty())
        where << QStringLiteral("elemento %1").arg(tag(s.element));
    if (!s.attribute.isEmpty())
        where << QStringLiteral("attributo %1").arg(quoted(s.attribute));
    return where.isEmpty() ? what : where.join(QStringLiteral(", ")) + QStringLiteral(": ") + what;
}

} // namespace XmlErrorText
