#include "win/app/recovery_win.h"
#include "win/app/main_window_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "core/layout/layout.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/app/commands_win.h"
#include "win/app/file_commands_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/separator_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"
#include "win/view/command_state_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/main_layout_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

const int kTooltipCommands[] = {CMD_NEW, CMD_OPEN,  CMD_SAVE,  CMD_PRINT_PREVIEW, CMD_PRINT, CMD_UNDO,
                                CMD_CUT, CMD_COPY,  CMD_PASTE, CMD_DELETE,        CMD_FIND};

// The pictures drawn for the window's display scale, kept while the
// toolbar shows them.
unique_image_list& toolbar_images() {
    static unique_image_list images;
    return images;
}

void set_toolbar_images(HWND toolbar, int dpi) {
    const int size = toolbar_image_size(dpi);
    const int resource = size == 32 ? IDB_TOOLBAR_32 : size == 24 ? IDB_TOOLBAR_24 : IDB_TOOLBAR_16;
    unique_bitmap strip(static_cast<HBITMAP>(
        LoadImageW(app().instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    unique_image_list images(ImageList_Create(size, size, ILC_COLOR32, 11, 0));
    // Without them the toolbar keeps the pictures it has.
    if (!strip || !images || ImageList_Add(images.get(), strip.get(), nullptr) < 0) return;
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    toolbar_images() = std::move(images);
}

HWND create_toolbar(HWND hwnd) {
    // Pictures in the order of the strip (scripts/tools/make_toolbar_images.py).
    TBBUTTON buttons[] = {
        {0, CMD_NEW, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {1, CMD_OPEN, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {2, CMD_SAVE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {3, CMD_PRINT_PREVIEW, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {4, CMD_PRINT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {5, CMD_UNDO, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {6, CMD_CUT, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {7, CMD_COPY, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {8, CMD_PASTE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {9, CMD_DELETE, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {10, CMD_FIND, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    };
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT, 0, 0, 0, 0, hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOLBAR)),
                                   app().instance, nullptr);
    if (!toolbar) return nullptr;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    set_toolbar_images(toolbar, window_dpi(hwnd));
    SendMessageW(toolbar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    return toolbar;
}

void set_menu_check(HWND hwnd, int id, bool checked) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = checked ? MFS_CHECKED : MFS_UNCHECKED;
    SetMenuItemInfoW(GetMenu(hwnd), id, FALSE, &info);
}

void focus_first_pane_control(bool backwards) {
    HWND pane = app().pane;
    if (!pane) return;
    HWND child = backwards ? GetWindow(GetTopWindow(pane), GW_HWNDLAST) : GetTopWindow(pane);
    for (; child; child = GetWindow(child, backwards ? GW_HWNDPREV : GW_HWNDNEXT)) {
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && IsWindowEnabled(child)) {
            SetFocus(child);
            return;
        }
    }
}

// ---- Handlers

LRESULT on_create(HWND hwnd) {
    Application& a = app();
    a.main_window = hwnd;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);

    // The window is created at its size in 96-dpi units (as the settings
    // file keeps it); at another display scale it grows to match.
    if (const int dpi = window_dpi(hwnd); dpi != kDesignDpi) {
        RECT box{};
        GetWindowRect(hwnd, &box);
        SetWindowPos(hwnd, nullptr, 0, 0, scale_for_dpi(box.right - box.left, dpi),
                     scale_for_dpi(box.bottom - box.top, dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    a.toolbar = create_toolbar(hwnd);
    a.status_bar = CreateStatusWindowW(
        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CCS_BOTTOM | SBARS_SIZEGRIP, L"", hwnd,
        IDC_STATUS_BAR);
    a.line_list = create_line_list(hwnd);
    a.separator = CreateWindowExW(0, wide(kSeparatorClass).c_str(), L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_MAIN_SEPARATOR)),
                                  a.instance, nullptr);
    if (!a.toolbar || !a.status_bar || !a.line_list || !a.separator) return -1;
    SendMessageW(a.separator, kSeparatorSetOrientation, 1, 0);

    show_f1_hint();

    ShowWindow(a.toolbar, a.prefs.Flags & SHOW_TOOLBAR ? SW_SHOW : SW_HIDE);
    ShowWindow(a.status_bar, a.prefs.Flags & SHOW_STATUS_BAR ? SW_SHOW : SW_HIDE);
    set_menu_check(hwnd, CMD_TOGGLE_TOOLBAR, a.prefs.Flags & SHOW_TOOLBAR);
    set_menu_check(hwnd, CMD_TOGGLE_STATUS_BAR, a.prefs.Flags & SHOW_STATUS_BAR);

    if (!create_pane_resources()) return -1;
    rebuild_recent_menu(hwnd);
    start_recovery_timer(hwnd);
    return 0;
}

void on_size(HWND hwnd, int width, int height) {
    Application& a = app();
    if (a.status_bar) {
        StatusParts parts = status_bar_parts(width, visible_height(a.status_bar));
        int edges[2] = {parts.first, parts.second};
        SendMessageW(a.status_bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
        SendMessageW(a.status_bar, WM_SIZE, 0, 0);
    }
    if (a.toolbar) SendMessageW(a.toolbar, WM_SIZE, 0, 0);
    layout_main_window();
}

void on_destroy(HWND hwnd) {
    Application& a = app();
    KillTimer(hwnd, kRecoveryTimer);
    finish_recovery();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(hwnd, &placement)) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const RECT& normal = placement.rcNormalPosition;
        // The size is kept in 96-dpi units, the place in pixels.
        const int dpi = window_dpi(hwnd);
        a.prefs.Width = unscale_for_dpi(normal.right - normal.left, dpi);
        a.prefs.Height = unscale_for_dpi(normal.bottom - normal.top, dpi);
        a.prefs.Left = normal.left + work.left;
        a.prefs.Top = normal.top + work.top;
        a.prefs.Show = placement.showCmd == SW_SHOWMAXIMIZED ? 1 : 0;
    }
    a.main_window = a.line_list = a.toolbar = a.status_bar = a.separator = a.pane = nullptr;
    PostQuitMessage(0);
}

void on_list_item_changed(const NMLISTVIEW& change) {
    // Operations that move states around update everything once at the end.
    if (ListNotificationGuard::active()) return;
    note_list_state(change);
    update_command_state();
    if (change.iItem < 0) return;
    bool was_focused = change.uOldState & LVIS_FOCUSED;
    bool is_focused = change.uNewState & LVIS_FOCUSED;
    if (was_focused && !is_focused) {
        // The pane's edit control loses the focus first, which commits it.
        SetFocus(app().line_list);
    } else if (is_focused) {
        show_line_in_pane(change.iItem);
    }
}

LRESULT on_notify(HWND hwnd, WPARAM wparam, LPARAM lparam) {
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (header->idFrom == IDC_LINE_LIST) {
        switch (header->code) {
        case LVN_GETDISPINFOW: {
            LRESULT result = 0;
            line_list_notify(*header, result);
            return result;
        }
        case LVN_KEYDOWN: {
            auto* key = reinterpret_cast<NMLVKEYDOWN*>(lparam);
            if (key->wVKey == VK_TAB)
                focus_first_pane_control(GetKeyState(VK_SHIFT) < 0);
            else if (key->wVKey == VK_DELETE)
                dispatch_command(hwnd, CMD_DELETE);
            else if (key->wVKey == 'Z' && GetKeyState(VK_CONTROL) < 0)
                dispatch_command(hwnd, CMD_UNDO);
            break;
        }
        case LVN_ITEMCHANGED:
            on_list_item_changed(*reinterpret_cast<NMLISTVIEW*>(lparam));
            break;
        case LVN_ODSTATECHANGED:
            if (!ListNotificationGuard::active()) {
                note_list_states_changed();
                update_command_state();
            }
            break;
        case NM_SETFOCUS:
            if (!ListNotificationGuard::active()) update_command_state();
            break;
        }
    } else if (header->code == TTN_NEEDTEXTW) {
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lparam);
        for (int id : kTooltipCommands) {
            if (static_cast<int>(header->idFrom) == id) {
                tip->hinst = app().instance;
                tip->lpszText = MAKEINTRESOURCEW(id);
            }
        }
    }
    return DefWindowProcW(hwnd, WM_NOTIFY, wparam, lparam);
}

void on_help(HWND hwnd, const HELPINFO& info) {
    DWORD topic = kTopicMenu;
    if (info.iContextType != HELPINFO_MENUITEM) {
        switch (editor().current_kind()) {
        case LINE_TITLE: topic = kTopicTitle; break;
        case LINE_TEXT: topic = kTopicQuestion; break;
        case LINE_GROUP: topic = kTopicGroup; break;
        case LINE_MESSAGE: topic = kTopicMessage; break;
        default: topic = kTopicOther; break;
        }
    }
    show_help(hwnd, kHelpContext, topic);
}

void on_context_menu(HWND hwnd, int x, int y) {
    HWND list = app().line_list;
    if (x == -1 && y == -1) {
        // From the keyboard: at the focused item.
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        int focus = focused_item();
        if (focus >= 0 && SendMessageW(list, LVM_GETITEMRECT, focus, reinterpret_cast<LPARAM>(&r))) {
            POINT p{r.left + 8, r.bottom};
            ClientToScreen(list, &p);
            x = p.x;
            y = p.y;
        }
    } else {
        LVHITTESTINFO hit{};
        hit.pt = {x, y};
        ScreenToClient(list, &hit.pt);
        int item = static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (item >= 0) set_item_state(item, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    }
    unique_menu menu(LoadMenuW(app().instance, MAKEINTRESOURCEW(IDR_CONTEXT_MENU)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.get(), 0);
    edit_state(popup);
    TrackPopupMenu(popup, TPM_LEFTBUTTON, x, y, 0, hwnd, nullptr);
}

void on_drop_files(HWND hwnd, HDROP drop) {
    std::wstring name(DragQueryFileW(drop, 0, nullptr, 0), L'\0');
    DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size() + 1));
    DragFinish(drop);
    const std::string path = utf8_path(name);
    // A path that does not fit is refused before the document is touched.
    if (path_fits(hwnd, path) && confirm_discard(hwnd)) open_document(hwnd, path);
}

LRESULT dispatch(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_CREATE: return on_create(hwnd);
    case WM_SIZE: on_size(hwnd, LOWORD(lparam), HIWORD(lparam)); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wparam) != WA_INACTIVE && app().line_list) SetFocus(app().line_list);
        return 0;
    case WM_CLOSE:
        if (confirm_discard(hwnd)) DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY: on_destroy(hwnd); return 0;
    case WM_NOTIFY: return on_notify(hwnd, wparam, lparam);
    // The controls notify in UTF-16 (the line list asks for its texts so).
    case WM_NOTIFYFORMAT:
        if (lparam == NF_QUERY) return NFR_UNICODE;
        break;
    case WM_DPICHANGED: {
        // Moved to a screen of another scale: the size Windows suggests, and
        // the panes and columns laid out anew.
        const RECT& suggested = *reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        rescale_line_list_columns(LOWORD(wparam));
        if (app().toolbar) set_toolbar_images(app().toolbar, LOWORD(wparam));
        rescale_pane_fonts();
        layout_main_window();
        return 0;
    }
    case WM_HELP: on_help(hwnd, *reinterpret_cast<HELPINFO*>(lparam)); return TRUE;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wparam) == app().line_list) {
            on_context_menu(hwnd, static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
            return 0;
        }
        break;
    case WM_COMMAND:
        if (dispatch_command(hwnd, LOWORD(wparam))) return 0;
        break;
    case WM_INITMENU: update_command_state(); return 0;
    case WM_DROPFILES: on_drop_files(hwnd, reinterpret_cast<HDROP>(wparam)); return 0;
    case WM_TIMER:
        if (wparam == kRecoveryTimer) {
            recovery_tick();
            return 0;
        }
        break;
    case kSeparatorMoved:
        if (wparam == IDC_MAIN_SEPARATOR) {
            const int dpi = window_dpi(hwnd);
            app().prefs.ListWidth =
                unscale_for_dpi(static_cast<int>(lparam) - scale_for_dpi(kSeparatorWidth, dpi), dpi);
            layout_main_window();
            return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    return guarded_proc<dispatch>(hwnd, msg, wparam, lparam);
}

}  // namespace qz
