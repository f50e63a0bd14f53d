#include "win/operations/media_check_win.h"

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/exchange/text_encoding.h"
#include "core/exchange/media_check.h"
#include "platform/file_read.h"
#include "platform/folder_list.h"
#include "core/image/picture.h"
#include "resources/media_check_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/modeless_win.h"
#include "win/base/picture_win.h"
#include "win/base/report_list_win.h"
#include "win/base/wide_win.h"
#include "win/operations/line_edit_win.h"

namespace qz {
namespace {

constexpr int kMargin = 8;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 24;

struct Row {
    MediaFinding finding;
    std::string file;   // code page 932, as shown
    std::string lines;  // "3, 7, ..."
    std::uint32_t line_id = 0;  // of the first line, 0 for none
};

constexpr ReportColumn kColumns[] = {{"種類", 130}, {"ファイル", 200}, {"行", 80}, {"詳細", 260}};

struct MediaWindow {
    HWND window = nullptr;
    ReportList list;
    std::vector<Row> rows;
    std::string file_name;  // the document the rows were found in
};

MediaWindow& state() {
    static MediaWindow w;
    return w;
}

HWND list_of(HWND window) { return GetDlgItem(window, IDC_MEDIA_LIST); }

const char* column_text(const Row& row, int column) {
    switch (column) {
        case 0: return media_kind_label(row.finding.kind);
        case 1: return row.file.c_str();
        case 2: return row.lines.c_str();
        default: return row.finding.detail.c_str();
    }
}

void sort_rows() {
    MediaWindow& w = state();
    const int column = w.list.sort_column();
    auto less = [column](const Row& a, const Row& b) {
        switch (column) {
            case 0: return a.finding.kind < b.finding.kind;
            case 2: return (a.finding.lines.empty() ? -1 : a.finding.lines.front()) <
                           (b.finding.lines.empty() ? -1 : b.finding.lines.front());
            default: return std::string_view(column_text(a, column)) < column_text(b, column);
        }
    };
    if (w.list.descending())
        std::stable_sort(w.rows.begin(), w.rows.end(), [&](const Row& a, const Row& b) { return less(b, a); });
    else
        std::stable_sort(w.rows.begin(), w.rows.end(), less);
}

int unused_count() {
    const std::vector<Row>& rows = state().rows;
    return static_cast<int>(std::count_if(rows.begin(), rows.end(),
                                          [](const Row& r) { return r.finding.kind == MediaKind::unused; }));
}

void show_rows(HWND window) {
    MediaWindow& w = state();
    w.list.set_row_count(static_cast<int>(w.rows.size()), 0);
    const std::string status = w.rows.empty() ? std::string("画像の問題は見つかりませんでした。")
                                              : std::to_string(w.rows.size()) + " 件見つかりました。";
    set_item_text(window, IDC_MEDIA_STATUS, status);
    EnableWindow(GetDlgItem(window, IDC_MEDIA_RECYCLE), unused_count() > 0);
}

std::optional<std::string> read_head(const std::string& path) {
    std::string bytes;
    if (!read_file_bytes(path, bytes, kMaxPictureFileBytes).ok()) return std::nullopt;
    return bytes;
}

void run_check(HWND window) {
    MediaWindow& w = state();
    const CardDocument& doc = document();
    const std::vector<MediaFinding> findings = check_media(doc, image_base(), list_media_files, read_head);
    w.rows.clear();
    w.rows.reserve(findings.size());
    for (const MediaFinding& f : findings) {
        Row row{f, {}, {}, 0};
        const std::string& path = f.path;
        row.file = f.reference.empty() ? utf8_to_cp932(path.substr(path.find_last_of("\\/") + 1)) : f.reference;
        for (std::size_t i = 0; i < f.lines.size() && i < 10; ++i)
            row.lines += (i ? ", " : "") + std::to_string(CardDocument::file_line_number(f.lines[i]));
        if (f.lines.size() > 10) row.lines += ", ...";
        if (!f.lines.empty()) row.line_id = doc.line_id_at(f.lines.front());
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
    MoveWindow(list_of(window), kMargin, kMargin, client.right - 2 * kMargin, bottom - 2 * kMargin, TRUE);
    int x = client.right - kMargin - kButtonWidth;
    MoveWindow(GetDlgItem(window, IDCANCEL), x, bottom, kButtonWidth, kButtonHeight, TRUE);
    x -= kMargin + kButtonWidth;
    MoveWindow(GetDlgItem(window, IDC_MEDIA_RECHECK), x, bottom, kButtonWidth, kButtonHeight, TRUE);
    x -= kMargin + kButtonWidth;
    MoveWindow(GetDlgItem(window, IDC_MEDIA_RECYCLE), x, bottom, kButtonWidth, kButtonHeight, TRUE);
    MoveWindow(GetDlgItem(window, IDC_MEDIA_STATUS), kMargin, bottom + 4, std::max(0, x - 2 * kMargin),
               kButtonHeight - 4, TRUE);
}

INT_PTR on_init(HWND window) {
    MediaWindow& w = state();
    w.list = ReportList(
        list_of(window),
        [](int row, int column) {
            const std::vector<Row>& rows = state().rows;
            return row < static_cast<int>(rows.size()) ? column_text(rows[static_cast<std::size_t>(row)], column) : "";
        },
        [window](int, bool) {
            sort_rows();
            show_rows(window);
        },
        activate_media_row);
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
        case WM_GETMINMAXINFO: set_minimum_size(window, lparam, 480, 200); return TRUE;
        case WM_NOTIFY: return state().list.dialog_notify(window, lparam);
        case WM_HELP: show_help(window, kHelpContext, kTopicProblemCheck); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK: state().list.activate_focused(); return TRUE;
                case IDC_MEDIA_RECHECK: run_check(window); return TRUE;
                case IDC_MEDIA_RECYCLE: recycle_unused_pictures(); return TRUE;
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

void show_media_check(HWND owner) {
    MediaWindow& w = state();
    if (!open_modeless(w.window, IDD_MEDIA_CHECK, guarded_dialog_proc<procedure>, owner)) return;
    run_check(w.window);
    bring_forward(w.window, list_of(w.window));
}

HWND media_check_window() { return state().window; }

void activate_media_row(int row) {
    MediaWindow& w = state();
    if (!w.window || row < 0 || row >= static_cast<int>(w.rows.size())) return;
    w.list.set_row_state(row, LVIS_SELECTED | LVIS_FOCUSED);
    const Row& r = w.rows[static_cast<std::size_t>(row)];
    if (r.line_id == 0) return;  // a file no line uses
    go_to_line_by_id(w.window, w.file_name, r.line_id, "この行はもうありません。再チェックしてください。");
}

void recycle_unused_pictures() {
    MediaWindow& w = state();
    if (!w.window) return;
    const int count = unused_count();
    if (count == 0) return;
    const std::string question = "使われていない " + std::to_string(count) +
                                 " 個の画像ファイルをごみ箱に移動しますか？\r\nごみ箱から元に戻せます。";
    if (message_box(w.window, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    // Full paths, each ended by a NUL, the list by another.
    std::wstring from;
    for (const Row& row : w.rows) {
        if (row.finding.kind != MediaKind::unused) continue;
        std::wstring path = wide_path(row.finding.path);
        std::replace(path.begin(), path.end(), L'/', L'\\');
        from += path;
        from += L'\0';
    }
    from += L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = w.window;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT;
    if (SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted)
        message_box(w.window, "画像ファイルをごみ箱に移動できませんでした。", MB_OK | MB_ICONWARNING);
    run_check(w.window);
}

}  // namespace qz
