#include "SK_STIP.h"

namespace {
const TypeSheet::Kind tipologie = {6,
                                   "Scheda STIP",
                                   "Scheda STIP - Tipologie",
                                   false,
                                   13,
                                   "RecTip",
                                   "tipID",
                                   "tipTipo",
                                   "qtaPrimari",
                                   "IMBALLAGGI PRIMARI ton/anno",
                                   "qtaSecondari",
                                   "IMBALLAGGI SECONDARI E TERZIARI ton/anno",
                                   2700,
                                   900,
                                   "la corrente scheda STIP",
                                   false};
}

SK_STIP::SK_STIP(QWidget *parent) : TypeSheet(tipologie, parent) {}
