// The editor's process-wide state, which every window of the shell shares.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/document/card_document.h"
#include "core/document/editor_model.h"
#include "core/prefs/preferences.h"
#include "core/prefs/settings_file.h"
#include "core/print/print_settings.h"
#include "core/layout/layout.h"
#include "win/base/dpi_win.h"

namespace qz {

inline constexpr char kMainWindowClass[] = "QuizoEditor";
inline constexpr char kSeparatorClass[] = "QuizoEditSeparator";
inline constexpr char kHelpFileName[] = "QZOEDIT.CHM";

// The one instance of everything the editor's windows share.
struct Application {
    HINSTANCE instance = nullptr;
    HWND main_window = nullptr;
    HWND line_list = nullptr;
    HWND toolbar = nullptr;
    HWND status_bar = nullptr;
    HWND separator = nullptr;
    HWND pane = nullptr;  // null until a line was first shown
    HACCEL accelerators = nullptr;

    std::string settings_path = kSettingsFileName;
    std::string help_path = kHelpFileName;

    Preferences prefs;
    Preferences default_prefs;
    PrintSettings print;
    // The editor model owns the open document, its file name and whether
    // it is read-only. The Windows side changes it only through editor()
    // (list_mirror_win.h), which first takes over the list's selection when
    // the list is ahead of it, and reads the document through document().
    EditorModel editor;
    // The last text confirmed in the find dialog.
    std::optional<std::string> search_text;
    // The last text replacing put in (the replace dialog shares the search
    // text and conditions with find).
    std::string replacement_text;
};

Application& app();

// The open document, to read: every change goes through the editor model.
const CardDocument& document();

// Centres a dialog over its owner, inside the desktop work area.
void center_dialog(HWND dialog);

// WM_GETMINMAXINFO of a resizable window: it is not made smaller than this.
inline void set_minimum_size(LPARAM minmaxinfo, int width, int height) {
    reinterpret_cast<MINMAXINFO*>(minmaxinfo)->ptMinTrackSize = {width, height};
}
// The same with the size in 96-dpi units, scaled to the window's display scale.
inline void set_minimum_size(HWND window, LPARAM minmaxinfo, int width, int height) {
    const int dpi = window_dpi(window);
    set_minimum_size(minmaxinfo, scale_for_dpi(width, dpi), scale_for_dpi(height, dpi));
}

// Brings another copy's window to the front (restored when minimised).
void bring_to_front(HWND window);

}  // namespace qz
