#include "LongRun.h"

#include <QCoreApplication>
#include <QProgressBar>

#include "modFunz.h"
#include "modMain.h"
#include "slxButton.h"

LongRun::LongRun(slxButton *start, slxButton *close, QProgressBar *bar, bool &running, bool &stop)
    : m_start(start), m_close(close), m_bar(bar), m_running(running), m_stop(stop)
{
    m_running = true;
    m_stop = false;
    m_bar->setValue(0);
    m_start->setEnabled(false);
    m_close->setCaption(QStringLiteral("Annulla"));
    m_wasWaiting = modFunz::setWaitCursor(true);
}

LongRun::~LongRun()
{
    modFunz::setWaitCursor(m_wasWaiting);
    m_running = false;
    m_start->setEnabled(true);
    m_close->setCaption(QStringLiteral("Chiudi"));
}

bool LongRun::step(int done)
{
    m_bar->setValue(done);
    QCoreApplication::processEvents();
    // At the session's end nobody can wait for the rest: the job stops as
    // the clerk's "Annulla" stops it.
    return !m_stop && !modMain::sessionEnded();
}
