#include "win/base/separator_win.h"

namespace qz {
namespace {

constexpr int kOrientation = 0;
constexpr int kDragging = 4;  // 1 + where in the bar it was taken, while dragged

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
        // The bar keeps the place under the mouse where it was taken.
        SetWindowLongW(hwnd, kDragging,
                       1 + (vertical(hwnd) ? static_cast<short>(LOWORD(lparam)) : static_cast<short>(HIWORD(lparam))));
        SetCapture(hwnd);
        return 0;
    case WM_MOUSEMOVE:
        if (dragging(hwnd)) {
            HWND parent = GetParent(hwnd);
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(parent, &p);
            RECT bar{};
            GetClientRect(hwnd, &bar);
            const int taken = GetWindowLongW(hwnd, kDragging) - 1;
            const int far_edge = (vertical(hwnd) ? p.x + bar.right : p.y + bar.bottom) - taken;
            SendMessageW(parent, kSeparatorMoved, GetDlgCtrlID(hwnd), far_edge);
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
