// The line list: a report list view (control 1050) that mirrors the card
// document item for item, so that an item's index is its line's index.
//
// The list holds no texts of its own (LVS_OWNERDATA): it asks for them
// while painting, which keeps filling and clearing instant however long the
// document is. It shows the selected and focused states of the editor
// model (list_mirror_win.h).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace qz {

// The list with its columns (widths from the preferences).
HWND create_line_list(HWND parent);

// Redraws the kind labels of the items first..last (clamped to the list).
void relabel_lines(int first, int last);
// Redraws the data column of one item.
void set_line_data(int index);
// Status bar part 0: the hint that F1 opens the help.
void show_f1_hint();
// Status bar part 0: a message (until the next hint replaces it).
void show_status_message(const char* text);
// Status bar part 1: "\t%d/%d" (file line number of `index`, last one).
void show_line_position(int index);

// Answers LVN_GETDISPINFOW (or A) with the line number, label or text of an
// item; true when it was that notification.
bool line_list_notify(const NMHDR& header, LRESULT& result);

// The columns' widths from the settings (kept at 96 dpi) scaled to `dpi`.
void rescale_line_list_columns(int dpi);

// Item states.
void set_item_state(int index, UINT state, UINT mask);
UINT item_state(int index, UINT mask);
int next_selected_item(int after);
int focused_item();
int line_list_count();
std::vector<int> selected_items();

// While one of these lives the list does not redraw (changing many item
// states one by one is fast then); it is redrawn whole at the end.
class ListRedrawGuard {
public:
    ListRedrawGuard();
    ~ListRedrawGuard();
    ListRedrawGuard(const ListRedrawGuard&) = delete;
    ListRedrawGuard& operator=(const ListRedrawGuard&) = delete;
};

// While one of these lives, the list's state notifications are not taken
// for user actions (operations that move states around set `current`
// themselves).
class ListNotificationGuard {
public:
    ListNotificationGuard();
    ~ListNotificationGuard();
    ListNotificationGuard(const ListNotificationGuard&) = delete;
    ListNotificationGuard& operator=(const ListNotificationGuard&) = delete;
    static bool active();
};

}  // namespace qz
