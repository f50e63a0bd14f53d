#include "core/prefs/settings_file.h"
#include "core/prefs/customize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "core/document/data_file.h"

namespace qz {
namespace {

Preferences default_prefs() {
    Preferences prefs;
    fill_default_preferences(prefs);
    return prefs;
}

// What reading `text` over the defaults gives.
std::pair<Preferences, PrintSettings> read(const std::string& text, Preferences prefs = default_prefs()) {
    PrintSettings print;
    read_settings_text(text, prefs, print);
    return {prefs, print};
}

// The text as the settings reader scans it: it ends at a NUL byte.
std::string normalized(std::string text) {
    text.erase(std::min(text.find('\0'), text.size()));
    normalize_line_breaks(text);
    return text;
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
        text.replace(pos, from.size(), to);
    return text;
}

TEST(SettingsLookup, FindsTheFirstLineWithKeyAndEquals) {
    struct Row {
        std::string file;  // raw file text, normalized before the lookup
        const char* key;
        bool found;
        std::string value;
    };
    const Row rows[] = {
        {"Left = 100\r\n", "Left", false, ""}, {" Left=100\r\n", "Left", false, ""},
        {"left=100\r\n", "Left", false, ""}, {"Leftover=5\r\n", "Left", false, ""},
        {"Key= spaced  value \t\r\n", "Key", true, " spaced  value \t"},
        {"Key=a=b\r\n", "Key", true, "a=b"}, {"A=1\r\nKey=last", "Key", true, "last"},
        {"[Window]\r\nWidth=800\r\n[Print]\r\nWidth=900\r\n", "Width", true, "800"},
        {"NumTitleName=Face\r\nNumTitle=%t \r\n", "NumTitle", true, "%t "},
        {"A=1\rB=2\nKey=3\r\nC=4", "Key", true, "3"},
        {"Key=表示\\\r\n", "Key", true, "表示\\"},
        {std::string("A=1\r\n\0Key=2\r\n", 13), "Key", false, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        std::string value = "untouched";
        EXPECT_EQ(settings_string(normalized(r.file), r.key, value), r.found);
        EXPECT_EQ(value, r.found ? r.value : "untouched");
    }
}

TEST(ReadSettings, TakesValuesInRangeAndIgnoresTheRest) {
    using Getter = std::function<long long(const Preferences&, const PrintSettings&)>;
    const struct { const char* file; Getter get; long long expected; } rows[] = {
        {"Left=100", [](auto& p, auto&) { return p.Left; }, 100},
        {"Flags=-1", [](auto& p, auto&) { return p.Flags; }, 255},  // low byte
        {"UseDataSettings=256", [](auto& p, auto&) { return p.UseDataSettings; }, 0},
        {"IMETitle=2", [](auto& p, auto&) { return p.IMETitle; }, 2},
        {"IMETitle=258", [](auto& p, auto&) { return p.IMETitle; }, 0},
        {"TitleSize=-16", [](auto& p, auto&) { return p.Title.size; }, -16},
        {"AnswerBackColor=-1", [](auto& p, auto&) { return p.Answer.back_color; }, 0xFFFFFFFF},
        {"CommentCharSet=0", [](auto& p, auto&) { return p.Comment.charset; }, 0},
        {"QuestionRate=150", [](auto&, auto& s) { return s.QuestionRate; }, 50},
        {"QuestionRate=100", [](auto&, auto& s) { return s.QuestionRate; }, 100},
        {"ItemPosition=2", [](auto&, auto& s) { return s.ItemPosition; }, 0},
        {"LineSpace=999", [](auto&, auto& s) { return s.LineSpace; }, 999},
        {"LineSpace=1000", [](auto&, auto& s) { return s.LineSpace; }, 3},
        {"[Print]\r\nHeight=900\r\n[Window]\r\nHeight=700", [](auto& p, auto&) { return p.Height; },
         900},
    };
    for (const auto& r : rows) {
        const auto [prefs, print] = read(r.file);
        EXPECT_EQ(r.get(prefs, print), r.expected) << r.file;
    }
}

TEST(ReadSettings, FormatsAndGarbage) {
    // Face names are cut to their limit (see the settings file fuzz target),
    // number formats are not.
    const std::string long_text(40, 'x');
    EXPECT_EQ(read("NumQuestion=" + long_text).second.NumQuestion, long_text);

    const auto [garbage, garbage_print] = read(
        "=5\r\nShow\r\n[Window]=1\r\n\x83\r\nLeft\x01Width\x01 Top=1\rFile 1=a\n" + std::string("\0Left=1\r\n", 9));
    EXPECT_EQ(write_settings_text(garbage, garbage_print), write_settings_text(default_prefs(), PrintSettings{}));
}

TEST(ReadSettings, RecentFiles) {
    const struct { std::string file; std::vector<std::string> expected; } rows[] = {
        {"File2=b\r\nFile1=a\r\n", {"a", "b"}},
        {"File1=1\nFile2=2\nFile3=3\nFile4=4\nFile5=5\nFile6=6\n", {"1", "2", "3", "4", "5"}},
        {"File1=C:\\A.qzf\r\nFile2=c:\\a.QZF\r\n", {"C:\\A.qzf"}},
        {"File1= C:\\my file.qzf \r\n", {" C:\\my file.qzf "}},
    };
    for (const auto& r : rows) EXPECT_EQ(read(r.file).first.recent_files, r.expected) << r.file;
    Preferences prefs = default_prefs();
    prefs.recent_files = {"x", "B", "y"};
    EXPECT_EQ(read("File1=a\r\nFile2=b\r\n", prefs).first.recent_files,
              (std::vector<std::string>{"a", "b", "x", "y"}));
}

TEST(WriteSettings, DecisiveLines) {
    Preferences prefs = default_prefs();
    PrintSettings print;
    print.QQColor = 0xFFFFFFFF;
    print.QAColor = 0x80000000;
    prefs.Title.charset = 0xFFFFFFFE;
    prefs.Title.style = FONT_BOLD | FONT_ITALIC;  // never saved
    prefs.recent_files = {"a", "", "c"};          // the list ends at an empty entry
    const std::string text = write_settings_text(prefs, print);
    EXPECT_EQ(text.rfind("[Window]\r\nShow=0\r\nLeft=-2147483648\r\n", 0), 0u);
    for (const char* line : {"\r\n[Recent]\r\nFile1=a\r\n\r\n[Option]\r\n", "\r\nQQColor=-1\r\n",
                             "\r\nQAColor=-2147483648\r\n", "\r\nTitleCharSet=-2\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find("TitleStyle"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

// Every written field reads back, whatever the line ends.
TEST(SettingsRoundTrip, EveryFieldReadsBack) {
    Preferences prefs = default_prefs();
    int n = 1;
    for (int* field : {&prefs.Left, &prefs.Top, &prefs.Width, &prefs.Height, &prefs.ListWidth,
                       &prefs.AnswerTop, &prefs.HistoryTop, &prefs.MessageHeight,
                       &prefs.ListColumnLine, &prefs.ListColumnType, &prefs.ListColumnData})
        *field = -1000 * n++;
    prefs.recent_files = {"C:\\表\\a.qzf", "b", "c", "d", "e"};
    prefs.Show = 3, prefs.Flags = 200, prefs.UseDataSettings = 0;
    prefs.IMETitle = 1, prefs.IMEQuestion = 2, prefs.IMEAnswer = 1, prefs.IMEComment = 2;
    for (FontSpec* font : {&prefs.Title, &prefs.Question, &prefs.Answer, &prefs.Comment,
                           &prefs.NumTitle, &prefs.NumQuestion}) {
        font->size = n++;
        font->charset = static_cast<unsigned>(n++);
        font->face = "Face" + std::to_string(n++);
        font->text_color = static_cast<std::uint32_t>(n++);
        font->back_color = 0xFFFFFFFFu - static_cast<std::uint32_t>(n++);
    }
    PrintSettings print;
    for (int* field : {&print.PrintFlags, &print.TitlePosition, &print.AnswerPosition,
                       &print.QTStyle, &print.QQStyle, &print.QAStyle})
        *field = n++;
    print.NumTitle = "第%t章", print.NumQuestion = "";
    print.QuestionRate = 77, print.ItemPosition = 1, print.LineSpace = 999;
    print.QTColor = 1, print.QQColor = 2, print.QAColor = 3;
    prefs.RecoveryInterval = 3600;
    print.Form = PRINT_FORM_CARDS;
    print.cards = {4, 8, 200, CutLines::solid, false, false, true};
    const std::string written = write_settings_text(prefs, print);
    for (const char* end : {"\r\n", "\r", "\n"}) {
        const auto [read_prefs, read_print] = read(replace_all(written, "\r\n", end));
        EXPECT_EQ(write_settings_text(read_prefs, read_print), written) << (end[0] == '\r' ? "CR" : "LF");
    }
}

TEST(AddRecent, KeepsOrderLimitAndNoCaseDuplicates) {
    struct Row {
        std::vector<std::string> before;
        std::string path;
        std::vector<std::string> after;
    };
    const Row rows[] = {
        {{"a", "b", "c", "d", "e"}, "f", {"f", "a", "b", "c", "d"}},
        {{"a", "b", "c", "d", "e"}, "d", {"d", "a", "b", "c", "e"}},
        {{"x", "C:\\Data\\Quiz.qzf"}, "c:\\data\\QUIZ.QZF", {"c:\\data\\QUIZ.QZF", "x"}},
        {{"ab"}, "abc", {"abc", "ab"}}, {{"a[1]"}, "a{1}", {"a{1}", "a[1]"}},
        // Paths are UTF-8: no byte of another script is a letter, so only
        // ASCII folds. あ (E3 81 82) ends in a byte code page 932 would take
        // as a lead byte; the 'A' after it is still a letter.
        {{"C:\\\xE3\x82\xA2.qzf"}, "c:\\\xE3\x82\xA2.QZF", {"c:\\\xE3\x82\xA2.QZF"}},
        {{"\xE3\x81\x82" "A"}, "\xE3\x81\x82" "a", {"\xE3\x81\x82" "a"}},
        {{"p", "P"}, "p", {"p", "p"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        std::vector<std::string> list = r.before;
        add_recent_file(list, r.path);
        EXPECT_EQ(list, r.after);
    }
}

TEST(Customize, ChoicesReachTheirPreferencesAndOnlyBitZeroOfUseDataSettings) {
    Preferences prefs = default_prefs();
    prefs.UseDataSettings = 0x03;
    FontChoices choices = font_choices(prefs);
    EXPECT_TRUE(choices.use_data_settings);
    for (int i = 0; i < kCustomFontCount; ++i) choices.fonts[i].size = 30 + i;
    choices.use_data_settings = false;
    store_font_choices(choices, prefs);
    const FontSpec* stored[] = {&prefs.Title,   &prefs.Question, &prefs.hint_font,  &prefs.Answer,
                                &prefs.Comment, &prefs.NumTitle, &prefs.NumQuestion};
    for (int i = 0; i < kCustomFontCount; ++i) EXPECT_EQ(stored[i]->size, 30 + i) << i;
    EXPECT_EQ(prefs.UseDataSettings, 0x02);
    // No entry chosen (-1) leaves the input-method preference alone.
    prefs.IMEComment = IME_OPEN;
    store_ime_choices({IME_OPEN, IME_CLOSE, IME_LEAVE, -1}, prefs);
    EXPECT_EQ(ime_choices(prefs), (ImeChoices{IME_OPEN, IME_CLOSE, IME_LEAVE, IME_OPEN}));
}

TEST(Customize, HintFontIsNotSaved) {
    const Preferences defaults = default_prefs();
    Preferences prefs = defaults;
    PrintSettings print;
    FontChoices choices = font_choices(prefs);
    choices.fonts[2].size = 40;
    store_font_choices(choices, prefs);
    EXPECT_EQ(prefs.hint_font.size, 40);
    EXPECT_EQ(write_settings_text(prefs, print), write_settings_text(defaults, print));
    choices.fonts[0].size = 40;
    store_font_choices(choices, prefs);
    EXPECT_NE(write_settings_text(prefs, print), write_settings_text(defaults, print));
}

}  // namespace
}  // namespace qz
