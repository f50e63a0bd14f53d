// Replace: a modeless dialog over the main window that replaces the search
// text in the fields of the lines, one line at a time or all at once. It
// shares the search text and the search conditions with find.
#pragma once

#include <windows.h>

namespace qz {

// The "置換(&H)..." command: shows the dialog (brought forward, its texts
// and scope set again, when it is already open).
void show_replace_dialog(HWND owner);

// The dialog, or null while it is closed.
HWND replace_dialog();


}  // namespace qz
