// Fields of title, question and comment lines: validators, accessors and
// composers.
//
// Title line:    #title,CFFFFF['comment]   C = choice count, F = five flags
// Question line: question,answer,HGN['comment]
//                H = history byte '<'..'[', G = group digit, N = answer number
// Comment line:  'comment
//
// Accessors take the line text (null is accepted) and return the stored
// (escaped) length of the field, with its start in *start where there is
// one; -1 when the line lacks the field.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/syntax/line_kind.h"

namespace qz {

int title_text_field(const char* text, const char** start);
int title_choice_count(const char* text);
int title_flag(const char* text, int n);
// -1 unless the text is a valid title line; else the comment's length (0 for
// none or an empty one) and its start.
int check_title_line(const char* text, const char** comment_start);

int question_text_field(const char* text);
int answer_text_field(const char* text, const char** start);
int question_history(const char* text);
int question_group(const char* text);
int question_answer_number(const char* text);
// -1 unless the text is a valid question line; else as check_title_line.
int check_question_line(const char* text, const char** comment_start);

int comment_line_text(const char* text, const char** start);
// At a position behind a line's fixed fields: 0 at the end of the line
// (*start null), the comment's length after a '\'' (and its start), -1 for
// anything else.
int trailing_comment(const char* pos, const char** start);

// Kind of a line from its text (0 for no line).
int classify_text(const char* text, int version);

// ---- Showing fields in a pane and composing the line again.

// The fields of a title line as the title pane shows them (unescaped).
struct TitleFields {
    std::string title;
    int choice_count = 0;        // 0-9; -1 when the line has none
    bool flags[5] = {};
    std::string comment;
};

// The fields of a question, comment or blank line as the question pane
// shows them (a comment line has only its comment).
struct QuestionFields {
    std::string question;
    std::string answer;
    int history = 0;             // 0-31; -1 when the line has none
    int group = 0;               // 0-9; -1 likewise
    int answer_number = 0;       // 0-9; -1 likewise
    std::string comment;
};

// Charsets of the fonts in effect at the line.
struct FieldCharsets {
    unsigned title = 128;
    unsigned question = 128;
    unsigned answer = 128;
    unsigned comment = 128;
};

TitleFields title_display_fields(const char* text, const FieldCharsets& charsets, int version);
QuestionFields question_display_fields(const char* text, const FieldCharsets& charsets,
                                       int version);

// A text field to compose: the text the user typed, or nothing to keep the
// bytes the line stores, so that a field left alone keeps its meaning.
using FieldEdit = std::optional<std::string>;

// The edit of a field that shows `shown` after it was filled with `filled`:
// nothing while they are the same.
FieldEdit field_edit(std::string shown, const std::string& filled);

// What a pane composes; numbers out of range are written as 0.
struct TitleEdit {
    FieldEdit title;
    int choice_count = 0;
    bool flags[5] = {};
    FieldEdit comment;
};

struct QuestionEdit {
    FieldEdit question;
    FieldEdit answer;
    int history = 0;
    int group = 0;
    int answer_number = 0;
    FieldEdit comment;
};

// The line composed from the edits; `text` is the line edited (null or ""
// for none), whose stored bytes a field without an edit keeps. A typed text
// is escaped so that it reads back as typed under the format version.
std::string compose_title_line(const char* text, const TitleEdit& edit,
                               const FieldCharsets& charsets, int version);
// Empty result: the line becomes blank (no question, no answer, no comment).
// Only a comment: the comment line "'" + comment.
std::string compose_question_line(const char* text, const QuestionEdit& edit,
                                  const FieldCharsets& charsets, int version);
// The comment part a composed line ends with: "" for an empty comment, else
// "'" and the stored comment (`stored`, escaped) or the edited one escaped.
std::string compose_comment(std::string_view stored, const FieldEdit& edit, unsigned charset,
                            int version);

// A typed text escaped for a field of a line in that format version: format
// 1.4 keeps answer syntax and image references as the flags say; formats
// 1.2 and 1.3 unescape every backslash, so there every backslash is doubled.
std::string escape_field(std::string_view typed, unsigned charset, int flags, int version);

// The question as the pane shows it: unescaped, without the backslash that
// protects a leading '#', '$' or '\''.
std::string question_display_text(const char* text, unsigned charset, int version);

}  // namespace qz
