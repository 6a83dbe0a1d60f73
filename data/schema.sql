-- Kez database: one file per declaration year, the same schema for every year.
--
-- Declared type names are read by the recordset to give each column its value
-- type: YESNO (stored 0/-1), CURRENCY (integer ten-thousandths), DATE,
-- DATETIME, INTEGER, REAL, TEXT. Text compares and sorts through the KEZ
-- collation (no case, no accents), which every connection must register.
-- Sections hang below their declaration through foreign keys that cascade:
-- deleting a declaration, a consortia sheet, a module or a producer card
-- takes its dependent rows with it (every connection turns foreign keys on).

-- Version stamp of the file, read when the database opens.
CREATE TABLE Config (
    CnfID INTEGER PRIMARY KEY AUTOINCREMENT,
    CnfDbVer TEXT COLLATE KEZ,
    CnfType INTEGER DEFAULT 0
);
INSERT INTO Config (CnfDbVer, CnfType) VALUES ('2022.1', 0);

-- The compiling user's own company (one row) and the user name and pass word
-- of the online declaration service.
CREATE TABLE Setup (
    suID INTEGER PRIMARY KEY AUTOINCREMENT,
    codFisc TEXT COLLATE KEZ,
    ragSoc TEXT COLLATE KEZ,
    prvIstat INTEGER DEFAULT 0,
    comIstat INTEGER DEFAULT 0,
    via TEXT COLLATE KEZ,
    civico TEXT COLLATE KEZ,
    cap TEXT COLLATE KEZ,
    prefTel TEXT COLLATE KEZ,
    telefono TEXT COLLATE KEZ,
    suUserName TEXT COLLATE KEZ,
    suPassword TEXT COLLATE KEZ
);

-- Registry of every company the program knows (declarants and the subjects
-- of modules), keyed by codice fiscale.
CREATE TABLE Ditte (
    codFisc TEXT COLLATE KEZ NOT NULL PRIMARY KEY,
    ragSoc TEXT COLLATE KEZ,
    prvIstat INTEGER DEFAULT 0,
    comIstat INTEGER DEFAULT 0,
    via TEXT COLLATE KEZ,
    civico TEXT COLLATE KEZ,
    cap TEXT COLLATE KEZ,
    prefTel TEXT COLLATE KEZ,
    telefono TEXT COLLATE KEZ
);
CREATE INDEX DitteRagSoc ON Ditte (ragSoc);

-- One declaration: the registry sheet of one local unit of a company for the
-- declaration year. Every section row refers to its saID.
CREATE TABLE SezAnag (
    saID INTEGER PRIMARY KEY AUTOINCREMENT,
    saAnno INTEGER DEFAULT 0,
    codFisc TEXT COLLATE KEZ,
    ragSoc TEXT COLLATE KEZ,
    REA INTEGER DEFAULT 0,
    prvIstat INTEGER DEFAULT 0,
    comIstat INTEGER DEFAULT 0,
    via TEXT COLLATE KEZ,
    civico TEXT COLLATE KEZ,
    cap TEXT COLLATE KEZ,
    prefTel TEXT COLLATE KEZ,
    telefono TEXT COLLATE KEZ,
    attIstat TEXT COLLATE KEZ,
    Addetti INTEGER DEFAULT 0,
    Mesi INTEGER DEFAULT 0,
    slPrvIstat INTEGER DEFAULT 0,
    slComIstat INTEGER DEFAULT 0,
    slVia TEXT COLLATE KEZ,
    slCivico TEXT COLLATE KEZ,
    slCAP TEXT COLLATE KEZ,
    slPrefTel TEXT COLLATE KEZ,
    slTelefono TEXT COLLATE KEZ,
    saCognome TEXT COLLATE KEZ,
    saNome TEXT COLLATE KEZ,
    saDataComp DATE,
    saAnnulla YESNO DEFAULT 0,
    saDataPrec DATE,
    ExpID INTEGER DEFAULT 0,
    saExp YESNO DEFAULT 0
);
CREATE INDEX SezAnagCodFisc ON SezAnag (codFisc);
CREATE INDEX SezAnagExpID ON SezAnag (ExpID);

-- Consortia sheet: one waste code of a declaration with the quantity
-- collected and its split by material, each quantity with its own unit.
CREATE TABLE SezCons (
    scID INTEGER PRIMARY KEY AUTOINCREMENT,
    saID INTEGER NOT NULL REFERENCES SezAnag (saID) ON DELETE CASCADE,
    rifCod TEXT COLLATE KEZ,
    scQta CURRENCY DEFAULT 0,
    scUmi INTEGER DEFAULT 1,
    ferroQta CURRENCY DEFAULT 0,
    ferroUmi INTEGER DEFAULT 1,
    vetroQta CURRENCY DEFAULT 0,
    vetroUmi INTEGER DEFAULT 1,
    alluminioQta CURRENCY DEFAULT 0,
    alluminioUmi INTEGER DEFAULT 1,
    cartaQta CURRENCY DEFAULT 0,
    cartaUmi INTEGER DEFAULT 1,
    plasticaQta CURRENCY DEFAULT 0,
    plasticaUmi INTEGER DEFAULT 1,
    legnoQta CURRENCY DEFAULT 0,
    legnoUmi INTEGER DEFAULT 1,
    altroQta CURRENCY DEFAULT 0,
    altroUmi INTEGER DEFAULT 1,
    scAll INTEGER DEFAULT 0
);
CREATE INDEX SezConsSaID ON SezCons (saID, rifCod);

-- Modules of a consortia sheet: origin (mdcTipo 1, "UO-CONS") and
-- destination (mdcTipo 2, "DR-CONS") subjects with their quantity. A subject
-- with comIstat 0 is foreign and has its country in nazID.
CREATE TABLE ModCons (
    mdcID INTEGER PRIMARY KEY AUTOINCREMENT,
    scID INTEGER NOT NULL REFERENCES SezCons (scID) ON DELETE CASCADE,
    mdcTipo INTEGER DEFAULT 0,
    codFisc TEXT COLLATE KEZ,
    ragSoc TEXT COLLATE KEZ,
    Privati YESNO DEFAULT 0,
    prvIstat INTEGER DEFAULT 0,
    comIstat INTEGER DEFAULT 0,
    via TEXT COLLATE KEZ,
    civico TEXT COLLATE KEZ,
    cap TEXT COLLATE KEZ,
    nazID INTEGER DEFAULT 0,
    regCE TEXT COLLATE KEZ,
    mdcQta CURRENCY DEFAULT 0,
    mdcUmi INTEGER DEFAULT 1,
    mdcAtt TEXT COLLATE KEZ,
    mdcSup INTEGER DEFAULT 0
);
CREATE INDEX ModConsScID ON ModCons (scID, mdcTipo);
CREATE INDEX ModConsCodFisc ON ModCons (codFisc);

-- Recovery (Posizione 1, R codes) and disposal (Posizione 2, D codes)
-- operations of a destination module, one row per operation with a quantity.
CREATE TABLE RecDrCons (
    rdcID INTEGER PRIMARY KEY AUTOINCREMENT,
    mdcID INTEGER NOT NULL REFERENCES ModCons (mdcID) ON DELETE CASCADE,
    Posizione INTEGER DEFAULT 0,
    Codice TEXT COLLATE KEZ,
    Qta CURRENCY DEFAULT 0,
    Umi INTEGER DEFAULT 1
);
CREATE INDEX RecDrConsMdcID ON RecDrCons (mdcID, Posizione, Codice);

-- Plastic bags placed on the market: tonnes per year and average weight in
-- grams of each kind of bag, one card per subject.
CREATE TABLE skSbop (
    sksID INTEGER PRIMARY KEY AUTOINCREMENT,
    saID INTEGER NOT NULL REFERENCES SezAnag (saID) ON DELETE CASCADE,
    codFisc TEXT COLLATE KEZ,
    ragSoc TEXT COLLATE KEZ,
    sksBorse CURRENCY DEFAULT 0,
    sks50Micron CURRENCY DEFAULT 0,
    sks15Micron CURRENCY DEFAULT 0,
    sksOxodegradabili CURRENCY DEFAULT 0,
    sksBiodegradabili CURRENCY DEFAULT 0,
    sksAltre CURRENCY DEFAULT 0,
    pmBorse CURRENCY DEFAULT 0,
    pm50Micron CURRENCY DEFAULT 0,
    pm15Micron CURRENCY DEFAULT 0,
    pmOxodegradabili CURRENCY DEFAULT 0,
    pmBiodegradabili CURRENCY DEFAULT 0,
    pmAltre CURRENCY DEFAULT 0
);
CREATE INDEX skSbopSaID ON skSbop (saID);

-- Packaging placed on the market by the producer: one card per subject...
CREATE TABLE skMat (
    skmID INTEGER PRIMARY KEY AUTOINCREMENT,
    saID INTEGER NOT NULL REFERENCES SezAnag (saID) ON DELETE CASCADE,
    codFisc TEXT COLLATE KEZ,
    ragSoc TEXT COLLATE KEZ
);
CREATE INDEX skMatSaID ON skMat (saID);

-- ...and one row per material of the card (skmTipo 101 glass to 107 other)
-- with its tonnes per year produced, imported and exported, empty and filled.
CREATE TABLE RecMat (
    rkmID INTEGER PRIMARY KEY AUTOINCREMENT,
    skmID INTEGER NOT NULL REFERENCES skMat (skmID) ON DELETE CASCADE,
    skmTipo INTEGER DEFAULT 0,
    qtaProdVuoti CURRENCY DEFAULT 0,
    qtaProdPieni CURRENCY DEFAULT 0,
    qtaImpVuoti CURRENCY DEFAULT 0,
    qtaImpPieni CURRENCY DEFAULT 0,
    qtaEspVuoti CURRENCY DEFAULT 0,
    qtaEspPieni CURRENCY DEFAULT 0
);
CREATE INDEX RecMatSkmID ON RecMat (skmID, skmTipo);

-- Packaging reused, tonnes per year for food and for other uses, one row per
-- packaging type (Codici list 12) of a declaration.
CREATE TABLE RecRiu (
    riuID INTEGER PRIMARY KEY AUTOINCREMENT,
    saID INTEGER NOT NULL REFERENCES SezAnag (saID) ON DELETE CASCADE,
    riuTipo INTEGER DEFAULT 0,
    qtaAlimentare CURRENCY DEFAULT 0,
    qtaAltriUsi CURRENCY DEFAULT 0
);
CREATE INDEX RecRiuSaID ON RecRiu (saID, riuTipo);

-- Packaging by type, tonnes per year of primary and of secondary and
-- tertiary packaging, one row per packaging type (Codici list 13).
CREATE TABLE RecTip (
    tipID INTEGER PRIMARY KEY AUTOINCREMENT,
    saID INTEGER NOT NULL REFERENCES SezAnag (saID) ON DELETE CASCADE,
    tipTipo INTEGER DEFAULT 0,
    qtaPrimari CURRENCY DEFAULT 0,
    qtaSecondari CURRENCY DEFAULT 0
);
CREATE INDEX RecTipSaID ON RecTip (saID, tipTipo);

-- History of the XML exports; declarations carry the id of the last export
-- that contained them in SezAnag.ExpID.
CREATE TABLE expTab (
    expID INTEGER PRIMARY KEY AUTOINCREMENT,
    expData DATETIME,
    expFile TEXT COLLATE KEZ,
    expCCIAA INTEGER DEFAULT 0,
    expNum INTEGER DEFAULT 0
);

-- Provinces with their ISTAT code, abbreviation and the province whose
-- chamber of commerce serves them (prvCCIAA = prvIstat when it is their own).
CREATE TABLE Province (
    prvIstat INTEGER NOT NULL PRIMARY KEY,
    prvDesc TEXT COLLATE KEZ,
    prvSigla TEXT COLLATE KEZ,
    prvCCIAA INTEGER DEFAULT 0
);
CREATE INDEX ProvinceSigla ON Province (prvSigla);
CREATE INDEX ProvinceDesc ON Province (prvDesc);

-- Municipalities: ISTAT codes (province, and municipality within it), name,
-- postal code and the province of the chamber of commerce that serves them.
CREATE TABLE Comuni (
    prvIstat INTEGER NOT NULL,
    comIstat INTEGER NOT NULL,
    comDesc TEXT COLLATE KEZ,
    comCap TEXT COLLATE KEZ,
    comCCIAA INTEGER DEFAULT 0,
    PRIMARY KEY (prvIstat, comIstat)
);
CREATE INDEX ComuniDesc ON Comuni (comDesc);

-- Foreign countries for the modules of foreign subjects (Italy is not one).
CREATE TABLE Nazioni (
    nazID INTEGER NOT NULL PRIMARY KEY,
    nazDesc TEXT COLLATE KEZ
);
CREATE INDEX NazioniDesc ON Nazioni (nazDesc);

-- European list of waste: six-digit codes, chapters ending in "0000" and
-- sub-chapters in "00"; rifClass "P" marks hazardous waste.
CREATE TABLE Rifiuti (
    rifCod TEXT COLLATE KEZ NOT NULL PRIMARY KEY,
    rifDesc TEXT COLLATE KEZ,
    rifClass TEXT COLLATE KEZ
);

-- Short lists of codes (codType names the list: 12 reuse types, 13
-- packaging types), each item numbered by codNumb within its list.
CREATE TABLE Codici (
    codID INTEGER PRIMARY KEY AUTOINCREMENT,
    codType INTEGER DEFAULT 0,
    codNumb INTEGER DEFAULT 0,
    codAlfa TEXT COLLATE KEZ,
    codDesc TEXT COLLATE KEZ
);
CREATE UNIQUE INDEX CodiciTypeNumb ON Codici (codType, codNumb);

-- Economic activity codes (ATECO), six characters without points.
CREATE TABLE Attivita (
    attCod TEXT COLLATE KEZ NOT NULL PRIMARY KEY,
    attDesc TEXT COLLATE KEZ
);

-- Codes of Regulation (CE) 1013/2006 on shipments of waste.
CREATE TABLE CodRegCE (
    crcCod TEXT COLLATE KEZ NOT NULL PRIMARY KEY,
    crcDesc TEXT COLLATE KEZ
);

-- Municipalities merged or re-coded: the old ISTAT pair and the current one
-- with its postal code, for bringing old addresses up to date.
CREATE TABLE ComConv (
    prvOld INTEGER NOT NULL,
    comOld INTEGER NOT NULL,
    prvNew INTEGER DEFAULT 0,
    comNew INTEGER DEFAULT 0,
    capNew TEXT COLLATE KEZ,
    PRIMARY KEY (prvOld, comOld)
);
