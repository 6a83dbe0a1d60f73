#include "FileDialogSeam.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QRegularExpression>

#include "ScriptedAnswers.h"

namespace {

ScriptedAnswers<QString, FileDialogSeam::Asked> &state()
{
    static ScriptedAnswers<QString, FileDialogSeam::Asked> s;
    return s;
}

// Qt's file list writes sizes and dates the desktop's way (its model asks
// the system's locale, not the program's): the dialog shows its files
// through this, which writes them as on an Italian desktop.
class ItalianFileList : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        static const QLocale italian(QLocale::Italian, QLocale::Italy);
        const QModelIndex file = mapToSource(index);
        if (index.column() == SizeColumn && !files->isDir(file))
            return italian.formattedDataSize(files->size(file));
        if (index.column() == DateColumn)
            return italian.toString(files->lastModified(file), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }

private:
    enum { SizeColumn = 1, DateColumn = 3 };
};

// Qt's own dialog, not the desktop's: it speaks the program's Italian
// whatever the desktop's language.
void makeItalian(QFileDialog &dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ItalianFileList(&dialog));
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
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    makeItalian(dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
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
    makeItalian(dialog);
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
