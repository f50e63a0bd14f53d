// The editing panes driven as the user drives them: focus a line, type into
// a field, leave the pane.
#include <cstdlib>

#include "win/view/command_state_win.h"
#include "win/base/separator_win.h"
#include "win/view/line_list_win.h"
#include "editor_fixture.h"
#include "win/view/font_pane_win.h"
#include "win/view/history_control_win.h"
#include "win/view/pane_common_win.h"
#include "win/view/pane_host_win.h"
#include "resources/pane_ids.h"
#include "resources/resource.h"
#include "win/base/font_spec_win.h"

namespace qz::test {
namespace {

constexpr int kCommentLabel = IDC_PANE_COMMENT_LABEL, kCommentField = IDC_PANE_COMMENT;
// Question pane, title pane, font pane, group pane, message pane.
constexpr int kTitleField = 1055, kQuestionField = 1026, kAnswerField = 1029, kAnswerNumber = 1036,
              kHistory = 1032;
constexpr int kChoiceList = 1025, kFirstFlag = 1026;
constexpr int kSizeField = 1025, kCharsetField = 1028, kFaceField = 1030, kChangeButton = 1031;
constexpr int kFirstName = 1034;
constexpr int kMessageField = 1025, kMessageSeparator = 1026;

class PaneTest : public EditorTest {
protected:
    void TearDown() override {
        set_font_dialog_hook(nullptr);
        EditorTest::TearDown();
    }
    // Opens a format 1.4 file made of `lines`.
    void open_lines(const std::vector<std::string>& lines) {
        std::string body;
        for (const std::string& line : lines) body += line + "\r\n";
        open(body);
    }
    bool checked(int id) const { return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::string line(int index) const { return std::string(doc().line_at(index)->text()); }
    // The texts of some fields, joined by '|'.
    std::string fields(std::initializer_list<int> ids) const {
        std::string out;
        for (int id : ids) out += field(id) + "|";
        return out.substr(0, out.size() - 1);
    }
    // The line's text, in the document and in the list's data column.
    void expect_line(int index, const std::string& text) const {
        EXPECT_EQ(line(index), text);
        EXPECT_EQ(item_text(index, 2), text);
    }
    RECT placed(int id) const { return test::placed(control(id)); }
    int pane_height() const { return test::placed(app().pane).bottom - test::placed(app().pane).top; }
    HFONT font_of(int id) const { return reinterpret_cast<HFONT>(SendMessageA(control(id), WM_GETFONT, 0, 0)); }
    int history() const { return static_cast<int>(SendMessageA(control(kHistory), kHistoryGetValue, 0, 0)); }
    void move_split(int id, int y) { SendMessageA(app().pane, kSeparatorMoved, id, y); }
    // Resizes the main window so that the pane is `height` pixels high.
    void set_pane_height(int height) {
        const RECT window = test::placed(main_window());
        SetWindowPos(main_window(), nullptr, 0, 0, window.right - window.left,
                     (window.bottom - window.top) - (pane_height() - height), SWP_NOMOVE | SWP_NOZORDER);
        pump();
    }
};

const char kChapter[] =
    "#Chapter 1,311000'first part\r\n"
    "Capital?,[東京|とうきょう],?20'geo\r\n"
    "a\\,b,c,<00\r\n"
    "'just a comment\r\n"
    "\r\n";

TEST_F(PaneTest, QuestionPaneShowsTheLineTakesEditCommandsTabsAndHistoryMarksAndClampsItsSplits) {
    open(kChapter);
    focus_line(1);
    HWND pane = app().pane;
    EXPECT_EQ(fields({kTitleField, kQuestionField, kAnswerField, kCommentField}), "Chapter 1|Capital?|[東京|とうきょう]|geo");
    EXPECT_EQ(history(), 3);
    EXPECT_EQ(selection(1056), 2);
    EXPECT_EQ(SendMessageA(control(kAnswerNumber), CB_GETCOUNT, 0, 0), 2);  // entries: see AnswerNumbers
    EXPECT_EQ(status_text(1), "\t3/6");
    focus_line(3);  // a comment line: only the comment field, five wrong marks
    EXPECT_EQ(fields({kTitleField, kQuestionField, kCommentField}), "||just a comment");
    EXPECT_EQ(history(), 0);
    EXPECT_EQ(app().pane, pane);
    EXPECT_FALSE(modified());
    SendMessageA(pane, WM_COMMAND, MAKEWPARAM(1024, BN_CLICKED), reinterpret_cast<LPARAM>(control(1024)));
    pump();
    EXPECT_EQ(app().editor.current(), 0);
    EXPECT_EQ(selected_items(), std::vector<int>{0});
    // The title's pane shows; the question pane is kept hidden and empty
    // for the next question.
    EXPECT_NE(app().pane, pane);
    EXPECT_FALSE(IsWindowVisible(pane));
    char kept_text[8] = "x";
    EXPECT_EQ(GetDlgItemTextA(pane, kQuestionField, kept_text, 8), 0);

    // Edit commands go to the focused field.
    focus_line(1);
    EXPECT_EQ(app().pane, pane);
    EXPECT_TRUE(IsWindowVisible(pane));
    SetFocus(control(kTitleField));  // the title box only allows copying
    SendMessageA(control(kTitleField), EM_SETSEL, 0, 3);
    EXPECT_EQ(edit_state() & (EDIT_CUT | EDIT_PASTE | EDIT_DELETE | EDIT_COPY), unsigned{EDIT_COPY});
    HWND question = control(kQuestionField);
    SetFocus(question);
    SendMessageA(question, EM_SETSEL, 0, 0);
    command(CMD_DELETE);
    EXPECT_EQ(field(kQuestionField), "apital?");
    EXPECT_EQ(doc().count(), 5);  // no line was deleted
    command(CMD_UNDO);
    EXPECT_EQ(field(kQuestionField), "Capital?");

    // Tab cycles between the list and the pane.
    const struct { HWND from; bool shift; HWND to; } steps[] = {
        {list(), false, control(1024)}, {list(), true, control(kCommentField)}};
    for (const auto& s : steps) {
        SetFocus(s.from);
        press_key(VK_TAB, s.shift ? VK_SHIFT : 0);
        EXPECT_EQ(GetFocus(), s.to);
    }

    // The history marks toggle by key and mouse and are committed at once.
    focus_line(2);
    HWND strip = control(kHistory);
    SetFocus(strip);
    const int keys[][2] = {{'3', 4}, {VK_NUMPAD5, 20}};
    for (const auto& [key, value] : keys) {
        SendMessageA(strip, WM_KEYDOWN, key, 0);
        EXPECT_EQ(history(), value) << key;
        EXPECT_EQ(line(2), "a\\,b,c," + std::string(1, static_cast<char>(0x3C + value)) + "00");
    }
    SendMessageA(strip, WM_KEYDOWN, '3', 0);
    SendMessageA(strip, WM_KEYDOWN, '5', 0);
    ASSERT_EQ(history(), 0);
    RECT r;
    GetClientRect(strip, &r);
    const int cell = cell_height(app().pane, kHistory), left = (r.right - 5 * cell) / 2, y = r.bottom / 2;
    // Mark 2, then mark 5.
    const int clicks[][2] = {{left + cell + cell / 2, 2}, {left + 4 * cell + 1, 18}};
    for (const auto& [x, value] : clicks) {
        SendMessageA(strip, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        SendMessageA(strip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        EXPECT_EQ(history(), value) << x;
    }
    EXPECT_EQ(GetFocus(), strip);
    EXPECT_EQ(line(2), "a\\,b,c,N00");

    // The splits are clamped to the pane (the arithmetic is the layout's).
    set_pane_height(150);
    EXPECT_EQ(app().prefs.HistoryTop, 130);
    EXPECT_EQ(placed(kHistory).top, 130);
}

TEST_F(PaneTest, QuestionEditsCommitTheComposedLine) {
    struct Edit {
        int line;
        std::vector<std::pair<int, const char*>> typed;
        const char* stored;
        const char* labels;  // of the edited line and of line 2 after the commit
    };
    const Edit edits[] = {
        {4, {{kQuestionField, "new"}}, "new,,<00", "問題3問題2"},
        // An emptied question keeps its comment as a comment line; the question below moves up.
        {1, {{kQuestionField, ""}, {kAnswerField, ""}}, "'geo", "コメント問題1"},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.stored);
        restart();
        open(kChapter);
        focus_line(e.line);
        for (const auto& [id, text] : e.typed) type(id, text);
        EXPECT_TRUE(modified());
        leave_pane();
        expect_line(e.line, e.stored);
        EXPECT_EQ(item_text(e.line, 1) + item_text(2, 1), e.labels);
    }
}

// Fields shown and stored again keep their bytes (the composing is tested
// natively): a protected question, and a paragraph too long to wrap quickly
// (shown unwrapped).
TEST_F(PaneTest, FieldsKeepTheirBytesThroughThePane) {
    open("\\#1,x,<00\r\n", "1.2");
    focus_line(0);
    EXPECT_EQ(field(kQuestionField), "#1");
    type(kAnswerField, "y");
    leave_pane();
    EXPECT_EQ(line(0), "\\#1,y,<00");

    restart();
    const std::string question(20000, 'q');
    open(question + ",a,<00\r\nshort,b,<00\r\n");
    const auto wraps = [this](int id) { return !(GetWindowLongA(control(id), GWL_STYLE) & ES_AUTOHSCROLL); };
    focus_line(0);
    EXPECT_FALSE(wraps(kQuestionField));
    EXPECT_TRUE(wraps(kAnswerField));
    type(kAnswerField, "x");
    leave_pane();
    EXPECT_EQ(line(0), question + ",x,<00");
    focus_line(1);
    EXPECT_TRUE(wraps(kQuestionField));
}

TEST_F(PaneTest, AnswerNumbersFollowTheFormatSyntaxErrorsShowAndFontSizesAreBounded) {
    open("q,[a|b],<01\r\n", "1.2");
    focus_line(0);
    EXPECT_FALSE(IsWindowVisible(control(kAnswerNumber)));
    type(kQuestionField, "Q");  // keeps the stored answer number, which the list does not offer
    leave_pane();
    EXPECT_EQ(line(0), "Q,[a|b],<01");

    restart();
    open("q,[a|b,<00\r\nq,a|b,<01\r\n");
    focus_line(1);
    focus_line(0);
    EXPECT_EQ(status_text(0), "構文エラーです。");
    focus_line(1);
    EXPECT_EQ(status_text(0), kF1Hint);
    EXPECT_EQ(selection(kAnswerNumber), 1);

    // A font size from the file is brought within reach when the font is
    // made; the font line keeps its text.
    restart();
    open("$FontQuestion=30000,128,Arial\r\nq,a,<00\r\n");
    focus_line(1);
    LOGFONTA font{};
    GetObjectA(font_of(kQuestionField), sizeof font, &font);
    EXPECT_LE(std::abs(font.lfHeight), MulDiv(kMaxFontPoints, screen_pixels_per_inch(main_window()), 72));
    EXPECT_EQ(line(0), "$FontQuestion=30000,128,Arial");
}

// The title pane, in the title colours and fonts.
TEST_F(PaneTest, TitlePaneShowsAndCommitsChoicesAndFlagsWhenTheFocusLeaves) {
    open_lines({"#Quiz,511110'keep", "#t,000000", "#a\\,b,000000"});
    HDC dc = GetDC(control(kTitleField));
    const auto brush_for = [&](int id) {
        return reinterpret_cast<HBRUSH>(SendMessageA(app().pane, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(control(id))));
    };
    EXPECT_NE(brush_for(kCommentField), pane_brush(FONT_TITLE));  // the system colours
    EXPECT_EQ(brush_for(kTitleField), pane_brush(FONT_TITLE));
    EXPECT_EQ(GetBkColor(dc), app().prefs.Title.back_color);
    EXPECT_EQ(GetTextColor(dc), app().prefs.Title.text_color);
    ReleaseDC(control(kTitleField), dc);
    EXPECT_EQ(font_of(kTitleField), pane_font(FONT_TITLE));
    EXPECT_EQ(font_of(kCommentField), pane_font(FONT_COMMENT));
    EXPECT_EQ(font_of(kChoiceList), pane_control_font());
    EXPECT_EQ(SendMessageA(control(kChoiceList), CB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(fields({kTitleField, kCommentField}), "Quiz|keep");
    EXPECT_EQ(selection(kChoiceList), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(checked(kFirstFlag + i), i < 4) << i;
    SetFocus(control(kChoiceList));
    SendMessageA(control(kChoiceList), CB_SETCURSEL, 0, 0);
    SendMessageA(app().pane, WM_COMMAND, MAKEWPARAM(kChoiceList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control(kChoiceList)));
    for (int i = 0; i < 5; ++i) click(app().pane, kFirstFlag + i);  // a written answer allows only fuzzy comparison
    for (int i = 0; i < 5; ++i) EXPECT_EQ(checked(kFirstFlag + i), i == 4) << i;
    leave_pane();
    expect_line(0, "#Quiz,000001'keep");
    focus_line(1);
    click(app().pane, kFirstFlag + 1);
    EXPECT_EQ(GetFocus(), control(kFirstFlag + 1));
    EXPECT_EQ(line(1), "#t,000000");  // not before the focus leaves
    leave_pane();
    expect_line(1, "#t,001000");
    focus_line(2);
    EXPECT_EQ(field(kTitleField), "a,b");
}

TEST_F(PaneTest, GroupAndMessagePanesWriteTheirLinesAndTheMessageSplitIsClamped) {
    open_lines({"$Group=k,l'm", "$Group=,,,,,,,,,", "$Message=old'c"});
    EXPECT_EQ(fields({kFirstName, kFirstName + 1, kFirstName + 9, kCommentField}), "k|l'm||");
    type(kFirstName + 3, "n");
    leave_pane();
    expect_line(0, "$Group=k,l'm,,n,,,,,,");
    focus_line(1);
    type(kFirstName, "a,b");
    type(kFirstName + 9, "x'z");
    type(kCommentField, "c");
    leave_pane();
    expect_line(1, "$Group=a\\,b,,,,,,,,,x\\'z'c");
    focus_line(2);
    type(kMessageField, "line 1\r\nit's");
    leave_pane();
    expect_line(2, "$Message=line 1\\nit\\'s'c");
    move_split(kMessageSeparator, pane_height() - 30);
    set_pane_height(pane_height() - 100);  // pulls the split up
    EXPECT_EQ(app().prefs.MessageHeight, pane_height() - 20);
    EXPECT_EQ(placed(kMessageSeparator).top, placed(kMessageField).bottom);
}

TEST_F(PaneTest, FontPaneShowsAndWritesItsValuesAndTheFontDialogStartsFromTheLine) {
    open_lines({"$FontAnswer=-16,shiftjis,ＭＳ ゴシック'big", "$FontHint=x,ANSI,a\\,b",
                "$FontTitle=14,SHIFTJIS,ＭＳ ゴシック", "$FontGroup=x,FOO,"});
    EXPECT_EQ(fields({kSizeField, kCharsetField, kFaceField, kCommentField}), "-16|shiftjis|ＭＳ ゴシック|big");
    EXPECT_EQ(font_of(kChangeButton), pane_control_font());
    HWND pane = app().pane;
    focus_line(1);  // the same pane; a size that is no number is not shown
    EXPECT_EQ(app().pane, pane);
    EXPECT_EQ(fields({kSizeField, kCharsetField, kFaceField, kCommentField}), "|ANSI|a,b|");
    EXPECT_FALSE(modified());
    // The charset keeps 15 bytes, the face name 31, never half a character.
    std::string face = "ab";
    for (int i = 0; i < 20; ++i) face += "表";
    type(kCharsetField, "ABCDEFGHIJKLMNOPQRST");
    type(kFaceField, face);
    leave_pane();
    expect_line(1, "$FontHint=,ABCDEFGHIJKLMNO," + face.substr(0, 30));

    // The font dialog starts from the line and writes its choice.
    focus_line(2);
    const int dpi = screen_pixels_per_inch(app().pane);
    LOGFONTW offered{};
    bool choose = true;
    set_font_dialog_hook([&](LOGFONTW& font) {
        offered = font;
        font.lfHeight = -MulDiv(12, dpi, 72);
        font.lfCharSet = ANSI_CHARSET;
        font.lfWeight = FW_BOLD;  // the style is not stored
        lstrcpyW(font.lfFaceName, L"Arial");
        return choose;
    });
    auto expect_offered = [&](int height, int charset, const char* face) {
        EXPECT_EQ(offered.lfHeight, height);
        EXPECT_EQ(offered.lfCharSet, charset);
        EXPECT_EQ(narrow(offered.lfFaceName), face);
    };
    click(app().pane, kChangeButton);
    expect_offered(-MulDiv(14, dpi, 72), SHIFTJIS_CHARSET, "ＭＳ ゴシック");
    // Committed already: the charset field lost the focus to the size field.
    expect_line(2, "$FontTitle=12,ANSI,Arial");
    EXPECT_EQ(GetFocus(), control(kSizeField));
    app().editor.mark_saved();
    choose = false;
    focus_line(3);
    click(app().pane, kChangeButton);  // FontGroup starts from the comment default; Cancel changes nothing
    const LOGFONTW expected = font_spec_to_logfont(app().prefs.Comment, dpi);
    expect_offered(expected.lfHeight, expected.lfCharSet, narrow(expected.lfFaceName).c_str());
    leave_pane();
    EXPECT_FALSE(modified());
}

TEST_F(PaneTest, FillingIsNoEditAndUnchangedPanesLeaveOddLinesAlone) {
    // Lines the composers would write differently stay as they are while nothing is typed.
    const std::vector<std::string> lines = {"#t,123456'", "$Group=a'b", "$Message=a\\x'", "$FontTitle=12",
                                            "$FontHint=x,FOO,a'"};
    const int first_fields[] = {kTitleField, kFirstName, kMessageField, kSizeField, kSizeField};
    open_lines(lines);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        focus_line(i);
        SetFocus(control(first_fields[i]));
        SetFocus(control(kCommentField));
        leave_pane();
        EXPECT_EQ(line(i), lines[i]);
    }
    EXPECT_FALSE(modified());
    type(kCommentField, "c2");
    EXPECT_TRUE(modified());
}

// Every label shows on one line inside its box, and no field overlaps a label.
TEST_F(PaneTest, LabelsFitBesideTheirFields) {
    const std::vector<int> labels[] = {{1054, 1024, kCommentLabel}, {1024, 1027, 1029, kCommentLabel},
                                       {1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, kCommentLabel},
                                       {1024, kCommentLabel}};
    open_lines({"#t,000000", "$FontTitle=1,2,3", "$Group=", "$Message="});
    for (int i = 0; i < 4; ++i) {
        focus_line(i);
        for (int id : labels[i]) {
            SCOPED_TRACE(testing::Message() << "line " << i << ", label " << id);
            HDC dc = GetDC(control(id));
            SelectObject(dc, font_of(id));
            RECT extent{};
            DrawTextW(dc, wide(field(id)).c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE);
            ReleaseDC(control(id), dc);
            const RECT box = placed(id);
            EXPECT_LE(extent.right, box.right - box.left);
            for (HWND child = GetWindow(app().pane, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                const int other = GetDlgCtrlID(child);
                RECT r = test::placed(child), overlap;
                // Only the message pane's full-width separator crosses the label column.
                if (other != id && IsWindowVisible(child) && IntersectRect(&overlap, &r, &box)) {
                    EXPECT_EQ(other, kMessageSeparator) << "overlaps " << other;
                }
            }
        }
    }
}

// At any display scale (the test command runs this in a prefix at 144 dpi
// too) every pane's visible controls lie inside the pane and none covers
// another.
TEST_F(PaneTest, EveryPaneControlLiesInsideItsPaneWithoutOverlap) {
    open_lines({"#Quiz,511110'c", "#t,000000", "$Group=a,b", "$Message=m'c", "$TimeLimit=30",
                "$FontTitle=12,ANSI,Arial", "'comment"});
    for (int i = 0; i < doc().count(); ++i) {
        SCOPED_TRACE(testing::Message() << "line " << i << ": " << line(i));
        focus_line(i);
        HWND pane = app().pane;
        ASSERT_TRUE(pane);
        RECT client{};
        GetClientRect(pane, &client);
        std::vector<std::pair<int, RECT>> boxes;
        for (HWND c = GetTopWindow(pane); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!IsWindowVisible(c)) continue;
            RECT box{};
            GetWindowRect(c, &box);
            MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&box), 2);
            const int id = GetDlgCtrlID(c);
            EXPECT_TRUE(box.left >= client.left && box.top >= client.top &&
                        box.right <= client.right && box.bottom <= client.bottom)
                << "control " << id << " at " << box.left << "," << box.top << "-" << box.right
                << "," << box.bottom << " outside " << client.right << "x" << client.bottom;
            for (const auto& [other, seen] : boxes) {
                RECT both{};
                EXPECT_FALSE(IntersectRect(&both, &box, &seen)) << "controls " << id << " and " << other;
            }
            boxes.emplace_back(id, box);
        }
    }
}

// Retyping every settings line's first field and comment with what they
// show and committing keeps the text byte for byte (title and question
// lines: see the fields fuzz target).
TEST_F(PaneTest, RetypedWellFormedLinesStayTheSame) {
    open_lines({
        "$Group=a\\,b,,c\\\\d,ソ,,,,,,it\\'s\\nx'note", "$Message=一行目\\n二行目 Let\\'s go!'開始時",
        "$Message=a\\,b\\\\c表", "$TimeLimit=30'c", "$FontHint=10,300,Ｆａｃｅ\\,x'c", "$FontQuestion=9,,",
        "$FontTitle=12,ANSI,Arial", "$FontComment=9,ANSI,Arial'c",
    });
    for (int i = 0; i < doc().count(); ++i) {
        const int kind = doc().line_at(i)->kind();
        const int first = kind == LINE_GROUP ? kFirstName + 9 : 1025;
        SCOPED_TRACE(testing::Message() << "line " << i << ": " << line(i));
        const std::string before = line(i);
        focus_line(i);
        const std::string shown = field(first), comment = field(kCommentField);
        app().editor.mark_saved();
        type(first, shown + "x");
        type(first, shown);
        type(kCommentField, comment);
        leave_pane();
        expect_line(i, before);
        EXPECT_FALSE(modified());  // the same text again is no change
    }
}

}  // namespace
}  // namespace qz::test
