// Japanese-aware text matching: does a data line contain a search text?
//
// Text is compared as a sequence of comparison codes, one per character
// after normalisation under the search conditions: upper/lower case,
// full/half width (half-width katakana with their separate voicing marks
// read as one character) and katakana/hiragana can each be ignored. The
// search text is matched with Knuth-Morris-Pratt over those codes, so a
// line's fields are scanned once, in place, without copying or unescaping
// (escape sequences are compared as they stand in the line).
//
// Which fields are searched is chosen by the conditions as well: the
// question (up to the first unescaped comma), the answer (between the first
// and the second), a question line's trailing comment and the title text of
// the title that governs the line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/card_document.h"
#include "core/prefs/preferences.h"

namespace qz {

// The search-condition bits (SEARCH_IGNORE_CASE ... SEARCH_COMMENT) in one byte.
using SearchConditions = std::uint8_t;

// One character after normalisation: lead byte * 256 + trail byte for a
// double-byte character, the byte itself (or its width_table entry when
// widths are ignored) for a single byte.
using ComparisonCode = std::uint16_t;

// For each single byte, the Shift-JIS code of its full-width counterpart;
// bytes without one (controls, 0x7F-0xA0, 0xA5, 0xE0-0xFF) map to themselves.
extern const std::array<ComparisonCode, 256> width_table;

// Reads the comparison code of the character at `position` and advances
// `position` past it: 2 bytes for a double-byte character or (widths
// ignored) a half-width kana with its voicing mark, else 1. Nothing at or
// beyond `end` is read or consumed: a lead byte or a kana in the last byte
// before `end` reads as a single byte. Requires position < end.
ComparisonCode read_comparison_code(const char*& position, const char* end,
                                    SearchConditions conditions);

// The Knuth-Morris-Pratt table of one search text under one set of
// conditions, built once per find or select operation and shared by every
// line. Every vector has one entry per byte of the search text; only the
// entries at byte offsets where a comparison code begins are meaningful.
struct MatchTable {
    SearchConditions conditions = 0;
    // Byte length of the search text.
    std::int32_t length = 0;
    // Failure function: at the offset of the i-th code, the byte offset
    // within the search text of the end of the longest proper prefix of
    // codes 0..i-1 that is also a suffix of them (0 at offset 0).
    std::vector<std::int32_t> fallback;
    // The code that begins at the offset, and the offset of the code after it.
    std::vector<ComparisonCode> code;
    std::vector<std::int32_t> next;
    // Bytes that every match holds as they stand (empty when no part of the
    // search text is sure to): the longest run of characters that no other
    // bytes read as under the conditions, such as kanji. A line without
    // them cannot match, whatever its fields.
    std::string required;
};

// The `required` bytes of a search text under the conditions.
std::string required_bytes(std::string_view search_text, SearchConditions conditions);

// The table of the search text, or none when the text is empty. Throws
// std::bad_alloc when the table cannot be allocated.
std::optional<MatchTable> build_match_table(std::string_view search_text,
                                            SearchConditions conditions);

// True when the span contains the search text of the table. The span is
// read once from its start as comparison codes; no byte beyond it is read.
bool span_contains(std::string_view span, const MatchTable& table);
bool span_contains(const char* start, int length, const MatchTable& table);

// The line's own fields: question, answer and comment, as the conditions
// choose. `text` is a line text (NUL-terminated; "" or null for a blank
// line, which has none of these fields).
bool fields_contain(const char* text, const MatchTable& table);

// The title text (after the '#', up to the first unescaped comma) of a title
// line's text; false for null or a text that is no title.
bool title_contains(const char* title_text, const MatchTable& table);

// True when the line matches under the table's conditions: its question,
// answer or comment, or (SEARCH_TITLE) the title text of `title`, the title
// line that governs the line: the line itself when it is a title line,
// else the nearest title line above it; null for a line before the first
// title. Callers walking a document keep track of `title` as they go, so
// that a whole-document search stays one pass.
bool line_contains(const char* text, const char* title, const MatchTable& table);
bool line_contains(const DataLine& line, const DataLine* title, const MatchTable& table);

// Matches the lines of a document one after another in either direction,
// keeping track of the governing title and searching each title's text only
// once. The document must not change while a matcher is in use.
class LineMatcher {
  public:
    LineMatcher(const CardDocument& doc, const MatchTable& table) : doc_(doc), table_(table) {}

    // True when the line at `index` (0 <= index < count) matches. Cheapest
    // when successive calls move by one line; any order gives the right
    // answer.
    bool matches(int index);

  private:
    const DataLine* governing_title(int index, const DataLine* line);
    bool holds_required(const DataLine& line) const;

    const CardDocument& doc_;
    const MatchTable& table_;
    // The last line asked for, whether it is a title line, and the title
    // that governs it.
    int last_index_ = -2;
    bool last_was_title_ = false;
    const DataLine* last_title_ = nullptr;
    // The title whose text was searched last and the answer.
    const DataLine* searched_title_ = nullptr;
    bool title_hit_ = false;
};

// The index of the first matching line after `from` (direction >= 0, from
// -1 meaning no current line: the search starts at line 0) or before it
// (direction < 0; nothing is found from -1). The line `from` itself is
// never tested and the search does not wrap around. -1 when no line
// matches or the search text is empty. The table form is for callers that
// build the table themselves (to report an allocation failure their way).
int find_matching_line(const CardDocument& doc, const MatchTable& table, int from, int direction);
int find_matching_line(const CardDocument& doc, const std::string& text, unsigned conditions,
                       int from, int direction);

}  // namespace qz
