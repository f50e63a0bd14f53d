// Move-only owners for the Win32 handles of windows and drawing; those of
// files come from the platform layer.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/handles.h"

namespace qz {

template <class Handle>
struct gdi_traits {
    using pointer = Handle;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { DeleteObject(h); }
};

struct global_traits {
    using pointer = HGLOBAL;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { GlobalFree(h); }
};

struct menu_traits {
    using pointer = HMENU;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { DestroyMenu(h); }
};

struct module_traits {
    using pointer = HMODULE;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { FreeLibrary(h); }
};

struct dc_traits {
    using pointer = HDC;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { DeleteDC(h); }
};

using unique_font = unique_handle<gdi_traits<HFONT>>;
using unique_brush = unique_handle<gdi_traits<HBRUSH>>;
using unique_pen = unique_handle<gdi_traits<HPEN>>;
using unique_bitmap = unique_handle<gdi_traits<HBITMAP>>;
using unique_region = unique_handle<gdi_traits<HRGN>>;
using unique_global = unique_handle<global_traits>;
using unique_menu = unique_handle<menu_traits>;
using unique_module = unique_handle<module_traits>;
// A device context made by CreateDCA or CreateCompatibleDC.
using unique_dc = unique_handle<dc_traits>;

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
