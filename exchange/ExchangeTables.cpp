#include "ExchangeTables.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

#include "Statement.h"

namespace ExchangeTables {

namespace {

// The schema's value types, as the verification applies them.
constexpr qint64 Units = 10000;   // ten-thousandths in one
Format testo(int length) { return {length, nullptr, 0, -1, -1, false}; }
Format forma(const char *pattern, bool required = false) { return {0, pattern, 0, -1, -1, required}; }
Format intero(qint64 min, qint64 max, bool required = false) { return {0, nullptr, min, max, -1, required}; }
Format quantita(qint64 max, int decimals) { return {0, nullptr, 0, max, decimals, false}; }
Format needed(Format f)
{
    f.required = true;
    return f;
}

const Format codiceFiscale = forma("[0-9]{11}|[A-Z0-9]{16}");
const Format codiceSoggetto = forma("[A-Z0-9]{1,16}");
const Format unita = intero(1, 2);
const Format intero3 = intero(0, 999);
const Format intero9 = intero(0, 999999999);
const Format quantita7e3 = quantita(9999999999LL * Units / 1000, 3);
const Format quantita7e1 = quantita(99999999LL * Units / 10, 1);
const Format quantita9 = quantita(999999999LL * Units, 0);
const Format quantita3e3 = quantita(999999LL * Units / 1000, 3);

Table makeOperazione()
{
    Table t{"RecDrCons", "operazione", "rdcID", "mdcID",
            {{"Codice", Kind::Text, "codice dell'operazione",
              forma("R([1-9]|1[0-3])|D([1-9]|1[0-5])", true)},
             {"Qta", Kind::Money, "quantità dell'operazione", needed(quantita7e3)},
             {"Umi", Kind::Integer, "unità di misura dell'operazione", intero(1, 2, true)}},
            {}};
    t.positionFromCode = true;
    return t;
}

const Table operazione = makeOperazione();

const Table modulo{"ModCons", "modulo", "mdcID", "scID",
                   {{"mdcTipo", Kind::Integer, "tipo di modulo", intero(1, 2, true)},
                    {"codFisc", Kind::Text, "codice fiscale", codiceSoggetto},
                    {"ragSoc", Kind::Text, "nome o ragione sociale", testo(60)},
                    {"Privati", Kind::Flag, "privati"},
                    {"prvIstat", Kind::Integer, "codice ISTAT della provincia", intero3},
                    {"comIstat", Kind::Integer, "codice ISTAT del comune", intero3},
                    {"via", Kind::Text, "via", testo(30)},
                    {"civico", Kind::Text, "numero civico", testo(6)},
                    {"cap", Kind::Text, "C.A.P.", testo(5)},
                    {"nazID", Kind::Integer, "codice del paese estero", intero3},
                    {"regCE", Kind::Text, "codice regolamento (CE)", testo(6)},
                    {"mdcQta", Kind::Money, "quantità conferita", quantita7e3},
                    {"mdcUmi", Kind::Integer, "unità di misura della quantità conferita", unita},
                    {"mdcAtt", Kind::Text, "codice ISTAT attività", testo(6)},
                    {"mdcSup", Kind::Integer, "pubblica o privata", intero(0, 2)}},
                   {&operazione}};

const Table schedaCONS{"SezCons", "schedaCONS", "scID", "saID",
                       {{"rifCod", Kind::Text, "codice rifiuto", forma("[0-9]{6}", true)},
                        {"scQta", Kind::Money, "quantità raccolta", quantita7e3},
                        {"scUmi", Kind::Integer, "unità di misura della quantità raccolta", unita},
                        {"ferroQta", Kind::Money, "quantità di rottami ferro e acciaio", quantita7e3},
                        {"ferroUmi", Kind::Integer, "unità di misura: rottami ferro e acciaio", unita},
                        {"vetroQta", Kind::Money, "quantità di rottami in vetro", quantita7e3},
                        {"vetroUmi", Kind::Integer, "unità di misura: rottami in vetro", unita},
                        {"alluminioQta", Kind::Money, "quantità di rottami in alluminio", quantita7e3},
                        {"alluminioUmi", Kind::Integer, "unità di misura: rottami in alluminio", unita},
                        {"cartaQta", Kind::Money, "quantità di carta e cartone", quantita7e3},
                        {"cartaUmi", Kind::Integer, "unità di misura: carta e cartone", unita},
                        {"plasticaQta", Kind::Money, "quantità di plastica", quantita7e3},
                        {"plasticaUmi", Kind::Integer, "unità di misura: plastica", unita},
                        {"legnoQta", Kind::Money, "quantità di legno", quantita7e3},
                        {"legnoUmi", Kind::Integer, "unità di misura: legno", unita},
                        {"altroQta", Kind::Money, "quantità di altro", quantita7e3},
                        {"altroUmi", Kind::Integer, "unità di misura: altro", unita},
                        {"scAll", Kind::Integer, "indicazione dell'alluminio", intero(0, 1)}},
                       {&modulo}};

const Table schedaSBOP{"skSbop", "schedaSBOP", "sksID", "saID",
                       {{"codFisc", Kind::Text, "codice fiscale", codiceFiscale},
                        {"ragSoc", Kind::Text, "nome o ragione sociale", testo(60)},
                        {"sksBorse", Kind::Money, "borse", quantita9},
                        {"sks50Micron", Kind::Money, "borse oltre 50 micron", quantita9},
                        {"sks15Micron", Kind::Money, "borse oltre 15 micron", quantita9},
                        {"sksOxodegradabili", Kind::Money, "borse oxodegradabili", quantita9},
                        {"sksBiodegradabili", Kind::Money, "borse biodegradabili", quantita9},
                        {"sksAltre", Kind::Money, "altre borse", quantita9},
                        {"pmBorse", Kind::Money, "peso medio delle borse", quantita3e3},
                        {"pm50Micron", Kind::Money, "peso medio delle borse oltre 50 micron", quantita3e3},
                        {"pm15Micron", Kind::Money, "peso medio delle borse oltre 15 micron", quantita3e3},
                        {"pmOxodegradabili", Kind::Money, "peso medio delle borse oxodegradabili", quantita3e3},
                        {"pmBiodegradabili", Kind::Money, "peso medio delle borse biodegradabili", quantita3e3},
                        {"pmAltre", Kind::Money, "peso medio delle altre borse", quantita3e3}},
                       {}};

const Table materiale{"RecMat", "materiale", "rkmID", "skmID",
                      {{"skmTipo", Kind::Integer, "materiale", intero(101, 107, true)},
                       {"qtaProdVuoti", Kind::Money, "imballaggi vuoti prodotti", quantita7e1},
                       {"qtaProdPieni", Kind::Money, "imballaggi pieni prodotti", quantita7e1},
                       {"qtaImpVuoti", Kind::Money, "imballaggi vuoti importati", quantita7e1},
                       {"qtaImpPieni", Kind::Money, "imballaggi pieni importati", quantita7e1},
                       {"qtaEspVuoti", Kind::Money, "imballaggi vuoti esportati", quantita7e1},
                       {"qtaEspPieni", Kind::Money, "imballaggi pieni esportati", quantita7e1}},
                      {}};

const Table schedaSMAT{"skMat", "schedaSMAT", "skmID", "saID",
                       {{"codFisc", Kind::Text, "codice fiscale", codiceFiscale},
                        {"ragSoc", Kind::Text, "nome o ragione sociale", testo(60)}},
                       {&materiale}};

const Table riutilizzo{"RecRiu", "riutilizzo", "riuID", "saID",
                       {{"riuTipo", Kind::Integer, "tipo di imballaggio", intero(0, 999999999, true)},
                        {"qtaAlimentare", Kind::Money, "quantità per uso alimentare", quantita7e1},
                        {"qtaAltriUsi", Kind::Money, "quantità per altri usi", quantita7e1}},
                       {}};

const Table tipologia{"RecTip", "tipologia", "tipID", "saID",
                      {{"tipTipo", Kind::Integer, "tipo di imballaggio", intero(0, 999999999, true)},
                       {"qtaPrimari", Kind::Money, "imballaggi primari", quantita7e1},
                       {"qtaSecondari", Kind::Money, "imballaggi secondari", quantita7e1}},
                      {}};

// ExpID and saExp are the export's own marks: they stay in the database
// that made the file.
const Table sezAnag{"SezAnag", "dichiarazione", "saID", "saID",
                    {{"saAnno", Kind::Integer, "anno della dichiarazione", intero(2000, 2099, true)},
                     {"codFisc", Kind::Text, "codice fiscale", forma("[0-9]{11}|[A-Z0-9]{16}", true)},
                     {"ragSoc", Kind::Text, "nome o ragione sociale", testo(60)},
                     {"REA", Kind::Integer, "numero REA", intero9},
                     {"prvIstat", Kind::Integer, "codice ISTAT della provincia dell'unità locale", intero3},
                     {"comIstat", Kind::Integer, "codice ISTAT del comune dell'unità locale", intero3},
                     {"via", Kind::Text, "via dell'unità locale", testo(30)},
                     {"civico", Kind::Text, "numero civico dell'unità locale", testo(6)},
                     {"cap", Kind::Text, "C.A.P. dell'unità locale", testo(5)},
                     {"prefTel", Kind::Text, "prefisso telefonico dell'unità locale", testo(5)},
                     {"telefono", Kind::Text, "telefono dell'unità locale", testo(10)},
                     {"attIstat", Kind::Text, "codice ISTAT attività", testo(6)},
                     {"Addetti", Kind::Integer, "numero addetti", intero9},
                     {"Mesi", Kind::Integer, "mesi di attività", intero3},
                     {"slPrvIstat", Kind::Integer, "codice ISTAT della provincia della sede legale", intero3},
                     {"slComIstat", Kind::Integer, "codice ISTAT del comune della sede legale", intero3},
                     {"slVia", Kind::Text, "via della sede legale", testo(30)},
                     {"slCivico", Kind::Text, "numero civico della sede legale", testo(6)},
                     {"slCAP", Kind::Text, "C.A.P. della sede legale", testo(5)},
                     {"slPrefTel", Kind::Text, "prefisso telefonico della sede legale", testo(5)},
                     {"slTelefono", Kind::Text, "telefono della sede legale", testo(10)},
                     {"saCognome", Kind::Text, "cognome del rappresentante legale", testo(25)},
                     {"saNome", Kind::Text, "nome del rappresentante legale", testo(25)},
                     {"saDataComp", Kind::Date, "data di compilazione"},
                     {"saAnnulla", Kind::Flag, "annullamento"},
                     {"saDataPrec", Kind::Date, "data della precedente dichiarazione"}},
                    {&schedaCONS, &schedaSBOP, &schedaSMAT, &riutilizzo, &tipologia}};

QString number(qint64 raw, Kind kind)
{
    const QString text = kind == Kind::Money ? Currency::fromRaw(raw).toString() : QString::number(raw);
    return QString(text).replace(QLatin1Char('.'), QLatin1Char(','));
}

// Why a text that is no value of the field's kind cannot go in the file,
// the text named as it stands: a real beyond the range or too precise for
// an amount is still told by its size.
QString notOfKind(const Field &field, const QString &text, bool &domain)
{
    const Format &f = field.format;
    const QString label = QString::fromUtf8(field.label);
    domain = false;
    switch (field.kind) {
    case Kind::Integer:
        return QStringLiteral("%1 \"%2\" non è un numero intero.").arg(label, text);
    case Kind::Flag:
        return QStringLiteral("%1 \"%2\" non è né sì né no.").arg(label, text);
    default:
        break;
    }
    bool isNumber = false;
    const double d = text.trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(d))
        return QStringLiteral("%1 \"%2\" non è un numero.").arg(label, text);
    if (f.max >= f.min && d < double(f.min) / double(Units)) {
        domain = true;
        return QStringLiteral("%1 \"%2\" fuori dai valori che il file ammette (da %3 a %4).")
            .arg(label, text, number(f.min, Kind::Money), number(f.max, Kind::Money));
    }
    if (f.max >= f.min && d > double(f.max) / double(Units))
        return QStringLiteral("%1 \"%2\" oltre il massimo di %3 che il file ammette.")
            .arg(label, text, number(f.max, Kind::Money));
    return QStringLiteral("%1 \"%2\": il file ammette al massimo %3 decimali.")
        .arg(label, text)
        .arg(f.decimals >= 0 ? f.decimals : 4);
}

// XML 1.0 carries every character but most controls and two non-characters.
bool carried(char32_t c)
{
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c < 0xFFFE) || (c > 0xFFFF && c <= 0x10FFFF);
}
QStringList columns(const Table &table)
{
    QStringList names;
    for (const Field &f : table.fields)
        names << QLatin1String(f.column);
    return names;
}
}

const Table &dichiarazione()
{
    return sezAnag;
}

QString selectSql(const Table &table)
{
    return QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 = ? ORDER BY %1")
        .arg(QLatin1String(table.key), columns(table).join(QStringLiteral(", ")),
             QLatin1String(table.name), QLatin1String(table.parentKey));
}

QString insertSql(const Table &table)
{
    QStringList names = columns(table);
    if (table.positionFromCode)
        names << QStringLiteral("Posizione");
    // The declaration has no parent: its first value is its year.
    const bool child = &table != &sezAnag;
    if (child)
        names.prepend(QLatin1String(table.parentKey));
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(QLatin1String(table.name), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

bool toXml(const Statement &row, int column, Kind kind, QString &text)
{
    if (row.isNull(column))
        return false;
    // A value that is not what its kind says goes out as the file holds
    // it, never as another number: the file's own check then refuses it.
    bool ok = true;
    switch (kind) {
    case Kind::Text:
        text = row.text(column);
        return true;
    case Kind::Integer: {
        const qint64 n = row.integer(column, &ok);
        text = ok ? QString::number(n) : row.text(column);
        return true;
    }
    case Kind::Flag: {
        const qint64 n = row.integer(column, &ok);
        text = !ok ? row.text(column) : n != 0 ? QStringLiteral("true") : QStringLiteral("false");
        return true;
    }
    case Kind::Money: {
        const Currency amount = row.money(column, &ok);
        text = ok ? amount.toString() : row.text(column);
        return true;
    }
    case Kind::Date: {
        // Dates are stored as text; a date entered with its time keeps its day.
        const QDate day = QDate::fromString(row.text(column).left(10), Qt::ISODate);
        if (!day.isValid())
            return false;
        text = day.toString(Qt::ISODate);
        return true;
    }
    }
    return false;
}

QVariant fromXml(const QString &raw, Kind kind)
{
    const QString text = kind == Kind::Text ? raw : raw.trimmed();
    switch (kind) {
    case Kind::Text:
        return text;
    case Kind::Integer:
        return text.toLongLong();
    case Kind::Flag:
        return QVariant(text == QLatin1String("true") || text == QLatin1String("1"));
    case Kind::Money: {
        // The schema's decimal also allows "+1", ".5" and "1.".
        QString number = text.startsWith(QLatin1Char('+')) ? text.mid(1) : text;
        if (number.startsWith(QLatin1Char('.')))
            number.prepend(QLatin1Char('0'));
        if (number.endsWith(QLatin1Char('.')))
            number.chop(1);
        return Currency::fromString(number).toVariant();
    }
    case Kind::Date:
        return QDate::fromString(text, Qt::ISODate).toString(Qt::ISODate);
    }
    return QVariant();
}

QString formatError(const Field &field, const QString &text, bool &domain)
{
    domain = false;
    bool ok = true;
    qint64 number = 0;
    const QString trimmed = text.trimmed();
    switch (field.kind) {
    case Kind::Integer:
        number = trimmed.toLongLong(&ok);
        break;
    case Kind::Money:
        number = Currency::fromString(trimmed, &ok).raw();
        break;
    case Kind::Flag:
        ok = QStringList{"true", "false", "1", "0"}.contains(trimmed);
        break;
    case Kind::Text:
    case Kind::Date:
        break;
    }
    return ok ? formatError(field, text, number, domain) : notOfKind(field, text, domain);
}

QString formatError(const Field &field, const QString &text, qint64 number, bool &domain)
{
    const Format &f = field.format;
    domain = false;
    switch (field.kind) {
    case Kind::Text: {
        // Characters as the schema counts them: a pair of surrogates is one.
        int chars = 0;
        for (auto it = text.cbegin(); it != text.cend(); ++it, ++chars) {
            char32_t c = it->unicode();
            if (it->isHighSurrogate() && it + 1 != text.cend() && (it + 1)->isLowSurrogate()) {
                c = QChar::surrogateToUcs4(*it, *(it + 1));
                ++it;
            }
            if (!carried(c))
                return QStringLiteral("%1 con un carattere che il file non può contenere (codice %2).")
                    .arg(QString::fromUtf8(field.label))
                    .arg(uint(c), 4, 16, QLatin1Char('0'));
        }
        if (f.maxLength > 0 && chars > f.maxLength)
            return QStringLiteral("%1 di %2 caratteri, oltre i %3 che il file ammette.")
                .arg(QString::fromUtf8(field.label))
                .arg(chars)
                .arg(f.maxLength);
        if (f.pattern) {
            static QHash<const char *, QRegularExpression> forms;
            auto it = forms.find(f.pattern);
            if (it == forms.end())
                it = forms.insert(f.pattern, QRegularExpression(QRegularExpression::anchoredPattern(
                                                 QLatin1String(f.pattern))));
            if (!it->match(text).hasMatch()) {
                domain = true;
                return QStringLiteral("%1 \"%2\" non nella forma che il file ammette.")
                    .arg(QString::fromUtf8(field.label), text);
            }
        }
        return QString();
    }
    case Kind::Integer:
    case Kind::Money: {
        const bool money = field.kind == Kind::Money;
        const QString label = QString::fromUtf8(field.label);
        if (f.max >= f.min && (number < f.min || number > f.max)) {
            domain = !money || number < f.min;
            if (money && number > f.max)
                return QStringLiteral("%1 %2 oltre il massimo di %3 che il file ammette.")
                    .arg(label, ExchangeTables::number(number, field.kind), ExchangeTables::number(f.max, field.kind));
            return QStringLiteral("%1 %2 fuori dai valori che il file ammette (da %3 a %4).")
                .arg(label, ExchangeTables::number(number, field.kind), ExchangeTables::number(f.min, field.kind),
                     ExchangeTables::number(f.max, field.kind));
        }
        qint64 step = 1;
        for (int d = f.decimals; d >= 0 && d < 4; ++d)
            step *= 10;
        if (money && f.decimals >= 0 && number % step != 0)
            return QStringLiteral("%1 %2: il file ammette al massimo %3 decimali.")
                .arg(label, ExchangeTables::number(number, field.kind))
                .arg(f.decimals);
        return QString();
    }
    case Kind::Date:
    case Kind::Flag:
        return QString();
    }
    return QString();
}

} // namespace ExchangeTables
