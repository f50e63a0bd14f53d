#include "core/syntax/fields.h"

#include <string_view>

#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"

namespace qz {
namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

constexpr char kHistoryFirst = '<';  // history value 0
constexpr char kHistoryLast = '[';   // history value 31

// Number of flag digits after the choice count of a title line.
constexpr int kTitleFlags = 5;

// A question whose stored text would begin with one of these bytes gets a
// protecting backslash, so that the line is not read as a title, settings
// or comment line.
bool needs_protection(char c) {
    return c == '#' || c == '$' || c == '\'';
}

// The byte after the ',' that ends the title; null when the line lacks it.
const char* after_title(const char* text) {
    const char* start = nullptr;
    const int length = title_text_field(text, &start);
    return length < 0 ? nullptr : start + length + 1;
}

// The byte after the ',' that ends the answer (the history byte); null when
// the line lacks it.
const char* after_answer(const char* text) {
    const char* start = nullptr;
    const int length = answer_text_field(text, &start);
    return length < 0 ? nullptr : start + length + 1;
}

// Length of a field that must be ended by ','; -1 otherwise.
int comma_ended_field(const char* start, bool images) {
    const int length = field_length(start, images);
    return length >= 0 && start[length] == ',' ? length : -1;
}

char digit_or_zero(int value) {
    return value >= 0 && value <= 9 ? char('0' + value) : '0';
}

}  // namespace

// ---------------------------------------------------------------------------
// Title lines: #title,CFFFFF['comment]

int title_text_field(const char* text, const char** start) {
    if (!text || text[0] != '#') return -1;
    const int length = comma_ended_field(text + 1, false);
    if (length >= 0 && start) *start = text + 1;
    return length;
}

int title_choice_count(const char* text) {
    const char* p = after_title(text);
    return p && is_digit(p[0]) ? p[0] - '0' : -1;
}

int title_flag(const char* text, int n) {
    if (n < 0 || n >= kTitleFlags) return -1;
    const char* p = after_title(text);
    if (!p) return -1;
    // The choice count and the flags before flag n must all be digits; the
    // last of them being a digit also keeps p[n + 1] inside the line.
    for (int i = 0; i <= n; ++i)
        if (!is_digit(p[i])) return -1;
    return p[n + 1] == '1' ? 1 : 0;
}

int check_title_line(const char* text, const char** comment_start) {
    if (comment_start) *comment_start = nullptr;
    const char* p = after_title(text);
    if (!p) return -1;
    for (int i = 0; i < 1 + kTitleFlags; ++i)
        if (!is_digit(p[i])) return -1;
    return trailing_comment(p + 1 + kTitleFlags, comment_start);
}

// ---------------------------------------------------------------------------
// Question lines: question,answer,HGN['comment]

int question_text_field(const char* text) {
    return text ? comma_ended_field(text, true) : -1;
}

int answer_text_field(const char* text, const char** start) {
    const int question = question_text_field(text);
    if (question < 0) return -1;
    const char* answer = text + question + 1;
    const int length = comma_ended_field(answer, true);
    if (length >= 0 && start) *start = answer;
    return length;
}

namespace {

// The fixed fields read at p, the byte after the answer's ',' (null: the
// line has no answer field).
int history_at(const char* p) {
    return p && p[0] >= kHistoryFirst && p[0] <= kHistoryLast ? p[0] - kHistoryFirst : -1;
}

// The group and answer-number digits are read without judging the history
// byte; the bytes before them only have to be inside the line.
int group_at(const char* p) {
    if (!p || is_line_end(p[0])) return -1;
    return is_digit(p[1]) ? p[1] - '0' : -1;
}

int answer_number_at(const char* p) {
    if (!p || is_line_end(p[0]) || is_line_end(p[1])) return -1;
    return is_digit(p[2]) ? p[2] - '0' : -1;
}

int check_at(const char* p, const char** comment_start) {
    if (comment_start) *comment_start = nullptr;
    if (!p || p[0] < kHistoryFirst || p[0] > kHistoryLast) return -1;
    if (!is_digit(p[1]) || !is_digit(p[2])) return -1;
    return trailing_comment(p + 3, comment_start);
}

}  // namespace

int question_history(const char* text) { return history_at(after_answer(text)); }
int question_group(const char* text) { return group_at(after_answer(text)); }
int question_answer_number(const char* text) { return answer_number_at(after_answer(text)); }

int check_question_line(const char* text, const char** comment_start) {
    return check_at(after_answer(text), comment_start);
}

// ---------------------------------------------------------------------------
// Comments

int comment_line_text(const char* text, const char** start) {
    if (!text || text[0] != '\'') return -1;
    if (start) *start = text + 1;
    return line_end_length(text + 1);
}

int trailing_comment(const char* pos, const char** start) {
    if (start) *start = nullptr;
    if (!pos) return -1;
    if (is_line_end(pos[0])) return 0;
    if (pos[0] != '\'') return -1;
    if (start) *start = pos + 1;
    return line_end_length(pos + 1);
}

// ---------------------------------------------------------------------------
// Line kinds


// A missing or empty text is a blank line, which is a LINE_TEXT line.
int classify_text(const char* text, int version) {
    if (!text || text[0] == '\0') return LINE_TEXT;
    if (text[0] == '#') return LINE_TITLE;
    // Settings lines exist from format 1.4 on; before that "$" starts a
    // question.
    if (text[0] == '$' && version >= 14) return settings_kind(text);
    return LINE_TEXT;
}


// ---------------------------------------------------------------------------
// Showing and composing

namespace {

// The stored (escaped) text fields of a line as the panes show them, and
// for a question line where its fixed fields begin (null: none).
struct StoredFields {
    std::string_view title, question, answer, comment;
    const char* fixed = nullptr;
};

std::string_view span(const char* start, int length) {
    return start && length > 0 ? std::string_view(start, static_cast<std::size_t>(length))
                               : std::string_view();
}

StoredFields stored_title_fields(const char* text) {
    StoredFields f;
    const char* start = nullptr;
    const int length = title_text_field(text, &start);
    f.title = span(start, length);
    const char* comment = nullptr;
    const int comment_length = check_title_line(text, &comment);
    f.comment = span(comment, comment_length);
    return f;
}

// A comment line has only its comment; a question line its question,
// answer and (when the line is valid) comment.
StoredFields stored_question_fields(const char* text) {
    StoredFields f;
    if (!text || !text[0]) return f;
    const char* start = nullptr;
    if (text[0] == '\'') {
        f.comment = span(text + 1, comment_line_text(text, &start));
        return f;
    }
    // Each field is scanned once.
    const int question_length = question_text_field(text);
    f.question = span(text, question_length);
    if (question_length < 0) return f;
    start = text + question_length + 1;
    const int answer_length = comma_ended_field(start, true);
    if (answer_length < 0) return f;
    f.answer = span(start, answer_length);
    f.fixed = start + answer_length + 1;
    const char* comment = nullptr;
    const int comment_length = check_at(f.fixed, &comment);
    f.comment = span(comment, comment_length);
    return f;
}

// What a field of that format version keeps as typed: formats 1.2 and 1.3
// unescape every backslash, so nothing.
int field_flags(int flags, int version) { return version <= 13 ? flags & ESCAPE_APOSTROPHE : flags; }

// The edited text escaped, or the stored bytes kept, appended to the line.
void append_field(std::string& line, std::string_view stored, const FieldEdit& edit, unsigned charset,
                  int flags, int version) {
    if (edit) append_escaped_text(line, *edit, charset, field_flags(flags, version));
    else line += stored;
}

// The comment part appended to the line: nothing for an empty comment.
void append_comment(std::string& line, std::string_view stored, const FieldEdit& edit, unsigned charset,
                    int version) {
    const std::size_t at = line.size();
    line += '\'';
    append_field(line, stored, edit, charset, KEEP_IMAGE_REFERENCES, version);
    if (line.size() == at + 1) line.resize(at);
}

}  // namespace

TitleFields title_display_fields(const char* text, const FieldCharsets& charsets, int version) {
    const StoredFields stored = stored_title_fields(text);
    TitleFields f;
    f.title = unescape_text(stored.title, charsets.title, version);
    f.choice_count = title_choice_count(text);
    for (int i = 0; i < kTitleFlags; ++i)
        f.flags[i] = title_flag(text, i) == 1;
    f.comment = unescape_text(stored.comment, charsets.comment, version, KEEP_IMAGE_REFERENCES);
    return f;
}

namespace {

// The question field as shown. Formats 1.2 and 1.3 unescape every
// backslash, the protecting one included. Format 1.4 keeps unknown escapes
// as typed, so the protecting backslash is taken off here; composing the
// shown text puts it back, and a question typed as "\#1" is stored as
// "\\#1" and shown as "\#1" again.
std::string shown_question(std::string_view field, unsigned charset, int version) {
    if (version >= 14 && field.size() >= 2 && field[0] == '\\' && needs_protection(field[1])) field.remove_prefix(1);
    return unescape_text(field, charset, version, KEEP_IMAGE_REFERENCES);
}

}  // namespace

QuestionFields question_display_fields(const char* text, const FieldCharsets& charsets,
                                       int version) {
    const StoredFields stored = stored_question_fields(text);
    QuestionFields f;
    if (!stored.question.empty()) f.question = shown_question(stored.question, charsets.question, version);
    f.answer = unescape_text(stored.answer, charsets.answer, version,
                             KEEP_IMAGE_REFERENCES | KEEP_ANSWER_SYNTAX);
    f.comment = unescape_text(stored.comment, charsets.comment, version, KEEP_IMAGE_REFERENCES);
    if (text && text[0] != '\'') {
        f.history = history_at(stored.fixed);
        f.group = group_at(stored.fixed);
        f.answer_number = answer_number_at(stored.fixed);
    }
    return f;
}

FieldEdit field_edit(std::string shown, const std::string& filled) {
    if (shown == filled) return std::nullopt;
    return shown;
}

std::string escape_field(std::string_view typed, unsigned charset, int flags, int version) {
    return escape_text(typed, charset, field_flags(flags, version));
}

std::string compose_comment(std::string_view stored, const FieldEdit& edit, unsigned charset,
                            int version) {
    std::string comment;
    append_comment(comment, stored, edit, charset, version);
    return comment;
}

std::string compose_title_line(const char* text, const TitleEdit& edit,
                               const FieldCharsets& charsets, int version) {
    const StoredFields stored = stored_title_fields(text);
    std::string line = "#";
    append_field(line, stored.title, edit.title, charsets.title, 0, version);
    line += ',';
    line += digit_or_zero(edit.choice_count);
    for (bool flag : edit.flags)
        line += flag ? '1' : '0';
    append_comment(line, stored.comment, edit.comment, charsets.comment, version);
    return line;
}

std::string compose_question_line(const char* text, const QuestionEdit& edit,
                                  const FieldCharsets& charsets, int version) {
    const StoredFields stored = stored_question_fields(text);
    // The fields are escaped straight into the line.
    std::string line;
    const std::size_t typed = (edit.question ? edit.question->size() : 0) +
                              (edit.answer ? edit.answer->size() : 0) + (edit.comment ? edit.comment->size() : 0);
    // Two commas, the history and two digits, the comment's apostrophe;
    // escaping adds a backslash now and then.
    line.reserve(stored.question.size() + stored.answer.size() + stored.comment.size() + typed + typed / 8 + 6);
    if (edit.question) {
        append_field(line, {}, edit.question, charsets.question, KEEP_IMAGE_REFERENCES, version);
        if (!line.empty() && needs_protection(line[0])) line.insert(0, 1, '\\');
    } else {
        // The stored question carries its protecting backslash already.
        line += stored.question;
    }
    const bool no_question = line.empty();
    line += ',';
    append_field(line, stored.answer, edit.answer, charsets.answer, KEEP_IMAGE_REFERENCES | KEEP_ANSWER_SYNTAX,
                 version);
    if (no_question && line.size() == 1) {
        // Neither question nor answer: only the comment line.
        line.clear();
        append_comment(line, stored.comment, edit.comment, charsets.comment, version);
        return line;
    }
    line += ',';
    // A history outside 0-31 is written as 0, like group and answer number.
    const int history = edit.history >= 0 && edit.history <= 31 ? edit.history : 0;
    line += char(kHistoryFirst + history);
    line += digit_or_zero(edit.group);
    line += digit_or_zero(edit.answer_number);
    append_comment(line, stored.comment, edit.comment, charsets.comment, version);
    return line;
}

std::string question_display_text(const char* text, unsigned charset, int version) {
    const int length = question_text_field(text);
    if (length <= 0) return {};
    return shown_question(std::string_view(text, static_cast<std::size_t>(length)), charset, version);
}

}  // namespace qz
