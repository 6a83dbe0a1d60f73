#pragma once

#include <QList>
#include <QString>

class QWidget;

// The common file dialog, behind a seam: tests queue the next chosen file
// name (an empty name is a cancel) and read back what the dialog was asked.
namespace FileDialogSeam {

struct Asked
{
    QString caption;
    QString directory;
    QString filter;
    bool save = false;
};

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter);
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                        const QString &filter);

void setScripted(bool scripted);
bool isScripted();
void pushFileName(const QString &fileName);
QList<Asked> asked();
void clearAsked();
}
