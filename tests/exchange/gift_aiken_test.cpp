#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "core/document/data_file.h"
#include "core/exchange/aiken.h"
#include "core/exchange/exchange_io.h"
#include "core/exchange/gift.h"
#include "core/syntax/answer.h"

namespace qz {
namespace {

// Japanese literals here are code page 932; the files are UTF-8.
std::string u8(const char* cp932) { return cp932_to_utf8(cp932); }

std::vector<ExchangeCard> cards_of(const char* body) {
    static CardDocument doc;
    read_data_file(std::string("QUIZODATA V1.4\r\n") + body, doc);
    return cards_from_document(doc);
}

constexpr char kDocument[] =
    "#Capitals,400000'four choices\r\n"
    "Japan?,Tokyo,<00\r\n"
    "France?,Paris,<00'a comment\r\n"
    "Korea?,[Seoul|Keijo],<01\r\n"
    "Egypt?,Cairo,<00\r\n"
    "#Words,000000\r\n"
    "a~b=c#d{e}f:g\\\\h?,[x|y]z,<00\r\n"
    "two\\nlines,one,<00\r\n"
    "Rate?,%50%,<00\r\n"
    "Arrow?,a->b,<00\r\n"
    "#TF,200000\r\n"
    "Sun?,○,<00\r\n";

TEST(Gift, WritesCategoriesShortAnswersAndChoices) {
    const ExportResult r = write_gift(cards_of(kDocument), {});
    EXPECT_EQ(r.left_out, 1);
    const std::string& gift = r.bytes;
    const char* expected =
        "$CATEGORY: Capitals\r\n// four choices\r\n\r\n"
        "Japan? {=Tokyo ~Paris ~Keijo ~Cairo}\r\n\r\n"
        "// a comment\r\nFrance? {=Paris ~Keijo ~Cairo ~Tokyo}\r\n\r\n"
        "Korea? {=Keijo ~Cairo ~Tokyo ~Paris}\r\n\r\n"
        "Egypt? {=Cairo ~Tokyo ~Paris ~Keijo}\r\n\r\n"
        "$CATEGORY: Words\r\n\r\n"
        "a\\~b\\=c\\#d\\{e\\}f\\:g\\\\h? {=xz =yz}\r\n\r\n"
        "two\\nlines {=one}\r\n\r\n"
        "Rate? {=%100%%50%}\r\n\r\n"  // "a->b" would read as a matching pair
        "$CATEGORY: TF\r\n\r\n"
        "Sun? {T}\r\n\r\n";
    EXPECT_EQ(gift, expected);
}

// What Moodle would read otherwise: markup, stars, format marks, titles
// that read as paths, as its root or have no name.
constexpr char kMoodleShapes[] =
    "#Unit 1 / Quiz,000000\r\n"
    "1 < 2?,yes,<00\r\n"
    "Star?,a*b,<00\r\n"
    "Mark?,\\[html\\]x,<00\r\n"
    "#,000000'no name\r\n"
    "Nameless?,n,<00\r\n"
    "#top,000000\r\n"
    "Root?,r,<00\r\n"
    "#Sym,200000\r\n"
    "Q1?,a&b,<00\r\n"
    "Q2?,c,<00\r\n"
    "#Rates,200000\r\n"
    "Q3?,%5%,<00\r\n"
    "Q4?,%6.% x,<00\r\n";

TEST(Gift, WritesWhatMoodleShowsAsIs) {
    const std::string gift = write_gift(cards_of(kMoodleShapes), {}).bytes;
    for (const char* part : {"$CATEGORY: Unit 1/Quiz\r\n", "[plain]1 < 2? {=yes}", "Star? {=a\\\\*b}",
                             "Mark? {=[plain][html]x}", "$CATEGORY: $course$/top\r\n// no name\r\n",
                             "$CATEGORY: $course$/top/top\r\n", "[plain]Q2? {=c ~a&b}",
                             // No weight after a right choice's '='; a wrong one's written.
                             "Q3? {=%5% ~%0%%6.% x}", "Q4? {=%6.% x ~%0%%5%}"})
        EXPECT_NE(gift.find(part), std::string::npos) << part << "\n" << gift;
    EXPECT_EQ(gift.find("$CATEGORY: \r\n"), std::string::npos);
    // Blanks before what reads as a weight are no part of the answer.
    const std::string blanks = write_gift(cards_of("#B,200000\r\nQ5?,a,<00\r\nQ6?,\t %7%,<00\r\n"), {}).bytes;
    EXPECT_NE(blanks.find("Q5? {=a ~%0%\t %7%}"), std::string::npos) << blanks;
}

// A file this editor wrote reads back to the same questions, answers and
// titles (Aiken's questions, which name no title, under the file's name).
TEST(GiftAiken, OwnFilesReadBack) {
    const std::vector<ExchangeCard> cards = cards_of((std::string(kDocument) + kMoodleShapes).c_str());
    auto flat = [](std::string s) {
        std::replace(s.begin(), s.end(), '\r', ' ');
        s.erase(std::unique(s.begin(), s.end(), [](char a, char b) { return a == ' ' && b == ' '; }), s.end());
        std::replace(s.begin(), s.end(), '\n', ' ');
        return s;
    };
    for (ExchangeFormat format : {ExchangeFormat::gift, ExchangeFormat::aiken}) {
        SCOPED_TRACE(format_key(format));
        const ExportResult written = export_cards(cards, format, {});
        ImportRequest request;
        request.format = format;
        request.title = "F";
        const ImportResult back = import_cards(written.bytes, request);
        EXPECT_EQ(back.count(ImportProblem::refused), 0);
        ASSERT_EQ(static_cast<int>(back.cards.size()), written.cards);
        for (const ExchangeCard& b : back.cards) {
            const auto it = std::find_if(cards.begin(), cards.end(), [&](const ExchangeCard& c) {
                return flat(c.fields.question) == flat(b.fields.question);
            });
            ASSERT_NE(it, cards.end()) << b.fields.question;
            const bool named = format == ExchangeFormat::gift && !it->title.title.empty();
            EXPECT_EQ(b.title.title, named ? it->title.title : "F");
            if (it->title.choice_count > 1)
                EXPECT_EQ(b.alternatives, std::vector<std::string>{shown_alternative(*it)});
            else
                EXPECT_EQ(b.alternatives, it->alternatives);
        }
    }
}

struct GiftCase {
    const char* name;
    std::string text;
    int cards;
    int refused;
    const char* question;  // of the first card
    std::vector<std::string> alternatives;
    int choices;
    const char* title;
    int told = 0;              // notices and substitutions
    bool last_titled = false;  // the last card
    const char* last_title = nullptr;
};

TEST(Gift, ReadsTheSubsetAndRefusesTheRest) {
    const GiftCase cases[] = {
        {"category path and name", "$CATEGORY: $course$/top/Geo//Maps\n\n::Q1:: Where? {=Here =There}\n", 1, 0,
         "Where?", {"Here", "There"}, 0, "Geo/Maps", 0, true},
        {"category paths below the context and root", "$CATEGORY: $course$/top/Unit 1/Quiz\n\nA {=a}\n\n"
         "$CATEGORY: $course$/top/Unit 2/Quiz\n\nB {=b}\n\n$CATEGORY: $course$/top\n\nC {=c}\n", 3, 0, "A", {"a"}, 0,
         "Unit 1 / Quiz", 0, true, ""},
        {"multiple choice, feedback", "Capital? {=Tokyo#yes ~Osaka ~Kyoto}\n", 1, 0, "Capital?", {"Tokyo"}, 3, "", 2, true},
        {"right after the tilde", "Q {~=a ~b ~c}\n", 1, 0, "Q", {"a"}, 3, "", 1, true},
        {"short answer without '='", "R {One =Two}\n", 1, 0, "R", {"One", "Two"}, 0, ""},
        {"answers' format marks and html", "[html]Q {=[html]<b>a</b>&amp;b ~[plain]c ~[moodle]d ~[markdown]e}\n", 1, 0, "Q",
         {"a&b"}, 4, "", 1, true},
        {"a bank picture", "[html]<p>See<img src\\=\"@@PLUGINFILE@@/a%20b.png\"></p> {=x}\n", 1, 0,
         "See\\i\"a b.png\"", {"x"}, 0, "", 1},
        {"no-break spaces", "Q\xC2\xA0R {=a\xC2\xA0" "b}\n", 1, 0, "Q R", {"a b"}, 0, ""},
        {"line ends CR, CR LF, LF", "// c\rA {=a}\r\rB {=b}\r\n\r\nC {=c}\n", 3, 0, "A", {"a"}, 0, ""},
        {"wildcard star", "Any {=*}\n\nStar {=a\\*b}\n", 2, 0, "Any", {"*"}, 0, "", 1},
        {"true/false", "// note\nThe sun is a star. {T}\n", 1, 0, "The sun is a star.", {"\x81\x9B"}, 2, "", 1, true},
        {"missing word, escapes, html", "[html]<p>1\\{2\\} &lt;is&gt;</p> {=<b>one</b>} here\n", 1, 0, "1{2} <is>（　）here",
         {"one"}, 0, ""},
        {"weights, feedback, CRLF", "Q {=%100%a =%50%b#fb}\r\n\r\nR {=%x% off}\r\n", 2, 0, "Q", {"a"}, 0, "", 2},
        {"weights as Moodle reads them", "Q {=%100%a =%--5%b =%5.%c =%.5%d}\n", 1, 0, "Q", {"a", "%.5%d"}, 0, "", 1},
        {"no weight after a choice's '='", "Q {=%50%a ~b ~%0%%5%}\n", 1, 0, "Q", {"%50%a"}, 3, "", 1, true},
        {"arrow in a choice, inner comment", "// c\nArrow?\n// inner\n{=a->b ~c}\n\nNext {=d}\n", 2, 0, "Arrow?",
         {"a->b"}, 2, "", 1, true},
        {"unsupported", "N {#3:1}\n\nM {=a -> b}\n\nE {}\n\nDescription only\n\nOpen {=x\n\nTwo {=a} {=b}\n", 0, 6, "",
         {}, 0, ""},
        {"emoji", u8("絵文字 ") + "\xF0\x9F\x98\x80 {=a}\n", 1, 0, "絵文字 〓", {"a"}, 0, "", 1},
        {"bad utf-8 refused, next read", "Bad \xFF {=a}\n\nGood {=b}\n", 1, 1, "Good", {"b"}, 0, ""},
    };
    for (const GiftCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportResult r = read_gift(c.text, TextEncoding::utf8);
        ASSERT_EQ(static_cast<int>(r.cards.size()), c.cards);
        EXPECT_EQ(r.count(ImportProblem::refused), c.refused);
        if (c.cards == 0) continue;
        const ExchangeCard& card = r.cards[0];
        EXPECT_EQ(card.fields.question, c.question);
        EXPECT_EQ(card.alternatives, c.alternatives);
        EXPECT_EQ(card.title.choice_count, c.choices);
        EXPECT_EQ(card.title.title, c.title);
        EXPECT_EQ(static_cast<int>(r.problems.size()) - c.refused, c.told);
        EXPECT_EQ(r.cards.back().titled, c.last_titled);
        if (c.last_title) {
            EXPECT_EQ(r.cards.back().title.title, c.last_title);
        }
        // Every card becomes a line.
        std::vector<ImportProblem> problems;
        lines_from_cards(r.cards, 14, &problems);
        EXPECT_TRUE(problems.empty());
    }
    // The unsupported ones are told by the line they start on.
    const auto unsupported = std::find_if(std::begin(cases), std::end(cases),
                                          [](const GiftCase& c) { return c.name == std::string_view("unsupported"); });
    const ImportResult r = read_gift(unsupported->text, TextEncoding::utf8);
    std::vector<int> rows;
    for (const ImportProblem& p : r.problems) rows.push_back(p.row);
    EXPECT_EQ(rows, (std::vector<int>{1, 3, 5, 7, 9, 11}));
    // Each says what is wrong.
    const std::pair<const char*, const char*> reasons[] = {
        {"E {####general}\n", "GIFT の記述式（エッセイ）の問題には対応していません。"},
        {"A stray } here\n", "「{」のない「}」があります。"},
        {"Twice {=a}}\n", "「{」のない「}」があります。"},
        {"M {~%50%a ~%50%b ~c}\n", "部分点の選択肢をいくつか選ぶ問題（満点の選択肢がない問題）には対応していません。"},
    };
    for (auto [text, reason] : reasons) {
        const ImportResult one = read_gift(text, TextEncoding::utf8);
        ASSERT_EQ(one.problems.size(), 1u) << text;
        EXPECT_EQ(one.problems[0].reason, reason);
    }
    // Questions under no category go under the file's name.
    const ImportResult named = read_gift("Q {=a}\n\n$CATEGORY: Sub\n\nR {=b}\n", TextEncoding::utf8, "File");
    ASSERT_EQ(named.cards.size(), 2u);
    EXPECT_EQ(named.cards[0].title.title, "File");
    EXPECT_EQ(named.cards[1].title.title, "Sub");
}

// A card's own list of alternatives must be what its answer stands for.
TEST(Exchange, LinesKeepOnlyAlternativesTheAnswerHolds) {
    struct Case {
        const char* answer;
        std::vector<std::string> alternatives;
        bool taken;
    };
    const Case cases[] = {
        {"[a|b]c", {"ac", "bc"}, true},
        {"[a|b]c", {"ac"}, false},
        {"[a|b]c", {"ac", "bc", "cc"}, false},
        {"[a|b]c", {"bc", "ac"}, false},
        {"a[|b]", {"a", "ab"}, true},
        {"a[|b]", {"a", "a"}, false},
        {"x\r\ny[1|2]", {"x\r\ny1", "x\r\ny2"}, true},
        {"x\r\ny[1|2]", {"x\ny1", "x\ny2"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        ExchangeCard card;
        card.fields.question = "Q";
        card.fields.answer = c.answer;
        card.alternatives = c.alternatives;
        std::vector<ImportProblem> problems;
        EXPECT_EQ(lines_from_cards({card}, 14, &problems).size(), c.taken ? 1u : 0u);
        EXPECT_EQ(problems.empty(), c.taken);
    }
}

// A picture answer comes back from GIFT as it was, whatever its path
// holds: a file name such as "写真 (2).png" is no answer syntax.
TEST(Gift, PictureAnswersComeBack) {
    const char* const answers[] = {"\\i\"a (2).png\"", "[\\i\"b(1).png\"|x]", "\\i\"c[1]|d.png\"y", "(\\i\"e).png\")z"};
    for (const char* answer : answers) {
        SCOPED_TRACE(answer);
        const std::string line = std::string("Q,") + answer + ",<00";
        const std::vector<ExchangeCard> cards = cards_of((line + "\r\n").c_str());
        const ImportResult back = read_gift(write_gift(cards, {}).bytes, TextEncoding::utf8);
        std::vector<ImportProblem> problems;
        const std::vector<DataLine> lines = lines_from_cards(back.cards, 14, &problems);
        EXPECT_TRUE(problems.empty());
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(expand_answer(lines[0].c_str()), expand_answer(line.c_str()));
    }
}

// What would read back as no question or no answer is left out, not
// written for the reader to refuse.
TEST(Gift, LeavesOutWhatReadsBackEmpty) {
    const ExportResult r = write_gift(cards_of("\\n,a,<00\r\nBlank?,  ,<00\r\nQ,a,<00\r\n"
                                               "#Two,200000\r\nR?, \\n,<00\r\nS?,b,<00\r\n"), {});
    EXPECT_EQ(r.cards, 2);
    EXPECT_EQ(r.left_out, 3);
    const ImportResult back = read_gift(r.bytes, TextEncoding::utf8);
    EXPECT_EQ(back.cards.size(), 2u);
    EXPECT_EQ(back.count(ImportProblem::refused), 0);
}

// A comment's empty lines, the first one too, are lines of its "//" block.
TEST(Gift, CommentsKeepTheirEmptyLines) {
    const std::vector<ExchangeCard> cards =
        cards_of("#T,000000'\\nafter an empty line\r\nQ?,a,<00'\\nx\\n\\ny\\n\r\n");
    ASSERT_EQ(cards.size(), 1u);
    ASSERT_EQ(cards[0].fields.comment, "\r\nx\r\n\r\ny\r\n");
    const ImportResult back = read_gift(write_gift(cards, {}).bytes, TextEncoding::utf8);
    ASSERT_EQ(back.cards.size(), 1u);
    EXPECT_EQ(back.cards[0].fields.comment, cards[0].fields.comment);
    EXPECT_EQ(back.cards[0].title.comment, "\r\nafter an empty line");
}

// Drawn choices come from the different answers of a run, up to ten.
TEST(Exchange, DistinctAnswersOfARun) {
    auto run = [](std::initializer_list<const char*> answers) {
        std::vector<ExchangeCard> cards;
        for (const char* a : answers) cards.emplace_back().alternatives = {a};
        return distinct_answers(cards, 0, cards.size());
    };
    EXPECT_EQ(run({"a", "b", "a", "", "c", "b"}), 3);
    EXPECT_EQ(run({"", ""}), 0);
    EXPECT_EQ(run({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "1"}), 10);
}

TEST(Aiken, BothWays) {
    const std::string aiken = write_aiken(cards_of(kDocument), {}).bytes;
    EXPECT_EQ(aiken.substr(0, 61), "Japan?\r\nA. Tokyo\r\nB. Paris\r\nC. Keijo\r\nD. Cairo\r\nANSWER: A\r\n\r\n");
    EXPECT_NE(aiken.find("France?\r\nA. Keijo\r\nB. Paris\r\n"), std::string::npos);  // right at place 1
    // The written-answer title, and the one question of two choices.
    AikenLeftOut why;
    EXPECT_EQ(write_aiken(cards_of(kDocument), {}, &why).left_out, 5);
    EXPECT_EQ(why.not_multiple_choice, 4);
    EXPECT_EQ(why.too_few_answers, 1);

    const ImportResult back = read_aiken(aiken, TextEncoding::utf8, "Capitals");
    ASSERT_EQ(back.cards.size(), 4u);
    EXPECT_EQ(back.cards[2].alternatives, std::vector<std::string>{"Keijo"});
    EXPECT_EQ(back.cards[2].title.choice_count, 4);

    const std::string bad =
        "No answer\nA. x\nB. y\n\nTen?\nA. 1\nB. 2\nC. 3\nD. 4\nE. 5\nF. 6\nG. 7\nH. 8\nI. 9\nJ. 10\nANSWER: A\n\n"
        "Wrong letter\nA. x\nB. y\nANSWER: C\n\nSkipped\nA. x\nC. y\nD. z\nANSWER: A\nFine\nA) x\nB) y\nANSWER: B\n";
    const ImportResult r = read_aiken(bad, TextEncoding::utf8, "T");
    ASSERT_EQ(r.cards.size(), 1u);
    EXPECT_EQ(r.cards[0].fields.answer, "y");
    std::vector<int> rows;
    for (const ImportProblem& p : r.problems) rows.push_back(p.row);
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 5, 18, 23}));  // 0: only right choices are kept
}

}  // namespace
}  // namespace qz
