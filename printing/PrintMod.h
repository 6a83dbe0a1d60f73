#pragma once

#include <QString>

class PdfPages;

// The printed layouts of the program: every sheet and module of a
// declaration, and the list of declarations by chamber of commerce, read
// from the tables and drawn on PdfPages; and the PDF files they go to in
// the program's folder, older prints of the same kind removed first.
namespace PrintMod {

// The sections of a declaration that can be printed, as flags.
enum Sezione {
    SezSA1 = 1,
    SezCONS = 2,     // consortia sheets with their origin and destination modules
    SezSBOP = 4,
    SezSMAT = 8,
    SezSRIU = 16,
    SezSTIP = 32
};

// The sections that hold rows for the declaration (SezSA1 when it exists);
// -1 when they could not be read (the error box has said why).
int sezioniPresenti(int saID);
// Company, codice fiscale and local unit of the declaration; empty when
// there is no such declaration.
QString descriviDichiarazione(int saID);

// False, drawing nothing, when the declaration does not exist, and when a
// read failed: then letta, when given, is false, the error box has said why
// and what was drawn is no print.
bool disegnaDichiarazione(PdfPages &doc, int saID, int sezioni, bool *letta = nullptr);
// chamber: the province code of a chamber of commerce, 0 for all of them.
// Returns how many declarations were listed; letta as above.
int disegnaElenco(PdfPages &doc, int chamber, bool *letta = nullptr);

// The whole print: the file written, older files of the kind removed and
// the new one handed to the desktop's viewer. Returns the file written,
// empty when nothing was (the user has been told why; older prints kept).
QString stampaDichiarazione(int saID, int sezioni);
QString stampaElenco(int chamber);

// Removes the prints of a kind ("_prn_" or "_lst_") but the one to keep;
// what cannot be removed (a file open in a viewer) is left and counted.
int eliminaStampePrecedenti(const QString &tipo, const QString &tenere = QString());
}
