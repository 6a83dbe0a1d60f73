#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "FormRegistry.h"
#include "modMain.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program speaks Italian whatever the desktop's language: Qt's own
    // texts (file dialogs, context menus) too.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);

    FormRegistry::registerAll();
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    if (!modMain::subMain(arguments))
        return 0;
    // A session that ended while the program started leaves no loop to run.
    const int status = modMain::sessionEnded() ? 0 : app.exec();
    modMain::closeProgram();
    return status;
}
