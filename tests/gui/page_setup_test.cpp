#include <windows.h>

#include <commdlg.h>

#include <cstring>

#include "editor_fixture.h"
#include "resources/page_setup_ids.h"
#include "resources/resource.h"
#include "win/base/help.h"
#include "win/base/page_setup.h"
#include "win/operations/page_setup_dialog_win.h"

namespace qz::test {
namespace {

HGLOBAL global_text(const char* text) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(GlobalLock(h)), text);
    GlobalUnlock(h);
    return h;
}

std::string global_string(HGLOBAL h) {
    std::string text = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
    return text;
}

// What the common page-setup dialog was called with.
struct SetupCall {
    bool on_kept_record;
    DWORD flags;
    HWND owner;
    std::string dev_mode;
};
std::vector<SetupCall> g_setup_calls;

// The default printer "default"; the user then picks "chosen" with a left
// margin of 12.34 mm.
BOOL fake_page_setup(LPPAGESETUPDLGA r) {
    g_setup_calls.push_back({r == &page_setup_record(), r->Flags, r->hwndOwner,
                             r->hDevMode ? global_string(r->hDevMode) : ""});
    if (r->Flags & PSD_RETURNDEFAULT) {
        r->hDevMode = global_text("default");
        r->hDevNames = global_text("names");
        r->rtMargin = {1000, 1000, 1000, 1000};
    } else {
        GlobalFree(r->hDevMode);
        r->hDevMode = global_text("chosen");
        r->rtMargin.left = 1234;
    }
    return TRUE;
}

// The colour dialog picks red and leaves blue among the custom colours.
std::vector<COLORREF> g_custom_first;
BOOL fake_choose_color(LPCHOOSECOLORA c) {
    g_custom_first.push_back(c->lpCustColors[0]);
    c->lpCustColors[0] = RGB(0, 0, 255);
    c->rgbResult = RGB(255, 0, 0);
    return (c->Flags & CC_RGBINIT) != 0;
}

bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }

class PageSetupTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        page_setup_record() = PAGESETUPDLGA{};
        g_setup_calls.clear();
        g_custom_first.clear();
        set_page_setup_dialog_function(fake_page_setup);
        set_page_setup_color_function(fake_choose_color);
    }
    void TearDown() override {
        EditorTest::TearDown();
        PAGESETUPDLGA& r = page_setup_record();
        GlobalFree(r.hDevMode);
        GlobalFree(r.hDevNames);
        r = PAGESETUPDLGA{};
        set_page_setup_dialog_function(nullptr);
        set_page_setup_color_function(nullptr);
    }
    void set_numbers(const char* width, const char* margin) {
        when_dialog("ページ設定", [this, width, margin](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PS_QUESTION_RATE, width);
            SetDlgItemTextA(dialog, IDC_PS_LINE_SPACE, margin);
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            if (IsWindow(dialog)) {
                focus_ = GetDlgCtrlID(GetFocus());
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        });
        command(CMD_PAGE_SETUP);
    }
    int focus_ = 0;
};

TEST_F(PageSetupTest, SettingsShowEnableAndStoreBackCancelKeepsOkTakesAndBadNumbersAreRefused) {
    // Title and answer numbers on with titles and answers off.
    write_file(dir_ + "\\QZOEDIT.INI",
               "[Print]\r\nPrintFlags=80\r\nTitlePosition=7\r\nQTStyle=7\r\nQQStyle=1\r\n");
    start();
    DWORD topic = 0;
    set_help_hook([&](UINT, DWORD t) { topic = t; });
    when_dialog("ページ設定", [&](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PS_TITLE_RIGHT), BST_CHECKED);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PS_QT_STYLE, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PS_QQ_STYLE, CB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PS_TITLE_NUMBERS), BST_CHECKED);
        EXPECT_FALSE(enabled(dialog, IDC_PS_TITLE_NUMBERS));
        EXPECT_FALSE(enabled(dialog, IDC_PS_TITLE_FORMAT));
        EXPECT_FALSE(enabled(dialog, IDC_PS_QUESTION_NUMBERS));
        EXPECT_FALSE(enabled(dialog, IDC_PS_ANSWER_NUMBERS));
        EXPECT_TRUE(enabled(dialog, IDC_PS_QUESTION_FORMAT));  // answer numbers use it
        click(dialog, IDC_PS_TITLES);
        EXPECT_TRUE(enabled(dialog, IDC_PS_TITLE_FORMAT));
        EXPECT_TRUE(enabled(dialog, IDC_PS_TITLE_CENTER));
        click(dialog, IDC_PS_QUESTIONS);
        EXPECT_TRUE(enabled(dialog, IDC_PS_QUESTION_NUMBERS));
        click(dialog, IDC_PS_QUESTION_NUMBERS);
        click(dialog, IDC_PS_QUESTIONS);
        EXPECT_FALSE(enabled(dialog, IDC_PS_QUESTION_NUMBERS));
        SendMessageA(dialog, WM_COMMAND, IDC_HELP_BUTTON, 0);
        EXPECT_EQ(topic, 2010u);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_PAGE_SETUP);
    const PrintSettings& p = app().print;
    EXPECT_EQ(p.PrintFlags, PRINT_TITLES | PRINT_TITLE_NUMBERS | PRINT_QUESTION_NUMBERS |
                                PRINT_ANSWER_NUMBERS);
    EXPECT_EQ(p.TitlePosition, 2);
    EXPECT_EQ(p.QTStyle, PEN_NULL);
    EXPECT_EQ(p.QQStyle, PEN_DASH);
    EXPECT_EQ(p.NumTitle, "%t ");

    // Cancel keeps the colours and the printer, OK takes them.
    const PrintSettings before = app().print;
    for (int button : {IDCANCEL, IDOK}) {
        when_dialog("ページ設定", [button](HWND dialog) {
            click(dialog, IDC_PS_QQ_COLOR);
            click(dialog, IDC_PS_PRINTER);
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
            SendMessageA(dialog, WM_COMMAND, button, 0);
        });
        command(CMD_PAGE_SETUP);
        if (button == IDCANCEL) {
            EXPECT_EQ(app().print.QQColor, before.QQColor);
            EXPECT_EQ(app().print.PrintFlags, before.PrintFlags);
            EXPECT_EQ(global_string(page_setup_record().hDevMode), "default");
            EXPECT_EQ(page_setup_record().rtMargin.left, 1000);
        }
    }
    EXPECT_EQ(app().print.QQColor, static_cast<std::uint32_t>(RGB(255, 0, 0)));
    EXPECT_EQ(app().print.QTColor, 0u);
    const PAGESETUPDLGA& r = page_setup_record();
    EXPECT_EQ(global_string(r.hDevMode), "chosen");
    EXPECT_EQ(global_string(r.hDevNames), "names");
    EXPECT_EQ(r.rtMargin.left, 1234);
    EXPECT_EQ(r.hwndOwner, main_window());
    // Custom colours last from one dialog to the next.
    EXPECT_EQ(g_custom_first, (std::vector<COLORREF>{0, RGB(0, 0, 255)}));
    // The default printer once, then the common dialog on the working copy only.
    ASSERT_EQ(g_setup_calls.size(), 3u);
    EXPECT_EQ(g_setup_calls[0].flags, static_cast<DWORD>(PSD_RETURNDEFAULT));
    for (int i : {1, 2}) {
        EXPECT_FALSE(g_setup_calls[i].on_kept_record);
        EXPECT_EQ(g_setup_calls[i].flags, 0x0Bu);
        EXPECT_EQ(g_setup_calls[i].dev_mode, "default");
        EXPECT_NE(g_setup_calls[i].owner, main_window());
    }

    // Which numbers are bad is the core's (PageSetupValues); the box the core
    // names gets the focus.
    set_numbers("101", "1000");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "数値が正しくありません。");
    EXPECT_EQ(messages_[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(focus_, IDC_PS_LINE_SPACE);
    EXPECT_EQ(app().print.QuestionRate, 50);
    set_numbers("", "999");
    EXPECT_EQ(app().print.QuestionRate, 0);
    EXPECT_EQ(app().print.LineSpace, 999);
}

}  // namespace
}  // namespace qz::test
