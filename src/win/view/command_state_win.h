// The enabled state of the Edit commands, the menus and the toolbar buttons,
// from the focused control and the editor's state.
#pragma once

#include <windows.h>

#include "resources/resource.h"

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

// True for an edit control of the editing pane.
bool is_pane_edit(HWND control);

// The Edit commands and their bits in the edit state; the first five have
// toolbar buttons.
struct EditCommand {
    int id;
    unsigned bit;
};
inline constexpr EditCommand kEditCommands[] = {
    {CMD_UNDO, EDIT_UNDO},     {CMD_CUT, EDIT_CUT},       {CMD_COPY, EDIT_COPY},
    {CMD_PASTE, EDIT_PASTE},   {CMD_DELETE, EDIT_DELETE}, {CMD_SELECT_ALL, EDIT_SELECT_ALL},
    {CMD_REDO, EDIT_REDO},
};

}  // namespace qz
