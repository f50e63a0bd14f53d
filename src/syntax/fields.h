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

#include <string>

#include "document/card_document.h"

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
int classify_line(const DataLine* line, int version);
int classify_text(const char* text, int version);

// Counts the question lines of each group 0-9.
void count_questions_by_group(const CardDocument& doc, int counts[10]);

// ---- Composing lines from the values a pane shows (unescaped text).

struct TitleFields {
    std::string title;
    int choice_count = 0;        // 0-9; anything else is written as 0
    bool flags[5] = {};
    std::string comment;
};

struct QuestionFields {
    std::string question;
    std::string answer;
    int history = 0;             // 0-31
    int group = 0;               // 0-9; anything else is written as 0
    int answer_number = 0;       // 0-9; anything else is written as 0
    std::string comment;
};

// Charsets of the fonts in effect at the line, which decide whether
// escaping steps over double-byte characters.
struct FieldCharsets {
    unsigned title = 128;
    unsigned question = 128;
    unsigned answer = 128;
    unsigned comment = 128;
};

std::string compose_title_line(const TitleFields& fields, const FieldCharsets& charsets);
// Empty result: the line becomes blank (no question, no answer, no comment).
// Only a comment: the comment line "'" + comment.
std::string compose_question_line(const QuestionFields& fields, const FieldCharsets& charsets);
// The comment part every composed line may end with: "" when the comment is
// empty, else "'" + the comment escaped (images kept).
std::string compose_comment(const std::string& comment, unsigned charset);

// The question as the pane shows it: unescaped, without the backslash that
// protects a leading '#', '$' or '\''.
std::string question_display_text(const char* text, unsigned charset, int version);

}  // namespace qz
