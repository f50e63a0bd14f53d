// The message pane (dialog 605): edits the message line
// "$Message=text['comment]". The message keeps its line breaks as "\n"
// and, since a comment may follow it, its apostrophes as "\'".
#include <cstring>

#include "core/layout/pane_layout.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"
#include "resources/message_pane_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/separator_win.h"
#include "win/view/pane_common_win.h"

namespace qz {
namespace {

constexpr int kSeparatorHeight = 6;

void clear(HWND pane) {
    set_control_text(pane, IDC_MESSAGE, "");
}

// The stored message after the '='.
std::string_view stored_message(const char* text) {
    const char* equals = std::strchr(text, '=');
    const char* message = equals ? equals + 1 : text + std::strlen(text);
    return std::string_view(message, static_cast<std::size_t>(escaped_value_length(message)));
}

// The comment after the apostrophe that ends the message.
std::string_view stored_comment(const char* text) {
    const std::string_view message = stored_message(text);
    const char* rest = message.data() + message.size();
    return *rest == '\'' ? comment_span(rest + 1, line_end_length(rest + 1)) : std::string_view();
}

void fill(HWND pane, const PaneLine& p) {
    const char* text = p.line.c_str();
    set_control_text(pane, IDC_MESSAGE, unescape_value(stored_message(text)));
    set_comment_field(pane, stored_comment(text), p.charsets.comment);
}

std::optional<std::string> compose(HWND pane, const PaneLine& p) {
    std::string text = settings_prefix(LINE_MESSAGE);
    text +=
        escape_text(control_text(pane, IDC_MESSAGE), DEFAULT_CHARSET_VALUE, ESCAPE_APOSTROPHE);
    text += composed_comment(pane, stored_comment(p.line.c_str()), p.charsets.comment);
    return text;
}

void apply_fonts(HWND pane) {
    set_control_font(pane, IDC_MESSAGE, pane_control_font());
}

// The control of each layout slot.
constexpr int kControls[] = {IDC_MESSAGE_LABEL, IDC_MESSAGE, IDC_MESSAGE_SEPARATOR, IDC_PANE_COMMENT_LABEL,
                             IDC_PANE_COMMENT};
static_assert(std::size(kControls) == slot::message_slots);

// The message field's height is kept in the preferences, clamped to the
// pane's height.
void layout(HWND pane, int width, int height) {
    int& message_height = app().prefs.MessageHeight;
    place_controls(pane,
                   message_pane_layout(width, height, cell_height(pane, IDC_MESSAGE_LABEL),
                                       GetSystemMetrics(SM_CYEDGE), message_height),
                   kControls, false);
    InvalidateRect(pane, nullptr, TRUE);
}

void relayout(HWND pane) {
    RECT client;
    GetClientRect(pane, &client);
    layout(pane, client.right, client.bottom);
}

// The separator was dragged: `position` is its lower edge in the pane.
void separator_moved(HWND pane, int position) {
    int& message_height = app().prefs.MessageHeight;
    if (position == message_height + kSeparatorHeight) return;
    message_height = position - kSeparatorHeight;
    relayout(pane);
}

INT_PTR on_command(HWND pane, int id, int code, HWND control) {
    switch (id) {
        case IDC_MESSAGE:
            return field_notification(pane, code, control, kImeLeave);
        case IDC_PANE_COMMENT:
            return field_notification(pane, code, control, ime_mode_for(FONT_COMMENT));
    }
    return FALSE;
}

void init(HWND pane) { SendDlgItemMessageW(pane, IDC_MESSAGE_SEPARATOR, kSeparatorSetOrientation, 0, 0); }

void separator_moved(HWND pane, int id, int position) {
    if (id == IDC_MESSAGE_SEPARATOR) separator_moved(pane, position);
}

const PaneBehaviour kBehaviour = {IDC_MESSAGE, init, layout, on_command, nullptr,
                                  separator_moved};

INT_PTR procedure(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam) {
    return pane_procedure(kBehaviour, pane, msg, wparam, lparam);
}

}  // namespace

const PaneKind kMessagePane = {
    IDD_PANE_MESSAGE, guarded_dialog_proc<procedure>, clear, fill, compose, apply_fonts};

}  // namespace qz
