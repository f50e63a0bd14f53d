#include "syntax/fields.h"

#include <string_view>

#include "document/data_line.h"
#include "syntax/scan.h"
#include "syntax/settings_line.h"

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

int question_history(const char* text) {
    const char* p = after_answer(text);
    return p && p[0] >= kHistoryFirst && p[0] <= kHistoryLast ? p[0] - kHistoryFirst : -1;
}

// The group and answer-number digits are read without judging the history
// byte; the bytes before them only have to be inside the line.
int question_group(const char* text) {
    const char* p = after_answer(text);
    if (!p || is_line_end(p[0])) return -1;
    return is_digit(p[1]) ? p[1] - '0' : -1;
}

int question_answer_number(const char* text) {
    const char* p = after_answer(text);
    if (!p || is_line_end(p[0]) || is_line_end(p[1])) return -1;
    return is_digit(p[2]) ? p[2] - '0' : -1;
}

int check_question_line(const char* text, const char** comment_start) {
    if (comment_start) *comment_start = nullptr;
    const char* p = after_answer(text);
    if (!p || p[0] < kHistoryFirst || p[0] > kHistoryLast) return -1;
    if (!is_digit(p[1]) || !is_digit(p[2])) return -1;
    return trailing_comment(p + 3, comment_start);
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

int classify_line(const DataLine* line, int version) {
    if (!line) return LINE_UNKNOWN;
    return classify_text(line->has_text() ? line->c_str() : nullptr, version);
}

// A missing or empty text is a blank line, which is a LINE_TEXT line.
int classify_text(const char* text, int version) {
    if (!text || text[0] == '\0') return LINE_TEXT;
    if (text[0] == '#') return LINE_TITLE;
    // Settings lines exist from format 1.4 on; before that "$" starts a
    // question.
    if (text[0] == '$' && version >= 14) return settings_kind(text);
    return LINE_TEXT;
}

void count_questions_by_group(const CardDocument& doc, int counts[10]) {
    for (int i = 0; i < 10; ++i)
        counts[i] = 0;
    for (const DataLine& line : doc) {
        if (!is_question(&line)) continue;
        const int group = question_group(line.c_str());
        if (group >= 0) ++counts[group];
    }
}

// ---------------------------------------------------------------------------
// Composers

std::string compose_comment(const std::string& comment, unsigned charset) {
    if (comment.empty()) return {};
    return "'" + escape_text(comment, charset, KEEP_IMAGE_REFERENCES);
}

std::string compose_title_line(const TitleFields& fields, const FieldCharsets& charsets) {
    std::string line = "#" + escape_text(fields.title, charsets.title, 0);
    line += ',';
    line += digit_or_zero(fields.choice_count);
    for (bool flag : fields.flags)
        line += flag ? '1' : '0';
    line += compose_comment(fields.comment, charsets.comment);
    return line;
}

std::string compose_question_line(const QuestionFields& fields, const FieldCharsets& charsets) {
    if (fields.question.empty() && fields.answer.empty())
        return compose_comment(fields.comment, charsets.comment);

    std::string question = escape_text(fields.question, charsets.question, KEEP_IMAGE_REFERENCES);
    std::string line;
    if (!question.empty() && needs_protection(question[0])) line = "\\";
    line += question;
    line += ',';
    line += escape_text(fields.answer, charsets.answer, KEEP_IMAGE_REFERENCES | KEEP_ANSWER_SYNTAX);
    line += ',';
    // A history outside 0-31 is written as 0, like group and answer number.
    const int history = fields.history >= 0 && fields.history <= 31 ? fields.history : 0;
    line += char(kHistoryFirst + history);
    line += digit_or_zero(fields.group);
    line += digit_or_zero(fields.answer_number);
    line += compose_comment(fields.comment, charsets.comment);
    return line;
}

// Formats 1.2 and 1.3 unescape every backslash, the protecting one included.
// Format 1.4 keeps unknown escapes as typed, so the protecting backslash is
// taken off here; composing the shown text puts it back, and a question
// typed as "\#1" is stored as "\\#1" and shown as "\#1" again.
std::string question_display_text(const char* text, unsigned charset, int version) {
    const int length = question_text_field(text);
    if (length <= 0) return {};
    std::string_view field(text, static_cast<std::size_t>(length));
    if (version >= 14 && field.size() >= 2 && field[0] == '\\' && needs_protection(field[1]))
        field.remove_prefix(1);
    return unescape_text(field, charset, version);
}

}  // namespace qz
