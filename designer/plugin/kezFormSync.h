#pragma once

class PropertyPageDialog;
class QDesignerFormWindowInterface;
class slxGrid;

// How the property pages' writes reach a form open in Qt Designer: through
// the form window's cursor, one undo step per Apply, so the form's file
// records them.
namespace kezFormSync {

void attach(QDesignerFormWindowInterface *form, PropertyPageDialog *dialog);
// Writes the grid's columns into the form as their column keys.
void storeColumns(QDesignerFormWindowInterface *form, slxGrid *grid);
}
