#include "core/operations/marks.h"

#include <bit>
#include <cstdio>

#include "core/document/line_queries.h"
#include "core/syntax/fields.h"

namespace qz {

int right_marks(int history) { return std::popcount(static_cast<unsigned>(history) & 0x1Fu); }

MarkBand mark_band(int right) {
    if (right >= kMarkCount) return BAND_ALL_RIGHT;
    if (right >= 3) return BAND_MOSTLY_RIGHT;
    if (right >= 1) return BAND_MOSTLY_WRONG;
    return BAND_ALL_WRONG;
}

const char* mark_band_label(MarkBand band) {
    switch (band) {
        case BAND_ALL_RIGHT: return "全問正解";
        case BAND_MOSTLY_RIGHT: return "ほぼ正解（4・3）";
        case BAND_MOSTLY_WRONG: return "ほぼ不正解（2・1）";
        default: return "全問不正解";
    }
}

double right_rate(long long right, std::size_t questions) {
    return questions ? static_cast<double>(right) / (kMarkCount * static_cast<double>(questions)) : 0.0;
}

std::string rate_text(double rate) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", rate * 100);
    return text;
}

double MarkCounts::right_rate() const { return qz::right_rate(right, questions.size()); }

MarkCounts count_marks(const CardDocument& doc, StatsBy by) {
    MarkCounts s;
    // By group: the section of each group once it has a question.
    std::array<int, 10> group_section;
    group_section.fill(-1);
    int title_section = -1;  // the section of the title in force
    int title_line = -1;
    int index = 0;
    for (const DataLine& line : doc) {
        const int at = index++;
        if (line.kind() == LINE_TITLE) {
            title_line = at;
            title_section = -1;
            continue;
        }
        if (!is_question(&line)) continue;
        const int history = question_history(line.c_str());
        if (history < 0) continue;
        int section = -1;
        if (by == StatsBy::title) {
            if (title_section < 0) {
                SectionMarks m;
                m.key = title_line;
                m.name = title_line < 0 ? std::string("（タイトルなし）")
                                        : title_display_fields(doc.line_at(title_line)->c_str(),
                                                               FieldCharsets{}, doc.version)
                                              .title;
                title_section = static_cast<int>(s.sections.size());
                s.sections.push_back(std::move(m));
            }
            section = title_section;
        } else {
            const int group = question_group(line.c_str());
            const int g = group >= 0 && group <= 9 ? group : 0;
            if (group_section[static_cast<std::size_t>(g)] < 0) {
                group_section[static_cast<std::size_t>(g)] = static_cast<int>(s.sections.size());
                SectionMarks m;
                m.key = g;
                m.name = group_name(doc, g);
                s.sections.push_back(std::move(m));
            }
            section = group_section[static_cast<std::size_t>(g)];
        }
        const int right = right_marks(history);
        SectionMarks& m = s.sections[static_cast<std::size_t>(section)];
        ++m.questions;
        ++m.bands[static_cast<std::size_t>(mark_band(right))];
        m.right += right;
        s.right += right;
        if (right == 0) ++s.no_right;
        s.questions.push_back({at, section, right, history});
    }
    if (by == StatsBy::group) {
        // Groups in their order 0-9, the questions' sections renumbered.
        std::vector<int> order;
        for (int g = 0; g < 10; ++g)
            if (group_section[static_cast<std::size_t>(g)] >= 0) order.push_back(group_section[static_cast<std::size_t>(g)]);
        std::vector<int> renumber(s.sections.size());
        std::vector<SectionMarks> sorted;
        for (int old : order) {
            renumber[static_cast<std::size_t>(old)] = static_cast<int>(sorted.size());
            sorted.push_back(std::move(s.sections[static_cast<std::size_t>(old)]));
        }
        s.sections = std::move(sorted);
        for (QuestionMarks& q : s.questions) q.section = renumber[static_cast<std::size_t>(q.section)];
    }
    return s;
}

std::string marks_text(int history) {
    std::string text;
    for (int i = 0; i < kMarkCount; ++i) text += (history >> i) & 1 ? "○" : "×";
    return text;
}

}  // namespace qz
