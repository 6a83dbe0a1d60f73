#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through here, so that tests can
// answer it and read back what was asked.
//
// Styles are the sums of the classic flags: 0 OK, 1 OK/Cancel, 3 Yes/No/
// Cancel, 4 Yes/No; 16 critical, 32 question, 48 exclamation, 64 information
// icon; 256 second button default. Answers: 1 OK, 2 Cancel, 6 Yes, 7 No.
namespace MessageBoxSeam {

enum Answer { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

struct Asked
{
    QString text;
    QString title;
    int style = 0;
};

// Shows the box (or, while scripted, takes the next scripted answer) and
// records what was asked.
int show(QWidget *parent, const QString &text, int style, const QString &title);

// Once the desktop session has ended nobody is there to answer: a box is
// neither shown nor recorded, scripted answers stay queued, and it answers
// what drops nothing and saves nothing: Cancel where the box has it, else
// No, else OK. The shell says once how to know (null: never).
void setSessionEnded(std::function<bool()> ended);

// Tests: from now on no box is shown; each one takes the next queued
// answer, or its default button when the queue is empty.
void setScripted(bool scripted);
bool isScripted();
void pushAnswer(int answer);
QList<Asked> asked();
void clearAsked();
// The default button's answer of a style.
int defaultAnswer(int style);
}
