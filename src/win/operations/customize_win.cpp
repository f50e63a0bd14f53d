#include "win/operations/customize_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "core/document/recovery.h"
#include "core/prefs/customize.h"
#include "resources/customize_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/color_chooser_win.h"
#include "win/base/font_spec_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

constexpr const char* kImeNames[] = {"指定なし", "ON", "OFF"};
constexpr int kImeLists[kImeFieldCount] = {IDC_IME_TITLE, IDC_IME_QUESTION, IDC_IME_ANSWER,
                                           IDC_IME_COMMENT};
constexpr char kPreviewText[] = "12Aaあぁアァ亜宇";
constexpr UINT_PTR kPreviewSubclass = 1;

FontColorDialogHook& font_hook() {
    static FontColorDialogHook h;
    return h;
}

// The request of the sheet that is open.
const CustomizeRequest*& current_request() {
    static const CustomizeRequest* request = nullptr;
    return request;
}
const CustomizeRequest& sheet_request() { return *current_request(); }

void mark_changed(HWND page) {
    SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void page_result(HWND page, LONG_PTR result) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
}

void report_dialog_failure(HWND owner) {
    if (CommDlgExtendedError() != 0) show_error(owner, "ダイアログを表示できません。");
}

bool run_font_dialog(HWND owner, LOGFONTW& font, COLORREF& color) {
    if (font_hook()) return font_hook()(font, color);
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_NOVERTFONTS;
    choose.rgbColors = color;
    choose.nFontType = SCREEN_FONTTYPE;
    if (ChooseFontW(&choose)) {
        color = choose.rgbColors;
        return true;
    }
    report_dialog_failure(owner);
    return false;
}

bool run_color_dialog(HWND owner, COLORREF& color) { return choose_color(owner, color); }

// ---- "日本語入力"

void select_ime_entries(HWND page, const ImeChoices& choices) {
    for (int i = 0; i < kImeFieldCount; ++i)
        SendDlgItemMessageW(page, kImeLists[i], CB_SETCURSEL, choices[i], 0);
}

INT_PTR ime_page(HWND page, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG:
            for (int id : kImeLists)
                for (const char* name : kImeNames)
                    SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
            select_ime_entries(page, sheet_request().ime);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDC_CUSTOMIZE_RESET && HIWORD(wparam) == BN_CLICKED) {
                select_ime_entries(page, {IME_LEAVE, IME_LEAVE, IME_LEAVE, IME_LEAVE});
                mark_changed(page);
            } else if (HIWORD(wparam) == CBN_SELCHANGE) {
                mark_changed(page);
            }
            return TRUE;
        case WM_HELP:
            show_help(page, kHelpContext, kTopicCustomizeIme);
            return TRUE;
        case WM_NOTIFY:
            switch (reinterpret_cast<const NMHDR*>(lparam)->code) {
                case PSN_APPLY: {
                    ImeChoices choices;
                    for (int i = 0; i < kImeFieldCount; ++i)
                        choices[i] = static_cast<int>(
                            SendDlgItemMessageW(page, kImeLists[i], CB_GETCURSEL, 0, 0));
                    sheet_request().apply_ime(choices);
                    page_result(page, PSNRET_NOERROR);
                    return TRUE;
                }
                case PSN_HELP:
                    show_help(page, kHelpContext, kTopicCustomizeIme);
                    return TRUE;
            }
            break;
    }
    return FALSE;
}

// ---- "自動回復"

INT_PTR recovery_page(HWND page, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG:
            SendDlgItemMessageW(page, IDC_RECOVERY_SPIN, UDM_SETRANGE32, 0, kMaxRecoveryInterval);
            SetDlgItemInt(page, IDC_RECOVERY_INTERVAL,
                          static_cast<UINT>(sheet_request().recovery_interval), FALSE);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDC_CUSTOMIZE_RESET && HIWORD(wparam) == BN_CLICKED) {
                SetDlgItemInt(page, IDC_RECOVERY_INTERVAL,
                              static_cast<UINT>(Preferences{}.RecoveryInterval), FALSE);
                mark_changed(page);
            } else if (LOWORD(wparam) == IDC_RECOVERY_INTERVAL && HIWORD(wparam) == EN_CHANGE) {
                mark_changed(page);
            }
            return TRUE;
        case WM_HELP: show_help(page, kHelpContext, kTopicRecovery); return TRUE;
        case WM_NOTIFY:
            switch (reinterpret_cast<const NMHDR*>(lparam)->code) {
                case PSN_KILLACTIVE:
                case PSN_APPLY: {
                    BOOL number = FALSE;
                    const UINT seconds = GetDlgItemInt(page, IDC_RECOVERY_INTERVAL, &number, FALSE);
                    if (!number || seconds > static_cast<UINT>(kMaxRecoveryInterval)) {
                        message_box(page, "0 から 3600 までの秒数を入力してください。",
                                    MB_OK | MB_ICONWARNING);
                        SetFocus(GetDlgItem(page, IDC_RECOVERY_INTERVAL));
                        page_result(page, reinterpret_cast<const NMHDR*>(lparam)->code == PSN_APPLY
                                              ? PSNRET_INVALID_NOCHANGEPAGE
                                              : TRUE);
                        return TRUE;
                    }
                    if (reinterpret_cast<const NMHDR*>(lparam)->code == PSN_APPLY)
                        sheet_request().apply_recovery(static_cast<int>(seconds));
                    page_result(page, PSNRET_NOERROR);
                    return TRUE;
                }
                case PSN_HELP: show_help(page, kHelpContext, kTopicRecovery); return TRUE;
            }
            break;
    }
    return FALSE;
}

// ---- "フォント"

// The working copies while the page exists, and the kind the preview shows.
struct FontPage {
    FontChoices choices;
    int kind = 0;
    const FontSpec& shown() const { return choices.fonts[kind]; }
};

std::optional<FontPage>& font_page() {
    static std::optional<FontPage> page;
    return page;
}

LRESULT CALLBACK preview_proc(HWND preview, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                              DWORD_PTR) {
    if (msg == WM_PAINT && font_page()) {
        const FontSpec& choice = font_page()->shown();
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(preview, &paint);
        RECT client;
        GetClientRect(preview, &client);
        unique_brush back(CreateSolidBrush(choice.back_color));
        FillRect(dc, &client, back.get());
        SetTextColor(dc, choice.text_color);
        SetBkMode(dc, TRANSPARENT);
        unique_font font = create_font_from_spec(choice, preview);
        {
            select_object chosen(dc, font.get());
            DrawTextW(dc, wide(kPreviewText).c_str(), -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        }
        EndPaint(preview, &paint);
        return 0;
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(preview, preview_proc, kPreviewSubclass);
    return DefSubclassProc(preview, msg, wparam, lparam);
}

void repaint_preview(HWND page) {
    InvalidateRect(GetDlgItem(page, IDC_FONTS_PREVIEW), nullptr, TRUE);
}

void show_font_choices(HWND page, const FontChoices& choices) {
    CheckDlgButton(page, IDC_FONTS_USE_DATA,
                   choices.use_data_settings ? BST_CHECKED : BST_UNCHECKED);
    repaint_preview(page);
}

void choose_text_font(HWND page, FontPage& state) {
    FontSpec& choice = state.choices.fonts[state.kind];
    LOGFONTW logfont = font_spec_to_logfont(choice, screen_pixels_per_inch(page));
    COLORREF color = choice.text_color;
    if (!run_font_dialog(page, logfont, color)) return;
    choice.text_color = color;
    logfont_to_font_spec(page, logfont, choice);
    mark_changed(page);
    repaint_preview(page);
}

void choose_back_color(HWND page, FontPage& state) {
    FontSpec& choice = state.choices.fonts[state.kind];
    COLORREF color = choice.back_color;
    if (!run_color_dialog(page, color)) return;
    choice.back_color = color;
    mark_changed(page);
    repaint_preview(page);
}

INT_PTR on_font_command(HWND page, int id, int code) {
    FontPage& state = *font_page();
    switch (id) {
        case IDC_FONTS_KIND:
            if (code == CBN_SELCHANGE) {
                int kind = static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
                if (kind >= 0 && kind < kCustomFontCount) state.kind = kind;
                repaint_preview(page);
            }
            return TRUE;
        case IDC_FONTS_FONT:
            if (code == BN_CLICKED) choose_text_font(page, state);
            return TRUE;
        case IDC_FONTS_BACK:
            if (code == BN_CLICKED) choose_back_color(page, state);
            return TRUE;
        case IDC_FONTS_USE_DATA:
            if (code == BN_CLICKED) mark_changed(page);
            return TRUE;
        case IDC_CUSTOMIZE_RESET:
            if (code == BN_CLICKED) {
                state.choices = sheet_request().default_fonts;
                show_font_choices(page, state.choices);
                mark_changed(page);
            }
            return TRUE;
    }
    return FALSE;
}

INT_PTR fonts_page(HWND page, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
        case WM_INITDIALOG: {
            FontPage& state = font_page().emplace();
            state.choices = sheet_request().fonts;
            for (const char* name : kCustomFontNames)
                SendDlgItemMessageW(page, IDC_FONTS_KIND, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(wide(name).c_str()));
            SendDlgItemMessageW(page, IDC_FONTS_KIND, CB_SETCURSEL, 0, 0);
            SetWindowSubclass(GetDlgItem(page, IDC_FONTS_PREVIEW), preview_proc, kPreviewSubclass,
                              0);
            show_font_choices(page, state.choices);
            return TRUE;
        }
        case WM_COMMAND:
            if (!font_page()) break;
            return on_font_command(page, LOWORD(wparam), HIWORD(wparam));
        case WM_HELP:
            show_help(page, kHelpContext, kTopicCustomizeFonts);
            return TRUE;
        case WM_NOTIFY:
            switch (reinterpret_cast<const NMHDR*>(lparam)->code) {
                case PSN_APPLY:
                    if (FontPage* state = font_page() ? &*font_page() : nullptr) {
                        state->choices.use_data_settings =
                            IsDlgButtonChecked(page, IDC_FONTS_USE_DATA) == BST_CHECKED;
                        sheet_request().apply_fonts(state->choices);
                    }
                    page_result(page, PSNRET_NOERROR);
                    return TRUE;
                case PSN_HELP:
                    show_help(page, kHelpContext, kTopicCustomizeFonts);
                    return TRUE;
            }
            break;
        case WM_DESTROY:
            font_page().reset();
            break;
    }
    return FALSE;
}

PROPSHEETPAGEW sheet_page(int resource, DLGPROC procedure) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_HASHELP;
    page.hInstance = app().instance;
    page.pszTemplate = MAKEINTRESOURCEW(resource);
    page.pfnDlgProc = procedure;
    return page;
}

}  // namespace

void run_customize_sheet(HWND owner, const CustomizeRequest& request) {
    current_request() = &request;
    PROPSHEETPAGEW pages[] = {sheet_page(IDD_CUSTOMIZE_IME, guarded_dialog_proc<ime_page>),
                              sheet_page(IDD_CUSTOMIZE_FONTS, guarded_dialog_proc<fonts_page>),
                              sheet_page(IDD_CUSTOMIZE_RECOVERY, guarded_dialog_proc<recovery_page>)};
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_HASHELP;
    header.hwndParent = owner;
    header.hInstance = app().instance;
    const std::wstring caption = wide("カスタマイズ");
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(std::size(pages));
    header.ppsp = pages;
    PropertySheetW(&header);
    font_page().reset();
    current_request() = nullptr;
}

void show_customize_sheet(HWND owner) {
    Application& a = app();
    CustomizeRequest request{ime_choices(a.prefs), font_choices(a.prefs), font_choices(a.default_prefs),
                             [](const ImeChoices& choices) { store_ime_choices(choices, app().prefs); },
                             [](const FontChoices& choices) {
                                 store_font_choices(choices, app().prefs);
                                 reload_pane_resources();
                             },
                             a.prefs.RecoveryInterval,
                             [](int seconds) { app().prefs.RecoveryInterval = seconds; }};
    run_customize_sheet(owner, request);
}

void set_customize_font_dialog_hook(FontColorDialogHook hook) {
    font_hook() = std::move(hook);
}

}  // namespace qz
