#include "document/data_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace qz {
namespace {

using namespace std::string_literals;

constexpr char kHeader[] = "QUIZODATA V1.4\r\n";

std::vector<std::string> texts(const CardDocument& doc) {
    std::vector<std::string> out;
    for (const DataLine& line : doc)
        out.push_back(line.text());
    return out;
}

std::vector<int> kinds(const CardDocument& doc) {
    std::vector<int> out;
    for (const DataLine& line : doc)
        out.push_back(line.kind());
    return out;
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What reading and writing a file gives.
std::string normalized(const std::string& bytes) {
    CardDocument doc;
    EXPECT_EQ(read_data_file(bytes, doc).status, LoadStatus::ok);
    return write_data_file(doc);
}

// The number of text lines after the header line, counted without the
// reader: NUL bytes do not count; CR LF, CR, LF and 0x01 end a line; text
// after the last line break is one more line. `bytes` starts with a valid
// header.
int text_line_count(std::string bytes) {
    std::erase(bytes, '\0');
    std::size_t i = 14;
    if (i < bytes.size()) i += bytes.substr(i, 2) == "\r\n" ? 2 : 1;
    int count = 0;
    bool open_line = false;
    for (; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n' || c == '\001') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            ++count;
            open_line = false;
        } else {
            open_line = true;
        }
    }
    return count + (open_line ? 1 : 0);
}

// ---------------------------------------------------------------------------
// normalize_line_breaks

TEST(NormalizeLineBreaks, Table) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"", "\001"},
        {"a", "a\001"},
        {"a\r\n", "a\001"},
        {"a\r\nb", "a\001b\001"},
        {"a\rb", "a\001b\001"},
        {"a\nb", "a\001b\001"},
        {"a\r\r\nb", "a\001\001b\001"},
        {"a\n\rb", "a\001\001b\001"},
        {"a\r\n\r\n", "a\001\001"},
        {"a\001b", "a\001b\001"},
        {"a\001", "a\001"},
        {"\r\n", "\001"},
        {"\x83\x5C\r\n", "\x83\x5C\001"},  // trail byte 0x5C
        {"\x81\x7C\n", "\x81\x7C\001"},    // trail byte '|'
        {"\x81\r\n", "\x81\001"},          // lead byte without a trail byte
        {"\x81", "\x81\001"},
        {"a\0b\r\n"s, "ab\001"},  // NUL bytes go, the rest stays
        {"\0abc\0"s, "abc\001"},
        {"a\r\n\0\r\n"s, "a\001\001"},
        {"\x83\0\x5C\n"s, "\x83\x5C\001"},
    };
    for (const Case& c : cases) {
        std::string buffer = c.in;
        normalize_line_breaks(buffer);
        EXPECT_EQ(buffer, c.out) << testing::PrintToString(c.in);
    }
}

// The rewrite done character by character (double-byte pairs copied as
// units), to compare with the normaliser on random text.
std::string normalize_by_characters(std::string in) {
    std::erase(in, '\0');
    auto lead = [](unsigned char c) {
        return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    };
    auto trail = [](unsigned char c) {
        return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
    };
    std::string out;
    for (std::size_t i = 0; i < in.size();) {
        if (i + 1 < in.size() && lead(in[i]) && trail(in[i + 1])) {
            out += in.substr(i, 2);
            i += 2;
        } else if (in[i] == '\r') {
            i += (i + 1 < in.size() && in[i + 1] == '\n') ? 2 : 1;
            out += '\001';
        } else if (in[i] == '\n') {
            ++i;
            out += '\001';
        } else {
            out += in[i++];
        }
    }
    if (out.empty() || out.back() != '\001') out += '\001';
    return out;
}

TEST(NormalizeLineBreaks, AgreesWithCharacterWalkOnRandomText) {
    std::mt19937 rng(7);
    const std::string alphabet = "ab\r\n\001\x81\x83\x5C\x40\x7F\xE0\xFC\xFD\x0D\x0A"s + '\0';
    for (int round = 0; round < 2000; ++round) {
        std::string in(rng() % 40, 'x');
        for (char& c : in)
            c = alphabet[rng() % alphabet.size()];
        std::string buffer = in;
        normalize_line_breaks(buffer);
        ASSERT_EQ(buffer, normalize_by_characters(in)) << testing::PrintToString(in);
    }
}

// ---------------------------------------------------------------------------
// Reading: line breaks

TEST(ReadDataFile, LineBreakForms) {
    struct Case {
        std::string body;  // after the header line
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"'a", {"'a"}},              // no line break at the end
        {"'a\r\n", {"'a"}},          // one CR LF: no extra line
        {"'a\r\n\r\n", {"'a", ""}},  // two: one blank line at the end
        {"'a\r\n\r\n\r\n", {"'a", "", ""}},
        {"'a\r\r\n'b", {"'a", "", "'b"}},  // CR CR LF: a blank line between
        {"'a\r'b\r", {"'a", "'b"}},        // lone CR
        {"'a\n'b\n", {"'a", "'b"}},        // lone LF
        {"'a\n\r'b", {"'a", "", "'b"}},    // LF then CR: two line breaks
        {"'a\001'b", {"'a", "'b"}},        // 0x01 in the data ends a line
        {"\r\n'a", {"", "'a"}},            // a blank first line
        {"\r\n", {""}},
        {"'\x95\x5C\r\n'\x83\x5C", {"'\x95\x5C", "'\x83\x5C"}},  // trail byte 0x5C at line ends
        {"'a\x81\r\n'b", {"'a\x81", "'b"}},                      // lead byte before the line break
        {"'a\x81", {"'a\x81"}},  // lead byte as the last byte of the file
    };
    for (const Case& c : cases) {
        CardDocument doc;
        ASSERT_EQ(read_data_file(kHeader + c.body, doc).status, LoadStatus::ok);
        EXPECT_EQ(texts(doc), c.lines) << testing::PrintToString(c.body);
    }
}

TEST(ReadDataFile, HeaderLineBreakForms) {
    for (const std::string header :
         {"QUIZODATA V1.4\r\n", "QUIZODATA V1.4\r", "QUIZODATA V1.4\n", "QUIZODATA V1.4\001"}) {
        CardDocument doc;
        ASSERT_EQ(read_data_file(header + "'x\r\n", doc).status, LoadStatus::ok);
        EXPECT_EQ(texts(doc), std::vector<std::string>{"'x"}) << testing::PrintToString(header);
    }
}

TEST(ReadDataFile, HeaderAloneGivesOneBlankLine) {
    for (const std::string file : {"QUIZODATA V1.4", "QUIZODATA V1.4\r\n", "QUIZODATA V1.3\n"}) {
        CardDocument doc;
        ASSERT_EQ(read_data_file(file, doc).status, LoadStatus::ok);
        EXPECT_EQ(texts(doc), std::vector<std::string>{""});
        EXPECT_EQ(kinds(doc), std::vector<int>{LINE_TEXT});
    }
}

// NUL bytes are dropped: every other byte and every line after them stay,
// and the reader tells how many there were and on which file line the
// first stood.
TEST(ReadDataFile, NulBytesAreDroppedAndReported) {
    struct Case {
        std::string file;
        std::vector<std::string> texts;
        std::size_t count;
        int first_line;
    };
    const Case cases[] = {
        {"QUIZODATA V1.4\r\nQ\r\nli\0ne2,a,<00\r\nQ\r\nlast\r\n"s,
         {"'Q", "line2,a,<00", "'Q", "'last"}, 1, 3},
        {kHeader + "'one\r\n\0'two\0\0\r\n"s, {"'one", "'two"}, 3, 3},
        {"QUIZ\0ODATA V1.4\0\r\n'a"s, {"'a"}, 2, 1},
        {kHeader + "'one\r\n'two"s, {"'one", "'two"}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.file));
        CardDocument doc;
        const LoadResult result = read_data_file(c.file, doc);
        ASSERT_EQ(result.status, LoadStatus::ok);
        EXPECT_EQ(texts(doc), c.texts);
        EXPECT_EQ(result.nul_bytes.count, c.count);
        EXPECT_EQ(result.nul_bytes.first_line, c.first_line);
    }
    EXPECT_EQ(nul_bytes_message(3),
              "ファイルにNULバイトが含まれていました（最初は3行目）。NULバイトを削除して読み込みました。");
}

// ---------------------------------------------------------------------------
// Reading: header and version

TEST(ReadDataFile, HeaderAndVersion) {
    struct Case {
        std::string file;
        LoadStatus status;
        bool magic_matched;
        int version;  // when ok
    };
    const Case cases[] = {
        {"QUIZODATA V1.2\r\n", LoadStatus::ok, true, 12},
        {"QUIZODATA V1.3\r\n", LoadStatus::ok, true, 13},
        {"QUIZODATA V1.4\r\n", LoadStatus::ok, true, 14},
        {"quizodata v1.4\r\n", LoadStatus::not_data_file, false, 0},
        {"QUIZODATA v1.4\r\n", LoadStatus::not_data_file, false, 0},
        {" QUIZODATA V1.4\r\n", LoadStatus::not_data_file, false, 0},
        {"QUIZODATA", LoadStatus::not_data_file, false, 0},
        {"", LoadStatus::not_data_file, false, 0},
        {"QUIZO\0ATA V1.4\r\n"s, LoadStatus::not_data_file, false, 0},
        {"QUIZODATA V1.1\r\n", LoadStatus::bad_version, true, 0},
        {"QUIZODATA V1.5\r\n", LoadStatus::bad_version, true, 0},
        {"QUIZODATA V2.4\r\n", LoadStatus::bad_version, true, 0},
        {"QUIZODATA V0.9", LoadStatus::bad_version, true, 0},
        {"QUIZODATA V1.40\r\n", LoadStatus::bad_header, true, 0},
        {"QUIZODATA V1.4a\r\n", LoadStatus::bad_header, true, 0},
        {"QUIZODATA V1.4 \r\n", LoadStatus::bad_header, true, 0},
        {"QUIZODATA V1,4\r\n", LoadStatus::bad_header, true, 0},
        {"QUIZODATA Vx.4\r\n", LoadStatus::bad_header, true, 0},
        {"QUIZODATA V1.\r\n", LoadStatus::bad_header, true, 0},
        {"QUIZODATA V1\r\n.4\r\n", LoadStatus::bad_header, true, 0},
        {"QUIZODATA V", LoadStatus::bad_header, true, 0},
        {"QUIZODATA V1.4"s.substr(0, 13), LoadStatus::bad_header, true, 0},
        {"QUIZODATA V1\0.4\r\n"s, LoadStatus::ok, true, 14},  // the NUL byte goes
        {"QUIZODATA V1.\x81\x40\r\n", LoadStatus::bad_header, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.file));
        CardDocument doc;
        doc.append(DataLine(LINE_TEXT, "'old"));
        const LoadResult result = read_data_file(c.file, doc);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.magic_matched, c.magic_matched);
        if (c.status == LoadStatus::ok) {
            EXPECT_EQ(doc.version, c.version);
            EXPECT_EQ(doc.count(), 1);  // the header alone: one blank line
        } else {
            EXPECT_EQ(doc.count(), 0);  // a failed load leaves no lines
        }
    }
}

TEST(LoadStatusMessage, Texts) {
    EXPECT_EQ(load_status_message(LoadStatus::ok), nullptr);
    EXPECT_STREQ(load_status_message(LoadStatus::not_data_file),
                 "Quizo データファイルではありません。");
    EXPECT_STREQ(load_status_message(LoadStatus::bad_header), "ヘッダの形式が違います。");
    EXPECT_STREQ(load_status_message(LoadStatus::bad_version), "データのバージョンが違います。");
    // Code page 932 bytes: "ヘッダ" is 83 77 83 62 83 5F.
    EXPECT_EQ(std::string(load_status_message(LoadStatus::bad_header)).substr(0, 6),
              "\x83\x77\x83\x62\x83\x5F");
}

// ---------------------------------------------------------------------------
// Classifying lines

struct ClassifyCase {
    std::string line;
    int version;
    int kind;
    std::string text;
};

void PrintTo(const ClassifyCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.line) << " v" << c.version;
}

class ClassifyDataLine : public testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyDataLine, KindAndText) {
    const ClassifyCase& c = GetParam();
    const DataLine line = classify_data_line(c.line.c_str(), c.version);
    EXPECT_EQ(line.kind(), c.kind);
    EXPECT_EQ(line.text(), c.text);
}

const ClassifyCase kClassifyCases[] = {
    // Blank lines.
    {"", 14, LINE_TEXT, ""},
    {"\001#t,000000", 14, LINE_TEXT, ""},
    // Title classifier.
    {"#t,123456", 14, LINE_TITLE, "#t,123456"},
    {"#t,000000'", 14, LINE_TITLE, "#t,000000'"},
    {"#Chapter 1,311000'first part", 12, LINE_TITLE, "#Chapter 1,311000'first part"},
    {"#,000000", 14, LINE_TITLE, "#,000000"},
    {"#a\\,b,000000", 14, LINE_TITLE, "#a\\,b,000000"},
    {"#\x95\x5C,000000", 14, LINE_TITLE, "#\x95\x5C,000000"},
    {"#t,123456\001rest", 14, LINE_TITLE, "#t,123456"},
    {"#t,12345", 14, LINE_TEXT, "'t,12345"},
    {"#t,1234567", 14, LINE_TEXT, "'t,1234567"},
    {"#t,12345x", 14, LINE_TEXT, "'t,12345x"},
    {"#only a title", 14, LINE_TEXT, "'only a title"},
    {"#t\\,000000", 14, LINE_TEXT, "'t\\,000000"},
    {"#t,000\001000", 14, LINE_TEXT, "'t,000"},  // the digits end with the line
    {"#", 14, LINE_TEXT, ""},
    {"#\001#t,000000", 13, LINE_TEXT, ""},
    // Comment classifier.
    {"'", 14, LINE_TEXT, ""},
    {"'\001abc", 14, LINE_TEXT, ""},
    {"''", 14, LINE_TEXT, "''"},
    {"'a comment", 12, LINE_TEXT, "'a comment"},
    {"'x\001y", 14, LINE_TEXT, "'x"},
    // Settings classifier (format 1.4).
    {"$TimeLimit=30", 14, LINE_TIME_LIMIT, "$TimeLimit=30"},
    {"$timelimit=30'c", 14, LINE_TIME_LIMIT, "$timelimit=30'c"},
    {"$Group=a,b", 14, LINE_GROUP, "$Group=a,b"},
    {"$MESSAGE=hi", 14, LINE_MESSAGE, "$MESSAGE=hi"},
    {"$FontTitle=12,shiftjis,x", 14, LINE_FONT_TITLE, "$FontTitle=12,shiftjis,x"},
    {"$FontQuestion=12", 14, LINE_FONT_QUESTION, "$FontQuestion=12"},
    {"$FontHint=", 14, LINE_FONT_HINT, "$FontHint="},
    {"$FontAnswer=-16,1,Arial'big", 14, LINE_FONT_ANSWER, "$FontAnswer=-16,1,Arial'big"},
    {"$FontGroup=9", 14, LINE_FONT_GROUP, "$FontGroup=9"},
    {"$FontComment=9,ANSI,Arial", 14, LINE_FONT_COMMENT, "$FontComment=9,ANSI,Arial"},
    {"$Unknown=1", 14, LINE_TEXT, "'Unknown=1"},
    {"$Group", 14, LINE_TEXT, "'Group"},
    {"$FontQuestionXYZW=12", 14, LINE_TEXT, "'FontQuestionXYZW=12"},
    {"$=1", 14, LINE_TEXT, "'=1"},
    {"$Group\001=x", 14, LINE_TEXT, "'Group"},  // the '=' lies on the next line
    {"$", 14, LINE_TEXT, ""},
    {"$\001$Group=a", 14, LINE_TEXT, ""},
    // "$" lines in formats 1.2 and 1.3 are questions.
    {"$Group=a,b", 13, LINE_TEXT, "'$Group=a,b"},
    {"$TimeLimit=30", 12, LINE_TEXT, "'$TimeLimit=30"},
    {"$a,b,<00", 13, LINE_TEXT, "$a,b,<00"},
    {"$", 13, LINE_TEXT, "'$"},
    // Question classifier.
    {"a,b,<00", 14, LINE_TEXT, "a,b,<00"},
    {"a,b,[99'x", 14, LINE_TEXT, "a,b,[99'x"},
    {",x,<00", 14, LINE_TEXT, ",x,<00"},
    {"a\\,b,c,<00", 14, LINE_TEXT, "a\\,b,c,<00"},
    {"\\#1,x,<00", 14, LINE_TEXT, "\\#1,x,<00"},
    {"\\i\"x,y.bmp\",a,<00", 14, LINE_TEXT, "\\i\"x,y.bmp\",a,<00"},
    {"\x83\x5C,\x95\x5C,<00", 14, LINE_TEXT, "\x83\x5C,\x95\x5C,<00"},
    {"a,b,<00\001more", 14, LINE_TEXT, "a,b,<00"},
    {"a,b,<0", 14, LINE_TEXT, "'a,b,<0"},
    {"a,b,\\00", 14, LINE_TEXT, "'a,b,\\00"},
    {"a,b,<00x", 14, LINE_TEXT, "'a,b,<00x"},
    {"a,b,;00", 14, LINE_TEXT, "'a,b,;00"},
    {"\\ix,b,<00", 14, LINE_TEXT, "'\\ix,b,<00"},
    {"question", 14, LINE_TEXT, "'question"},
    {"q\001,a,<00", 14, LINE_TEXT, "'q"},
};
INSTANTIATE_TEST_SUITE_P(Rules, ClassifyDataLine, testing::ValuesIn(kClassifyCases));

TEST(ReadDataFile, Version13GroupLineBecomesComment) {
    CardDocument doc;
    ASSERT_EQ(read_data_file("QUIZODATA V1.3\r\n$Group=a,b\r\n$Group=a,b,<00\r\n", doc).status,
              LoadStatus::ok);
    EXPECT_EQ(texts(doc), (std::vector<std::string>{"'$Group=a,b", "$Group=a,b,<00"}));
    EXPECT_EQ(kinds(doc), (std::vector<int>{LINE_TEXT, LINE_TEXT}));

    ASSERT_EQ(read_data_file("QUIZODATA V1.4\r\n$Group=a,b\r\n$Other=1\r\n$\r\n", doc).status,
              LoadStatus::ok);
    EXPECT_EQ(texts(doc), (std::vector<std::string>{"$Group=a,b", "'Other=1", ""}));
    EXPECT_EQ(kinds(doc), (std::vector<int>{LINE_GROUP, LINE_TEXT, LINE_TEXT}));
}

// ---------------------------------------------------------------------------
// Writing

TEST(WriteDataFile, HeaderAndLines) {
    CardDocument doc;
    doc.version = 13;
    doc.append(DataLine(LINE_TITLE, "#t,000000"));
    doc.append(DataLine(LINE_TEXT, ""));
    doc.append(DataLine(LINE_TEXT, "q,\x83\x5C,<00"));
    EXPECT_EQ(write_data_file(doc), "QUIZODATA V1.3\r\n#t,000000\r\n\r\nq,\x83\x5C,<00\r\n");

    CardDocument empty;
    EXPECT_EQ(write_data_file(empty), "QUIZODATA V1.4\r\n");
}

TEST(WriteDataFile, RewrittenLinesComeBackRewritten) {
    const std::string file = kHeader + "#bad\r\n'\r\nq\r\n$x=1\r\n$\r\n#\r\n"s;
    EXPECT_EQ(normalized(file), kHeader + "'bad\r\n\r\n'q\r\n'x=1\r\n\r\n\r\n"s);
}

TEST(DataFile, SampleSurvivesReadAndWrite) {
    const std::string bytes = read_bytes(QZ_SOURCE_DIR "/samples/sample.qzf");
    ASSERT_FALSE(bytes.empty());
    CardDocument doc;
    ASSERT_EQ(read_data_file(bytes, doc).status, LoadStatus::ok);
    EXPECT_EQ(doc.version, 14);
    EXPECT_EQ(doc.count(), text_line_count(bytes));
    EXPECT_GT(doc.count_titles(), 4);
    EXPECT_GT(doc.count_questions(), 20);
    EXPECT_NE(doc.find_group_settings(), nullptr);
    EXPECT_EQ(write_data_file(doc), bytes);
}

// ---------------------------------------------------------------------------
// Properties on generated files

// Random bytes behind a valid header, weighted to the bytes the line syntax
// cares about.
std::string random_file(std::mt19937& rng) {
    static const char* const kHeaders[] = {"QUIZODATA V1.4\r\n", "QUIZODATA V1.3\n",
                                           "QUIZODATA V1.2\r", "QUIZODATA V1.4\001"};
    static const std::string kBytes =
        "#'$,<[09\\\r\n\001iqa\"|()\x81\x83\x95\x5C\x40\xFD=T"s + '\0';
    std::string file = kHeaders[rng() % 4];
    const std::size_t n = rng() % 200;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = kBytes[rng() % kBytes.size()];
        if (c == '\0' && rng() % 8 != 0) continue;  // NULs only now and then
        file += c;
    }
    return file;
}

TEST(DataFileProperties, NormalizingIsIdempotentAndKeepsLineCount) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 3000; ++round) {
        const std::string file = random_file(rng);
        SCOPED_TRACE(testing::PrintToString(file));
        CardDocument doc;
        ASSERT_EQ(read_data_file(file, doc).status, LoadStatus::ok);
        EXPECT_EQ(doc.count(), std::max(1, text_line_count(file)));
        const std::string once = write_data_file(doc);
        EXPECT_EQ(normalized(once), once);
    }
}

// Lines that the reader keeps as they are.
const char* const kValidLines[] = {
    "",
    "'comment",
    "''",
    "#t,000000",
    "#\x95\x5C\\,x,311000'c",
    "q,a,<00",
    "\x83\x5C,[a|b](c),[99'x",
    "\\#1,\\#2,=12",
    "\\i\"p,q.bmp\",\\i\"r.png\",?30",
    "$TimeLimit=30",
    "$Group=a,b,c,d,e,f,g,h,i,j'k",
    "$Message=x\\'y\\nz",
    "$FontTitle=14,SHIFTJIS,x",
    "$fontcomment=9,ANSI,Arial'c",
};

TEST(DataFileProperties, ValidFilesSurviveByteForByte) {
    std::mt19937 rng(99);
    for (int round = 0; round < 500; ++round) {
        std::string file = kHeader;
        const std::size_t n = 1 + rng() % 30;
        for (std::size_t i = 0; i < n; ++i) {
            file += kValidLines[rng() % std::size(kValidLines)];
            file += "\r\n";
        }
        CardDocument doc;
        ASSERT_EQ(read_data_file(file, doc).status, LoadStatus::ok);
        EXPECT_EQ(doc.count(), static_cast<int>(n));
        EXPECT_EQ(write_data_file(doc), file);
    }
}

}  // namespace
}  // namespace qz
