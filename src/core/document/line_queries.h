// What the lines of a document say beyond one line's fields: a line's kind,
// the questions of each group, the group names.
#pragma once

#include <string>

#include "core/document/card_document.h"

namespace qz {

// Kind of a line from its text (0 for no line).
int classify_line(const DataLine* line, int version);

// Counts the question lines of each group 0-9.
void count_questions_by_group(const CardDocument& doc, int counts[10]);

// Name of group `index` (0-9) from the first group names line, or the
// built-in name where that line has none; empty for an index of 10 or more.
std::string group_name(const CardDocument& doc, int index);

}  // namespace qz
