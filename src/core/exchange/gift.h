// Moodle GIFT: categories, multiple-choice, short-answer and true/false
// questions, "//" comments.
#pragma once

#include <string_view>

#include "core/exchange/exchange.h"

namespace qz {

// Titles become "$CATEGORY: title" lines. A question under a title whose
// choice count is 0 or 1 becomes a short-answer question with one "=" entry
// per alternative of its expanded answer; under a multiple-choice title
// (choice count n > 1) it becomes "{=right ~wrong …}" with n - 1 wrong
// choices taken from the shown alternatives of the other questions under
// the same title (the next ones in order, different from the right one),
// "{T}" or "{F}" for ○ and × under a two-choice title, and "{=right}" when
// the title gives no wrong choice. Comments become "//" lines before their
// question (a title's comment right after its category line).
// "~ = # { } :" and "\" are escaped with "\", a line break is written as
// "\n". Left out (and counted): an empty question or answer, and an answer
// holding "->", which every reader takes for a matching question.
ExportResult write_gift(const std::vector<ExchangeCard>& cards, const ExportOptions& options);

// Reads the same subset: "$CATEGORY:" lines become titles; a short answer's
// "=" entries become the alternatives of the answer; a multiple-choice
// question with n choices goes under a title with choice count n (the
// right choice its answer); true/false gives the answer "○" or "×" under a
// title with choice count 2; "//" lines before a question its comment;
// "::name::" and "[html]"-style format marks are dropped, feedback ("#…")
// and weights ("%50%") too (with a notice). Any other question type
// (matching, numerical, essay, description, ...) is refused with its line
// number. Titles split where the category or the choice count changes.
ImportResult read_gift(std::string_view bytes, TextEncoding encoding);

}  // namespace qz
