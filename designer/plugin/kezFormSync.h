#pragma once

class PropertyPageDialog;
class QDesignerFormWindowInterface;

// How the property pages' writes reach a form open in Qt Designer: through
// the form window's cursor, one undo step per Apply, so the form's file
// records them.
namespace kezFormSync {

void attach(QDesignerFormWindowInterface *form, PropertyPageDialog *dialog);
}
