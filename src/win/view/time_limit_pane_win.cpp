// The time-limit pane: "$TimeLimit=" seconds, then an optional comment.
#include <cstring>

#include "core/layout/pane_layout.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"
#include "resources/resource.h"
#include "resources/time_limit_pane_ids.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/view/pane_common_win.h"

namespace qz {
namespace {


void clear(HWND pane) { set_control_text(pane, IDC_TIME_LIMIT, ""); }

// The seconds after the '='.
const char* seconds_value(const char* text) {
    const char* equals = std::strchr(text, '=');
    return equals ? equals + 1 : text + std::strlen(text);
}

// The comment after the first apostrophe behind the seconds.
std::string_view stored_comment(const char* text) {
    const char* apostrophe = std::strchr(seconds_value(text), '\'');
    return apostrophe ? std::string_view(apostrophe + 1) : std::string_view();
}

void fill(HWND pane, const PaneLine& p) {
    const char* text = p.line.c_str();
    SetDlgItemInt(pane, IDC_TIME_LIMIT, static_cast<UINT>(str_to_int(seconds_value(text))), FALSE);
    set_comment_field(pane, stored_comment(text), p.charsets.comment);
}

std::optional<std::string> compose(HWND pane, const PaneLine& p) {
    BOOL ok = FALSE;
    UINT seconds = GetDlgItemInt(pane, IDC_TIME_LIMIT, &ok, FALSE);
    std::string text = settings_prefix(LINE_TIME_LIMIT);
    text += format_decimal(ok ? static_cast<int>(seconds) : 0);
    text += composed_comment(pane, stored_comment(p.line.c_str()), p.charsets.comment);
    return text;
}

void apply_fonts(HWND pane) { set_control_font(pane, IDC_TIME_LIMIT, pane_control_font()); }

// The control of each layout slot.
constexpr int kControls[] = {IDC_TIME_LIMIT_LABEL, IDC_TIME_LIMIT, IDC_TIME_LIMIT_UNIT, IDC_PANE_COMMENT_LABEL,
                             IDC_PANE_COMMENT};
static_assert(std::size(kControls) == slot::time_limit_slots);

void layout(HWND pane, int width, int height) {
    place_controls(pane,
                   time_limit_pane_layout(width, height, cell_height(pane, IDC_TIME_LIMIT_LABEL),
                                          GetSystemMetrics(SM_CYEDGE)),
                   kControls, false);
    InvalidateRect(pane, nullptr, TRUE);
}

INT_PTR on_command(HWND pane, int id, int code, HWND control) {
    switch (id) {
    case IDC_TIME_LIMIT: return field_notification(pane, code, control, kImeClose);
    case IDC_PANE_COMMENT: return field_notification(pane, code, control, ime_mode_for(FONT_COMMENT));
    }
    return FALSE;
}

const PaneBehaviour kBehaviour = {IDC_TIME_LIMIT, nullptr, layout, on_command, nullptr, nullptr};

INT_PTR procedure(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam) {
    return pane_procedure(kBehaviour, pane, msg, wparam, lparam);
}

}  // namespace

const PaneKind kTimeLimitPane = {IDD_PANE_TIME_LIMIT, guarded_dialog_proc<procedure>, clear, fill,
                                 compose, apply_fonts};

}  // namespace qz
