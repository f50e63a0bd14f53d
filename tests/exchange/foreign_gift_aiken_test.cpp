// Files in the shapes other programs write (tests/data/exchange/foreign),
// imported as qzotool and the import dialog import them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/exchange/exchange_io.h"

namespace qz {
namespace {

// Japanese literals here are code page 932, as the cards' texts are.
struct Spot {
    std::size_t card;  // in file order
    const char* title;
    const char* question;
    const char* answer;  // as the answer field holds it
};

struct ForeignFile {
    const char* name;
    ExchangeFormat format;
    int cards;    // question lines written
    int refused;  // by the reader or as a data line
    int notices;
    std::vector<Spot> spots;
};

TEST(ForeignFiles, GiftAndAikenAsMoodleDocumentsThem) {
    const ForeignFile files[] = {
        {"gift_doc_examples.gift", ExchangeFormat::gift, 10, 5, 4,
         {{0, "gift_doc_examples", "What is the capital of Japan?", "Tokyo"},
          {3, "gift_doc_examples", "Which of these is a kana script?", "Hiragana"},
          {5, "gift_doc_examples", "Two plus two equals（　）.", "four"},
          {9, "gift_doc_examples", "Escapes: 1 + 1 = 2 and a set is written {a}", "two"}}},
        {"gift_moodle_export.gift", ExchangeFormat::gift, 6, 1, 4,
         {{0, "Default for Japanese 1 / Unit 1 / Quiz", "How do you say good morning?", "ohayou"},
          {1, "Default for Japanese 1 / Unit 1 / Quiz", "Which counter is used for sheets?\r\n\\i\"paper.png\"", "mai"},
          {3, "Default for Japanese 1 / Unit 2 / Quiz", "Read this: 山", "[yama|やま]"},
          {5, "Default for Japanese 1 / Unit 2 / Quiz", "Which is true?", "1 < 2 & 3 > 2"}}},
        {"gift_no_category.gift", ExchangeFormat::gift, 3, 0, 1,
         {{0, "gift_no_category", "What is \"inu\" in English?", "dog"},
          {2, "gift_no_category", "Which one is a fruit?", "apple"}}},
        {"gift_mixed_line_ends.gift", ExchangeFormat::gift, 6, 0, 0,
         {{0, "gift_mixed_line_ends", "What is 1 + 1?", "2"}, {5, "gift_mixed_line_ends", "What is 6 + 6?", "12"}}},
        {"gift_mistakes.gift", ExchangeFormat::gift, 1, 3, 0, {{0, "gift_mistakes", "Fine at last", "yes"}}},
        {"aiken_doc_examples.txt", ExchangeFormat::aiken, 2, 0, 1,
         {{0, "aiken_doc_examples", "Which city is the capital of Japan?", "Tokyo"},
          {1, "aiken_doc_examples", "Which of these scripts does Japanese use?", "Katakana"}}},
        {"aiken_no_blank.txt", ExchangeFormat::aiken, 3, 0, 1,
         {{0, "aiken_no_blank", "What is \"hon\"?", "a book"}, {1, "aiken_no_blank", "What is \"pen\"?", "a pen"}}},
        {"aiken_cr_only.txt", ExchangeFormat::aiken, 5, 0, 1,
         {{0, "aiken_cr_only", "What does \"yama\" mean?", "mountain"},
          {4, "aiken_cr_only", "What does \"mori\" mean?", "forest"}}},
    };
    for (const ForeignFile& f : files) {
        SCOPED_TRACE(f.name);
        std::ifstream in(std::string(QZ_SOURCE_DIR) + "/tests/data/exchange/foreign/" + f.name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty());
        ImportRequest request;
        request.format = f.format;
        const std::string name = f.name;
        request.title = name.substr(0, name.rfind('.'));
        ImportResult result = import_cards(bytes, request);
        ASSERT_EQ(result.failure, "");
        const std::vector<DataLine> lines = lines_from_cards(result.cards, 14, &result.problems);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const DataLine& l) { return l.kind() != LINE_TITLE; }),
                  f.cards);
        EXPECT_EQ(result.count(ImportProblem::refused), f.refused);
        EXPECT_EQ(result.count(ImportProblem::notice), f.notices);
        for (const Spot& s : f.spots) {
            SCOPED_TRACE(s.card);
            ASSERT_LT(s.card, result.cards.size());
            const ExchangeCard& card = result.cards[s.card];
            EXPECT_EQ(card.title.title, s.title);
            EXPECT_EQ(card.fields.question, s.question);
            EXPECT_EQ(card.fields.answer, s.answer);
        }
    }
}

}  // namespace
}  // namespace qz
