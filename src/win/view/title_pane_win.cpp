// The title pane (dialog 601): edits a title line
// "#title,CFFFFF['comment]", where C is the number of choices of the
// questions under the title and F the five answer-comparison flags.
#include "core/layout/pane_layout.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"
#include "resources/pane_ids.h"
#include "resources/resource.h"
#include "resources/title_pane_ids.h"
#include "win/base/wide_win.h"
#include "win/base/guarded_win.h"
#include "win/view/command_state_win.h"
#include "win/view/pane_common_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

constexpr int kFlagCount = 5;
constexpr int kLastFlag = IDC_TITLE_FIRST_FLAG + kFlagCount - 1;

// Entry n of the choice-count list is n choices; 0 is a written answer.
constexpr const char* kChoiceCounts[] = {"記述", "１", "２", "３", "４",
                                         "５",   "６", "７", "８", "９"};

void fill_choice_list(HWND pane) {
    for (const char* entry : kChoiceCounts)
        SendDlgItemMessageW(pane, IDC_TITLE_CHOICES, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(wide(entry).c_str()));
}

void clear(HWND pane) {
    set_control_text(pane, IDC_PANE_TITLE, "");
    SendDlgItemMessageW(pane, IDC_TITLE_CHOICES, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (int id = IDC_TITLE_FIRST_FLAG; id <= kLastFlag; ++id)
        CheckDlgButton(pane, id, BST_UNCHECKED);
}

void fill(HWND pane, const PaneLine& p) {
    const TitleFields shown = title_display_fields(p.line.c_str(), p.charsets, p.doc.version);
    set_control_text(pane, IDC_PANE_TITLE, shown.title);
    // A count of -1 (no digit) selects nothing.
    SendDlgItemMessageW(pane, IDC_TITLE_CHOICES, CB_SETCURSEL, static_cast<WPARAM>(shown.choice_count),
                        0);
    for (int i = 0; i < kFlagCount; ++i)
        CheckDlgButton(pane, IDC_TITLE_FIRST_FLAG + i, shown.flags[i] ? BST_CHECKED : BST_UNCHECKED);
    set_control_text(pane, IDC_PANE_COMMENT, shown.comment);
}

// A text field the user left as filled keeps the bytes the line stores.
std::optional<std::string> compose(HWND pane, const PaneLine& p) {
    const char* text = p.line.c_str();
    const TitleFields filled = title_display_fields(text, p.charsets, p.doc.version);
    TitleEdit edit;
    edit.title = field_edit(control_text(pane, IDC_PANE_TITLE), filled.title);
    // Nothing selected (-1) is written as 0.
    edit.choice_count =
        static_cast<int>(SendDlgItemMessageW(pane, IDC_TITLE_CHOICES, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < kFlagCount; ++i)
        edit.flags[i] = IsDlgButtonChecked(pane, IDC_TITLE_FIRST_FLAG + i) == BST_CHECKED;
    edit.comment = field_edit(control_text(pane, IDC_PANE_COMMENT), filled.comment);
    return compose_title_line(text, edit, p.charsets, p.doc.version);
}

void apply_fonts(HWND pane) {
    set_control_font(pane, IDC_PANE_TITLE, pane_font(FONT_TITLE));
    for (int id = IDC_TITLE_CHOICES; id <= kLastFlag; ++id)
        set_control_font(pane, id, pane_control_font());
}

// The control of each layout slot.
constexpr int kControls[] = {IDC_TITLE_LABEL,          IDC_PANE_TITLE,           IDC_TITLE_CHOICES_LABEL,
                             IDC_TITLE_CHOICES,        IDC_TITLE_FIRST_FLAG,     IDC_TITLE_FIRST_FLAG + 1,
                             IDC_TITLE_FIRST_FLAG + 2, IDC_TITLE_FIRST_FLAG + 3, IDC_TITLE_FIRST_FLAG + 4,
                             IDC_PANE_COMMENT_LABEL,   IDC_PANE_COMMENT};
static_assert(std::size(kControls) == slot::title_slots);

void layout(HWND pane, int width, int height) {
    place_controls(pane,
                   title_pane_layout(width, height, cell_height(pane, IDC_TITLE_LABEL),
                                     cell_height(pane, IDC_TITLE_FIRST_FLAG), GetSystemMetrics(SM_CYEDGE),
                                     GetSystemMetrics(SM_CYBORDER)),
                   kControls, true);
}

// The flag check boxes: a click is an edit; they take part in the focus
// rules of the fields (leaving one commits).
INT_PTR flag_notification(int code) {
    switch (code) {
        case BN_CLICKED:
            mark_pane_changed();
            return TRUE;
        case BN_SETFOCUS:
            update_command_state();
            return TRUE;
        case BN_KILLFOCUS:
            commit_pane();
            return TRUE;
    }
    return FALSE;
}

INT_PTR on_command(HWND pane, int id, int code, HWND control) {
    if (id >= IDC_TITLE_FIRST_FLAG && id <= kLastFlag) return flag_notification(code);
    switch (id) {
        case IDC_PANE_TITLE:
            return field_notification(pane, code, control, ime_mode_for(FONT_TITLE));
        case IDC_TITLE_CHOICES:
            return combo_notification(code);
        case IDC_PANE_COMMENT:
            return field_notification(pane, code, control, ime_mode_for(FONT_COMMENT));
    }
    return FALSE;
}

int edit_colors(int id) { return id == IDC_PANE_TITLE ? FONT_TITLE : -1; }

const PaneBehaviour kBehaviour = {IDC_PANE_TITLE, fill_choice_list, layout, on_command, edit_colors,
                                  nullptr};

INT_PTR procedure(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam) {
    return pane_procedure(kBehaviour, pane, msg, wparam, lparam);
}

}  // namespace

const PaneKind kTitlePane = {IDD_PANE_TITLE, guarded_dialog_proc<procedure>, clear, fill, compose,
                             apply_fonts};

}  // namespace qz
