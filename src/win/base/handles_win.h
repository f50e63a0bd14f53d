// Move-only owners for the Win32 handles of windows and drawing; those of
// files come from the platform layer.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

#include "platform/handles.h"

namespace qz {

using unique_font = unique_handle<null_handle_traits<HFONT, &DeleteObject>>;
using unique_brush = unique_handle<null_handle_traits<HBRUSH, &DeleteObject>>;
using unique_pen = unique_handle<null_handle_traits<HPEN, &DeleteObject>>;
using unique_bitmap = unique_handle<null_handle_traits<HBITMAP, &DeleteObject>>;
using unique_region = unique_handle<null_handle_traits<HRGN, &DeleteObject>>;
using unique_global = unique_handle<null_handle_traits<HGLOBAL, &GlobalFree>>;
using unique_image_list = unique_handle<null_handle_traits<HIMAGELIST, &ImageList_Destroy>>;
using unique_menu = unique_handle<null_handle_traits<HMENU, &DestroyMenu>>;
using unique_module = unique_handle<null_handle_traits<HMODULE, &FreeLibrary>>;
// A device context made by CreateDCA or CreateCompatibleDC.
using unique_dc = unique_handle<null_handle_traits<HDC, &DeleteDC>>;

// A window's device context, released when the owner goes.
class window_dc {
public:
    explicit window_dc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;
    ~window_dc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// A GDI object selected into a DC for the lifetime of the owner.
class select_object {
public:
    select_object(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    select_object(const select_object&) = delete;
    select_object& operator=(const select_object&) = delete;
    ~select_object() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace qz
