#include "win/base/wide_win.h"
#include "win/operations/data_info_win.h"

#include <string>

#include "resources/data_info_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/view/command_state_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

constexpr int kFirstVersion = 12;
constexpr const char* kVersionNames[] = {"1.2", "1.3", "1.4"};

void set_number(HWND dialog, int id, int value) {
    set_item_text(dialog, id, std::to_string(value));
}

INT_PTR on_init(HWND dialog, const DataInfo& info) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&info));
    // The file name reads as plain text, without a sunken edge.
    HWND name = GetDlgItem(dialog, IDC_INFO_FILE_NAME);
    SetWindowLongW(name, GWL_EXSTYLE, 0);
    SetWindowPos(name, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    center_dialog(dialog);
    // A path is UTF-8; a document never saved is named in code page 932.
    static constexpr char kNeverSaved[] = "（新規）";
    SetWindowTextW(name, info.file_name == kNeverSaved ? wide(kNeverSaved).c_str()
                                                       : wide_path(info.file_name).c_str());
    HWND versions = GetDlgItem(dialog, IDC_INFO_VERSION);
    for (const char* v : kVersionNames)
        SendMessageW(versions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(v).c_str()));
    SendMessageW(versions, CB_SETCURSEL, info.version - kFirstVersion, 0);
    set_number(dialog, IDC_INFO_LINES, info.lines);
    set_number(dialog, IDC_INFO_TITLES, info.titles);
    set_number(dialog, IDC_INFO_QUESTIONS, info.questions);
    ShowWindow(GetDlgItem(dialog, IDC_INFO_MODIFIED), info.modified ? SW_SHOW : SW_HIDE);
    for (int g = 0; g < 10; ++g) {
        set_item_text(dialog, IDC_INFO_GROUP_NAME_FIRST + g, info.group_names[g]);
        set_number(dialog, IDC_INFO_GROUP_COUNT_FIRST + g, info.group_questions[g]);
    }
    SetFocus(GetDlgItem(dialog, IDOK));
    return FALSE;
}

void on_ok(HWND dialog) {
    const auto* info = reinterpret_cast<const DataInfo*>(GetWindowLongPtrW(dialog, DWLP_USER));
    int entry = static_cast<int>(SendDlgItemMessageW(dialog, IDC_INFO_VERSION, CB_GETCURSEL, 0, 0));
    if (entry < 0) entry = info->version - kFirstVersion;
    const int version = entry + kFirstVersion;
    if (version_change_needs_asking(info->version, version) &&
        message_box(dialog,
                    "下位バージョンに変更すると設定がコメントに変換されます。よろしいですか？",
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    EndDialog(dialog, version);
}

INT_PTR procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG:
            return on_init(dialog, *reinterpret_cast<const DataInfo*>(lparam));
        case WM_HELP:
            show_help(dialog, kHelpContext, kTopicDataInfo);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK:
                    on_ok(dialog);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, 0);
                    return TRUE;
                case IDC_HELP_BUTTON:
                    show_help(dialog, kHelpContext, kTopicDataInfo);
                    return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

std::optional<int> run_data_info_dialog(HWND owner, const DataInfo& info) {
    INT_PTR result =
        DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_DATA_INFO), owner,
                        guarded_dialog_proc<procedure>, reinterpret_cast<LPARAM>(&info));
    if (result < kFirstVersion) return std::nullopt;
    return static_cast<int>(result);
}

void show_data_information(HWND owner) {
    Application& a = app();
    // Leaving the pane commits its pending edit first.
    if (a.line_list && GetFocus() != a.line_list) SetFocus(a.line_list);
    std::optional<int> version = run_data_info_dialog(owner, data_info(editor()));
    if (!version) return;
    ChangeReport change = editor().change_version(*version);
    if (change.first >= 0) relabel_lines(change.first, document().count() - 1);
    // The pane shows the line again as the new format reads it: the answer
    // number list comes or goes, a settings line now is a comment.
    if (a.pane && editor().current() >= 0) show_line_in_pane(editor().current());
    update_command_state();
}

}  // namespace qz
