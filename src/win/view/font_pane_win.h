// The font pane (dialog 603): edits the font lines "$FontTitle=" ...
// "$FontComment=" (size, charset, face name, optional comment).
#pragma once

#include <windows.h>

#include <functional>

namespace qz {

// The "変更(&F)..." button: shows the font dialog for the font the fields
// describe and, on OK, puts the chosen size, charset and face name in the
// fields and commits the pane.
void choose_pane_font(HWND pane);

// Replaces the font dialog for tests: gets the font the dialog would start
// with, may change it, and returns true for OK or false for Cancel. An
// empty function restores the dialog.
using FontDialogHook = std::function<bool(LOGFONTW& font)>;
void set_font_dialog_hook(FontDialogHook hook);

}  // namespace qz
