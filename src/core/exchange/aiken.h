// Aiken: multiple-choice questions only.
//   Question text
//   A. choice
//   B. choice
//   ANSWER: B
#pragma once

#include <string>
#include <string_view>

#include "core/exchange/exchange.h"

namespace qz {

// The questions under multiple-choice titles (choice count 2-9; others are
// counted as left out): the right choice (the shown alternative) and choice
// count - 1 wrong ones taken as write_gift takes them, the right one at
// place (its position among the title's questions) mod n. Line breaks in a
// text are written as a space (the format has one line per text).
// `why`, when given, says why each card left out was.
struct AikenLeftOut {
    int not_multiple_choice = 0;  // under no title, or one of choice count 0 or 1
    int too_few_answers = 0;      // their title has no other answer to give as a wrong choice
    int unwritable = 0;           // an empty question or choice, a question read as the ANSWER: line
};
ExportResult write_aiken(const std::vector<ExchangeCard>& cards, const ExportOptions& options,
                         AikenLeftOut* why = nullptr);

// Reads questions with 2-9 choices ("A. text" or "A) text" lines, or
// "A)text" without the blank when the letter is the next one), each under
// a title named `title` whose choice count is its number of choices (a
// new title line where that number changes); only the right choice is
// kept, with one notice for the file (tell_drawn_choices). A question
// without an "ANSWER:" line, with fewer than 2 or more than 9 choices, or
// whose answer names no choice, is refused with its line number. Lines
// end in LF, CR LF or CR; U+00A0 is a space.
ImportResult read_aiken(std::string_view bytes, TextEncoding encoding, const std::string& title);

}  // namespace qz
