#include "expClass.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QXmlStreamWriter>
#include <map>
#include <memory>

#include "Connection.h"
#include "ExchangeTables.h"
#include "KezXml.h"
#include "Statement.h"
#include "Transaction.h"

using ExchangeTables::Table;

namespace {

// One prepared query per table, the rows of a parent written depth first.
class TreeWriter
{
public:
    TreeWriter(Connection &cn, QXmlStreamWriter &xml) : m_cn(cn), m_xml(xml) {}

    bool writeRows(const Table &table, qint64 parentID)
    {
        std::unique_ptr<Statement> &stmt = m_queries[&table];
        if (!stmt)
            stmt = std::make_unique<Statement>(m_cn, ExchangeTables::selectSql(table));
        // The children's queries run while this one is still stepping, so
        // the rows are read first.
        struct Row
        {
            qint64 key;
            QVector<QString> values;
            QVector<bool> present;
        };
        QVector<Row> rows;
        if (!stmt->exec({parentID}))
            return false;
        for (; stmt->hasRow(); stmt->next()) {
            Row row;
            row.key = stmt->integer(0);
            for (int i = 0; i < table.fields.size(); ++i) {
                QString text;
                row.present << ExchangeTables::toXml(*stmt, i + 1, table.fields[i].kind, text);
                row.values << text;
            }
            rows << row;
        }
        if (!stmt->error().isEmpty())
            return false;
        for (const Row &row : rows) {
            m_xml.writeStartElement(QLatin1String(table.element));
            for (int i = 0; i < table.fields.size(); ++i)
                if (row.present[i])
                    m_xml.writeTextElement(QLatin1String(table.fields[i].column), row.values[i]);
            for (const Table *child : table.children)
                if (!writeRows(*child, row.key))
                    return false;
            m_xml.writeEndElement();
        }
        return true;
    }

private:
    Connection &m_cn;
    QXmlStreamWriter &m_xml;
    std::map<const Table *, std::unique_ptr<Statement>> m_queries;
};

// A full disk shows as a write cut short with no error of its own, which
// Qt's text would call unknown.
QString writeFailure(const QSaveFile &file, qint64 size)
{
    const QStorageInfo disk(QFileInfo(file.fileName()).absolutePath());
    if (file.error() == QFileDevice::ResourceError || (disk.isValid() && disk.bytesAvailable() < size))
        return QStringLiteral("spazio su disco esaurito.");
    return file.errorString();
}
}

expClass::expClass(Connection &cn) : m_cn(cn) {}

QByteArray expClass::documento(const QList<int> &saIDs, int numero, const QDateTime &dataOra)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QLatin1String(KezXml::Namespace));
    xml.writeStartElement(QLatin1String(KezXml::Namespace), QStringLiteral("esportazione"));
    xml.writeAttribute(QStringLiteral("versione"), QLatin1String(KezXml::Versione));
    Statement year(m_cn, QStringLiteral("SELECT saAnno FROM SezAnag WHERE saID = ?"));
    year.exec({saIDs.isEmpty() ? 0 : saIDs.first()});
    xml.writeAttribute(QStringLiteral("anno"), QString::number(year.integer(0)));
    xml.writeAttribute(QStringLiteral("numero"), QString::number(numero));
    xml.writeAttribute(QStringLiteral("dataOra"), dataOra.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    TreeWriter writer(m_cn, xml);
    for (int saID : saIDs)
        if (!writer.writeRows(ExchangeTables::dichiarazione(), saID))
            return QByteArray();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

bool expClass::esporta(const QList<int> &saIDs, const QString &fileName, int cciaa)
{
    errorText.clear();
    databaseError = false;
    expID = 0;
    const QDateTime now = QDateTime::currentDateTime();
    Transaction transaction(m_cn);
    auto databaseFailure = [this, &transaction] {
        databaseError = true;
        errorText = QStringLiteral("Attenzione, errore del database: esportazione annullata.");
        transaction.rollback();
        return false;
    };
    if (!transaction.isActive())
        return databaseFailure();
    if (!m_cn.execute(QStringLiteral("INSERT INTO expTab (expData, expFile, expCCIAA, expNum) "
                                     "VALUES (?, ?, ?, ?)"),
                      {now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")), fileName, cciaa,
                       int(saIDs.size())}))
        return databaseFailure();
    expID = int(m_cn.lastInsertRowId());
    Statement stamp(m_cn, QStringLiteral("UPDATE SezAnag SET ExpID = ? WHERE saID = ?"));
    for (int saID : saIDs)
        if (!stamp.exec({expID, saID}))
            return databaseFailure();
    const QByteArray bytes = documento(saIDs, expID, now);
    if (bytes.isEmpty())
        return databaseFailure();

    // A file the import would refuse is never handed out.
    QString reason;
    KezXml::Document doc = KezXml::parse(bytes, reason);
    if (!doc || !KezXml::validate(doc.get(), reason)) {
        transaction.rollback();
        expID = 0;
        errorText = QStringLiteral("Attenzione, i dati non rientrano nel formato del file di "
                                   "esportazione; nessun file scritto.\n")
            + reason;
        return false;
    }
    // Written beside the destination and renamed at the end: an interrupted
    // export never leaves half a file.
    // The explicit flush: commit alone puts an empty file in place, and
    // says it did well, when the disk is full at the final flush.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        transaction.rollback();
        expID = 0;
        errorText = QStringLiteral("Attenzione, impossibile scrivere il file %1:\n%2")
                        .arg(fileName, writeFailure(file, bytes.size()));
        return false;
    }
    if (!transaction.commit()) {
        QFile::remove(fileName);
        return databaseFailure();
    }
    return true;
}
