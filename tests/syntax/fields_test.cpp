#include "core/document/line_queries.h"
#include "core/syntax/fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/document/card_document.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

// Double-byte characters whose trail byte is a syntax byte.
const std::string kSo = "\x83\x5C";   // "ソ": trail byte '\'
const std::string kHyo = "\x95\x5C";  // "表": trail byte '\'
const std::string kPo = "\x83\x7C";   // "ポ": trail byte '|'

// The text of a span, or nullopt for a length of -1.
std::optional<std::string> span(const char* start, int length) {
    if (length < 0) return std::nullopt;
    if (!start) return std::string("<null>");
    return std::string(start, static_cast<std::size_t>(length));
}

const struct TitleCase {
    std::string text;
    std::optional<std::string> title;  // stored title field
    int choices, flags[5], check;      // check: check_title_line
    std::optional<std::string> comment;  // its comment span when valid
} kTitleCases[] = {
    {"#Chapter 1,311000'first part", "Chapter 1", 3, {1, 1, 0, 0, 0}, 10, "first part"},
    {"#,000000", "", 0, {0, 0, 0, 0, 0}, 0, "<null>"},
    {"#t,12345", "t", 1, {0, 0, 0, 0, 0}, -1, std::nullopt},
    {"#t,123456", "t", 1, {0, 0, 0, 0, 0}, 0, "<null>"},
    {"#t,000000'", "t", 0, {0, 0, 0, 0, 0}, 0, ""},
    {"#t,010101", "t", 0, {1, 0, 1, 0, 1}, 0, "<null>"},
    {"#t,0a1111", "t", 0, {0, -1, -1, -1, -1}, -1, std::nullopt},
    {"#t,x11111", "t", -1, {-1, -1, -1, -1, -1}, -1, std::nullopt},
    {"#t,0", "t", 0, {0, -1, -1, -1, -1}, -1, std::nullopt},
    {"#t", std::nullopt, -1, {-1, -1, -1, -1, -1}, -1, std::nullopt},
    {"t,000000", std::nullopt, -1, {-1, -1, -1, -1, -1}, -1, std::nullopt},
    {"#a\\,b,200000", "a\\,b", 2, {0, 0, 0, 0, 0}, 0, "<null>"},
    {"#a\\\\,200000", "a\\\\", 2, {0, 0, 0, 0, 0}, 0, "<null>"},
    // Titles are measured without the image flag: "\i" is an escaped 'i'.
    {"#\\i\"x,y\",000000", "\\i\"x", -1, {-1, -1, -1, -1, -1}, -1, std::nullopt},
    {"#t,000000x", "t", 0, {0, 0, 0, 0, 0}, -1, std::nullopt},
    {"#t,100000'c,d'e", "t", 1, {0, 0, 0, 0, 0}, 5, "c,d'e"},
    {"#t,100000'c\001next", "t", 1, {0, 0, 0, 0, 0}, 1, "c"},
    {"#t\001,100000", std::nullopt, -1, {-1, -1, -1, -1, -1}, -1, std::nullopt},
    {"#" + kSo + "," + "100000'" + kHyo, kSo, 1, {0, 0, 0, 0, 0}, 2, kHyo},
};

TEST(TitleLine, Table) {
    for (const TitleCase& c : kTitleCases) {
        SCOPED_TRACE(c.text);
        const char* text = c.text.c_str();
        const char* start = nullptr;
        EXPECT_EQ(span(start, title_text_field(text, &start)), c.title);
        EXPECT_TRUE(!c.title || start == text + 1);
        EXPECT_EQ(title_choice_count(text), c.choices);
        for (int n = 0; n < 5; ++n)
            EXPECT_EQ(title_flag(text, n), c.flags[n]) << "flag " << n;
        const char* comment = reinterpret_cast<const char*>(1);
        const int check = check_title_line(text, &comment);
        EXPECT_EQ(check, c.check);
        EXPECT_EQ(span(comment, check), c.comment);
        EXPECT_TRUE(check >= 0 || comment == nullptr);
    }
}

TEST(Fields, NullTexts) {
    for (int r : {title_text_field(nullptr, nullptr), title_choice_count(nullptr),
                  title_flag(nullptr, 0), check_title_line(nullptr, nullptr),
                  title_flag("#t,111111", -1), title_flag("#t,111111", 5),
                  question_text_field(nullptr), answer_text_field(nullptr, nullptr),
                  question_history(nullptr), question_group(nullptr),
                  question_answer_number(nullptr), check_question_line(nullptr, nullptr)})
        EXPECT_EQ(r, -1);
}

const struct QuestionCase {
    std::string text;
    int question;                       // question_text_field
    std::optional<std::string> answer;  // stored answer field
    int history, group, number, check;
    std::optional<std::string> comment;
} kQuestionCases[] = {
    {"Capital?,[東京|とうきょう],?20'geo", 8, "[東京|とうきょう]", 3, 2, 0, 3, "geo"},
    {"a\\,b,c,<00", 4, "c", 0, 0, 0, 0, "<null>"}, {"\\#1,x,<00", 3, "x", 0, 0, 0, 0, "<null>"},
    {"a,b,<0", 1, "b", 0, 0, -1, -1, std::nullopt},
    {"a,b,[99'x", 1, "b", 31, 9, 9, 1, "x"},
    {",x,<00", 0, "x", 0, 0, 0, 0, "<null>"},
    {"a,b,;00", 1, "b", -1, 0, 0, -1, std::nullopt},
    {"a,b,\\x5", 1, "b", -1, -1, 5, -1, std::nullopt},
    {"a", -1, std::nullopt, -1, -1, -1, -1, std::nullopt},
    {"a,b", 1, std::nullopt, -1, -1, -1, -1, std::nullopt},
    {"a,b,", 1, "b", -1, -1, -1, -1, std::nullopt},
    {"a,b,<00'", 1, "b", 0, 0, 0, 0, ""}, {"a,b,<00'x,y'z", 1, "b", 0, 0, 0, 5, "x,y'z"},
    {"a,b,<00'c\001next", 1, "b", 0, 0, 0, 1, "c"},
    {"a,b\001,<00", 1, std::nullopt, -1, -1, -1, -1, std::nullopt},
    {"a\\\\,b,<00", 3, "b", 0, 0, 0, 0, "<null>"}, {"it's,b,<00", 4, "b", 0, 0, 0, 0, "<null>"},
    // Image references are single units, commas and all.
    {"\\i\"a,b.bmp\",\\i\"c,d.png\",<00", 11, "\\i\"c,d.png\"", 0, 0, 0, 0, "<null>"},
    {"q\\i\"a,b\"r,s\\i\"x,y\",B37'c", 9, "s\\i\"x,y\"", 6, 3, 7, 1, "c"},
    {"\\i\"a,b,<00", -1, std::nullopt, -1, -1, -1, -1, std::nullopt},
    {"a,\\i\"b,<00", 1, std::nullopt, -1, -1, -1, -1, std::nullopt},
    // Trail bytes '\' and '|' are part of their characters.
    {kSo + "," + kHyo + ",<00'" + kSo, 2, kHyo, 0, 0, 0, 2, kSo},
    {kSo + kPo + "," + kPo + kHyo + ",[95", 4, kPo + kHyo, 31, 9, 5, 0, "<null>"},
};

TEST(QuestionLine, Table) {
    for (const QuestionCase& c : kQuestionCases) {
        SCOPED_TRACE(c.text);
        const char* text = c.text.c_str();
        EXPECT_EQ(question_text_field(text), c.question);
        const char* start = nullptr;
        EXPECT_EQ(span(start, answer_text_field(text, &start)), c.answer);
        EXPECT_TRUE(!c.answer || start == text + c.question + 1);
        EXPECT_EQ(question_history(text), c.history);
        EXPECT_EQ(question_group(text), c.group);
        EXPECT_EQ(question_answer_number(text), c.number);
        const char* comment = reinterpret_cast<const char*>(1);
        const int check = check_question_line(text, &comment);
        EXPECT_EQ(check, c.check);
        EXPECT_EQ(span(comment, check), c.comment);
        EXPECT_TRUE(check >= 0 || comment == nullptr);
    }
}

// Settings lines exist from format 1.4 on.
TEST(Classify, Text) {
    const struct { const char* text; int version, kind; } cases[] = {
        {"#", 12, LINE_TITLE},        {"$Group=a,b", 14, LINE_GROUP}, {"$Group=a,b", 13, LINE_TEXT},
        {"$Unknown=1", 14, 0},        {"\\$Group=a", 14, LINE_TEXT},
    };
    for (const auto& c : cases) EXPECT_EQ(classify_text(c.text, c.version), c.kind) << c.text;
    const DataLine blank;
    EXPECT_EQ(classify_line(&blank, 14), LINE_TEXT);
    EXPECT_EQ(classify_line(nullptr, 14), 0);
}

TEST(Classify, CountQuestionsByGroup) {
    CardDocument doc;
    doc.clear();
    const std::pair<int, const char*> lines[] = {
        {LINE_TEXT, "a,b,<30"},  {LINE_TITLE, "#t,100000"}, {LINE_TEXT, "'x,y,<30"},
        {LINE_GROUP, "$Group=a"}, {LINE_TEXT, "e,f,[92"},   {LINE_TEXT, "g,h,\\35"},
    };
    for (const auto& [kind, text] : lines) doc.append(DataLine(kind, text));
    std::vector<int> counts(10, 77);
    count_questions_by_group(doc, counts.data());
    EXPECT_EQ(counts, (std::vector<int>{0, 0, 0, 2, 0, 0, 0, 0, 0, 1}));
}

// Every field typed anew.
TitleEdit typed(const TitleFields& f) {
    TitleEdit e{f.title, f.choice_count, {}, f.comment};
    std::copy(std::begin(f.flags), std::end(f.flags), e.flags);
    return e;
}

QuestionEdit typed(const QuestionFields& f) {
    return {f.question, f.answer, f.history, f.group, f.answer_number, f.comment};
}

TEST(Compose, TitleLine) {
    const struct { TitleFields fields; unsigned charset; std::string line; } cases[] = {
        {{"Chapter 1", 3, {true, true, false, false, false}, "first part"}, 128,
         "#Chapter 1,311000'first part"},
        {{"", 0, {}, ""}, 128, "#,000000"},
        {{"t", 10, {false, false, false, false, true}, ""}, 128, "#t,000001"},
        {{"t", -1, {true, true, true, true, true}, ""}, 128, "#t,011111"},
        {{"t", 0, {}, "\\i\"x,y.bmp\" z,w"}, 128, "#t,000000'\\i\"x,y.bmp\" z\\,w"},
        {{"\\i\"x.bmp\"", 0, {}, ""}, 128, "#\\\\i\"x.bmp\",000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        FieldCharsets charsets;
        charsets.title = charsets.comment = c.charset;
        const std::string line = compose_title_line(nullptr, typed(c.fields), charsets, 14);
        EXPECT_EQ(line, c.line);
        EXPECT_GE(check_title_line(line.c_str(), nullptr), 0);
    }
}

TEST(Compose, QuestionLine) {
    const struct { QuestionFields fields; std::string line; } cases[] = {
        {{"Capital?", "[東京|とうきょう]", 3, 2, 0, "geo"}, "Capital?,[東京|とうきょう],?20'geo"},
        {{"a#", "x", 0, 0, 0, ""}, "a#,x,<00"},
        {{"", "", 5, 5, 5, ""}, ""}, {{"", "", 0, 0, 0, "note"}, "'note"},
        {{"", "x", 0, 0, 0, ""}, ",x,<00"}, {{"q", "", 0, 0, 0, ""}, "q,,<00"},
        {{"q", "a", 31, 9, 9, "c"}, "q,a,[99'c"}, {{"q", "a", 32, 10, -1, ""}, "q,a,<00"},
        {{"q", "a", -1, -1, 10, ""}, "q,a,<00"},
        {{"it's", "a'b", 0, 0, 0, "c'd"}, "it's,a'b,<00'c'd"},
        {{"\\i\"a,b.bmp\"", "\\i\"c,d.png\"", 0, 0, 0, ""}, "\\i\"a,b.bmp\",\\i\"c,d.png\",<00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string line = compose_question_line(nullptr, typed(c.fields), FieldCharsets{}, 14);
        EXPECT_EQ(line, c.line);
        if (!c.fields.question.empty() || !c.fields.answer.empty()) {
            EXPECT_GE(check_question_line(line.c_str(), nullptr), 0);
        }
    }
}

// What the panes show. Escapes are kept where the version keeps them: 1.4
// shows "\\(" as typed, 1.3 drops the backslash; the protecting backslash
// of a question never shows.
TEST(Display, FieldsAsThePanesShowThem) {
    const FieldCharsets charsets{};
    const TitleFields title = title_display_fields("#a\\,b,210010'c\\nd", charsets, 14);
    EXPECT_EQ(title.title + "|" + title.comment, "a,b|c\r\nd");
    EXPECT_EQ(title.choice_count, 2);
    EXPECT_TRUE(title.flags[0] && !title.flags[1] && title.flags[3]);
    for (int version : {13, 14}) {
        const QuestionFields q = question_display_fields("\\#\\(1,\\(x\\)|y,?21'c", charsets, version);
        EXPECT_EQ(q.question + "|" + q.answer, version == 14 ? "#\\(1|\\(x\\)|y" : "#(1|(x)|y");
        EXPECT_EQ(std::vector<int>({q.history, q.group, q.answer_number}), std::vector<int>({3, 2, 1}));
        EXPECT_EQ(q.comment, "c");
    }
    const QuestionFields comment = question_display_fields("'c\\,d", charsets, 14);
    EXPECT_EQ(comment.question + comment.answer + "|" + comment.comment, "|c,d");
}

}  // namespace
}  // namespace qz
