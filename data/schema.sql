-- Placeholder until the full schema lands.
CREATE TABLE Config (CnfID INTEGER PRIMARY KEY AUTOINCREMENT, CnfDbVer TEXT COLLATE KEZ, CnfType INTEGER);
INSERT INTO Config (CnfDbVer, CnfType) VALUES ('2022.1', 0);
