// The display scale a window is shown at.
#pragma once

#include <windows.h>

namespace qz {

// The dots per inch the window is shown at: GetDpiForWindow where user32
// has it (Windows 10 1607 on), otherwise the screen's.
int window_dpi(HWND window);

}  // namespace qz
