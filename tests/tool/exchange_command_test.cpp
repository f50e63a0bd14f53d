#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/card_document.h"
#include "tool/qzotool.h"
#include "tool/tool_files.h"
#include "support/tool_run.h"

namespace qz::tool {
namespace {

// Narrow literals here are code page 932; output and command-line text are
// UTF-8, written as u8 literals.
std::string utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

const std::string kSample = QZ_SOURCE_DIR "/samples/sample.qzf";
const std::string kFixtures = QZ_SOURCE_DIR "/tests/data/exchange/";
const std::string kTemp = testing::TempDir();
const std::string kMissingFolder = kTemp + "exchange no such folder/";

using Result = test::ToolResult;
using test::read_bytes;
using test::run_tool;

void write_bytes(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The texts of the title and question lines of a data file.
std::vector<std::string> card_lines(const std::string& path) {
    CardDocument doc;
    std::ostringstream err;
    EXPECT_TRUE(load(path, doc, err)) << err.str();
    std::vector<std::string> lines;
    for (const DataLine& line : doc)
        if (line.kind() == LINE_TITLE || is_question(&line)) lines.emplace_back(line.text());
    return lines;
}

// The "ROW: column N: " part of every line "IN:ROW: column N: reason" of
// the error stream, "" for "IN: reason" (the reasons are the readers' own).
std::vector<std::string> problem_places(const std::string& err, const std::string& in) {
    static const std::regex problem("([0-9]+: )?(column [0-9]+: )?.+");
    std::vector<std::string> places;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        const std::string rest = line.starts_with(in + ":") ? line.substr(in.size() + 1) : "";
        EXPECT_TRUE(std::regex_match(rest, m, problem)) << line;
        places.push_back(m.empty() ? "?" : m.str(1) + m.str(2));
    }
    return places;
}

TEST(ExchangeCommand, ExportedSampleImportsBackToTheSameCards) {
    enum class To { file, dash, standard_output };
    struct Case {
        const char* format;
        const char* encoding;  // nullptr: the default
        To to;
        std::string_view begins;  // the first bytes of the export
        std::string title;        // a title as the export's encoding writes it
    };
    const Case cases[] = {
        {"tsv", nullptr, To::file, "#separator:Tab", utf8(u8"世界の首都")},
        {"tsv", "cp932", To::dash, "#separator:Tab", "世界の首都"},
        {"csv", "utf-8-bom", To::standard_output, "\xEF\xBB\xBF", utf8(u8"世界の首都")},
        {"csv", "cp932", To::file, "#separator:Comma", "世界の首都"},
    };
    const std::vector<std::string> sample_lines = card_lines(kSample);
    ASSERT_EQ(sample_lines.size(), 37u);  // 7 titles, 30 questions
    const std::string exported = kTemp + "exchange_export", imported = kTemp + "exchange_import.qzf";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + (c.encoding ? c.encoding : "default"));
        std::filesystem::remove(exported);
        std::vector<std::string> args = {"export", "--format", c.format};
        if (c.encoding) args.insert(args.end(), {"--encoding", c.encoding});
        args.push_back(kSample);
        if (c.to != To::standard_output) args.push_back(c.to == To::file ? exported : "-");
        const Result e = run_tool(args);
        EXPECT_EQ(e.status, 0);
        EXPECT_EQ(e.err, kSample + ": 30 cards written, 22 lines that are no questions skipped\n");
        EXPECT_EQ(e.out.empty(), c.to == To::file);
        if (c.to != To::file) write_bytes(exported, e.out);
        const std::string bytes = read_bytes(exported);
        EXPECT_TRUE(bytes.starts_with(c.begins));
        EXPECT_NE(bytes.find(c.title), std::string::npos);

        std::filesystem::remove(imported);
        const Result i = run_tool({"import", "--format", c.format, exported, imported});
        EXPECT_EQ(i.status, 0);
        EXPECT_EQ(i.err, "");
        EXPECT_EQ(card_lines(imported), sample_lines);
    }
}

TEST(ExchangeCommand, ImportTellsEveryProblemAndStrictWritesNothing) {
    struct Case {
        const char* fixture;
        std::vector<std::string> options;
        int status;
        std::vector<std::string> places;
        bool written;
        std::vector<std::string> lines;  // of OUT, when written
    };
    const Case cases[] = {
        {"tool_clean.tsv", {}, 0, {}, true, {"apple,りんご,<00", "orange,みかん,<00"}},
        // Rows refused (an empty question, a group beyond 9); the others are written.
        {"tool_refused.tsv", {}, 1, {"3: column 1: ", "4: column 3: "}, true,
         {"apple,りんご,<10", "melon,メロン,<00"}},
        {"tool_refused.tsv", {"--strict"}, 1, {"3: column 1: ", "4: column 3: "}, false, {}},
        // A character code page 932 lacks.
        {"tool_substituted.tsv", {}, 1, {"2: column 1: "}, true,
         {"apple,りんご,<00", "caf\x81\xAC,カフェ,<00"}},
        {"tool_substituted.tsv", {"--strict"}, 1, {"2: column 1: "}, false, {}},
        // Tags that name no group are told, but read.
        {"tool_notice.tsv", {"--strict"}, 0, {"2: column 3: ", "3: column 3: "}, true,
         {"apple,りんご,<00", "melon,メロン,<00"}},
        // Half-width katakana in code page 932 that also reads as UTF-8 ("ý").
        {"tool_katakana.tsv", {}, 1, {"1: column 1: ", "1: column 2: "}, true,
         {"\x81\xAC,\x81\xAC,<00"}},
        {"tool_katakana.tsv", {"--encoding", "cp932"}, 0, {}, true, {"ﾃｽ,ﾃｽ,<00"}},
        // A column no role takes is told and fails the run, unless the
        // roles are given (the dialog's names; "ignore" says none).
        {"foreign/three_columns.tsv", {}, 1, {""}, true, {"apple,りんご,<00", "run,走る,<00", "quick,速い,<00"}},
        {"foreign/three_columns.tsv", {"--columns", utf8(u8"問題,答え,コメント")}, 0, {}, true,
         {"apple,りんご,<00'名詞", "run,走る,<00'動詞", "quick,速い,<00'形容詞"}},
        {"foreign/vocabulary_ja.tsv", {"--no-header", "--columns", "ignore,question,ignore,Back,-,ignore"}, 0, {},
         true, {"単語,意味,<00", "apple,りんご,<00", "run,走る,<00", "quick,速い,<00", "slowly,ゆっくり,<00"}},
        {"foreign/three_columns.tsv", {"--header", "--columns", "question,answer"}, 1, {""}, true,
         {"run,走る,<00", "quick,速い,<00"}},
        // Another program's answers are text unless read as answer syntax.
        {"foreign/sheets_utf8.csv", {}, 0, {}, true,
         {"electronic mail,e-mail \\(email\\),<00'spelling", "happy face,smile :\\),<00",
          "open bracket,\\[unbalanced,<00", "choice,a\\|b,<00'bar kept"}},
        {"foreign/sheets_utf8.csv", {"--answer-syntax"}, 0, {}, true,
         {"electronic mail,e-mail (email),<00'spelling", "happy face,smile :),<00", "open bracket,[unbalanced,<00",
          "choice,a|b,<00'bar kept"}},
        // The whole file unreadable.
        {"tool_empty.tsv", {}, 2, {""}, false, {}},
    };
    const std::string out = kTemp + "exchange_import.qzf";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fixture) + (c.options.empty() ? "" : " " + c.options[0]));
        std::filesystem::remove(out);
        const std::string in = kFixtures + c.fixture;
        std::vector<std::string> args = {"import", "--format", "tsv"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {in, out});
        const Result r = run_tool(args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(problem_places(r.err, in), c.places) << r.err;
        EXPECT_EQ(std::filesystem::exists(out), c.written);
        if (c.written) {
            EXPECT_EQ(card_lines(out), c.lines);
        }
    }
}

// Aiken files name no title: the questions go under the file's name.
TEST(ExchangeCommand, AikenTitleIsTheFileName) {
    struct Case {
        std::string name;
        std::string title_line;  // how the title line begins
    };
    const Case cases[] = {
        {utf8(u8"歴史クイズ.txt"), "#歴史クイズ,2"},
        {"quiz.v2.aiken", "#quiz.v2,2"},
        // A name that is no UTF-8 (a byte the terminal cannot show).
        {"bad\xFF.txt", "#bad\x81\xAC,2"},
    };
    const std::string out = kTemp + "exchange_aiken.qzf";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string in = kTemp + c.name;
        write_bytes(in, "Which is even?\nA. 3\nB. 4\nANSWER: B\n");
        std::filesystem::remove(out);
        const Result r = run_tool({"import", "--format", "aiken", in, out});
        EXPECT_EQ(r.status, 0);
        // Only the notice for the whole file, that the right choices alone are kept.
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        const std::vector<std::string> lines = card_lines(out);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_TRUE(lines[0].starts_with(c.title_line)) << lines[0];
        std::filesystem::remove(in);
    }
}

TEST(ExchangeCommand, ExitStatusesAndMessages) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
        bool prefix_only = false;
        int status = 2;
    };
    const std::string in = kFixtures + "tool_clean.tsv", out = kTemp + "exchange_unused.qzf";
    const std::string missing = kFixtures + "tool_no_such_file.tsv", folder_out = kMissingFolder + "out";
    const std::string export_usage = "usage: qzotool export --format", import_usage = "usage: qzotool import --format";
    const std::string plain = kTemp + "exchange_plain.qzf";
    write_bytes(plain, "QUIZODATA V1.4\r\n#t,200000\r\nq1,a,<00\r\nq2,b,<00\r\n");
    // An answer of 2^17 alternatives, more than an expansion gives.
    std::string groups;
    for (int i = 0; i < 17; ++i) groups += "[a|b]";
    const std::string many = kTemp + "exchange_many.qzf";
    write_bytes(many, "QUIZODATA V1.4\r\nq1," + groups + ",<00\r\n");
    const std::string cut = many + ": 1 card written, 1 card with only the alternatives expanded before the limit "
                                   "(the answer stands for too many)\n";
    const Case cases[] = {
        // Aiken takes the questions of the titles with 2-9 choices.
        {{"export", "--format", "aiken", kSample},
         kSample + ": 16 cards written, 14 left out (14 not multiple choice), 22 lines that are no questions skipped\n",
         false, 0},
        // Titles and questions only: nothing to tell.
        {{"export", "--format", "gift", plain}, "", false, 0},
        {{"export", "--format", "gift", many}, cut, false, 0},
        {{"export", "--format", "moodle-xml", many}, cut, false, 0},
        // Delimited text writes the answer as it is typed.
        {{"export", "--format", "tsv", many}, "", false, 0},
        {{"export"}, export_usage, true},
        {{"export", kSample}, export_usage, true},
        {{"export", "--format", "tsv", kSample, out, out}, export_usage, true},
        {{"export", "--format", "tsv", "--strict", kSample}, export_usage, true},
        {{"export", "--format", "xls", kSample}, "qzotool export: --format takes tsv, csv, gift, aiken or moodle-xml, not 'xls'\n"},
        {{"export", "--format=tsv", "--encoding=utf-16le", kSample},
         "qzotool export: --encoding takes utf-8, utf-8-bom or cp932, not 'utf-16le'\n"},
        {{"import", "--format", "tsv", "--quiet", in, out}, import_usage, true},
        {{"import", "--format", "tsv", "--columns", "question,bogus", in, out}, "qzotool import: --columns takes roles",
         true},
        {{"import", "--format=gift", "--encoding", "latin1", in, out},
         "qzotool import: --encoding takes utf-8, utf-8-bom, cp932, utf-16le or utf-16be, not 'latin1'\n"},
        {{"export", "--format", "tsv", missing}, missing + ": " + utf8(u8"ファイルが見つかりません。\n")},
        {{"import", "--format", "tsv", missing, out}, missing + ": " + utf8(u8"ファイルが見つかりません。\n")},
        {{"export", "--format", "gift", kSample, folder_out}, folder_out + ": " + utf8(u8"書き込みできません。\n")},
        {{"import", "--format", "csv", in, folder_out}, folder_out + ": " + utf8(u8"書き込みできません。\n")},
    };
    std::filesystem::remove(out);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const Result r = run_tool(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out.empty(), c.status == 2);
        EXPECT_EQ(c.prefix_only ? r.err.substr(0, c.err.size()) : r.err, c.err);
        // Nothing is created, neither OUT nor the folder it would be in.
        EXPECT_FALSE(std::filesystem::exists(out));
        EXPECT_FALSE(std::filesystem::exists(kMissingFolder));
    }
}

}  // namespace
}  // namespace qz::tool
