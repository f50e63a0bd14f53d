// Editing one field of a title or question line in its pane: the input is a
// line, a NUL byte and the text typed into one field. The line's fields are
// shown as the pane shows them, the line is composed with that one field
// changed and read back as the file reader reads it: every other field keeps
// its stored bytes and the changed one reads back as typed (a lone lead byte
// before ',' or a line break may turn into '?', a lone CR or LF into CR LF),
// in every format version. The reader's
// quick checks of title and question lines agree with the validators.
#include <algorithm>
#include <iterator>

#include "core/document/data_file.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"
#include "fuzz_require.h"
#include "support/test_text.h"

namespace {

enum Field { TITLE, QUESTION, ANSWER, COMMENT };

// The stored bytes of a field of a title, question or comment line.
std::string stored(const std::string& text, Field field) {
    const char* t = text.c_str();
    const char* start = nullptr;
    int length = -1;
    if (t[0] == '\'' && field != COMMENT) return "";  // a comment line has only its comment
    switch (field) {
        case TITLE: length = qz::title_text_field(t, &start); break;
        case QUESTION: length = qz::question_text_field(t), start = t; break;
        case ANSWER: length = qz::answer_text_field(t, &start); break;
        case COMMENT:
            if (t[0] == '\'') {
                length = qz::comment_line_text(t, &start);
            } else if (t[0] == '#') {
                length = qz::check_title_line(t, &start);
            } else {
                length = qz::check_question_line(t, &start);
            }
            break;
    }
    return start && length > 0 ? std::string(start, static_cast<std::size_t>(length)) : "";
}

// Whether a field reads back as typed: lone CR and LF come back as CR LF,
// and a lone lead byte before ',' or a line break may come back as '?'.
bool reads_back_as_typed(const std::string& read, const std::string& typed) {
    const std::string expected = qz::test::normalize_breaks(typed);
    if (read.size() != expected.size()) return false;
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (qz::is_double_byte_char(expected.c_str() + i)) {
            if (read.compare(i, 2, expected, i, 2) != 0) return false;
            ++i;
            continue;
        }
        if (read[i] == expected[i]) continue;
        const auto c = static_cast<unsigned char>(expected[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        const char next = expected[i + 1];  // the NUL after the last byte at worst
        if (read[i] != '?' || !lead || (next != ',' && next != '\r' && next != '\n'))
            return false;
    }
    return true;
}

std::string shown(const qz::TitleFields& f, Field field) { return field == TITLE ? f.title : f.comment; }
std::string shown(const qz::QuestionFields& f, Field field) {
    return field == QUESTION ? f.question : field == ANSWER ? f.answer : f.comment;
}

void check_title(const std::string& line, const std::string& typed, int version,
                 const qz::FieldCharsets& charsets) {
    const qz::TitleFields before = qz::title_display_fields(line.c_str(), charsets, version);
    for (Field field : {TITLE, COMMENT}) {
        qz::TitleEdit edit;
        (field == TITLE ? edit.title : edit.comment) = typed;
        edit.choice_count = before.choice_count;
        std::copy(std::begin(before.flags), std::end(before.flags), edit.flags);
        const std::string composed = compose_title_line(line.c_str(), edit, charsets, version);
        const qz::DataLine read = qz::classify_data_line(composed.c_str(), version);
        require(read.kind() == qz::LINE_TITLE && read.text() == composed);
        const qz::TitleFields after = qz::title_display_fields(composed.c_str(), charsets, version);
        require(reads_back_as_typed(shown(after, field), typed));
        require(after.choice_count == before.choice_count &&
                std::equal(std::begin(after.flags), std::end(after.flags), before.flags));
        const Field other = field == TITLE ? COMMENT : TITLE;
        require(stored(composed, other) == stored(line, other));
    }
}

void check_question(const std::string& line, const std::string& typed, int version,
                    const qz::FieldCharsets& charsets) {
    const qz::QuestionFields before = qz::question_display_fields(line.c_str(), charsets, version);
    for (Field field : {QUESTION, ANSWER, COMMENT}) {
        qz::QuestionEdit edit{std::nullopt, std::nullopt, before.history, before.group,
                              before.answer_number, std::nullopt};
        (field == QUESTION ? edit.question : field == ANSWER ? edit.answer : edit.comment) = typed;
        const std::string composed = compose_question_line(line.c_str(), edit, charsets, version);
        const qz::DataLine read = qz::classify_data_line(composed.c_str(), version);
        require(read.text() == composed);
        const qz::QuestionFields after =
            qz::question_display_fields(composed.c_str(), charsets, version);
        require(reads_back_as_typed(shown(after, field), typed));
        for (Field other : {QUESTION, ANSWER, COMMENT})
            require(other == field || stored(composed, other) == stored(line, other));
        if (qz::is_question(&read)) {
            require(after.history == before.history && after.group == before.group &&
                    after.answer_number == before.answer_number);
        } else {
            // Neither question nor answer left: a comment or blank line.
            require(after.question.empty() && after.answer.empty());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    if (nul == std::string_view::npos) return 0;
    // A line holds no line break; an edit control holds no NUL, and the
    // byte 0x01, which no escape can carry, is left out of typed text.
    const std::string line(input.substr(0, std::min(nul, input.find_first_of("\r\n\x01"))));
    std::string typed(input.substr(nul + 1));
    std::erase_if(typed, [](char c) { return c == '\0' || c == qz::kLineSeparator; });

    // The reader's own checks agree with the field validators.
    if (line.size() > 1 && line[0] != '\'') {
        const char* t = line.c_str();
        const qz::LineClass c = qz::classify_line(t, line.size(), 13);
        require(t[0] == '#' ? (c.kind == qz::LINE_TITLE) == (qz::check_title_line(t, nullptr) >= 0)
                            : (c.form == qz::LineForm::kept) == (qz::check_question_line(t, nullptr) >= 0));
    }
    for (int version : {12, 13, 14}) {
        const qz::DataLine read = qz::classify_data_line(line.c_str(), version);
        // Only lines the reader keeps as they are; comment lines are edited
        // as question lines.
        if (read.text() != line || line.empty()) continue;
        // The escapes take a field's character set but do not depend on
        // it: one is enough (each more ran every round trip again for the
        // same result, two thirds of the target's time).
        const qz::FieldCharsets charsets{128, 128, 128, 128};
        if (read.kind() == qz::LINE_TITLE) {
            check_title(line, typed, version, charsets);
        } else if (read.kind() == qz::LINE_TEXT) {
            check_question(line, typed, version, charsets);
        }
    }
    return 0;
}
