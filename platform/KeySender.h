#pragma once

// Moves the focus as a Tab (or Shift+Tab) keystroke on the focused widget
// would, so Enter can move to the next field everywhere.
namespace KeySender {
void sendTab(bool backwards = false);
}
