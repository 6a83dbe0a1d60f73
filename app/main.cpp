#include <QApplication>

#include "modMain.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    if (!modMain::subMain(arguments))
        return 0;
    return app.exec();
}
