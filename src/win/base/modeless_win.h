// The modeless windows open now, which the message loop asks about each
// message: the window a message is for gets it for its dialog navigation
// (Tab, Enter, Esc, mnemonics) instead of the main window.
#pragma once

#include <windows.h>

namespace qz {

// When the message loop asks a window: before the main window's
// accelerators (a window that takes keys the menu has too) or after them.
enum class ModelessTurn { before_accelerators, after_accelerators };

// Keys a window handles itself before its dialog navigation; true when
// it took the message.
using ModelessKeys = bool (*)(MSG& msg);

// A window opened (from its WM_INITDIALOG or right after it was created)
// and closed (from its WM_DESTROY).
void add_modeless(HWND window, ModelessTurn turn, ModelessKeys keys = nullptr);
void remove_modeless(HWND window);

// Offers the message to the window of this turn it is for; true when taken.
bool modeless_message(MSG& msg, ModelessTurn turn);

// Creates the modeless dialog `resource` into `window` unless it is open,
// after leaving the editing pane (which commits its pending edit); false
// when it could not be made.
bool open_modeless(HWND& window, int resource, DLGPROC procedure, HWND owner);
// Shows the window in front, the focus on `focus`.
void bring_forward(HWND window, HWND focus);

}  // namespace qz
