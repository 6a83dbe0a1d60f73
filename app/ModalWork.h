#pragma once

// A modal window that can tell whether closing it now would lose the clerk
// something: a job at work, a choice not yet applied, an edit not yet
// saved. One that holds nothing lets a logout go on; a modal window that
// cannot tell is taken to hold something.
class ModalWork
{
public:
    virtual ~ModalWork() = default;
    virtual bool holdsWork() const = 0;
};
