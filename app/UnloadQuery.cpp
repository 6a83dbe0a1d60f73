#include "UnloadQuery.h"

#include <QWidget>

#include "FocusValidator.h"
#include "MessageBoxSeam.h"
#include "modFunz.h"
#include "modMain.h"

bool UnloadQuery::queryUnload(Asker asker)
{
    // Nobody may answer: the forms go as they are, the typed value too.
    if (asker == Asker::Close
        && (modMain::closeRound == modMain::CloseRound::Silently || modMain::sessionEnded()))
        return true;
    // A value typed and not yet left counts as typed: it passes the field's
    // own check, and a refusal stops the close as a Tab would.
    if (!FocusValidator::instance().checkPendingEdit(unloadScope()))
        return false;
    if (!hasChanges())
        return true;
    switch (modFunz::askSaveOnUnload(unloadPrompt())) {
    case MessageBoxSeam::vbYes:
        return saveChanges();
    case MessageBoxSeam::vbNo:
        return true;
    default:
        return false;
    }
}

bool UnloadQuery::holdsChanges()
{
    return hasChanges() || FocusValidator::instance().hasPendingEdit(unloadScope());
}
