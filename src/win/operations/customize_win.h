// The customize property sheet: "日本語入力" (620), "フォント" (619) and
// "自動回復" (626).
#pragma once

#include <windows.h>

#include <functional>

#include "core/prefs/customize.h"

namespace qz {

// What the sheet shows, and what its OK and Apply hand each shown page's
// settings to (a page never shown hands nothing): the caller stores them.
struct CustomizeRequest {
    ImeChoices ime;
    FontChoices fonts;
    FontChoices default_fonts;  // what the fonts page's Reset shows
    std::function<void(const ImeChoices&)> apply_ime;
    std::function<void(const FontChoices&)> apply_fonts;
    int recovery_interval = 30;  // seconds
    std::function<void(int)> apply_recovery;
};
void run_customize_sheet(HWND owner, const CustomizeRequest& request);

// The "カスタマイズ(&C)..." command: the modal sheet over the main window,
// whose OK and Apply store into the preferences; new fonts reach the pane
// at once.
void show_customize_sheet(HWND owner);

// Replaces the fonts page's font dialog for tests; it gets what the dialog
// would start with, may change it and returns true for OK. An empty
// function restores the dialog. (The colour dialog: color_chooser_win.h.)
using FontColorDialogHook = std::function<bool(LOGFONTW& font, COLORREF& color)>;
void set_customize_font_dialog_hook(FontColorDialogHook hook);

}  // namespace qz
