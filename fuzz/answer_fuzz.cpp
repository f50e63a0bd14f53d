// Takes the input as the text of a question line (up to its first NUL) and
// runs the line syntax over it: the question line's validator and accessors
// must stay inside the line and agree with each other, and the answer
// expansion must end in bounded time and memory. (Title and comment lines:
// see the fields fuzz target.)
#include <algorithm>
#include <optional>
#include <vector>

#include "core/syntax/answer.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"
#include "fuzz_require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const char* text = input.c_str();
    const int end = qz::line_end_length(text);

    // Question line.
    const char* comment = nullptr;
    const int check = qz::check_question_line(text, &comment);
    if (check > 0) require_within(text, end, comment, check);
    const int question = qz::question_text_field(text);
    require(question < 0 || (question < end && text[question] == ','));
    const char* answer = nullptr;
    const int answer_length = qz::answer_text_field(text, &answer);
    require_within(text, end, answer, answer_length);
    if (answer_length >= 0) require(answer == text + question + 1 && answer[answer_length] == ',');
    const int history = qz::question_history(text);
    const int group = qz::question_group(text);
    const int number = qz::question_answer_number(text);
    require(history >= -1 && history <= 31);
    require(group >= -1 && group <= 9);
    require(number >= -1 && number <= 9);
    if (check >= 0) require(answer_length >= 0 && history >= 0 && group >= 0 && number >= 0);

    // The answer and its list.
    bool cut_short = false;
    const std::optional<std::string> expanded = qz::expand_answer(text, &cut_short);
    if (expanded) {
        // No bracket survives the expansion.
        require(expanded->find_first_of("\x04\x05\x06\x07") == std::string::npos);
        require(expanded->size() <= std::max<std::size_t>(64 * 1024 + 8, 2 * size));
        for (int n = 0; n < 12; ++n) {
            const char* alternative = qz::nth_alternative(expanded->c_str(), n);
            if (!alternative) break;
            require(alternative >= expanded->c_str() &&
                    alternative <= expanded->c_str() + expanded->size());
        }
    }
    // Format 1.2 lists no answer numbers. Later formats list them from the
    // expansion, taken here from the one above instead of expanding again:
    // one expansion can cost as much as all the rest of an input.
    bool syntax_error = true;
    require(qz::answer_number_entries(text, true, 12, &syntax_error).empty() && !syntax_error);
    if (expanded) {
        require(qz::answer_number_entries_of(*expanded, cut_short).size() <= 10);
    } else {
        // A syntax error is found before any expansion: the line's own list is cheap then.
        require(qz::answer_number_entries(text, true, 13, &syntax_error) == std::vector<std::string>{"0"} &&
                syntax_error);
    }

    return 0;
}
