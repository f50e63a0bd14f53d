#include "tool/qzotool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/document/data_file.h"
#include "core/document/line_labels.h"
#include "core/operations/problem_check.h"
#include "core/syntax/answer.h"
#include "tool/cp932_output.h"
#include "tool/find_command.h"
#include "tool/tool_files.h"
#include "support/tool_run.h"

namespace qz::tool {
namespace {

// Output and command-line text are UTF-8; narrow literals here are code page
// 932, so UTF-8 text is written as u8 literals.
std::string utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

const std::string kSample = QZ_SOURCE_DIR "/samples/sample.qzf";
const std::string kData = QZ_SOURCE_DIR "/tests/data/";
const std::string kOut = testing::TempDir() + "qzotool_test_out.qzf";

using Result = test::ToolResult;
using test::read_bytes;
using test::run_tool;

TEST(QzotoolCheck, ReportsEveryRewrite) {
    const std::string malformed = kData + "malformed.qzf", v13 = kData + "version13.qzf",
                      nul = kData + "nul_inside.qzf", bad = kData + "bad_version.qzf";
    const std::pair<int, const char*> findings[] = {
        {3, "invalid title line; kept as a comment"},      {4, "lone #; kept as a blank line"},
        {5, "invalid title line; kept as a comment"},      {6, "invalid title line; kept as a comment"},
        {8, "lone apostrophe; kept as a blank line"},      {9, "lone $; kept as a blank line"},
        {10, "unknown settings line; kept as a comment"},  {11, "unknown settings line; kept as a comment"},
        {12, "unknown settings line; kept as a comment"},  {15, "invalid question line; kept as a comment"},
        {16, "invalid question line; kept as a comment"},  {17, "invalid question line; kept as a comment"},
        {18, "invalid question line; kept as a comment"},  {19, "invalid question line; kept as a comment"},
        {20, "invalid question line; kept as a comment"},
    };
    std::string all_findings;
    for (const auto& [line, reason] : findings)
        all_findings += malformed + ":" + std::to_string(line) + ": " + reason + "\n";
    const std::string v13_finding = v13 + ":2: invalid question line; kept as a comment\n";
    struct Case {
        std::vector<std::string> files;
        int status;
        std::string out, err;
    };
    const Case cases[] = {
        {{kSample, kData + "header_only.qzf"}, 0, "", ""},
        {{kSample, v13}, 1, v13_finding, ""},
        {{nul}, 1, nul + ":3: NUL byte; removed\n", ""},
        {{malformed}, 1, all_findings, ""},
        // Later files are still checked; the worst status wins.
        {{bad, v13}, 2, v13_finding, bad + ": " + utf8(u8"データのバージョンが違います。") + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files.back());
        std::vector<std::string> args = {"check"};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const Result r = run_tool(args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
    }
}

// The problem check reports what check reports, and what would go wrong in play.
TEST(QzotoolCheck, ProblemsOnePerLine) {
    const std::string malformed = kData + "malformed.qzf";
    const Result r = run_tool({"check", "--problems", malformed});
    EXPECT_EQ(r.status, 1);
    std::string expected;
    const std::string rewritten = utf8(u8"読み込みで変換: ");
    for (int line : {3, 4, 5, 6, 8, 9, 10, 11, 12, 15, 16, 17, 18, 19, 20})
        expected += malformed + ":" + std::to_string(line) + ": " + rewritten +
                    (line == 4 || line == 8 || line == 9
                         ? utf8(u8"記号だけの行を空行にしました")
                         : line <= 6 ? utf8(u8"形式の違うタイトル行をコメントにしました")
                         : line <= 12 ? utf8(u8"不明な設定行をコメントにしました")
                                      : utf8(u8"形式の違う問題行をコメントにしました")) +
                    "\n";
    expected += malformed + ":21: " + utf8(u8"答えの構文エラー: 構文エラーです。\n");
    expected += malformed + ":22: " + utf8(u8"答え番号が範囲外: 答え番号 9、答えの候補は 0～3 です\n");
    EXPECT_EQ(r.out, expected);
    const Result clean = run_tool({"check", "--problems", kData + "header_only.qzf"});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "");
}

TEST(QzotoolPictures, EachReferenceWithItsStateAndTheProblemCheckReadsThem) {
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "qzotool_pictures";
    std::filesystem::create_directories(dir / "img");
    std::filesystem::copy_file(QZ_SOURCE_DIR "/samples/flag.png", dir / "img" / "flag.png",
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream(dir / "broken.bmp", std::ios::binary) << "BM";
    std::ofstream(dir / "a.qzf", std::ios::binary) << "QUIZODATA V1.4\r\n#t,011100\r\n"
                                                      "q\\i\"img\\flag.png\",a\\i\"gone.PNG\",Z50\r\n"
                                                      "'\\i\"comment.bmp\"\r\n"
                                                      "\\i\"x.gif\"\\i\"broken.bmp\",a,Z50\r\n";
    const std::string file = (dir / "a.qzf").string(), folder = dir.string() + "/";
    const Result r = run_tool({"pictures", file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "3\t\\i\"img\\flag.png\"\t" + folder + "img\\flag.png\tok 48x32\n"
                     "3\t\\i\"gone.PNG\"\t" + folder + "gone.PNG\tmissing\n"
                     "5\t\\i\"x.gif\"\t" + folder + "x.gif\tnot a picture\n"
                     "5\t\\i\"broken.bmp\"\t" + folder + "broken.bmp\tunreadable: " +
                     utf8(u8"ビットマップのヘッダーが正しくありません。\n"));
    EXPECT_EQ(run_tool({"pictures", kSample}).status, 0);

    // The problem check reads the pictures too.
    // A link to a device and a file larger than any picture are refused
    // unread (the sparse file holds no data blocks).
    const std::string other = (dir / "b.qzf").string();
    std::filesystem::remove(dir / "zero.png");
    std::filesystem::create_symlink("/dev/zero", dir / "zero.png");
    std::ofstream(dir / "huge.png", std::ios::binary);
    std::filesystem::resize_file(dir / "huge.png", std::uintmax_t{2} << 30);
    std::ofstream(other, std::ios::binary) << "QUIZODATA V1.4\r\n#t,000000\r\n"
                                              "q\\i\"img\\flag.png\",a\\i\"gone.png\",<00\r\n"
                                              "\\i\"zero.png\"\\i\"huge.png\",a,<00\r\n";
    const Result problems = run_tool({"check", "--problems", other});
    std::filesystem::remove(dir / "huge.png");
    EXPECT_EQ(problems.status, 1);
    EXPECT_EQ(problems.out, other + ":3: " + utf8(u8"画像: 画像 \"gone.png\" が見つかりません\n") +
                                other + ":4: " +
                                utf8(u8"画像: 画像 \"zero.png\" を読めません: 通常のファイルではありません（デバイスやパイプは読み込みません）。\n") +
                                other + ":4: " +
                                utf8(u8"画像: 画像 \"huge.png\" を読めません: ファイルが大きすぎます（300 MB まで）。\n"));
}

TEST(Qzotool, FilesThatCannotBeReadOrWritten) {
    struct Case {
        std::vector<std::string> args;
        std::string file;
        std::u8string message;
    };
    const std::string bad_version = kData + "bad_version.qzf", unwritable = kData + "no such folder/out.qzf";
    const std::string fifo = testing::TempDir() + "qzotool_test_fifo", bom = testing::TempDir() + "bom.qzf";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(bom, std::ios::binary) << "\xEF\xBB\xBFQUIZODATA V1.4\r\n";
    const std::u8string not_regular = u8"通常のファイルではありません（デバイスやパイプは読み込みません）。";
    const Case cases[] = {
        {{"check", kData + "not_data_file.qzf"}, "", u8"Quizo データファイルではありません。"},
        {{"check", kData + "bad_header.qzf"}, "", u8"ヘッダの形式が違います。"},
        {{"check", bad_version}, "", u8"データのバージョンが違います。"},
        {{"check", kData + "no such file.qzf"}, "", u8"ファイルが見つかりません。"},
        {{"check", kData}, "", u8"フォルダーです。ファイルを指定してください。"},
        {{"check", ""}, "\"\"", u8"ファイル名がありません。"},
        {{"check", bom}, "", u8"Quizo データファイルではありません。UTF-8 で保存されたファイルのようです。Shift-JIS で保存し直してください。"},
        // Files that never end are refused before they are read.
        {{"check", "/dev/zero"}, "", not_regular},
        {{"check", "--problems", "/dev/zero"}, "", not_regular},
        {{"list", "/dev/zero"}, "", not_regular},
        {{"answers", fifo}, "", not_regular},
        {{"normalize", bad_version, kOut}, bad_version, u8"データのバージョンが違います。"},
        {{"normalize", kSample, unwritable}, unwritable, u8"書き込みできません。"},
        {{"find", "x", bad_version}, bad_version, u8"データのバージョンが違います。"},
        {{"list", bad_version}, bad_version, u8"データのバージョンが違います。"},
    };
    for (const Case& c : cases) {
        const std::string& file = c.file.empty() ? c.args.back() : c.file;
        SCOPED_TRACE(c.args[0] + " " + file);
        const Result r = run_tool(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, file + ": " + utf8(c.message) + "\n");
    }
    std::remove(fifo.c_str());
    std::remove(bom.c_str());
}

// List and normalize show and write the malformed file as the editor
// opens it (which lines it rewrites, and how: see the data file tests).
TEST(Qzotool, ListAndNormalizeTheMalformedFile) {
    CardDocument doc;
    ASSERT_EQ(read_data_file(read_bytes(kData + "malformed.qzf"), doc).status, LoadStatus::ok);
    std::string listed;
    for (int i = 0; i < doc.count(); ++i)
        listed += std::to_string(i + 2) + "\t" + output_text(line_label(doc, i)) + "\t" +
                  output_text(doc.line_at(i)->text()) + "\n";
    const std::string normalized = write_data_file(doc);
    const Result r = run_tool({"list", kData + "malformed.qzf"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, listed);

    ASSERT_EQ(run_tool({"normalize", kData + "malformed.qzf", kOut}).status, 0);
    EXPECT_EQ(read_bytes(kOut), normalized);
    // Normalizing the output again changes nothing, and it checks clean.
    ASSERT_EQ(run_tool({"normalize", kOut, kOut}).status, 0);
    EXPECT_EQ(read_bytes(kOut), normalized);
    EXPECT_EQ(run_tool({"check", kOut}).status, 0);
    std::remove(kOut.c_str());
}

// Normalize copies long runs of unchanged lines from file to file and
// writes the rest itself; the bytes are still the editor's open-and-save,
// wherever the rewritten lines fall and whatever line breaks the runs
// have. The long runs (over 1 MB) cross the reader's pieces; such a
// file is read where the system maps it.
TEST(Qzotool, NormalizeWritesWhatOpeningAndSavingWrites) {
    const auto run = [](int lines, const char* eol) {
        std::string text;
        for (int i = 0; i < lines; ++i) {
            const std::string n = std::to_string(i);
            text += (i % 50 == 0 ? "#第" + n + "章 A,311000'章" : "問題" + n + ",[答え|こたえ],?21") + eol;
        }
        return text;
    };
    const std::string crlf = run(40000, "\r\n");  // about 1.3 MB
    const std::string quoted = "答えのない問題\r\n", blank = "#\r\n";
    const struct {
        const char* what;
        std::string body;
    } cases[] = {
        {"unchanged", crlf},
        {"rewritten first", quoted + crlf},
        {"rewritten in the middle", crlf + quoted + blank + crlf},
        {"last line without a break", crlf + "'最後"},
        {"last line rewritten", crlf + "#"},
        {"last line ended by a CR", crlf + "'最後\r"},
        {"LF run", crlf + run(3000, "\n") + crlf},
        {"CR run", run(3000, "\r") + crlf},
        {"0x01 breaks", crlf + run(2000, "\x01") + "'x\r\n"},
        {"short runs between rewritten lines", [&] {
             std::string text;
             for (int i = 0; i < 2000; ++i) text += run(i % 7, "\r\n") + quoted;
             return text;
         }()},
        {"NUL bytes", crlf + std::string("a\0b\r\n", 5) + crlf},
        {"header alone", ""},
    };
    const std::string in = testing::TempDir() + "qzotool_test_in.qzf";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = "QUIZODATA V1.4\r\n" + c.body;
        std::ofstream(in, std::ios::binary) << file;
        CardDocument doc;
        ASSERT_EQ(read_data_file(file, doc).status, LoadStatus::ok);
        ASSERT_EQ(run_tool({"normalize", in, kOut}).status, 0);
        EXPECT_TRUE(read_bytes(kOut) == write_data_file(doc));
    }
    std::remove(in.c_str());
    std::remove(kOut.c_str());
}

// A large file is checked in two parts at once; the findings are still
// those of opening it, numbered as its lines, wherever they fall.
TEST(QzotoolCheck, LargeFileFindsWhatOpeningFinds) {
    std::string run;
    for (int i = 0; i < 40000; ++i) run += "問題" + std::to_string(i) + ",[答え|こたえ],?21\r\n";  // 1.3 MB
    const std::string quoted = "答えのない問題\r\n", blank = "#\r\n";
    const struct {
        const char* what;
        std::string body;
    } cases[] = {
        {"clean", run + run},
        {"around the middle", quoted + run + quoted + blank + quoted + run + blank},
        {"LF lines after the middle", run + blank + [&] {
             std::string lf = run;
             std::erase(lf, '\r');
             return lf + quoted;
         }()},
        {"last line ended by a CR", run + run + "#\r"},
        {"NUL byte after the middle", run + quoted + run + std::string("a\0b\r\n", 5) + blank},
    };
    const std::string path = testing::TempDir() + "qzotool_test_large.qzf";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = "QUIZODATA V1.4\r\n" + c.body;
        std::ofstream(path, std::ios::binary) << file;
        CardDocument doc;
        const LoadResult read = read_data_file(file, doc);
        std::string expected;
        for (const RewrittenLine& line : read.rewritten)
            expected += path + ":" + std::to_string(CardDocument::file_line_number(line.index)) + ": " +
                        rewrite_reason_text(line.reason) + "\n";
        for (int line : read.nul_bytes.lines) expected += path + ":" + std::to_string(line) + ": NUL byte; removed\n";
        const Result r = run_tool({"check", path});
        EXPECT_EQ(r.status, expected.empty() ? 0 : 1);
        EXPECT_EQ(r.out, expected);
    }
    std::remove(path.c_str());
}

#ifndef _WIN32
// The disk filling up halfway (here: a file size limit) leaves the old
// file whole and no temporary file beside it.
TEST(Qzotool, FailedNormalizeLeavesTheTargetAsItWas) {
    const std::string old = "QUIZODATA V1.4\r\n'old\r\n";
    std::ofstream(kOut, std::ios::binary) << old;
    auto left_behind = [] {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(testing::TempDir()))
            n += entry.path().filename().string().starts_with(".qzotool-");
        return n;
    };
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;  // the normalized sample is far longer
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Result r = run_tool({"normalize", kSample, kOut});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, kOut + ": " + utf8(u8"書き込みできません。") + "\n");
    EXPECT_EQ(read_bytes(kOut), old);
    EXPECT_EQ(left_behind(), 0);
    EXPECT_EQ(run_tool({"normalize", kSample, kOut}).status, 0);
    EXPECT_EQ(read_bytes(kOut), read_bytes(kSample));
    EXPECT_EQ(left_behind(), 0);
    std::remove(kOut.c_str());
}

// A file cut short while it is read where the system maps it ends the
// program with the read failure message, not with a bus error.
TEST(QzotoolDeathTest, FileCutShortWhileMapped) {
    const std::string path = testing::TempDir() + "qzotool_test_cut.qzf";
    std::string text = "QUIZODATA V1.4\r\n";
    while (text.size() < (3 << 20)) text += "'comment line\r\n";
    std::ofstream(path, std::ios::binary) << text;
    EXPECT_EXIT(
        {
            NulBytes nul;
            std::ostringstream err;
            map_lines_in_pieces(
                path, err, [](int) {},
                [&](char*, char*, std::uint64_t) { EXPECT_EQ(truncate(path.c_str(), 0), 0); }, nul);
        },
        testing::ExitedWithCode(2), "qzotool_test_cut\\.qzf: ");
    std::remove(path.c_str());
}
#endif

TEST(Qzotool, Answers) {
    Result r = run_tool({"answers", kData + "malformed.qzf"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, utf8(u8"21\t構文エラーです。\n22\tACD\tAC\tBCD\tBC\n"));

    r = run_tool({"answers", kSample});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 30);  // one row per question
    for (const std::u8string row : {u8"\n17\t東京都\t東京\n", u8"\n27\t1億2,000万人\t一億二千万人\n",
                                    u8"\n41\t#2\n", u8"\n52\t\\i\"flag.png\"\n"})
        EXPECT_NE(("\n" + r.out).find(utf8(row)), std::string::npos) << utf8(row);
}

// An expansion that stops early says so after the alternatives it completed.
TEST(Qzotool, AnswersCutShortSaySo) {
    std::string wide;
    for (int i = 0; i < 30; ++i) wide += "[a|b]";
    std::ofstream(kOut, std::ios::binary) << "QUIZODATA V1.4\r\nq," << std::string(5000, '(') << 'a'
                                          << std::string(5000, ')') << ",<00\r\nq," << wide << ",<00\r\n";
    const Result r = run_tool({"answers", kOut});
    std::remove(kOut.c_str());
    EXPECT_EQ(r.status, 0);
    std::istringstream rows(r.out);
    std::string first, second;
    std::getline(rows, first);
    std::getline(rows, second);
    const std::string note = output_text(kAnswerCutShort);
    EXPECT_EQ(first, "2\t" + note);
    EXPECT_EQ(second.rfind("3\t" + std::string(30, 'a') + "\t", 0), 0u);
    EXPECT_GT(std::count(second.begin(), second.end(), '\t'), 100);
    EXPECT_EQ(second.substr(second.size() - note.size()), note);
}

TEST(Qzotool, UsageErrors) {
    const std::string usage = "usage: qzotool check [--problems] FILE... | list FILE | normalize FILE OUT |";
    const std::string find_usage = "usage: qzotool find [--conditions HEX] TEXT FILE\n";
    const std::vector<std::string> cases[] = {
        {}, {"check"}, {"check", "--problems"}, {"list", kSample, kSample}, {"normalize", kSample},
        {"normalize", kSample, "a", "b"}, {"answers"}, {"CHECK", kSample}, {"find", "x"},
        {"find", "x", kSample, "extra"}, {"find", "-x", kSample},
        {"find", "x", kSample, "--conditions"}, {"find", "--unknown", "x", kSample},
        {"replace", "x", "y"}, {"replace", "x", "y", kSample, "out", "extra"},
        {"replace", "--whole", "x", "y", kSample},
    };
    for (const auto& args : cases) {
        const Result r = run_tool(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        if (!args.empty() && args[0] == "find")
            EXPECT_EQ(r.err, find_usage);
        else if (!args.empty() && args[0] == "replace")
            EXPECT_EQ(r.err.rfind("usage: qzotool replace [--fields tqac]", 0), 0u) << r.err;
        else
            EXPECT_EQ(r.err.substr(0, usage.size()), usage);
    }
}

TEST(OutputText, CodePage932ToUtf8) {
    struct Case {
        std::string in;
        std::u8string out;
    };
    const Case cases[] = {
        {"\x83\x5C", u8"ソ"},
        {"\xB1", u8"ｱ"},               // half-width katakana
        {"\x85\x40", u8"\\x85\\x40"},  // unassigned double-byte code
        {"\x80" "a\xA0\xFD", u8"\\x80a\\xA0\\xFD"},  // bytes that are no character
        {"a\x81", u8"a\\x81"},                      // lead byte at the end
        {"\x81\x0A", u8"\\x81\\x0A"},               // lead byte before a control byte
        {"a\tb\x7F", u8"a\\x09b\\x7F"},             // control bytes
        {std::string("\0", 1), u8"\\x00"},
        {"\x83\x5C\x85\x40\x83\x5C", u8"ソ\\x85\\x40ソ"},  // conversion goes on after a failure
    };
    for (const Case& c : cases) EXPECT_EQ(output_text(c.in), utf8(c.out)) << c.in;
}

// File line numbers: the header is line 1.
constexpr char kFindData[] =
    "QUIZODATA V1.4\r\n"
    "'before any title\r\n"                   // 2
    "#首都,000000\r\n"                        // 3
    "日本の首都は？,東京,<00'とうきょう\r\n"  // 4
    "韓国の首都は？,ソウル,<00\r\n"           // 5
    "\r\n"                                    // 6
    "#読み,011100\r\n"                        // 7
    "東京の読みは？,とうきょう,<00\r\n"       // 8
    "ガスの読み,ｶﾞｽ,<00\r\n"                  // 9
    "a-x,b,<00\r\n"                           // 10
    "#壊れ,b,<00\r\n"                         // 11, kept as a comment
    "壊れ,b,<0\r\n";                          // 12, kept as a comment

class FindCommand : public testing::Test {
  protected:
    static void SetUpTestSuite() { std::ofstream(path_, std::ios::binary) << kFindData; }
    static void TearDownTestSuite() { std::remove(path_.c_str()); }
    static inline const std::string path_ = testing::TempDir() + "find_command_test.qzf";
};

TEST_F(FindCommand, PrintsMatchingFileLineNumbers) {
    struct Row {
        std::vector<std::string> options;
        std::u8string text;
        const char* expected;  // output; empty when nothing matches
    };
    const Row rows[] = {
        {{}, u8"とうきょう", "4\n8\n"},  // comment of 4, answer of 8
        {{}, u8"トウキョウ", "4\n8\n"},  // kana ignored by default
        {{"--conditions", "84"}, u8"トウキョウ", "4\n"},
        {{"--conditions", "10"}, u8"首都", "3\n4\n5\n6\n"},
        {{"--conditions=0x10"}, u8"読み", "7\n8\n9\n10\n11\n12\n"},
        {{"--conditions", "20"}, u8"壊れ", "11\n12\n"},  // read as the editor shows them
        {{"--conditions", "f7"}, u8"ｶﾞｽ", "9\n"},  // half-width input
        {{"--conditions", "20"}, u8"#", "3\n7\n"},  // '#' is in a title's question piece
        {{"--"}, u8"-x", "10\n"},
        {{}, u8"大阪", ""},  // no line holds the text: the lines are only counted
    };
    for (const Row& r : rows) {
        std::vector<std::string> args = {"find"};
        args.insert(args.end(), r.options.begin(), r.options.end());
        args.push_back(utf8(r.text));
        args.push_back(path_);
        SCOPED_TRACE(args[args.size() - 2]);
        const Result result = run_tool(args);
        EXPECT_EQ(result.out, r.expected);
        EXPECT_EQ(result.status, *r.expected ? 0 : 1);
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(FindCommand, BadConditionsOrText) {
    struct Row {
        std::vector<std::string> args;
        const char* message_part;
    };
    const Row rows[] = {
        {{"--conditions", "100", "x"}, "hexadecimal"},    {{"--conditions=0x", "x"}, "hexadecimal"},
        {{"--conditions", "07", "x"}, "searches no field"}, {{"--conditions", "F8", "x"}, "bit 08"},
        {{""}, "the search text is empty"},               {{utf8(u8"a😀")}, "U+1F600"},
        {{utf8(u8"한")}, "U+D55C"},                       {{"\xFF"}, "not UTF-8"},
        {{"\xE6\x9D"}, "not UTF-8"},  // cut short
    };
    for (const Row& r : rows) {
        std::vector<std::string> args = {"find"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        args.push_back(path_);
        const Result result = run_tool(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("qzotool find: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(r.message_part), std::string::npos) << result.err;
    }
}

// What is replaced and how is the editor's (tested with it); here the
// command line: options, where the result goes, output and exit status.
TEST(ReplaceCommand, OptionsTargetsAndStatus) {
    const std::string data = "QUIZODATA V1.4\r\n#Tokyo,000000\r\n"
                             "tokyo?,TOKYO,<00'tokyo\r\n[tokyo],[tokyo|b],<00\r\n";
    const std::string file = testing::TempDir() + "replace_command_test.qzf";
    struct Row {
        std::vector<std::string> options;
        std::u8string find;
        const char* replacement;
        int status;
        std::u8string out;
        const char* lines;  // the file afterwards, "" when it is left alone
    };
    const Row rows[] = {
        {{}, u8"tokyo", "Kyoto", 0, u8"3 行で 6 箇所を置換しました。\n",
         "#Kyoto,000000\r\nKyoto?,Kyoto,<00'Kyoto\r\n[Kyoto],[Kyoto|b],<00\r\n"},
        {{"--case"}, u8"tokyo", "Kyoto", 0, u8"2 行で 4 箇所を置換しました。\n",
         "#Tokyo,000000\r\nKyoto?,TOKYO,<00'Kyoto\r\n[Kyoto],[Kyoto|b],<00\r\n"},
        {{"--fields", "ta"}, u8"tokyo", "", 0, u8"3 行で 3 箇所を置換しました。\n",
         "#,000000\r\ntokyo?,,<00'tokyo\r\n[tokyo],[|b],<00\r\n"},
        // A bracket would break the answer: the line is left alone.
        {{"--fields=a"}, u8"b", "]", 1,
         u8"0 行で 0 箇所を置換しました。\n1 行（1 箇所）は書式が崩れるため置換しませんでした。\n", ""},
        {{"--width", "--kana", "--case"}, u8"ＴＯＫＹＯ", "x", 1, u8"0 行で 0 箇所を置換しました。\n",
         ""},
        {{"--"}, u8"-x", "x", 1, u8"0 行で 0 箇所を置換しました。\n", ""},
    };
    for (const Row& r : rows) {
        std::ofstream(file, std::ios::binary) << data;
        std::vector<std::string> args = {"replace"};
        args.insert(args.end(), r.options.begin(), r.options.end());
        for (const std::string& operand : {utf8(r.find), std::string(r.replacement), file})
            args.push_back(operand);
        SCOPED_TRACE(args[1]);
        const Result result = run_tool(args);
        EXPECT_EQ(result.status, r.status);
        EXPECT_EQ(result.out, utf8(r.out));
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(read_bytes(file), *r.lines ? "QUIZODATA V1.4\r\n" + std::string(r.lines) : data);
    }

    // With OUT the file stays and OUT is written, even with nothing replaced;
    // an OUT that cannot be written is reported.
    std::remove(kOut.c_str());
    EXPECT_EQ(run_tool({"replace", "absent", "x", file, kOut}).status, 1);
    EXPECT_EQ(read_bytes(kOut), data);
    const Result written = run_tool({"replace", "tokyo", "kyoto", file, kOut});
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(read_bytes(file), data);
    EXPECT_NE(read_bytes(kOut).find("kyoto?,kyoto,<00'kyoto"), std::string::npos);
    const std::string unwritable = testing::TempDir() + "no-such-folder/out.qzf";
    const Result failed = run_tool({"replace", "tokyo", "kyoto", file, unwritable});
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err, unwritable + ": " + utf8(u8"書き込みできません。") + "\n");
    const Result bad_fields = run_tool({"replace", "--fields", "tx", "a", "b", file});
    EXPECT_EQ(bad_fields.status, 2);
    EXPECT_NE(bad_fields.err.find("--fields takes letters"), std::string::npos);
    std::remove(file.c_str());
    std::remove(kOut.c_str());
}

TEST(StatsCommand, FormatsAndTheHardestQuestions) {
    const std::string file = testing::TempDir() + "stats_command_test.qzf";
    std::ofstream(file, std::ios::binary)
        << "QUIZODATA V1.4\r\n#T,000000\r\nq1,a,<00\r\nq2,a,[10\r\nq3,a,A10\r\n#U\\,u,000000\r\nq4,a,=00\r\n";
    const Result text = run_tool({"stats", "--hardest", "2", file});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out,
              utf8(u8"タイトル\t問題数\t全問正解\tほぼ正解（4・3）\tほぼ不正解（2・1）\t全問不正解\t正答率\n"
                   u8"T\t3\t1\t0\t1\t1\t46.7%\n"
                   u8"U,u\t1\t0\t0\t1\t0\t20.0%\n"
                   u8"合計\t4\t正答なし 1\t40.0%\n") +
                  file + ":3: 0/5: q1\n" + file + ":7: 1/5: q4\n");
    const Result csv = run_tool({"stats", "--format", "csv", "--by", "group", file});
    EXPECT_EQ(csv.out, utf8(u8"section,questions,all_right,mostly_right,mostly_wrong,all_wrong,right_marks\r\n"
                            u8"全般,2,0,0,1,1,1\r\n１,2,1,0,1,0,7\r\n"));
    const Result json = run_tool({"stats", "--format", "json", file});
    EXPECT_NE(json.out.find("{\"name\": \"U,u\", \"questions\": 1, \"all_right\": 0, \"mostly_right\": 0, "
                            "\"mostly_wrong\": 1, \"all_wrong\": 0, \"right_marks\": 1}"),
              std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"questions\": 4, \"no_right\": 1, \"right_marks\": 8, \"right_rate\": 0.4000}"),
              std::string::npos) << json.out;
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"stats"}, {"stats", "--by", "line", file}, {"stats", "--hardest", "x", file},
          {"stats", "--format", "xml", file}, {"stats", file, file}}) {
        const Result r = run_tool(bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("qzotool stats"), std::string::npos) << r.err;
    }
    std::remove(file.c_str());
}

TEST(SearchTextFromTerminal, ConvertsUtf8ToCodePage932) {
    const std::pair<std::u8string, std::string> rows[] = {
        {u8"東京", "東京"}, {u8"ｶﾞ", "\xB6\xDE"}, {u8"~\\", "~\\"},
        {u8"〜", "\x81\x60"},  // wave dash: the JIS form is accepted as well
        {u8"ソ", "\x83\x5C"},
    };
    for (const auto& [in, cp932] : rows) {
        std::string problem;
        const std::optional<std::string> text = search_text_from_terminal(utf8(in), problem);
        ASSERT_TRUE(text) << problem;
        EXPECT_EQ(*text, cp932);
        EXPECT_EQ(problem, "");
    }
}

}  // namespace
}  // namespace qz::tool
