#pragma once

class QProgressBar;
class slxButton;

// A dialog's long job (an import, an export) while it runs: the start
// button is off, the close button reads "Annulla", the pointer waits, and
// each step moves the bar and lets the window answer, so that "Annulla"
// or closing the window can set the dialog's stop flag. Ending the job
// puts the buttons and the pointer back.
class LongRun
{
public:
    LongRun(slxButton *start, slxButton *close, QProgressBar *bar, bool &running, bool &stop);
    ~LongRun();
    LongRun(const LongRun &) = delete;
    LongRun &operator=(const LongRun &) = delete;

    // Moves the bar to done; false once the user has asked to stop or the
    // desktop session has ended.
    bool step(int done);

private:
    slxButton *m_start;
    slxButton *m_close;
    QProgressBar *m_bar;
    bool &m_running;
    bool &m_stop;
    bool m_wasWaiting;
};
