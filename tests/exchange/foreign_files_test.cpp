// Files in the shapes other programs write (tests/data/exchange/foreign):
// what each gives as data lines, checked the way a user sees the result.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/document/card_document.h"
#include "core/exchange/exchange_io.h"
#include "core/syntax/answer.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

// Literals are code page 932, as the cards are.
struct SpotCheck {
    int card;              // index among the question lines written
    const char* question;
    const char* answers;   // the expanded alternatives, tab between them
    const char* comment;   // null: not checked
    const char* title = nullptr;  // of the title line above it; null: not checked
};

// One file: the question lines it gives, the problems told by kind (rows
// refused, here or when the cards become lines; notices) and some cards.
struct ForeignFile {
    const char* file;
    ExchangeFormat format;
    int cards;
    int refused;
    int notices;
    std::vector<SpotCheck> checks;
};

std::string foreign_bytes(const char* name) {
    std::ifstream in(std::string(QZ_SOURCE_DIR) + "/tests/data/exchange/foreign/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The alternatives as `qzotool answers` prints them.
std::string answers_of(const DataLine& line) {
    const std::optional<std::string> expanded = expand_answer(line.c_str());
    if (!expanded) return "(syntax error)";
    std::string out = *expanded;
    for (char& c : out)
        if (c == kAlternativeSeparator) c = '\t';
    return out;
}

void check_foreign_file(const ForeignFile& f) {
    SCOPED_TRACE(f.file);
    const std::string bytes = foreign_bytes(f.file);
    ASSERT_FALSE(bytes.empty());
    ImportRequest request;
    request.format = f.format;
    std::string title = f.file;
    request.title = title.substr(0, title.find('.'));
    const ImportResult result = import_cards(bytes, request);
    ASSERT_EQ(result.failure, "");
    std::vector<ImportProblem> problems = result.problems;
    const std::vector<DataLine> lines = lines_from_cards(result.cards, 14, &problems);
    std::vector<const DataLine*> questions;
    std::vector<std::string> titles;  // in effect at each question
    std::string title_now;
    for (const DataLine& line : lines) {
        if (line.kind() == LINE_TITLE) title_now = title_display_fields(line.c_str(), {}, 14).title;
        if (!is_question(&line)) continue;
        questions.push_back(&line);
        titles.push_back(title_now);
    }
    std::string told;
    for (const ImportProblem& p : problems) told += problem_text(p) + "\n";
    EXPECT_EQ(static_cast<int>(questions.size()), f.cards) << told;
    int refused = 0, notices = 0;
    for (const ImportProblem& p : problems) {
        refused += p.kind == ImportProblem::refused;
        notices += p.kind == ImportProblem::notice;
    }
    EXPECT_EQ(refused, f.refused) << told;
    EXPECT_EQ(notices, f.notices) << told;
    for (const SpotCheck& c : f.checks) {
        SCOPED_TRACE("card " + std::to_string(c.card));
        ASSERT_LT(c.card, static_cast<int>(questions.size()));
        const DataLine& line = *questions[c.card];
        const QuestionFields shown = question_display_fields(line.c_str(), {}, 14);
        EXPECT_EQ(shown.question, c.question);
        EXPECT_EQ(answers_of(line), c.answers);
        if (c.comment) {
            EXPECT_EQ(shown.comment, c.comment);
        }
        if (c.title) {
            EXPECT_EQ(titles[c.card], c.title);
        }
    }
}

const ExchangeFormat tsv = ExchangeFormat::tsv, csv = ExchangeFormat::csv, gift = ExchangeFormat::gift,
                     aiken = ExchangeFormat::aiken;

TEST(ForeignFiles, EachGivesTheCardsItHolds) {
    const ForeignFile files[] = {
        // The text-import manual: blanks after the separator, a quoted answer
        // over two lines, header lines saying the separator and HTML.
        {"manual_semicolon.txt", tsv, 2, 0, 1, {{0, "foo bar", "bar baz", ""}, {1, "aaa", "bbb", ""}}},
        {"manual_two_lines.txt", tsv, 2, 0, 0,
         {{0, "hello", "this is\na two line answer", ""}, {1, "two", "this is a one line one", ""}}},
        {"manual_headers.txt", tsv, 3, 0, 1,
         {{0, "ねこ", "cat", ""}, {1, "いぬ", "dog (hound)", ""}, {2, "さかな", "fish\nsea creature", ""}}},
        // An export in HTML mode: quoted fields over lines, a picture, a
        // sound reference and parentheses that are text.
        {"card_export_html.txt", tsv, 5, 0, 2,
         {{0, "日本の首都は？", "東京\nとうきょう", ""},
          {1, "富士山の高さ", "3776 m\n(標高)", ""},
          {2, "いぬ", "dog[sound:inu.mp3]", ""},
          {3, "\\i\"neko.png\"", "ねこ\ncat", ""},
          {4, "e-mail", "e-mail (email)", ""}}},
        // Spreadsheets: Excel's code page 932 with CR LF, a web sheet's UTF-8.
        {"excel_cp932.csv", csv, 4, 0, 0,
         {{0, "りんご", "apple", "果物"}, {1, "A, B, C", "アルファベット", "カンマ入り"},
          {2, "「はい」と\"いいえ\"", "yes/no", ""}}},
        {"sheets_utf8.csv", csv, 4, 0, 0,
         {{0, "electronic mail", "e-mail (email)", "spelling"}, {1, "happy face", "smile :)", ""},
          {2, "open bracket", "[unbalanced", ""}, {3, "choice", "a|b", "bar kept"}}},
        // Word lists: a Japanese header whose other columns are told, three
        // columns without a header, UTF-16 without a byte-order mark.
        {"vocabulary_ja.tsv", tsv, 4, 0, 4, {{0, "apple", "りんご", ""}, {3, "slowly", "ゆっくり", ""}}},
        {"three_columns.tsv", tsv, 3, 0, 1, {{0, "apple", "りんご", ""}, {2, "quick", "速い", ""}}},
        {"utf16le_no_bom.txt", tsv, 2, 0, 0, {{0, "空", "そら", ""}, {1, "海", "うみ", ""}}},
        // GIFT and Aiken as Moodle documents and writes them: questions
        // under no category or from Aiken go under a title named after the file.
        {"gift_doc_examples.gift", gift, 10, 5, 4,
         {{0, "What is the capital of Japan?", "Tokyo", nullptr, "gift_doc_examples"},
          {3, "Which of these is a kana script?", "Hiragana", nullptr, "gift_doc_examples"},
          {5, "Two plus two equals（　）.", "four", nullptr},
          {9, "Escapes: 1 + 1 = 2 and a set is written {a}", "two", nullptr}}},
        {"gift_moodle_export.gift", gift, 6, 1, 4,
         {{0, "How do you say good morning?", "ohayou", nullptr, "Default for Japanese 1 / Unit 1 / Quiz"},
          {1, "Which counter is used for sheets?\r\n\\i\"paper.png\"", "mai", nullptr},
          {3, "Read this: 山", "yama\tやま", nullptr, "Default for Japanese 1 / Unit 2 / Quiz"},
          {5, "Which is true?", "1 < 2 & 3 > 2", nullptr}}},
        {"gift_no_category.gift", gift, 3, 0, 1,
         {{0, "What is \"inu\" in English?", "dog", nullptr, "gift_no_category"},
          {2, "Which one is a fruit?", "apple", nullptr}}},
        {"gift_mixed_line_ends.gift", gift, 6, 0, 0,
         {{0, "What is 1 + 1?", "2", nullptr}, {5, "What is 6 + 6?", "12", nullptr}}},
        {"gift_mistakes.gift", gift, 1, 3, 0, {{0, "Fine at last", "yes", nullptr}}},
        {"aiken_doc_examples.txt", aiken, 2, 0, 1,
         {{0, "Which city is the capital of Japan?", "Tokyo", nullptr, "aiken_doc_examples"},
          {1, "Which of these scripts does Japanese use?", "Katakana", nullptr}}},
        {"aiken_no_blank.txt", aiken, 3, 0, 1,
         {{0, "What is \"hon\"?", "a book", nullptr}, {1, "What is \"pen\"?", "a pen", nullptr}}},
        {"aiken_cr_only.txt", aiken, 5, 0, 1,
         {{0, "What does \"yama\" mean?", "mountain", nullptr, "aiken_cr_only"},
          {4, "What does \"mori\" mean?", "forest", nullptr}}},
    };
    for (const ForeignFile& f : files) check_foreign_file(f);
}

}  // namespace
}  // namespace qz
