#pragma once

#include <QStringList>

// The program's own forms: every .ui file in its source folders.
namespace ProgramForms {

QStringList paths();
// A data table of one column "path", a row per form.
void addRows();
}
