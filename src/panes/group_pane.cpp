// The group names pane (dialog 604): edits the group names line
// "$Group=name0,name1,...,name9['comment]". Names 0-8 end at the next
// unescaped ','; the tenth name, which a comment may follow, has its
// apostrophes escaped ("\'") and ends at the first unescaped one.
#include <cstring>

#include "app/guarded.h"
#include "panes/pane_common.h"
#include "panes/pane_layout.h"
#include "resources/resource.h"
#include "syntax/scan.h"
#include "syntax/settings_line.h"

namespace qz {
namespace {

constexpr int kFirstLabel = 1024;  // labels 1024-1033
constexpr int kFirstName = 1034;   // name fields 1034-1043
constexpr int kNameCount = 10;
constexpr int kLastName = kFirstName + kNameCount - 1;

constexpr unsigned kValueCharset = DEFAULT_CHARSET_VALUE;
constexpr int kSettingsVersion = 14;

void clear(HWND pane) {
    for (int id = kFirstName; id <= kLastName; ++id)
        set_control_text(pane, id, "");
}

void fill(HWND pane, const PaneLine& p) {
    set_control_text(pane, kCommentField, "");
    const char* equals = std::strchr(p.line.c_str(), '=');
    if (!equals) return;
    const char* name = equals + 1;
    for (int i = 0; i < kNameCount; ++i) {
        const bool last = i == kNameCount - 1;
        const int length = last ? escaped_value_length(name) : field_length(name, false);
        set_control_text(pane, kFirstName + i,
                         last ? unescape_value(std::string_view(name, length))
                              : copy_unescaped(name, length, kValueCharset, kSettingsVersion));
        name += length;
        if (last) break;
        if (*name != ',') return;  // the line holds fewer names
        ++name;
    }
    // A comment is recognised only after the tenth name.
    if (*name == '\'')
        set_comment_field(pane, name + 1, line_end_length(name + 1), p.charsets.comment);
}

std::optional<std::string> compose(HWND pane, const PaneLine& p) {
    std::string text = settings_prefix(LINE_GROUP);
    for (int i = 0; i < kNameCount; ++i) {
        const bool last = i == kNameCount - 1;
        text += escape_text(control_text(pane, kFirstName + i), kValueCharset,
                            last ? ESCAPE_APOSTROPHE : 0);
        if (!last) text += ',';
    }
    text += composed_comment(pane, p.charsets.comment);
    return text;
}

void apply_fonts(HWND pane) {
    for (int i = 0; i < kNameCount; ++i) {
        set_control_font(pane, kFirstLabel + i, pane_control_font());
        set_control_font(pane, kFirstName + i, pane_control_font());
    }
}

void layout(HWND pane, int width, int height) {
    place_controls(pane,
                   group_pane_layout(width, height, cell_height(pane, kFirstLabel),
                                     cell_height(pane, kFirstName), GetSystemMetrics(SM_CYEDGE)),
                   true);
}

INT_PTR on_command(HWND pane, int id, int code, HWND control) {
    if (id >= kFirstName && id <= kLastName)
        return field_notification(pane, code, control, kImeLeave);
    if (id == kCommentField)
        return field_notification(pane, code, control, ime_mode_for(FONT_COMMENT));
    return FALSE;
}

const PaneBehaviour kBehaviour = {kFirstName, nullptr, layout, on_command, nullptr, nullptr};

INT_PTR procedure(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam) {
    return pane_procedure(kBehaviour, pane, msg, wparam, lparam);
}

}  // namespace

const PaneKind kGroupPane = {IDD_PANE_GROUP, guarded_dialog_proc<procedure>, clear, fill, compose,
                             apply_fonts};

}  // namespace qz
