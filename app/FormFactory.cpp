#include "FormFactory.h"

#include <QWidget>

// Each form joins here as it is written: a code whose form the program
// does not have yet opens nothing.
namespace FormFactory {

QWidget *showChild(int formCode)
{
    switch (formCode) {
    default:
        return nullptr;
    }
}

bool execDialog(int formCode)
{
    switch (formCode) {
    default:
        return false;
    }
}

} // namespace FormFactory
