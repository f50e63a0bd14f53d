#include "core/document/line_queries.h"

#include "core/syntax/fields.h"
#include "core/syntax/settings_line.h"

namespace qz {

int classify_line(const DataLine* line, int version) {
    if (!line) return LINE_UNKNOWN;
    return classify_text(line->has_text() ? line->c_str() : nullptr, version);
}

void count_questions_by_group(const CardDocument& doc, int counts[10]) {
    for (int i = 0; i < 10; ++i)
        counts[i] = 0;
    for (const DataLine& line : doc) {
        if (!is_question(&line)) continue;
        const int group = question_group(line.c_str());
        if (group >= 0) ++counts[group];
    }
}

std::string group_name(const CardDocument& doc, int index) {
    const DataLine* line = doc.find_group_settings();
    return group_name_in_line(line ? line->c_str() : nullptr, index);
}

}  // namespace qz
