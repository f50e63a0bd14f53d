#include "editor_fixture.h"
#include "win/base/dpi_win.h"
#include "resources/customize_ids.h"
#include "resources/data_info_ids.h"
#include "resources/question_pane_ids.h"
#include "resources/resource.h"
#include "win/base/color_chooser_win.h"
#include "win/operations/customize_win.h"
#include "win/view/pane_common_win.h"

namespace qz::test {
namespace {

void choose(HWND dialog, int id, int entry) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, entry, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

using DataInfoTest = EditorTest;

TEST_F(DataInfoTest, NewDocumentShowsPlainNewNameAndLoweringAsksOnlyFrom14) {
    start();
    when_dialog("データ情報", [](HWND dialog) {
        HWND name = GetDlgItem(dialog, IDC_INFO_FILE_NAME);
        EXPECT_EQ(window_text(name), "（新規）");
        EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_INFO_GROUP_NAME_FIRST + 9)), "９");
        EXPECT_EQ(GetWindowLongW(name, GWL_EXSTYLE), 0);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_INFO_VERSION, CB_GETCURSEL, 0, 0), 2);
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_INFO_MODIFIED)));
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    command(CMD_DATA_INFO);
    EXPECT_FALSE(modified());

    // Lowering the version asks only from 1.4 and turns settings into comments.
    restart();
    open("$Group=歴史,地理\r\nq,a,<10\r\n$Message=hi\r\n");
    focus_line(1);
    answers_ = {IDNO, IDYES};
    when_dialog("データ情報", [this](HWND dialog) {
        choose(dialog, IDC_INFO_VERSION, 1);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindow(dialog));  // No: still open, nothing changed
        EXPECT_EQ(doc().version, 14);
        EXPECT_EQ(doc().line_at(0)->kind(), LINE_GROUP);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_DATA_INFO);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].text,
              "下位バージョンに変更すると設定がコメントに変換されます。よろしいですか？");
    EXPECT_EQ(messages_[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(doc().version, 13);
    EXPECT_EQ(item_text(0, 2), "'Group=歴史,地理");  // which lines change: see EditorModel
    EXPECT_TRUE(IsWindowVisible(control(IDC_QUESTION_ANSWER_NUMBER)));
    EXPECT_TRUE(modified());

    // From 1.3 down nothing is asked, and the answer number goes.
    when_dialog("データ情報", [](HWND dialog) {
        choose(dialog, IDC_INFO_VERSION, 0);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_DATA_INFO);
    EXPECT_EQ(messages_.size(), 2u);
    EXPECT_EQ(doc().version, 12);
    EXPECT_FALSE(IsWindowVisible(control(IDC_QUESTION_ANSWER_NUMBER)));
}

class CustomizeTest : public EditorTest {
  protected:
    void TearDown() override {
        set_customize_font_dialog_hook(nullptr);
        set_choose_color_function(nullptr);
        EditorTest::TearDown();
    }
    static HWND current_page(HWND sheet) {
        return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    static HWND show_fonts_page(HWND sheet) {
        SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        pump();
        return current_page(sheet);
    }
    static void press(HWND sheet, int button) { SendMessageW(sheet, PSM_PRESSBUTTON, button, 0); }
};

TEST_F(CustomizeTest, OnlyThePagesUsedChangeCancelKeepsCustomColoursApplyAndResetReachThePane) {
    open("q,a,<00\r\n");
    focus_line(0);
    app().prefs.Title.size = 33;
    app().prefs.UseDataSettings = 0;
    when_dialog("カスタマイズ", [](HWND sheet) {
        choose(current_page(sheet), IDC_IME_TITLE, 1);
        press(sheet, PSBTN_OK);
    });
    command(CMD_CUSTOMIZE);
    EXPECT_EQ(app().prefs.IMETitle, IME_OPEN);
    EXPECT_EQ(app().prefs.IMEQuestion, IME_LEAVE);
    EXPECT_EQ(app().prefs.Title.size, 33);
    EXPECT_EQ(app().prefs.UseDataSettings, 0);

    // Cancel discards a colour; the custom colours are kept.
    const FontSpec question = app().prefs.Question;
    int shown = 0;
    set_choose_color_function([&](CHOOSECOLORW& c) {
        EXPECT_EQ(c.rgbResult, question.back_color);
        EXPECT_EQ(c.lpCustColors[0], shown++ ? RGB(9, 9, 9) : RGB(255, 255, 255));
        c.lpCustColors[0] = RGB(9, 9, 9);
        c.rgbResult = RGB(1, 2, 3);
        return TRUE;
    });
    for (int run = 0; run < 2; ++run) {
        when_dialog("カスタマイズ", [](HWND sheet) {
            HWND fonts = show_fonts_page(sheet);
            choose(fonts, IDC_FONTS_KIND, 1);
            click(fonts, IDC_FONTS_BACK);
            press(sheet, PSBTN_CANCEL);
        });
        command(CMD_CUSTOMIZE);
    }
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(app().prefs.Question, question);

    // Apply puts new fonts on the pane; Reset restores the defaults.
    app().prefs.UseDataSettings = 1;
    auto field_font = [this] {
        return reinterpret_cast<HFONT>(SendMessageW(control(IDC_QUESTION), WM_GETFONT, 0, 0));
    };
    const HFONT before = field_font();
    static int dpi;
    dpi = window_dpi(main_window());
    set_customize_font_dialog_hook([](LOGFONTW& font, COLORREF& colour) {
        font.lfHeight = -MulDiv(30, dpi, 72);  // 30 points at the window's display scale
        lstrcpyW(font.lfFaceName, L"Arial");
        colour = RGB(200, 0, 0);
        return true;
    });
    when_dialog("カスタマイズ", [](HWND sheet) {
        HWND fonts = show_fonts_page(sheet);
        for (int kind : {1, 2}) {  // question, hint
            choose(fonts, IDC_FONTS_KIND, kind);
            click(fonts, IDC_FONTS_FONT);
        }
        click(fonts, IDC_FONTS_USE_DATA);
        press(sheet, PSBTN_APPLYNOW);
        pump();
        press(sheet, PSBTN_CANCEL);
    });
    command(CMD_CUSTOMIZE);
    const Preferences& p = app().prefs;
    EXPECT_EQ(p.Question.size, 30);
    EXPECT_EQ(p.Question.text_color, RGB(200, 0, 0));
    EXPECT_EQ(p.hint_font.face, "Arial");
    EXPECT_EQ(p.UseDataSettings, 0);
    EXPECT_NE(field_font(), before);
    EXPECT_EQ(field_font(), pane_font(FONT_QUESTION));

    when_dialog("カスタマイズ", [](HWND sheet) {
        click(show_fonts_page(sheet), IDC_CUSTOMIZE_RESET);
        press(sheet, PSBTN_OK);
    });
    command(CMD_CUSTOMIZE);
    EXPECT_EQ(p.Question, app().default_prefs.Question);
    EXPECT_EQ(p.hint_font, app().default_prefs.hint_font);
    EXPECT_EQ(p.UseDataSettings, 1);
}

}  // namespace
}  // namespace qz::test
