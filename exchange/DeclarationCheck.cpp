#include "DeclarationCheck.h"

#include <QDate>
#include <functional>
#include <map>

#include "Connection.h"
#include "ExchangeTables.h"
#include "Statement.h"
#include "kezClass.h"
#include "modFunz.h"
#include "modMain.h"

using ExchangeTables::Kind;
using ExchangeTables::Table;

namespace {

const char *const materialNames[] = {"ferro", "vetro", "alluminio", "carta", "plastica", "legno", "altro"};
const char *const materialCaptions[] = {"rottami ferro e acciaio", "rottami in vetro", "rottami in alluminio",
                                        "carta e cartone", "plastica", "legno", "altro"};

QString consSql()
{
    QString sql = QStringLiteral("SELECT scID, rifCod, scQta, scUmi");
    for (const char *m : materialNames)
        sql += QStringLiteral(", %1Qta, %1Umi").arg(QLatin1String(m));
    return sql + QStringLiteral(" FROM SezCons WHERE saID = ? ORDER BY scID");
}

QString amount(Currency value)
{
    return value.toString().replace(QLatin1Char('.'), QLatin1Char(','));
}

bool validUnit(qint64 unit)
{
    return unit == 1 || unit == 2;
}

Currency inKg(Currency value, qint64 unit)
{
    return unit == 2 ? Currency::fromRaw(value.raw() * 1000) : value;
}

QString dateText(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

void add(DeclarationCheck::Result &r, bool errore, const QString &where, const QString &text)
{
    r.findings.append({errore, where, text});
}

// How findings name the sheets, modules and cards: the same for the
// sheets' rules and for the file's limits.
QString consWhere(const QString &code)
{
    return QStringLiteral("Scheda CONS %1").arg(code.isEmpty() ? QStringLiteral("senza codice") : code);
}

QString moduleWhere(const QString &sheet, qint64 tipo, int number, const QString &name)
{
    const QString kind = tipo == 1 ? QStringLiteral("UO-CONS") : tipo == 2 ? QStringLiteral("DR-CONS")
                                                                           : QStringLiteral("di tipo %1").arg(tipo);
    QString where = QStringLiteral("%1, modulo %2 n. %3").arg(sheet, kind).arg(number);
    if (!name.isEmpty())
        where += QStringLiteral(" (%1)").arg(name);
    return where;
}

// Modules are numbered by kind, in the order they were entered.
int moduleNumber(int numbers[3], qint64 tipo)
{
    return tipo == 1 || tipo == 2 ? ++numbers[tipo] : ++numbers[0];
}

QString cardWhere(const char *kind, int number, const Statement &s, int nameCol)
{
    QString where = QStringLiteral("Scheda %1 n. %2").arg(QLatin1String(kind)).arg(number);
    if (!s.isNull(nameCol))
        where += QStringLiteral(" (%1)").arg(s.text(nameCol));
    return where;
}
}

struct DeclarationCheck::Queries
{
    explicit Queries(Connection &cn)
        : sezAnag(cn, QStringLiteral(
                          "SELECT codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, attIstat, "
                          "Addetti, Mesi, slPrvIstat, slComIstat, slVia, slCAP, saCognome, saNome, "
                          "saDataComp, saAnnulla, saDataPrec, saAnno FROM SezAnag WHERE saID = ?")),
          cons(cn, consSql()),
          moduli(cn, QStringLiteral("SELECT mdcID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, "
                                    "cap, nazID, regCE, mdcQta, mdcUmi, mdcAtt FROM ModCons "
                                    "WHERE scID = ? ORDER BY mdcTipo, mdcID")),
          operazioni(cn, QStringLiteral("SELECT Posizione, Codice, Qta, Umi FROM RecDrCons "
                                        "WHERE mdcID = ? ORDER BY Posizione, rdcID")),
          sbop(cn, QStringLiteral("SELECT codFisc, ragSoc, sksBorse, sks50Micron, sks15Micron, "
                                  "sksOxodegradabili, sksBiodegradabili, sksAltre, pmBorse, pm50Micron, "
                                  "pm15Micron, pmOxodegradabili, pmBiodegradabili, pmAltre FROM skSbop "
                                  "WHERE saID = ? ORDER BY sksID")),
          smat(cn, QStringLiteral("SELECT skmID, codFisc, ragSoc FROM skMat WHERE saID = ? ORDER BY skmID")),
          recMat(cn, QStringLiteral("SELECT skmTipo, qtaProdVuoti, qtaProdPieni, qtaImpVuoti, qtaImpPieni, "
                                    "qtaEspVuoti, qtaEspPieni FROM RecMat WHERE skmID = ? ORDER BY rkmID")),
          riu(cn, QStringLiteral("SELECT riuTipo, qtaAlimentare, qtaAltriUsi FROM RecRiu WHERE saID = ? "
                                 "ORDER BY riuID")),
          tip(cn, QStringLiteral("SELECT tipTipo, qtaPrimari, qtaSecondari FROM RecTip WHERE saID = ? "
                                 "ORDER BY tipID"))
    {
    }
    Statement sezAnag, cons, moduli, operazioni, sbop, smat, recMat, riu, tip;
    std::map<const ExchangeTables::Table *, std::unique_ptr<Statement>> format;
};

int DeclarationCheck::Result::errors() const
{
    int n = 0;
    for (const Finding &f : findings)
        n += f.errore ? 1 : 0;
    return n;
}

DeclarationCheck::DeclarationCheck(Connection &cn) : m_cn(cn), q(std::make_unique<Queries>(cn))
{
    loadLookups();
}

DeclarationCheck::~DeclarationCheck() = default;

void DeclarationCheck::loadLookups()
{
    // Read once: a run checks a thousand declarations against them. A
    // table that could not be read is no empty table.
    m_lookupsRead = true;
    const auto read = [this](const QString &sql, const std::function<void(const Statement &)> &row) {
        Statement s(m_cn, sql);
        for (s.exec(); s.hasRow(); s.next())
            row(s);
        m_lookupsRead = m_lookupsRead && s.error().isEmpty();
    };
    const auto texts = [&read](const QString &sql, QSet<QString> &into) {
        read(sql, [&into](const Statement &s) { into.insert(s.text(0)); });
    };
    texts(QStringLiteral("SELECT attCod FROM Attivita"), m_attivita);
    texts(QStringLiteral("SELECT rifCod FROM Rifiuti"), m_rifiuti);
    texts(QStringLiteral("SELECT crcCod FROM CodRegCE"), m_regCE);
    read(QStringLiteral("SELECT nazID FROM Nazioni"), [this](const Statement &s) { m_nazioni.insert(s.integer(0)); });
    read(QStringLiteral("SELECT c.prvIstat, c.comIstat, c.comDesc, p.prvSigla FROM Comuni c "
                        "LEFT JOIN Province p ON p.prvIstat = c.prvIstat"),
         [this](const Statement &s) {
             m_comuni.insert(s.integer(0) * 1000 + s.integer(1),
                             s.text(2) + QStringLiteral(" (") + s.text(3) + QLatin1Char(')'));
         });
    read(QStringLiteral("SELECT codType, codNumb FROM Codici WHERE codType IN (12, 13)"),
         [this](const Statement &s) { m_codici[s.integer(0) == 12 ? 0 : 1].insert(s.integer(1)); });
}

QString DeclarationCheck::comune(qint64 prv, qint64 com) const
{
    return m_comuni.value(prv * 1000 + com);
}

void DeclarationCheck::checkCodFisc(const QString &code, bool required, const QString &where, Result &r)
{
    if (code.trimmed().isEmpty()) {
        if (required)
            add(r, true, where, QStringLiteral("codice fiscale mancante."));
        return;
    }
    switch (modFunz::codFiscState(code)) {
    case 1:
        add(r, true, where, QStringLiteral("codice fiscale %1 formalmente errato.").arg(code));
        break;
    case 2:
        // The forms let the user confirm such a code.
        add(r, false, where, QStringLiteral("codice fiscale %1 con carattere di controllo errato.").arg(code));
        break;
    default:
        break;
    }
}

DeclarationCheck::Result DeclarationCheck::check(int saID)
{
    Result r;
    checkSezAnag(saID, r);
    if (!r.found)
        return r;
    checkCons(saID, r);
    checkSbop(saID, r);
    checkSmat(saID, r);
    checkTipi(saID, true, r);
    checkTipi(saID, false, r);
    checkFormat(ExchangeTables::dichiarazione(), saID, QString(), r);
    return r;
}

void DeclarationCheck::checkFormat(const Table &table, qint64 parentID, const QString &parentWhere, Result &r)
{
    std::unique_ptr<Statement> &stmt = q->format[&table];
    if (!stmt)
        stmt = std::make_unique<Statement>(m_cn, ExchangeTables::selectSql(table));
    // Each table has its own query: the rows below are read while this one
    // stays on its row.
    Statement &s = *stmt;
    const QByteArray name(table.name);
    int numbers[3] = {0, 0, 0};
    for (s.exec({parentID}); s.hasRow(); s.next()) {
        // Columns: the key, then the fields in order.
        QString where = parentWhere;
        if (name == "SezAnag")
            where = QStringLiteral("Scheda SA1");
        else if (name == "SezCons")
            where = consWhere(s.text(1));
        else if (name == "ModCons")
            where = moduleWhere(parentWhere, s.integer(1), moduleNumber(numbers, s.integer(1)), s.text(3));
        else if (name == "skSbop" || name == "skMat")
            where = cardWhere(name == "skSbop" ? "SBOP" : "SMAT", ++numbers[0], s, 2);
        else if (name == "RecRiu" || name == "RecTip")
            where = name == "RecRiu" ? QStringLiteral("Scheda SRIU") : QStringLiteral("Scheda STIP");
        bool flagged = false;
        for (const Finding &f : r.findings)
            flagged = flagged || (f.errore && f.dove == where);
        for (int i = 0; i < table.fields.size(); ++i) {
            const ExchangeTables::Field &field = table.fields[i];
            const int column = i + 1;
            bool domain = true;
            QString reason;
            if (field.kind == Kind::Date || field.kind == Kind::Flag)
                continue;
            if (!s.isNull(column))
                reason = ExchangeTables::formatError(
                    field, field.kind == Kind::Text ? s.text(column) : QString(),
                    field.kind == Kind::Money ? s.money(column).raw() : s.integer(column), domain);
            else if (field.format.required)
                reason = QStringLiteral("%1 mancante.").arg(QString::fromUtf8(field.label));
            // What the sheet's own rules found wrong is said once.
            if (!reason.isEmpty() && !(domain && flagged))
                add(r, true, where, reason);
        }
        for (const Table *child : table.children)
            checkFormat(*child, s.integer(0), where, r);
    }
}

void DeclarationCheck::checkSezAnag(int saID, Result &r)
{
    Statement &s = q->sezAnag;
    if (!s.exec({saID}) || !s.hasRow())
        return;
    r.found = true;
    const QString where = QStringLiteral("Scheda SA1");
    r.codFisc = s.text(0);
    r.ragSoc = s.text(1);
    const QString place = comune(s.integer(2), s.integer(3));
    r.unitaLocale = (s.text(4) + QLatin1Char(' ') + s.text(5)).trimmed();
    if (!place.isEmpty())
        r.unitaLocale += QStringLiteral(" - ") + place;

    checkCodFisc(r.codFisc, true, where, r);
    if (s.isNull(1))
        add(r, true, where, QStringLiteral("nome o ragione sociale mancante."));
    auto checkPlace = [&](int prvCol, const QString &what) {
        if (s.integer(prvCol) == 0 || s.integer(prvCol + 1) == 0)
            add(r, true, where, QStringLiteral("comune %1 mancante.").arg(what));
        else if (comune(s.integer(prvCol), s.integer(prvCol + 1)).isEmpty())
            add(r, true, where, QStringLiteral("comune %1 sconosciuto (codici ISTAT %2 e %3).")
                                    .arg(what)
                                    .arg(s.integer(prvCol))
                                    .arg(s.integer(prvCol + 1)));
    };
    auto checkCap = [&](int col, const QString &what) {
        if (!s.isNull(col) && s.text(col).size() != 5)
            add(r, false, where, QStringLiteral("C.A.P. %1 formalmente errato (%2).").arg(what, s.text(col)));
    };
    checkPlace(2, QStringLiteral("dell'unità locale"));
    if (s.isNull(4))
        add(r, true, where, QStringLiteral("via dell'unità locale mancante."));
    checkCap(6, QStringLiteral("dell'unità locale"));
    if (s.isNull(7))
        add(r, true, where, QStringLiteral("codice ISTAT attività economica mancante."));
    else if (!m_attivita.contains(s.text(7)))
        add(r, true, where, QStringLiteral("codice ISTAT attività %1 non presente nella tabella delle attività.")
                                .arg(s.text(7)));
    const qint64 addetti = s.integer(8);
    if (addetti <= 0)
        add(r, true, where, QStringLiteral("numero addetti mancante."));
    else if (addetti > 99)
        add(r, false, where, QStringLiteral("numero addetti %1: verificare.").arg(addetti));
    if (s.integer(9) < 1 || s.integer(9) > 12)
        add(r, true, where, QStringLiteral("mesi di attività errati (%1).").arg(s.integer(9)));
    checkPlace(10, QStringLiteral("della sede legale"));
    if (s.isNull(12))
        add(r, true, where, QStringLiteral("via della sede legale mancante."));
    checkCap(13, QStringLiteral("della sede legale"));
    if (s.isNull(14))
        add(r, true, where, QStringLiteral("cognome del rappresentante legale mancante."));
    if (s.isNull(15))
        add(r, true, where, QStringLiteral("nome del rappresentante legale mancante."));
    // A file carries the declarations of one year, this archive's.
    const int anno = modMain::gKez ? modMain::gKez->AnnoDichiarazione() : 2021;
    if (s.isNull(19))
        add(r, true, where, QStringLiteral("anno della dichiarazione mancante."));
    else if (s.integer(19) != anno)
        add(r, true, where, QStringLiteral("dichiarazione dell'anno %1, non dell'anno %2 di questo archivio.")
                                .arg(s.integer(19))
                                .arg(anno));
    const QDate comp = QDate::fromString(s.text(16).left(10), Qt::ISODate);
    const int year = modMain::gKez ? modMain::gKez->AnnoElaborazione() : 2022;
    if (!comp.isValid())
        add(r, true, where, QStringLiteral("data di compilazione mancante."));
    else if (comp.year() != year)
        add(r, false, where, QStringLiteral("data della dichiarazione %1 fuori dall'anno %2: verificare.")
                                 .arg(dateText(comp))
                                 .arg(year));
    if (s.integer(17) != 0) {
        const QDate prec = QDate::fromString(s.text(18).left(10), Qt::ISODate);
        if (!prec.isValid())
            add(r, true, where, QStringLiteral("data della precedente dichiarazione da annullare mancante."));
        else if (comp.isValid() && prec > comp)
            add(r, true, where, QStringLiteral("data della precedente dichiarazione (%1) successiva alla data "
                                               "della dichiarazione (%2).")
                                    .arg(dateText(prec), dateText(comp)));
    }
    Statement any(m_cn, QStringLiteral("SELECT (SELECT count(*) FROM SezCons WHERE saID = ?1) + "
                                       "(SELECT count(*) FROM skSbop WHERE saID = ?1) + "
                                       "(SELECT count(*) FROM skMat WHERE saID = ?1) + "
                                       "(SELECT count(*) FROM RecRiu WHERE saID = ?1) + "
                                       "(SELECT count(*) FROM RecTip WHERE saID = ?1)"));
    if (any.exec({saID}) && any.integer(0) == 0)
        add(r, true, QStringLiteral("Dichiarazione"), QStringLiteral("nessuna sezione compilata."));
}

void DeclarationCheck::checkCons(int saID, Result &r)
{
    Statement &s = q->cons;
    // A sheet's own findings come before those of its modules, which can
    // be read only once the sheets' query is done.
    struct Sheet
    {
        qint64 scID;
        QString where;
        Result own;
    };
    QList<Sheet> sheets;
    for (s.exec({saID}); s.hasRow(); s.next()) {
        const QString code = s.text(1);
        const QString where = consWhere(code);
        sheets.append({s.integer(0), where, Result()});
        Result &own = sheets.last().own;
        if (code.isEmpty())
            add(own, true, where, QStringLiteral("codice rifiuto mancante."));
        else if (!m_rifiuti.contains(code))
            add(own, true, where, QStringLiteral("codice rifiuto %1 non presente nella tabella dei rifiuti.").arg(code));
        else if (!modMain::isRifiutoSelezionabile(code, true))
            add(own, true, where, QStringLiteral("codice rifiuto %1 non selezionabile.").arg(code));
        if (s.money(2) <= Currency())
            add(own, true, where, QStringLiteral("quantità complessivamente raccolta mancante."));
        if (!validUnit(s.integer(3)))
            add(own, true, where, QStringLiteral("unità di misura della quantità raccolta errata."));
        for (int m = 0; m < 7; ++m) {
            if (s.money(4 + 2 * m) < Currency())
                add(own, true, where, QStringLiteral("quantità negativa: %1.").arg(QLatin1String(materialCaptions[m])));
            if (!validUnit(s.integer(5 + 2 * m)))
                add(own, true, where, QStringLiteral("unità di misura errata: %1.").arg(QLatin1String(materialCaptions[m])));
        }
    }
    for (const Sheet &sheet : sheets) {
        r.findings += sheet.own.findings;
        Statement &m = q->moduli;
        int numbers[3] = {0, 0, 0};
        for (m.exec({sheet.scID}); m.hasRow(); m.next())
            checkModulo(sheet.where, moduleNumber(numbers, m.integer(1)), r);
    }
}

void DeclarationCheck::checkModulo(const QString &sheet, int number, Result &r)
{
    Statement &m = q->moduli;
    const qint64 tipo = m.integer(1);
    const QString where = moduleWhere(sheet, tipo, number, m.text(3));
    if (tipo != 1 && tipo != 2) {
        add(r, true, where, QStringLiteral("tipo di modulo sconosciuto."));
        return;
    }
    const bool italian = m.integer(5) != 0;
    if (italian) {
        checkCodFisc(m.text(2), true, where, r);
        if (m.isNull(3))
            add(r, true, where, QStringLiteral("nome o ragione sociale mancante."));
        if (comune(m.integer(4), m.integer(5)).isEmpty())
            add(r, true, where, QStringLiteral("comune sconosciuto (codici ISTAT %1 e %2).")
                                    .arg(m.integer(4))
                                    .arg(m.integer(5)));
        if (m.isNull(6))
            add(r, true, where, QStringLiteral("via mancante."));
        if (!m.isNull(7) && m.text(7).size() != 5)
            add(r, false, where, QStringLiteral("C.A.P. formalmente errato (%1).").arg(m.text(7)));
        if (tipo == 1) {
            if (m.isNull(12))
                add(r, true, where, QStringLiteral("codice ISTAT attività economica mancante."));
            else if (!m_attivita.contains(m.text(12)))
                add(r, true, where, QStringLiteral("codice ISTAT attività %1 non presente nella tabella delle "
                                                   "attività.")
                                        .arg(m.text(12)));
        }
    } else {
        if (m.isNull(3))
            add(r, true, where, QStringLiteral("nome o ragione sociale mancante."));
        if (m.integer(8) == 0)
            add(r, true, where, QStringLiteral("paese estero mancante."));
        else if (!m_nazioni.contains(m.integer(8)))
            add(r, true, where, QStringLiteral("paese estero sconosciuto (codice %1).").arg(m.integer(8)));
    }
    if (!m.isNull(9) && !m.text(9).isEmpty() && !m_regCE.contains(m.text(9)))
        add(r, true, where, QStringLiteral("codice regolamento (CE) 1013/2006 %1 errato.").arg(m.text(9)));
    const Currency quantity = m.money(10);
    if (quantity <= Currency())
        add(r, true, where, QStringLiteral("quantità conferita mancante."));
    if (!validUnit(m.integer(11)))
        add(r, true, where, QStringLiteral("unità di misura della quantità conferita errata."));
    else if (tipo == 2 && quantity > Currency())
        checkOperazioni(int(m.integer(0)), where, quantity, int(m.integer(11)), r);
}

void DeclarationCheck::checkOperazioni(int mdcID, const QString &where, Currency quantity, int unit, Result &r)
{
    Statement &o = q->operazioni;
    Currency total;
    int count = 0;
    bool sound = true;
    for (o.exec({mdcID}); o.hasRow(); o.next()) {
        ++count;
        const qint64 pos = o.integer(0);
        const QString code = o.text(1);
        const QChar letter = pos == 1 ? QLatin1Char('R') : QLatin1Char('D');
        const int max = pos == 1 ? 13 : 15;
        bool numberOk = false;
        const int n = code.mid(1).toInt(&numberOk);
        if ((pos != 1 && pos != 2) || !code.startsWith(letter) || !numberOk || n < 1 || n > max
            || code.mid(1) != QString::number(n)) {
            add(r, true, where, QStringLiteral("operazione %1 errata.").arg(code.isEmpty() ? QStringLiteral("senza codice") : code));
            sound = false;
            continue;
        }
        if (o.money(2) <= Currency()) {
            add(r, true, where, QStringLiteral("quantità dell'operazione %1 mancante.").arg(code));
            sound = false;
        }
        if (!validUnit(o.integer(3))) {
            add(r, true, where, QStringLiteral("unità di misura dell'operazione %1 errata.").arg(code));
            sound = false;
            continue;
        }
        total += inKg(o.money(2), o.integer(3));
    }
    if (count == 0) {
        add(r, true, where, QStringLiteral("nessuna operazione di recupero o smaltimento indicata."));
        return;
    }
    const Currency expected = inKg(quantity, unit);
    if (sound && total != expected)
        add(r, true, where, QStringLiteral("la somma delle operazioni di recupero e smaltimento (%1 Kg) non "
                                           "corrisponde alla quantità conferita (%2 Kg).")
                                .arg(amount(total), amount(expected)));
}

QString DeclarationCheck::checkCard(const char *kind, int number, const Statement &s, int codFiscCol, Result &r)
{
    const int nameCol = codFiscCol + 1;
    const QString where = cardWhere(kind, number, s, nameCol);
    checkCodFisc(s.text(codFiscCol), true, where, r);
    if (s.isNull(nameCol))
        add(r, true, where, QStringLiteral("nome o ragione sociale mancante."));
    return where;
}

void DeclarationCheck::checkSbop(int saID, Result &r)
{
    Statement &s = q->sbop;
    int number = 0;
    for (s.exec({saID}); s.hasRow(); s.next()) {
        const QString where = checkCard("SBOP", ++number, s, 0, r);
        bool filled = false;
        bool negative = false;
        for (int c = 2; c < 14; ++c) {
            negative = negative || s.money(c) < Currency();
            filled = filled || (c < 8 && s.money(c) > Currency());
        }
        if (negative)
            add(r, true, where, QStringLiteral("quantità negative."));
        if (!filled)
            add(r, false, where, QStringLiteral("nessuna quantità inserita."));
    }
}

void DeclarationCheck::checkSmat(int saID, Result &r)
{
    Statement &s = q->smat;
    struct Card
    {
        qint64 skmID;
        QString where;
    };
    QList<Card> cards;
    int number = 0;
    for (s.exec({saID}); s.hasRow(); s.next())
        cards.append({s.integer(0), checkCard("SMAT", ++number, s, 1, r)});
    for (const Card &card : cards) {
        Statement &m = q->recMat;
        bool filled = false;
        for (m.exec({card.skmID}); m.hasRow(); m.next()) {
            const qint64 tipo = m.integer(0);
            if (tipo < 101 || tipo > 107)
                add(r, true, card.where, QStringLiteral("materiale sconosciuto (codice %1).").arg(tipo));
            for (int c = 1; c <= 6; ++c) {
                if (m.money(c) < Currency())
                    add(r, true, card.where, QStringLiteral("quantità negativa (materiale %1).").arg(tipo));
                filled = filled || m.money(c) > Currency();
            }
        }
        if (!filled)
            add(r, false, card.where, QStringLiteral("nessuna quantità inserita."));
    }
}

void DeclarationCheck::checkTipi(int saID, bool riuso, Result &r)
{
    Statement &s = riuso ? q->riu : q->tip;
    const QString where = riuso ? QStringLiteral("Scheda SRIU") : QStringLiteral("Scheda STIP");
    const QSet<qint64> &known = m_codici[riuso ? 0 : 1];
    for (s.exec({saID}); s.hasRow(); s.next()) {
        const qint64 tipo = s.integer(0);
        // A database without the list of types cannot judge them.
        if (tipo <= 0 || (!known.isEmpty() && !known.contains(tipo)))
            add(r, true, where, QStringLiteral("tipo di imballaggio sconosciuto (codice %1).").arg(tipo));
        if (s.money(1) < Currency() || s.money(2) < Currency())
            add(r, true, where, QStringLiteral("quantità negativa (tipo %1).").arg(tipo));
    }
}
