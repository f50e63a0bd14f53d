// The group names pane (dialog 604): edits the group names line
// "$Group=name0,name1,...,name9['comment]". Names 0-8 end at the next
// unescaped ','; the tenth name, which a comment may follow, has its
// apostrophes escaped ("\'") and ends at the first unescaped one.
#include <cstring>
#include <vector>

#include "core/layout/pane_layout.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"
#include "resources/group_pane_ids.h"
#include "resources/resource.h"
#include "win/base/guarded_win.h"
#include "win/view/pane_common_win.h"

namespace qz {
namespace {

constexpr int kNameCount = 10;
constexpr int kLastName = IDC_GROUP_FIRST_NAME + kNameCount - 1;

constexpr unsigned kValueCharset = DEFAULT_CHARSET_VALUE;
constexpr int kSettingsVersion = 14;

void clear(HWND pane) {
    for (int id = IDC_GROUP_FIRST_NAME; id <= kLastName; ++id)
        set_control_text(pane, id, "");
}

// The stored names of a group line (ten or fewer) and its comment.
struct StoredNames {
    std::vector<std::string_view> names;
    std::string_view comment;
};

StoredNames stored_names(const char* text) {
    StoredNames stored;
    const char* equals = std::strchr(text, '=');
    if (!equals) return stored;
    const char* name = equals + 1;
    for (int i = 0; i < kNameCount; ++i) {
        const bool last = i == kNameCount - 1;
        const int length = last ? escaped_value_length(name) : field_length(name, false);
        stored.names.emplace_back(name, static_cast<std::size_t>(length));
        name += length;
        if (last) break;
        if (*name != ',') return stored;  // the line holds fewer names
        ++name;
    }
    // A comment is recognised only after the tenth name.
    if (*name == '\'') stored.comment = comment_span(name + 1, line_end_length(name + 1));
    return stored;
}

void fill(HWND pane, const PaneLine& p) {
    const StoredNames stored = stored_names(p.line.c_str());
    for (std::size_t i = 0; i < stored.names.size(); ++i) {
        const std::string_view name = stored.names[i];
        set_control_text(pane, IDC_GROUP_FIRST_NAME + static_cast<int>(i),
                         i + 1 == kNameCount ? unescape_value(name)
                                             : unescape_text(name, kValueCharset, kSettingsVersion));
    }
    set_comment_field(pane, stored.comment, p.charsets.comment);
}

std::optional<std::string> compose(HWND pane, const PaneLine& p) {
    std::string text = settings_prefix(LINE_GROUP);
    for (int i = 0; i < kNameCount; ++i) {
        const bool last = i == kNameCount - 1;
        text += escape_text(control_text(pane, IDC_GROUP_FIRST_NAME + i), kValueCharset,
                            last ? ESCAPE_APOSTROPHE : 0);
        if (!last) text += ',';
    }
    text += composed_comment(pane, stored_names(p.line.c_str()).comment, p.charsets.comment);
    return text;
}

void apply_fonts(HWND pane) {
    for (int i = 0; i < kNameCount; ++i) {
        set_control_font(pane, IDC_GROUP_FIRST_LABEL + i, pane_control_font());
        set_control_font(pane, IDC_GROUP_FIRST_NAME + i, pane_control_font());
    }
}

// The control of each layout slot.
constexpr auto kControls = [] {
    std::array<int, slot::group_slots> ids{};
    for (int g = 0; g < 10; ++g) {
        ids[slot::first_group_label + g] = IDC_GROUP_FIRST_LABEL + g;
        ids[slot::first_group_name + g] = IDC_GROUP_FIRST_NAME + g;
    }
    ids[slot::group_comment_label] = IDC_PANE_COMMENT_LABEL;
    ids[slot::group_comment] = IDC_PANE_COMMENT;
    return ids;
}();

void layout(HWND pane, int width, int height) {
    place_controls(pane,
                   group_pane_layout(width, height, cell_height(pane, IDC_GROUP_FIRST_LABEL),
                                     cell_height(pane, IDC_GROUP_FIRST_NAME), GetSystemMetrics(SM_CYEDGE)),
                   kControls, true);
}

INT_PTR on_command(HWND pane, int id, int code, HWND control) {
    if (id >= IDC_GROUP_FIRST_NAME && id <= kLastName)
        return field_notification(pane, code, control, kImeLeave);
    if (id == IDC_PANE_COMMENT)
        return field_notification(pane, code, control, ime_mode_for(FONT_COMMENT));
    return FALSE;
}

const PaneBehaviour kBehaviour = {IDC_GROUP_FIRST_NAME, nullptr, layout, on_command, nullptr, nullptr};

INT_PTR procedure(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam) {
    return pane_procedure(kBehaviour, pane, msg, wparam, lparam);
}

}  // namespace

const PaneKind kGroupPane = {IDD_PANE_GROUP, guarded_dialog_proc<procedure>, clear, fill, compose,
                             apply_fonts};

}  // namespace qz
