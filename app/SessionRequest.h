#pragma once

// What the shell needs of the desktop's session manager when it asks the
// program to save its data: whether the user may be asked now, a way to
// stop the logout, and the word that the questions are over. The program
// hands it QSessionManager; a test hands it a script.
class SessionRequest
{
public:
    virtual ~SessionRequest() = default;
    // True when the session manager lets the program ask the user; it may
    // wait for its turn first.
    virtual bool allowsInteraction() = 0;
    // The logout stops and the program keeps running.
    virtual void cancel() = 0;
    // The questions are over: the session manager may go on.
    virtual void release() = 0;
};
