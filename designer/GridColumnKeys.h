#pragma once

#include "PropertyBag.h"

class QObject;
class slxGrid;

// A grid's columns in a form's .ui file: one value per column key
// ("Col01Caption", "Col02Width"...) stored on the grid, read back when the
// form has set them all.
namespace GridColumnKeys {

// Whether name is a column key.
bool isColumnKey(const QByteArray &name);

// The keys the form stores for the grid's columns. The last column always
// keeps its width, so the column count survives columns left at their
// defaults.
PropertyBag of(const slxGrid *grid);

// Sets the grid's column keys on it, as a form does, dropping the keys of
// columns it no longer has.
void store(slxGrid *grid);

// Makes grid rebuild its columns once column keys have been set on it (a
// form opened in the designer), after the last of them.
void watch(slxGrid *grid);
}
