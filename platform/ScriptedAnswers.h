#pragma once

#include <QList>
#include <QQueue>

// What a dialog seam keeps for tests: whether it is scripted, the answers
// queued for the next dialogs and every question asked, scripted or not.
template <typename Answer, typename Question>
struct ScriptedAnswers
{
    bool scripted = false;
    QQueue<Answer> answers;
    QList<Question> asked;

    // Switching either way drops answers meant for the other mode.
    void setScripted(bool on)
    {
        scripted = on;
        answers.clear();
    }

    // The next queued answer; once the queue is empty, fallback.
    Answer next(const Answer &fallback)
    {
        return answers.isEmpty() ? fallback : answers.dequeue();
    }
};
