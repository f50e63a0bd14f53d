// Window and dialog procedures catch every exception at their boundary:
// running out of memory gets its message, the window lives on.
#pragma once

#include <windows.h>

#include <new>

#include "win/base/message_box_win.h"

namespace qz {

// One body for both: a dialog procedure answers FALSE, a window procedure 0
// after an exception.
template <auto Procedure>
auto CALLBACK guarded_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
    -> decltype(Procedure(hwnd, msg, wparam, lparam)) {
    try {
        return Procedure(hwnd, msg, wparam, lparam);
    } catch (const std::bad_alloc&) {
        show_error(hwnd, "メモリが足りません。");
    } catch (...) {
        show_error(hwnd, "予期しないエラーが発生しました。");
    }
    return 0;
}

template <INT_PTR (*Procedure)(HWND, UINT, WPARAM, LPARAM)>
inline constexpr DLGPROC guarded_dialog_proc = guarded_proc<Procedure>;

template <LRESULT (*Procedure)(HWND, UINT, WPARAM, LPARAM)>
inline constexpr WNDPROC guarded_window_proc = guarded_proc<Procedure>;

}  // namespace qz
