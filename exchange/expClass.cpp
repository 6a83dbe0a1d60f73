#include "expClass.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <memory>

#include "Connection.h"
#include "ExchangeTables.h"
#include "KezXml.h"
#include "Statement.h"
#include "Transaction.h"
#include "WholeFileWriter.h"
#include "XmlStream.h"

using ExchangeTables::Table;

namespace {

// The file as the import reads it back: elements one a line, indented by
// depth. A carriage return goes as "&#13;", since a parser turns a raw one
// into a line feed; a character XML cannot carry at all is written as it
// is, so that the file's own check refuses it rather than losing it. What
// is written goes on to the sink in pieces, so that no declaration, however
// many modules it holds, is kept whole in memory.
class XmlOut
{
public:
    using Sink = std::function<bool(const QByteArray &)>;
    explicit XmlOut(Sink sink) : m_sink(std::move(sink)) {}

    void declaration() { m_out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"; }
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
    // Hands what is written to the sink; false when the sink refused it.
    bool flush()
    {
        if (m_out.isEmpty())
            return true;
        m_lines += std::count(m_out.cbegin(), m_out.cend(), '\n');
        const bool taken = m_sink(m_out);
        m_out.clear();
        return taken;
    }
    bool flushIfFull() { return m_out.size() < FlushSize || flush(); }
    // The line the next element begins on.
    qint64 line() const { return m_lines + std::count(m_out.cbegin(), m_out.cend(), '\n') + 1; }

private:
    static constexpr qsizetype FlushSize = 256 * 1024;
    void indent() { m_out.append(QByteArrayView("        ", qMin(m_depth, 8))); }

    Sink m_sink;
    QByteArray m_out;
    int m_depth = 0;
    qint64 m_lines = 0;
};

// A declaration's year as the file will carry it: as stored, for the
// file's own check to refuse one that is not a year.
QString storedYear(const Statement &year)
{
    QString text;
    ExchangeTables::toXml(year, 0, ExchangeTables::Kind::Integer, text);
    return text;
}

// One prepared query per table, the rows of a parent written depth first.
class TreeWriter
{
public:
    TreeWriter(Connection &cn, XmlOut &xml) : m_cn(cn), m_xml(xml) {}

    // False on a database error, or when the sink refused what was written
    // (sinkRefused set).
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
            if (!m_xml.flushIfFull()) {
                sinkRefused = true;
                return false;
            }
        }
        return s.error().isEmpty();
    }

    bool sinkRefused = false;

private:
    Connection &m_cn;
    XmlOut &m_xml;
    std::map<const Table *, std::unique_ptr<Statement>> m_queries;
};
}

expClass::expClass(Connection &cn) : m_cn(cn) {}

expClass::Written expClass::write(const QList<int> &saIDs, int numero, const QDateTime &dataOra,
                                  const std::function<bool(const QByteArray &)> &sink)
{
    m_starts.clear();
    XmlOut xml(sink);
    Statement year(m_cn, QStringLiteral("SELECT saAnno FROM SezAnag WHERE saID = ?"));
    if (!year.exec({saIDs.isEmpty() ? 0 : saIDs.first()}))
        return Written::DatabaseError;
    const QByteArray attributes = QByteArray(" xmlns=\"") + KezXml::Namespace + "\" versione=\"" + KezXml::Versione
        + "\" anno=\"" + XmlOut::escaped(storedYear(year)) + "\" numero=\"" + QByteArray::number(numero)
        + "\" dataOra=\"" + dataOra.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + '"';
    xml.declaration();
    xml.open("esportazione", attributes);
    TreeWriter writer(m_cn, xml);
    int done = 0;
    for (int saID : saIDs) {
        // Where each declaration begins, for a refusal to name it: the file
        // is checked as it goes, so only the last few can be at fault.
        m_starts.push_back({xml.line(), done});
        if (m_starts.size() > 4)
            m_starts.pop_front();
        if (!writer.writeRows(ExchangeTables::dichiarazione(), saID))
            return writer.sinkRefused ? Written::SinkRefused : Written::DatabaseError;
        if (!xml.flush())
            return Written::SinkRefused;
        ++done;
        if (progress && !progress(done, int(saIDs.size())))
            return Written::Cancelled;
    }
    xml.close("esportazione");
    return xml.flush() ? Written::Whole : Written::SinkRefused;
}

QByteArray expClass::documento(const QList<int> &saIDs, int numero, const QDateTime &dataOra)
{
    QByteArray bytes;
    const auto collect = [&bytes](const QByteArray &piece) {
        bytes += piece;
        return true;
    };
    return write(saIDs, numero, dataOra, collect) == Written::Whole ? bytes : QByteArray();
}

QString expClass::declarationOf(const QList<int> &saIDs, const QString &reason, int line)
{
    // The lines are those of a file that was not written: the declaration
    // is named instead.
    static const QRegularExpression lineMark(QStringLiteral("(^|\n)riga (\\d+)(: |, )"));
    QString text = reason;
    text.replace(lineMark, QStringLiteral("\\1"));
    // The headline speaks of a file read in.
    if (text.startsWith(QStringLiteral("Attenzione, il file non è")) && text.contains(QLatin1Char('\n')))
        text = text.mid(text.indexOf(QLatin1Char('\n')) + 1);
    int number = -1;
    for (const auto &[start, index] : m_starts)
        if (line > 0 && start <= line)
            number = index;
    if (number < 0 || number >= saIDs.size())
        return text;
    Statement s(m_cn, QStringLiteral("SELECT ragSoc, codFisc FROM SezAnag WHERE saID = ?"));
    s.exec({saIDs[number]});
    return QStringLiteral("Dichiarazione di %1, codice fiscale %2:\n").arg(s.text(0), s.text(1)) + text;
}

bool expClass::oneYear(const QList<int> &saIDs, QString &reason)
{
    Statement year(m_cn, QStringLiteral("SELECT saAnno FROM SezAnag WHERE saID = ?"));
    QString first;
    for (int i = 0; i < saIDs.size(); ++i) {
        if (!year.exec({saIDs[i]}))
            return false;
        const QString anno = storedYear(year);
        if (i == 0)
            first = anno;
        else if (anno != first) {
            reason = KezXml::otherYear(i + 1, anno, first);
            return false;
        }
    }
    return true;
}

std::optional<bool> expClass::recorded(const QString &path)
{
    // The root's start, which the program writes first.
    constexpr qint64 HeadSize = 4096;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(HeadSize);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    static const QRegularExpression root(QStringLiteral("<esportazione\\s[^>]*>"));
    static const QRegularExpression numero(QStringLiteral("\\snumero=\"(\\d{1,18})\""));
    static const QRegularExpression dataOra(QStringLiteral("\\sdataOra=\"([^\"]*)\""));
    const QString start = root.match(QString::fromUtf8(head)).captured();
    const QRegularExpressionMatch number = numero.match(start);
    const QRegularExpressionMatch time = dataOra.match(start);
    if (!number.hasMatch() || !time.hasMatch())
        return false;
    Statement s(m_cn, QStringLiteral("SELECT count(*) FROM expTab WHERE expID = ? AND expData = ?"));
    if (!s.exec({number.captured(1).toLongLong(), time.captured(1)})) {
        databaseError = true;
        return std::nullopt;
    }
    return s.integer(0) > 0;
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
        expID = 0;
        return false;
    };
    auto refused = [this, &transaction](const QString &why) {
        transaction.rollback();
        expID = 0;
        errorText = QStringLiteral("Attenzione, i dati non rientrano nel formato del file di "
                                   "esportazione; nessun file scritto.\n")
            + why;
        return false;
    };
    if (!transaction.isActive())
        return databaseFailure();
    // The file is written beside its name and checked as it grows, as the
    // import will read it; it takes its name only once whole and sound, so
    // a file the import would refuse is never handed out.
    WholeFileWriter file(fileName);
    auto cannotWrite = [&] {
        transaction.rollback();
        expID = 0;
        errorText = QStringLiteral("Attenzione, impossibile scrivere il file %1:\n%2").arg(fileName, file.failure());
        return false;
    };
    // An export of that name cut off before its end may have left its file
    // at the name, with the archive not recording it, and the earlier one
    // aside: the file at the name becomes the export the archive records
    // before anything else is written.
    if (!file.settle([this](const QString &path) { return recorded(path); }))
        return databaseError ? databaseFailure() : cannotWrite();
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
    // One year per file, as the import wants it.
    QString reason;
    if (!oneYear(saIDs, reason))
        return reason.isEmpty() ? databaseFailure() : refused(reason);

    if (!file.open())
        return cannotWrite();
    XmlStream check;
    bool writeFailed = false;
    const auto sink = [&](const QByteArray &piece) {
        if (!file.write(piece)) {
            writeFailed = true;
            return false;
        }
        return check.push(piece.constData(), piece.size()) && !check.invalid();
    };
    const Written result = write(saIDs, expID, now, sink);
    if (result == Written::Cancelled) {
        transaction.rollback();
        expID = 0;
        errorText = QStringLiteral("Esportazione annullata: nessun file scritto.");
        return false;
    }
    if (result == Written::DatabaseError)
        return databaseFailure();
    if (writeFailed)
        return cannotWrite();
    // A file refused half way is not ended: its end would add a fault of
    // its own.
    if (result == Written::SinkRefused || !check.finish())
        return refused(declarationOf(saIDs, check.error(), check.faultLine()));
    // The earlier file of that name stays aside until the database's commit
    // holds; when it fails, the writer puts it back as it ends.
    if (!file.commit(WholeFileWriter::Earlier::KeptAside))
        return cannotWrite();
    if (!transaction.commit())
        return databaseFailure();
    file.keep();
    return true;
}
