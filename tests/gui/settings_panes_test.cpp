// The title pane and the font, group names and message panes, driven as the
// user drives them: focus a line, type into a field, leave the pane.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/separator.h"
#include "document/line_list_win.h"
#include "editor_fixture.h"
#include "panes/font_pane.h"
#include "panes/pane_common.h"
#include "syntax/font_spec_win.h"

namespace qz::test {
namespace {

constexpr int kTitleField = 1055;
constexpr int kChoiceList = 1025;
constexpr int kFirstFlag = 1026;
constexpr int kSizeField = 1025;
constexpr int kCharsetField = 1028;
constexpr int kFaceField = 1030;
constexpr int kChangeButton = 1031;
constexpr int kFirstName = 1034;
constexpr int kMessageField = 1025;
constexpr int kMessageSeparator = 1026;

class SettingsPanesTest : public EditorTest {
  protected:
    void TearDown() override {
        set_font_dialog_hook(nullptr);
        EditorTest::TearDown();
    }
    // Opens a format 1.4 file made of `lines` (each ended with CR LF).
    void open(const std::vector<std::string>& lines) {
        std::string body;
        for (const std::string& line : lines)
            body += line + "\r\n";
        EditorTest::open(body);
    }
    // A click on a check box or button (the focus moves to it).
    void click(int id) {
        SendMessageA(control(id), BM_CLICK, 0, 0);
        pump();
    }
    bool checked(int id) const {
        return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    // Picks an entry of a drop-down list, as the user would.
    void choose(int id, int entry) {
        SetFocus(control(id));
        SendMessageA(control(id), CB_SETCURSEL, entry, 0);
        SendMessageA(app().pane, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control(id)));
    }
    std::string line(int index) const { return doc().line_at(index)->text(); }
    // The line's text, in the document and in the list's data column.
    void expect_line(int index, const std::string& text) const {
        EXPECT_EQ(line(index), text);
        EXPECT_EQ(item_text(index, 2), text);
    }
    RECT placed(int id) const {
        RECT r;
        GetWindowRect(control(id), &r);
        MapWindowPoints(nullptr, app().pane, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    int pane_height() const {
        RECT client;
        GetClientRect(app().pane, &client);
        return client.bottom;
    }
    HFONT font_of(int id) const {
        return reinterpret_cast<HFONT>(SendMessageA(control(id), WM_GETFONT, 0, 0));
    }
};

// ---- Title pane

TEST_F(SettingsPanesTest, TitlePaneShowsTheFieldsOfATitleLine) {
    open({"#Chapter 1,311000'first part", "#t,123456", "#a\\,b,000000"});
    ASSERT_NE(app().pane, nullptr);
    ASSERT_EQ(SendMessageA(control(kChoiceList), CB_GETCOUNT, 0, 0), 10);
    const char* entries[] = {"記述", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    for (int i = 0; i < 10; ++i) {
        char buf[32] = {};
        SendMessageA(control(kChoiceList), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        EXPECT_STREQ(buf, entries[i]);
    }
    EXPECT_EQ(field(kTitleField), "Chapter 1");
    EXPECT_EQ(selection(kChoiceList), 3);
    const bool flags[] = {true, true, false, false, false};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(checked(kFirstFlag + i), flags[i]) << i;
    EXPECT_EQ(field(kCommentField), "first part");

    // Only the digit 1 turns a flag on; a title line without a comment
    // leaves the comment field empty.
    HWND pane = app().pane;
    focus_line(1);
    EXPECT_EQ(app().pane, pane);
    EXPECT_EQ(field(kTitleField), "t");
    EXPECT_EQ(selection(kChoiceList), 1);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(checked(kFirstFlag + i)) << i;
    EXPECT_EQ(field(kCommentField), "");

    focus_line(2);
    EXPECT_EQ(field(kTitleField), "a,b");
    EXPECT_FALSE(doc().modified);
}

TEST_F(SettingsPanesTest, WrittenAnswerWithOnlyFuzzyComparison) {
    open({"#Quiz,511110'keep", "q,a,<00"});
    choose(kChoiceList, 0);
    for (int i = 0; i < 4; ++i)
        click(kFirstFlag + i);
    click(kFirstFlag + 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(checked(kFirstFlag + i));
    EXPECT_TRUE(checked(kFirstFlag + 4));
    EXPECT_TRUE(doc().modified);
    leave_pane();
    expect_line(0, "#Quiz,000001'keep");
}

TEST_F(SettingsPanesTest, LeavingACheckBoxCommits) {
    open({"#t,000000"});
    click(kFirstFlag + 1);
    EXPECT_EQ(GetFocus(), control(kFirstFlag + 1));
    EXPECT_EQ(line(0), "#t,000000");  // not before the focus leaves
    leave_pane();
    expect_line(0, "#t,001000");
}

TEST_F(SettingsPanesTest, TitleWithACommaIsStoredEscapedAndShownPlain) {
    open({"#x,200000", "q,a,<00"});
    type(kTitleField, "a,b\\c");
    leave_pane();
    expect_line(0, "#a\\,b\\\\c,200000");
    focus_line(1);
    focus_line(0);
    EXPECT_EQ(field(kTitleField), "a,b\\c");
}

TEST_F(SettingsPanesTest, TitleIsStoredAsTheLineScannersReadItWhateverTheFont) {
    // "表" (95 5C) is one character under a Shift-JIS title font and under
    // an ANSI one alike: its second byte is no backslash to double.
    open({"#a,000000", "$FontTitle=12,ANSI,Arial", "#b,000000", "'c"});
    type(kTitleField, "表x");
    leave_pane();
    expect_line(0,
                "#\x95\x5C"
                "x,000000");
    focus_line(2);
    type(kTitleField, "表x");
    leave_pane();
    expect_line(2,
                "#\x95\x5C"
                "x,000000");
    focus_line(3);
    focus_line(2);
    EXPECT_EQ(field(kTitleField), "表x");
}

TEST_F(SettingsPanesTest, TitleEditHasTheTitleColoursAndFonts) {
    open({"#t,000000'c"});
    HDC dc = GetDC(control(kTitleField));
    INT_PTR brush = SendMessageA(app().pane, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(control(kTitleField)));
    EXPECT_EQ(brush, reinterpret_cast<INT_PTR>(pane_brush(FONT_TITLE)));
    EXPECT_EQ(GetBkColor(dc), app().prefs.Title.back_color);
    EXPECT_EQ(GetTextColor(dc), app().prefs.Title.text_color);
    ReleaseDC(control(kTitleField), dc);

    // The comment field keeps the system colours.
    dc = GetDC(control(kCommentField));
    brush = SendMessageA(app().pane, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(control(kCommentField)));
    for (int f = 0; f < FONT_COUNT; ++f)
        EXPECT_NE(brush, reinterpret_cast<INT_PTR>(pane_brush(static_cast<PaneFont>(f))));
    ReleaseDC(control(kCommentField), dc);

    EXPECT_EQ(font_of(kTitleField), pane_font(FONT_TITLE));
    EXPECT_EQ(font_of(kCommentField), pane_font(FONT_COMMENT));
    for (int id = kChoiceList; id <= kFirstFlag + 4; ++id)
        EXPECT_EQ(font_of(id), pane_control_font()) << id;
}

// ---- Group names pane

TEST_F(SettingsPanesTest, GroupPaneWithOnlyGroupThreeNamed) {
    open({"$Group=", "$Group=a,b,c,d,e,f,g,h,i,j"});
    type(kFirstName + 3, "x");
    leave_pane();
    expect_line(0, "$Group=,,,x,,,,,,");

    // Emptying every name but one still writes all ten.
    focus_line(1);
    for (int i = 0; i < 10; ++i)
        type(kFirstName + i, i == 3 ? "x" : "");
    leave_pane();
    expect_line(1, "$Group=,,,x,,,,,,");
}

TEST_F(SettingsPanesTest, TenthGroupNameKeepsItsApostrophe) {
    open({"$Group=,,,,,,,,,", "$Group=a'b,,,,,,,,,it\\'s'note", "q,a,<00"});
    type(kFirstName + 9, "it's");
    leave_pane();
    expect_line(0, "$Group=,,,,,,,,,it\\'s");
    focus_line(2);
    focus_line(0);
    EXPECT_EQ(field(kFirstName + 9), "it's");
    EXPECT_EQ(field(kCommentField), "");

    // Names 0-8 end only at commas; the comment follows the tenth name.
    focus_line(1);
    EXPECT_EQ(field(kFirstName), "a'b");
    EXPECT_EQ(field(kFirstName + 9), "it's");
    EXPECT_EQ(field(kCommentField), "note");
}

TEST_F(SettingsPanesTest, GroupLineWithFewerNamesShowsNothingLeftOver) {
    open({"$Group=a,b,c,d,e,f,g,h,i,j'first", "$Group=k,l'm"});
    HWND pane = app().pane;
    EXPECT_EQ(field(kFirstName + 9), "j");
    EXPECT_EQ(field(kCommentField), "first");
    focus_line(1);
    EXPECT_EQ(app().pane, pane);
    EXPECT_EQ(field(kFirstName), "k");
    // Without ten names there is no comment: the apostrophe is part of the name.
    EXPECT_EQ(field(kFirstName + 1), "l'm");
    for (int i = 2; i < 10; ++i)
        EXPECT_EQ(field(kFirstName + i), "") << i;
    EXPECT_EQ(field(kCommentField), "");
    EXPECT_FALSE(doc().modified);

    type(kFirstName + 2, "n");
    leave_pane();
    expect_line(1, "$Group=k,l'm,n,,,,,,,");
}

TEST_F(SettingsPanesTest, GroupNamesAreEscapedAsSettingsValues) {
    open({"$Group=,,,,,,,,,"});
    type(kFirstName, "a,b\\c");
    type(kFirstName + 1, "ソ表");
    type(kFirstName + 9, "x,y'z");
    type(kCommentField, "c,d");
    leave_pane();
    expect_line(0, "$Group=a\\,b\\\\c,ソ表,,,,,,,,x\\,y\\'z'c\\,d");
}

// ---- Message pane

TEST_F(SettingsPanesTest, TwoLineMessageIsWrittenAsOneLine) {
    open({"$Message=old"});
    type(kMessageField, "line 1\r\nline 2");
    leave_pane();
    expect_line(0, "$Message=line 1\\nline 2");
}

TEST_F(SettingsPanesTest, MessageWithAnApostropheSurvivesEditing) {
    open({"$Message=x", "$Message=it\\'s\\nfine\\, ok'note", "q,a,<00"});
    type(kMessageField, "it's");
    leave_pane();
    expect_line(0, "$Message=it\\'s");
    focus_line(2);
    focus_line(0);
    EXPECT_EQ(field(kMessageField), "it's");
    EXPECT_EQ(field(kCommentField), "");

    doc().modified = false;
    focus_line(1);
    EXPECT_EQ(field(kMessageField), "it's\r\nfine, ok");
    EXPECT_EQ(field(kCommentField), "note");
    EXPECT_FALSE(doc().modified);
}

TEST_F(SettingsPanesTest, MessageSeparatorSetsTheMessageHeight) {
    open({"$Message=hello'c"});
    Preferences& prefs = app().prefs;
    SendMessageA(app().pane, kSeparatorMoved, kMessageSeparator, 106);
    EXPECT_EQ(prefs.MessageHeight, 100);
    EXPECT_EQ(placed(kMessageField).bottom, 100);
    EXPECT_EQ(placed(kMessageSeparator).top, 100);
    EXPECT_EQ(placed(kCommentField).top, 106);
    EXPECT_EQ(placed(kCommentField).bottom, pane_height());

    // The message field is never shorter than 20 pixels, and the comment
    // field keeps at least 20.
    SendMessageA(app().pane, kSeparatorMoved, kMessageSeparator, 3);
    EXPECT_EQ(prefs.MessageHeight, 20);
    EXPECT_EQ(placed(kMessageField).bottom, 20);
    SendMessageA(app().pane, kSeparatorMoved, kMessageSeparator, pane_height() + 50);
    EXPECT_EQ(prefs.MessageHeight, pane_height() - 20);
    EXPECT_EQ(placed(kMessageSeparator).top, pane_height() - 20);

    // Another separator's message is not this one's.
    SendMessageA(app().pane, kSeparatorMoved, 1027, 106);
    EXPECT_EQ(prefs.MessageHeight, pane_height() - 20);
}

TEST_F(SettingsPanesTest, ResizingTheMessagePaneKeepsTheSeparatorUnderTheField) {
    open({"$Message=hello"});
    RECT window;
    GetWindowRect(main_window(), &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SendMessageA(app().pane, kSeparatorMoved, kMessageSeparator, pane_height() - 30);
    const int before = app().prefs.MessageHeight;

    // Shrinking the pane below the message height pulls the split up.
    SetWindowPos(main_window(), nullptr, 0, 0, width, height - 100, SWP_NOMOVE | SWP_NOZORDER);
    pump();
    EXPECT_EQ(app().prefs.MessageHeight, pane_height() - 20);
    EXPECT_LT(app().prefs.MessageHeight, before);
    EXPECT_EQ(placed(kMessageSeparator).top, placed(kMessageField).bottom);

    SetWindowPos(main_window(), nullptr, 0, 0, width, height + 100, SWP_NOMOVE | SWP_NOZORDER);
    pump();
    EXPECT_EQ(placed(kMessageSeparator).top, placed(kMessageField).bottom);
    EXPECT_EQ(placed(kMessageField).bottom, app().prefs.MessageHeight);
    EXPECT_EQ(placed(kCommentField).bottom, pane_height());
}

// ---- Font pane

TEST_F(SettingsPanesTest, FontPaneShowsTheValuesOfAFontLine) {
    open({"$FontAnswer=-16,shiftjis,ＭＳ ゴシック'big", "$FontTitle=12", "$FontHint=x,ANSI,a\\,b"});
    EXPECT_EQ(field(kSizeField), "-16");
    EXPECT_EQ(field(kCharsetField), "shiftjis");
    EXPECT_EQ(field(kFaceField), "ＭＳ ゴシック");
    EXPECT_EQ(field(kCommentField), "big");

    // FontAnswer to FontTitle: the same pane, emptied first.
    HWND pane = app().pane;
    focus_line(1);
    EXPECT_EQ(app().pane, pane);
    EXPECT_EQ(field(kSizeField), "12");
    EXPECT_EQ(field(kCharsetField), "");
    EXPECT_EQ(field(kFaceField), "");
    EXPECT_EQ(field(kCommentField), "");

    // A size that is no number is not shown.
    focus_line(2);
    EXPECT_EQ(app().pane, pane);
    EXPECT_EQ(field(kSizeField), "");
    EXPECT_EQ(field(kCharsetField), "ANSI");
    EXPECT_EQ(field(kFaceField), "a,b");
    EXPECT_FALSE(doc().modified);

    for (int id : {1024, kSizeField, 1027, kCharsetField, 1029, kFaceField, kChangeButton})
        EXPECT_EQ(font_of(id), pane_control_font()) << id;
}

TEST_F(SettingsPanesTest, FontLineValuesAreWrittenAsTyped) {
    open({"$FontQuestion=12,128,Arial'c"});
    type(kCharsetField, "foo");
    leave_pane();
    expect_line(0, "$FontQuestion=12,foo,Arial'c");

    // The charset keeps 15 bytes, the face name 31, never half a character.
    type(kCharsetField, "ABCDEFGHIJKLMNOPQRST");
    std::string face = "a";
    for (int i = 0; i < 20; ++i)
        face += "あ";
    type(kFaceField, face);
    leave_pane();
    std::string kept = "a";
    for (int i = 0; i < 15; ++i)
        kept += "あ";
    expect_line(0, "$FontQuestion=12,ABCDEFGHIJKLMNO," + kept + "'c");

    face = "ab";
    for (int i = 0; i < 20; ++i)
        face += "表";
    type(kFaceField, face);
    type(kCommentField, "");
    leave_pane();
    kept = "ab";
    for (int i = 0; i < 14; ++i)
        kept += "表";
    expect_line(0, "$FontQuestion=12,ABCDEFGHIJKLMNO," + kept);

    type(kSizeField, "");
    type(kFaceField, "x,y");
    leave_pane();
    expect_line(0, "$FontQuestion=,ABCDEFGHIJKLMNO,x\\,y");
}

TEST_F(SettingsPanesTest, FontDialogChoiceIsWrittenToTheLine) {
    open({"$FontTitle=14,SHIFTJIS,ＭＳ ゴシック", "#t,000000"});
    const int dpi = screen_pixels_per_inch(app().pane);
    LOGFONTA offered{};
    set_font_dialog_hook([&](LOGFONTA& font) {
        offered = font;
        font.lfHeight = -MulDiv(12, dpi, 72);
        font.lfCharSet = ANSI_CHARSET;
        font.lfWeight = FW_BOLD;  // the style is not stored
        font.lfItalic = TRUE;
        lstrcpyA(font.lfFaceName, "Arial");
        return true;
    });
    click(kChangeButton);
    EXPECT_EQ(offered.lfHeight, -MulDiv(14, dpi, 72));
    EXPECT_EQ(offered.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(offered.lfFaceName, "ＭＳ ゴシック");

    EXPECT_EQ(field(kSizeField), "12");
    EXPECT_EQ(field(kCharsetField), "ANSI");
    EXPECT_EQ(field(kFaceField), "Arial");
    // Committed already: the charset field lost the focus to the size field.
    expect_line(0, "$FontTitle=12,ANSI,Arial");
    EXPECT_EQ(GetFocus(), control(kSizeField));
    EXPECT_TRUE(doc().modified);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(SettingsPanesTest, FontDialogStartsFromTheDefaultWhereTheFieldsSayNothing) {
    open({"$FontGroup=x,FOO,"});
    const int dpi = screen_pixels_per_inch(app().pane);
    LOGFONTA offered{};
    set_font_dialog_hook([&](LOGFONTA& font) {
        offered = font;
        return false;
    });
    click(kChangeButton);
    // FontGroup starts from the comment default.
    const LOGFONTA expected = font_spec_to_logfont(app().prefs.Comment, dpi);
    EXPECT_EQ(offered.lfHeight, expected.lfHeight);
    EXPECT_EQ(offered.lfCharSet, expected.lfCharSet);
    EXPECT_STREQ(offered.lfFaceName, expected.lfFaceName);

    // Cancel changes nothing.
    leave_pane();
    expect_line(0, "$FontGroup=x,FOO,");
    EXPECT_EQ(field(kCharsetField), "FOO");
    EXPECT_FALSE(doc().modified);
    EXPECT_TRUE(messages_.empty());

    // A typed size and charset number reach the dialog.
    type(kSizeField, "20");
    type(kCharsetField, "300");
    type(kFaceField, "Courier");
    click(kChangeButton);
    EXPECT_EQ(offered.lfHeight, -MulDiv(20, dpi, 72));
    EXPECT_EQ(offered.lfCharSet, 300 % 256);
    EXPECT_STREQ(offered.lfFaceName, "Courier");
}

// ---- All panes

TEST_F(SettingsPanesTest, FillingIsNoEditTypingIs) {
    open({"#t,100000'c", "$Group=a,,,,,,,,,", "$Message=m'c", "$FontTitle=1,ANSI,x'c",
          "$FontAnswer=2,1,y"});
    for (int i : {1, 2, 3, 4, 0})
        focus_line(i);
    EXPECT_FALSE(doc().modified);
    type(kCommentField, "c2");
    EXPECT_TRUE(doc().modified);
}

TEST_F(SettingsPanesTest, UnchangedPanesLeaveOddLinesAlone) {
    // Lines the composers would write differently stay as they are while
    // nothing is typed.
    const std::vector<std::string> lines = {"#t,123456'", "$Group=a'b", "$Message=a\\x'",
                                            "$FontTitle=12", "$FontHint=x,FOO,a'"};
    const int first_fields[] = {kTitleField, kFirstName, kMessageField, kSizeField, kSizeField};
    open(lines);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        focus_line(i);
        SetFocus(control(first_fields[i]));
        SetFocus(control(kCommentField));
        leave_pane();
        EXPECT_EQ(line(i), lines[i]);
    }
    EXPECT_FALSE(doc().modified);
}

// Every label shows on one line inside its box, and no field overlaps a
// label, at the size the window opens with.
TEST_F(SettingsPanesTest, LabelsFitBesideTheirFields) {
    struct PaneLabels {
        int line;
        std::vector<int> labels;
    };
    const PaneLabels panes[] = {
        {0, {1054, 1024, kCommentLabel}},
        {1, {1024, 1027, 1029, kCommentLabel}},
        {2, {1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, kCommentLabel}},
        {3, {1024, kCommentLabel}},
    };
    open({"#t,000000", "$FontTitle=1,2,3", "$Group=", "$Message="});
    for (const PaneLabels& p : panes) {
        focus_line(p.line);
        for (int id : p.labels) {
            SCOPED_TRACE(testing::Message() << "line " << p.line << ", label " << id);
            HWND label = control(id);
            char text[64] = {};
            GetWindowTextA(label, text, sizeof text);
            HDC dc = GetDC(label);
            HGDIOBJ old = SelectObject(dc, font_of(id));
            RECT extent{};
            DrawTextA(dc, text, -1, &extent, DT_CALCRECT | DT_SINGLELINE);
            SelectObject(dc, old);
            ReleaseDC(label, dc);
            const RECT box = placed(id);
            EXPECT_LE(extent.right, box.right - box.left);
            // The field of the label's row starts where the label column ends.
            HWND child = GetWindow(app().pane, GW_CHILD);
            for (; child; child = GetWindow(child, GW_HWNDNEXT)) {
                const int other = GetDlgCtrlID(child);
                if (other == id || !IsWindowVisible(child)) continue;
                RECT r = placed(other), overlap;
                if (IntersectRect(&overlap, &r, &box)) {
                    // Only the message pane's full-width separator crosses
                    // the label column.
                    EXPECT_EQ(other, kMessageSeparator) << "overlaps " << other;
                }
            }
        }
    }
}

// Types every line's first field and comment over with what they show and
// commits; the text must stay byte for byte.
class SettingsPanesRoundTrip : public SettingsPanesTest {
  protected:
    void retype_each(int count) {
        for (int i = 0; i < count; ++i) {
            const int kind = doc().line_at(i)->kind();
            int first = 0;
            if (kind == LINE_TITLE)
                first = kTitleField;
            else if (kind == LINE_GROUP)
                first = kFirstName + 9;
            else if (kind == LINE_MESSAGE || kind == LINE_TIME_LIMIT || is_font_kind(kind))
                first = 1025;
            if (!first) continue;
            SCOPED_TRACE(testing::Message() << "line " << i << ": " << line(i));
            const std::string before = line(i);
            focus_line(i);
            const std::string shown = field(first);
            const std::string comment = field(kCommentField);
            doc().modified = false;
            type(first, shown + "x");
            type(first, shown);
            type(kCommentField, comment);
            EXPECT_TRUE(doc().modified);  // the retyping counts as an edit
            leave_pane();
            expect_line(i, before);
            ++checked_;
        }
    }
    int checked_ = 0;
};

TEST_F(SettingsPanesRoundTrip, SampleSettingsAndTitleLines) {
    const std::string original = read_file(source_path("samples/sample.qzf"));
    start("\"" + source_path("samples/sample.qzf") + "\"");
    retype_each(doc().count());
    EXPECT_EQ(checked_, 16);
}

TEST_F(SettingsPanesRoundTrip, WellFormedLines) {
    open({
        "#Chapter 1,311000'first part",
        "#,000000",
        "#a\\,b\\\\c\\nd,910101'x\\,y",
        "#ソ表,000000'表\\\\",
        "$Group=全般,地理,歴史,漢字,国旗,首都,県庁,人物,年号,雑問'グループ",
        "$Group=a\\,b,,c\\\\d,ソ,,,,,,it\\'s\\nx'note",
        "$Group=,,,,,,,,,",
        "$Message=一行目\\n二行目 Let\\'s go!'開始時",
        "$Message=a\\,b\\\\c表",
        "$Message=",
        "$FontTitle=14,SHIFTJIS,ＭＳ ゴシック",
        "$FontAnswer=-16,shiftjis,Arial'big",
        "$FontHint=10,300,Ｆａｃｅ\\,x'c",
        "$FontQuestion=9,,",
        // From here on titles and comments are escaped byte by byte.
        "$FontTitle=12,ANSI,Arial",
        "$FontComment=9,ANSI,Arial'c",
        "#\x95\x5C\x5C"
        "x,000000'\x95\x5C\x5C"
        "x",
    });
    retype_each(doc().count());
    EXPECT_EQ(checked_, 17);
}

}  // namespace
}  // namespace qz::test
