#pragma once

#include "modFunz.h"

// A form with a save question of its own. Its close asks through here, and
// so does the session manager before a logout, so the question, the save
// and what a refused save does are one piece of code whoever asks.
class UnloadQuery
{
public:
    virtual ~UnloadQuery() = default;
    // Asks to save the changes, when there are any, and saves on Yes.
    // Cancel comes back true when the form must stay as it is: the user
    // cancelled, or the save was refused (its message already shown).
    virtual void QueryUnload(bool &Cancel, modFunz::UnloadMode UnloadMode) = 0;
};
