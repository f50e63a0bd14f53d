#include "win/view/main_layout_win.h"

#include "core/layout/layout.h"
#include "win/base/app_state_win.h"

namespace qz {

void redraw_whole(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void show_child_window(HWND child) {
    SetWindowPos(child, nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    redraw_whole(child);
}

int visible_height(HWND child) {
    if (!child || !IsWindowVisible(child)) return 0;
    RECT r;
    GetWindowRect(child, &r);
    return r.bottom - r.top;
}

void layout_main_window() {
    Application& a = app();
    HWND hwnd = a.main_window;
    if (!hwnd || IsIconic(hwnd)) return;
    RECT client;
    GetClientRect(hwnd, &client);
    int toolbar = a.prefs.Flags & SHOW_TOOLBAR ? visible_height(a.toolbar) : 0;
    int status = a.prefs.Flags & SHOW_STATUS_BAR ? visible_height(a.status_bar) : 0;
    // ListWidth is kept at 96 dpi; it is written back only when clamped, so
    // that scaling there and back does not creep.
    const int dpi = window_dpi(hwnd);
    const int list_width = scale_for_dpi(a.prefs.ListWidth, dpi);
    MainLayout l = main_window_layout(client.right, client.bottom, toolbar, status, list_width, dpi);
    if (l.list_width != list_width) a.prefs.ListWidth = unscale_for_dpi(l.list_width, dpi);
    if (a.pane) MoveWindow(a.pane, l.pane.x, l.pane.y, l.pane.width, l.pane.height, TRUE);
    if (a.separator)
        MoveWindow(a.separator, l.separator.x, l.separator.y, l.separator.width, l.separator.height, TRUE);
    if (a.line_list) MoveWindow(a.line_list, l.list.x, l.list.y, l.list.width, l.list.height, TRUE);
    InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace qz
