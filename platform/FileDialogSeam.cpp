#include "FileDialogSeam.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

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

// A name typed without an extension gets the filter's from the dialog
// itself, before it looks for the file: the file it asks about replacing is
// the one that will be written, and the caller adds nothing after it. A
// scripted answer is given the extension the same way.
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter)
{
    state().asked.append({caption, directory, filter, true});
    static const QRegularExpression firstExtension(QStringLiteral("\\*\\.(\\w+)"));
    const QString suffix = firstExtension.match(filter).captured(1);
    if (state().scripted) {
        const QString name = state().next(QString());
        const bool bare = !name.isEmpty() && !suffix.isEmpty() && !QFileInfo(name).fileName().contains(u'.');
        return bare ? name + u'.' + suffix : name;
    }
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
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
