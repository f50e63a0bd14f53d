// Command dispatch and the enabled state of menus and toolbar buttons.
#pragma once

#include <windows.h>

namespace qz {

// Which Edit commands the focused control allows.
enum EditState : unsigned {
    EDIT_UNDO = 0x01,
    EDIT_CUT = 0x02,
    EDIT_COPY = 0x04,
    EDIT_PASTE = 0x08,
    EDIT_DELETE = 0x10,
    EDIT_SELECT_ALL = 0x20,
    EDIT_REDO = 0x40,
};

// The edit state of the focused control; with a menu, also enables and
// grays its Edit items, the move items and the settings-line inserts.
unsigned edit_state(HMENU menu = nullptr);

// Applies the rules to the main menu and the toolbar.
void update_command_state();

// Runs a command; false for a number that is no command.
bool dispatch_command(HWND main_window, int id);

// True for an edit control of the editing pane.
bool is_pane_edit(HWND control);

}  // namespace qz
