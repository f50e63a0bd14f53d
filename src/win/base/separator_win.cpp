#include "win/base/separator_win.h"

namespace qz {
namespace {

constexpr int kOrientation = 0;
constexpr int kDragging = 4;

bool vertical(HWND hwnd) { return GetWindowLongW(hwnd, kOrientation) == 1; }
bool dragging(HWND hwnd) { return GetWindowLongW(hwnd, kDragging) != 0; }

void end_drag(HWND hwnd) {
    SetWindowLongW(hwnd, kDragging, 0);
    if (GetCapture() == hwnd) ReleaseCapture();
}

}  // namespace

LRESULT CALLBACK separator_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(vertical(hwnd) ? 32644 : 32645)));  // IDC_SIZEWE, IDC_SIZENS
        return TRUE;
    case WM_LBUTTONDOWN:
        SetWindowLongW(hwnd, kDragging, 1);
        SetCapture(hwnd);
        return 0;
    case WM_MOUSEMOVE:
        if (dragging(hwnd)) {
            HWND parent = GetParent(hwnd);
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(parent, &p);
            SendMessageW(parent, kSeparatorMoved, GetDlgCtrlID(hwnd), (vertical(hwnd) ? p.x : p.y) + 3);
        }
        return 0;
    case WM_LBUTTONUP:
        end_drag(hwnd);
        return 0;
    case WM_RBUTTONDOWN:
        if (dragging(hwnd)) end_drag(hwnd);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lparam) != hwnd) SetWindowLongW(hwnd, kDragging, 0);
        return 0;
    case kSeparatorSetOrientation:
        SetWindowLongW(hwnd, kOrientation, static_cast<LONG>(wparam));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace qz
