#include <QCoreApplication>

#include "FormRegistry.h"

namespace {
// A test program opens forms through the shell as the program does, so it
// registers them the same way as soon as its application exists.
void registerForms()
{
    FormRegistry::registerAll();
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(registerForms)
