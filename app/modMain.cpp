#include "modMain.h"

// Placeholder entry until the shell lands: the program starts and ends.
namespace modMain {
bool subMain(const QStringList &, const QString &)
{
    return false;
}
}
