#include "win/view/command_state_win.h"

#include <commctrl.h>

#include <iterator>

#include "resources/pane_ids.h"
#include "resources/question_pane_ids.h"
#include "win/base/app_state_win.h"
#include "win/view/list_mirror_win.h"

namespace qz {
namespace {


constexpr std::size_t kEditToolbarButtons = 5;

void enable_item(HMENU menu, int id, bool enabled) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = enabled ? MFS_ENABLED : MFS_GRAYED | MFS_DISABLED;
    SetMenuItemInfoW(menu, id, FALSE, &info);
}

bool has_selection() { return editor().selected_count() > 0; }

// In the line list, undo and redo walk the document's history.
unsigned list_edit_state() {
    unsigned flags = EDIT_SELECT_ALL;
    if (editor().can_undo()) flags |= EDIT_UNDO;
    if (editor().can_redo()) flags |= EDIT_REDO;
    if (IsClipboardFormatAvailable(CF_TEXT)) flags |= EDIT_PASTE;
    if (has_selection()) {
        flags |= EDIT_COPY;
        if (document().count() > 1) flags |= EDIT_CUT | EDIT_DELETE;
    }
    return flags;
}

unsigned pane_edit_state(HWND edit) {
    unsigned flags = EDIT_DELETE;
    if (SendMessageW(edit, EM_CANUNDO, 0, 0)) flags |= EDIT_UNDO;
    if (IsClipboardFormatAvailable(CF_TEXT)) flags |= EDIT_PASTE;
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    flags |= start != end ? EDIT_CUT | EDIT_COPY : EDIT_SELECT_ALL;
    // The title box of the question pane is read-only.
    if (GetDlgCtrlID(edit) == IDC_PANE_TITLE && editor().current_kind() == LINE_TEXT)
        flags &= ~(EDIT_CUT | EDIT_PASTE | EDIT_DELETE);
    return flags;
}

}  // namespace

bool is_pane_edit(HWND control) {
    if (!control || !app().pane || GetParent(control) != app().pane) return false;
    wchar_t cls[16] = {};
    GetClassNameW(control, cls, static_cast<int>(std::size(cls)));
    return lstrcmpiW(cls, L"Edit") == 0;
}

unsigned edit_state(HMENU menu) {
    HWND focus = GetFocus();
    unsigned flags = 0;
    if (focus && focus == app().line_list)
        flags = list_edit_state();
    else if (is_pane_edit(focus))
        flags = pane_edit_state(focus);

    if (menu) {
        for (const EditCommand& c : kEditCommands) enable_item(menu, c.id, flags & c.bit);
        const EditorModel& model = editor();
        int count = model.doc().count();
        enable_item(menu, CMD_MOVE_UP, count == 0 || !model.is_selected(0));
        enable_item(menu, CMD_MOVE_DOWN, count == 0 || !model.is_selected(count - 1));
        bool settings_lines = document().version >= 14;
        for (int id = CMD_INSERT_GROUP; id <= CMD_INSERT_FONT_COMMENT; ++id)
            enable_item(menu, id, settings_lines);
    }
    return flags;
}

void update_command_state() {
    Application& a = app();
    if (!a.main_window) return;
    HMENU menu = GetMenu(a.main_window);
    unsigned flags = edit_state(menu);
    if (menu) {
        HWND focus = GetFocus();
        int focus_id = is_pane_edit(focus) ? GetDlgCtrlID(focus) : 0;
        enable_item(menu, CMD_INSERT_IMAGE,
                    document().version >= 14 && (focus_id == IDC_QUESTION || focus_id == IDC_QUESTION_ANSWER ||
                                            focus_id == IDC_PANE_COMMENT));
        bool selection = has_selection();
        enable_item(menu, CMD_GROUP_CHANGE, selection);
        enable_item(menu, CMD_SORT, selection);
        enable_item(menu, CMD_SWAP_QUESTION_ANSWER, selection);
    }
    if (a.toolbar) {
        for (std::size_t i = 0; i < kEditToolbarButtons; ++i)
            SendMessageW(a.toolbar, TB_SETSTATE, kEditCommands[i].id,
                         MAKELPARAM(flags & kEditCommands[i].bit ? TBSTATE_ENABLED
                                                                 : TBSTATE_INDETERMINATE,
                                    0));
    }
}

}  // namespace qz
