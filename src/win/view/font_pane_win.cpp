// The font pane (dialog 603): edits a font line
// "$FontTitle=size,charset,face name['comment]" (and the other five font
// keywords). The values are kept as typed: the charset may be a name or a
// number, and a name the editor does not know is written unchanged.
#include "win/view/list_mirror_win.h"
#include "win/view/font_pane_win.h"

#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/layout/pane_layout.h"
#include "core/prefs/font_in_effect.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"
#include "resources/font_pane_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/font_spec_win.h"
#include "win/base/guarded_win.h"
#include "win/base/message_box_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"
#include "win/view/pane_common_win.h"

namespace qz {
namespace {


// How much of the charset and face name fields a font line keeps.
constexpr std::size_t kMaxCharsetText = 15;
constexpr std::size_t kMaxFaceText = kMaxFaceName;  // 31

// Values of settings lines are escaped with the double-byte aware charset
// and exist only in format 1.4.
constexpr unsigned kValueCharset = DEFAULT_CHARSET_VALUE;
constexpr int kSettingsVersion = 14;

FontDialogHook& font_dialog_hook() {
    static FontDialogHook hook;
    return hook;
}

// The text cut to at most `limit` bytes without splitting a double-byte
// character.
std::string cut_text(const std::string& text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + (is_double_byte_char(text.c_str() + end) ? 2 : 1);
        if (next > limit) break;
        end = next;
    }
    return text.substr(0, end);
}

std::string unescaped_value(const char* start, int length) {
    if (length <= 0) return {};
    return copy_unescaped(start, length, kValueCharset, kSettingsVersion);
}

std::string_view stored_comment(const char* text) {
    const char* comment = nullptr;
    const int length = font_line_comment(text, &comment);
    return comment_span(comment, length);
}

void clear(HWND pane) {
    for (int id : {IDC_FONT_SIZE, IDC_FONT_CHARSET, IDC_FONT_FACE})
        set_control_text(pane, id, "");
}

void fill(HWND pane, const PaneLine& p) {
    const char* text = p.line.c_str();
    const char* start = nullptr;
    int length = settings_value1(text, &start);
    set_control_text(pane, IDC_FONT_SIZE, unescaped_value(start, length));
    length = settings_value2(text, &start);
    set_control_text(pane, IDC_FONT_CHARSET, unescaped_value(start, length));
    length = settings_value3(text, &start);
    set_control_text(pane, IDC_FONT_FACE, unescaped_value(start, length));
    set_comment_field(pane, stored_comment(text), p.charsets.comment);
}

std::optional<std::string> compose(HWND pane, const PaneLine& p) {
    std::string text = settings_prefix(p.line.kind());
    text += escape_text(control_text(pane, IDC_FONT_SIZE), kValueCharset, 0);
    text += ',';
    text +=
        escape_text(cut_text(control_text(pane, IDC_FONT_CHARSET), kMaxCharsetText), kValueCharset, 0);
    text += ',';
    text += escape_text(cut_text(control_text(pane, IDC_FONT_FACE), kMaxFaceText), kValueCharset, 0);
    text += composed_comment(pane, stored_comment(p.line.c_str()), p.charsets.comment);
    return text;
}

void apply_fonts(HWND pane) {
    for (int id : {IDC_FONT_SIZE_LABEL, IDC_FONT_SIZE, IDC_FONT_CHARSET_LABEL, IDC_FONT_CHARSET,
                   IDC_FONT_FACE_LABEL, IDC_FONT_FACE, IDC_FONT_CHANGE})
        set_control_font(pane, id, pane_control_font());
}

// Width of a label's text in its font, on one line.
int label_text_width(HWND pane, int id) {
    HWND label = GetDlgItem(pane, id);
    if (!label) return 0;
    const std::string text = control_text(pane, id);
    window_dc dc(label);
    select_object font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT box{};
    DrawTextW(dc.get(), wide(text).c_str(), -1, &box, DT_CALCRECT | DT_SINGLELINE);
    return box.right;
}

// The label column is five cells wide, which holds the labels in the
// proportional pane control font. A font with wider characters (a
// fixed-pitch substitute) would wrap "文字セット(&H)" onto a second line
// that the field below hides; the column then grows to the widest label
// and the fields move right.
// The control of each layout slot.
constexpr int kControls[] = {IDC_FONT_SIZE_LABEL, IDC_FONT_SIZE,  IDC_FONT_CHARSET_LABEL, IDC_FONT_CHARSET,
                             IDC_FONT_FACE_LABEL, IDC_FONT_FACE,  IDC_FONT_CHANGE,        IDC_PANE_COMMENT_LABEL,
                             IDC_PANE_COMMENT};
static_assert(std::size(kControls) == slot::font_slots);

void fit_label_column(HWND pane, int width, std::vector<Placed>& placed) {
    const auto size_label = std::find_if(placed.begin(), placed.end(),
                                         [](const Placed& p) { return p.slot == slot::size_label; });
    if (size_label == placed.end()) return;
    const int column = size_label->box.width;
    int needed = 0;
    for (int id : {IDC_FONT_SIZE_LABEL, IDC_FONT_CHARSET_LABEL, IDC_FONT_FACE_LABEL, IDC_PANE_COMMENT_LABEL})
        needed = std::max(needed, label_text_width(pane, id));
    if (needed <= column) return;
    for (Placed& p : placed) {
        if (p.box.x == 0) {
            p.box.width = needed;
        } else if (p.box.x == column) {
            p.box.x = needed;
            p.box.width = std::max(0, std::min(p.box.width, width - needed));
        }
    }
}

void layout(HWND pane, int width, int height) {
    std::vector<Placed> placed =
        font_pane_layout(width, height, cell_height(pane, IDC_FONT_SIZE_LABEL),
                         cell_height(pane, IDC_FONT_SIZE), GetSystemMetrics(SM_CYEDGE));
    fit_label_column(pane, width, placed);
    place_controls(pane, placed, kControls, true);
}

// The font the fields describe: the preference default of the line's font
// kind with what the fields give overriding it.
FontSpec font_of_fields(HWND pane, int font_kind) {
    FontSpec font = default_font_spec(app().prefs, font_kind);
    BOOL numeric = FALSE;
    const int size = static_cast<int>(GetDlgItemInt(pane, IDC_FONT_SIZE, &numeric, TRUE));
    if (numeric) font.size = size;
    const int charset = charset_from_name(cut_text(control_text(pane, IDC_FONT_CHARSET), 31));
    if (charset >= 0) font.charset = static_cast<unsigned>(charset);
    std::string face = cut_text(control_text(pane, IDC_FONT_FACE), kMaxFaceName);
    if (!face.empty()) font.face = std::move(face);
    return font;
}

// True when the user chose a font; false after Cancel or a failure (which
// has been reported).
bool run_font_dialog(LOGFONTW& font) {
    if (font_dialog_hook()) return font_dialog_hook()(font);
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = app().main_window;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
    choose.nFontType = SCREEN_FONTTYPE;
    if (ChooseFontW(&choose)) return true;
    if (CommDlgExtendedError() != 0) show_error(app().main_window, "ダイアログを表示できません。");
    return false;
}

INT_PTR on_command(HWND pane, int id, int code, HWND control) {
    switch (id) {
        case IDC_FONT_SIZE:
        case IDC_FONT_CHARSET:
            return field_notification(pane, code, control, kImeClose);
        case IDC_FONT_FACE:
            return field_notification(pane, code, control, kImeLeave);
        case IDC_PANE_COMMENT:
            return field_notification(pane, code, control, ime_mode_for(FONT_COMMENT));
        case IDC_FONT_CHANGE:
            if (code != BN_CLICKED) return FALSE;
            choose_pane_font(pane);
            return TRUE;
    }
    return FALSE;
}

const PaneBehaviour kBehaviour = {IDC_FONT_SIZE, nullptr, layout, on_command, nullptr, nullptr};

INT_PTR procedure(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam) {
    return pane_procedure(kBehaviour, pane, msg, wparam, lparam);
}

}  // namespace

void choose_pane_font(HWND pane) {
    const int kind = editor().current_kind();
    if (kind < LINE_FONT_TITLE || kind > LINE_FONT_COMMENT) return;
    FontSpec font = font_of_fields(pane, kind);
    LOGFONTW logfont = font_spec_to_logfont(font, screen_pixels_per_inch(pane));
    if (!run_font_dialog(logfont)) return;

    // Only size, charset and face name are stored; the style picked in the
    // dialog is not.
    logfont_to_font_spec(pane, logfont, font);
    set_control_text(pane, IDC_FONT_SIZE, format_decimal(font.size));
    set_control_text(pane, IDC_FONT_CHARSET, charset_to_name(static_cast<int>(font.charset)));
    set_control_text(pane, IDC_FONT_FACE, font.face);
    mark_pane_changed();
    // The charset field losing the focus commits the pane.
    SetFocus(GetDlgItem(pane, IDC_FONT_CHARSET));
    SetFocus(GetDlgItem(pane, IDC_FONT_SIZE));
}

void set_font_dialog_hook(FontDialogHook hook) {
    font_dialog_hook() = std::move(hook);
}

const PaneKind kFontPane = {IDD_PANE_FONT, guarded_dialog_proc<procedure>, clear, fill, compose,
                            apply_fonts};

}  // namespace qz
