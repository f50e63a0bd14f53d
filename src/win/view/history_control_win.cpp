#include "win/view/history_control_win.h"

#include <commctrl.h>

#include "win/base/wide_win.h"
#include "win/view/command_state_win.h"
#include "win/view/pane_common_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

constexpr UINT_PTR kHistorySubclass = 2;

// One strip exists at a time.
struct HistoryState {
    int value = 0;
    int hot = 0;        // mark 1-5 under the mouse; 0 or less for none
    int drawn_hot = 0;  // the hot mark last painted
    bool tracking = false;
};

HistoryState& state() {
    static HistoryState s;
    return s;
}

int strip_cell(HWND control) { return cell_height(GetParent(control), GetDlgCtrlID(control)); }

int strip_left(HWND control) {
    RECT r;
    GetClientRect(control, &r);
    return (r.right - 5 * strip_cell(control)) / 2;
}

void paint(HWND control) {
    HistoryState& s = state();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(control, &ps);
    RECT client;
    GetClientRect(control, &client);
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (GetFocus() == control) DrawFocusRect(dc, &client);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ old_font = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    const int cell = strip_cell(control);
    int x = strip_left(control);
    const int y = (client.bottom - cell) / 2;
    for (int mark = 1; mark <= 5; ++mark) {
        RECT r{x, y, client.right, client.bottom};
        SetTextColor(dc, mark == s.hot ? RGB(255, 0, 0) : RGB(0, 0, 0));
        const char* text = s.value & (1 << (mark - 1)) ? "○" : "×";
        DrawTextW(dc, wide(text).c_str(), -1, &r, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);
        x += cell;
    }
    s.drawn_hot = s.hot;
    if (old_font) SelectObject(dc, old_font);
    EndPaint(control, &ps);
}

void toggle(HWND control, int mark) {
    state().value ^= 1 << (mark - 1);
    InvalidateRect(control, nullptr, TRUE);
    mark_pane_changed();
    commit_pane();
}

void set_hot(HWND control, int hot) {
    HistoryState& s = state();
    s.hot = hot;
    if (s.hot != s.drawn_hot) InvalidateRect(control, nullptr, TRUE);
}

LRESULT CALLBACK history_proc(HWND control, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                              DWORD_PTR) {
    HistoryState& s = state();
    switch (msg) {
    case WM_PAINT: paint(control); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(control, nullptr, TRUE);
        if (msg == WM_SETFOCUS) update_command_state();
        break;
    case kHistorySetValue:
        s.value = lparam >= 0 && lparam <= 31 ? static_cast<int>(lparam) : 0;
        InvalidateRect(control, nullptr, TRUE);
        return 0;
    case kHistoryGetValue: return s.value;
    case WM_KEYDOWN:
        if (wparam >= '1' && wparam <= '5') {
            toggle(control, static_cast<int>(wparam - '0'));
            return 0;
        }
        if (wparam >= VK_NUMPAD1 && wparam <= VK_NUMPAD5) {
            toggle(control, static_cast<int>(wparam - VK_NUMPAD0));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wparam >= '1' && wparam <= '5') return 0;  // handled as keys
        break;
    case WM_MOUSEMOVE: {
        if (!s.tracking) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, control, 0};
            s.tracking = TrackMouseEvent(&track);
        }
        POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        RECT client;
        GetClientRect(control, &client);
        int hot = 0;
        if (PtInRect(&client, p)) {
            int d = p.x - strip_left(control);
            int cell = strip_cell(control);
            hot = d < 0 ? d : (d / cell <= 4 ? d / cell + 1 : 0);
        }
        set_hot(control, hot);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(control);
        if (s.hot >= 1 && s.hot <= 5) toggle(control, s.hot);
        return 0;
    case WM_MOUSELEAVE:
        s.tracking = false;
        set_hot(control, 0);
        return 0;
    case WM_DESTROY:
        if (s.tracking) {
            TRACKMOUSEEVENT track{sizeof track, TME_CANCEL | TME_LEAVE, control, 0};
            TrackMouseEvent(&track);
            s.tracking = false;
        }
        s.hot = s.drawn_hot = 0;
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(control, history_proc, kHistorySubclass); break;
    }
    return DefSubclassProc(control, msg, wparam, lparam);
}

}  // namespace

void make_history_control(HWND control) {
    SetWindowLongPtrW(control, GWL_EXSTYLE, GetWindowLongPtrW(control, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(control, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    SetWindowSubclass(control, history_proc, kHistorySubclass, 0);
    state() = HistoryState{};
}

}  // namespace qz
