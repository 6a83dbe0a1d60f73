#include "SK_SRIU.h"

namespace {
const TypeSheet::Kind riutilizzo = {5,
                                    "Scheda SRIU",
                                    "Scheda SRIU - Riutilizzo Imballaggi a livello nazionale",
                                    true,
                                    12,
                                    "RecRiu",
                                    "riuID",
                                    "riuTipo",
                                    "qtaAlimentare",
                                    "USO ALIMENTARE ton/anno",
                                    "qtaAltriUsi",
                                    "  ALTRI USI   ton/anno",
                                    2400,
                                    600,
                                    "la corrente scheda SRIU",
                                    true};
}

SK_SRIU::SK_SRIU(QWidget *parent) : TypeSheet(riutilizzo, parent) {}
