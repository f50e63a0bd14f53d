#include "win/view/pane_common_win.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/layout/pane_layout.h"
#include "core/syntax/scan.h"
#include "win/base/app_state_win.h"
#include "win/base/font_spec_win.h"
#include "win/base/separator_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"
#include "win/base/window_text_win.h"
#include "win/view/command_state_win.h"

namespace qz {
namespace {

constexpr UINT_PTR kPaneEndSubclass = 1;
constexpr UINT kFocusLineList = WM_APP + 20;

// Marks a pane end with how it is left (1 plain Tab, 2 Shift+Tab), so that
// a control made again can be subclassed again.
const wchar_t kPaneEndProperty[] = L"QuizoEditPaneEnd";
const HANDLE kShiftWanted = reinterpret_cast<HANDLE>(2);

// After the dialog manager has moved the focus, send it on to the line list.
LRESULT CALLBACK pane_end_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                               DWORD_PTR shift_wanted) {
    if (msg == WM_KILLFOCUS && GetKeyState(VK_TAB) < 0 &&
        (GetKeyState(VK_SHIFT) < 0) == (shift_wanted != 0)) {
        LRESULT result = DefSubclassProc(hwnd, msg, wparam, lparam);
        if (HWND pane = GetParent(hwnd)) PostMessageW(pane, kFocusLineList, 0, 0);
        return result;
    }
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kPaneEndProperty);
        RemoveWindowSubclass(hwnd, pane_end_proc, kPaneEndSubclass);
    }
    return DefSubclassProc(hwnd, msg, wparam, lparam);
}

void subclass_pane_end(HWND control, bool shift_wanted) {
    SetPropW(control, kPaneEndProperty, shift_wanted ? kShiftWanted : reinterpret_cast<HANDLE>(1));
    SetWindowSubclass(control, pane_end_proc, kPaneEndSubclass, shift_wanted);
}

void set_ime(HWND control, int mode) {
    if (mode == kImeLeave) return;
    if (HIMC context = ImmGetContext(control)) {
        ImmSetOpenStatus(context, mode == kImeOpen);
        ImmReleaseContext(control, context);
    }
}

}  // namespace

void place_controls(HWND pane, const std::vector<Placed>& placed, std::span<const int> controls, bool repaint) {
    for (const Placed& p : placed) {
        if (p.slot < 0 || static_cast<std::size_t>(p.slot) >= controls.size()) continue;
        if (HWND control = GetDlgItem(pane, controls[static_cast<std::size_t>(p.slot)]))
            MoveWindow(control, p.box.x, p.box.y, p.box.width, p.box.height, repaint);
    }
    // Controls moved without repainting are drawn once, all together.
    if (!repaint) RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void set_control_font(HWND pane, int id, HFONT font) {
    // The pane is laid out and redrawn whole after its fonts change.
    HWND control = GetDlgItem(pane, id);
    if (control && reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)) != font)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

int cell_height(HWND pane, int id) {
    HWND control = GetDlgItem(pane, id);
    if (!control) return 16;
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    window_dc dc(control);
    return font_pixel_height(dc.get(), font) + 4;
}

namespace {

// The bytes last shown in each control, beside the UTF-16 it shows them as:
// a text the user left alone reads back as those bytes, so that a pair code
// page 932 has twice (NEC and IBM rows) or an undefined byte in a stored
// line is not rewritten by merely looking at it.
struct ShownText {
    std::wstring shown;
    std::string bytes;
};
std::map<HWND, ShownText>& shown_texts() {
    static std::map<HWND, ShownText> texts;
    return texts;
}

// A pane going away takes its controls' entries with it (a window handle
// may come back as another window's).
void forget_shown_texts(HWND pane) {
    auto& texts = shown_texts();
    for (auto it = texts.begin(); it != texts.end();)
        it = GetParent(it->first) == pane || !IsWindow(it->first) ? texts.erase(it) : std::next(it);
}

}  // namespace

std::string control_text(HWND pane, int id) {
    HWND control = GetDlgItem(pane, id);
    if (!control) return {};
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
    const auto shown = shown_texts().find(control);
    if (shown != shown_texts().end() && shown->second.shown == text) return shown->second.bytes;
    return narrow(text);
}

namespace {

// An edit control wraps a paragraph in time that grows with the square of
// its length, and again for every change of text, font or size; a field
// with a paragraph longer than this is shown unwrapped instead.
constexpr std::size_t kLongestWrappedParagraph = 4096;

std::size_t longest_paragraph(std::string_view text) {
    std::size_t longest = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

bool is_multiline_edit(HWND control) {
    wchar_t name[8] = {};
    GetClassNameW(control, name, 8);
    return lstrcmpiW(name, L"Edit") == 0 && (GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE);
}

// The same edit control made again, wrapping its lines or not (an edit
// control reads that style only when it is made): same place, order, font
// and subclass; it takes any amount of text when it does not wrap.
HWND remade_edit(HWND pane, HWND old, bool wrap) {
    DWORD style = static_cast<DWORD>(GetWindowLongW(old, GWL_STYLE));
    if (wrap)
        style &= ~static_cast<DWORD>(ES_AUTOHSCROLL | WS_HSCROLL);
    else
        style |= ES_AUTOHSCROLL | (style & WS_VSCROLL ? WS_HSCROLL : 0);
    RECT box;
    GetWindowRect(old, &box);
    MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&box), 2);
    HWND control = CreateWindowExW(
        static_cast<DWORD>(GetWindowLongW(old, GWL_EXSTYLE)), L"EDIT", L"", style, box.left, box.top,
        box.right - box.left, box.bottom - box.top, pane,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(old))),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(old, GWLP_HINSTANCE)), nullptr);
    if (!control) return old;
    shown_texts().erase(old);
    SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(SendMessageW(old, WM_GETFONT, 0, 0)), FALSE);
    if (!wrap) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    if (HANDLE end = GetPropW(old, kPaneEndProperty)) subclass_pane_end(control, end == kShiftWanted);
    SetWindowPos(control, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(old);
    return control;
}

}  // namespace

void set_control_text(HWND pane, int id, const std::string& text) {
    HWND control = GetDlgItem(pane, id);
    if (!control) return;
    if (is_multiline_edit(control) && GetFocus() != control) {
        const bool wrap = longest_paragraph(text) <= kLongestWrappedParagraph;
        const bool wraps = !(GetWindowLongW(control, GWL_STYLE) & ES_AUTOHSCROLL);
        if (wrap != wraps) control = remade_edit(pane, control, wrap);
    }
    ShownText& shown = shown_texts()[control];
    shown.shown = wide(text);
    shown.bytes = text;
    SetWindowTextW(control, shown.shown.c_str());
}

std::string_view comment_span(const char* start, int length) {
    return start && length > 0 ? std::string_view(start, static_cast<std::size_t>(length))
                               : std::string_view();
}

void set_comment_field(HWND pane, std::string_view stored, unsigned charset) {
    set_control_text(pane, IDC_PANE_COMMENT, unescape_text(stored, charset, document().version));
}

std::string composed_comment(HWND pane, std::string_view stored, unsigned charset) {
    const int version = document().version;
    const FieldEdit edit =
        field_edit(control_text(pane, IDC_PANE_COMMENT), unescape_text(stored, charset, version));
    return compose_comment(stored, edit, charset, version);
}

int ime_mode_for(PaneFont which) {
    const Preferences& p = app().prefs;
    switch (which) {
    case FONT_TITLE: return p.IMETitle;
    case FONT_QUESTION: return p.IMEQuestion;
    case FONT_ANSWER: return p.IMEAnswer;
    default: return p.IMEComment;
    }
}

bool field_notification(HWND pane, int code, HWND control, int ime_mode) {
    switch (code) {
    case EN_SETFOCUS:
        set_ime(control, ime_mode);
        update_command_state();
        return true;
    case EN_KILLFOCUS:
        commit_pane();
        return true;
    case EN_CHANGE:
        // Filling the pane changes fields without the focus; that is no edit,
        // and the menus follow the focused control only.
        if (GetFocus() == control) {
            update_command_state();
            mark_pane_changed();
        }
        return true;
    }
    return false;
}

bool combo_notification(int code) {
    switch (code) {
    case CBN_SELCHANGE: mark_pane_changed(); return true;
    case CBN_SETFOCUS: update_command_state(); return true;
    case CBN_KILLFOCUS: commit_pane(); return true;
    }
    return false;
}

void subclass_pane_ends(HWND pane, int first_id) {
    if (HWND comment = GetDlgItem(pane, IDC_PANE_COMMENT)) subclass_pane_end(comment, false);
    if (HWND first = GetDlgItem(pane, first_id)) subclass_pane_end(first, true);
}

INT_PTR pane_procedure(const PaneBehaviour& b, HWND pane, UINT msg, WPARAM wparam,
                       LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG:
        subclass_pane_ends(pane, b.first_field);
        if (b.init) b.init(pane);
        return FALSE;
    case WM_DESTROY:
        forget_shown_texts(pane);
        return FALSE;
    case WM_SIZE:
        b.layout(pane, LOWORD(lparam), HIWORD(lparam));
        return TRUE;
    case WM_COMMAND:
        return b.command(pane, LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
    case WM_CTLCOLOREDIT:
        if (b.edit_colors) {
            int font = b.edit_colors(GetDlgCtrlID(reinterpret_cast<HWND>(lparam)));
            if (font >= 0) return color_edit(reinterpret_cast<HDC>(wparam), static_cast<PaneFont>(font));
        }
        break;
    case kSeparatorMoved:
        if (b.separator_moved) {
            b.separator_moved(pane, static_cast<int>(wparam), static_cast<int>(lparam));
            return TRUE;
        }
        break;
    case kFocusLineList:
        if (app().line_list) SetFocus(app().line_list);
        return TRUE;
    }
    return FALSE;
}

}  // namespace qz
