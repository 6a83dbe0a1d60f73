#pragma once

#include <QFile>
#include <QString>

#include "TestSupport.h"

// Rows as the sheets and modules write them, for the verification, export
// and import tests: a few lookups and complete declarations with every
// section. Amounts are stored in ten-thousandths.
namespace ExchangeFixture {

inline QString lookups()
{
    return QStringLiteral(
        "INSERT INTO Province (prvIstat, prvDesc, prvSigla, prvCCIAA) VALUES "
        "(15, 'MILANO', 'MI', 15), (108, 'MONZA E DELLA BRIANZA', 'MB', 15), (58, 'ROMA', 'RM', 58);\n"
        "INSERT INTO Comuni (prvIstat, comIstat, comDesc, comCap) VALUES "
        "(15, 146, 'MILANO', '20121'), (108, 33, 'MONZA', '20900'), (58, 91, 'ROMA', '00118');\n"
        "INSERT INTO Attivita (attCod, attDesc) VALUES ('101100', 'Produzione di carne'), "
        "('222200', 'Imballaggi in plastica');\n"
        "INSERT INTO Rifiuti (rifCod, rifDesc, rifClass) VALUES ('150000', 'IMBALLAGGI', NULL), "
        "('150100', 'imballaggi', NULL), ('150101', 'imballaggi di carta e cartone', NULL), "
        "('150104', 'imballaggi metallici', NULL);\n"
        "INSERT INTO Nazioni (nazID, nazDesc) VALUES (250, 'Francia');\n"
        "INSERT INTO CodRegCE (crcCod, crcDesc) VALUES ('GB040', 'Scorie');\n"
        "INSERT INTO Setup (codFisc, ragSoc) VALUES ('00743110157', 'Studio Rossi');\n");
}

// One complete declaration: registry sheet, a consortia sheet with an
// Italian origin module, an Italian and a foreign destination module whose
// operations add up, and the SBOP, SMAT, SRIU and STIP cards. Ids are
// derived from saID so several can live together.
inline QString declaration(int saID, const QString &codFisc, int prv = 15, int com = 146)
{
    const int sc = saID * 10;
    const int md = saID * 100;
    return QStringLiteral(
               "INSERT INTO SezAnag (saID, saAnno, codFisc, ragSoc, REA, prvIstat, comIstat, via, civico, cap, "
               "prefTel, telefono, attIstat, Addetti, Mesi, slPrvIstat, slComIstat, slVia, slCivico, slCAP, "
               "saCognome, saNome, saDataComp, saAnnulla, saDataPrec, ExpID, saExp) VALUES "
               "(%1, 2021, '%2', 'DITTA %1 S.R.L.', 123456, %3, %4, 'VIA ROMA', '1', '20121', '02', "
               "'1234567', '222200', 12, 12, 15, 146, 'VIA DANTE', '2B', '20121', 'ROSSI', 'MARIO', "
               "'2022-03-15', 0, NULL, 0, 0);\n"
               "INSERT INTO SezCons (scID, saID, rifCod, scQta, scUmi, ferroQta, ferroUmi, cartaQta, cartaUmi, "
               "scAll) VALUES (%5, %1, '150101', 15000000, 1, 0, 1, 12505000, 1, 0);\n"
               "INSERT INTO ModCons (mdcID, scID, mdcTipo, codFisc, ragSoc, prvIstat, comIstat, via, civico, cap, "
               "nazID, regCE, mdcQta, mdcUmi, mdcAtt, mdcSup) VALUES "
               "(%6, %5, 1, '01234567897', 'ORIGINE %1 SPA', 58, 91, 'VIA APPIA', '3', '00118', 0, NULL, "
               "15000000, 1, '101100', 1),"
               "(%6 + 1, %5, 2, '12345678903', 'RECUPERI %1 SRL', 108, 33, 'VIA MONZA', '9', '20900', 0, NULL, "
               "10000, 2, NULL, 0),"
               "(%6 + 2, %5, 2, 'FR12345', 'RECYCLAGE %1 SA', 0, 0, NULL, NULL, NULL, 250, 'GB040', "
               "5000000, 1, NULL, 0);\n"
               "INSERT INTO RecDrCons (mdcID, Posizione, Codice, Qta, Umi) VALUES "
               "(%6 + 1, 1, 'R3', 6000000, 1), (%6 + 1, 1, 'R13', 4000, 2), (%6 + 2, 2, 'D1', 5000000, 1);\n"
               "INSERT INTO skSbop (saID, codFisc, ragSoc, sksBorse, pmBorse) VALUES "
               "(%1, '00743110157', 'BORSE %1 SRL', 120000, 12340);\n"
               "INSERT INTO skMat (skmID, saID, codFisc, ragSoc) VALUES (%1, %1, 'RSSMRA80A01H501U', "
               "'ROSSI MARIO');\n"
               "INSERT INTO RecMat (skmID, skmTipo, qtaProdVuoti, qtaEspPieni) VALUES "
               "(%1, 101, 25000, 0), (%1, 106, 0, 1000);\n"
               "INSERT INTO RecRiu (saID, riuTipo, qtaAlimentare, qtaAltriUsi) VALUES (%1, 3, 15000, 0);\n"
               "INSERT INTO RecTip (saID, tipTipo, qtaPrimari, qtaSecondari) VALUES (%1, 2, 1000, 2000);\n")
        .arg(saID)
        .arg(codFisc)
        .arg(prv)
        .arg(com)
        .arg(sc)
        .arg(md);
}

// Imported files are checked against the schema found in the program's
// folder: the test's folder stands in for it.
inline bool placeSchema(const QString &folder)
{
    return QFile::copy(TestSupport::sourceDir() + QStringLiteral("/resources/2010-KEZ-dichiarazione.xsd"),
                       folder + QStringLiteral("2010-KEZ-dichiarazione.xsd"));
}
}
