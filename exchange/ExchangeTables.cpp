#include "ExchangeTables.h"

#include <QDate>
#include <QStringList>

#include "Statement.h"

namespace ExchangeTables {

namespace {

Table makeOperazione()
{
    Table t{"RecDrCons", "operazione", "rdcID", "mdcID",
            {{"Codice", Kind::Text}, {"Qta", Kind::Money}, {"Umi", Kind::Integer}}, {}};
    t.positionFromCode = true;
    return t;
}

const Table operazione = makeOperazione();

const Table modulo{"ModCons", "modulo", "mdcID", "scID",
                   {{"mdcTipo", Kind::Integer}, {"codFisc", Kind::Text}, {"ragSoc", Kind::Text},
                    {"Privati", Kind::Flag}, {"prvIstat", Kind::Integer}, {"comIstat", Kind::Integer},
                    {"via", Kind::Text}, {"civico", Kind::Text}, {"cap", Kind::Text},
                    {"nazID", Kind::Integer}, {"regCE", Kind::Text}, {"mdcQta", Kind::Money},
                    {"mdcUmi", Kind::Integer}, {"mdcAtt", Kind::Text}, {"mdcSup", Kind::Integer}},
                   {&operazione}};

const Table schedaCONS{"SezCons", "schedaCONS", "scID", "saID",
                       {{"rifCod", Kind::Text}, {"scQta", Kind::Money}, {"scUmi", Kind::Integer},
                        {"ferroQta", Kind::Money}, {"ferroUmi", Kind::Integer},
                        {"vetroQta", Kind::Money}, {"vetroUmi", Kind::Integer},
                        {"alluminioQta", Kind::Money}, {"alluminioUmi", Kind::Integer},
                        {"cartaQta", Kind::Money}, {"cartaUmi", Kind::Integer},
                        {"plasticaQta", Kind::Money}, {"plasticaUmi", Kind::Integer},
                        {"legnoQta", Kind::Money}, {"legnoUmi", Kind::Integer},
                        {"altroQta", Kind::Money}, {"altroUmi", Kind::Integer},
                        {"scAll", Kind::Integer}},
                       {&modulo}};

const Table schedaSBOP{"skSbop", "schedaSBOP", "sksID", "saID",
                       {{"codFisc", Kind::Text}, {"ragSoc", Kind::Text},
                        {"sksBorse", Kind::Money}, {"sks50Micron", Kind::Money},
                        {"sks15Micron", Kind::Money}, {"sksOxodegradabili", Kind::Money},
                        {"sksBiodegradabili", Kind::Money}, {"sksAltre", Kind::Money},
                        {"pmBorse", Kind::Money}, {"pm50Micron", Kind::Money},
                        {"pm15Micron", Kind::Money}, {"pmOxodegradabili", Kind::Money},
                        {"pmBiodegradabili", Kind::Money}, {"pmAltre", Kind::Money}},
                       {}};

const Table materiale{"RecMat", "materiale", "rkmID", "skmID",
                      {{"skmTipo", Kind::Integer}, {"qtaProdVuoti", Kind::Money},
                       {"qtaProdPieni", Kind::Money}, {"qtaImpVuoti", Kind::Money},
                       {"qtaImpPieni", Kind::Money}, {"qtaEspVuoti", Kind::Money},
                       {"qtaEspPieni", Kind::Money}},
                      {}};

const Table schedaSMAT{"skMat", "schedaSMAT", "skmID", "saID",
                       {{"codFisc", Kind::Text}, {"ragSoc", Kind::Text}}, {&materiale}};

const Table riutilizzo{"RecRiu", "riutilizzo", "riuID", "saID",
                       {{"riuTipo", Kind::Integer}, {"qtaAlimentare", Kind::Money},
                        {"qtaAltriUsi", Kind::Money}},
                       {}};

const Table tipologia{"RecTip", "tipologia", "tipID", "saID",
                      {{"tipTipo", Kind::Integer}, {"qtaPrimari", Kind::Money},
                       {"qtaSecondari", Kind::Money}},
                      {}};

// ExpID and saExp are the export's own marks: they stay in the database
// that made the file.
const Table sezAnag{"SezAnag", "dichiarazione", "saID", "saID",
                    {{"saAnno", Kind::Integer}, {"codFisc", Kind::Text}, {"ragSoc", Kind::Text},
                     {"REA", Kind::Integer}, {"prvIstat", Kind::Integer}, {"comIstat", Kind::Integer},
                     {"via", Kind::Text}, {"civico", Kind::Text}, {"cap", Kind::Text},
                     {"prefTel", Kind::Text}, {"telefono", Kind::Text}, {"attIstat", Kind::Text},
                     {"Addetti", Kind::Integer}, {"Mesi", Kind::Integer},
                     {"slPrvIstat", Kind::Integer}, {"slComIstat", Kind::Integer},
                     {"slVia", Kind::Text}, {"slCivico", Kind::Text}, {"slCAP", Kind::Text},
                     {"slPrefTel", Kind::Text}, {"slTelefono", Kind::Text},
                     {"saCognome", Kind::Text}, {"saNome", Kind::Text},
                     {"saDataComp", Kind::Date}, {"saAnnulla", Kind::Flag},
                     {"saDataPrec", Kind::Date}},
                    {&schedaCONS, &schedaSBOP, &schedaSMAT, &riutilizzo, &tipologia}};

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
    switch (kind) {
    case Kind::Text:
        text = row.text(column);
        return true;
    case Kind::Integer:
        text = QString::number(row.integer(column));
        return true;
    case Kind::Flag:
        text = row.integer(column) != 0 ? QStringLiteral("true") : QStringLiteral("false");
        return true;
    case Kind::Money:
        text = row.money(column).toString();
        return true;
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

} // namespace ExchangeTables
