// The separator bar ("QuizoEditSeparator") between the line list and the
// pane, and inside panes. Dragging it sends its parent WM_USER + 2 with the
// bar's control id and the cursor's parent coordinate + 3.
#pragma once

#include <windows.h>

namespace qz {

inline constexpr UINT kSeparatorSetOrientation = WM_USER + 1;  // wParam: 0 horizontal, 1 vertical
inline constexpr UINT kSeparatorMoved = WM_USER + 2;
inline constexpr int kSeparatorExtraBytes = 8;

LRESULT CALLBACK separator_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

}  // namespace qz
