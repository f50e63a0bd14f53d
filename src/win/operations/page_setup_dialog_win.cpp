#include "win/operations/page_setup_dialog_win.h"

#include <commctrl.h>
#include <imm.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "core/print/page_setup_values.h"
#include "resources/page_setup_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/color_chooser_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/page_setup_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

using global_handle = unique_global;

constexpr DWORD kPageSetupFlags = PSD_MINMARGINS | PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS;
constexpr const char* kStyleNames[] = {"なし", "実線", "破線", "点線"};
constexpr int kStyleLists[] = {IDC_PS_QT_STYLE, IDC_PS_QQ_STYLE, IDC_PS_QA_STYLE};
constexpr int kColorButtons[] = {IDC_PS_QT_COLOR, IDC_PS_QQ_COLOR, IDC_PS_QA_COLOR};
constexpr int kTitlePositions[] = {IDC_PS_TITLE_LEFT, IDC_PS_TITLE_CENTER, IDC_PS_TITLE_RIGHT};
constexpr int kAnswerPositions[] = {IDC_PS_ANSWER_LEFT, IDC_PS_ANSWER_CENTER, IDC_PS_ANSWER_RIGHT};
constexpr struct {
    int id, bit;
} kFlagBoxes[] = {{IDC_PS_TITLES, PRINT_TITLES},
                  {IDC_PS_TITLE_NUMBERS, PRINT_TITLE_NUMBERS},
                  {IDC_PS_QUESTIONS, PRINT_QUESTIONS},
                  {IDC_PS_QUESTION_NUMBERS, PRINT_QUESTION_NUMBERS},
                  {IDC_PS_ANSWERS, PRINT_ANSWERS},
                  {IDC_PS_ANSWER_NUMBERS, PRINT_ANSWER_NUMBERS},
                  {IDC_PS_BACKGROUNDS, PRINT_BACKGROUNDS}};

// A movable copy of a global memory block (none for none).
global_handle duplicate_global(HGLOBAL source) {
    if (!source) return {};
    const SIZE_T size = GlobalSize(source);
    global_handle copy(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!copy) throw std::bad_alloc();
    const void* from = GlobalLock(source);
    void* to = GlobalLock(copy.get());
    if (from && to) std::memcpy(to, from, size);
    GlobalUnlock(copy.get());
    GlobalUnlock(source);
    return copy;
}

struct DialogState {
    const PageSetupRequest* request = nullptr;
    PAGESETUPDLGW working{};
    global_handle dev_mode, dev_names;
    std::array<std::uint32_t, 3> colors{};
    int hot = 0;  // the colour button under the mouse
    // The format texts as shown, which an unchanged box gives back byte for
    // byte (code page 932 has more than one form of some characters).
    std::string title_format, question_format;
    std::optional<PageSetupResult> result;
};

DialogState& state(HWND dialog) {
    return *reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void enable(HWND dialog, std::initializer_list<int> ids, bool on) {
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), on);
}

int checked_flags(HWND dialog) {
    int flags = 0;
    for (const auto& box : kFlagBoxes)
        if (checked(dialog, box.id)) flags |= box.bit;
    return flags;
}

void apply_enabling(HWND dialog) {
    const PageSetupEnabled e = page_setup_enabled(checked_flags(dialog));
    enable(dialog, {IDC_PS_TITLE_NUMBERS, IDC_PS_TITLE_LEFT, IDC_PS_TITLE_CENTER, IDC_PS_TITLE_RIGHT},
           e.title_options);
    enable(dialog, {IDC_PS_TITLE_FORMAT}, e.title_format);
    enable(dialog, {IDC_PS_QUESTION_NUMBERS}, e.question_numbers);
    enable(dialog, {IDC_PS_QUESTION_FORMAT}, e.question_format);
    enable(dialog, {IDC_PS_ANSWER_NUMBERS, IDC_PS_ANSWER_LEFT, IDC_PS_ANSWER_CENTER,
                    IDC_PS_ANSWER_RIGHT},
           e.answer_options);
}

void set_spin(HWND dialog, int id, int high, int position) {
    HWND spin = GetDlgItem(dialog, id);
    SendMessageW(spin, UDM_SETRANGE32, 0, high);
    SendMessageW(spin, UDM_SETPOS32, 0, position);
}

// The dialog works on copies of the printer handles, so that Cancel leaves
// the kept record as it was.
void adopt_handles(DialogState& s) {
    if (s.working.hDevMode != s.dev_mode.get()) {
        s.dev_mode.release();  // the common dialog freed or kept it
        s.dev_mode.reset(s.working.hDevMode);
    }
    if (s.working.hDevNames != s.dev_names.get()) {
        s.dev_names.release();
        s.dev_names.reset(s.working.hDevNames);
    }
}

// ---- The print form and the cards

constexpr int kCardControls[] = {IDC_PS_CARD_COLUMNS, IDC_PS_CARD_COLUMNS_SPIN, IDC_PS_CARD_ROWS,
                                 IDC_PS_CARD_ROWS_SPIN, IDC_PS_CARD_MARGIN, IDC_PS_CARD_MARGIN_SPIN,
                                 IDC_PS_CARD_CUT_LINES, IDC_PS_CARD_MIRROR, IDC_PS_CARD_CORNER,
                                 IDC_PS_CARD_ALL_ANSWERS, IDC_PS_CARD_SELECTED};

void enable_card_controls(HWND dialog) {
    const bool cards = IsDlgButtonChecked(dialog, IDC_PS_FORM_CARDS) == BST_CHECKED;
    for (int id : kCardControls) EnableWindow(GetDlgItem(dialog, id), cards);
}

void show_card_settings(HWND dialog, const PrintSettings& settings) {
    const CardSettings& c = settings.cards;
    CheckRadioButton(dialog, IDC_PS_FORM_LIST, IDC_PS_FORM_CARDS,
                     settings.Form == PRINT_FORM_CARDS ? IDC_PS_FORM_CARDS : IDC_PS_FORM_LIST);
    SendDlgItemMessageW(dialog, IDC_PS_CARD_COLUMNS_SPIN, UDM_SETRANGE32, 1, 4);
    SendDlgItemMessageW(dialog, IDC_PS_CARD_COLUMNS_SPIN, UDM_SETPOS32, 0, c.columns);
    SendDlgItemMessageW(dialog, IDC_PS_CARD_ROWS_SPIN, UDM_SETRANGE32, 1, 8);
    SendDlgItemMessageW(dialog, IDC_PS_CARD_ROWS_SPIN, UDM_SETPOS32, 0, c.rows);
    SendDlgItemMessageW(dialog, IDC_PS_CARD_MARGIN_SPIN, UDM_SETRANGE32, 0, 200);
    SendDlgItemMessageW(dialog, IDC_PS_CARD_MARGIN_SPIN, UDM_SETPOS32, 0, c.margin);
    for (const char* name : {"なし", "実線", "点線"})
        SendDlgItemMessageW(dialog, IDC_PS_CARD_CUT_LINES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
    SendDlgItemMessageW(dialog, IDC_PS_CARD_CUT_LINES, CB_SETCURSEL, static_cast<WPARAM>(c.cut_lines), 0);
    CheckDlgButton(dialog, IDC_PS_CARD_MIRROR, c.mirror_backs ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PS_CARD_CORNER, c.corner ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PS_CARD_ALL_ANSWERS, c.all_alternatives ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PS_CARD_SELECTED, settings.selected_only ? BST_CHECKED : BST_UNCHECKED);
    enable_card_controls(dialog);
}

// The card controls into `settings`; false (after a message) for numbers
// out of their ranges.
bool read_card_settings(HWND dialog, PrintSettings& settings) {
    BOOL ok[3] = {};
    const int columns = static_cast<int>(GetDlgItemInt(dialog, IDC_PS_CARD_COLUMNS, &ok[0], FALSE));
    const int rows = static_cast<int>(GetDlgItemInt(dialog, IDC_PS_CARD_ROWS, &ok[1], FALSE));
    const int margin = static_cast<int>(GetDlgItemInt(dialog, IDC_PS_CARD_MARGIN, &ok[2], FALSE));
    const bool cards = IsDlgButtonChecked(dialog, IDC_PS_FORM_CARDS) == BST_CHECKED;
    const struct {
        bool bad;
        int id;
    } checks[] = {{!ok[0] || columns < 1 || columns > 4, IDC_PS_CARD_COLUMNS},
                  {!ok[1] || rows < 1 || rows > 8, IDC_PS_CARD_ROWS},
                  {!ok[2] || margin > 200, IDC_PS_CARD_MARGIN}};
    for (const auto& check : checks) {
        if (cards && check.bad) {
            show_error(dialog, "数値が正しくありません。");
            SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, check.id)), TRUE);
            return false;
        }
    }
    settings.Form = cards ? PRINT_FORM_CARDS : PRINT_FORM_LIST;
    if (!cards) return true;
    CardSettings& c = settings.cards;
    c.columns = columns;
    c.rows = rows;
    c.margin = margin;
    c.cut_lines = static_cast<CutLines>(SendDlgItemMessageW(dialog, IDC_PS_CARD_CUT_LINES, CB_GETCURSEL, 0, 0));
    c.mirror_backs = IsDlgButtonChecked(dialog, IDC_PS_CARD_MIRROR) == BST_CHECKED;
    c.corner = IsDlgButtonChecked(dialog, IDC_PS_CARD_CORNER) == BST_CHECKED;
    c.all_alternatives = IsDlgButtonChecked(dialog, IDC_PS_CARD_ALL_ANSWERS) == BST_CHECKED;
    settings.selected_only = IsDlgButtonChecked(dialog, IDC_PS_CARD_SELECTED) == BST_CHECKED;
    return true;
}

INT_PTR on_init(HWND dialog, DialogState& s) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&s));
    const PageSetupRequest& request = *s.request;
    s.working = request.record;
    if (s.working.lStructSize == 0) {  // no default printer: the dialog finds one
        s.working = PAGESETUPDLGW{};
        s.working.lStructSize = sizeof s.working;
    }
    s.dev_mode = duplicate_global(request.record.hDevMode);
    s.dev_names = duplicate_global(request.record.hDevNames);
    s.working.hDevMode = s.dev_mode.get();
    s.working.hDevNames = s.dev_names.get();
    s.working.Flags = kPageSetupFlags;
    s.working.hwndOwner = dialog;
    center_dialog(dialog);

    const PageSetupValues v = page_setup_values(request.settings);
    for (int i = 0; i < 3; ++i) {
        for (const char* name : kStyleNames)
            SendDlgItemMessageW(dialog, kStyleLists[i], CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(wide(name).c_str()));
        SendDlgItemMessageW(dialog, kStyleLists[i], CB_SETCURSEL, v.style_entries[i], 0);
    }
    for (const auto& box : kFlagBoxes)
        CheckDlgButton(dialog, box.id, (v.flags & box.bit) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PS_ANSWERS_LEFT, v.answers_left ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kTitlePositions[v.title_position], BST_CHECKED);
    CheckDlgButton(dialog, kAnswerPositions[v.answer_position], BST_CHECKED);
    s.title_format = *v.title_format;
    s.question_format = *v.question_format;
    set_item_text(dialog, IDC_PS_TITLE_FORMAT, s.title_format);
    set_item_text(dialog, IDC_PS_QUESTION_FORMAT, s.question_format);
    set_spin(dialog, IDC_PS_QUESTION_RATE_SPIN, 100, v.question_rate);
    set_spin(dialog, IDC_PS_LINE_SPACE_SPIN, 999, v.line_space);
    show_card_settings(dialog, request.settings);
    apply_enabling(dialog);
    s.colors = v.colors;
    return TRUE;
}

// A format text as typed (the bytes shown when it is unchanged); none when
// there is no memory for it, which keeps the old format.
std::optional<std::string> format_text(HWND dialog, int id, const std::string& shown) {
    try {
        HWND box = GetDlgItem(dialog, id);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
        if (text == wide(shown)) return shown;
        return narrow(text);
    } catch (const std::bad_alloc&) {
        show_error(dialog, "メモリが足りません。");
        return std::nullopt;
    }
}

void focus_control(HWND dialog, int id) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

// Reads the controls into the result; false after telling what is wrong.
bool store_print_settings(HWND dialog, DialogState& s) {
    const PageSetupNumbers numbers =
        read_page_setup_numbers(window_text(GetDlgItem(dialog, IDC_PS_QUESTION_RATE)),
                                window_text(GetDlgItem(dialog, IDC_PS_LINE_SPACE)));
    if (numbers.bad != PageSetupBox::none) {
        show_error(dialog, "数値が正しくありません。");
        focus_control(dialog, numbers.bad == PageSetupBox::margin ? IDC_PS_LINE_SPACE
                                                                  : IDC_PS_QUESTION_RATE);
        return false;
    }
    PageSetupValues v;
    v.flags = checked_flags(dialog);
    v.answers_left = checked(dialog, IDC_PS_ANSWERS_LEFT);
    v.title_position =
        checked(dialog, IDC_PS_TITLE_LEFT) ? 0 : checked(dialog, IDC_PS_TITLE_CENTER) ? 1 : 2;
    v.answer_position =
        checked(dialog, IDC_PS_ANSWER_LEFT) ? 0 : checked(dialog, IDC_PS_ANSWER_CENTER) ? 1 : 2;
    for (int i = 0; i < 3; ++i)
        v.style_entries[i] =
            static_cast<int>(SendDlgItemMessageW(dialog, kStyleLists[i], CB_GETCURSEL, 0, 0));
    v.colors = s.colors;
    v.title_format = format_text(dialog, IDC_PS_TITLE_FORMAT, s.title_format);
    v.question_format = format_text(dialog, IDC_PS_QUESTION_FORMAT, s.question_format);
    v.question_rate = numbers.question_rate;
    v.line_space = numbers.line_space;

    PageSetupResult result{s.request->settings, s.working};
    if (!read_card_settings(dialog, result.settings)) return false;
    store_page_setup_values(std::move(v), result.settings);
    result.record.hwndOwner = GetWindow(dialog, GW_OWNER);
    s.result = std::move(result);
    s.dev_mode.release();  // now the caller's
    s.dev_names.release();
    return true;
}

// ---- Colour buttons

int color_slot(int id) {
    for (int i = 0; i < 3; ++i)
        if (kColorButtons[i] == id) return i;
    return -1;
}

void draw_color_button(HWND dialog, const DRAWITEMSTRUCT& item) {
    const int slot = color_slot(static_cast<int>(item.CtlID));
    if (slot < 0) return;
    const DialogState& s = state(dialog);
    RECT r = item.rcItem;
    unique_brush brush(CreateSolidBrush(s.colors[slot]));
    FillRect(item.hDC, &r, brush.get());
    if (s.hot == static_cast<int>(item.CtlID))
        DrawEdge(item.hDC, &r, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED,
                 BF_RECT | BF_SOFT);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(item.hDC, &r);
    }
}

void repaint(HWND dialog, int id) {
    if (id) InvalidateRect(GetDlgItem(dialog, id), nullptr, TRUE);
}

// Hot tracking: true when the cursor is over a colour button.
bool track_hot_button(HWND dialog) {
    DialogState& s = state(dialog);
    POINT cursor;
    GetCursorPos(&cursor);
    for (int id : kColorButtons) {
        HWND button = GetDlgItem(dialog, id);
        POINT p = cursor;
        ScreenToClient(button, &p);
        RECT client;
        GetClientRect(button, &client);
        if (p.x < 0 || p.x > client.right || p.y < 0 || p.y > client.bottom) continue;
        if (s.hot != id) {
            repaint(dialog, s.hot);
            repaint(dialog, id);
            s.hot = id;
        }
        return true;
    }
    repaint(dialog, s.hot);
    s.hot = 0;
    return false;
}

void pick_color(HWND dialog, int id) {
    DialogState& s = state(dialog);
    std::uint32_t& color = s.colors[color_slot(id)];
    COLORREF chosen = color;
    if (choose_color(dialog, chosen)) {
        color = chosen;
        repaint(dialog, id);
    }
}

INT_PTR on_command(HWND dialog, int id, int code) {
    switch (id) {
        case IDC_PS_TITLES:
        case IDC_PS_TITLE_NUMBERS:
        case IDC_PS_QUESTIONS:
        case IDC_PS_QUESTION_NUMBERS:
        case IDC_PS_ANSWERS:
        case IDC_PS_ANSWER_NUMBERS:
            if (code == BN_CLICKED) apply_enabling(dialog);
            return TRUE;
        case IDC_PS_QUESTION_RATE:
        case IDC_PS_LINE_SPACE:
            if (code == EN_SETFOCUS) {
                HWND edit = GetDlgItem(dialog, id);
                if (HIMC context = ImmGetContext(edit)) {
                    ImmSetOpenStatus(context, FALSE);
                    ImmReleaseContext(edit, context);
                }
                PostMessageW(edit, EM_SETSEL, 0, -1);
            }
            return TRUE;
        case IDC_PS_QT_COLOR:
        case IDC_PS_QQ_COLOR:
        case IDC_PS_QA_COLOR:
            if (code == BN_CLICKED) pick_color(dialog, id);
            return TRUE;
        case IDC_PS_FORM_LIST:
        case IDC_PS_FORM_CARDS:
            enable_card_controls(dialog);
            return TRUE;
        case IDC_PS_PRINTER: {
            DialogState& s = state(dialog);
            call_page_setup_dialog(s.working);
            adopt_handles(s);
            focus_control(dialog, IDOK);
            return TRUE;
        }
        case IDOK:
            if (store_print_settings(dialog, state(dialog))) EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_HELP_BUTTON:
            show_help(dialog, kHelpContext, IsDlgButtonChecked(dialog, IDC_PS_FORM_CARDS) == BST_CHECKED ? kTopicCards : kTopicPageSetup);
            return TRUE;
    }
    return FALSE;
}

INT_PTR procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_INITDIALOG) return on_init(dialog, *reinterpret_cast<DialogState*>(lparam));
    if (!GetWindowLongPtrW(dialog, DWLP_USER)) return FALSE;  // before the state is there
    switch (msg) {
        case WM_DRAWITEM:
            draw_color_button(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_SETCURSOR:
            if (!track_hot_button(dialog)) return FALSE;
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_HELP:
            show_help(dialog, kHelpContext, IsDlgButtonChecked(dialog, IDC_PS_FORM_CARDS) == BST_CHECKED ? kTopicCards : kTopicPageSetup);
            return TRUE;
        case WM_COMMAND:
            return on_command(dialog, LOWORD(wparam), HIWORD(wparam));
    }
    return FALSE;
}

void free_record_handles(PAGESETUPDLGW& record) {
    if (record.hDevMode) GlobalFree(record.hDevMode);
    if (record.hDevNames) GlobalFree(record.hDevNames);
}

}  // namespace

std::optional<PageSetupResult> run_page_setup_dialog(HWND owner, const PageSetupRequest& request) {
    DialogState s;
    s.request = &request;
    DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_PAGE_SETUP), owner,
                    guarded_dialog_proc<procedure>, reinterpret_cast<LPARAM>(&s));
    return std::move(s.result);
}

void show_page_setup(HWND owner) {
    PAGESETUPDLGW& record = page_setup_record();
    ensure_page_setup(owner);
    std::optional<PageSetupResult> result = run_page_setup_dialog(owner, {app().print, record});
    if (!result) return;
    free_record_handles(record);
    record = result->record;
    // Without a printer the record stays unused, so that the next use
    // looks for the default printer again.
    if (!record.hDevMode) record.lStructSize = 0;
    app().print = std::move(result->settings);
}


}  // namespace qz
