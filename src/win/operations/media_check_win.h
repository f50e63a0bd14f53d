// The media check window (631): a modeless list of the pictures the
// document's references and its folder disagree on, one row per finding,
// leading to its first line; unused files can go to the Recycle Bin.
#pragma once

#include <windows.h>

namespace qz {

// The "画像の確認..." command: checks the document and shows the window
// (brought forward, checked again, when it is already open).
void show_media_check(HWND owner);

// The window, or null while it is closed.
HWND media_check_window();

// Focuses row `row` and goes to its first line, as a double-click does.
void activate_media_row(int row);

// Asks, then moves the files no line uses to the Recycle Bin (undoable
// there) and checks again; as the window's button does.
void recycle_unused_pictures();

}  // namespace qz
