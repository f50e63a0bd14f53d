#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor_fixture.h"
#include "resources/group_change_dialog.h"
#include "resources/question_pane_ids.h"
#include "resources/resource.h"
#include "win/base/help.h"
#include "win/view/line_list_win.h"

namespace qz::test {
namespace {

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

class BulkEditTest : public EditorTest {
protected:
    std::string texts() const {
        std::string joined;
        for (const DataLine& line : doc()) joined += std::string(line.has_text() ? line.text() : "_") + "|";
        return joined;
    }
};

const char kBody[] = "#t,000000\r\n\r\nq,a,?20'c\r\nr,b,<00\r\n";
const char kOpened[] = "#t,000000|_|q,a,?20'c|r,b,<00|";

TEST_F(BulkEditTest, CopyCutAndPasteInTheListAreOneStepEach) {
    open(kBody);
    focus_line(0);
    select_only({0, 1, 2});
    SetFocus(list());
    command(CMD_COPY);
    EXPECT_EQ(clipboard_text(), "#t,000000\r\n\r\nq,a,?20'c\r\n");

    focus_line(3);
    command(CMD_PASTE);
    EXPECT_EQ(texts(), std::string(kOpened) + "#t,000000|_|q,a,?20'c|");
    EXPECT_EQ(item_text(6, 1), "問題3");
    EXPECT_EQ(line_list_count(), 7);
    command(CMD_UNDO);
    EXPECT_EQ(texts(), kOpened);

    select_only({1, 3});
    SetFocus(list());
    command(CMD_CUT);
    EXPECT_EQ(clipboard_text(), "\r\nr,b,<00\r\n");
    EXPECT_EQ(texts(), "#t,000000|q,a,?20'c|");
    command(CMD_UNDO);
    EXPECT_EQ(texts(), kOpened);
    EXPECT_FALSE(modified());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(BulkEditTest, UnicodeTextArrivesConvertedAndNeverFails) {
    open(kBody);
    focus_line(0);
    SetFocus(list());
    // U+00E9 and U+4E02 have no code page 932 form.
    const wchar_t text[] = L"\u554f\u984c,\u7b54\u3048,<00\r\n\u00e9\u4e02,x,<00";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    std::memcpy(GlobalLock(mem), text, sizeof text);
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
    command(CMD_PASTE);
    EXPECT_TRUE(messages_.empty());
    ASSERT_EQ(doc().count(), 6);
    EXPECT_EQ(doc().line_at(1)->text(), "問題,答え,<00");
}

TEST_F(BulkEditTest, SwapSaysHowMany) {
    open(kBody);
    select_only({0, 2, 3});
    command(CMD_SWAP_QUESTION_ANSWER);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "2個入れ替えしました。");
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(item_text(5, 1), "問題4");
    EXPECT_EQ(line_list_count(), 6);

    select_only({0, 1});
    command(CMD_SWAP_QUESTION_ANSWER);
    EXPECT_EQ(messages_.back().text, "入れ替える問題はありません。");
    EXPECT_EQ(doc().count(), 6);
}

TEST_F(BulkEditTest, GroupChangeDialogSetsTheGroupAndThePaneShowsIt) {
    open("$Group=全般,歴史,地理\r\n" + std::string(kBody));
    select_only({1, 3});
    focus_line(4);  // the pane shows r,b,<00
    DWORD topic = 0;
    set_help_hook([&](UINT, DWORD t) { topic = t; });
    when_dialog("グループ一括変更", [](HWND dialog) {
        HWND combo = GetDlgItem(dialog, IDC_GROUP_CHANGE_GROUP);
        EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 10);
        EXPECT_EQ(window_text(combo), "全般");
        SendMessageA(dialog, WM_COMMAND, IDC_HELP_BUTTON, 0);
        SendMessageA(combo, CB_SETCURSEL, 2, 0);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_GROUP_CHANGE);
    set_help_hook({});
    EXPECT_EQ(topic, 2015u);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "2問変更しました。");
    EXPECT_EQ(texts(), "$Group=全般,歴史,地理|#t,000000|_|q,a,?20'c|r,b,<20|");
    EXPECT_EQ(selection(IDC_QUESTION_GROUP), 2);

    // Cancelled: nothing; no question selected: said, and still unmodified.
    command(CMD_UNDO);
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
