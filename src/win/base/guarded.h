// Window and dialog procedures catch every exception at their boundary:
// running out of memory gets its message, the window lives on.
#pragma once

#include <windows.h>

#include <new>

#include "win/base/message_box.h"

namespace qz {

template <INT_PTR (*Procedure)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR CALLBACK guarded_dialog_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    try {
        return Procedure(hwnd, msg, wparam, lparam);
    } catch (const std::bad_alloc&) {
        show_error(hwnd, "メモリが足りません。");
    } catch (...) {
        show_error(hwnd, "予期しないエラーが発生しました。");
    }
    return FALSE;
}

template <LRESULT (*Procedure)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK guarded_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    try {
        return Procedure(hwnd, msg, wparam, lparam);
    } catch (const std::bad_alloc&) {
        show_error(hwnd, "メモリが足りません。");
    } catch (...) {
        show_error(hwnd, "予期しないエラーが発生しました。");
    }
    return 0;
}

}  // namespace qz
