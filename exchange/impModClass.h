#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "ExchangeTables.h"

class Connection;
class Statement;
struct _xmlNode;

// Brings the declarations of an export file into this year's archive,
// exactly as the sheets and modules would have stored them, with the
// prepared inserts of every table it writes. A file is read, checked
// against the schema and the year before anything is written, and it goes
// in whole or not at all. A declaration already in the archive (same year,
// codice fiscale and local unit, compared as the archive compares texts)
// is counted and left out, as is one the file holds twice; subjects of
// modules and cards unknown to the company registry are added to it as
// the forms add them.
class impModClass
{
public:
    explicit impModClass(Connection &cn);
    ~impModClass();
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
    // Called as the import advances with the steps done out of Steps (the
    // file's reading, then its declarations); returning false stops the
    // import, which then leaves nothing and sets cancelled.
    static constexpr int Steps = 1000;
    std::function<bool(int, int)> progress;
    bool cancelled = false;

private:
    bool checkRoot(_xmlNode *root);
    bool importaDichiarazione(_xmlNode *node);
    bool insertRows(const ExchangeTables::Table &table, _xmlNode *node, qint64 parentID);
    // values: the row's fields from first on.
    bool addDitta(const ExchangeTables::Table &table, const QVariantList &values, int first);
    Statement &insert(const ExchangeTables::Table &table);
    bool fail();
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
};
