#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <memory>

#include "Currency.h"

class Connection;
class Statement;
namespace ExchangeTables {
struct Table;
}

// The checks a declaration must pass before it is exported: every check
// the sheets and modules make before a save, so that imported or older
// data is held to the same rules, plus what only the whole declaration
// shows (a destination module whose operations do not add up, a
// declaration with no section, one of another year), plus the limits of
// the export file (lengths, digits, decimals, forms of codes), so that a
// declaration with data the file cannot carry (from an older or
// hand-edited archive) is held back alone instead of stopping the whole
// file. Errors make a declaration unfit for
// export; warnings are what the forms let the user confirm.
class DeclarationCheck
{
public:
    struct Finding
    {
        bool errore = true;
        QString dove;       // the sheet or module concerned
        QString testo;
    };
    struct Result
    {
        bool found = false;
        // A read failed (ErrInfo says why): the findings are not the whole
        // story, and the declaration is neither sound nor faulty.
        bool failed = false;
        QString ragSoc;
        QString codFisc;
        QString unitaLocale;
        QList<Finding> findings;
        int errors() const;
    };

    explicit DeclarationCheck(Connection &cn);
    ~DeclarationCheck();
    DeclarationCheck(const DeclarationCheck &) = delete;
    DeclarationCheck &operator=(const DeclarationCheck &) = delete;

    Result check(int saID);
    // False when a lookup table (activities, wastes, countries, ...) could
    // not be read, ErrInfo saying why: checks against it would be wrong.
    bool lookupsRead() const { return m_lookupsRead; }

private:
    void loadLookups();
    // Notes whether the query ran to its end; false once a read failed.
    bool read(const Statement &s);
    void checkSezAnag(int saID, Result &r);
    void checkCons(int saID, Result &r);
    void checkModulo(const QString &sheet, int number, Result &r);
    void checkOperazioni(int mdcID, const QString &where, Currency quantity, int unit, Result &r);
    void checkSbop(int saID, Result &r);
    void checkSmat(int saID, Result &r);
    void checkTipi(int saID, bool riuso, Result &r);
    // A card's label ("Scheda SBOP n. 2 (name)") for its findings, with those
    // of its codice fiscale (column codFiscCol of s) and of its name (the
    // column after).
    QString checkCard(const char *kind, int number, const Statement &s, int codFiscCol, Result &r);
    // Appends the codice fiscale findings; required for a declarant.
    void checkCodFisc(const QString &code, bool required, const QString &where, Result &r);
    QString comune(qint64 prv, qint64 com) const;
    // The rows of table below parentID, and all below them, against what
    // the export file accepts.
    void checkFormat(const ExchangeTables::Table &table, qint64 parentID, const QString &parentWhere, Result &r);

    Connection &m_cn;
    bool m_lookupsRead = false;
    bool m_failed = false;
    QSet<QString> m_attivita;
    QSet<QString> m_rifiuti;
    QSet<QString> m_regCE;
    QSet<qint64> m_nazioni;
    QHash<qint64, QString> m_comuni;   // prv * 1000 + com -> "NAME (SG)"
    QSet<qint64> m_codici[2];          // types of list 12 and 13
    struct Queries;
    std::unique_ptr<Queries> q;
};
