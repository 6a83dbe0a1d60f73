#include "impModClass.h"

#include <QVariantList>

#include <cstdlib>

#include "Connection.h"
#include "KezCollation.h"
#include "Statement.h"
#include "Transaction.h"
#include "kezClass.h"
#include "modMain.h"

using ExchangeTables::Table;

namespace {

// The subjects met in a file are remembered only to spare a statement
// each; past this many the memory is started again.
constexpr int DitteRemembered = 100000;

int fieldIndex(const Table &table, const char *column)
{
    for (int i = 0; i < table.fields.size(); ++i)
        if (qstrcmp(column, table.fields[i].column) == 0)
            return i;
    return -1;
}

const Table *childTable(const Table &table, const char *element)
{
    for (const Table *child : table.children)
        if (qstrcmp(element, child->element) == 0)
            return child;
    return nullptr;
}

// An element's value as its column stores it. Whole numbers, the most of
// a file, are read from the text in place.
QVariant value(const QByteArray &text, ExchangeTables::Kind kind)
{
    if (kind == ExchangeTables::Kind::Integer)
        return qlonglong(std::strtoll(text.constData(), nullptr, 10));
    // An empty element holds an empty text, not a missing one.
    return ExchangeTables::fromXml(text.isEmpty() ? QString(QLatin1String("")) : QString::fromUtf8(text), kind);
}

int expectedYear()
{
    return modMain::gKez ? modMain::gKez->AnnoDichiarazione() : 2021;
}
}

impModClass::impModClass(Connection &cn) : m_cn(cn) {}

impModClass::~impModClass() = default;

bool impModClass::importa(const QString &fileName)
{
    return run([&fileName](XmlStream &stream, const KezXml::Progress &progress, QString &error, bool &stopped) {
        return KezXml::readFile(fileName, stream, progress, error, stopped);
    });
}

bool impModClass::importaDati(const QByteArray &data)
{
    return run([&data](XmlStream &stream, const KezXml::Progress &progress, QString &error, bool &stopped) {
        return KezXml::readBytes(data, stream, progress, error, stopped);
    });
}

bool impModClass::run(const std::function<bool(XmlStream &, const KezXml::Progress &, QString &, bool &)> &read)
{
    nelFile = importate = presenti = ripetute = ditte = 0;
    errorText.clear();
    databaseError = false;
    cancelled = false;
    m_reported = -1;
    m_ditteSeen.clear();
    m_rootSeen = false;
    m_rows.clear();
    m_field = -1;
    m_ignored = 0;
    m_storeFailed = false;
    auto failed = [this] {
        nelFile = importate = presenti = ripetute = ditte = 0;
        return false;
    };
    auto databaseFailure = [this, &failed] {
        databaseError = true;
        errorText = QStringLiteral("Attenzione, errore del database: nessuna dichiarazione importata.");
        return failed();
    };

    m_ditta = std::make_unique<Statement>(
        m_cn, QStringLiteral("INSERT INTO Ditte (codFisc, ragSoc, prvIstat, comIstat, via, civico, cap) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (codFisc) DO NOTHING"));
    if (!loadUnits(expectedYear()) || !m_ditta->isValid())
        return databaseFailure();
    Transaction transaction(m_cn);
    if (!transaction.isActive())
        return databaseFailure();
    XmlStream stream(this);
    m_stream = &stream;
    const KezXml::Progress steps = [this](qint64 done, qint64 total) {
        return report(int(done * Steps / qMax<qint64>(1, total)));
    };
    const bool done = read(stream, steps, errorText, cancelled);
    m_stream = nullptr;
    if (!done) {
        transaction.rollback();
        if (cancelled) {
            errorText = QStringLiteral("Importazione annullata: nessuna dichiarazione importata.");
            return failed();
        }
        // A store that failed is the database's fault, unless the schema
        // refuses the very value that made it fail: then the file's.
        if (m_storeFailed && stream.refusedByEvents())
            return databaseFailure();
        return failed();
    }
    if (!transaction.commit())
        return databaseFailure();
    return true;
}

bool impModClass::checkRoot(const char *name, const char *uri, int count, const char **attributes)
{
    if (!uri || qstrcmp(uri, KezXml::Namespace) != 0 || qstrcmp(name, "esportazione") != 0) {
        errorText = QStringLiteral("Attenzione, il file non è un'esportazione di dichiarazioni KEZ.");
        return false;
    }
    const QString versione = XmlStream::attribute(count, attributes, "versione");
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
    m_anno = XmlStream::attribute(count, attributes, "anno");
    if (m_anno.isNull()) {
        errorText = QStringLiteral("Attenzione, il file non indica l'anno delle dichiarazioni (manca "
                                   "l'attributo \"anno\" dell'esportazione).");
        return false;
    }
    if (m_anno.trimmed().toInt() != expectedYear()) {
        errorText = QStringLiteral("Attenzione, il file contiene dichiarazioni dell'anno %1: in questo "
                                   "archivio si importano solo quelle dell'anno %2.")
                        .arg(m_anno)
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
    return progress(done, Steps);
}

void impModClass::startElement(const char *name, const char *uri, int count, const char **attributes)
{
    if (m_ignored > 0 || m_field >= 0) {
        ++m_ignored;
        return;
    }
    if (!m_rootSeen) {
        m_rootSeen = true;
        if (!checkRoot(name, uri, count, attributes))
            m_stream->refuse(errorText, true);
        return;
    }
    if (m_rows.isEmpty()) {
        if (qstrcmp(name, ExchangeTables::dichiarazione().element) != 0) {
            ++m_ignored;
            return;
        }
        ++nelFile;
        m_known = false;
        m_rows.append({&ExchangeTables::dichiarazione(), {}, 0, false, 0});
        m_rows.last().values.resize(ExchangeTables::dichiarazione().fields.size());
        return;
    }
    // The fields come first, in their order, then the rows below (the
    // schema says so): each field is looked for from the last one found.
    Row &row = m_rows.last();
    const Table &table = *row.table;
    for (int i = row.next; i < table.fields.size(); ++i)
        if (qstrcmp(name, table.fields[i].column) == 0) {
            m_field = i;
            m_text.resize(0);
            return;
        }
    const Table *child = childTable(table, name);
    if (!child) {
        ++m_ignored;
        return;
    }
    row.next = int(table.fields.size());
    if (!store(row))
        return;
    m_rows.append({child, {}, 0, false, 0});
    m_rows.last().values.resize(child->fields.size());
}

void impModClass::characters(const char *text, int size)
{
    if (m_field >= 0 && m_ignored == 0)
        m_text.append(text, size);
}

void impModClass::endElement(const char *)
{
    if (m_ignored > 0) {
        --m_ignored;
        return;
    }
    if (m_field >= 0) {
        Row &row = m_rows.last();
        const ExchangeTables::Field &field = row.table->fields[m_field];
        row.values[m_field] = value(m_text, field.kind);
        row.next = m_field + 1;
        m_field = -1;
        // One year per file: the year comes first in each declaration.
        if (row.table == &ExchangeTables::dichiarazione() && row.next == 1
            && row.values[0].toInt() != m_anno.trimmed().toInt())
            m_stream->refuse(KezXml::otherYear(nelFile, QString::fromUtf8(m_text).trimmed(), m_anno.trimmed()),
                             false);
        return;
    }
    if (m_rows.isEmpty())
        return;
    store(m_rows.last());
    m_rows.removeLast();
}

Statement &impModClass::insert(const Table &table)
{
    std::unique_ptr<Statement> &stmt = m_inserts[&table];
    if (!stmt)
        stmt = std::make_unique<Statement>(m_cn, ExchangeTables::insertSql(table));
    return *stmt;
}

void impModClass::storeFailed()
{
    m_storeFailed = true;
    m_stream->refuse(QStringLiteral("Attenzione, errore del database: nessuna dichiarazione importata."), false);
}

bool impModClass::store(Row &row)
{
    if (row.stored)
        return true;
    row.stored = true;
    const Table &table = *row.table;
    const bool declaration = &table == &ExchangeTables::dichiarazione();
    if (declaration) {
        auto field = [&](const char *column) { return row.values.value(fieldIndex(table, column)); };
        const QString key = localUnit(field("saAnno"), field("codFisc"), field("prvIstat"), field("comIstat"),
                                      field("via"), field("civico"));
        const auto known = m_units.constFind(key);
        m_known = known != m_units.constEnd();
        if (m_known) {
            ++(known.value() ? ripetute : presenti);
            return true;
        }
        ++importate;
        m_units.insert(key, true);
    }
    if (m_known)
        return true;
    QVariantList v;
    v.reserve(int(row.values.size()) + 2);
    if (!declaration)
        v << m_rows[m_rows.size() - 2].id;
    v += row.values;
    if (table.positionFromCode)
        v << (row.values.value(0).toString().startsWith(QLatin1Char('R')) ? 1 : 2);
    if (!insert(table).exec(v)) {
        storeFailed();
        return false;
    }
    row.id = m_cn.lastInsertRowId();
    if (!addDitta(table, row.values)) {
        storeFailed();
        return false;
    }
    return true;
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

bool impModClass::addDitta(const Table &table, const QVariantList &values)
{
    auto field = [&](const char *column) { return values.value(fieldIndex(table, column)); };
    const QByteArray table_(table.name);
    if (table_ != "ModCons" && table_ != "skSbop" && table_ != "skMat")
        return true;
    // A subject met before in the file is in the registry already.
    const QString codFisc = field("codFisc").toString();
    if (codFisc.isEmpty() || m_ditteSeen.contains(codFisc))
        return true;
    if (m_ditteSeen.size() >= DitteRemembered)
        m_ditteSeen.clear();
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
