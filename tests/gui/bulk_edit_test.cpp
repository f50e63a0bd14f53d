#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/help.h"
#include "document/line_list_win.h"
#include "editor_fixture.h"
#include "resources/resource.h"

namespace qz::test {
namespace {

constexpr int kQuestionBox = 1026;
constexpr int kGroupList = 1056;

std::string clipboard_text() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void set_unicode_clipboard(const wchar_t* text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(mem), text, bytes);
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
}

class BulkEditTest : public EditorTest {
protected:
    std::string texts() const {
        std::string joined;
        for (const DataLine& line : doc()) joined += (line.has_text() ? line.text() : "_") + "|";
        return joined;
    }
    void expect_list_mirrors_model() {
        EXPECT_EQ(line_list_count(), doc().count());
        EXPECT_EQ(selected_items(), app().editor.selected());
    }
};

const char kBody[] = "#t,000000\r\n\r\nq,a,?20'c\r\nr,b,<00\r\n";

TEST_F(BulkEditTest, CopyCutAndPasteInTheListAreOneStepEach) {
    open(kBody);
    focus_line(0);
    select_only({0, 1, 2});
    SetFocus(list());
    command(CMD_COPY);
    EXPECT_EQ(clipboard_text(), "#t,000000\r\n\r\nq,a,?20'c\r\n");
    EXPECT_FALSE(modified());

    focus_line(3);
    command(CMD_PASTE);
    EXPECT_EQ(texts(), "#t,000000|_|q,a,?20'c|r,b,<00|#t,000000|_|q,a,?20'c|");
    EXPECT_EQ(item_text(4, 1), "タイトル2");
    EXPECT_EQ(item_text(6, 1), "問題3");
    expect_list_mirrors_model();
    command(CMD_UNDO);
    EXPECT_EQ(texts(), "#t,000000|_|q,a,?20'c|r,b,<00|");
    EXPECT_FALSE(modified());

    select_only({1, 3});
    SetFocus(list());
    command(CMD_CUT);
    EXPECT_EQ(clipboard_text(), "\r\nr,b,<00\r\n");
    EXPECT_EQ(texts(), "#t,000000|q,a,?20'c|");
    expect_list_mirrors_model();
    command(CMD_UNDO);
    EXPECT_EQ(texts(), "#t,000000|_|q,a,?20'c|r,b,<00|");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(BulkEditTest, PasteInAnEditControlGoesToTheControl) {
    open(kBody);
    focus_line(2);
    set_clipboard("xyz");
    SetFocus(control(kQuestionBox));
    SendMessageA(control(kQuestionBox), EM_SETSEL, 0, -1);
    command(CMD_PASTE);
    EXPECT_EQ(field(kQuestionBox), "xyz");
    EXPECT_EQ(doc().count(), 4);
}

TEST_F(BulkEditTest, UnicodeTextArrivesConvertedAndNeverFails) {
    open(kBody);
    focus_line(0);
    SetFocus(list());
    // U+00E9 and U+4E02 have no code page 932 form.
    set_unicode_clipboard(L"\u554f\u984c,\u7b54\u3048,<00\r\n\u00e9\u4e02,x,<00");
    command(CMD_PASTE);
    EXPECT_TRUE(messages_.empty());
    ASSERT_EQ(doc().count(), 6);
    EXPECT_EQ(doc().line_at(1)->text(), "問題,答え,<00");
    EXPECT_NE(doc().line_at(2)->text(), "");
}

TEST_F(BulkEditTest, SwapAppendsReversedCopiesAndSaysHowMany) {
    open(kBody);
    select_only({0, 2, 3});
    SetFocus(list());
    command(CMD_SWAP_QUESTION_ANSWER);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "2個入れ替えしました。");
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(texts(), "#t,000000|_|q,a,?20'c|r,b,<00|a,q,<00|b,r,<00|");
    EXPECT_EQ(item_text(5, 1), "問題4");
    expect_list_mirrors_model();
    command(CMD_UNDO);
    EXPECT_EQ(doc().count(), 4);

    select_only({0, 1});
    command(CMD_SWAP_QUESTION_ANSWER);
    EXPECT_EQ(messages_.back().text, "入れ替える問題はありません。");
    EXPECT_EQ(doc().count(), 4);
}

TEST_F(BulkEditTest, GroupChangeDialogSetsTheGroupAndShowsItInThePane) {
    open("$Group=全般,歴史,地理\r\n" + std::string(kBody));
    focus_line(3);
    select_only({1, 3, 4});
    DWORD topic = 0;
    set_help_hook([&](UINT, DWORD t) { topic = t; });
    when_dialog("グループ一括変更", [](HWND dialog) {
        HWND combo = GetDlgItem(dialog, 1056);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 10);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(window_text(combo), "全般");
        SendMessageA(dialog, WM_COMMAND, IDC_HELP_BUTTON, 0);
        SendMessageA(combo, CB_SETCURSEL, 3, 0);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_GROUP_CHANGE);
    set_help_hook({});
    EXPECT_EQ(topic, 2015u);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "2問変更しました。");
    EXPECT_EQ(texts(), "$Group=全般,歴史,地理|#t,000000|_|q,a,?30'c|r,b,<30|");
    EXPECT_EQ(selection(kGroupList), 3);
    command(CMD_UNDO);
    EXPECT_FALSE(modified());

    // Cancelled: nothing; no question selected: said, and still unmodified.
    when_dialog("グループ一括変更", [](HWND d) { SendMessageA(d, WM_COMMAND, IDCANCEL, 0); });
    command(CMD_GROUP_CHANGE);
    EXPECT_EQ(messages_.size(), 1u);
    select_only({1, 2});
    when_dialog("グループ一括変更", [](HWND d) { SendMessageA(d, WM_COMMAND, IDOK, 0); });
    command(CMD_GROUP_CHANGE);
    EXPECT_EQ(messages_.back().text, "問題が選択されていません。");
    EXPECT_FALSE(modified());
}

}  // namespace
}  // namespace qz::test
