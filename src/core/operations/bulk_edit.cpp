#include "core/operations/bulk_edit.h"

#include <string_view>
#include <utility>
#include <vector>

#include "core/syntax/fields.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

bool is_answer_mark(char c) {
    return c == '(' || c == ')' || c == '[' || c == ']' || c == '|';
}

bool needs_protection(char c) {
    return c == '#' || c == '$' || c == '\'';
}

// Length of the unit at text[i] that is copied whole: a double-byte
// character, an escape with its character, or a picture reference \i"...".
std::size_t unit_length(std::string_view text, std::size_t i) {
    auto char_at = [&](std::size_t k) -> std::size_t {
        if (k >= text.size()) return 0;
        return k + 1 < text.size() && is_double_byte_char(text.data() + k) ? 2 : 1;
    };
    if (text[i] != '\\') return char_at(i);
    if (i + 2 < text.size() && text[i + 1] == 'i' && text[i + 2] == '"') {
        for (std::size_t k = i + 3; k < text.size(); k += char_at(k))
            if (text[k] == '"') return k + 1 - i;
    }
    return 1 + char_at(i + 1);
}

// A stored answer as a stored question: "\(" and the like lose their
// backslash.
void append_as_question(std::string_view answer, std::string& out) {
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < answer.size();) {
        const std::size_t n = unit_length(answer, i);
        if (n == 2 && answer[i] == '\\' && is_answer_mark(answer[i + 1]))
            out += answer[i + 1];
        else
            out.append(answer, i, n);
        i += n;
    }
    if (out.size() > start && needs_protection(out[start])) out.insert(start, 1, '\\');
}

// A stored question as a stored answer: without its protecting backslash,
// its answer marks escaped.
void append_as_answer(std::string_view question, std::string& out) {
    if (question.size() >= 2 && question[0] == '\\' && needs_protection(question[1]))
        question.remove_prefix(1);
    for (std::size_t i = 0; i < question.size();) {
        const std::size_t n = unit_length(question, i);
        if (n == 1 && is_answer_mark(question[i])) out += '\\';
        out.append(question, i, n);
        i += n;
    }
}

}  // namespace

std::string reversed_question(const char* text) {
    const char* answer = nullptr;
    const int answer_length = answer_text_field(text, &answer);
    if (answer_length < 0) return {};
    std::string line;
    line.reserve(static_cast<std::size_t>(line_end_length(text)) + 8);
    append_as_question(std::string_view(answer, static_cast<std::size_t>(answer_length)), line);
    line += ',';
    append_as_answer(std::string_view(text, static_cast<std::size_t>(answer - 1 - text)), line);
    line += ",<00";
    return line;
}

int swap_selected_questions(EditorModel& model) {
    std::vector<DataLine> copies;
    int index = 0;
    for (const DataLine& line : model.doc()) {
        if (model.is_selected(index++) && is_question(&line)) {
            std::string copy = reversed_question(line.c_str());
            if (!copy.empty()) copies.emplace_back(LINE_TEXT, std::move(copy));
        }
    }
    const int count = static_cast<int>(copies.size());
    model.insert_lines(model.doc().count(), std::move(copies));
    return count;
}

namespace {

// Sets one byte of the selected questions' fixed fields, `offset` places
// after the comma that ends the answer (1: history, 2: group), to `value`
// as one step. Returns how many lines it set.
int set_selected_field(EditorModel& model, int offset, char value) {
    std::vector<int> indexes;
    std::vector<DataLine> changed;
    int index = 0;
    for (const DataLine& line : model.doc()) {
        const int at = index++;
        // Only a line that has the fixed fields gets one.
        if (!model.is_selected(at) || !is_question(&line) || question_group(line.c_str()) < 0)
            continue;
        const char* answer = nullptr;
        const int length = answer_text_field(line.c_str(), &answer);
        std::string text(line.text());
        text[static_cast<std::size_t>(answer - line.c_str() + length + offset)] = value;
        indexes.push_back(at);
        changed.emplace_back(LINE_TEXT, std::move(text));
    }
    if (indexes.empty()) return 0;
    const int count = static_cast<int>(indexes.size());
    EditStep step;
    step.push_back(LineEdit::replace_lines(std::move(indexes), std::move(changed)));
    model.apply(std::move(step));
    return count;
}

}  // namespace

int change_selected_groups(EditorModel& model, int group) {
    if (group < 0 || group > 9) return 0;
    return set_selected_field(model, 2, char('0' + group));
}

int reset_selected_histories(EditorModel& model, bool right) {
    // The history byte is '<' + the five marks.
    return set_selected_field(model, 1, char('<' + (right ? 31 : 0)));
}

}  // namespace qz
