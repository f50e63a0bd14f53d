#include "core/document/data_file.h"
#include "core/document/edit_history.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qz {
namespace {

using namespace std::string_literals;

constexpr char kHeader[] = "QUIZODATA V1.4\r\n";

std::vector<std::string> texts(const CardDocument& doc) {
    std::vector<std::string> out;
    for (const DataLine& line : doc) out.emplace_back(line.text());
    return out;
}

TEST(ReadDataFile, LineBreakForms) {
    struct Case {
        std::string file;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {kHeader + "'a\r\r\n'b"s, {"'a", "", "'b"}},  // CR CR LF: a blank line between
        {kHeader + "'a\n\r'b\001'c"s, {"'a", "", "'b", "'c"}},  // LF then CR: two line breaks
        {kHeader + "'\x95\x5C\r\n'\x83\x5C"s, {"'\x95\x5C", "'\x83\x5C"}},  // trail byte 0x5C
        {kHeader + "'a\x81\r\n'b"s, {"'a\x81", "'b"}},  // lead byte before the line break
        {kHeader + "'a\x81"s, {"'a\x81"}},              // lead byte as the last byte
        {"QUIZODATA V1.4\001'x"s, {"'x"}},  // the header line's own break forms
        {"QUIZODATA V1.4\r\n\0'x"s, {"'x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.file));
        CardDocument doc;
        ASSERT_EQ(read_data_file(c.file, doc).status, LoadStatus::ok);
        EXPECT_EQ(texts(doc), c.lines);
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

TEST(ReadDataFile, HeaderAndVersion) {
    struct Case {
        std::string file;
        LoadStatus status;
        int version;  // when ok
    };
    const Case cases[] = {
        {"QUIZODATA V1.2\r\n", LoadStatus::ok, 12},
        {"QUIZODATA V1.3\r\n", LoadStatus::ok, 13},
        {"quizodata v1.4\r\n", LoadStatus::not_data_file, 0},
        {"", LoadStatus::not_data_file, 0},
        {"QUIZODATA V1.1\r\n", LoadStatus::bad_version, 0},
        {"QUIZODATA V1.5\r\n", LoadStatus::bad_version, 0},
        {"QUIZODATA V2.4\r\n", LoadStatus::bad_version, 0},
        {"QUIZODATA V1.40\r\n", LoadStatus::bad_header, 0},
        {"QUIZODATA Vx.4\r\n", LoadStatus::bad_header, 0},
        {"QUIZODATA V1.", LoadStatus::bad_header, 0},
        {"QUIZODATA V1\0.4\r\n"s, LoadStatus::ok, 14},  // the NUL byte goes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.file));
        CardDocument doc;
        doc.append(DataLine(LINE_TEXT, "'old"));
        const LoadResult result = read_data_file(c.file, doc);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.magic_matched, c.status != LoadStatus::not_data_file);
        EXPECT_EQ(doc.count(), c.status == LoadStatus::ok ? 1 : 0);  // a failed load leaves none
        if (c.status == LoadStatus::ok) {
            EXPECT_EQ(doc.version, c.version);
        }
    }
}

TEST(ClassifyDataLine, KindAndText) {
    struct Case {
        std::string line;
        int version;
        int kind;
        std::string text;
    };
    const Case cases[] = {
        {"", 14, LINE_TEXT, ""},
        {"\001#t,000000", 14, LINE_TEXT, ""},
        // Titles.
        {"#t,123456", 14, LINE_TITLE, "#t,123456"},
        {"#t,000000'", 14, LINE_TITLE, "#t,000000'"},
        {"#,000000", 14, LINE_TITLE, "#,000000"},
        {"#a\\,b,000000", 14, LINE_TITLE, "#a\\,b,000000"},
        {"#\x95\x5C,000000", 14, LINE_TITLE, "#\x95\x5C,000000"},
        {"#t,123456\001rest", 14, LINE_TITLE, "#t,123456"},
        {"#t,12345x", 14, LINE_TEXT, "'t,12345x"},
        {"#t\\,000000", 14, LINE_TEXT, "'t\\,000000"},
        {"#t,000\001000", 14, LINE_TEXT, "'t,000"},  // the digits end with the line
        {"#", 14, LINE_TEXT, ""},
        {"#\001#t,000000", 13, LINE_TEXT, ""},
        // Comments.
        {"'", 14, LINE_TEXT, ""},
        {"'\001abc", 14, LINE_TEXT, ""},
        {"''", 14, LINE_TEXT, "''"},
        {"'x\001y", 14, LINE_TEXT, "'x"},
        // Settings lines (format 1.4).
        {"$TimeLimit=30", 14, LINE_TIME_LIMIT, "$TimeLimit=30"},
        {"$timelimit=30'c", 14, LINE_TIME_LIMIT, "$timelimit=30'c"},
        {"$Group=a,b", 14, LINE_GROUP, "$Group=a,b"},
        {"$MESSAGE=hi", 14, LINE_MESSAGE, "$MESSAGE=hi"},
        {"$FontTitle=12,shiftjis,x", 14, LINE_FONT_TITLE, "$FontTitle=12,shiftjis,x"},
        {"$FontQuestion=12", 14, LINE_FONT_QUESTION, "$FontQuestion=12"},
        {"$FontAnswer=-16,1,Arial'big", 14, LINE_FONT_ANSWER, "$FontAnswer=-16,1,Arial'big"},
        {"$FontGroup=9", 14, LINE_FONT_GROUP, "$FontGroup=9"},
        {"$FontComment=9,ANSI,Arial", 14, LINE_FONT_COMMENT, "$FontComment=9,ANSI,Arial"},
        {"$=1", 14, LINE_TEXT, "'=1"},
        {"$Group\001=x", 14, LINE_TEXT, "'Group"},  // the '=' lies on the next line
        {"$", 14, LINE_TEXT, ""},
        // "$" lines in formats 1.2 and 1.3 are questions.
        {"$Group=a,b", 13, LINE_TEXT, "'$Group=a,b"},
        {"$TimeLimit=30", 12, LINE_TEXT, "'$TimeLimit=30"},
        {"$a,b,<00", 13, LINE_TEXT, "$a,b,<00"},
        {"$", 13, LINE_TEXT, "'$"},
        // Questions.
        {"a,b,<00", 14, LINE_TEXT, "a,b,<00"},
        {"a,b,[99'x", 14, LINE_TEXT, "a,b,[99'x"},
        {",x,<00", 14, LINE_TEXT, ",x,<00"},
        {"a\\,b,c,<00", 14, LINE_TEXT, "a\\,b,c,<00"},
        {"\\i\"x,y.bmp\",a,<00", 14, LINE_TEXT, "\\i\"x,y.bmp\",a,<00"},
        {"\x83\x5C,\x95\x5C,<00", 14, LINE_TEXT, "\x83\x5C,\x95\x5C,<00"},
        {"a,b,<00\001more", 14, LINE_TEXT, "a,b,<00"},
        {"a,b,;00", 14, LINE_TEXT, "'a,b,;00"},
        {"q\001,a,<00", 14, LINE_TEXT, "'q"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.line) + " v" + std::to_string(c.version));
        const DataLine line = classify_data_line(c.line.c_str(), c.version);
        EXPECT_EQ(line.kind(), c.kind);
        EXPECT_EQ(line.text(), c.text);
    }
}

// The reader's scan, 64 bytes at a time, against split_lines and
// classify_line byte by byte: every line kind, each line placed at every
// offset of a 64-byte block, ended by CR LF, LF, CR, 0x01 and the end.
TEST(ClassifyLines, ScanClassifiesAsTheByteByBytePath) {
    const std::string long_field(70, 'x');
    const std::string lines[] = {
        "", "'", "'c,\\d", "#", "#t,000000", "#t,123456'c\\,", "#t\\,x,000000", "#\x95\x5C,000000",
        "#t,00000", "#t,000000x", "#" + long_field + ",000000", "$", "$TimeLimit=30",
        "$FontTitle=12,shiftjis,x", "$Group=a,b", "$a,b,<00", "$x", "a,b,<00", "a,b,[99'x\\,",
        "a,b,;00", "a,b,<0", "a,b,<00x", "a,b", "a", "a\\,b,c,<00", "a,b\\,c,<00", "a,b,<00\\",
        "\\i\"x,y.bmp\",a,<00", "\x83\x5C,\x95\x5C,<00", "\x83,a,<00", "a\x81,b\x81,<00",
        long_field + "," + long_field + ",<12'" + long_field, long_field + "," + long_field,
        "a,b," + long_field,
    };
    for (const int version : {13, 14}) {
        for (std::size_t offset = 0; offset < 64; ++offset) {
            // A comment line moves the lines to every offset.
            std::string text = offset ? "'" + std::string(offset - 1, 'p') + "\n" : "";
            for (const std::string& line : lines) text += line + "\r\n" + line + "\n" + line + "\r" + line + "\001";
            text += lines[4];  // the last line without a line break
            std::string scanned = text;
            std::vector<std::pair<std::string, LineClass>> fast;
            classify_lines(scanned.data(), scanned.data() + scanned.size(), version,
                           [&](const char* line, std::size_t length, LineClass c) {
                               fast.emplace_back(std::string(line, length), c);
                           });
            ASSERT_EQ(scanned, text);  // the scan leaves the bytes alone
            std::size_t at = 0;
            split_lines(text.data(), text.data() + text.size(), [&](const char* line, std::size_t length) {
                SCOPED_TRACE(testing::PrintToString(std::string(line, length)) + " v" +
                             std::to_string(version) + " at " + std::to_string(offset));
                const LineClass slow = classify_line(line, length, version);
                ASSERT_LT(at, fast.size());
                EXPECT_EQ(fast[at].first, std::string(line, length));
                EXPECT_EQ(fast[at].second.kind, slow.kind);
                EXPECT_EQ(fast[at].second.form, slow.form);
                ++at;
            });
            EXPECT_EQ(at, fast.size());
        }
    }
}

TEST(WriteDataFile, HeaderAndLines) {
    CardDocument doc;
    EXPECT_EQ(write_data_file(doc), "QUIZODATA V1.4\r\n");
    doc.version = 13;
    for (const char* text : {"#t,000000", "", "q,\x83\x5C,<00"}) doc.append(DataLine(LINE_TEXT, text));
    EXPECT_EQ(write_data_file(doc), "QUIZODATA V1.3\r\n#t,000000\r\n\r\nq,\x83\x5C,<00\r\n");
}

// Every line of the sample (titles with comments, protected and picture
// questions, every settings line) is kept as it is.
TEST(DataFile, SampleSurvivesReadAndWrite) {
    std::ifstream in(QZ_SOURCE_DIR "/samples/sample.qzf", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    CardDocument doc;
    ASSERT_EQ(read_data_file(bytes, doc).status, LoadStatus::ok);
    EXPECT_EQ(doc.count(), 59);
    EXPECT_EQ(write_data_file(doc), bytes);
}

// Lines read from a file keep their texts in the file's buffer. Whatever
// leaves the document (a copy, an extracted line, the old text of an edit
// kept for undo) takes its own copy and so outlives the buffer: reopening
// a file of the same size reuses the freed block for other bytes.
TEST(ReadDataFile, HeldLinesOutliveTheBufferTheyCameFrom) {
    const std::string first = kHeader + "q1,a,<00\r\n#t,000000\r\nq2,b,<00\r\n"s;
    const std::string other = kHeader + "x1,a,<00\r\n#u,000000\r\nx2,b,<00\r\n"s;
    // The history alone, as the editor model keeps it: the steps outlive
    // the document they were made on.
    CardDocument doc;
    EditHistory history;
    ASSERT_EQ(read_data_file(first, doc).status, LoadStatus::ok);
    EXPECT_TRUE(doc.line_at(0)->in_file_buffer());

    EditStep edit;
    edit.push_back(LineEdit::replace_lines({0}, {DataLine(LINE_TEXT, "q1,edited,<00")}));
    apply_step(doc, edit);
    history.record(std::move(edit));
    EXPECT_FALSE(doc.line_at(0)->in_file_buffer());
    history.undo(doc);
    EXPECT_EQ(doc.line_at(0)->text(), "q1,a,<00");
    history.redo(doc);  // the text as read goes back into the history
    const DataLine copy = *doc.line_at(1);
    const std::vector<DataLine> taken = doc.extract({2});

    ASSERT_EQ(read_data_file(other, doc).status, LoadStatus::ok);
    EXPECT_EQ(copy.text(), "#t,000000");
    EXPECT_EQ(taken[0].text(), "q2,b,<00");
    EXPECT_FALSE(copy.in_file_buffer() || taken[0].in_file_buffer());
    history.undo(doc);  // onto the new document's first line
    EXPECT_EQ(doc.line_at(0)->text(), "q1,a,<00");
    EXPECT_EQ(doc.line_at(1)->text(), "#u,000000");
}

// A line keeps 27 bits of size beside its kind; a longer one keeps its size
// in front of its own copy of the text, read or made, copied or moved.
TEST(ReadDataFile, ALineLongerThanItsSizeBitsKeepsEveryByte) {
    const std::size_t size = (std::size_t{1} << 27) + 3;
    std::string question(size, 'a');
    question[0] = 'q';
    question.replace(size - 6, 6, ",a,<00");
    const std::string file = kHeader + question + "\r\n#t,000000\r\n";
    CardDocument doc;
    ASSERT_EQ(read_data_file(file, doc).status, LoadStatus::ok);
    ASSERT_EQ(doc.count(), 2);
    EXPECT_EQ(doc.line_at(0)->text().size(), size);
    EXPECT_EQ(doc.line_at(0)->c_str()[size], '\0');
    EXPECT_EQ(doc.line_at(0)->kind(), LINE_TEXT);
    EXPECT_EQ(doc.count_questions(), 1);
    EXPECT_EQ(write_data_file(doc), file);
    DataLine copy = *doc.line_at(0);
    const DataLine moved = std::move(copy);
    EXPECT_EQ(moved.text(), question);
    EXPECT_FALSE(copy.has_text());
    doc.set_text(doc.line_at(1), question);
    EXPECT_EQ(doc.line_at(1)->text(), question);
}

// Blocks grow from a few lines to many: a line keeps its address however
// many come after it, and an erased line's place goes to no other line.
TEST(CardDocument, LinesKeepTheirAddressesAsBlocksGrow) {
    CardDocument doc;
    doc.reserve(5000);  // fewer than come: the block that ends at 5000 is a short one
    std::vector<const DataLine*> held;
    for (int i = 0; i < 9000; ++i) {
        doc.append(DataLine(LINE_TEXT, std::to_string(i)));
        held.push_back(doc.line_at(i));
    }
    for (int i = 0; i < 9000; ++i) {
        ASSERT_EQ(doc.line_at(i), held[i]) << i;
        ASSERT_EQ(held[i]->text(), std::to_string(i)) << i;
    }
    const std::uint32_t erased = doc.line_id_at(20);
    ASSERT_TRUE(doc.erase(20));
    doc.append(DataLine(LINE_TEXT, "again"));
    EXPECT_NE(doc.line_at(8999), held[20]);
    EXPECT_NE(doc.line_id_at(8999), erased);
    EXPECT_EQ(doc.find_line(erased), -1);
    EXPECT_EQ(doc.line_at(8999)->text(), "again");
    EXPECT_EQ(doc.line_at(20)->text(), "21");
    // Nor does a line taken from another document by hand, whatever its
    // index was there (here, the erased line's id).
    CardDocument other;
    for (std::uint32_t i = 0; i <= erased; ++i) other.append(DataLine(LINE_TEXT, "other"));
    doc.insert(0, std::move(*other.line_at(static_cast<int>(erased))));
    EXPECT_EQ(doc.find_line(erased), -1);
}

}  // namespace
}  // namespace qz
