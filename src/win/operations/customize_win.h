// The customize property sheet: "日本語入力" (620) and "フォント" (619).
#pragma once

#include <windows.h>

#include <functional>

namespace qz {

// The "カスタマイズ(&C)..." command: the modal sheet over the main window.
// OK and Apply store the shown pages' settings into the preferences (a page
// never shown changes nothing); new fonts reach the pane at once.
void show_customize_sheet(HWND owner);

// Replaces the fonts page's font dialog for tests; it gets what the dialog
// would start with, may change it and returns true for OK. An empty
// function restores the dialog. (The colour dialog: color_chooser_win.h.)
using FontColorDialogHook = std::function<bool(LOGFONTA& font, COLORREF& color)>;
void set_customize_font_dialog_hook(FontColorDialogHook hook);

}  // namespace qz
