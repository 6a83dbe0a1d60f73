#include "expClass.h"

#include <QFile>
#include <QRegularExpression>
#include <map>
#include <memory>

#include "Connection.h"
#include "ExchangeTables.h"
#include "KezXml.h"
#include "Statement.h"
#include "Transaction.h"
#include "WholeFile.h"

using ExchangeTables::Table;

namespace {

// The file as the import reads it back: elements one a line, indented by
// depth. A carriage return goes as "&#13;", since a parser turns a raw one
// into a line feed; a character XML cannot carry at all is written as it
// is, so that the file's own check refuses it rather than losing it.
class XmlOut
{
public:
    explicit XmlOut(QByteArray &out) : m_out(out) {}

    void open(const char *element, const QByteArray &attributes = QByteArray())
    {
        indent();
        m_out += '<';
        m_out += element;
        m_out += attributes;
        m_out += ">\n";
        ++m_depth;
    }
    void close(const char *element)
    {
        --m_depth;
        indent();
        m_out += "</";
        m_out += element;
        m_out += ">\n";
    }
    void value(const char *element, const QString &text)
    {
        indent();
        m_out += '<';
        m_out += element;
        m_out += '>';
        m_out += escaped(text);
        m_out += "</";
        m_out += element;
        m_out += ">\n";
    }
    static QByteArray escaped(const QString &text)
    {
        QByteArray bytes = text.toUtf8();
        for (char c : bytes)
            if (c == '&' || c == '<' || c == '>' || c == '"' || c == '\r') {
                QByteArray out;
                out.reserve(bytes.size() + 16);
                for (char d : bytes) {
                    switch (d) {
                    case '&': out += "&amp;"; break;
                    case '<': out += "&lt;"; break;
                    case '>': out += "&gt;"; break;
                    case '"': out += "&quot;"; break;
                    case '\r': out += "&#13;"; break;
                    default: out += d; break;
                    }
                }
                return out;
            }
        return bytes;
    }

private:
    void indent() { m_out.append(QByteArrayView("        ", qMin(m_depth, 8))); }

    QByteArray &m_out;
    int m_depth = 0;
};

// One prepared query per table, the rows of a parent written depth first.
class TreeWriter
{
public:
    TreeWriter(Connection &cn, XmlOut &xml) : m_cn(cn), m_xml(xml) {}

    bool writeRows(const Table &table, qint64 parentID)
    {
        std::unique_ptr<Statement> &stmt = m_queries[&table];
        if (!stmt)
            stmt = std::make_unique<Statement>(m_cn, ExchangeTables::selectSql(table));
        // Each table has its own query: the rows below are read while this
        // one stays on its row.
        Statement &s = *stmt;
        if (!s.exec({parentID}))
            return false;
        QString text;
        for (; s.hasRow(); s.next()) {
            m_xml.open(table.element);
            for (int i = 0; i < table.fields.size(); ++i)
                if (ExchangeTables::toXml(s, i + 1, table.fields[i].kind, text))
                    m_xml.value(table.fields[i].column, text);
            for (const Table *child : table.children)
                if (!writeRows(*child, s.integer(0)))
                    return false;
            m_xml.close(table.element);
        }
        return s.error().isEmpty();
    }

private:
    Connection &m_cn;
    XmlOut &m_xml;
    std::map<const Table *, std::unique_ptr<Statement>> m_queries;
};
}

expClass::expClass(Connection &cn) : m_cn(cn) {}

QByteArray expClass::documento(const QList<int> &saIDs, int numero, const QDateTime &dataOra)
{
    m_cancelled = false;
    QByteArray bytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    // A full declaration takes some 16 KB.
    bytes.reserve(qsizetype(saIDs.size()) * 16384);
    XmlOut xml(bytes);
    Statement year(m_cn, QStringLiteral("SELECT saAnno FROM SezAnag WHERE saID = ?"));
    year.exec({saIDs.isEmpty() ? 0 : saIDs.first()});
    const QByteArray attributes = QByteArray(" xmlns=\"") + KezXml::Namespace + "\" versione=\"" + KezXml::Versione
        + "\" anno=\"" + QByteArray::number(year.integer(0)) + "\" numero=\"" + QByteArray::number(numero)
        + "\" dataOra=\"" + dataOra.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + '"';
    xml.open("esportazione", attributes);
    TreeWriter writer(m_cn, xml);
    int done = 0;
    for (int saID : saIDs) {
        if (!writer.writeRows(ExchangeTables::dichiarazione(), saID))
            return QByteArray();
        if (progress && !progress(++done, int(saIDs.size()))) {
            m_cancelled = true;
            return QByteArray();
        }
    }
    xml.close("esportazione");
    return bytes;
}

QString expClass::declarationOf(const QByteArray &bytes, const QList<int> &saIDs, const QString &reason)
{
    // The lines are those of a file that was not written: the first one
    // names the declaration instead.
    static const QRegularExpression lineMark(QStringLiteral("(^|\n)riga (\\d+)(: |, )"));
    const QRegularExpressionMatch m = lineMark.match(reason);
    QString text = reason;
    text.replace(lineMark, QStringLiteral("\\1"));
    // The schema's own headline speaks of a file read in.
    if (text.startsWith(QStringLiteral("Attenzione, il file non è conforme")))
        text = text.mid(text.indexOf(QLatin1Char('\n')) + 1);
    if (!m.hasMatch())
        return text;
    qsizetype at = 0;
    for (int line = m.captured(2).toInt(); line > 1 && at >= 0; --line)
        at = bytes.indexOf('\n', at) + 1;
    const int number = int(bytes.left(at).count("<dichiarazione>"));
    if (number < 1 || number > saIDs.size())
        return text;
    Statement s(m_cn, QStringLiteral("SELECT ragSoc, codFisc FROM SezAnag WHERE saID = ?"));
    s.exec({saIDs[number - 1]});
    return QStringLiteral("Dichiarazione di %1, codice fiscale %2:\n").arg(s.text(0), s.text(1)) + text;
}

bool expClass::oneYear(const QList<int> &saIDs, QString &reason)
{
    Statement year(m_cn, QStringLiteral("SELECT saAnno FROM SezAnag WHERE saID = ?"));
    QString first;
    for (int i = 0; i < saIDs.size(); ++i) {
        year.exec({saIDs[i]});
        const QString anno = QString::number(year.integer(0));
        if (i == 0)
            first = anno;
        else if (anno != first) {
            reason = KezXml::otherYear(i + 1, anno, first);
            return false;
        }
    }
    return true;
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
    if (bytes.isEmpty() && m_cancelled) {
        transaction.rollback();
        expID = 0;
        errorText = QStringLiteral("Esportazione annullata: nessun file scritto.");
        return false;
    }
    if (bytes.isEmpty())
        return databaseFailure();

    // A file the import would refuse is never handed out.
    QString reason;
    if (!KezXml::validateBytes(bytes, reason) || !oneYear(saIDs, reason)) {
        transaction.rollback();
        expID = 0;
        errorText = QStringLiteral("Attenzione, i dati non rientrano nel formato del file di "
                                   "esportazione; nessun file scritto.\n")
            + declarationOf(bytes, saIDs, reason);
        return false;
    }
    QString failure;
    if (!WholeFile::write(fileName, bytes, &failure)) {
        transaction.rollback();
        expID = 0;
        errorText = QStringLiteral("Attenzione, impossibile scrivere il file %1:\n%2").arg(fileName, failure);
        return false;
    }
    if (!transaction.commit()) {
        QFile::remove(fileName);
        return databaseFailure();
    }
    return true;
}
