#include "impModClass.h"

#include <QVariantList>

#include <libxml/tree.h>
#include <cstdlib>

#include "Connection.h"
#include "KezCollation.h"
#include "Transaction.h"
#include "KezXml.h"
#include "Statement.h"
#include "kezClass.h"
#include "modMain.h"

using ExchangeTables::Table;

namespace {

// How the bar shares the work: reading the file, checking it, storing it.
constexpr int ReadSteps = 400;
constexpr int ValidSteps = 100;
constexpr int StoreSteps = impModClass::Steps - ReadSteps - ValidSteps;

bool named(xmlNode *node, const char *element)
{
    return qstrcmp(reinterpret_cast<const char *>(node->name), element) == 0;
}

QString content(xmlNode *node)
{
    // A value element holds one text node: read it in place.
    xmlNode *only = node->children;
    if (only && !only->next && only->type == XML_TEXT_NODE)
        return QString::fromUtf8(reinterpret_cast<const char *>(only->content));
    if (!only)
        return QString(QLatin1String(""));
    xmlChar *text = xmlNodeGetContent(node);
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(text));
    xmlFree(text);
    return value;
}

QString attribute(xmlNode *node, const char *attr)
{
    xmlChar *text = xmlGetProp(node, reinterpret_cast<const xmlChar *>(attr));
    if (!text)
        return QString();
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(text));
    xmlFree(text);
    return value;
}

int fieldIndex(const Table &table, const char *column)
{
    for (int i = 0; i < table.fields.size(); ++i)
        if (qstrcmp(column, table.fields[i].column) == 0)
            return i;
    return -1;
}

const Table *childTable(const Table &table, xmlNode *node)
{
    for (const Table *child : table.children)
        if (named(node, child->element))
            return child;
    return nullptr;
}

// An element's value as its column stores it. Whole numbers, the most of
// a file, are read from the text in place.
QVariant value(xmlNode *node, ExchangeTables::Kind kind)
{
    xmlNode *only = node->children;
    if (kind == ExchangeTables::Kind::Integer && only && !only->next && only->type == XML_TEXT_NODE)
        return qlonglong(std::strtoll(reinterpret_cast<const char *>(only->content), nullptr, 10));
    return ExchangeTables::fromXml(content(node), kind);
}

// The table's columns from a row element, Null where an element is left
// out, appended to v. The elements come in the fields' order, then the
// rows below (the schema says so): each field is looked for from the last
// one found, and the first element after the fields is returned.
xmlNode *readFields(const Table &table, xmlNode *node, QVariantList &v)
{
    const int first = int(v.size());
    const int count = int(table.fields.size());
    v.resize(first + count);
    int next = 0;
    for (xmlNode *c = node->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE)
            continue;
        const char *name = reinterpret_cast<const char *>(c->name);
        int i = next;
        while (i < count && qstrcmp(name, table.fields[i].column) != 0)
            ++i;
        if (i == count)
            return c;
        v[first + i] = value(c, table.fields[i].kind);
        next = i + 1;
    }
    return nullptr;
}

int expectedYear()
{
    return modMain::gKez ? modMain::gKez->AnnoDichiarazione() : 2021;
}
}

impModClass::impModClass(Connection &cn) : m_cn(cn) {}

impModClass::~impModClass() = default;

bool impModClass::fail()
{
    databaseError = true;
    errorText = QStringLiteral("Attenzione, errore del database: nessuna dichiarazione importata.");
    return false;
}

bool impModClass::importa(const QString &fileName)
{
    QByteArray data;
    errorText.clear();
    if (!KezXml::readFile(fileName, data, errorText))
        return false;
    return importaDati(data);
}

bool impModClass::checkRoot(xmlNode *root)
{
    const bool ours = root && root->ns && root->ns->href
        && qstrcmp(reinterpret_cast<const char *>(root->ns->href), KezXml::Namespace) == 0
        && named(root, "esportazione");
    if (!ours) {
        errorText = QStringLiteral("Attenzione, il file non è un'esportazione di dichiarazioni KEZ.");
        return false;
    }
    const QString versione = attribute(root, "versione");
    if (versione.isNull()) {
        errorText = QStringLiteral("Attenzione, il file non indica il proprio formato (manca l'attributo "
                                   "\"versione\" dell'esportazione).");
        return false;
    }
    if (versione != QLatin1String(KezXml::Versione)) {
        errorText = QStringLiteral("Attenzione, il file è nel formato \"%1\", diverso dal formato \"%2\" "
                                   "di questo programma.")
                        .arg(versione, QLatin1String(KezXml::Versione));
        return false;
    }
    if (attribute(root, "anno").isNull()) {
        errorText = QStringLiteral("Attenzione, il file non indica l'anno delle dichiarazioni (manca "
                                   "l'attributo \"anno\" dell'esportazione).");
        return false;
    }
    if (attribute(root, "anno").trimmed().toInt() != expectedYear()) {
        errorText = QStringLiteral("Attenzione, il file contiene dichiarazioni dell'anno %1: in questo "
                                   "archivio si importano solo quelle dell'anno %2.")
                        .arg(attribute(root, "anno"))
                        .arg(expectedYear());
        return false;
    }
    return true;
}

bool impModClass::report(int done)
{
    if (!progress || done == m_reported)
        return true;
    m_reported = done;
    if (progress(done, Steps))
        return true;
    cancelled = true;
    errorText = QStringLiteral("Importazione annullata: nessuna dichiarazione importata.");
    return false;
}

bool impModClass::importaDati(const QByteArray &data)
{
    nelFile = importate = presenti = ripetute = ditte = 0;
    errorText.clear();
    databaseError = false;
    cancelled = false;
    m_reported = -1;
    m_ditteSeen.clear();
    // Reading the file is the first part of the work, checking it against
    // the schema the second, storing it the rest.
    KezXml::ParseRun run;
    run.progress = [this](qint64 done, qint64 total) { return report(int(done * ReadSteps / qMax<qint64>(1, total))); };
    KezXml::Document doc = KezXml::parse(data, errorText, &run);
    if (!doc)
        return false;
    xmlNode *root = xmlDocGetRootElement(doc.get());
    if (!checkRoot(root) || !KezXml::validate(doc.get(), errorText) || !KezXml::checkYears(doc.get(), errorText))
        return false;
    if (!report(ReadSteps + ValidSteps))
        return false;
    QList<xmlNode *> dichiarazioni;
    for (xmlNode *n = root->children; n; n = n->next)
        if (n->type == XML_ELEMENT_NODE)
            dichiarazioni << n;
    nelFile = int(dichiarazioni.size());

    m_ditta = std::make_unique<Statement>(
        m_cn, QStringLiteral("INSERT INTO Ditte (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (codFisc) DO NOTHING"));
    if (!loadUnits(expectedYear()) || !m_ditta->isValid())
        return fail();
    Transaction transaction(m_cn);
    if (!transaction.isActive())
        return fail();
    int done = 0;
    for (xmlNode *n : dichiarazioni) {
        if (!importaDichiarazione(n)) {
            transaction.rollback();
            importate = presenti = ripetute = ditte = 0;
            return fail();
        }
        if (!report(Steps - StoreSteps + ++done * StoreSteps / nelFile)) {
            transaction.rollback();
            importate = presenti = ripetute = ditte = 0;
            return false;
        }
    }
    if (!transaction.commit()) {
        importate = presenti = ripetute = ditte = 0;
        return fail();
    }
    return true;
}

Statement &impModClass::insert(const Table &table)
{
    std::unique_ptr<Statement> &stmt = m_inserts[&table];
    if (!stmt)
        stmt = std::make_unique<Statement>(m_cn, ExchangeTables::insertSql(table));
    return *stmt;
}

bool impModClass::importaDichiarazione(xmlNode *node)
{
    const Table &table = ExchangeTables::dichiarazione();
    QVariantList v;
    readFields(table, node, v);
    auto field = [&](const char *column) { return v.value(fieldIndex(table, column)); };
    const QString key = localUnit(field("saAnno"), field("codFisc"), field("prvIstat"), field("comIstat"),
                                  field("via"), field("civico"));
    const auto known = m_units.constFind(key);
    if (known != m_units.constEnd()) {
        ++(known.value() ? ripetute : presenti);
        return true;
    }
    ++importate;
    m_units.insert(key, true);
    return insertRows(table, node, 0);
}

QString impModClass::localUnit(const QVariant &anno, const QVariant &codFisc, const QVariant &prv,
                               const QVariant &com, const QVariant &via, const QVariant &civico)
{
    // Texts folded as the archive's collation compares them.
    const QChar sep(0x1f);
    return QString::number(anno.toLongLong()) + sep + KezCollation::fold(codFisc.toString()) + sep
        + QString::number(prv.toLongLong()) + sep + QString::number(com.toLongLong()) + sep
        + KezCollation::fold(via.toString()) + sep + KezCollation::fold(civico.toString());
}

bool impModClass::loadUnits(qint64 anno)
{
    m_units.clear();
    Statement s(m_cn, QStringLiteral("SELECT saAnno, codFisc, prvIstat, comIstat, via, civico FROM SezAnag "
                                     "WHERE saAnno = ?"));
    if (!s.exec({anno}))
        return false;
    for (; s.hasRow(); s.next())
        m_units.insert(localUnit(s.value(0), s.value(1), s.value(2), s.value(3), s.value(4), s.value(5)), false);
    return s.error().isEmpty();
}

bool impModClass::insertRows(const Table &table, xmlNode *node, qint64 parentID)
{
    const bool child = &table != &ExchangeTables::dichiarazione();
    QVariantList v;
    v.reserve(int(table.fields.size()) + 2);
    if (child)
        v << parentID;
    const int first = int(v.size());
    xmlNode *below = readFields(table, node, v);
    if (table.positionFromCode)
        v << (v.value(first).toString().startsWith(QLatin1Char('R')) ? 1 : 2);
    if (!insert(table).exec(v))
        return false;
    const qint64 id = m_cn.lastInsertRowId();
    if (!addDitta(table, v, first))
        return false;
    for (xmlNode *c = below; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE)
            continue;
        if (const Table *rows = childTable(table, c))
            if (!insertRows(*rows, c, id))
                return false;
    }
    return true;
}

bool impModClass::addDitta(const Table &table, const QVariantList &values, int first)
{
    auto field = [&](const char *column) { return values.value(first + fieldIndex(table, column)); };
    const QByteArray table_(table.name);
    if (table_ != "ModCons" && table_ != "skSbop" && table_ != "skMat")
        return true;
    // A subject met before in the file is in the registry already.
    const QString codFisc = field("codFisc").toString();
    if (codFisc.isEmpty() || m_ditteSeen.contains(codFisc))
        return true;
    m_ditteSeen.insert(codFisc);
    QVariantList row;
    if (table_ == "ModCons") {
        // An Italian subject comes with its address, a foreign one with its
        // code and name only.
        if (field("comIstat").toLongLong() != 0)
            row = {field("codFisc"), field("ragSoc"), field("prvIstat"), field("comIstat"), field("via"),
                   field("civico"), field("cap")};
        else
            row = {field("codFisc"), field("ragSoc"), 0, 0, QVariant(), QVariant(), QVariant()};
    } else {
        row = {field("codFisc"), field("ragSoc"), 0, 0, QVariant(), QVariant(), QVariant()};
    }
    if (!m_ditta->exec(row))
        return false;
    ditte += m_ditta->changes();
    return true;
}
