#include "ProgramForms.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>

#include "TestSupport.h"

namespace ProgramForms {

QStringList paths()
{
    QStringList forms;
    const QDir source(TestSupport::sourceDir());
    for (const QString &folder : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (folder == QLatin1String("tests") || folder.startsWith(QLatin1String("build")))
            continue;
        QDirIterator it(source.filePath(folder), {QStringLiteral("*.ui")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            forms << it.next();
    }
    forms.sort();
    return forms;
}

void addRows()
{
    QTest::addColumn<QString>("path");
    const QDir source(TestSupport::sourceDir());
    for (const QString &path : paths())
        QTest::newRow(qPrintable(source.relativeFilePath(path))) << path;
}
}
