// Answer alternatives: "[A|B]C(D)" stands for ACD, AC, BCD, BC.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qz {

// Bytes of the token form that replace the syntax marks.
inline constexpr char kTokenBar = '\x03';
inline constexpr char kTokenOpenGroup = '\x04';
inline constexpr char kTokenCloseGroup = '\x05';
inline constexpr char kTokenOpenOptional = '\x06';
inline constexpr char kTokenCloseOptional = '\x07';

// Expands the answer field of a question line into its alternatives,
// separated by 0x03; nullopt on a syntax error (unbalanced brackets).
// An answer that stands for too much text stops early: *cut_short (when
// given) is then set and the result holds only the alternatives completed
// so far, in order (empty when none was).
std::optional<std::string> expand_answer(const char* line_text, bool* cut_short = nullptr);

// Said in place of the alternatives an expansion that stopped early could
// not complete.
inline constexpr char kAnswerCutShort[] = "（組み合わせが多すぎるため、ここから先は展開できません）";

// In the token form: 1 for an ordinary byte; for an opening bracket, the
// length up to and including its matching closing bracket.
int group_span(const char* p);

// Start of alternative n (from 0) of an expanded string, or null when there
// are fewer; alternatives end at 0x03, ',' or the end (plain_value_length).
const char* nth_alternative(const char* expanded, int n);

// The entries of the answer-number list of a line: "0. alt", "1. alt", ...
// at most ten, each showing at most the first 200 bytes of its alternative
// (then "…"); when the expansion stopped before the tenth, the entry after
// the last complete one says so with kAnswerCutShort. For format 1.2 the list is empty. For a line that is no
// question line, or whose answer has a syntax error (*syntax_error set),
// the single entry "0".
std::vector<std::string> answer_number_entries(const char* line_text, bool is_question_line,
                                               int version, bool* syntax_error);

// The same entries of a question line of format 1.3 or later from its
// answer expanded already (expand_answer's result and its *cut_short), for
// a caller that has the expansion at hand.
std::vector<std::string> answer_number_entries_of(const std::string& expanded, bool cut_short);

}  // namespace qz
