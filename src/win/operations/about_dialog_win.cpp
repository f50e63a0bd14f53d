#include "win/operations/about_dialog_win.h"

#include <shellapi.h>
#include <winver.h>

#include <cstring>
#include <string>

#include "resources/about_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/font_spec_win.h"
#include "win/base/guarded_win.h"
#include "win/base/message_box_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

// "Version 1.0.0" from the program's version resource, the one place the
// number is kept; "Version" alone when the resource is missing.
std::string version_text() {
    std::string text = "Version";
    HRSRC found = FindResourceW(app().instance, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
    HGLOBAL loaded = found ? LoadResource(app().instance, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    const DWORD size = bytes ? SizeofResource(app().instance, found) : 0;
    // The fixed part begins with its signature on a 4-byte boundary.
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, bytes + at, sizeof info);
        if (info.dwSignature != 0xFEEF04BD) continue;
        text += " " + std::to_string(HIWORD(info.dwFileVersionMS)) + "." +
                std::to_string(LOWORD(info.dwFileVersionMS)) + "." +
                std::to_string(HIWORD(info.dwFileVersionLS));
        break;
    }
    return text;
}

struct AboutFonts {
    unique_font name, text, link;
};

bool over_link(HWND dialog) {
    POINT p;
    GetCursorPos(&p);
    RECT r;
    GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_LINK), &r);
    return PtInRect(&r, p);
}

INT_PTR on_init(HWND dialog, AboutFonts& fonts) {
    center_dialog(dialog);
    fonts.name = create_point_font(dialog, 24, FW_NORMAL, false, ANSI_CHARSET, "Times New Roman");
    fonts.text = create_point_font(dialog, 12, FW_NORMAL, false, SHIFTJIS_CHARSET, "ＭＳ Ｐゴシック");
    fonts.link = create_point_font(dialog, 10, FW_NORMAL, true, SHIFTJIS_CHARSET, "ＭＳ Ｐゴシック");
    SendDlgItemMessageW(dialog, IDC_ABOUT_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.name.get()),
                        FALSE);
    SendDlgItemMessageW(dialog, IDC_ABOUT_VERSION, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.text.get()),
                        FALSE);
    SendDlgItemMessageW(dialog, IDC_ABOUT_DESCRIPTION, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.text.get()),
                        FALSE);
    SendDlgItemMessageW(dialog, IDC_ABOUT_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.link.get()),
                        FALSE);
    set_item_text(dialog, IDC_ABOUT_VERSION, version_text());
    set_item_text(dialog, IDC_ABOUT_LINK, kHomePage);
    return TRUE;
}

INT_PTR about_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    static AboutFonts fonts;
    switch (msg) {
    case WM_INITDIALOG: return on_init(dialog, fonts);
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lparam) == GetDlgItem(dialog, IDC_ABOUT_LINK)) {
            HDC dc = reinterpret_cast<HDC>(wparam);
            SetTextColor(dc, RGB(0, 0, 255));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        }
        break;
    case WM_SETCURSOR:
        if (over_link(dialog)) {
            SetCursor(LoadCursorW(app().instance, MAKEINTRESOURCEW(IDC_HAND_CURSOR)));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
        case IDCANCEL: EndDialog(dialog, LOWORD(wparam)); return TRUE;
        case IDC_ABOUT_LINK:
            if (HIWORD(wparam) == STN_CLICKED)
                ShellExecuteW(dialog, nullptr, wide(kHomePage).c_str(), nullptr, nullptr, SW_SHOW);
            return TRUE;
        }
        break;
    case WM_DESTROY: fonts = AboutFonts{}; break;
    }
    return FALSE;
}

}  // namespace

void show_about_dialog(HWND owner) {
    DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, guarded_dialog_proc<about_proc>, 0);
}

}  // namespace qz
