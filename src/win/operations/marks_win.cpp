#include "win/operations/marks_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "core/layout/layout.h"
#include "core/operations/problem_check.h"
#include "core/operations/marks.h"
#include "core/syntax/fields.h"
#include "resources/resource.h"
#include "resources/marks_ids.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/modeless_win.h"
#include "win/base/report_list_win.h"
#include "win/base/wide_win.h"
#include "win/operations/line_edit_win.h"
#include "win/base/handles_win.h"
#include "win/view/command_state_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/base/dpi_win.h"
#include "win/view/marks_chart_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

// Sizes at 96 dpi, scaled to the window's.
constexpr int kMargin = 8;
constexpr int kButtonHeight = 24;

// One question of the list, as it was when counted.
struct Row {
    int index;
    std::uint32_t line_id;
    int section;
    int right;
    int history;
    std::string question;  // as the pane shows it, on one line
    std::wstring key;      // the question as Windows compares it
};

constexpr ReportColumn kColumns[] = {{"行", 60}, {"タイトル", 120}, {"問題", 260}, {"正答数", 56}, {"履歴", 80}};

struct MarksWindow {
    HWND window = nullptr;
    ReportList list;
    MarkCounts counts;
    std::vector<Row> rows;     // every question, in the order sorted
    std::vector<int> shown;    // into rows: those of the chosen section
    std::string file_name;     // the document counted
    int section = -1;          // chosen in the chart (-1: all)
    std::string cell;          // the text a list cell was last given
};

MarksWindow& state() {
    static MarksWindow w;
    return w;
}

HWND list_of(HWND window) { return GetDlgItem(window, IDC_MARKS_LIST); }
HWND chart_of(HWND window) { return GetDlgItem(window, IDC_MARKS_CHART); }

const std::string& section_name(int section) {
    static const std::string none;
    const auto& sections = state().counts.sections;
    return section >= 0 && section < static_cast<int>(sections.size())
               ? sections[static_cast<std::size_t>(section)].name
               : none;
}

const char* cell_text(const Row& row, int column) {
    std::string& cell = state().cell;
    switch (column) {
        case 0: cell = std::to_string(CardDocument::file_line_number(row.index)); break;
        case 1: cell = section_name(row.section); break;
        case 2: return row.question.c_str();
        case 3: cell = std::to_string(row.right) + "/5"; break;
        default: cell = marks_text(row.history); break;
    }
    return cell.c_str();
}

void sort_rows() {
    MarksWindow& w = state();
    const int column = w.list.sort_column();
    auto less = [column](const Row& a, const Row& b) {
        switch (column) {
            case 1:
                return a.section != b.section ? a.section < b.section : a.index < b.index;
            case 2: return lstrcmpW(a.key.c_str(), b.key.c_str()) < 0;
            case 3: return a.right < b.right;
            case 4: return a.history < b.history;
            default: return a.index < b.index;
        }
    };
    if (w.list.descending())
        std::stable_sort(w.rows.begin(), w.rows.end(), [&](const Row& a, const Row& b) { return less(b, a); });
    else
        std::stable_sort(w.rows.begin(), w.rows.end(), less);
}

void show_rows(HWND window) {
    MarksWindow& w = state();
    w.shown.clear();
    for (int i = 0; i < static_cast<int>(w.rows.size()); ++i)
        if (w.section < 0 || w.rows[static_cast<std::size_t>(i)].section == w.section) w.shown.push_back(i);
    w.list.set_row_count(static_cast<int>(w.shown.size()), 0);
    std::string shown = w.section < 0 ? std::string("表示：すべての問題")
                                      : "表示：「" + section_name(w.section) + "」の問題";
    shown += "（" + std::to_string(w.shown.size()) + " 問）";
    set_item_text(window, IDC_MARKS_SHOWN, shown);
    EnableWindow(GetDlgItem(window, IDC_MARKS_ALL), w.section >= 0);
}

// Counts the document anew; the section chosen stays while it exists.
void count(HWND window) {
    MarksWindow& w = state();
    const CardDocument& doc = document();
    w.counts = count_marks(doc);
    w.rows.clear();
    w.rows.reserve(w.counts.questions.size());
    for (const QuestionMarks& q : w.counts.questions) {
        const DataLine& line = *doc.line_at(q.index);
        std::string question = question_display_text(line.c_str(), 128, doc.version);
        std::replace_if(question.begin(), question.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
        std::wstring key = wide(question);
        w.rows.push_back({q.index, doc.line_id_at(q.index), q.section, q.right, q.history, std::move(question), std::move(key)});
    }
    w.file_name = doc.file_name;
    if (w.section >= static_cast<int>(w.counts.sections.size())) w.section = -1;
    sort_rows();
    set_chart_sections(chart_of(window), w.counts.sections, w.section);
    const std::string totals = "問題 " + std::to_string(w.counts.questions.size()) + "　正答なし " +
                               std::to_string(w.counts.no_right) + "　正答率 " +
                               rate_text(w.counts.right_rate());
    set_item_text(window, IDC_MARKS_TOTALS, totals);
    show_rows(window);
}

void layout(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const int dpi = window_dpi(window);
    auto px = [dpi](int design) { return scale_for_dpi(design, dpi); };
    const int margin = px(kMargin), button_height = px(kButtonHeight);
    const int width = std::max(0, static_cast<int>(client.right) - 2 * margin);
    const int bottom = client.bottom - margin - button_height;
    // The chart takes up to two fifths of the height, the list the rest.
    const int rows = static_cast<int>(state().counts.sections.size());
    const int wanted = px(20 + 6 + 8) + rows * px(22);
    const int chart = std::clamp(wanted, px(60), std::max(px(60), static_cast<int>(client.bottom) * 2 / 5));
    // The controls move together, once the note has been measured.
    HDWP moves = BeginDeferWindowPos(9);
    auto place = [&](HWND control, int x, int y, int w, int h) {
        if (moves) moves = DeferWindowPos(moves, control, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        if (!moves) MoveWindow(control, x, y, w, h, TRUE);
    };
    place(chart_of(window), margin, margin, width, chart);
    int y = margin + chart + px(4);
    // The note takes the lines it needs at this width (the box wraps it;
    // a character may reach past the box's edge, into the margin).
    HWND note = GetDlgItem(window, IDC_MARKS_NOTE);
    const int note_width = std::max(0, width - px(14));
    MoveWindow(note, margin, y, note_width, px(200), FALSE);
    TEXTMETRICW metrics{};
    {
        window_dc dc(note);
        SelectObject(dc.get(), reinterpret_cast<HFONT>(SendMessageW(note, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc.get(), &metrics);
    }
    const int note_height =
        static_cast<int>(SendMessageW(note, EM_GETLINECOUNT, 0, 0)) * metrics.tmHeight + 2;
    place(note, margin, y, note_width, note_height);
    y += note_height + px(4);
    place(GetDlgItem(window, IDC_MARKS_ALL), client.right - margin - px(110), y, px(110), button_height);
    place(GetDlgItem(window, IDC_MARKS_SHOWN), margin, y + px(5), std::max(0, width - px(118)), px(16));
    y += button_height + px(4);
    // The totals on a line of their own above the buttons.
    const int totals_y = bottom - px(4 + 18);
    place(list_of(window), margin, y, width, std::max(0, totals_y - px(4) - y));
    place(GetDlgItem(window, IDC_MARKS_TOTALS), margin, totals_y + px(2), width, px(16));
    const int close_x = client.right - margin - px(80);
    place(GetDlgItem(window, IDCANCEL), close_x, bottom, px(80), button_height);
    const int refresh_x = close_x - margin - px(130);
    place(GetDlgItem(window, IDC_MARKS_REFRESH), refresh_x, bottom, px(130), button_height);
    if (moves) EndDeferWindowPos(moves);
}

INT_PTR on_init(HWND window) {
    MarksWindow& w = state();
    w.list = ReportList(
        list_of(window),
        [](int row, int column) {
            const MarksWindow& w = state();
            return row < static_cast<int>(w.shown.size())
                       ? cell_text(w.rows[static_cast<std::size_t>(w.shown[static_cast<std::size_t>(row)])], column)
                       : "";
        },
        [window](int, bool) {
            sort_rows();
            show_rows(window);
        },
        activate_marks_row);
    const int dpi = window_dpi(window);
    ReportColumn columns[std::size(kColumns)];
    for (std::size_t i = 0; i < std::size(kColumns); ++i)
        columns[i] = {kColumns[i].caption, scale_for_dpi(kColumns[i].width, dpi)};
    w.list.add_columns(columns);
    add_modeless(window, ModelessTurn::after_accelerators);
    set_item_text(window, IDC_MARKS_NOTE,
                  "正誤履歴は最近5回の正解（○）・不正解（×）です。まだ出題されていない問題も"
                  "×が5つと記録されるため、「全問不正解」には出題されていない問題も含まれます。");
    center_dialog(window);
    return TRUE;
}

INT_PTR procedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG: return on_init(window);
        case WM_SIZE: layout(window); return TRUE;
        case WM_GETMINMAXINFO: {
            const int dpi = window_dpi(window);
            set_minimum_size(lparam, scale_for_dpi(360, dpi), scale_for_dpi(300, dpi));
            return TRUE;
        }
        case WM_NOTIFY: return state().list.dialog_notify(window, lparam);
        case WM_HELP: show_help(window, kHelpContext, kTopicMarks); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_MARKS_CHART:
                    if (HIWORD(wparam) == kChartChose) {
                        state().section = chart_chosen(chart_of(window));
                        show_rows(window);
                    }
                    return TRUE;
                case IDC_MARKS_ALL:
                    state().section = -1;
                    choose_chart_section(chart_of(window), -1);
                    show_rows(window);
                    return TRUE;
                case IDOK:  // Enter on a row
                    state().list.activate_focused();
                    return TRUE;
                case IDC_MARKS_REFRESH:
                    count(window);
                    layout(window);
                    return TRUE;
                case IDCANCEL: DestroyWindow(window); return TRUE;
            }
            break;
        case WM_DESTROY: {
            MarksWindow& w = state();
            remove_modeless(window);
            w.window = nullptr;
            w.list = ReportList();
            w.rows.clear();
            w.shown.clear();
            w.counts = {};
            w.section = -1;
            return FALSE;
        }
    }
    return FALSE;
}

}  // namespace

void show_marks(HWND owner) {
    MarksWindow& w = state();
    if (!open_modeless(w.window, IDD_MARKS, guarded_dialog_proc<procedure>, owner)) return;
    count(w.window);
    layout(w.window);
    bring_forward(w.window, list_of(w.window));
}

HWND marks_window() { return state().window; }

void activate_marks_row(int row) {
    MarksWindow& w = state();
    if (!w.window || row < 0 || row >= static_cast<int>(w.shown.size())) return;
    const Row& r = w.rows[static_cast<std::size_t>(w.shown[static_cast<std::size_t>(row)])];
    go_to_line_by_id(w.window, w.file_name, r.line_id, "この行はもうありません。「最新の状態に更新」を押してください。");
}

}  // namespace qz
