#include "core/exchange/delimited.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/document/data_file.h"
#include "core/exchange/exchange_io.h"
#include "core/image/image_path.h"
#include "core/syntax/answer.h"
#include "core/syntax/fields.h"

namespace qz {
namespace {

std::string fixture(const char* name) {
    std::ifstream in(std::string(QZ_SOURCE_DIR) + "/tests/data/exchange/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Japanese literals in this file are code page 932; files are UTF-8.
std::string u8(const char* cp932) { return cp932_to_utf8(cp932); }

TEST(TextEncoding, CodePage932BothWays) {
    struct Case {
        const char* cp932;
        const char* utf8;
    };
    const Case cases[] = {
        {"abc\\~", "abc\\~"},
        {"\x95\x5C", "\xE8\xA1\xA8"},              // trail byte 0x5C
        {"\xB1\xDF", "\xEF\xBD\xB1\xEF\xBE\x9F"},  // half-width katakana
        {"\x87\x40", "\xE2\x91\xA0"},              // NEC row 13
        {"\xFB\xFC", "\xE9\xAB\x99"},              // IBM extensions
        {"\xFA\x40", "\xE2\x85\xB0"},              // not the NEC-selected copy 0xEEEF
        {"\x81\xE6", "\xE2\x88\xB5"},              // JIS X 0208, not row 13 or 0xFA5B
        {"\xF0\x40", "\xEE\x80\x80"},              // user-defined area
        {"\x81\x60", "\xEF\xBD\x9E"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(cp932_to_utf8(c.cp932), c.utf8);
        std::vector<std::string> lost;
        EXPECT_EQ(utf8_to_cp932(c.utf8, &lost), c.cp932);
        EXPECT_TRUE(lost.empty());
    }
    // The JIS forms of the same characters, and what the code page lacks.
    std::vector<std::string> lost;
    EXPECT_EQ(utf8_to_cp932("\xE3\x80\x9C\xE2\x88\x92", &lost), "\x81\x60\x81\x7C");
    EXPECT_EQ(utf8_to_cp932("a\xF0\x9F\x98\x80" "b\xC3\xA9", &lost), "a\x81\xAC" "b\x81\xAC");
    EXPECT_EQ(lost, (std::vector<std::string>{"\xF0\x9F\x98\x80", "\xC3\xA9"}));
    std::size_t bad = 0;
    EXPECT_EQ(cp932_to_utf8("a\x85\x40" "b\x81", &bad), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(bad, 2u);
}

TEST(TextEncoding, Detection) {
    struct Case {
        std::string bytes;
        TextEncoding encoding;
    };
    const std::string japanese = u8("日本の首都は？,東京\n");
    const Case cases[] = {
        {"\xEF\xBB\xBF" "a,b", TextEncoding::utf8_bom},
        {"\xFF\xFE" "a\0", TextEncoding::utf16le},
        {"\xFE\xFF" "\0a", TextEncoding::utf16be},
        {"plain,ascii\n", TextEncoding::utf8},
        {japanese, TextEncoding::utf8},
        {"\x93\xFA\x96\x7B,\x93\x8C\x8B\x9E\n", TextEncoding::cp932},
        {japanese + japanese + "\xFF bad\n", TextEncoding::utf8},  // a stray byte among UTF-8
        // Code page 932 that reads as one bad byte and many good sequences of UTF-8.
        {[] { std::string s; for (int i = 0; i < 40; ++i) s += "\x9F\xCE"; return s; }() + "\x81\xAC" "D\t\x81\x7E\r\n",
         TextEncoding::cp932},
        // UTF-16 without a byte-order mark, either way round.
        {std::string("a\0\t\0\xE5\x65\r\0\n\0", 10), TextEncoding::utf16le},
        {std::string("\0a\0\t\x65\xE5\0\r\0\n", 10), TextEncoding::utf16be},
        // NUL bytes that are no UTF-16 text stay binary.
        {std::string("PK\x03\x04\0\0\x01\x02", 8), TextEncoding::utf8},
    };
    for (const Case& c : cases) EXPECT_EQ(detect_encoding(c.bytes), c.encoding) << c.bytes;
    const DecodedText utf16 = decode_text(std::string("\xFF\xFE" "A\0\x3D\xD8\x00\xDE", 8), TextEncoding::utf16le);
    EXPECT_EQ(utf16.text, "A\xF0\x9F\x98\x80");
}

struct FileCase {
    const char* file;
    TextEncoding encoding;
    char separator;
    bool names_row;
    int cards;
    int refused;
    const char* question;  // of the card at `index`
    const char* answer;
    int index;
    int group;
};

TEST(DelimitedImport, FilesAsSpreadsheetsSaveThem) {
    const FileCase cases[] = {
        {"spreadsheet_cp932.csv", TextEncoding::cp932, ',', true, 5, 0, "彼は\"はい\"と言った。何と？", "はい", 2, 0},
        {"spreadsheet_cp932.csv", TextEncoding::cp932, ',', true, 5, 0, "二行の\r\n問題", "答え", 3, 2},
        {"spreadsheet_cp932.csv", TextEncoding::cp932, ',', true, 5, 0, "1,000 の次は？", "1,001", 1, 0},
        {"spreadsheet_utf8_bom.csv", TextEncoding::utf8_bom, ',', true, 3, 0, "#で始まる問題", "シャープ", 1, 0},
        {"spreadsheet_utf8_bom.csv", TextEncoding::utf8_bom, ',', true, 3, 0, "\\i\"map.bmp\"の島は？", "北海道", 2, 0},
        {"spreadsheet_semicolon.csv", TextEncoding::utf8, ';', true, 3, 0, "Zwei\r\nZeilen", "a;b", 1, 0},
        // Another program's answer: its brackets and bar are text.
        {"two_columns.tsv", TextEncoding::utf8, '\t', false, 3, 0, "grape", "\\[ぶどう\\|葡萄\\]", 2, 0},
        {"invalid_utf8.csv", TextEncoding::utf8, ',', true, 3, 1, "北海道の道庁所在地は？", "札幌", 2, 0},
    };
    GroupNames groups = builtin_group_names();
    groups[1] = "地理";
    groups[2] = "歴史";
    for (const FileCase& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " #" + std::to_string(c.index));
        const std::string bytes = fixture(c.file);
        const DelimitedLayout layout = detect_delimited(bytes);
        EXPECT_EQ(layout.encoding, c.encoding);
        EXPECT_EQ(layout.separator, c.separator);
        EXPECT_EQ(layout.names_row, c.names_row);
        const ImportResult r = read_delimited(bytes, layout, groups);
        ASSERT_EQ(static_cast<int>(r.cards.size()), c.cards);
        EXPECT_EQ(r.count(ImportProblem::refused), c.refused);
        EXPECT_EQ(r.cards[c.index].fields.question, c.question);
        EXPECT_EQ(r.cards[c.index].fields.answer, c.answer);
        EXPECT_EQ(r.cards[c.index].fields.group, c.group);
        // Every card becomes a line that reads back.
        std::vector<ImportProblem> problems;
        EXPECT_EQ(lines_from_cards(r.cards, 14, &problems).size(), r.cards.size());
        EXPECT_TRUE(problems.empty());
    }
}

TEST(DelimitedImport, EveryBadRowIsToldWithItsLine) {
    const std::string bytes = fixture("bad_rows.csv");
    const ImportResult r = read_delimited(bytes, detect_delimited(bytes), builtin_group_names());
    struct Expected {
        ImportProblem::Kind kind;
        int row;
        const char* reason_start;
    };
    const Expected expected[] = {
        {ImportProblem::refused, 3, "列が多すぎます"},
        {ImportProblem::refused, 4, "列が足りません"},
        {ImportProblem::substituted, 5, "Shift-JIS にない文字 U+1F600"},
        {ImportProblem::refused, 6, "途中にバイトオーダーマーク"},
        {ImportProblem::refused, 7, "問題が空です"},
        {ImportProblem::refused, 8, "引用符"},
    };
    std::string told;
    for (const ImportProblem& p : r.problems) told += problem_text(p) + "\n";
    ASSERT_EQ(r.problems.size(), std::size(expected)) << told;
    for (std::size_t i = 0; i < r.problems.size(); ++i) {
        SCOPED_TRACE(problem_text(r.problems[i]));
        EXPECT_EQ(r.problems[i].kind, expected[i].kind);
        EXPECT_EQ(r.problems[i].row, expected[i].row);
        EXPECT_TRUE(r.problems[i].reason.starts_with(expected[i].reason_start));
    }
    ASSERT_EQ(r.cards.size(), 2u);  // "ok" and the emoji row, with "〓"
    EXPECT_EQ(r.cards[1].fields.question, "emoji 〓");
}

TEST(DelimitedImport, WholeFileFailures) {
    struct Case {
        std::string bytes;
        const char* failure;
    };
    const Case cases[] = {
        {"", "ファイルが空です。"},
        {std::string("PK\x03\x04\0\0\x01", 7), "テキストファイルではありません（NUL バイトがあります）。"},
    };
    for (const Case& c : cases) {
        ImportRequest request;
        request.format = ExchangeFormat::csv;
        const ImportResult r = import_cards(c.bytes, request);
        EXPECT_EQ(r.failure, c.failure);
        EXPECT_TRUE(r.cards.empty());
    }
    // A 10 MB field is refused with its row; the rows around it are read.
    std::string big = "a,b\n\"" + std::string(10 << 20, 'x') + "\",y\nc,d\n";
    const ImportResult r = read_delimited(big, detect_delimited(big), builtin_group_names());
    EXPECT_EQ(r.cards.size(), 2u);
    ASSERT_EQ(r.count(ImportProblem::refused), 1);
    EXPECT_EQ(r.problems[0].row, 2);
    EXPECT_EQ(r.problems[0].column, 1);
}

TEST(DelimitedImport, HeaderLinesAndNamedColumns) {
    const std::string file = u8(
        "#separator:tab\n#html:true\n#guid column:1\n#tags column:4\n"
        "g1\ta&amp;b<br>c\t<b>x</b> <img src=\"pic 1.png\">\t歴史 other\n");
    GroupNames groups = builtin_group_names();
    groups[2] = "歴史";
    const DelimitedLayout layout = detect_delimited(file);
    EXPECT_TRUE(layout.separator_from_header);
    EXPECT_TRUE(layout.html);
    EXPECT_EQ(layout.columns, (std::vector<ColumnRole>{ColumnRole::ignore, ColumnRole::question,
                                                       ColumnRole::answer, ColumnRole::tags}));
    const ImportResult r = read_delimited(file, layout, groups);
    ASSERT_EQ(r.cards.size(), 1u);
    EXPECT_EQ(r.cards[0].fields.question, "a&b\r\nc");
    EXPECT_EQ(r.cards[0].fields.answer, "x \\i\"pic 1.png\"");
    EXPECT_EQ(r.cards[0].fields.group, 2);
}

// A document with every kind of line and the escapes a field can need.
std::string tricky_document() {
    return "QUIZODATA V1.4\r\n"
           "'a comment\r\n"
           "lone,question before any title,<00\r\n"
           "#Title\\, with comma,310100'title comment\r\n"
           "\\#hash first,'apostrophe,[11'comment with \"quotes\"\r\n"
           "tab\there,\"quoted\",Z22\r\n"
           "two\\nlines,[a|b](c),?31\r\n"
           "\\i\"map.bmp\"picture & <tag>,\\i\"flag.png\",<00\r\n"
           "$Group=,Geo graphy,History\r\n"
           "\r\n"
           "#Second,000000\r\n"
           "back\\\\slash;semi,answer,@90\r\n";
}

TEST(DelimitedRoundTrip, ExportImportsBackToTheSameLines) {
    struct Case {
        std::string document;
        ExchangeFormat format;
        TextEncoding encoding;
    };
    std::ifstream in(std::string(QZ_SOURCE_DIR) + "/samples/sample.qzf", std::ios::binary);
    std::ostringstream sample;
    sample << in.rdbuf();
    const Case cases[] = {
        {sample.str(), ExchangeFormat::tsv, TextEncoding::utf8},
        {sample.str(), ExchangeFormat::csv, TextEncoding::cp932},
        {tricky_document(), ExchangeFormat::tsv, TextEncoding::utf8_bom},
        {tricky_document(), ExchangeFormat::csv, TextEncoding::utf8},
        {tricky_document(), ExchangeFormat::csv, TextEncoding::cp932},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(format_key(c.format)) + " " + encoding_name(c.encoding));
        CardDocument doc;
        read_data_file(c.document, doc);
        int skipped = 0;
        const std::vector<ExchangeCard> cards = cards_from_document(doc, nullptr, &skipped);
        const ExportResult exported = export_cards(cards, c.format, {c.encoding, {}});
        EXPECT_EQ(exported.cards, static_cast<int>(cards.size()));
        ImportRequest request;
        request.format = c.format;
        request.groups = document_group_names(doc);
        const ImportResult imported = import_cards(exported.bytes, request);
        EXPECT_TRUE(imported.problems.empty()) << problem_text(imported.problems.front());
        std::vector<ImportProblem> problems;
        const std::vector<DataLine> lines = lines_from_cards(imported.cards, doc.version, &problems);
        EXPECT_TRUE(problems.empty());
        // The title and question lines, with the titles that have questions.
        std::vector<std::string> expected;
        std::string pending_title;
        for (const DataLine& line : doc) {
            if (line.kind() == LINE_TITLE) pending_title = std::string(line.text());
            if (!is_question(&line)) continue;
            if (!pending_title.empty()) expected.push_back(pending_title);
            pending_title.clear();
            expected.emplace_back(line.text());
        }
        std::vector<std::string> got;
        for (const DataLine& line : lines) got.emplace_back(line.text());
        EXPECT_EQ(got, expected);
    }
}

TEST(DelimitedExport, HeaderAndQuotingOtherToolsRead) {
    CardDocument doc;
    read_data_file(tricky_document(), doc);
    const std::string csv = export_cards(cards_from_document(doc), ExchangeFormat::csv, {}).bytes;
    const std::string expected_head =
        "#separator:Comma\r\n#html:true\r\n"
        "#columns:Front,Back,Tags,Deck,Title settings,History,Group,Answer number,Comment\r\n"
        "#tags column:3\r\n#deck column:4\r\n"
        "lone,question before any title,,,,\xC3\x97\xC3\x97\xC3\x97\xC3\x97\xC3\x97,0,0,\r\n"
        "\"#hash first\",'apostrophe,Geo_graphy,\"Title, with comma\",310100'title comment,";
    EXPECT_EQ(csv.substr(0, expected_head.size()), expected_head);
    EXPECT_NE(csv.find("two<br>lines"), std::string::npos);
    EXPECT_NE(csv.find("\"<img src=\"\"map.bmp\"\">picture &amp; &lt;tag&gt;\""), std::string::npos);
    EXPECT_NE(csv.find(",Geo_graphy,"), std::string::npos);
}

// Whether the first row names the columns, told the way a person would.
TEST(DelimitedImport, HeaderRowsAsAPersonTellsThem) {
    struct Case {
        const char* text;  // code page 932, read as UTF-8
        bool names_row;
    };
    const Case cases[] = {
        {"No.\t単語\t品詞\n1\tapple\t名詞\n2\trun\t動詞\n", true},     // "単語" is a known name
        {"No.\tword_en\tkind\n1\tapple\tnoun\n2\trun\tverb\n", true},  // numbers under a name
        {"English\t日本語\tメモ欄\ndog\t犬\tanimal\ncat\t猫\tpet\n", true},  // no row of its shape
        {"apple\tりんご\t名詞\nrun\t走る\t動詞\nquick\t速い\t形容詞\n", false},  // rows of its shape
        {"1\tone\n2\ttwo\n", false},                                    // a number is no name
        {"dog\t犬\t\ncat\t猫\tpet\n", false},                             // an empty cell is no name
        {"kind\tnoun\nkind\tverb\nx\ty\n", false},                        // repeated below
        {"only one\trow\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(detect_delimited(u8(c.text)).names_row, c.names_row);
        bool no = false;
        DelimitedChoice choice;
        choice.names_row = &no;
        EXPECT_FALSE(detect_delimited(u8(c.text), choice).names_row);
    }
}

// Backslashes before ( ) [ ] | # ' i: after export and import every line
// expands to the same answers and shows the same texts and pictures, and a
// line the editor writes itself comes back byte for byte.
TEST(DelimitedRoundTrip, BackslashesKeepWhatTheQuizSees) {
    const char* const lines[] = {
        "q1,x\\\\|y,<00",                  // alternatives "x\" and "y"
        "q2,(\\#a|b),<00",                 // "#a", "b", ""
        "\\\\i\"a.png\",text not picture,<00",
        "q4,100\\\\|百円,<00",              // the yen sign in code page 932
        "q5,x\\\\\\|y,<00",                // one alternative "x\|y"
        "q6,it\\'s [a|b],<00",
        "q7,\\\\\\\\(a),<00",               // "\\a", "\\"
        "q8,a\\\\,<00'c \\\\i\"q.png\" text",
        "q9,\\表,<00",
        "q10,[\\\\i\"p.png\"|b],<00",
        "q11,\\i\"p.png\"|b,<00",           // a picture
        "q12,plain \\ back,<00",
        "q13,a,<00'\t ",                  // a comment of blanks only
    };
    auto images = [](std::string_view text) {
        std::vector<std::string> paths;
        for (const ImageReference& r : find_image_references(text)) paths.push_back(r.path);
        return paths;
    };
    for (const bool html : {false, true}) {
        for (const ExchangeFormat format : {ExchangeFormat::tsv, ExchangeFormat::csv}) {
            for (const TextEncoding encoding : {TextEncoding::utf8, TextEncoding::cp932}) {
                SCOPED_TRACE(std::string(format_key(format)) + " " + encoding_name(encoding) +
                             (html ? " html" : ""));
                std::string text = "QUIZODATA V1.4\r\n";
                for (const char* line : lines) text += std::string(line) + "\r\n";
                // A picture in a question makes the export HTML.
                if (html) text += "\\i\"pic.png\",html,<00\r\n";
                CardDocument doc;
                read_data_file(text, doc);
                const ExportResult exported = export_cards(cards_from_document(doc), format, {encoding, {}});
                ImportRequest request;
                request.format = format;
                const ImportResult imported = import_cards(exported.bytes, request);
                ASSERT_TRUE(imported.problems.empty()) << problem_text(imported.problems.front());
                std::vector<ImportProblem> problems;
                const std::vector<DataLine> back = lines_from_cards(imported.cards, 14, &problems);
                ASSERT_TRUE(problems.empty()) << problem_text(problems.front());
                ASSERT_EQ(back.size(), static_cast<std::size_t>(doc.count()));
                for (int i = 0; i < doc.count(); ++i) {
                    const DataLine& before = *doc.line_at(i);
                    const DataLine& after = back[static_cast<std::size_t>(i)];
                    SCOPED_TRACE(std::string(before.text()) + " -> " + std::string(after.text()));
                    EXPECT_EQ(expand_answer(after.c_str()), expand_answer(before.c_str()));
                    const QuestionFields a = question_display_fields(before.c_str(), {}, 14);
                    const QuestionFields b = question_display_fields(after.c_str(), {}, 14);
                    EXPECT_EQ(b.question, a.question);
                    EXPECT_EQ(b.comment, a.comment);
                    EXPECT_EQ(images(after.text()), images(before.text()));
                    // What the editor composes from the shown fields.
                    QuestionEdit edit;
                    edit.question = a.question;
                    edit.answer = a.answer;
                    edit.comment = a.comment;
                    if (compose_question_line(nullptr, edit, {}, 14) == before.text()) {
                        EXPECT_EQ(after.text(), before.text());
                    }
                }
            }
        }
    }
}

// Answers of other programs are text unless told; this program's export
// keeps its answer syntax.
TEST(DelimitedImport, AnswerSyntaxOnlyWhereTheFileSaysSo) {
    const std::string foreign = "q\t[a|b](c)\n";
    const ImportResult plain = read_delimited(foreign, detect_delimited(foreign), builtin_group_names());
    ASSERT_EQ(plain.cards.size(), 1u);
    EXPECT_EQ(plain.cards[0].fields.answer, "\\[a\\|b\\]\\(c\\)");
    const bool syntax = true;
    DelimitedChoice choice;
    choice.answer_syntax = &syntax;
    const ImportResult told = read_delimited(foreign, detect_delimited(foreign, choice), builtin_group_names());
    EXPECT_EQ(told.cards[0].fields.answer, "[a|b](c)");
    CardDocument doc;
    read_data_file("QUIZODATA V1.4\r\nq,[a|b](c),<00\r\n", doc);
    const std::string own = export_cards(cards_from_document(doc), ExchangeFormat::tsv, {}).bytes;
    const DelimitedLayout layout = detect_delimited(own);
    EXPECT_TRUE(layout.own_export);
    EXPECT_EQ(read_delimited(own, layout, builtin_group_names()).cards[0].fields.answer, "[a|b](c)");
}

}  // namespace
}  // namespace qz
