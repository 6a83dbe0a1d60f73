#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVariantList>
#include <QVector>
#include <functional>
#include <map>
#include <memory>

#include "ExchangeTables.h"
#include "KezXml.h"
#include "XmlStream.h"

class Connection;
class Statement;

// Brings the declarations of an export file into this year's archive,
// exactly as the sheets and modules would have stored them, with the
// prepared inserts of every table it writes. The file streams in: each
// row is stored as it is read, in one transaction, and the file is checked
// against the schema and the year as it comes; at the first fault the
// transaction is rolled back, so the file goes in whole or not at all, at
// any size, in bounded memory. A declaration already in the archive (same
// year, codice fiscale and local unit, compared as the archive compares
// texts) is counted and left out, as is one the file holds twice; subjects
// of modules and cards unknown to the company registry are added to it as
// the forms add them.
class impModClass : private XmlStream::Events
{
public:
    explicit impModClass(Connection &cn);
    ~impModClass() override;
    impModClass(const impModClass &) = delete;
    impModClass &operator=(const impModClass &) = delete;

    // False with errorText set; nothing written then.
    bool importa(const QString &fileName);
    bool importaDati(const QByteArray &data);

    int nelFile = 0;
    int importate = 0;
    int presenti = 0;
    int ripetute = 0;   // the same local unit again in the file
    int ditte = 0;
    QString errorText;
    bool databaseError = false;
    // Called as the file is read with the steps done out of Steps; returning
    // false stops the import, which then leaves nothing and sets cancelled.
    static constexpr int Steps = 1000;
    std::function<bool(int, int)> progress;
    bool cancelled = false;

private:
    // One row element being read: its table's fields so far, the next field
    // the file may hold, and its id once stored.
    struct Row
    {
        const ExchangeTables::Table *table;
        QVariantList values;
        int next = 0;
        bool stored = false;
        qint64 id = 0;
    };

    // Runs read (a file's or memory's) through the stream into one transaction.
    bool run(const std::function<bool(XmlStream &, const KezXml::Progress &, QString &, bool &)> &read);
    void startElement(const char *name, const char *uri, int count, const char **attributes) override;
    void characters(const char *text, int size) override;
    void endElement(const char *name) override;
    bool checkRoot(const char *name, const char *uri, int count, const char **attributes);
    // Stores the row, or leaves it out with its declaration; false when the
    // store failed.
    bool store(Row &row);
    bool addDitta(const ExchangeTables::Table &table, const QVariantList &values);
    Statement &insert(const ExchangeTables::Table &table);
    void storeFailed();
    static QString localUnit(const QVariant &anno, const QVariant &codFisc, const QVariant &prv,
                             const QVariant &com, const QVariant &via, const QVariant &civico);
    bool loadUnits(qint64 anno);
    // Reports a step; false when the user stopped the import.
    bool report(int done);

    Connection &m_cn;
    std::map<const ExchangeTables::Table *, std::unique_ptr<Statement>> m_inserts;
    std::unique_ptr<Statement> m_ditta;
    int m_reported = -1;
    // The local units of the archive's year, by localUnit(): true for
    // those this file has added.
    QHash<QString, bool> m_units;
    QSet<QString> m_ditteSeen;

    // The read under way.
    XmlStream *m_stream = nullptr;
    bool m_rootSeen = false;
    QString m_anno;
    QVector<Row> m_rows;
    int m_field = -1;       // the field of the last row whose text is read
    QByteArray m_text;
    int m_ignored = 0;      // depth inside an element the schema refuses
    bool m_known = false;   // the declaration read is left out
    bool m_storeFailed = false;
};
