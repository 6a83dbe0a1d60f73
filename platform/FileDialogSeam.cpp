#include "FileDialogSeam.h"

#include <QFileDialog>

#include "ScriptedAnswers.h"

namespace {

ScriptedAnswers<QString, FileDialogSeam::Asked> &state()
{
    static ScriptedAnswers<QString, FileDialogSeam::Asked> s;
    return s;
}

} // namespace

namespace FileDialogSeam {

// A scripted dialog with nothing queued is a cancel.
QString getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter)
{
    state().asked.append({caption, directory, filter, false});
    if (state().scripted)
        return state().next(QString());
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter)
{
    state().asked.append({caption, directory, filter, true});
    if (state().scripted)
        return state().next(QString());
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

void setScripted(bool scripted)
{
    state().setScripted(scripted);
}

bool isScripted()
{
    return state().scripted;
}

void pushFileName(const QString &fileName)
{
    state().answers.enqueue(fileName);
}

QList<Asked> asked()
{
    return state().asked;
}

void clearAsked()
{
    state().asked.clear();
}

} // namespace FileDialogSeam
