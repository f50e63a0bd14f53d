// The main window: its procedure only dispatches to the handlers.
#pragma once

#include <windows.h>

namespace qz {

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

}  // namespace qz
