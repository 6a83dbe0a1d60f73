#pragma once

#include <QString>

class QWidget;

// A form with a save question of its own. Whoever closes it (its own
// "Chiudi", Esc, the side bar, the menu, the main window), the session
// manager before a logout, and the form itself before it shows another
// record in place of the one shown ask through one routine, so the value
// still being typed or chosen, the question, the save and what a refused
// save does are one piece of code whoever asks.
class UnloadQuery
{
public:
    // Who asks the form whether it may go. A close is asked only while
    // someone may answer; the session manager asks only when it lets the
    // user answer.
    enum class Asker { Close, SessionManager };

    virtual ~UnloadQuery() = default;

    // Takes the value shown in the focused control as a leave of the form
    // would, then asks to save the changes, when there are any, and saves
    // on Sì. True when the form may go; false when it must stay as it is:
    // the value shown was refused, the user answered Annulla, or the save
    // was refused (its message already shown, the focus on the field).
    bool queryUnload(Asker asker);
    // The same before the record shown gives way to another (a navigator
    // button, "Nuovo", a record picked from a list, another subject's
    // code), asked with prompt. True when the form may move on; its grids'
    // cell editors are then closed, what they showed already taken.
    bool queryMove(const QString &prompt);
    // Whether the form holds a change, the value still being typed
    // included; asks nothing and shows nothing.
    bool holdsChanges();

protected:
    // The form's widget: where the value still being typed is looked for.
    virtual QWidget *unloadScope() = 0;
    virtual bool hasChanges() const = 0;
    virtual QString unloadPrompt() const = 0;
    // Stores the changes; false when the checks refused them.
    virtual bool saveChanges() = 0;

private:
    bool takeAndAsk(const QString &prompt);
};
