#include "tool/find_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace qz::tool {
namespace {

// Command-line text and messages are UTF-8; narrow literals here are code
// page 932, so UTF-8 text is written as u8 literals.
std::string utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

// File line numbers: the header is line 1.
constexpr char kData[] =
    "QUIZODATA V1.4\r\n"
    "'before any title\r\n"                   // 2
    "#首都,000000\r\n"                        // 3
    "日本の首都は？,東京,<00'とうきょう\r\n"  // 4
    "韓国の首都は？,ソウル,<00\r\n"           // 5
    "\r\n"                                    // 6
    "#読み,011100\r\n"                        // 7
    "東京の読みは？,とうきょう,<00\r\n"       // 8
    "ガスの読み,ｶﾞｽ,<00\r\n"                  // 9
    "a-x,b,<00\r\n";                          // 10

struct Result {
    int status;
    std::string out, err;
};

class FindCommand : public testing::Test {
  protected:
    static void SetUpTestSuite() { std::ofstream(path_, std::ios::binary) << kData; }
    static void TearDownTestSuite() { std::remove(path_.c_str()); }

    static Result find(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = run_find(args, out, err);
        return {status, out.str(), err.str()};
    }

    static inline const std::string path_ = testing::TempDir() + "find_command_test.qzf";
};

TEST_F(FindCommand, PrintsMatchingFileLineNumbers) {
    struct Row {
        std::vector<std::string> options;
        std::u8string text;
        const char* expected;  // output; empty when nothing matches
    };
    const Row rows[] = {
        {{}, u8"東京", "4\n8\n"},        // answer of 4, question of 8
        {{}, u8"とうきょう", "4\n8\n"},  // comment of 4, answer of 8
        {{}, u8"トウキョウ", "4\n8\n"},  // kana ignored by default
        {{"--conditions", "20"}, u8"とうきょう", ""},
        {{"--conditions", "80"}, u8"トウキョウ", ""},
        {{"--conditions", "84"}, u8"トウキョウ", "4\n"},
        {{"--conditions", "10"}, u8"首都", "3\n4\n5\n6\n"},
        {{"--conditions=0x10"}, u8"読み", "7\n8\n9\n10\n"},
        {{"--conditions", "f7"}, u8"ｶﾞｽ", "9\n"},  // half-width input
        {{}, u8"ガス", "9\n"},
        {{"--conditions", "40"}, u8"ガス", ""},  // widths distinguished
        {{"--conditions", "42"}, u8"ガス", "9\n"},
        {{"--conditions", "20"}, u8"#", "3\n7\n"},  // '#' is in a title's question piece
        {{"--"}, u8"-x", "10\n"},
        {{}, u8"ない", ""},
    };
    for (const Row& r : rows) {
        std::vector<std::string> args = r.options;
        args.push_back(utf8(r.text));
        args.push_back(path_);
        const Result result = find(args);
        SCOPED_TRACE(args[args.size() - 2]);
        EXPECT_EQ(result.out, r.expected);
        EXPECT_EQ(result.status, *r.expected ? 0 : 1);
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(FindCommand, UsageErrors) {
    const std::vector<std::string> cases[] = {
        {},
        {"x"},
        {"x", path_, "extra"},
        {"-x", path_},
        {"--conditions"},
        {"x", path_, "--conditions"},
        {"--unknown", "x", path_},
    };
    for (const auto& args : cases) {
        const Result result = find(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "usage: qzotool find [--conditions HEX] TEXT FILE\n");
    }
}

TEST_F(FindCommand, BadConditionsOrText) {
    struct Row {
        std::vector<std::string> args;
        const char* message_part;
    };
    const Row rows[] = {
        {{"--conditions", "G7", "x", path_}, "hexadecimal"},
        {{"--conditions", "100", "x", path_}, "hexadecimal"},
        {{"--conditions", "", "x", path_}, "hexadecimal"},
        {{"--conditions=0x", "x", path_}, "hexadecimal"},
        {{"--conditions", "07", "x", path_}, "searches no field"},
        {{"--conditions", "F8", "x", path_}, "bit 08"},
        {{"", path_}, "the search text is empty"},
        {{utf8(u8"a😀"), path_}, "U+1F600"},
        {{utf8(u8"한"), path_}, "U+D55C"},
        {{"\xFF", path_}, "not UTF-8"},
        {{"\xE6\x9D", path_}, "not UTF-8"},  // cut short
    };
    for (const Row& r : rows) {
        const Result result = find(r.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("qzotool find: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(r.message_part), std::string::npos) << result.err;
    }
}

TEST_F(FindCommand, FilesThatCannotBeLoaded) {
    const std::string missing = testing::TempDir() + "no_such_file.qzf";
    Result result = find({"x", missing});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, missing + ": " + utf8(u8"ファイル読み込みに失敗しました。") + "\n");

    const std::string foreign = QZ_SOURCE_DIR "/tests/data/not_data_file.qzf";
    result = find({"x", foreign});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, foreign + ": " + utf8(u8"Quizo データファイルではありません。") + "\n");
}

TEST(SearchTextFromTerminal, ConvertsUtf8ToCodePage932) {
    struct Row {
        std::u8string utf8;
        std::string cp932;
    };
    const Row rows[] = {
        {u8"東京", "東京"},   {u8"ｶﾞ", "\xB6\xDE"},
        {u8"~\\", "~\\"},     {u8"〜", "\x81\x60"},  // wave dash: the JIS form is accepted as well
        {u8"ソ", "\x83\x5C"},
    };
    for (const Row& r : rows) {
        std::string problem;
        const std::optional<std::string> text = search_text_from_terminal(utf8(r.utf8), problem);
        ASSERT_TRUE(text) << problem;
        EXPECT_EQ(*text, r.cp932);
        EXPECT_EQ(problem, "");
    }
}

}  // namespace
}  // namespace qz::tool
