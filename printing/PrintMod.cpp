#include "PrintMod.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>

#include "Currency.h"
#include "ItalianFormat.h"
#include "PdfPages.h"
#include "Recordset.h"
#include "dbClass.h"
#include "kezClass.h"
#include "modFunz.h"
#include "modMain.h"

using modFunz::nzStr;
using modMain::gDb;
using modMain::gKez;
using Field = PdfPages::Field;
using Column = PdfPages::Column;

namespace {

constexpr auto Right = Qt::AlignRight;

// Quantities with the decimals their screens show, and any further one
// stored (an amount keeps four), so that nothing is rounded away.
const QString ConTre = QStringLiteral("#,##0.000#");      // consortia sheets and modules
const QString ConUno = QStringLiteral("#,##0.0###");      // packaging grids
const QString Intere = QStringLiteral("#,##0.####");      // plastic bag tonnes

// A value that is no number of its kind (the data layer gives it as the
// text it is stored as) is printed as it stands, never as another number.
bool comeScritto(const QVariant &v)
{
    return v.typeId() == QMetaType::QString;
}

QString qta(const QVariant &v, const QString &pattern = ConTre)
{
    if (comeScritto(v))
        return v.toString();
    return ItalianFormat::formatNumber(v.isNull() ? QVariant(0) : v, pattern);
}

// The widest quantity a field of so many whole digits shows.
QString cifre(int intere, const QString &pattern = ConTre)
{
    qint64 massimo = 1;
    for (int i = 0; i < intere; ++i)
        massimo *= 10;
    return qta(QVariant::fromValue(Currency::fromRaw(massimo * Currency::Scale - 1)), pattern);
}

// A unit stored as a text or a fraction is printed as it stands.
QString umi(const QVariant &v)
{
    if (comeScritto(v))
        return v.toString();
    return v.toInt() == 2 ? QStringLiteral("t") : QStringLiteral("Kg");
}

// A subject with a municipality is Italian; one that is no number is too.
bool italiano(const QVariant &comIstat)
{
    return comeScritto(comIstat) || comIstat.toLongLong() != 0;
}

// "table.a, table.b, ...": the columns a print reads, named, so that an
// archive without one of them stops the print instead of printing nothing.
QString colonneDi(const char *table, std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list << QLatin1String(table) + QLatin1Char('.') + QLatin1String(name);
    return list.join(QStringLiteral(", "));
}

QString qtaUmi(const Recordset &rs, const QString &qtaField, const QString &umiField)
{
    return qta(rs.value(qtaField)) + QLatin1Char(' ') + umi(rs.value(umiField));
}

// A quantity of seven whole digits with its unit.
QString qtaUmiMax()
{
    return cifre(7) + QStringLiteral(" Kg");
}

// The widest codes of so many characters: codice fiscale, province and
// regulation codes take capitals and digits; the others digits.
QString codice(const PdfPages &doc, int length)
{
    return doc.widest(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"), length);
}

QString numero(const PdfPages &doc, int length)
{
    return doc.widest(QStringLiteral("0123456789"), length);
}

QString data(const QVariant &v)
{
    return ItalianFormat::formatDate(v.toDate(), QStringLiteral("dd/mm/yyyy"));
}

QString siNo(bool yes)
{
    return yes ? QStringLiteral("Sì") : QStringLiteral("No");
}

// A yes/no or a mark (0 no, any other number yes); one that is neither is
// printed as it is stored.
QString siNo(const QVariant &v)
{
    return comeScritto(v) ? v.toString() : siNo(v.toBool());
}

QString attivita(const QVariant &v)
{
    const QString code = nzStr(v);
    return code.isEmpty() ? code : ItalianFormat::formatText(code, QStringLiteral("!@@.@@.@@"));
}

QString attivitaMax(const PdfPages &doc)
{
    return attivita(numero(doc, 6));
}

QString dataMax(const PdfPages &doc)
{
    return numero(doc, 2) + QLatin1Char('/') + numero(doc, 2) + QLatin1Char('/') + numero(doc, 4);
}

QString telefonoMax(const PdfPages &doc)
{
    return numero(doc, 5) + QLatin1Char(' ') + numero(doc, 10);
}

// The reads of one print. The first that fails has been shown by the data
// layer with the connection's own error; nothing more is read and the print
// stops: it never goes on as if a table it could not read were empty.
class Letture
{
public:
    std::unique_ptr<Recordset> operator()(const QString &sql, const QVariantList &params)
    {
        if (m_fallita)
            return std::make_unique<Recordset>();
        auto rs = gDb->kezRs(sql, params);
        m_fallita = !rs->isOpen();
        return rs;
    }
    bool fallita() const { return m_fallita; }

private:
    bool m_fallita = false;
};

bool haRighe(Letture &leggi, const QString &sql, int saID)
{
    auto rs = leggi(sql, {saID});
    return rs->isOpen() && !rs->eof();
}

// Municipality and province abbreviation of an ISTAT pair, joined in every
// query that prints an address.
QString joinComune(const QString &alias, const QString &table, const QString &prv,
                   const QString &com)
{
    return QStringLiteral(" LEFT JOIN Comuni %1c ON %1c.prvIstat = %2.%3 AND %1c.comIstat = %2.%4"
                          " LEFT JOIN Province %1p ON %1p.prvIstat = %2.%3")
        .arg(alias, table, prv, com);
}

void disegnaSA1(PdfPages &doc, const Recordset &a)
{
    const auto v = [&a](const char *name) { return a.value(QLatin1String(name)); };
    const auto s = [&a](const char *name) { return nzStr(a.value(QLatin1String(name))); };
    // A declaration without a year shows the archive's.
    const QString anno = comeScritto(v("saAnno")) || v("saAnno").toInt() > 0
        ? s("saAnno")
        : QString::number(gKez->AnnoDichiarazione());
    doc.beginBlock();
    doc.title(QStringLiteral("SA1 - Sezione anagrafica"));
    const Qt::Alignment Left = Qt::AlignLeft;
    doc.fields({{QStringLiteral("Anno di dichiarazione:"), anno, 1.2, Left, numero(doc, 4)},
                {QStringLiteral("Codice fiscale:"), s("codFisc"), 1.6, Left, codice(doc, 16)},
                {QStringLiteral("Nome o ragione sociale:"), s("ragSoc"), 4.2},
                {QStringLiteral("Esportata:"), siNo(v("ExpID")), 1}});
    doc.band(QStringLiteral("Sezione unità locale"));
    doc.fields({{QStringLiteral("Numero iscrizione REA:"), s("REA"), 1.3, Right, numero(doc, 9)},
                {QStringLiteral("Comune:"), s("ulComune"), 2.2},
                {QStringLiteral("Provincia:"), s("ulSigla"), 0.8, Left, codice(doc, 2)},
                {QStringLiteral("Via:"), s("via"), 2.4},
                {QStringLiteral("Numero civico:"), s("civico"), 1},
                {QStringLiteral("C.A.P.:"), s("cap"), 0.8, Left, numero(doc, 5)}});
    doc.fields({{QStringLiteral("Prefisso e n° telefonico:"),
                 (s("prefTel") + QLatin1Char(' ') + s("telefono")).trimmed(), 1.6, Left,
                 telefonoMax(doc)},
                {QStringLiteral("Codice ISTAT attività prevalente nell'unità locale:"),
                 attivita(v("attIstat")), 2.6, Left, attivitaMax(doc)},
                {QStringLiteral("Totale addetti unità locale:"), qta(v("Addetti"), QStringLiteral("#,##0")), 1.6,
                 Right, cifre(5, QStringLiteral("#,##0"))},
                {QStringLiteral("Mesi di attività nell'anno:"), s("Mesi"), 1.5, Right, numero(doc, 2)}});
    doc.band(QStringLiteral("Sede legale"));
    doc.fields({{QStringLiteral("Comune:"), s("slComune"), 2.2},
                {QStringLiteral("Provincia:"), s("slSigla"), 0.8, Left, codice(doc, 2)},
                {QStringLiteral("Via:"), s("slVia"), 2.4},
                {QStringLiteral("Numero civico:"), s("slCivico"), 1},
                {QStringLiteral("C.A.P.:"), s("slCAP"), 0.8, Left, numero(doc, 5)},
                {QStringLiteral("Prefisso e n° telefonico:"),
                 (s("slPrefTel") + QLatin1Char(' ') + s("slTelefono")).trimmed(), 1.6, Left,
                 telefonoMax(doc)}});
    doc.band(QStringLiteral("Rappresentante legale o suo delegato"));
    doc.fields({{QStringLiteral("Cognome:"), s("saCognome"), 3},
                {QStringLiteral("Nome:"), s("saNome"), 3},
                {QStringLiteral("Data:"), data(v("saDataComp")), 1.5, Left, dataMax(doc)}});
    const QVariant annulla = v("saAnnulla");
    doc.fields({{QStringLiteral("Annulla e sostituisce la precedente del:"),
                 !comeScritto(annulla) && annulla.toBool() ? data(v("saDataPrec")) : siNo(annulla), 1}});
    doc.endBlock();
}

// The address of a module's subject: an Italian local unit or a country.
void indirizzoModulo(PdfPages &doc, const Recordset &m, bool regolamento)
{
    if (italiano(m.value(QStringLiteral("comIstat")))) {
        doc.fields({{QStringLiteral("Comune:"), nzStr(m.value(QStringLiteral("mComune"))), 2.2},
                    {QStringLiteral("Provincia:"), nzStr(m.value(QStringLiteral("mSigla"))), 0.8,
                     Qt::AlignLeft, codice(doc, 2)},
                    {QStringLiteral("Via:"), nzStr(m.value(QStringLiteral("via"))), 2.6},
                    {QStringLiteral("N. civico:"), nzStr(m.value(QStringLiteral("civico"))), 1},
                    {QStringLiteral("C.A.P.:"), nzStr(m.value(QStringLiteral("cap"))), 0.8,
                     Qt::AlignLeft, numero(doc, 5)}});
        return;
    }
    QVector<Field> row{{QStringLiteral("Paese estero:"), nzStr(m.value(QStringLiteral("nazDesc"))), 3}};
    if (regolamento)
        row.append({QStringLiteral("Codice regolamento (CE) 1013/2006:"),
                    nzStr(m.value(QStringLiteral("regCE"))), 2, Qt::AlignLeft, codice(doc, 6)});
    doc.fields(row);
}

// The band of a module and its subject: Italian or foreign, code, name.
void soggettoModulo(PdfPages &doc, const Recordset &m, const QString &intestazione,
                    const QString &provenienza)
{
    const bool italia = italiano(m.value(QStringLiteral("comIstat")));
    doc.band(intestazione);
    doc.fields({{provenienza, italia ? QStringLiteral("Italia") : QStringLiteral("Estero"), 1.2},
                {QStringLiteral("Codice fiscale:"), nzStr(m.value(QStringLiteral("codFisc"))), 1.6,
                 Qt::AlignLeft, codice(doc, 16)},
                {QStringLiteral("Nome o ragione sociale:"), nzStr(m.value(QStringLiteral("ragSoc"))), 4.6}});
}

void disegnaModuloUO(PdfPages &doc, const Recordset &m, int n, int di)
{
    // The module's screen shows "Pubblica" for any number but 2, and no
    // choice for a text or a fraction, printed as it is stored.
    const QVariant sup = m.value(QStringLiteral("mdcSup"));
    const QString superficie = comeScritto(sup) ? sup.toString()
        : sup.toInt() == 2                      ? QStringLiteral("Privata")
                                                : QStringLiteral("Pubblica");
    doc.beginBlock();
    soggettoModulo(doc, m, QStringLiteral("Modulo UO-CONS %1 di %2").arg(n).arg(di),
                   QStringLiteral("Origine del rifiuto:"));
    doc.fields({{QStringLiteral("Codice ISTAT attività prevalente:"),
                 attivita(m.value(QStringLiteral("mdcAtt"))), 2, Qt::AlignLeft, attivitaMax(doc)},
                {QStringLiteral("Superficie:"), superficie, 1.4},
                {QStringLiteral("Quantità raccolta nell'anno:"),
                 qtaUmi(m, QStringLiteral("mdcQta"), QStringLiteral("mdcUmi")), 2, Right, qtaUmiMax()}});
    indirizzoModulo(doc, m, false);
    doc.endBlock();
}

void disegnaModuloDR(PdfPages &doc, Letture &leggi, const Recordset &m, int n, int di)
{
    doc.beginBlock();
    soggettoModulo(doc, m, QStringLiteral("Modulo DR-CONS %1 di %2").arg(n).arg(di),
                   QStringLiteral("Destinazione del rifiuto:"));
    indirizzoModulo(doc, m, true);
    doc.fields({{QStringLiteral("Quantità conferita nell'anno:"),
                 qtaUmi(m, QStringLiteral("mdcQta"), QStringLiteral("mdcUmi")), 1, Right, qtaUmiMax()}});
    // Operations read in their numeric order: R2 before R10.
    auto op = leggi(QStringLiteral("SELECT Posizione, Codice, Qta, Umi FROM RecDrCons WHERE mdcID = ? "
                                   "ORDER BY Posizione, length(Codice), Codice"),
                    {m.value(QStringLiteral("mdcID"))});
    if (op->isOpen() && !op->eof()) {
        doc.beginTable({{QStringLiteral("Destinazione"), 4},
                        {QStringLiteral("Operazione"), 1.2, Qt::AlignHCenter, codice(doc, 3)},
                        {QStringLiteral("Quantità"), 2, Right, cifre(7)},
                        {QStringLiteral("Umi"), 0.8, Qt::AlignHCenter}});
        for (; !op->eof(); op->MoveNext())
            doc.row({op->value(0).toInt() == 2 ? QStringLiteral("Smaltimento") : QStringLiteral("Recupero"),
                     nzStr(op->value(1)), qta(op->value(2)), umi(op->value(3))});
        doc.endTable();
    }
    doc.endBlock();
}

void disegnaModuli(PdfPages &doc, Letture &leggi, int scID, int tipo)
{
    auto m = leggi(QStringLiteral("SELECT ")
                       + colonneDi("ModCons", {"mdcID", "codFisc", "ragSoc", "comIstat", "via", "civico", "cap",
                                             "regCE", "mdcQta", "mdcUmi", "mdcAtt", "mdcSup"})
                       + QStringLiteral(", mc.comDesc AS mComune, mp.prvSigla AS mSigla, Nazioni.nazDesc FROM ModCons")
                       + joinComune(QStringLiteral("m"), QStringLiteral("ModCons"),
                                    QStringLiteral("prvIstat"), QStringLiteral("comIstat"))
                       + QStringLiteral(" LEFT JOIN Nazioni ON Nazioni.nazID = ModCons.nazID "
                                        "WHERE ModCons.scID = ? AND ModCons.mdcTipo = ? "
                                        "ORDER BY ModCons.mdcID"),
                   {scID, tipo});
    if (!m->isOpen() || m->eof())
        return;
    const QString elenco = tipo == 1
        ? QStringLiteral("Modulo UO-CONS - Elenco unità locali di origine del rifiuto")
        : QStringLiteral("Modulo DR-CONS - Elenco unità locali di destinazione del rifiuto");
    doc.gap(2);
    doc.beginSection(elenco);
    doc.title(elenco);
    const int count = m->RecordCount();
    for (int n = 1; !m->eof(); m->MoveNext(), ++n) {
        if (tipo == 1)
            disegnaModuloUO(doc, *m, n, count);
        else
            disegnaModuloDR(doc, leggi, *m, n, count);
    }
    doc.endSection();
}

void disegnaCONS(PdfPages &doc, Letture &leggi, int saID)
{
    auto s = leggi(QStringLiteral("SELECT ")
                       + colonneDi("SezCons", {"scID", "rifCod", "scQta", "scUmi", "ferroQta", "ferroUmi", "vetroQta",
                                             "vetroUmi", "alluminioQta", "alluminioUmi", "cartaQta", "cartaUmi",
                                             "plasticaQta", "plasticaUmi", "legnoQta", "legnoUmi", "altroQta",
                                             "altroUmi", "scAll"})
                       + QStringLiteral(", Rifiuti.rifDesc FROM SezCons LEFT JOIN Rifiuti "
                                        "ON Rifiuti.rifCod = SezCons.rifCod WHERE SezCons.saID = ? "
                                        "ORDER BY SezCons.rifCod, SezCons.scID"),
                   {saID});
    const int count = s->RecordCount();
    for (int n = 1; s->isOpen() && !s->eof(); s->MoveNext(), ++n) {
        const Recordset &r = *s;
        const auto mat = [&r](const QString &caption, const QString &name) {
            return Field{caption, qtaUmi(r, name + QStringLiteral("Qta"), name + QStringLiteral("Umi")),
                         1, Right, qtaUmiMax()};
        };
        const QString rifCod = nzStr(r.value(QStringLiteral("rifCod")));
        doc.newPage();
        doc.beginSection(QStringLiteral("Scheda CONS %1 di %2 - %3").arg(n).arg(count).arg(rifCod));
        doc.beginBlock();
        doc.title(QStringLiteral("Scheda CONS - Totale rifiuti raccolti ed avviati al recupero e "
                                 "riciclaggio"));
        doc.fields({{QStringLiteral("Scheda:"), QStringLiteral("%1 di %2").arg(n).arg(count), 0.8},
                    {QStringLiteral("Codice rifiuto:"), rifCod, 1, Qt::AlignLeft, numero(doc, 6)},
                    {QString(), nzStr(r.value(QStringLiteral("rifDesc"))), 5.2}});
        doc.fields({{QStringLiteral("Quantità complessivamente raccolta:"),
                     qtaUmi(r, QStringLiteral("scQta"), QStringLiteral("scUmi")), 1, Right, qtaUmiMax()},
                    {QStringLiteral("Se il codice è 150104, barrare se si tratta di Alluminio"),
                     siNo(r.value(QStringLiteral("scAll"))), 1}});
        doc.band(QStringLiteral("MATERIALI SECONDARI AI SENSI DELL'ART. 184-TER DEL D.L.GS. N. 152/2006"));
        doc.fields({mat(QStringLiteral("Rottami ferro e acciaio:"), QStringLiteral("ferro")),
                    mat(QStringLiteral("Rottami in vetro:"), QStringLiteral("vetro")),
                    mat(QStringLiteral("Rottami in alluminio:"), QStringLiteral("alluminio")),
                    mat(QStringLiteral("Carta e cartone:"), QStringLiteral("carta"))});
        doc.fields({mat(QStringLiteral("Plastica:"), QStringLiteral("plastica")),
                    mat(QStringLiteral("Legno:"), QStringLiteral("legno")),
                    mat(QStringLiteral("Altro:"), QStringLiteral("altro")), Field{QString(), QString(), 1}});
        doc.endBlock();
        const int scID = r.value(QStringLiteral("scID")).toInt();
        disegnaModuli(doc, leggi, scID, 1);
        disegnaModuli(doc, leggi, scID, 2);
        doc.endSection();
    }
}

// The identity of a card of the plastic bags or producer packaging sheet.
void datiSoggetto(PdfPages &doc, const Recordset &r)
{
    doc.band(QStringLiteral("Dati anagrafici soggetto che immette gli imballaggi sul mercato"));
    doc.fields({{QStringLiteral("Codice fiscale:"), nzStr(r.value(QStringLiteral("codFisc"))), 1,
                 Qt::AlignLeft, codice(doc, 16)},
                {QStringLiteral("Nome o rag. sociale:"), nzStr(r.value(QStringLiteral("ragSoc"))), 3}});
}

void disegnaSBOP(PdfPages &doc, Letture &leggi, int saID)
{
    auto r = leggi(QStringLiteral("SELECT ")
                       + colonneDi("skSbop", {"codFisc", "ragSoc", "sksBorse", "sks50Micron", "sks15Micron",
                                            "sksOxodegradabili", "sksBiodegradabili", "sksAltre", "pmBorse",
                                            "pm50Micron", "pm15Micron", "pmOxodegradabili", "pmBiodegradabili",
                                            "pmAltre"})
                       + QStringLiteral(" FROM skSbop WHERE saID = ? ORDER BY sksID"),
                   {saID});
    static const struct { const char *caption; const char *tons; const char *weight; } kinds[] = {
        {"Borse di plastica", "sksBorse", "pmBorse"},
        {"Borse di plastica in materiale leggero\n(spessore inferiore a 50 micron)", "sks50Micron",
         "pm50Micron"},
        {"Borse di plastica in materiale ultra leggero\n(spessore inferiore a 15 micron)",
         "sks15Micron", "pm15Micron"},
        {"Borse di plastica oxodegradabili", "sksOxodegradabili", "pmOxodegradabili"},
        {"Borse di plastica biodegradabili e compostabili", "sksBiodegradabili", "pmBiodegradabili"},
        {"Altre borse di plastica", "sksAltre", "pmAltre"},
    };
    const QString scheda = QStringLiteral("Scheda SBOP - Immissione sul mercato borse plastica");
    doc.newPage();
    doc.beginSection(scheda);
    doc.title(scheda);
    for (; r->isOpen() && !r->eof(); r->MoveNext()) {
        doc.beginBlock();
        datiSoggetto(doc, *r);
        doc.beginTable({{QStringLiteral("BORSE DI PLASTICA - IMMISSIONE SUL MERCATO"), 4},
                        {QStringLiteral("tonnellate/anno"), 1.5, Right, cifre(9, Intere)},
                        {QStringLiteral("peso medio (grammi)"), 1.5, Right, cifre(3)}});
        for (const auto &k : kinds)
            doc.row({QString::fromUtf8(k.caption), qta(r->value(QLatin1String(k.tons)), Intere),
                     qta(r->value(QLatin1String(k.weight)))});
        doc.endTable();
        doc.endBlock();
        doc.gap(3);
    }
    doc.endSection();
}

void disegnaSMAT(PdfPages &doc, Letture &leggi, int saID)
{
    static const char *const materiali[] = {"Vetro", "Carta", "Alluminio", "Acciaio",
                                            "Legno", "Plastica", "Altro"};
    static const char *const colonne[] = {"qtaProdVuoti", "qtaProdPieni", "qtaImpVuoti",
                                          "qtaImpPieni", "qtaEspVuoti", "qtaEspPieni"};
    auto card = leggi(QStringLiteral("SELECT skmID, codFisc, ragSoc FROM skMat WHERE saID = ? ORDER BY skmID"),
                      {saID});
    const QString scheda = QStringLiteral("Scheda SMAT - Imballaggi immessi sul mercato dal produttore");
    doc.newPage();
    doc.beginSection(scheda);
    doc.title(scheda);
    const QString massimo = cifre(7, ConUno);
    for (; card->isOpen() && !card->eof(); card->MoveNext()) {
        auto rec = leggi(QStringLiteral("SELECT ")
                             + colonneDi("RecMat", {"skmTipo", "qtaProdVuoti", "qtaProdPieni", "qtaImpVuoti",
                                                  "qtaImpPieni", "qtaEspVuoti", "qtaEspPieni"})
                             + QStringLiteral(" FROM RecMat WHERE skmID = ? ORDER BY skmTipo"),
                         {card->value(QStringLiteral("skmID"))});
        QHash<int, QStringList> righe;
        for (; rec->isOpen() && !rec->eof(); rec->MoveNext()) {
            QStringList values;
            for (const char *c : colonne)
                values.append(qta(rec->value(QLatin1String(c)), ConUno));
            righe.insert(rec->value(QStringLiteral("skmTipo")).toInt(), values);
        }
        doc.beginBlock();
        datiSoggetto(doc, *card);
        doc.beginTable({{QStringLiteral("MATERIALE DI IMBALLAGGIO"), 1.5},
                        {QStringLiteral("PRODUZIONE imb. vuoti ton/anno"), 1, Right, massimo},
                        {QStringLiteral("AUTOPROD. imb. pieni ton/anno"), 1, Right, massimo},
                        {QStringLiteral("IMPORTAZIONE imb. vuoti ton/anno"), 1, Right, massimo},
                        {QStringLiteral("IMPORTAZIONE imb. pieni ton/anno"), 1, Right, massimo},
                        {QStringLiteral("ESPORTAZIONE imb. vuoti ton/anno"), 1, Right, massimo},
                        {QStringLiteral("ESPORTAZIONE imb. pieni ton/anno"), 1, Right, massimo}});
        for (int i = 0; i < 7; ++i) {
            QStringList values = righe.value(101 + i);
            while (values.size() < 6)
                values.append(qta(0, ConUno));
            values.prepend(QString::fromUtf8(materiali[i]));
            doc.row(values);
        }
        doc.endTable();
        doc.endBlock();
        doc.gap(3);
    }
    doc.endSection();
}

// The reuse and the packaging-type sheets differ only in their table, list
// of types and captions.
void disegnaTipi(PdfPages &doc, Letture &leggi, int saID, bool riuso)
{
    const QString sql = riuso
        ? QStringLiteral("SELECT RecRiu.riuTipo, Codici.codAlfa, Codici.codDesc, RecRiu.qtaAlimentare, "
                         "RecRiu.qtaAltriUsi FROM RecRiu LEFT JOIN Codici ON Codici.codType = 12 AND "
                         "Codici.codNumb = RecRiu.riuTipo WHERE RecRiu.saID = ? ORDER BY RecRiu.riuTipo")
        : QStringLiteral("SELECT RecTip.tipTipo, Codici.codAlfa, Codici.codDesc, RecTip.qtaPrimari, "
                         "RecTip.qtaSecondari FROM RecTip LEFT JOIN Codici ON Codici.codType = 13 AND "
                         "Codici.codNumb = RecTip.tipTipo WHERE RecTip.saID = ? ORDER BY RecTip.tipTipo");
    auto r = leggi(sql, {saID});
    const QString scheda = riuso ? QStringLiteral("Scheda SRIU - Riutilizzo Imballaggi a livello nazionale")
                                 : QStringLiteral("Scheda STIP - Tipologie");
    const QString massimo = cifre(7, ConUno);
    doc.newPage();
    doc.beginSection(scheda);
    doc.title(scheda);
    if (riuso) {
        doc.beginTable({{QStringLiteral("MATERIALE"), 1.5},
                        {QStringLiteral("TIPO DI IMBALLAGGIO"), 3.5},
                        {QStringLiteral("QUANTITA' RIUTILIZZATA\nUSO ALIMENTARE ton/anno"), 1.6, Right, massimo},
                        {QStringLiteral("QUANTITA' RIUTILIZZATA\nALTRI USI ton/anno"), 1.6, Right, massimo}});
    } else {
        doc.beginTable({{QStringLiteral("MATERIALE"), 1.5},
                        {QStringLiteral("TIPO DI IMBALLAGGIO"), 3.5},
                        {QStringLiteral("IMBALLAGGI PRIMARI ton/anno"), 1.6, Right, massimo},
                        {QStringLiteral("IMBALLAGGI SECONDARI E TERZIARI ton/anno"), 1.6, Right, massimo}});
    }
    for (; r->isOpen() && !r->eof(); r->MoveNext()) {
        // A type missing from the list still shows its number.
        const QString alfa = r->value(1).isNull() ? r->value(0).toString() : nzStr(r->value(1));
        doc.row({alfa, nzStr(r->value(2)), qta(r->value(3), ConUno), qta(r->value(4), ConUno)});
    }
    doc.endTable();
    doc.endSection();
}

std::unique_ptr<Recordset> leggiDichiarazione(Letture &leggi, int saID)
{
    return leggi(QStringLiteral("SELECT ")
                     + colonneDi("SezAnag", {"saAnno", "codFisc", "ragSoc", "ExpID", "REA", "via", "civico", "cap",
                                           "prefTel", "telefono", "attIstat", "Addetti", "Mesi", "slVia", "slCivico",
                                           "slCAP", "slPrefTel", "slTelefono", "saCognome", "saNome", "saDataComp",
                                           "saAnnulla", "saDataPrec"})
                     + QStringLiteral(", uc.comDesc AS ulComune, up.prvSigla AS ulSigla, "
                                      "sc.comDesc AS slComune, sp.prvSigla AS slSigla FROM SezAnag")
                     + joinComune(QStringLiteral("u"), QStringLiteral("SezAnag"),
                                  QStringLiteral("prvIstat"), QStringLiteral("comIstat"))
                     + joinComune(QStringLiteral("s"), QStringLiteral("SezAnag"),
                                  QStringLiteral("slPrvIstat"), QStringLiteral("slComIstat"))
                     + QStringLiteral(" WHERE SezAnag.saID = ?"),
                 {saID});
}

QString soggetto(const QVariant &ragSoc, const QVariant &codFisc)
{
    return nzStr(ragSoc) + QStringLiteral(" - C.F. ") + nzStr(codFisc);
}

QString descrivi(const Recordset &a)
{
    const auto s = [&a](const char *name) { return nzStr(a.value(QLatin1String(name))); };
    return soggetto(a.value(QStringLiteral("ragSoc")), a.value(QStringLiteral("codFisc")))
        + QStringLiteral(" - U. L.: ") + s("via") + QLatin1Char(' ') + s("civico") + QLatin1Char(' ')
        + s("ulComune") + QStringLiteral(" (") + s("ulSigla") + QLatin1Char(')');
}

// Writes the document, then removes the older prints of its kind and hands
// it to the viewer; the user hears of a file that could not be written, and
// why, or opened. A print that could not be written leaves the older ones in
// place.
QString scriviEApri(PdfPages &doc, const QString &fileName, const QString &tipo, bool wait)
{
    QString failure;
    const bool written = doc.write(&failure);
    if (written)
        PrintMod::eliminaStampePrecedenti(tipo, fileName);
    modFunz::setWaitCursor(wait);
    if (!written) {
        modFunz::showMsg(QStringLiteral("Attenzione, impossibile scrivere il file %1:\n%2").arg(fileName, failure),
                         16);
        return QString();
    }
    modFunz::apriFile(fileName);
    return fileName;
}

} // namespace

namespace PrintMod {

int sezioniPresenti(int saID)
{
    if (!gDb)
        return 0;
    Letture leggi;
    int sezioni = 0;
    if (haRighe(leggi, QStringLiteral("SELECT saID FROM SezAnag WHERE saID = ?"), saID)) {
        sezioni = SezSA1;
        const struct { const char *sql; int sezione; } parti[] = {
            {"SELECT scID FROM SezCons WHERE saID = ? LIMIT 1", SezCONS},
            {"SELECT sksID FROM skSbop WHERE saID = ? LIMIT 1", SezSBOP},
            {"SELECT skmID FROM skMat WHERE saID = ? LIMIT 1", SezSMAT},
            {"SELECT riuID FROM RecRiu WHERE saID = ? LIMIT 1", SezSRIU},
            {"SELECT tipID FROM RecTip WHERE saID = ? LIMIT 1", SezSTIP},
        };
        for (const auto &parte : parti)
            if (haRighe(leggi, QLatin1String(parte.sql), saID))
                sezioni |= parte.sezione;
    }
    return leggi.fallita() ? -1 : sezioni;
}

QString descriviDichiarazione(int saID)
{
    if (!gDb)
        return QString();
    Letture leggi;
    auto a = leggiDichiarazione(leggi, saID);
    return a->isOpen() && !a->eof() ? descrivi(*a) : QString();
}

bool disegnaDichiarazione(PdfPages &doc, int saID, int sezioni, bool *letta)
{
    Letture leggi;
    auto a = leggiDichiarazione(leggi, saID);
    if (a->isOpen() && !a->eof()) {
        doc.setHeading(QStringLiteral("Dichiarazione anno %1").arg(gKez->AnnoDichiarazione()), descrivi(*a));
        if (sezioni & SezSA1)
            disegnaSA1(doc, *a);
        if (sezioni & SezCONS)
            disegnaCONS(doc, leggi, saID);
        if (sezioni & SezSBOP)
            disegnaSBOP(doc, leggi, saID);
        if (sezioni & SezSMAT)
            disegnaSMAT(doc, leggi, saID);
        if (sezioni & SezSRIU)
            disegnaTipi(doc, leggi, saID, true);
        if (sezioni & SezSTIP)
            disegnaTipi(doc, leggi, saID, false);
    }
    if (letta)
        *letta = !leggi.fallita();
    return a->isOpen() && !a->eof() && !leggi.fallita();
}

int disegnaElenco(PdfPages &doc, int chamber, bool *letta)
{
    Letture leggi;
    // A declaration belongs to the chamber of its local unit's municipality
    // (a few municipalities are served by another province's chamber).
    const QString camera = QStringLiteral("COALESCE(NULLIF(uc.comCCIAA, 0), up.prvCCIAA, 0)");
    auto r = leggi(QStringLiteral("SELECT SezAnag.codFisc, SezAnag.ragSoc, SezAnag.via, SezAnag.civico, "
                                  "SezAnag.cap, SezAnag.ExpID, uc.comDesc, up.prvSigla, %1 AS cciaa, "
                                  "cp.prvDesc AS cciaaDesc FROM SezAnag")
                       .arg(camera)
                   + joinComune(QStringLiteral("u"), QStringLiteral("SezAnag"),
                                QStringLiteral("prvIstat"), QStringLiteral("comIstat"))
                   + QStringLiteral(" LEFT JOIN Province cp ON cp.prvIstat = %1"
                                    " WHERE (? = 0 OR %1 = ?)"
                                    " ORDER BY cciaaDesc, cciaa, SezAnag.ragSoc, SezAnag.codFisc, "
                                    "SezAnag.saID")
                         .arg(camera),
                   {chamber, chamber});
    QString user;
    QString userCode;
    auto setup = leggi(QStringLiteral("SELECT ragSoc, codFisc FROM Setup"), {});
    if (setup->isOpen() && !setup->eof()) {
        user = nzStr(setup->value(0));
        userCode = nzStr(setup->value(1));
    }
    if (letta)
        *letta = !leggi.fallita();
    if (leggi.fallita())
        return 0;
    QString title = QStringLiteral("Elenco dichiarazioni anno %1").arg(gKez->AnnoDichiarazione());
    doc.setHeading(title, soggetto(user, userCode));
    // The codice fiscale and the province take what their widest values
    // need; the rest goes mostly to the names.
    const QVector<Column> columns{{QStringLiteral("Codice fiscale"), 1, Qt::AlignLeft, codice(doc, 16)},
                                  {QStringLiteral("Ragione sociale"), 55},
                                  {QStringLiteral("Indirizzo unità locale"), 37},
                                  {QStringLiteral("Comune"), 27},
                                  {QStringLiteral("Prov."), 1, Qt::AlignHCenter, codice(doc, 2)},
                                  {QStringLiteral("Esportata"), 16, Qt::AlignHCenter}};
    int listed = 0;
    int current = -1;
    for (; r->isOpen() && !r->eof(); r->MoveNext(), ++listed) {
        const int cciaa = r->value(QStringLiteral("cciaa")).toInt();
        if (cciaa != current) {
            if (current >= 0) {
                doc.endTable();
                doc.gap(3);
            }
            current = cciaa;
            const QString name = nzStr(r->value(QStringLiteral("cciaaDesc")));
            const QString caption = name.isEmpty() ? QStringLiteral("Camera di commercio non indicata")
                                                   : QStringLiteral("Camera di commercio di ") + name;
            doc.title(caption);
            doc.beginTable(columns, caption);
        }
        const auto s = [&r](const char *name) { return nzStr(r->value(QLatin1String(name))); };
        doc.row({s("codFisc"), s("ragSoc"), (s("via") + QLatin1Char(' ') + s("civico")).trimmed(),
                 (s("cap") + QLatin1Char(' ') + s("comDesc")).trimmed(), s("prvSigla"),
                 siNo(r->value(QStringLiteral("ExpID")))});
    }
    if (listed > 0) {
        doc.endTable();
        doc.gap(2);
        doc.note(QStringLiteral("Dichiarazioni elencate: ")
                 + ItalianFormat::formatNumber(listed, QStringLiteral("#,##0")));
    }
    return listed;
}

int eliminaStampePrecedenti(const QString &tipo, const QString &tenere)
{
    const QDir folder(gKez->Path());
    int left = 0;
    // Whatever cannot be removed (a file open elsewhere, anything that is
    // not a plain file) stays where it is: the new print goes ahead.
    for (const QString &name : folder.entryList({gKez->kezName(tipo + QStringLiteral("*.pdf"))},
                                                QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        if (folder.filePath(name) != tenere && !QFile::remove(folder.filePath(name)))
            ++left;
    return left;
}

QString stampaDichiarazione(int saID, int sezioni)
{
    const bool wait = modFunz::setWaitCursor(true);
    const QString stamp = QString::number(QDateTime::currentMSecsSinceEpoch(), 16).toUpper();
    const QString fileName = gKez->kezName(QStringLiteral("_prn_") + stamp + QStringLiteral(".pdf"), true);
    PdfPages doc(fileName, gKez->Caption());
    // The declaration may have been deleted since the dialog showed it; a
    // read that failed has been shown already, and nothing is written.
    bool letta = true;
    if (!disegnaDichiarazione(doc, saID, sezioni, &letta)) {
        modFunz::setWaitCursor(wait);
        if (letta)
            modFunz::warnMsg(QStringLiteral("Attenzione, nessuna dichiarazione selezionata."));
        return QString();
    }
    return scriviEApri(doc, fileName, QStringLiteral("_prn_"), wait);
}

QString stampaElenco(int chamber)
{
    const bool wait = modFunz::setWaitCursor(true);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    const QString fileName = gKez->kezName(QStringLiteral("_lst_") + stamp + QStringLiteral(".pdf"), true);
    PdfPages doc(fileName, gKez->Caption());
    bool letta = true;
    if (disegnaElenco(doc, chamber, &letta) == 0 || !letta) {
        modFunz::setWaitCursor(wait);
        if (letta)
            modFunz::warnMsg(QStringLiteral("Attenzione, nessuna dichiarazione da stampare."));
        return QString();
    }
    return scriviEApri(doc, fileName, QStringLiteral("_lst_"), wait);
}

} // namespace PrintMod
