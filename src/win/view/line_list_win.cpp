#include "win/view/line_list_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/document/line_labels.h"
#include "core/layout/layout.h"
#include "core/syntax/scan.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/report_list_win.h"
#include "win/base/wide_win.h"
#include "win/view/main_layout_win.h"

namespace qz {
namespace {

int guard_depth = 0;

HWND list() { return app().line_list; }

void set_status_text(int part, const char* text, UINT flags = 0) {
    if (app().status_bar)
        SendMessageW(app().status_bar, SB_SETTEXTW, part | flags,
                     reinterpret_cast<LPARAM>(wide(text).c_str()));
}

}  // namespace

int redraw_depth = 0;

ListRedrawGuard::ListRedrawGuard() {
    if (redraw_depth++ == 0 && list()) SendMessageW(list(), WM_SETREDRAW, FALSE, 0);
}

ListRedrawGuard::~ListRedrawGuard() {
    if (--redraw_depth == 0 && list()) {
        SendMessageW(list(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list(), nullptr, TRUE);
    }
}

ListNotificationGuard::ListNotificationGuard() { ++guard_depth; }
ListNotificationGuard::~ListNotificationGuard() { --guard_depth; }
bool ListNotificationGuard::active() { return guard_depth > 0; }

namespace {

ReportList& report() {
    static ReportList list;
    return list;
}

// The line number, label or text of an item.
const char* cell_text(int index, int column) {
    static std::string cell;
    const CardDocument& doc = document();
    const DataLine* line = doc.line_at(index);
    if (!line) return "";
    switch (column) {
        case 0: cell = format_decimal(CardDocument::file_line_number(index)); return cell.c_str();
        case 1: cell = line_label(doc, index); return cell.c_str();
        default: return line->c_str();
    }
}

}  // namespace

HWND create_line_list(HWND parent) {
    HWND hwnd = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER |
            LVS_OWNERDATA,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LINE_LIST)),
        app().instance, nullptr);
    if (!hwnd) return nullptr;
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES);
    report() = ReportList(hwnd, cell_text);
    const Preferences& prefs = app().prefs;
    // Widths in the settings file are at 96 dpi.
    const int dpi = window_dpi(parent);
    const ReportColumn columns[] = {{"行", scale_for_dpi(prefs.ListColumnLine, dpi)},
                                    {"種類", scale_for_dpi(prefs.ListColumnType, dpi)},
                                    {"データ", scale_for_dpi(prefs.ListColumnData, dpi)}};
    report().add_columns(columns);
    return hwnd;
}

bool line_list_notify(const NMHDR& header, LRESULT& result) {
    return header.code == LVN_GETDISPINFOW && report().notify(header, result);
}

void rescale_line_list_columns(int dpi) {
    const Preferences& prefs = app().prefs;
    const int widths[] = {prefs.ListColumnLine, prefs.ListColumnType, prefs.ListColumnData};
    for (int column = 0; column < 3; ++column)
        SendMessageW(list(), LVM_SETCOLUMNWIDTH, column, scale_for_dpi(widths[column], dpi));
}

void show_status_message(const char* text) { set_status_text(0, text, SBT_NOBORDERS); }

void show_f1_hint() {
    wchar_t hint[128] = {};
    LoadStringW(app().instance, IDS_F1_HINT, hint, 128);
    if (app().status_bar)
        SendMessageW(app().status_bar, SB_SETTEXTW, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(hint));
}

void relabel_lines(int first, int last) {
    int count = line_list_count();
    last = std::min(last, count - 1);
    if (first < 0 || first > last) return;
    // The list asks for its texts while painting, so only the items in view
    // need drawing again (the list takes long over a range of many items,
    // even ones out of view).
    const int top = static_cast<int>(SendMessageW(list(), LVM_GETTOPINDEX, 0, 0));
    const int per_page = static_cast<int>(SendMessageW(list(), LVM_GETCOUNTPERPAGE, 0, 0));
    first = std::max(first, top);
    last = std::min(last, top + per_page);
    if (first <= last) SendMessageW(list(), LVM_REDRAWITEMS, first, last);
}

void set_line_data(int index) {
    if (index >= 0 && index < line_list_count()) SendMessageW(list(), LVM_REDRAWITEMS, index, index);
}

void show_line_position(int index) {
    char text[64];
    std::snprintf(text, sizeof text, "\t%d/%d", CardDocument::file_line_number(index),
                  document().count() + 1);
    set_status_text(1, text);
}

void set_item_state(int index, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(list(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

UINT item_state(int index, UINT mask) {
    return static_cast<UINT>(SendMessageW(list(), LVM_GETITEMSTATE, index, mask));
}

int next_selected_item(int after) {
    return static_cast<int>(SendMessageW(list(), LVM_GETNEXTITEM, after, LVNI_SELECTED));
}

int focused_item() {
    return static_cast<int>(SendMessageW(list(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
}

int line_list_count() { return static_cast<int>(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0)); }

std::vector<int> selected_items() {
    std::vector<int> items;
    for (int i = next_selected_item(-1); i >= 0; i = next_selected_item(i)) items.push_back(i);
    return items;
}

}  // namespace qz
