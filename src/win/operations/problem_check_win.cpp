#include "win/operations/problem_check_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win/base/app_state.h"
#include "win/view/command_state.h"
#include "win/base/guarded.h"
#include "win/base/help.h"
#include "win/base/message_box.h"
#include "win/operations/line_edit_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "core/operations/problem_check.h"
#include "win/view/pane_host.h"
#include "win/base/picture_win.h"
#include "resources/problem_check_ids.h"
#include "resources/resource.h"

namespace qz {
namespace {

// A row shows at most this much of its line.
constexpr std::size_t kShownText = 256;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 24;

struct Row {
    Problem problem;
    std::string line_number;
    std::string text;
};

struct Columns {
    const char* caption;
    int width;
};
constexpr Columns kColumns[] = {{"行", 60}, {"種類", 130}, {"詳細", 250}, {"内容", 300}};

// The window and what it shows; one window at a time.
struct ProblemWindow {
    HWND window = nullptr;
    std::vector<Row> rows;
    // The document the rows were found in: lines are looked for only
    // while it is still the one open.
    std::string file_name;
    int sort_column = 0;
    bool descending = false;
    // Taken when the file was read.
    std::vector<RewriteNote> notes;
    std::string notes_file;
};

ProblemWindow& state() {
    static ProblemWindow w;
    return w;
}

HWND list_of(HWND window) { return GetDlgItem(window, IDC_PROBLEM_LIST); }

const char* column_text(const Row& row, int column) {
    switch (column) {
        case 0: return row.line_number.c_str();
        case 1: return problem_kind_label(row.problem.kind);
        case 2: return row.problem.what();
        default: return row.text.c_str();
    }
}

// Sets the selected and focused state of a row (-1: of every row).
void set_row_state(HWND window, int row, UINT state) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list_of(window), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

void sort_rows() {
    ProblemWindow& w = state();
    const int column = w.sort_column;
    auto less = [column](const Row& a, const Row& b) {
        switch (column) {
            case 0: return a.problem.index < b.problem.index;
            case 1: return a.problem.kind < b.problem.kind;
            default: return lstrcmpA(column_text(a, column), column_text(b, column)) < 0;
        }
    };
    if (w.descending)
        std::stable_sort(w.rows.begin(), w.rows.end(),
                         [&](const Row& a, const Row& b) { return less(b, a); });
    else
        std::stable_sort(w.rows.begin(), w.rows.end(), less);
}

void show_rows(HWND window) {
    ProblemWindow& w = state();
    HWND list = list_of(window);
    SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(w.rows.size()), 0);
    InvalidateRect(list, nullptr, TRUE);
    const std::string status = w.rows.empty()
                                   ? std::string("問題は見つかりませんでした。")
                                   : std::to_string(w.rows.size()) + " 件の問題が見つかりました。";
    SetDlgItemTextA(window, IDC_PROBLEM_STATUS, status.c_str());
}

void run_check(HWND window) {
    ProblemWindow& w = state();
    const CardDocument& doc = app().doc;
    static const std::vector<RewriteNote> kNone;
    const std::vector<Problem> problems =
        check_problems(doc, w.notes_file == doc.file_name ? w.notes : kNone,
                       {image_base(), probe_picture_file});
    w.rows.clear();
    w.rows.reserve(problems.size());
    for (const Problem& p : problems) {
        Row row{p, std::to_string(CardDocument::file_line_number(p.index)),
                std::string(doc.line_at(p.index)->text().substr(0, kShownText))};
        // Control bytes would break the row's one line.
        std::replace_if(row.text.begin(), row.text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
        w.rows.push_back(std::move(row));
    }
    w.file_name = doc.file_name;
    sort_rows();
    set_row_state(window, -1, 0);
    show_rows(window);
}

void layout(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const int bottom = client.bottom - kMargin - kButtonHeight;
    MoveWindow(list_of(window), kMargin, kMargin, client.right - 2 * kMargin,
               bottom - 2 * kMargin, TRUE);
    const int close_x = client.right - kMargin - kButtonWidth;
    MoveWindow(GetDlgItem(window, IDCANCEL), close_x, bottom, kButtonWidth, kButtonHeight, TRUE);
    const int recheck_x = close_x - kMargin - kButtonWidth;
    MoveWindow(GetDlgItem(window, IDC_PROBLEM_RECHECK), recheck_x, bottom, kButtonWidth,
               kButtonHeight, TRUE);
    MoveWindow(GetDlgItem(window, IDC_PROBLEM_STATUS), kMargin, bottom + 4,
               std::max(0, recheck_x - 2 * kMargin), kButtonHeight - 4, TRUE);
}

INT_PTR on_init(HWND window) {
    HWND list = list_of(window);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(kColumns[i].caption);
        column.cx = kColumns[i].width;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    center_dialog(window);
    layout(window);
    return TRUE;
}

LRESULT on_notify(HWND window, const NMHDR& header) {
    ProblemWindow& w = state();
    if (header.idFrom != IDC_PROBLEM_LIST) return 0;
    switch (header.code) {
        case LVN_GETDISPINFOA: {
            auto& info = const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(header));
            if ((info.item.mask & LVIF_TEXT) && info.item.iItem >= 0 &&
                info.item.iItem < static_cast<int>(w.rows.size()))
                lstrcpynA(info.item.pszText,
                          column_text(w.rows[static_cast<std::size_t>(info.item.iItem)],
                                      info.item.iSubItem),
                          info.item.cchTextMax);
            return 0;
        }
        case LVN_COLUMNCLICK: {
            const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
            w.descending = column == w.sort_column && !w.descending;
            w.sort_column = column;
            sort_rows();
            show_rows(window);
            return 0;
        }
        case LVN_ITEMACTIVATE:
            activate_problem_row(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
            return 0;
    }
    return 0;
}

INT_PTR procedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG: return on_init(window);
        case WM_SIZE: layout(window); return TRUE;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
            info->ptMinTrackSize = {360, 200};
            return TRUE;
        }
        case WM_NOTIFY:
            SetWindowLongPtrA(window, DWLP_MSGRESULT,
                              on_notify(window, *reinterpret_cast<const NMHDR*>(lparam)));
            return TRUE;
        case WM_HELP: show_help(window, kHelpContext, kTopicProblemCheck); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK:  // Enter on a row
                    if (GetFocus() == list_of(window))
                        activate_problem_row(static_cast<int>(SendMessageA(
                            list_of(window), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
                    return TRUE;
                case IDC_PROBLEM_RECHECK: run_check(window); return TRUE;
                case IDCANCEL: DestroyWindow(window); return TRUE;
            }
            break;
        case WM_DESTROY:
            state().window = nullptr;
            state().rows.clear();
            return FALSE;
    }
    return FALSE;
}

}  // namespace

void show_problem_check(HWND owner) {
    ProblemWindow& w = state();
    // Leaving the editing pane commits its pending edit.
    if (app().line_list) SetFocus(app().line_list);
    if (!w.window) {
        w.window = CreateDialogParamA(app().instance, MAKEINTRESOURCEA(IDD_PROBLEM_CHECK), owner,
                                      guarded_dialog_proc<procedure>, 0);
        if (!w.window) return;
    }
    run_check(w.window);
    ShowWindow(w.window, SW_SHOW);
    SetActiveWindow(w.window);
    SetFocus(list_of(w.window));
}

HWND problem_check_window() { return state().window; }

bool problem_check_message(MSG& msg) {
    HWND window = state().window;
    return window && IsDialogMessageA(window, &msg);
}

void note_loaded_file(const LoadResult& result) {
    ProblemWindow& w = state();
    w.notes = rewrite_notes(result.rewritten, app().doc);
    w.notes_file = app().doc.file_name;
    if (w.window) run_check(w.window);
}

void activate_problem_row(int row) {
    ProblemWindow& w = state();
    if (!w.window || row < 0 || row >= static_cast<int>(w.rows.size())) return;
    set_row_state(w.window, row, LVIS_SELECTED | LVIS_FOCUSED);
    const CardDocument& doc = app().doc;
    const int index = w.file_name == doc.file_name
                          ? find_line_by_id(doc, w.rows[static_cast<std::size_t>(row)].problem.line_id)
                          : -1;
    if (index < 0) {
        message_box(w.window, "この行はもうありません。再チェックしてください。",
                    MB_OK | MB_ICONWARNING);
        return;
    }
    go_to_line(index);
    SetActiveWindow(app().main_window);
    SetFocus(app().line_list);
}

}  // namespace qz
