#include "win/app/commands_win.h"
#include "win/view/command_state_win.h"

#include <commctrl.h>

#include <iterator>

#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/app/exchange_win.h"
#include "win/app/file_commands_win.h"
#include "win/base/help_win.h"
#include "win/operations/about_dialog_win.h"
#include "win/operations/bulk_edit_win.h"
#include "win/operations/clipboard_win.h"
#include "win/operations/customize_win.h"
#include "win/operations/data_info_win.h"
#include "win/operations/find_win.h"
#include "win/operations/line_edit_win.h"
#include "win/operations/page_setup_dialog_win.h"
#include "win/operations/print_job_win.h"
#include "win/operations/print_preview_win.h"
#include "win/operations/replace_win.h"
#include "win/operations/select_dialog_win.h"
#include "win/operations/sort_dialog_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/app/insert_image_win.h"
#include "win/operations/problem_check_win.h"
#include "win/operations/media_check_win.h"
#include "win/operations/marks_win.h"

namespace qz {
namespace {

// Shows or hides the toolbar (SHOW_TOOLBAR) or the status bar
// (SHOW_STATUS_BAR), checks its View menu item and lays the window out.
void toggle_bar(HWND hwnd, unsigned bit) {
    Application& a = app();
    HWND bar = bit == SHOW_TOOLBAR ? a.toolbar : a.status_bar;
    const UINT item = bit == SHOW_TOOLBAR ? CMD_TOGGLE_TOOLBAR : CMD_TOGGLE_STATUS_BAR;
    const bool show = !(a.prefs.Flags & bit);
    a.prefs.Flags = static_cast<std::uint8_t>(show ? a.prefs.Flags | bit : a.prefs.Flags & ~bit);
    ShowWindow(bar, show ? SW_SHOW : SW_HIDE);
    CheckMenuItem(GetMenu(hwnd), item, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
    RECT client;
    GetClientRect(hwnd, &client);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

// ---- Edit commands: routed to the line list or the focused edit control.

void edit_command(HWND main_window, int id) {
    unsigned bit = 0;
    for (const EditCommand& c : kEditCommands)
        if (c.id == id) bit = c.bit;
    if (!(edit_state() & bit)) return;
    HWND focus = GetFocus();
    if (focus == app().line_list) {
        switch (id) {
        case CMD_UNDO: undo_change(); break;
        case CMD_REDO: redo_change(); break;
        case CMD_DELETE: delete_selected_lines(main_window); break;
        case CMD_SELECT_ALL: select_all_lines(); break;
        case CMD_CUT: cut_lines(main_window); break;
        case CMD_COPY: copy_lines_to_clipboard(main_window); break;
        case CMD_PASTE: paste_lines(); break;
        }
    } else if (is_pane_edit(focus)) {
        switch (id) {
        case CMD_UNDO: SendMessageW(focus, EM_UNDO, 0, 0); break;
        case CMD_CUT: SendMessageW(focus, WM_CUT, 0, 0); break;
        case CMD_COPY: SendMessageW(focus, WM_COPY, 0, 0); break;
        case CMD_PASTE: SendMessageW(focus, WM_PASTE, 0, 0); break;
        case CMD_DELETE: SendMessageW(focus, WM_KEYDOWN, VK_DELETE, 0); break;
        case CMD_SELECT_ALL: SendMessageW(focus, EM_SETSEL, 0, -1); break;
        }
    }
    update_command_state();
}

// ---- The command table.

using Handler = void (*)(HWND main_window, int id);

// Commands 93-99 insert the settings line of their row.
void insert_settings(HWND main_window, int id) {
    static constexpr struct {
        int id, kind;
    } kKinds[] = {{CMD_INSERT_GROUP, LINE_GROUP},
                  {CMD_INSERT_MESSAGE, LINE_MESSAGE},
                  {CMD_INSERT_FONT_TITLE, LINE_FONT_TITLE},
                  {CMD_INSERT_FONT_QUESTION, LINE_FONT_QUESTION},
                  {CMD_INSERT_FONT_ANSWER, LINE_FONT_ANSWER},
                  {CMD_INSERT_FONT_GROUP, LINE_FONT_GROUP},
                  {CMD_INSERT_FONT_COMMENT, LINE_FONT_COMMENT}};
    for (const auto& k : kKinds)
        if (k.id == id) add_settings_line(main_window, k.kind);
}

struct Command {
    int id;
    Handler run;
};

const Command kCommands[] = {
    {CMD_NEW, [](HWND w, int) { new_document(w); }},
    {CMD_OPEN, [](HWND w, int) { open_file_command(w); }},
    {CMD_SAVE, [](HWND w, int) { save_document(w); }},
    {CMD_SAVE_AS, [](HWND w, int) { save_as(w); }},
    {CMD_DATA_INFO, [](HWND w, int) { show_data_information(w); }},
    {CMD_PAGE_SETUP, [](HWND w, int) { show_page_setup(w); }},
    {CMD_PRINT, [](HWND w, int) { print_command(w); }},
    {CMD_PRINT_PREVIEW, [](HWND w, int) { show_print_preview(w); }},
    {CMD_EXIT, [](HWND w, int) { SendMessageW(w, WM_CLOSE, 0, 0); }},
    {CMD_UNDO, edit_command},
    {CMD_REDO, edit_command},
    {CMD_CUT, edit_command},
    {CMD_COPY, edit_command},
    {CMD_PASTE, edit_command},
    {CMD_DELETE, edit_command},
    {CMD_SELECT_ALL, edit_command},
    {CMD_FIND, [](HWND w, int) { show_find_dialog(w); }},
    {CMD_FIND_NEXT, [](HWND w, int) { find_next(w); }},
    {CMD_FIND_PREVIOUS, [](HWND w, int) { find_previous(w); }},
    {CMD_REPLACE, [](HWND w, int) { show_replace_dialog(w); }},
    {CMD_SORT, [](HWND w, int) { show_sort_dialog(w); }},
    {CMD_INSERT_IMAGE, [](HWND w, int) { insert_image_reference(w); }},
    {CMD_GROUP_CHANGE, [](HWND w, int) { change_group_of_selection(w); }},
    {CMD_ADD_QUESTION, [](HWND w, int) { add_question_line(w, true); }},
    {CMD_ADD_TITLE, [](HWND w, int) { add_title_line(w, true); }},
    {CMD_INSERT_TITLE, [](HWND w, int) { add_title_line(w, false); }},
    {CMD_INSERT_QUESTION, [](HWND w, int) { add_question_line(w, false); }},
    {CMD_INSERT_GROUP, insert_settings},
    {CMD_INSERT_MESSAGE, insert_settings},
    {CMD_INSERT_FONT_TITLE, insert_settings},
    {CMD_INSERT_FONT_QUESTION, insert_settings},
    {CMD_INSERT_FONT_ANSWER, insert_settings},
    {CMD_INSERT_FONT_GROUP, insert_settings},
    {CMD_INSERT_FONT_COMMENT, insert_settings},
    {CMD_SELECT, [](HWND w, int) { show_select_dialog(w); }},
    {CMD_INVERT_SELECTION, [](HWND, int) { invert_selection(); }},
    {CMD_MOVE_UP, [](HWND, int) { move_selected_lines(-1); }},
    {CMD_MOVE_DOWN, [](HWND, int) { move_selected_lines(1); }},
    {CMD_SWAP_QUESTION_ANSWER, [](HWND w, int) { swap_question_answer(w); }},
    {CMD_TOGGLE_TOOLBAR, [](HWND w, int) { toggle_bar(w, SHOW_TOOLBAR); }},
    {CMD_TOGGLE_STATUS_BAR, [](HWND w, int) { toggle_bar(w, SHOW_STATUS_BAR); }},
    {CMD_CUSTOMIZE, [](HWND w, int) { show_customize_sheet(w); }},
    {CMD_HELP_CONTENTS, [](HWND w, int) { show_help(w, kHelpDisplayToc); }},
    {CMD_HELP_INDEX, [](HWND w, int) { show_help(w, kHelpDisplayIndex); }},
    {CMD_ABOUT, [](HWND w, int) { show_about_dialog(w); }},
    {CMD_CLEAR_RECENT, [](HWND w, int) { clear_recent_files(w); }},
    {CMD_PROBLEM_CHECK, [](HWND w, int) { show_problem_check(w); }},
    {CMD_MEDIA_CHECK, [](HWND w, int) { show_media_check(w); }},
    {CMD_RESET_HISTORY, [](HWND w, int) { reset_history_of_selection(w); }},
    {CMD_MARKS, [](HWND w, int) { show_marks(w); }},
    {CMD_IMPORT, [](HWND w, int) { import_cards_command(w); }},
    {CMD_EXPORT, [](HWND w, int) { export_cards_command(w); }},
};

}  // namespace

bool dispatch_command(HWND main_window, int id) {
    if (id >= CMD_RECENT_FIRST && id <= CMD_RECENT_LAST) {
        open_recent_file(main_window, id - CMD_RECENT_FIRST);
        return true;
    }
    for (const Command& c : kCommands) {
        if (c.id == id) {
            c.run(main_window, id);
            return true;
        }
    }
    return false;
}

}  // namespace qz
