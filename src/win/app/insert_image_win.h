// The Insert Image command: a picture reference typed into the focused
// field of the editing pane.
#pragma once

#include <windows.h>

namespace qz {

// Command 82 "画像を挿入(&I)...".
void insert_image_reference(HWND main_window);

}  // namespace qz
