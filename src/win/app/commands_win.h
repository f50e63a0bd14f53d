// Command dispatch.
#pragma once

#include <windows.h>

namespace qz {

// Runs a command; false for a number that is no command.
bool dispatch_command(HWND main_window, int id);

}  // namespace qz
