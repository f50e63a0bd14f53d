#include "tool/qzotool.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tool/cp932_output.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace qz::tool {
namespace {

// Expected output is UTF-8; narrow literals here are code page 932, so the
// expectations are written as u8 literals.
std::string utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

const std::string kSample = QZ_SOURCE_DIR "/samples/sample.qzf";
const std::string kData = QZ_SOURCE_DIR "/tests/data/";

struct Result {
    int status;
    std::string out, err;
};

Result run_tool(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = run(args, out, err);
    return {status, out.str(), err.str()};
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> split_tabs(const std::string& row) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t tab; (tab = row.find('\t', start)) != std::string::npos; start = tab + 1)
        cells.push_back(row.substr(start, tab - start));
    cells.push_back(row.substr(start));
    return cells;
}

// ---------------------------------------------------------------------------
// check

TEST(QzotoolCheck, SampleLoadsUnchanged) {
    const Result r = run_tool({"check", kSample});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

TEST(QzotoolCheck, MalformedFileReportsEveryRewrite) {
    const std::string file = kData + "malformed.qzf";
    const Result r = run_tool({"check", file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    const char* const expected[] = {
        ":3: invalid title line; kept as a comment",
        ":4: lone #; kept as a blank line",
        ":5: invalid title line; kept as a comment",
        ":6: invalid title line; kept as a comment",
        ":8: lone apostrophe; kept as a blank line",
        ":9: lone $; kept as a blank line",
        ":10: unknown settings line; kept as a comment",
        ":11: unknown settings line; kept as a comment",
        ":12: unknown settings line; kept as a comment",
        ":15: invalid question line; kept as a comment",
        ":16: invalid question line; kept as a comment",
        ":17: invalid question line; kept as a comment",
        ":18: invalid question line; kept as a comment",
        ":19: invalid question line; kept as a comment",
        ":20: invalid question line; kept as a comment",
    };
    std::string text;
    for (const char* row : expected)
        text += file + row + "\n";
    EXPECT_EQ(r.out, text);
}

TEST(QzotoolCheck, Version13AndNul) {
    const std::string v13 = kData + "version13.qzf";
    Result r = run_tool({"check", v13});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, v13 + ":2: invalid question line; kept as a comment\n");

    const std::string nul = kData + "nul_inside.qzf";
    r = run_tool({"check", nul});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, nul + ":3: NUL byte; removed\n");

    r = run_tool({"check", kData + "header_only.qzf"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST(QzotoolCheck, FilesThatCannotBeOpened) {
    struct Case {
        std::string file;
        std::u8string message;
    };
    const Case cases[] = {
        {kData + "not_data_file.qzf", u8"Quizo データファイルではありません。"},
        {kData + "bad_header.qzf", u8"ヘッダの形式が違います。"},
        {kData + "bad_version.qzf", u8"データのバージョンが違います。"},
        {kData + "no such file.qzf", u8"ファイル読み込みに失敗しました。"},
        {kData, u8"ファイル読み込みに失敗しました。"},  // a folder
    };
    for (const Case& c : cases) {
        const Result r = run_tool({"check", c.file});
        EXPECT_EQ(r.status, 2) << c.file;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.file + ": " + utf8(c.message) + "\n");
    }
}

TEST(QzotoolCheck, SeveralFilesGiveTheWorstStatus) {
    Result r = run_tool({"check", kSample, kData + "version13.qzf"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(split_lines(r.out).size(), 1u);

    r = run_tool({"check", kData + "bad_version.qzf", kData + "version13.qzf", kSample});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(split_lines(r.out).size(), 1u);  // the later files are still checked
    EXPECT_EQ(split_lines(r.err).size(), 1u);
}

// ---------------------------------------------------------------------------
// list

TEST(QzotoolList, MalformedFileRows) {
    const Result r = run_tool({"list", kData + "malformed.qzf"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::u8string expected =
        u8"2\tコメント\t'壊れた行の見本：読み込むとコメントか空行になる\n"
        u8"3\tコメント\t'タイトルだけの行\n"
        u8"4\t空行\t\n"
        u8"5\tコメント\t'五桁,12345\n"
        u8"6\tコメント\t'七桁,1234567\n"
        u8"7\tタイトル1\t#正しいタイトル,200000\n"
        u8"8\t空行\t\n"
        u8"9\t空行\t\n"
        u8"10\tコメント\t'Unknown=1\n"
        u8"11\tコメント\t'Group\n"
        u8"12\tコメント\t'FontQuestionXYZW=12,128,ＭＳ 明朝\n"
        u8"13\t設定\t$timelimit=45\n"
        u8"14\t空行\t\n"
        u8"15\tコメント\t'問題文だけでカンマがない\n"
        u8"16\tコメント\t'a,b,\\00\n"
        u8"17\tコメント\t'a,b,<0\n"
        u8"18\tコメント\t'a,b,<00x\n"
        u8"19\tコメント\t'\\ix,b,<00\n"
        u8"20\tコメント\t'ソ,ソ\\,表,<0\n"
        u8"21\t問題1\t括弧が閉じていない,[東京|とうきょう,<00\n"
        u8"22\t問題2\t正しい問題,[A|B]C(D),[99'コメント\n"
        u8"23\tコメント\t'最後の行は改行なしのコメント\n";
    EXPECT_EQ(r.out, utf8(expected));
}

TEST(QzotoolList, SampleRows) {
    const Result r = run_tool({"list", kSample});
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> rows = split_lines(r.out);
    ASSERT_EQ(rows.size(), 59u);
    // Every row: file line number, label, text; titles and questions are
    // numbered in order.
    int titles = 0, questions = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<std::string> cells = split_tabs(rows[i]);
        ASSERT_EQ(cells.size(), 3u) << rows[i];
        EXPECT_EQ(cells[0], std::to_string(i + 2));
        if (cells[1].starts_with(utf8(u8"タイトル"))) {
            EXPECT_EQ(cells[1], utf8(u8"タイトル") + std::to_string(++titles));
        } else if (cells[1].starts_with(utf8(u8"問題"))) {
            EXPECT_EQ(cells[1], utf8(u8"問題") + std::to_string(++questions));
        }
    }
    EXPECT_EQ(titles, 7);
    EXPECT_EQ(questions, 30);
    EXPECT_EQ(rows[4], utf8(u8"6\t設定\t$Group=全般,地理,歴史,漢字,国旗,首都,県庁,人物,年号,"
                            u8"難問'グループ0から9の名前"));
    EXPECT_EQ(rows[6], utf8(u8"8\t設定\t$Message=クイズを始めます。\\n準備はいいですか？ "
                            u8"Let\\'s go!'開始時に表示"));
    EXPECT_EQ(rows[13], utf8(u8"15\t空行\t"));
    EXPECT_EQ(rows[18],
              utf8(u8"20\t問題4\t大韓民国の首都は？,[ソウル|京城],A51'ソの第2バイトは0x5C"));
    EXPECT_EQ(rows[24], utf8(u8"26\t問題8\t\\i\"map.bmp\"この地図で赤く塗られた島は？,"
                             u8"[北海道|ほっかいどう],>10'画像つきの問題"));
    EXPECT_EQ(rows[39], utf8(u8"41\t問題19\t\\#1の次の番号は？（#で始まる問題）,#2,K00"));
}

// ---------------------------------------------------------------------------
// normalize

class QzotoolNormalize : public testing::Test {
  protected:
    void TearDown() override { std::remove(out_.c_str()); }
    std::string out_ = testing::TempDir() + "qzotool_normalize_test.qzf";
};

TEST_F(QzotoolNormalize, SampleIsWrittenBackByteForByte) {
    const Result r = run_tool({"normalize", kSample, out_});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(read_bytes(out_), read_bytes(kSample));
}

TEST_F(QzotoolNormalize, MalformedFileIsRewritten) {
    ASSERT_EQ(run_tool({"normalize", kData + "malformed.qzf", out_}).status, 0);
    // Narrow literals are code page 932 bytes, as the file is.
    const std::string expected =
        "QUIZODATA V1.4\r\n"
        "'壊れた行の見本：読み込むとコメントか空行になる\r\n"
        "'タイトルだけの行\r\n"
        "\r\n"
        "'五桁,12345\r\n"
        "'七桁,1234567\r\n"
        "#正しいタイトル,200000\r\n"
        "\r\n"
        "\r\n"
        "'Unknown=1\r\n"
        "'Group\r\n"
        "'FontQuestionXYZW=12,128,ＭＳ 明朝\r\n"
        "$timelimit=45\r\n"
        "\r\n"
        "'問題文だけでカンマがない\r\n"
        "'a,b,\\00\r\n"
        "'a,b,<0\r\n"
        "'a,b,<00x\r\n"
        "'\\ix,b,<00\r\n"
        "'ソ,ソ\\,表,<0\r\n"
        "括弧が閉じていない,[東京|とうきょう,<00\r\n"
        "正しい問題,[A|B]C(D),[99'コメント\r\n"
        "'最後の行は改行なしのコメント\r\n";
    const std::string once = read_bytes(out_);
    EXPECT_EQ(once, expected);
    // Normalizing the output again changes nothing, and it checks clean.
    ASSERT_EQ(run_tool({"normalize", out_, out_}).status, 0);
    EXPECT_EQ(read_bytes(out_), once);
    EXPECT_EQ(run_tool({"check", out_}).status, 0);
}

TEST_F(QzotoolNormalize, Failures) {
    Result r = run_tool({"normalize", kData + "bad_version.qzf", out_});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, kData + "bad_version.qzf: " + utf8(u8"データのバージョンが違います。") + "\n");

    const std::string target = kData + "no such folder/out.qzf";
    r = run_tool({"normalize", kSample, target});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, target + ": " + utf8(u8"書き込みできません。") + "\n");
}

// Files in the output's folder that normalizing may have left behind.
std::vector<std::string> left_behind() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(testing::TempDir())) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".qzotool-")) names.push_back(name);
    }
    return names;
}

#ifndef _WIN32
// The disk filling up halfway (here: a file size limit) leaves the old
// file whole and no new file beside it.
TEST_F(QzotoolNormalize, FailedWriteLeavesTheTargetAsItWas) {
    const std::string old = "QUIZODATA V1.4\r\n'old\r\n";
    std::ofstream(out_, std::ios::binary) << old;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;  // the normalized sample is far longer
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Result r = run_tool({"normalize", kSample, out_});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, out_ + ": " + utf8(u8"書き込みできません。") + "\n");
    EXPECT_EQ(read_bytes(out_), old);
    EXPECT_EQ(left_behind(), std::vector<std::string>{});
    // Without the limit the same command replaces it.
    EXPECT_EQ(run_tool({"normalize", kSample, out_}).status, 0);
    EXPECT_EQ(read_bytes(out_), read_bytes(kSample));
    EXPECT_EQ(left_behind(), std::vector<std::string>{});
}
#endif

// ---------------------------------------------------------------------------
// answers

TEST(QzotoolAnswers, SampleAlternatives) {
    const Result r = run_tool({"answers", kSample});
    ASSERT_EQ(r.status, 0);
    const std::vector<std::string> rows = split_lines(r.out);
    ASSERT_EQ(rows.size(), 30u);  // one per question line
    const std::u8string expected[] = {
        u8"17\t東京都\t東京",
        u8"18\tパリ",
        u8"20\tソウル\t京城",
        u8"27\t1億2,000万人\t一億二千万人",  // a literal comma stays in its alternative
        u8"34\t神戸市\t神戸\tこうべ市\tこうべ",
        u8"37\tおもて\tあらわす\tあらわれる",
        u8"39\tいきる\tいかす\tいける\tうまれる\tうむ\tなま\tせい\tしょう",
        u8"41\t#2",
        u8"52\ti\"flag.png\"",
        u8"59\tバチカン市国\tバチカン\tローマ教皇庁",
    };
    for (const std::u8string& row : expected) {
        const std::string want = utf8(row);
        const std::string number = want.substr(0, want.find('\t') + 1);
        bool found = false;
        for (const std::string& got : rows) {
            if (!got.starts_with(number)) continue;
            EXPECT_EQ(got, want);
            found = true;
        }
        EXPECT_TRUE(found) << want;
    }
}

TEST(QzotoolAnswers, SyntaxErrorAndMalformedFile) {
    const Result r = run_tool({"answers", kData + "malformed.qzf"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, utf8(u8"21\t構文エラーです。\n22\tACD\tAC\tBCD\tBC\n"));
}

// ---------------------------------------------------------------------------
// Usage

TEST(QzotoolUsage, Errors) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"help"},
        {"check"},
        {"list"},
        {"list", kSample, kSample},
        {"normalize", kSample},
        {"normalize", kSample, "a", "b"},
        {"answers"},
        {"CHECK", kSample},
    };
    for (const auto& args : cases) {
        const Result r = run_tool(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with("usage: qzotool ")) << r.err;
        EXPECT_EQ(split_lines(r.err).size(), 1u);
    }
}

// ---------------------------------------------------------------------------
// Output conversion

TEST(OutputText, CodePage932ToUtf8) {
    struct Case {
        std::string in;
        std::u8string out;
    };
    const Case cases[] = {
        {"abc\\,", u8"abc\\,"},
        {"\x83\x5C", u8"ソ"},
        {"\x95\x5C\x94\x5C", u8"表能"},
        {"\xB1", u8"ｱ"},               // half-width katakana
        {"\x85\x40", u8"\\x85\\x40"},  // unassigned double-byte code
        {"\x80"
         "a\xA0\xFD",
         u8"\\x80a\\xA0\\xFD"},          // bytes that are no character
        {"a\x81", u8"a\\x81"},           // lead byte at the end
        {"\x81\x0A", u8"\\x81\\x0A"},    // lead byte before a control byte
        {"a\tb\x7F", u8"a\\x09b\\x7F"},  // control bytes
        {std::string("\0", 1), u8"\\x00"},
        {"\x83\x5C\x85\x40\x83\x5C", u8"ソ\\x85\\x40ソ"},  // conversion goes on after a failure
    };
    for (const Case& c : cases)
        EXPECT_EQ(output_text(c.in), utf8(c.out)) << c.in;
}

}  // namespace
}  // namespace qz::tool
