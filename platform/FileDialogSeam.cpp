#include "FileDialogSeam.h"

#include <QFileDialog>
#include <QQueue>

namespace {

struct State
{
    bool scripted = false;
    QQueue<QString> names;
    QList<FileDialogSeam::Asked> asked;
};

State &state()
{
    static State s;
    return s;
}

QString answer(const FileDialogSeam::Asked &question)
{
    State &s = state();
    s.asked.append(question);
    // A scripted dialog with nothing queued is a cancel.
    return s.names.isEmpty() ? QString() : s.names.dequeue();
}

} // namespace

namespace FileDialogSeam {

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter)
{
    if (state().scripted)
        return answer({caption, directory, filter, false});
    state().asked.append({caption, directory, filter, false});
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter)
{
    if (state().scripted)
        return answer({caption, directory, filter, true});
    state().asked.append({caption, directory, filter, true});
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

void setScripted(bool scripted)
{
    state().scripted = scripted;
    state().names.clear();
}

bool isScripted()
{
    return state().scripted;
}

void pushFileName(const QString &fileName)
{
    state().names.enqueue(fileName);
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
