// The customize property sheet: "日本語入力" (620) and "フォント" (619).
#pragma once

#include <windows.h>

#include <functional>

namespace qz {

// The "カスタマイズ(&C)..." command: the modal sheet over the main window.
// OK and Apply store the shown pages' settings into the preferences (a page
// never shown changes nothing); new fonts reach the pane at once.
void show_customize_sheet(HWND owner);

// Replace the fonts page's common dialogs for tests; they get what the
// dialog would start with, may change it and return true for OK. The
// colour dialog also gets the sixteen custom colours kept for the run. An
// empty function restores the dialog.
using FontColorDialogHook = std::function<bool(LOGFONTA& font, COLORREF& color)>;
void set_customize_font_dialog_hook(FontColorDialogHook hook);
using ColorDialogHook = std::function<bool(COLORREF& color, COLORREF* custom_colors)>;
void set_color_dialog_hook(ColorDialogHook hook);

}  // namespace qz
