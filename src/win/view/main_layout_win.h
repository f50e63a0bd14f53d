// Where the line list, the separator bar and the pane sit in the main window.
#pragma once

#include <windows.h>

#include "win/base/dpi_win.h"

namespace qz {

// Height of a child window; 0 when it is missing or hidden.
int visible_height(HWND child);

// Places the line list, the separator bar and the pane in the client area.
void layout_main_window();

// Marks a window, its frame and its children to be drawn whole with the
// next paint.
void redraw_whole(HWND window);

// Shows a hidden child window (the list, a pane) where it was placed,
// drawn, frame and children, with the next paint. Shown the usual way, the
// system draws its frame and background at once, and the window is drawn
// again when its contents come (a scroll bar of the theme under some
// systems takes milliseconds).
void show_child_window(HWND child);

}  // namespace qz
