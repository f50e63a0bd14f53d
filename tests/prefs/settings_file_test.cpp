#include "prefs/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "document/data_file.h"

namespace qz {
namespace {

// The file written for the default records, byte for byte.
const std::string kDefaultFile =
    "[Window]\r\n"
    "Show=0\r\n"
    "Left=-2147483648\r\n"
    "Top=-2147483648\r\n"
    "Width=560\r\n"
    "Height=450\r\n"
    "ListWidth=200\r\n"
    "AnswerTop=180\r\n"
    "HistoryTop=240\r\n"
    "MessageHeight=180\r\n"
    "ListColumnLine=38\r\n"
    "ListColumnType=70\r\n"
    "ListColumnData=180\r\n"
    "\r\n"
    "[Recent]\r\n"
    "\r\n"
    "[Option]\r\n"
    "Flags=3\r\n"
    "UseDataSettings=1\r\n"
    "IMETitle=0\r\n"
    "IMEQuestion=0\r\n"
    "IMEAnswer=0\r\n"
    "IMEComment=0\r\n"
    "\r\n"
    "[Fonts]\r\n"
    "TitleName=ＭＳ Ｐゴシック\r\n"
    "TitleSize=12\r\n"
    "TitleColor=0\r\n"
    "TitleBackColor=16777215\r\n"
    "TitleCharSet=128\r\n"
    "QuestionName=ＭＳ Ｐゴシック\r\n"
    "QuestionSize=20\r\n"
    "QuestionColor=0\r\n"
    "QuestionBackColor=16777088\r\n"
    "QuestionCharSet=128\r\n"
    "AnswerName=ＭＳ Ｐゴシック\r\n"
    "AnswerSize=20\r\n"
    "AnswerColor=16711680\r\n"
    "AnswerBackColor=13434879\r\n"
    "AnswerCharSet=128\r\n"
    "CommentName=ＭＳ Ｐゴシック\r\n"
    "CommentSize=11\r\n"
    "CommentColor=0\r\n"
    "CommentBackColor=16777215\r\n"
    "CommentCharSet=128\r\n"
    "NumTitleName=ＭＳ Ｐゴシック\r\n"
    "NumTitleSize=10\r\n"
    "NumTitleColor=0\r\n"
    "NumTitleBackColor=16777215\r\n"
    "NumTitleCharSet=128\r\n"
    "NumQuestionName=ＭＳ Ｐゴシック\r\n"
    "NumQuestionSize=10\r\n"
    "NumQuestionColor=0\r\n"
    "NumQuestionBackColor=16777215\r\n"
    "NumQuestionCharSet=128\r\n"
    "\r\n"
    "[Print]\r\n"
    "PrintFlags=39\r\n"
    "TitlePosition=0\r\n"
    "AnswerPosition=0\r\n"
    "NumTitle=%t \r\n"
    "NumQuestion=(%q) \r\n"
    "QuestionRate=50\r\n"
    "ItemPosition=0\r\n"
    "LineSpace=3\r\n"
    "QTStyle=0\r\n"
    "QQStyle=2\r\n"
    "QAStyle=0\r\n"
    "QTColor=0\r\n"
    "QQColor=0\r\n"
    "QAColor=0\r\n";

Preferences default_prefs() {
    Preferences prefs;
    fill_default_preferences(prefs);
    return prefs;
}

// The text as the settings reader scans it: it ends at a NUL byte.
std::string normalized(std::string text) {
    text.erase(std::min(text.find('\0'), text.size()));
    normalize_line_breaks(text);
    return text;
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size()) {
        text.replace(pos, from.size(), to);
    }
    return text;
}

// Every field the file carries must match; the never-saved ones too, since
// both sides start from the defaults.
void expect_same_records(const Preferences& a, const PrintSettings& pa, const Preferences& b,
                         const PrintSettings& pb) {
    EXPECT_EQ(a.Left, b.Left);
    EXPECT_EQ(a.Top, b.Top);
    EXPECT_EQ(a.Width, b.Width);
    EXPECT_EQ(a.Height, b.Height);
    EXPECT_EQ(a.ListWidth, b.ListWidth);
    EXPECT_EQ(a.AnswerTop, b.AnswerTop);
    EXPECT_EQ(a.HistoryTop, b.HistoryTop);
    EXPECT_EQ(a.MessageHeight, b.MessageHeight);
    EXPECT_EQ(a.ListColumnLine, b.ListColumnLine);
    EXPECT_EQ(a.ListColumnType, b.ListColumnType);
    EXPECT_EQ(a.ListColumnData, b.ListColumnData);
    EXPECT_EQ(a.recent_files, b.recent_files);
    EXPECT_EQ(a.Show, b.Show);
    EXPECT_EQ(a.Flags, b.Flags);
    EXPECT_EQ(a.UseDataSettings, b.UseDataSettings);
    EXPECT_EQ(a.IMETitle, b.IMETitle);
    EXPECT_EQ(a.IMEQuestion, b.IMEQuestion);
    EXPECT_EQ(a.IMEAnswer, b.IMEAnswer);
    EXPECT_EQ(a.IMEComment, b.IMEComment);
    EXPECT_EQ(a.search_conditions, b.search_conditions);
    EXPECT_EQ(a.pane_control_font, b.pane_control_font);
    EXPECT_EQ(a.hint_font, b.hint_font);
    EXPECT_EQ(a.Title, b.Title);
    EXPECT_EQ(a.Question, b.Question);
    EXPECT_EQ(a.Answer, b.Answer);
    EXPECT_EQ(a.Comment, b.Comment);
    EXPECT_EQ(a.NumTitle, b.NumTitle);
    EXPECT_EQ(a.NumQuestion, b.NumQuestion);
    EXPECT_EQ(pa.PrintFlags, pb.PrintFlags);
    EXPECT_EQ(pa.TitlePosition, pb.TitlePosition);
    EXPECT_EQ(pa.AnswerPosition, pb.AnswerPosition);
    EXPECT_EQ(pa.NumTitle, pb.NumTitle);
    EXPECT_EQ(pa.NumQuestion, pb.NumQuestion);
    EXPECT_EQ(pa.QuestionRate, pb.QuestionRate);
    EXPECT_EQ(pa.ItemPosition, pb.ItemPosition);
    EXPECT_EQ(pa.LineSpace, pb.LineSpace);
    EXPECT_EQ(pa.QTStyle, pb.QTStyle);
    EXPECT_EQ(pa.QQStyle, pb.QQStyle);
    EXPECT_EQ(pa.QAStyle, pb.QAStyle);
    EXPECT_EQ(pa.QTColor, pb.QTColor);
    EXPECT_EQ(pa.QQColor, pb.QQColor);
    EXPECT_EQ(pa.QAColor, pb.QAColor);
}

// ---------------------------------------------------------------------------
// Key lookup

struct LookupCase {
    const char* name;
    std::string file;  // raw file text, normalized before the lookup
    const char* key;
    bool found;
    std::string value;
};

const LookupCase kLookupCases[] = {
    {"plain", "Left=100\r\n", "Left", true, "100"},
    {"blanks around equals", "Left = 100\r\n", "Left", false, ""},
    {"blank before equals", "Left =100\r\n", "Left", false, ""},
    {"blank before key", " Left=100\r\n", "Left", false, ""},
    {"wrong case", "left=100\r\n", "Left", false, ""},
    {"key is a prefix of the line's key", "Leftover=5\r\n", "Left", false, ""},
    {"no equals", "Left\r\n", "Left", false, ""},
    {"value untrimmed", "Key= spaced  value \t\r\n", "Key", true, " spaced  value \t"},
    {"empty value", "Key=\r\n", "Key", true, ""},
    {"equals inside the value", "Key=a=b\r\n", "Key", true, "a=b"},
    {"last line without line end", "A=1\r\nKey=last", "Key", true, "last"},
    {"first occurrence wins across sections", "[Window]\r\nWidth=800\r\n[Print]\r\nWidth=900\r\n",
     "Width", true, "800"},
    {"section headers are not keys", "[Key]\r\nKey=1\r\n", "Key", true, "1"},
    {"longer key first", "NumTitleName=Face\r\nNumTitle=%t \r\n", "NumTitle", true, "%t "},
    {"shorter key first", "NumTitle=%t \r\nNumTitleName=Face\r\n", "NumTitleName", true, "Face"},
    {"CR-only file", "A=1\rKey=2\rB=3\r", "Key", true, "2"},
    {"LF-only file", "A=1\nKey=2\nB=3", "Key", true, "2"},
    {"mixed line ends", "A=1\rB=2\nKey=3\r\nC=4", "Key", true, "3"},
    {"double-byte value", "Key=表示\\\r\n", "Key", true, "表示\\"},
    {"NUL ends the text", std::string("A=1\r\n\0Key=2\r\n", 13), "Key", false, ""},
    {"empty file", "", "Key", false, ""},
};

class SettingsLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(SettingsLookup, FindsTheFirstLineWithKeyAndEquals) {
    const LookupCase& c = GetParam();
    const std::string text = normalized(c.file);
    std::string value = "untouched";
    EXPECT_EQ(settings_string(text, c.key, value), c.found);
    EXPECT_EQ(value, c.found ? c.value : "untouched");
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingsLookup, testing::ValuesIn(kLookupCases),
                         [](const testing::TestParamInfo<LookupCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(SettingsLookup, WorksOnTextWithoutFinalSeparator) {
    std::string value;
    EXPECT_TRUE(settings_string("A=1\x01Key=2", "Key", value));
    EXPECT_EQ(value, "2");
}

struct IntCase {
    const char* line;
    bool found;
    int value;
};

TEST(SettingsInt, ConvertsLikeStrToInt) {
    const IntCase cases[] = {
        {"N=100", true, 100},
        {"N=-42", true, -42},
        {"N=+7", true, 7},
        {"N=  12", true, 12},
        {"N=12px", true, 12},
        {"N=abc", true, 0},
        {"N=", true, 0},
        {"N=-", true, 0},
        {"N=16777215", true, 16777215},
        {"N=-2147483648", true, INT_MIN},
        {"N=2147483647", true, INT_MAX},
        {"N = 5", false, 99},
        {"n=5", false, 99},
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.line);
        int value = 99;
        EXPECT_EQ(settings_int(normalized(c.line), "N", value), c.found);
        EXPECT_EQ(value, c.value);
    }
}

// ---------------------------------------------------------------------------
// Reading

using Getter = std::function<long long(const Preferences&, const PrintSettings&)>;

struct ReadCase {
    const char* file;
    Getter get;
    long long expected;
};

TEST(ReadSettings, TakesValuesInRangeAndIgnoresTheRest) {
    const ReadCase cases[] = {
        {"Left=100", [](auto& p, auto&) { return p.Left; }, 100},
        {"Left = 100", [](auto& p, auto&) { return p.Left; }, kUseDefaultPosition},
        {"left=100", [](auto& p, auto&) { return p.Left; }, kUseDefaultPosition},
        {"Top=-5", [](auto& p, auto&) { return p.Top; }, -5},
        {"ListColumnData=0", [](auto& p, auto&) { return p.ListColumnData; }, 0},
        {"Show=1", [](auto& p, auto&) { return p.Show; }, 1},
        {"Show=257", [](auto& p, auto&) { return p.Show; }, 1},  // low byte
        {"Flags=0", [](auto& p, auto&) { return p.Flags; }, 0},
        {"Flags=-1", [](auto& p, auto&) { return p.Flags; }, 255},
        {"UseDataSettings=256", [](auto& p, auto&) { return p.UseDataSettings; }, 0},
        {"IMETitle=2", [](auto& p, auto&) { return p.IMETitle; }, 2},
        {"IMETitle=3", [](auto& p, auto&) { return p.IMETitle; }, 0},
        {"IMETitle=-1", [](auto& p, auto&) { return p.IMETitle; }, 0},
        {"IMETitle=258", [](auto& p, auto&) { return p.IMETitle; }, 0},
        {"IMEQuestion=1", [](auto& p, auto&) { return p.IMEQuestion; }, 1},
        {"IMEAnswer=2", [](auto& p, auto&) { return p.IMEAnswer; }, 2},
        {"IMEComment=1", [](auto& p, auto&) { return p.IMEComment; }, 1},
        {"IMEComment=9", [](auto& p, auto&) { return p.IMEComment; }, 0},
        {"TitleSize=-16", [](auto& p, auto&) { return p.Title.size; }, -16},
        {"QuestionColor=255", [](auto& p, auto&) { return p.Question.text_color; }, 255},
        {"AnswerBackColor=-1", [](auto& p, auto&) { return p.Answer.back_color; }, 0xFFFFFFFF},
        {"CommentCharSet=0", [](auto& p, auto&) { return p.Comment.charset; }, 0},
        {"NumQuestionSize=8", [](auto& p, auto&) { return p.NumQuestion.size; }, 8},
        {"QuestionRate=150", [](auto&, auto& s) { return s.QuestionRate; }, 50},
        {"QuestionRate=100", [](auto&, auto& s) { return s.QuestionRate; }, 100},
        {"QuestionRate=0", [](auto&, auto& s) { return s.QuestionRate; }, 0},
        {"QuestionRate=-1", [](auto&, auto& s) { return s.QuestionRate; }, 50},
        {"ItemPosition=1", [](auto&, auto& s) { return s.ItemPosition; }, 1},
        {"ItemPosition=2", [](auto&, auto& s) { return s.ItemPosition; }, 0},
        {"LineSpace=999", [](auto&, auto& s) { return s.LineSpace; }, 999},
        {"LineSpace=1000", [](auto&, auto& s) { return s.LineSpace; }, 3},
        {"LineSpace=0", [](auto&, auto& s) { return s.LineSpace; }, 0},
        {"LineSpace=-1", [](auto&, auto& s) { return s.LineSpace; }, 3},
        {"PrintFlags=255", [](auto&, auto& s) { return s.PrintFlags; }, 255},
        {"TitlePosition=7", [](auto&, auto& s) { return s.TitlePosition; }, 7},
        {"AnswerPosition=2", [](auto&, auto& s) { return s.AnswerPosition; }, 2},
        {"QTStyle=5", [](auto&, auto& s) { return s.QTStyle; }, 5},
        {"QQStyle=9", [](auto&, auto& s) { return s.QQStyle; }, 9},
        {"QAColor=16777215", [](auto&, auto& s) { return s.QAColor; }, 0xFFFFFF},
        {"QTColor=-1", [](auto&, auto& s) { return s.QTColor; }, 0xFFFFFFFF},
        {"Width=800\r\n[Print]\r\nWidth=900", [](auto& p, auto&) { return p.Width; }, 800},
        {"[Print]\r\nHeight=900\r\n[Window]\r\nHeight=700", [](auto& p, auto&) { return p.Height; },
         900},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.file);
        Preferences prefs = default_prefs();
        PrintSettings print;
        read_settings_text(c.file, prefs, print);
        EXPECT_EQ(c.get(prefs, print), c.expected);
    }
}

TEST(ReadSettings, KeysThatBeginWithAnotherKeyStayApart) {
    for (const char* file : {"[Fonts]\r\nNumTitleName=Arial\r\n[Print]\r\nNumTitle=No.%t\r\n",
                             "[Print]\r\nNumTitle=No.%t\r\n[Fonts]\r\nNumTitleName=Arial\r\n"}) {
        SCOPED_TRACE(file);
        Preferences prefs = default_prefs();
        PrintSettings print;
        read_settings_text(file, prefs, print);
        EXPECT_EQ(print.NumTitle, "No.%t");
        EXPECT_EQ(prefs.NumTitle.face, "Arial");
        EXPECT_EQ(print.NumQuestion, "(%q) ");
        EXPECT_EQ(prefs.NumQuestion.face, kDefaultFaceName);
    }
}

TEST(ReadSettings, FaceNamesAreCutTo31BytesOtherTextsAreNot) {
    const std::string long_text(40, 'x');
    Preferences prefs = default_prefs();
    PrintSettings print;
    read_settings_text("TitleName=" + long_text + "\r\nNumQuestion=" + long_text + "\r\n", prefs,
                       print);
    EXPECT_EQ(prefs.Title.face, std::string(31, 'x'));
    EXPECT_EQ(print.NumQuestion, long_text);

    read_settings_text("CommentName=" + std::string(31, 'y'), prefs, print);
    EXPECT_EQ(prefs.Comment.face, std::string(31, 'y'));
}

TEST(ReadSettings, NoFileLeavesTheDefaults) {
    Preferences prefs = default_prefs();
    PrintSettings print;
    read_settings_text("", prefs, print);
    expect_same_records(prefs, print, default_prefs(), PrintSettings{});
    EXPECT_EQ(write_settings_text(prefs, print), kDefaultFile);
}

TEST(ReadSettings, GarbageLeavesTheDefaults) {
    Preferences prefs = default_prefs();
    PrintSettings print;
    const std::string garbage =
        "=5\r\nShow\r\n[Window]=1\r\n\x83\r\nLeft\x01Width\x01 Top=1\rFile 1=a\n\x01\x01" +
        std::string("\0Left=1\r\n", 9);
    read_settings_text(garbage, prefs, print);
    expect_same_records(prefs, print, default_prefs(), PrintSettings{});
}

// ---------------------------------------------------------------------------
// Recent files in the file

struct RecentReadCase {
    const char* name;
    std::string file;
    std::vector<std::string> expected;
};

TEST(ReadSettings, RecentFiles) {
    const std::string long_path(300, 'p');
    const RecentReadCase cases[] = {
        {"only two", "[Recent]\r\nFile1=a\r\nFile2=b\r\n", {"a", "b"}},
        {"file order, not line order", "File2=b\r\nFile1=a\r\n", {"a", "b"}},
        {"all five and a sixth",
         "File1=1\nFile2=2\nFile3=3\nFile4=4\nFile5=5\nFile6=6\n",
         {"1", "2", "3", "4", "5"}},
        {"a gap closes up", "File1=a\r\nFile4=d\r\n", {"a", "d"}},
        {"case duplicates: File1 wins", "File1=C:\\A.qzf\r\nFile2=c:\\a.QZF\r\n", {"C:\\A.qzf"}},
        {"path cut to 259 bytes", "File1=" + long_path, {std::string(259, 'p')}},
        {"spaces kept", "File1= C:\\my file.qzf \r\n", {" C:\\my file.qzf "}},
        {"wrong case key", "file1=a\r\n", {}},
    };
    for (const RecentReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Preferences prefs = default_prefs();
        PrintSettings print;
        read_settings_text(c.file, prefs, print);
        EXPECT_EQ(prefs.recent_files, c.expected);
    }
}

TEST(ReadSettings, StoredRecentFilesGoInFrontOfTheCurrentList) {
    Preferences prefs = default_prefs();
    prefs.recent_files = {"x", "B", "y"};
    PrintSettings print;
    read_settings_text("File1=a\r\nFile2=b\r\n", prefs, print);
    EXPECT_EQ(prefs.recent_files, (std::vector<std::string>{"a", "b", "x", "y"}));
}

// ---------------------------------------------------------------------------
// Writing

TEST(WriteSettings, DefaultsGiveTheCompleteFile) {
    EXPECT_EQ(write_settings_text(default_prefs(), PrintSettings{}), kDefaultFile);
}

TEST(WriteSettings, ColoursAndCharsetsAreSigned32BitDecimals) {
    Preferences prefs = default_prefs();
    PrintSettings print;
    print.QTColor = 0xFFFFFF;
    print.QQColor = 0xFFFFFFFF;
    print.QAColor = 0x80000000;
    prefs.Title.charset = 0xFFFFFFFE;
    prefs.Comment.text_color = 0x00FF00;
    const std::string text = write_settings_text(prefs, print);
    for (const char* line : {"\r\nQTColor=16777215\r\n", "\r\nQQColor=-1\r\n",
                             "\r\nQAColor=-2147483648\r\n", "\r\nTitleCharSet=-2\r\n",
                             "\r\nCommentColor=65280\r\n", "\r\nTitleBackColor=16777215\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(WriteSettings, FontStyleIsNotSaved) {
    Preferences prefs = default_prefs();
    prefs.Title.style = FONT_BOLD | FONT_ITALIC;
    EXPECT_EQ(write_settings_text(prefs, PrintSettings{}), kDefaultFile);
}

struct RecentWriteCase {
    std::vector<std::string> list;
    std::string section;  // from "[Recent]" up to "[Option]"
};

TEST(WriteSettings, RecentFilesStopAtTheFirstEmptyEntry) {
    const RecentWriteCase cases[] = {
        {{}, "[Recent]\r\n\r\n"},
        {{"a", "b"}, "[Recent]\r\nFile1=a\r\nFile2=b\r\n\r\n"},
        {{"a", "", "c"}, "[Recent]\r\nFile1=a\r\n\r\n"},
        {{"", "b"}, "[Recent]\r\n\r\n"},
        {{"1", "2", "3", "4", "5"},
         "[Recent]\r\nFile1=1\r\nFile2=2\r\nFile3=3\r\nFile4=4\r\nFile5=5\r\n\r\n"},
    };
    for (const RecentWriteCase& c : cases) {
        Preferences prefs = default_prefs();
        prefs.recent_files = c.list;
        const std::string text = write_settings_text(prefs, PrintSettings{});
        const std::size_t begin = text.find("[Recent]");
        const std::size_t end = text.find("[Option]");
        ASSERT_NE(begin, std::string::npos);
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(text.substr(begin, end - begin), c.section);
    }
}

// ---------------------------------------------------------------------------
// Round trips

// Random bytes that can stand in a value: anything but NUL, 0x01, CR and LF.
std::string random_value(std::mt19937& rng, std::size_t max_length) {
    std::uniform_int_distribution<std::size_t> length(0, max_length);
    std::uniform_int_distribution<int> byte(0x02, 0xFF);
    std::string text(length(rng), ' ');
    for (char& c : text) {
        int b;
        do
            b = byte(rng);
        while (b == '\r' || b == '\n');
        c = static_cast<char>(b);
    }
    return text;
}

Preferences random_prefs(std::mt19937& rng) {
    std::uniform_int_distribution<int> any_int(INT_MIN, INT_MAX);
    std::uniform_int_distribution<int> any_byte(0, 255);
    std::uniform_int_distribution<int> ime(0, 2);
    std::uniform_int_distribution<int> recent_count(0, kMaxRecentFiles);
    Preferences p = default_prefs();
    for (int* field :
         {&p.Left, &p.Top, &p.Width, &p.Height, &p.ListWidth, &p.AnswerTop, &p.HistoryTop,
          &p.MessageHeight, &p.ListColumnLine, &p.ListColumnType, &p.ListColumnData}) {
        *field = any_int(rng);
    }
    // Distinct, non-empty paths of at most 259 bytes.
    const int count = recent_count(rng);
    for (int i = 0; i < count; ++i) {
        p.recent_files.push_back(std::to_string(i) + random_value(rng, kMaxRecentPath - 1));
    }
    p.Show = static_cast<std::uint8_t>(any_byte(rng));
    p.Flags = static_cast<std::uint8_t>(any_byte(rng));
    p.UseDataSettings = static_cast<std::uint8_t>(any_byte(rng));
    for (std::uint8_t* field : {&p.IMETitle, &p.IMEQuestion, &p.IMEAnswer, &p.IMEComment}) {
        *field = static_cast<std::uint8_t>(ime(rng));
    }
    for (FontSpec* font :
         {&p.Title, &p.Question, &p.Answer, &p.Comment, &p.NumTitle, &p.NumQuestion}) {
        font->size = any_int(rng);
        font->charset = static_cast<unsigned>(any_int(rng));
        font->face = random_value(rng, kMaxFaceName);
        font->text_color = static_cast<std::uint32_t>(any_int(rng));
        font->back_color = static_cast<std::uint32_t>(any_int(rng));
    }
    return p;
}

PrintSettings random_print(std::mt19937& rng) {
    std::uniform_int_distribution<int> any_int(INT_MIN, INT_MAX);
    PrintSettings s;
    for (int* field :
         {&s.PrintFlags, &s.TitlePosition, &s.AnswerPosition, &s.QTStyle, &s.QQStyle, &s.QAStyle}) {
        *field = any_int(rng);
    }
    s.NumTitle = random_value(rng, 300);
    s.NumQuestion = random_value(rng, 300);
    s.QuestionRate = std::uniform_int_distribution<int>(0, 100)(rng);
    s.ItemPosition = std::uniform_int_distribution<int>(0, 1)(rng);
    s.LineSpace = std::uniform_int_distribution<int>(0, 999)(rng);
    for (std::uint32_t* field : {&s.QTColor, &s.QQColor, &s.QAColor}) {
        *field = static_cast<std::uint32_t>(any_int(rng));
    }
    return s;
}

TEST(SettingsRoundTrip, WriteThenReadGivesTheSameRecords) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const Preferences prefs = random_prefs(rng);
        const PrintSettings print = random_print(rng);
        const std::string text = write_settings_text(prefs, print);

        Preferences read = default_prefs();
        PrintSettings read_print;
        read_settings_text(text, read, read_print);
        expect_same_records(read, read_print, prefs, print);
        if (testing::Test::HasFailure()) break;
    }
}

TEST(SettingsRoundTrip, LineEndsOfAnyKindReadAlike) {
    std::mt19937 rng(7);
    const Preferences prefs = random_prefs(rng);
    const PrintSettings print = random_print(rng);
    const std::string crlf = write_settings_text(prefs, print);
    for (const char* end : {"\r", "\n"}) {
        SCOPED_TRACE(end[0] == '\r' ? "CR" : "LF");
        Preferences read = default_prefs();
        PrintSettings read_print;
        read_settings_text(replace_all(crlf, "\r\n", end), read, read_print);
        expect_same_records(read, read_print, prefs, print);
    }
}

// ---------------------------------------------------------------------------
// The recent-file list

struct AddRecentCase {
    const char* name;
    std::vector<std::string> before;
    std::string path;
    std::vector<std::string> after;
};

const AddRecentCase kAddRecentCases[] = {
    {"into an empty list", {}, "a", {"a"}},
    {"newest first", {"a", "b"}, "c", {"c", "a", "b"}},
    {"sixth drops the oldest", {"a", "b", "c", "d", "e"}, "f", {"f", "a", "b", "c", "d"}},
    {"listed file moves to the top", {"a", "b", "c", "d", "e"}, "d", {"d", "a", "b", "c", "e"}},
    {"top stays top", {"a", "b"}, "a", {"a", "b"}},
    {"latest spelling wins",
     {"x", "C:\\Data\\Quiz.qzf"},
     "c:\\data\\QUIZ.QZF",
     {"c:\\data\\QUIZ.QZF", "x"}},
    {"case duplicate in a full list keeps four others",
     {"a", "b", "c", "d", "E"},
     "e",
     {"e", "a", "b", "c", "d"}},
    {"a prefix is not equal", {"ab"}, "abc", {"abc", "ab"}},
    {"'@' and '`' are no letters", {"@"}, "`", {"`", "@"}},
    {"'[' and '{' are no letters", {"a[1]"}, "a{1}", {"a{1}", "a[1]"}},
    {"bytes above 0x7F are not folded", {"\xC4"}, "\xE4", {"\xE4", "\xC4"}},
    // "ア" (83 41) and "ヂ" (83 61) differ only in the case of the trail byte.
    {"trail byte is never folded", {"\x83\x41"}, "\x83\x61", {"\x83\x61", "\x83\x41"}},
    {"trail byte inside a path",
     {"C:\\\x83\x41.qzf"},
     "c:\\\x83\x61.QZF",
     {"c:\\\x83\x61.QZF", "C:\\\x83\x41.qzf"}},
    // 83 83 is one character ("ャ"), so the following 'A' is a letter of its own.
    {"letter after a double-byte character is folded",
     {"\x83\x83"
      "A"},
     "\x83\x83"
     "a",
     {"\x83\x83"
      "a"}},
    {"letters around double-byte characters",
     {"D:\\\x83\x41"
      "B\\\x95\x5C"
      "x.qzf"},
     "d:\\\x83\x41"
     "b\\\x95\x5C"
     "X.QZF",
     {"d:\\\x83\x41"
      "b\\\x95\x5C"
      "X.QZF"}},
    {"searched from the last entry", {"p", "P"}, "p", {"p", "p"}},
};

class AddRecent : public testing::TestWithParam<AddRecentCase> {};

TEST_P(AddRecent, KeepsOrderLimitAndNoCaseDuplicates) {
    const AddRecentCase& c = GetParam();
    std::vector<std::string> list = c.before;
    add_recent_file(list, c.path);
    EXPECT_EQ(list, c.after);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddRecent, testing::ValuesIn(kAddRecentCases),
                         [](const testing::TestParamInfo<AddRecentCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(AddRecent, NeverMoreThanFiveAndNoDuplicates) {
    std::vector<std::string> list;
    const char* opened[] = {"a", "B", "c", "A", "d", "e", "f", "C", "g", "b"};
    for (const char* path : opened) {
        add_recent_file(list, path);
        EXPECT_LE(list.size(), 5u);
    }
    EXPECT_EQ(list, (std::vector<std::string>{"b", "g", "C", "f", "e"}));
}

}  // namespace
}  // namespace qz
