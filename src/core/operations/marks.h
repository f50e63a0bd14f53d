// What the right/wrong marks say: for each title section (or each group),
// how many questions have all five marks right, most of them (4 or 3),
// few (2 or 1) or none, and for each question how many are right.
//
// The marks are the last five answers; a question never asked has five
// wrong marks too, so "never asked" cannot be told from "always missed".
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/document/card_document.h"

namespace qz {

inline constexpr int kMarkCount = 5;

// Right marks of a history byte value (0-31).
int right_marks(int history);

// The bands the chart splits a section into.
enum MarkBand { BAND_ALL_RIGHT, BAND_MOSTLY_RIGHT, BAND_MOSTLY_WRONG, BAND_ALL_WRONG, kBandCount };
MarkBand mark_band(int right);
// "全問正解", "ほぼ正解（4・3）", "ほぼ不正解（2・1）", "全問不正解".
const char* mark_band_label(MarkBand band);

enum class StatsBy { title, group };

struct SectionMarks {
    std::string name;  // the title as shown, or the group's name
    // The title line's index (-1 for the questions before the first title),
    // or the group number.
    int key = -1;
    int questions = 0;
    std::array<int, kBandCount> bands{};
    long long right = 0;  // right marks of its questions
};

struct QuestionMarks {
    int index;    // line index
    int section;  // into MarkCounts::sections
    int right;    // 0-5
    int history;  // 0-31
};

struct MarkCounts {
    std::vector<SectionMarks> sections;   // in document order; by group 0-9
    std::vector<QuestionMarks> questions;  // in document order
    int no_right = 0;                      // questions with no right mark
    long long right = 0;
    // Right marks among all marks, 0-1 (0 without questions).
    double right_rate() const;
};

// The sections with questions only (by title: the questions before the
// first title form a section named "（タイトルなし）").
MarkCounts count_marks(const CardDocument& doc, StatsBy by = StatsBy::title);

// Right marks among all marks of that many questions, 0-1 (0 for none),
// and as shown: "49.3%".
double right_rate(long long right, std::size_t questions);
std::string rate_text(double rate);

// "○×○○×": the five marks in the order the question pane shows them.
std::string marks_text(int history);

}  // namespace qz
