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
ExportResult write_aiken(const std::vector<ExchangeCard>& cards, const ExportOptions& options);

// Reads questions with 2-9 choices ("A." or "A)" lines), each under a title
// named `title` whose choice count is its number of choices (a new title
// line where that number changes). A question without an "ANSWER:" line,
// with fewer than 2 or more than 9 choices, or whose answer names no
// choice, is refused with its line number.
ImportResult read_aiken(std::string_view bytes, TextEncoding encoding, const std::string& title);

}  // namespace qz
