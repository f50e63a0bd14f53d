// The title pane (dialog 601): edits a title line
// "#title,CFFFFF['comment]", where C is the number of choices of the
// questions under the title and F the five answer-comparison flags.
#include "app/commands.h"
#include "app/guarded.h"
#include "panes/pane_common.h"
#include "panes/pane_host.h"
#include "panes/pane_layout.h"
#include "resources/resource.h"
#include "syntax/fields.h"
#include "syntax/scan.h"

namespace qz {
namespace {

constexpr int kTitleLabel = 1054;
constexpr int kTitleField = 1055;
constexpr int kChoiceList = 1025;
constexpr int kFirstFlag = 1026;  // the five flag check boxes are 1026-1030
constexpr int kFlagCount = 5;
constexpr int kLastFlag = kFirstFlag + kFlagCount - 1;

// Entry n of the choice-count list is n choices; 0 is a written answer.
constexpr const char* kChoiceCounts[] = {"記述", "１", "２", "３", "４",
                                         "５",   "６", "７", "８", "９"};

void fill_choice_list(HWND pane) {
    for (const char* entry : kChoiceCounts)
        SendDlgItemMessageA(pane, kChoiceList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

void clear(HWND pane) {
    set_control_text(pane, kTitleField, "");
    SendDlgItemMessageA(pane, kChoiceList, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (int id = kFirstFlag; id <= kLastFlag; ++id)
        CheckDlgButton(pane, id, BST_UNCHECKED);
}

void fill(HWND pane, const PaneLine& p) {
    const char* text = p.line.c_str();
    const char* start = nullptr;
    const int length = title_text_field(text, &start);
    set_control_text(pane, kTitleField,
                     length > 0 ? copy_unescaped(start, length, p.charsets.title, p.doc.version)
                                : std::string());
    // A count of -1 (no digit) selects nothing.
    SendDlgItemMessageA(pane, kChoiceList, CB_SETCURSEL,
                        static_cast<WPARAM>(title_choice_count(text)), 0);
    for (int i = 0; i < kFlagCount; ++i)
        CheckDlgButton(pane, kFirstFlag + i,
                       title_flag(text, i) == 1 ? BST_CHECKED : BST_UNCHECKED);
    const char* comment = nullptr;
    const int comment_length = check_title_line(text, &comment);
    set_comment_field(pane, comment, comment_length, p.charsets.comment);
}

std::optional<std::string> compose(HWND pane, const PaneLine& p) {
    TitleFields fields;
    fields.title = control_text(pane, kTitleField);
    // Nothing selected (-1) is written as 0.
    fields.choice_count =
        static_cast<int>(SendDlgItemMessageA(pane, kChoiceList, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < kFlagCount; ++i)
        fields.flags[i] = IsDlgButtonChecked(pane, kFirstFlag + i) == BST_CHECKED;
    fields.comment = control_text(pane, kCommentField);
    return compose_title_line(fields, p.charsets);
}

void apply_fonts(HWND pane) {
    set_control_font(pane, kTitleField, pane_font(FONT_TITLE));
    for (int id = kChoiceList; id <= kLastFlag; ++id)
        set_control_font(pane, id, pane_control_font());
}

void layout(HWND pane, int width, int height) {
    place_controls(pane,
                   title_pane_layout(width, height, cell_height(pane, kTitleLabel),
                                     cell_height(pane, kFirstFlag), GetSystemMetrics(SM_CYEDGE),
                                     GetSystemMetrics(SM_CYBORDER)),
                   true);
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
    if (id >= kFirstFlag && id <= kLastFlag) return flag_notification(code);
    switch (id) {
        case kTitleField:
            return field_notification(pane, code, control, ime_mode_for(FONT_TITLE));
        case kChoiceList:
            return combo_notification(code);
        case kCommentField:
            return field_notification(pane, code, control, ime_mode_for(FONT_COMMENT));
    }
    return FALSE;
}

int edit_colors(int id) { return id == kTitleField ? FONT_TITLE : -1; }

const PaneBehaviour kBehaviour = {kTitleField, fill_choice_list, layout, on_command, edit_colors,
                                  nullptr};

INT_PTR procedure(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam) {
    return pane_procedure(kBehaviour, pane, msg, wparam, lparam);
}

}  // namespace

const PaneKind kTitlePane = {IDD_PANE_TITLE, guarded_dialog_proc<procedure>, clear, fill, compose,
                             apply_fonts};

}  // namespace qz
