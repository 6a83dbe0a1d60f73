#pragma once

// Where the program meets its forms: every form of the declaration, the
// export, the printing and the shell's own dialogs is registered with the
// shell's form factory here, under its open-form code. The program's entry
// calls it once before the shell starts; so does each test that opens
// forms through the shell.
namespace FormRegistry {
void registerAll();
}
