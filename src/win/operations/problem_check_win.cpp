#include "win/operations/problem_check_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win/base/app_state_win.h"
#include "win/view/command_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/modeless_win.h"
#include "win/base/report_list_win.h"
#include "win/base/wide_win.h"
#include "win/operations/line_edit_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "core/exchange/text_encoding.h"
#include "core/operations/problem_check.h"
#include "win/view/pane_host_win.h"
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

constexpr ReportColumn kColumns[] = {{"行", 60}, {"種類", 130}, {"詳細", 250}, {"内容", 300}};

// The window and what it shows; one window at a time.
struct ProblemWindow {
    HWND window = nullptr;
    ReportList list;
    std::vector<Row> rows;
    // The document the rows were found in: lines are looked for only
    // while it is still the one open.
    std::string file_name;
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

void sort_rows() {
    ProblemWindow& w = state();
    const int column = w.list.sort_column();
    // A text column is compared as Windows compares its UTF-16, each
    // row's text converted once.
    struct Keyed {
        std::wstring key;
        Row row;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(w.rows.size());
    for (Row& row : w.rows) {
        std::wstring key = column >= 2 ? wide(column_text(row, column)) : std::wstring();
        keyed.push_back({std::move(key), std::move(row)});
    }
    auto less = [column](const Keyed& a, const Keyed& b) {
        switch (column) {
            case 0: return a.row.problem.index < b.row.problem.index;
            case 1: return a.row.problem.kind < b.row.problem.kind;
            default: return lstrcmpW(a.key.c_str(), b.key.c_str()) < 0;
        }
    };
    if (w.list.descending())
        std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) { return less(b, a); });
    else
        std::stable_sort(keyed.begin(), keyed.end(), less);
    w.rows.clear();
    for (Keyed& k : keyed) w.rows.push_back(std::move(k.row));
}

void show_rows(HWND window) {
    ProblemWindow& w = state();
    w.list.set_row_count(static_cast<int>(w.rows.size()), 0);
    const std::string status = w.rows.empty()
                                   ? std::string("問題は見つかりませんでした。")
                                   : std::to_string(w.rows.size()) + " 件の問題が見つかりました。";
    set_item_text(window, IDC_PROBLEM_STATUS, status);
}

void run_check(HWND window) {
    ProblemWindow& w = state();
    const CardDocument& doc = document();
    static const std::vector<RewriteNote> kNone;
    const std::vector<Problem> problems =
        check_problems(doc, w.notes_file == doc.file_name ? w.notes : kNone,
                       {image_base(), probe_picture_file,
                        [](std::string_view reference) { return cp932_to_utf8(reference); }});
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
    w.list.set_row_state(-1, 0);
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
    ProblemWindow& w = state();
    w.list = ReportList(
        list_of(window),
        [](int row, int column) {
            const std::vector<Row>& rows = state().rows;
            return row < static_cast<int>(rows.size()) ? column_text(rows[static_cast<std::size_t>(row)], column)
                                                       : "";
        },
        [window](int, bool) {
            sort_rows();
            show_rows(window);
        },
        activate_problem_row);
    w.list.add_columns(kColumns);
    add_modeless(window, ModelessTurn::after_accelerators);
    center_dialog(window);
    layout(window);
    return TRUE;
}

INT_PTR procedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG: return on_init(window);
        case WM_SIZE: layout(window); return TRUE;
        case WM_GETMINMAXINFO: set_minimum_size(window, lparam, 360, 200); return TRUE;
        case WM_NOTIFY: return state().list.dialog_notify(window, lparam);
        case WM_HELP: show_help(window, kHelpContext, kTopicProblemCheck); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK:  // Enter on a row
                    state().list.activate_focused();
                    return TRUE;
                case IDC_PROBLEM_RECHECK: run_check(window); return TRUE;
                case IDCANCEL: DestroyWindow(window); return TRUE;
            }
            break;
        case WM_DESTROY:
            remove_modeless(window);
            state().window = nullptr;
            state().list = ReportList();
            state().rows.clear();
            return FALSE;
    }
    return FALSE;
}

}  // namespace

void show_problem_check(HWND owner) {
    ProblemWindow& w = state();
    if (!open_modeless(w.window, IDD_PROBLEM_CHECK, guarded_dialog_proc<procedure>, owner)) return;
    run_check(w.window);
    bring_forward(w.window, list_of(w.window));
}

HWND problem_check_window() { return state().window; }

void note_loaded_file(const LoadResult& result) {
    ProblemWindow& w = state();
    w.notes = rewrite_notes(result.rewritten, document());
    w.notes_file = document().file_name;
    if (w.window) run_check(w.window);
}

void activate_problem_row(int row) {
    ProblemWindow& w = state();
    if (!w.window || row < 0 || row >= static_cast<int>(w.rows.size())) return;
    w.list.set_row_state(row, LVIS_SELECTED | LVIS_FOCUSED);
    go_to_line_by_id(w.window, w.file_name, w.rows[static_cast<std::size_t>(row)].problem.line_id,
                     "この行はもうありません。再チェックしてください。");
}

}  // namespace qz
