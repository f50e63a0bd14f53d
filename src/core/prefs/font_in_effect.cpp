#include "core/prefs/font_in_effect.h"

#include "core/syntax/settings_line.h"

namespace qz {

const FontSpec& default_font_spec(const Preferences& prefs, int font_kind) {
    switch (font_kind) {
        case LINE_FONT_TITLE:
            return prefs.Title;
        case LINE_FONT_QUESTION:
            return prefs.Question;
        case LINE_FONT_HINT:
            return prefs.hint_font;
        case LINE_FONT_ANSWER:
            return prefs.Answer;
        default:  // FontGroup has no default of its own; FontComment
            return prefs.Comment;
    }
}

bool font_spec_in_effect(const CardDocument& doc, const DataLine* line, int font_kind,
                         const Preferences& prefs, FontSpec& out) {
    if (font_kind < LINE_FONT_TITLE || font_kind > LINE_FONT_COMMENT) return false;
    out = default_font_spec(prefs, font_kind);
    for (int i = doc.line_index(line); i >= 0; --i) {
        const DataLine* l = doc.line_at(i);
        if (l->kind() != font_kind) continue;
        if (l->has_text()) parse_font_values(l->c_str(), out);
        break;
    }
    return true;
}

}  // namespace qz
