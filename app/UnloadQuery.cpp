#include "UnloadQuery.h"

#include <QWidget>

#include "FocusValidator.h"
#include "modFunz.h"
#include "modMain.h"
#include "slxGrid.h"

bool UnloadQuery::queryUnload(Asker asker)
{
    // Nobody may answer: the forms go as they are, the typed value too.
    if (asker == Asker::Close
        && (modMain::closeRound == modMain::CloseRound::Silently || modMain::sessionEnded()))
        return true;
    return takeAndAsk(unloadPrompt());
}

bool UnloadQuery::queryMove(const QString &prompt)
{
    if (!takeAndAsk(prompt))
        return false;
    // The record is settled before another takes its place: what an open
    // cell editor held has been taken above, and left open it would write
    // into the next record when the focus goes.
    const QList<slxGrid *> grids = unloadScope()->findChildren<slxGrid *>();
    for (slxGrid *grid : grids)
        grid->cancelEdit();
    return true;
}

bool UnloadQuery::takeAndAsk(const QString &prompt)
{
    // A value typed or chosen and not yet left counts as entered: it passes
    // the control's own check, and a refusal stops the close as a Tab would.
    if (!FocusValidator::instance().checkPendingEdit(unloadScope()))
        return false;
    if (!hasChanges())
        return true;
    return modFunz::askSaveOnUnload(prompt, [this] { return saveChanges(); });
}

bool UnloadQuery::holdsChanges()
{
    return hasChanges() || FocusValidator::instance().hasPendingEdit(unloadScope());
}
