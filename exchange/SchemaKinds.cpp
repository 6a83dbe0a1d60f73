#include "SchemaKinds.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>

namespace {

const char *const XsdNamespace = "http://www.w3.org/2001/XMLSchema";

QString text(const xmlChar *s)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(s));
}

bool isXsd(const xmlNode *n, const char *name)
{
    return n->type == XML_ELEMENT_NODE && n->ns && xmlStrEqual(n->ns->href, BAD_CAST XsdNamespace)
        && xmlStrEqual(n->name, BAD_CAST name);
}

QString attr(xmlNode *n, const char *name)
{
    xmlChar *value = xmlGetProp(n, BAD_CAST name);
    const QString result = text(value);
    xmlFree(value);
    return result;
}

// A type named in the schema: "xs:int" stands for the built-in "int" when
// its prefix is the schema language's; any other name is one of ours.
QString builtInName(xmlDoc *doc, xmlNode *at, const QString &qname)
{
    const qsizetype colon = qname.indexOf(QLatin1Char(':'));
    const QByteArray prefix = colon < 0 ? QByteArray() : qname.left(colon).toUtf8();
    xmlNs *ns = xmlSearchNs(doc, at, prefix.isEmpty() ? nullptr : BAD_CAST prefix.constData());
    return ns && xmlStrEqual(ns->href, BAD_CAST XsdNamespace) ? qname.mid(colon + 1) : QString();
}

struct Reader
{
    xmlDoc *doc;
    // Our simple types, to the type each restricts.
    QHash<QString, std::pair<xmlNode *, QString>> simple;
    QHash<QString, QString> found;

    // The base of a type given by name (type="...") or inline (a simple
    // type inside the declaration), followed through our own types.
    QString resolve(xmlNode *at, QString type)
    {
        for (int depth = 0; depth < 16 && !type.isEmpty(); ++depth) {
            const QString builtIn = builtInName(doc, at, type);
            if (!builtIn.isEmpty())
                return builtIn;
            const auto next = simple.constFind(type.mid(type.indexOf(QLatin1Char(':')) + 1));
            if (next == simple.constEnd())
                return QString();
            at = next->first;
            type = next->second;
        }
        return QString();
    }
    static std::pair<xmlNode *, QString> restriction(xmlNode *simpleType)
    {
        for (xmlNode *c = simpleType->children; c; c = c->next)
            if (isXsd(c, "restriction"))
                return {c, attr(c, "base")};
        return {simpleType, QString()};
    }
    void collectTypes(xmlNode *n)
    {
        for (; n; n = n->next) {
            if (isXsd(n, "simpleType") && !attr(n, "name").isEmpty())
                simple.insert(attr(n, "name"), restriction(n));
            collectTypes(n->children);
        }
    }
    void collectNames(xmlNode *n)
    {
        for (; n; n = n->next) {
            const bool element = isXsd(n, "element");
            if ((element || isXsd(n, "attribute")) && !attr(n, "name").isEmpty()) {
                std::pair<xmlNode *, QString> type{n, attr(n, "type")};
                for (xmlNode *c = n->children; c && type.second.isEmpty(); c = c->next)
                    if (isXsd(c, "simpleType"))
                        type = restriction(c);
                const QString key = (element ? QString() : QStringLiteral("@")) + attr(n, "name");
                const QString builtIn = resolve(type.first, type.second);
                // A name used with two kinds says nothing sure about either.
                if (found.contains(key) && found.value(key) != builtIn)
                    found.insert(key, QString());
                else
                    found.insert(key, builtIn);
            }
            collectNames(n->children);
        }
    }
};

struct DocFree
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};

} // namespace

SchemaKinds SchemaKinds::read(const QString &xsdPath)
{
    SchemaKinds kinds;
    std::unique_ptr<xmlDoc, DocFree> doc(
        xmlReadFile(QFile::encodeName(xsdPath).constData(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc)
        return kinds;
    Reader reader{doc.get(), {}, {}};
    reader.collectTypes(xmlDocGetRootElement(doc.get()));
    reader.collectNames(xmlDocGetRootElement(doc.get()));
    kinds.m_builtIn = reader.found;
    return kinds;
}

QString SchemaKinds::refusal(const QString &element, const QString &attribute, const QString &value) const
{
    // form: how a value of the kind is written; inForm: why a value so
    // written can still be refused (no such day; beyond what the kind
    // holds). A yes/no and a floating point number have no such case; a
    // whole number above zero has only zero for a bound, which its text
    // names already.
    struct Kind
    {
        QStringList types;
        QString expected;
        QRegularExpression form;
        QString inForm;
    };
    const auto form = [](const char *pattern) {
        return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern)));
    };
    static const Kind kinds[] = {
        {{QStringLiteral("positiveInteger")}, QStringLiteral("un numero intero maggiore di zero"), {}, {}},
        {{QStringLiteral("int"), QStringLiteral("integer"), QStringLiteral("long"), QStringLiteral("short"),
          QStringLiteral("byte"), QStringLiteral("nonNegativeInteger"), QStringLiteral("unsignedInt"),
          QStringLiteral("unsignedLong"), QStringLiteral("unsignedShort"), QStringLiteral("unsignedByte")},
         QStringLiteral("un numero intero"), form("[+-]?[0-9]+"),
         QStringLiteral("è fuori dai limiti di un numero intero")},
        {{QStringLiteral("decimal")}, QStringLiteral("un numero (con il punto per i decimali)"),
         form("[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)"), QStringLiteral("ha troppe cifre")},
        {{QStringLiteral("float"), QStringLiteral("double")}, QStringLiteral("un numero (con il punto per i decimali)"),
         {}, {}},
        {{QStringLiteral("date")}, QStringLiteral("una data nella forma aaaa-mm-gg"),
         form("-?[0-9]{4,}-[0-9]{2}-[0-9]{2}(Z|[+-][0-9]{2}:[0-9]{2})?"),
         QStringLiteral("non è una data esistente")},
        {{QStringLiteral("dateTime")}, QStringLiteral("una data e ora nella forma aaaa-mm-ggThh:mm:ss"),
         form("-?[0-9]{4,}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}(\\.[0-9]+)?(Z|[+-][0-9]{2}:[0-9]{2})?"),
         QStringLiteral("non è una data e ora esistente")},
        {{QStringLiteral("boolean")}, QStringLiteral("un valore sì/no (true, false, 1 o 0)"), {}, {}},
    };
    const QString type = m_builtIn.value(attribute.isEmpty() ? element : QStringLiteral("@") + attribute);
    // Kinds without numbers below zero; the unsigned ones refuse even "-0".
    static const QStringList notBelowZero = {QStringLiteral("nonNegativeInteger"), QStringLiteral("unsignedInt"),
                                             QStringLiteral("unsignedLong"), QStringLiteral("unsignedShort"),
                                             QStringLiteral("unsignedByte")};
    if (notBelowZero.contains(type) && form("-[0-9]+").match(value).hasMatch())
        return QStringLiteral("non può essere negativo");
    for (const Kind &kind : kinds) {
        if (!kind.types.contains(type))
            continue;
        if (!kind.inForm.isEmpty() && kind.form.match(value).hasMatch())
            return kind.inForm;
        return QStringLiteral("non è ") + kind.expected;
    }
    return QString();
}
