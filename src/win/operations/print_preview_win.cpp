#include "win/base/wide_win.h"
#include "win/operations/print_preview_win.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "resources/print_preview_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/modeless_win.h"
#include "win/base/page_setup_win.h"
#include "win/base/handles_win.h"
#include "win/operations/print_job_win.h"
#include "win/operations/print_render_win.h"
#include "win/operations/problem_check_win.h"
#include "win/view/main_layout_win.h"
#include "core/layout/layout.h"

namespace qz {
namespace {

// Sizes at 96 dpi, scaled to the window's display scale.
constexpr int kGap = 16;     // grey around the page
constexpr int kShadow = 5;   // the page's shadow, right and below
constexpr int kLineStep = 40;  // what an arrow key scrolls at actual size
constexpr int kWheelStep = 3 * kLineStep;
constexpr SIZE kMinimumSize{460, 300};
const COLORREF kBackground = RGB(128, 128, 128);
const COLORREF kShadowColour = RGB(48, 48, 48);

// The printer's paper in its device units: its size, where the printable
// area (the device's origin, which the layout is placed from) lies on it,
// and the dots per inch.
struct Paper {
    int width = 0, height = 0;
    int offset_x = 0, offset_y = 0;
    int dpi_x = 0, dpi_y = 0;
};

Paper paper_of(HDC printer) {
    Paper p;
    p.width = GetDeviceCaps(printer, PHYSICALWIDTH);
    p.height = GetDeviceCaps(printer, PHYSICALHEIGHT);
    p.offset_x = GetDeviceCaps(printer, PHYSICALOFFSETX);
    p.offset_y = GetDeviceCaps(printer, PHYSICALOFFSETY);
    if (p.width <= 0 || p.height <= 0) {  // a device without paper: its surface
        p.width = GetDeviceCaps(printer, HORZRES);
        p.height = GetDeviceCaps(printer, VERTRES);
        p.offset_x = p.offset_y = 0;
    }
    p.dpi_x = std::max(1, GetDeviceCaps(printer, LOGPIXELSX));
    p.dpi_y = std::max(1, GetDeviceCaps(printer, LOGPIXELSY));
    return p;
}

// The one preview and what it shows.
struct Preview {
    HWND window = nullptr;
    HWND view = nullptr;
    int bar_height = 0;  // the strip of buttons above the view
    unique_dc printer;   // the layout measures on it
    std::unique_ptr<PrintPages> pages;
    Paper paper;
    int dpi = kDesignDpi;  // the window's: the page at actual size and the grey around it
    int count = 0;
    int page = 1;
    bool actual_size = false;
    POINT scroll{0, 0};  // at actual size, pixels scrolled
    int wheel = 0;       // wheel turns not yet made pages
    // The page last drawn, at its size on the screen; painting only copies it.
    unique_bitmap drawn;
    int drawn_page = 0;
    SIZE drawn_size{0, 0};
    bool drawing = false;
    bool setting_bars = false;
};

Preview& preview() {
    static Preview p;
    return p;
}

int scaled(const Preview& p, int design) { return scale_for_dpi(design, p.dpi); }

// Sets a flag for the lifetime of the owner.
class flag_set {
public:
    explicit flag_set(bool& flag) : flag_(flag) { flag_ = true; }
    flag_set(const flag_set&) = delete;
    flag_set& operator=(const flag_set&) = delete;
    ~flag_set() { flag_ = false; }

private:
    bool& flag_;
};

SIZE client_size(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// The page's size on the screen: at actual size as the screen's dots per
// inch make it, else the largest that leaves the gap and the shadow free.
SIZE page_size(const Preview& p, SIZE client) {
    const double width = static_cast<double>(p.paper.width) * p.dpi / p.paper.dpi_x;
    const double height = static_cast<double>(p.paper.height) * p.dpi / p.paper.dpi_y;
    double scale = 1;
    if (!p.actual_size) {
        const int edges = 2 * scaled(p, kGap) + scaled(p, kShadow);
        const int room_x = std::max<int>(client.cx - edges, 8);
        const int room_y = std::max<int>(client.cy - edges, 8);
        scale = std::min(room_x / width, room_y / height);
    }
    return {std::max(1L, std::lround(width * scale)), std::max(1L, std::lround(height * scale))};
}

SIZE content_size(const Preview& p, SIZE page) {
    const int edges = 2 * scaled(p, kGap) + scaled(p, kShadow);
    return {page.cx + edges, page.cy + edges};
}

// Where the page's corner lies in the view: centred when all of it fits,
// else after the gap, scrolled.
POINT page_origin(const Preview& p, SIZE client, SIZE page) {
    const SIZE content = content_size(p, page);
    const long gap = scaled(p, kGap), shadow = scaled(p, kShadow);
    const auto place = [gap, shadow](long room, long content, long page, long scrolled) {
        return content <= room ? (room - page - shadow) / 2 : gap - scrolled;
    };
    return {place(client.cx, content.cx, page.cx, p.scroll.x), place(client.cy, content.cy, page.cy, p.scroll.y)};
}

// Scroll bars at actual size when the page does not fit; none when fitted.
void update_scroll_bars(Preview& p) {
    if (p.setting_bars || !p.view) return;
    flag_set busy(p.setting_bars);
    // Showing one bar narrows the room the other way: a second pass settles it.
    for (int pass = 0; pass < 2; ++pass) {
        const SIZE client = client_size(p.view);
        const SIZE content = p.actual_size ? content_size(p, page_size(p, client)) : SIZE{0, 0};
        p.scroll.x = std::clamp<long>(p.scroll.x, 0, std::max<long>(0, content.cx - client.cx));
        p.scroll.y = std::clamp<long>(p.scroll.y, 0, std::max<long>(0, content.cy - client.cy));
        const struct {
            int bar;
            long content, room, position;
        } bars[] = {{SB_HORZ, content.cx, client.cx, p.scroll.x}, {SB_VERT, content.cy, client.cy, p.scroll.y}};
        for (const auto& b : bars) {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            info.nMax = static_cast<int>(std::max<long>(b.content - 1, 0));
            info.nPage = static_cast<UINT>(std::max<long>(b.room, 1));
            info.nPos = static_cast<int>(b.position);
            SetScrollInfo(p.view, b.bar, &info, TRUE);
        }
    }
}

// Draws the shown page at `size` unless it is drawn so already. The layout
// is the printer's: one logical unit is one of its dots, the origin the
// corner of its printable area.
void draw_shown_page(Preview& p, SIZE size) {
    if (p.drawing || !p.pages) return;
    if (p.drawn && p.drawn_page == p.page && p.drawn_size.cx == size.cx && p.drawn_size.cy == size.cy) return;
    flag_set busy(p.drawing);
    window_dc screen(p.view);
    unique_dc memory(CreateCompatibleDC(screen.get()));
    unique_bitmap bitmap(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    if (!memory || !bitmap) return;
    {
        select_object use(memory.get(), bitmap.get());
        const RECT all{0, 0, size.cx, size.cy};
        FillRect(memory.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetMapMode(memory.get(), MM_ANISOTROPIC);
        SetWindowExtEx(memory.get(), p.paper.width, p.paper.height, nullptr);
        SetViewportExtEx(memory.get(), size.cx, size.cy, nullptr);
        SetWindowOrgEx(memory.get(), -p.paper.offset_x, -p.paper.offset_y, nullptr);
        p.pages->draw_page(memory.get(), p.page);
    }
    p.drawn = std::move(bitmap);
    p.drawn_page = p.page;
    p.drawn_size = size;
}

// Grey background, the shadow and the drawn page, into `dc`.
void compose(const Preview& p, HDC dc, SIZE client, SIZE size) {
    const RECT all{0, 0, client.cx, client.cy};
    unique_brush grey(CreateSolidBrush(kBackground)), dark(CreateSolidBrush(kShadowColour));
    FillRect(dc, &all, grey.get());
    const POINT at = page_origin(p, client, size);
    const int off = scaled(p, kShadow);
    const RECT shadow{at.x + off, at.y + off, at.x + size.cx + off, at.y + size.cy + off};
    FillRect(dc, &shadow, dark.get());
    const bool ready = p.drawn && p.drawn_page == p.page && p.drawn_size.cx == size.cx && p.drawn_size.cy == size.cy;
    unique_dc source(ready ? CreateCompatibleDC(dc) : nullptr);
    if (source) {
        select_object use(source.get(), p.drawn.get());
        BitBlt(dc, at.x, at.y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
    } else {
        const RECT page{at.x, at.y, at.x + size.cx, at.y + size.cy};
        FillRect(dc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
}

// Paints through a bitmap of the whole view: nothing flickers.
void paint(HWND view) {
    Preview& p = preview();
    const SIZE client = client_size(view);
    const SIZE size = page_size(p, client);
    draw_shown_page(p, size);  // before BeginPaint: a message may show meanwhile
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(view, &ps);
    unique_dc buffer(CreateCompatibleDC(dc));
    unique_bitmap back(CreateCompatibleBitmap(dc, std::max<long>(client.cx, 1), std::max<long>(client.cy, 1)));
    if (buffer && back && p.pages) {
        select_object use(buffer.get(), back.get());
        compose(p, buffer.get(), client, size);
        BitBlt(dc, 0, 0, client.cx, client.cy, buffer.get(), 0, 0, SRCCOPY);
    }
    EndPaint(view, &ps);
}

void enable_control(const Preview& p, int id, bool enabled) {
    HWND control = GetDlgItem(p.window, id);
    if (!enabled && GetFocus() == control) SetFocus(p.view);
    EnableWindow(control, enabled);
}

void show_page_number(const Preview& p) {
    // Cards show which side the sheet is: "表 1（1 / 4）".
    const std::string numbers = std::to_string(p.page) + " / " + std::to_string(p.count);
    const std::string text = !p.pages || app().print.Form != PRINT_FORM_CARDS
                                 ? "ページ " + numbers
                                 : p.pages->page_label(p.page) + "（" + numbers + "）";
    set_item_text(p.window, IDC_PREVIEW_PAGE_NUMBER, text);
    enable_control(p, IDC_PREVIEW_PREVIOUS, p.page > 1);
    enable_control(p, IDC_PREVIEW_NEXT, p.page < p.count);
}

// Shows page `page` (kept inside the document) from its top; it is drawn
// at once, the view painted when messages are next handled.
void go_to_page(Preview& p, int page) {
    page = std::clamp(page, 1, p.count);
    if (page == p.page) return;
    p.page = page;
    p.scroll.y = 0;
    update_scroll_bars(p);
    draw_shown_page(p, page_size(p, client_size(p.view)));
    show_page_number(p);
    InvalidateRect(p.view, nullptr, FALSE);
}

void set_actual_size(Preview& p, bool actual) {
    p.actual_size = actual;
    p.scroll = {0, 0};
    update_scroll_bars(p);
    enable_control(p, IDC_PREVIEW_FIT, actual);
    enable_control(p, IDC_PREVIEW_ACTUAL_SIZE, !actual);
    InvalidateRect(p.view, nullptr, FALSE);
}

void scroll_to(Preview& p, long x, long y) {
    p.scroll = {x, y};
    update_scroll_bars(p);
    InvalidateRect(p.view, nullptr, FALSE);
}

// Page Up / Page Down, Home / End; true when `key` is one of them.
bool page_key(Preview& p, WPARAM key) {
    switch (key) {
        case VK_PRIOR: go_to_page(p, p.page - 1); return true;
        case VK_NEXT: go_to_page(p, p.page + 1); return true;
        case VK_HOME: go_to_page(p, 1); return true;
        case VK_END: go_to_page(p, p.count); return true;
    }
    return false;
}

void on_scroll(Preview& p, int bar, int code) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(p.view, bar, &info);
    long at = bar == SB_HORZ ? p.scroll.x : p.scroll.y;
    switch (code) {
        case SB_LINEUP: at -= scaled(p, kLineStep); break;
        case SB_LINEDOWN: at += scaled(p, kLineStep); break;
        case SB_PAGEUP: at -= static_cast<long>(info.nPage); break;
        case SB_PAGEDOWN: at += static_cast<long>(info.nPage); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: at = info.nTrackPos; break;
        case SB_TOP: at = 0; break;
        case SB_BOTTOM: at = info.nMax; break;
        default: return;
    }
    if (bar == SB_HORZ)
        scroll_to(p, at, p.scroll.y);
    else
        scroll_to(p, p.scroll.x, at);
}

// Fitted, the wheel turns pages; at actual size it scrolls.
void on_wheel(Preview& p, int delta) {
    if (p.actual_size) {
        scroll_to(p, p.scroll.x, p.scroll.y - MulDiv(delta, scaled(p, kWheelStep), WHEEL_DELTA));
        return;
    }
    p.wheel += delta;
    for (; p.wheel >= WHEEL_DELTA; p.wheel -= WHEEL_DELTA) go_to_page(p, p.page - 1);
    for (; p.wheel <= -WHEEL_DELTA; p.wheel += WHEEL_DELTA) go_to_page(p, p.page + 1);
}

LRESULT view_proc(HWND view, UINT msg, WPARAM wparam, LPARAM lparam) {
    Preview& p = preview();
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: paint(view); return 0;
        case WM_SIZE:
            update_scroll_bars(p);
            InvalidateRect(view, nullptr, FALSE);
            return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (page_key(p, wparam)) return 0;
            if (p.actual_size) {
                if (wparam == VK_UP) on_scroll(p, SB_VERT, SB_LINEUP);
                if (wparam == VK_DOWN) on_scroll(p, SB_VERT, SB_LINEDOWN);
                if (wparam == VK_LEFT) on_scroll(p, SB_HORZ, SB_LINEUP);
                if (wparam == VK_RIGHT) on_scroll(p, SB_HORZ, SB_LINEDOWN);
            }
            return 0;
        case WM_MOUSEWHEEL: on_wheel(p, GET_WHEEL_DELTA_WPARAM(wparam)); return 0;
        case WM_HSCROLL: on_scroll(p, SB_HORZ, LOWORD(wparam)); return 0;
        case WM_VSCROLL: on_scroll(p, SB_VERT, LOWORD(wparam)); return 0;
        case WM_LBUTTONDOWN: SetFocus(view); return 0;
    }
    return DefWindowProcW(view, msg, wparam, lparam);
}

bool register_view_class() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = guarded_window_proc<view_proc>;
    wc.hInstance = app().instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    wc.lpszClassName = L"" PREVIEW_PAGE_CLASS;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The windows the document could be changed from, off while the preview is up.
void enable_other_windows(bool enabled) {
    EnableWindow(app().main_window, enabled);
    if (HWND check = problem_check_window()) EnableWindow(check, enabled);
}

void close_preview() {
    Preview& p = preview();
    if (!p.window) return;
    // The main window first, so that it is the one activated.
    enable_other_windows(true);
    DestroyWindow(p.window);
}

void layout(const Preview& p) {
    HWND status = GetDlgItem(p.window, IDC_PREVIEW_PAGE_NUMBER);
    SendMessageW(status, WM_SIZE, 0, 0);  // it places itself along the bottom
    RECT bar{};
    GetWindowRect(status, &bar);
    const SIZE client = client_size(p.window);
    const long height = client.cy - p.bar_height - (bar.bottom - bar.top);
    MoveWindow(p.view, 0, p.bar_height, client.cx, std::max<long>(height, 0), TRUE);
}

void on_init(HWND window) {
    Preview& p = preview();
    p.window = window;
    p.view = GetDlgItem(window, IDC_PREVIEW_PAGE);
    RECT view{};
    GetWindowRect(p.view, &view);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&view), 2);
    p.bar_height = view.top;
    // Over the main window, as large.
    RECT main{};
    GetWindowRect(app().main_window, &main);
    SetWindowPos(window, nullptr, main.left, main.top,
                 std::max<long>(main.right - main.left, scaled(p, kMinimumSize.cx)),
                 std::max<long>(main.bottom - main.top, scaled(p, kMinimumSize.cy)), SWP_NOZORDER | SWP_NOACTIVATE);
    layout(p);
    show_page_number(p);
    set_actual_size(p, false);
    // Its page keys (Page Up / Page Down, Home / End, wherever the focus is
    // in it) come before the main window's accelerators.
    add_modeless(window, ModelessTurn::before_accelerators,
                 [](MSG& msg) { return msg.message == WM_KEYDOWN && page_key(preview(), msg.wParam); });
}

INT_PTR preview_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    Preview& p = preview();
    switch (msg) {
        case WM_INITDIALOG: on_init(window); return FALSE;
        case WM_SIZE:
            if (p.view) layout(p);
            return TRUE;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {scaled(p, kMinimumSize.cx),
                                                                     scaled(p, kMinimumSize.cy)};
            return TRUE;
        case WM_DPICHANGED: {
            // On a screen of another scale: the page drawn anew at its size there.
            p.dpi = LOWORD(wparam);
            p.drawn_page = 0;
            const RECT& box = *reinterpret_cast<const RECT*>(lparam);
            SetWindowPos(window, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            layout(p);
            return TRUE;
        }
        case WM_MOUSEWHEEL:  // from a button that had the focus
            SendMessageW(p.view, msg, wparam, lparam);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_PREVIEW_PREVIOUS: go_to_page(p, p.page - 1); return TRUE;
                case IDC_PREVIEW_NEXT: go_to_page(p, p.page + 1); return TRUE;
                case IDC_PREVIEW_FIT: set_actual_size(p, false); return TRUE;
                case IDC_PREVIEW_ACTUAL_SIZE: set_actual_size(p, true); return TRUE;
                case IDC_PREVIEW_PRINT: {
                    HWND main = app().main_window;
                    close_preview();
                    PostMessageW(main, WM_COMMAND, CMD_PRINT, 0);
                    return TRUE;
                }
                case IDCANCEL: close_preview(); return TRUE;
            }
            return FALSE;
        case WM_HELP: show_help(window, kHelpContext, kTopicPrint); return TRUE;
        case WM_CLOSE: close_preview(); return TRUE;
        case WM_DESTROY:
            remove_modeless(window);
            enable_other_windows(true);
            p.drawn.reset();
            p.pages.reset();  // before the printer it measured on
            p = Preview{};
            return FALSE;
    }
    return FALSE;
}

}  // namespace

HWND print_preview_window() { return preview().window; }


void show_print_preview(HWND main_window) {
    Preview& p = preview();
    if (p.window) {
        SetActiveWindow(p.window);
        return;
    }
    if (!ensure_page_setup(nullptr)) return;
    unique_dc printer(create_printer_dc(main_window));
    if (!printer) return;
    std::unique_ptr<PrintPages> pages = PrintPages::create(main_window, printer.get(), document());
    if (!pages) return;
    const int count = pages->count_pages();
    if (count <= 0) return;  // after the layout's message
    if (!register_view_class()) {
        show_error(main_window, "印刷プレビューを表示できません。");
        return;
    }
    p.paper = paper_of(printer.get());
    p.dpi = window_dpi(main_window);
    p.printer = std::move(printer);
    p.pages = std::move(pages);
    p.count = count;
    HWND window = CreateDialogParamW(app().instance, MAKEINTRESOURCEW(IDD_PRINT_PREVIEW), main_window,
                                     guarded_dialog_proc<preview_proc>, 0);
    if (!window) {
        p.pages.reset();
        p = Preview{};
        show_error(main_window, "印刷プレビューを表示できません。");
        return;
    }
    enable_other_windows(false);
    ShowWindow(window, SW_SHOW);
    SetFocus(p.view);
}

}  // namespace qz
