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

// tipo: the module's kind as stored (mdcTipo's text).
QString moduleWhere(const QString &sheet, const QString &tipo, int number, const QString &name)
{
    const QString kind = tipo == QLatin1String("1") ? QStringLiteral("UO-CONS")
        : tipo == QLatin1String("2")                ? QStringLiteral("DR-CONS")
                                                    : QStringLiteral("di tipo %1").arg(tipo);
    QString where = QStringLiteral("%1, modulo %2 n. %3").arg(sheet, kind).arg(number);
    if (!name.isEmpty())
        where += QStringLiteral(" (%1)").arg(name);
    return where;
}

// Modules are numbered by kind, in the order they were entered.
int moduleNumber(int numbers[3], const QString &tipo)
{
    const int kind = tipo == QLatin1String("1") ? 1 : tipo == QLatin1String("2") ? 2 : 0;
    return ++numbers[kind];
}

// An amount the sheets' rules judge: missing (0) or below zero.
QString quantityFault(Currency value, const QString &what)
{
    if (value == Currency())
        return QStringLiteral("%1 mancante.").arg(what);
    if (value < Currency())
        return QStringLiteral("%1 negativa (%2).").arg(what, amount(value));
    return QString();
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
    m_failed = false;
    checkSezAnag(saID, r);
    if (r.found) {
        checkCons(saID, r);
        checkSbop(saID, r);
        checkSmat(saID, r);
        checkTipi(saID, true, r);
        checkTipi(saID, false, r);
        checkFormat(ExchangeTables::dichiarazione(), saID, QString(), r);
    }
    r.failed = m_failed;
    return r;
}

bool DeclarationCheck::read(const Statement &s)
{
    // After its rows a query holds no error: one that holds one stopped
    // before them, and what it did not read is no absence.
    m_failed = m_failed || !s.isValid() || !s.error().isEmpty();
    return !m_failed;
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
            where = moduleWhere(parentWhere, s.text(1), moduleNumber(numbers, s.text(1)), s.text(3));
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
            if (field.kind == Kind::Date)
                continue;
            if (!s.isNull(column)) {
                // A value that is none of its kind is named as stored.
                bool ofKind = true;
                const qint64 number = field.kind == Kind::Money ? s.money(column, &ofKind).raw()
                    : field.kind == Kind::Text                  ? 0
                                                                : s.integer(column, &ofKind);
                reason = ofKind ? ExchangeTables::formatError(field, field.kind == Kind::Text ? s.text(column)
                                                                                             : QString(),
                                                              number, domain)
                                : ExchangeTables::formatError(field, s.text(column), domain);
            } else if (field.format.required) {
                reason = QStringLiteral("%1 mancante.").arg(QString::fromUtf8(field.label));
            }
            // What the sheet's own rules found wrong is said once.
            if (!reason.isEmpty() && !(domain && flagged))
                add(r, true, where, reason);
        }
        for (const Table *child : table.children)
            checkFormat(*child, s.integer(0), where, r);
    }
    read(s);
}

void DeclarationCheck::checkSezAnag(int saID, Result &r)
{
    Statement &s = q->sezAnag;
    if (!s.exec({saID}) || !s.hasRow()) {
        read(s);
        return;
    }
    r.found = true;
    const QString where = QStringLiteral("Scheda SA1");
    r.codFisc = s.text(0);
    r.ragSoc = s.text(1);
    // A number that is none of its kind is left to the check of the
    // file's limits, which names it as stored: no rule judges it here.
    bool ok[20] = {};
    qint64 n[20] = {};
    for (int c : {2, 3, 8, 9, 10, 11, 17, 19})
        n[c] = s.integer(c, &ok[c]);
    const QString place = ok[2] && ok[3] ? comune(n[2], n[3]) : QString();
    r.unitaLocale = (s.text(4) + QLatin1Char(' ') + s.text(5)).trimmed();
    if (!place.isEmpty())
        r.unitaLocale += QStringLiteral(" - ") + place;

    checkCodFisc(r.codFisc, true, where, r);
    if (s.isNull(1))
        add(r, true, where, QStringLiteral("nome o ragione sociale mancante."));
    auto checkPlace = [&](int prvCol, const QString &what) {
        if (!ok[prvCol] || !ok[prvCol + 1])
            return;
        if (n[prvCol] == 0 || n[prvCol + 1] == 0)
            add(r, true, where, QStringLiteral("comune %1 mancante.").arg(what));
        else if (comune(n[prvCol], n[prvCol + 1]).isEmpty())
            add(r, true, where, QStringLiteral("comune %1 sconosciuto (codici ISTAT %2 e %3).")
                                    .arg(what)
                                    .arg(n[prvCol])
                                    .arg(n[prvCol + 1]));
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
    if (ok[8] && n[8] <= 0)
        add(r, true, where, QStringLiteral("numero addetti mancante."));
    else if (ok[8] && n[8] > 99)
        add(r, false, where, QStringLiteral("numero addetti %1: verificare.").arg(n[8]));
    if (ok[9] && (n[9] < 1 || n[9] > 12))
        add(r, true, where, QStringLiteral("mesi di attività errati (%1).").arg(n[9]));
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
    else if (ok[19] && n[19] != anno)
        add(r, true, where, QStringLiteral("dichiarazione dell'anno %1, non dell'anno %2 di questo archivio.")
                                .arg(n[19])
                                .arg(anno));
    const QDate comp = QDate::fromString(s.text(16).left(10), Qt::ISODate);
    const int year = modMain::gKez ? modMain::gKez->AnnoElaborazione() : 2022;
    if (!comp.isValid())
        add(r, true, where, QStringLiteral("data di compilazione mancante."));
    else if (comp.year() != year)
        add(r, false, where, QStringLiteral("data della dichiarazione %1 fuori dall'anno %2: verificare.")
                                 .arg(dateText(comp))
                                 .arg(year));
    if (ok[17] && n[17] != 0) {
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
    read(any);
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
        // Values that are none of their kind are named by the file's check.
        bool ok = false;
        const QString total = quantityFault(s.money(2, &ok), QStringLiteral("quantità complessivamente raccolta"));
        if (ok && !total.isEmpty())
            add(own, true, where, total);
        if (!validUnit(s.integer(3, &ok)) && ok)
            add(own, true, where, QStringLiteral("unità di misura della quantità raccolta errata."));
        for (int m = 0; m < 7; ++m) {
            if (s.money(4 + 2 * m) < Currency())
                add(own, true, where, QStringLiteral("quantità negativa: %1.").arg(QLatin1String(materialCaptions[m])));
            if (!validUnit(s.integer(5 + 2 * m, &ok)) && ok)
                add(own, true, where, QStringLiteral("unità di misura errata: %1.").arg(QLatin1String(materialCaptions[m])));
        }
    }
    if (!read(s))
        return;
    for (const Sheet &sheet : sheets) {
        r.findings += sheet.own.findings;
        Statement &m = q->moduli;
        int numbers[3] = {0, 0, 0};
        for (m.exec({sheet.scID}); m.hasRow(); m.next())
            checkModulo(sheet.where, moduleNumber(numbers, m.text(1)), r);
        read(m);
    }
}

void DeclarationCheck::checkModulo(const QString &sheet, int number, Result &r)
{
    Statement &m = q->moduli;
    const QString where = moduleWhere(sheet, m.text(1), number, m.text(3));
    bool ok[13] = {};
    qint64 n[13] = {};
    for (int c : {1, 4, 5, 8, 11})
        n[c] = m.integer(c, &ok[c]);
    const qint64 tipo = n[1];
    if (!ok[1])
        return;
    if (tipo != 1 && tipo != 2) {
        add(r, true, where, QStringLiteral("tipo di modulo sconosciuto."));
        return;
    }
    // A municipality that is no number is still an Italian subject's.
    const bool italian = !ok[5] || n[5] != 0;
    if (italian) {
        checkCodFisc(m.text(2), true, where, r);
        if (m.isNull(3))
            add(r, true, where, QStringLiteral("nome o ragione sociale mancante."));
        if (ok[4] && ok[5] && comune(n[4], n[5]).isEmpty())
            add(r, true, where, QStringLiteral("comune sconosciuto (codici ISTAT %1 e %2).").arg(n[4]).arg(n[5]));
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
        if (ok[8] && n[8] == 0)
            add(r, true, where, QStringLiteral("paese estero mancante."));
        else if (ok[8] && !m_nazioni.contains(n[8]))
            add(r, true, where, QStringLiteral("paese estero sconosciuto (codice %1).").arg(n[8]));
    }
    if (!m.isNull(9) && !m.text(9).isEmpty() && !m_regCE.contains(m.text(9)))
        add(r, true, where, QStringLiteral("codice regolamento (CE) 1013/2006 %1 errato.").arg(m.text(9)));
    bool quantityOk = false;
    const Currency quantity = m.money(10, &quantityOk);
    const QString fault = quantityFault(quantity, QStringLiteral("quantità conferita"));
    if (quantityOk && !fault.isEmpty())
        add(r, true, where, fault);
    if (ok[11] && !validUnit(n[11]))
        add(r, true, where, QStringLiteral("unità di misura della quantità conferita errata."));
    else if (tipo == 2 && ok[11] && quantityOk && quantity > Currency())
        checkOperazioni(int(m.integer(0)), where, quantity, int(n[11]), r);
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
        // A quantity or unit that is none of its kind cannot be added up;
        // the file's check names it.
        bool qtaOk = false;
        bool umiOk = false;
        const Currency qta = o.money(2, &qtaOk);
        const qint64 umi = o.integer(3, &umiOk);
        const QString fault = quantityFault(qta, QStringLiteral("quantità dell'operazione %1").arg(code));
        if (qtaOk && !fault.isEmpty())
            add(r, true, where, fault);
        if (umiOk && !validUnit(umi))
            add(r, true, where, QStringLiteral("unità di misura dell'operazione %1 errata.").arg(code));
        if (!qtaOk || !umiOk || !fault.isEmpty() || !validUnit(umi)) {
            sound = false;
            continue;
        }
        total += inKg(qta, umi);
    }
    if (!read(o))
        return;
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
            // Something that is no amount was still entered.
            bool ok = false;
            const Currency value = s.money(c, &ok);
            negative = negative || value < Currency();
            filled = filled || (c < 8 && (!ok || value > Currency()));
        }
        if (negative)
            add(r, true, where, QStringLiteral("quantità negative."));
        if (!filled)
            add(r, false, where, QStringLiteral("nessuna quantità inserita."));
    }
    read(s);
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
    if (!read(s))
        return;
    for (const Card &card : cards) {
        Statement &m = q->recMat;
        bool filled = false;
        for (m.exec({card.skmID}); m.hasRow(); m.next()) {
            bool known = false;
            const qint64 tipo = m.integer(0, &known);
            if (known && (tipo < 101 || tipo > 107))
                add(r, true, card.where, QStringLiteral("materiale sconosciuto (codice %1).").arg(tipo));
            for (int c = 1; c <= 6; ++c) {
                bool ok = false;
                const Currency value = m.money(c, &ok);
                if (value < Currency())
                    add(r, true, card.where, QStringLiteral("quantità negativa (materiale %1).").arg(m.text(0)));
                filled = filled || !ok || value > Currency();
            }
        }
        if (!read(m))
            return;
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
        bool ok = false;
        const qint64 tipo = s.integer(0, &ok);
        // A database without the list of types cannot judge them.
        if (ok && (tipo <= 0 || (!known.isEmpty() && !known.contains(tipo))))
            add(r, true, where, QStringLiteral("tipo di imballaggio sconosciuto (codice %1).").arg(tipo));
        if (s.money(1) < Currency() || s.money(2) < Currency())
            add(r, true, where, QStringLiteral("quantità negativa (tipo %1).").arg(s.text(0)));
    }
    read(s);
}
