#include "editor_fixture.h"
#include "win/base/wide_win.h"
#include "resources/choice_box_ids.h"
#include "resources/customize_ids.h"
#include "resources/question_pane_ids.h"
#include "resources/resource.h"
#include "win/app/recovery_win.h"
#include "platform/file_lock.h"
#include "win/base/message_box_win.h"

namespace qz::test {
namespace {

class RecoveryTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        recovery_interval_ = 30;
        data_ = dir_ + "\\data.qzf";
        recovery_ = dir_ + "\\~$data.qzf.recover";
    }
    // A data file written long ago, and a recovery file written now.
    void leave_recovery(const std::string& recovery_bytes) {
        write_file(data_, "QUIZODATA V1.4\r\nq1,a1,<00\r\n");
        unique_file file(CreateFileW(wide_path(data_).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
        FILETIME long_ago{0, 0x01D00000};
        SetFileTime(file.get(), nullptr, nullptr, &long_ago);
        file.reset();
        write_file(recovery_, recovery_bytes);
    }
    // Starts on the data file, answering the offer with button `id`.
    void start_answering(int id) {
        when_dialog(kAppCaption, [id](HWND box) {
            EXPECT_NE(window_text(GetDlgItem(box, IDC_CHOICE_TEXT))
                          .find("前回の編集内容が残っています。復元しますか？"),
                      std::string::npos);
            SendMessageW(box, WM_COMMAND, id, 0);
        });
        start("\"" + data_ + "\"");
    }
    std::string data_, recovery_;
};

TEST_F(RecoveryTest, WrittenAfterAChangeWithThePendingPaneEditRemovedOnSaveAndOnClosingWithoutSaving) {
    open("q1,a1,<00\r\nq2,a2,<00\r\n");
    recovery_tick();
    finish_recovery();
    EXPECT_FALSE(file_exists(recovery_));  // nothing modified
    focus_line(1);
    type(IDC_QUESTION, "typed");  // not committed yet
    recovery_tick();
    finish_recovery();
    EXPECT_EQ(read_file(recovery_), "QUIZODATA V1.4\r\nq1,a1,<00\r\ntyped,a2,<00\r\n");
    EXPECT_TRUE(GetFileAttributesW(wide_path(recovery_).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    leave_pane();
    command(CMD_SAVE);
    EXPECT_FALSE(file_exists(recovery_));

    type(IDC_QUESTION, "again");
    leave_pane();
    recovery_tick();
    finish_recovery();
    EXPECT_TRUE(file_exists(recovery_));
    // Undone back to the saved text, the file goes.
    command(CMD_UNDO);
    recovery_tick();
    EXPECT_FALSE(file_exists(recovery_));

    type(IDC_QUESTION, "once more");
    recovery_tick();
    finish_recovery();
    EXPECT_TRUE(file_exists(recovery_));
    answers_ = {IDNO};
    command(CMD_NEW);
    EXPECT_FALSE(file_exists(recovery_));
    EXPECT_EQ(doc().file_name, UNTITLED_NAME);
}

TEST_F(RecoveryTest, OfferedWhenNewerRestoreBindsToTheDataFileDiscardDeletesCancelOpensNothing) {
    leave_recovery("QUIZODATA V1.4\r\nq1,restored,<00\r\n");
    start_answering(IDC_CHOICE_FIRST);
    EXPECT_EQ(joined_lines(), "q1,restored,<00|");
    EXPECT_EQ(doc().file_name, data_);
    EXPECT_TRUE(modified());
    EXPECT_EQ(window_text(main_window()), data_ + " - Quizo Editor");
    EXPECT_EQ(read_file(data_), "QUIZODATA V1.4\r\nq1,a1,<00\r\n");  // untouched until saved
    EXPECT_TRUE(file_exists(recovery_));
    // Saved, with no question about another program: the file is what it was.
    command(CMD_SAVE);
    EXPECT_EQ(message_texts(), std::vector<std::string>{});
    EXPECT_EQ(read_file(data_), "QUIZODATA V1.4\r\nq1,restored,<00\r\n");
    EXPECT_FALSE(file_exists(recovery_));

    restart();
    leave_recovery("QUIZODATA V1.4\r\nq1,restored,<00\r\n");
    start_answering(IDC_CHOICE_SECOND);
    EXPECT_EQ(joined_lines(), "q1,a1,<00|");
    EXPECT_FALSE(modified());
    EXPECT_FALSE(file_exists(recovery_));

    restart();
    leave_recovery("QUIZODATA V1.4\r\nq1,restored,<00\r\n");
    start_answering(IDCANCEL);
    EXPECT_EQ(doc().file_name, UNTITLED_NAME);
    EXPECT_TRUE(file_exists(recovery_));

    // A recovery file that cannot be read is reported and kept; the data
    // file opens.
    restart();
    leave_recovery("not a data file");
    start_answering(IDC_CHOICE_FIRST);
    EXPECT_EQ(message_texts().size(), 1u);
    EXPECT_EQ(joined_lines(), "q1,a1,<00|");
    EXPECT_TRUE(file_exists(recovery_));
}

TEST_F(RecoveryTest, AFileAnotherWindowHoldsOpensReadOnlyOrSwitchesAndAGoneHolderHoldsNothing) {
    write_file(data_, "QUIZODATA V1.4\r\nq1,a1,<00\r\n");
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    FileLock held = FileLock::take(data_, other);
    ASSERT_TRUE(held.held());
    when_dialog(kAppCaption, [](HWND box) {
        EXPECT_NE(window_text(GetDlgItem(box, IDC_CHOICE_TEXT))
                      .find("このファイルは別のウィンドウで開かれています。"),
                  std::string::npos);
        SendMessageW(box, WM_COMMAND, IDC_CHOICE_SECOND, 0);
    });
    start("\"" + data_ + "\"");
    EXPECT_EQ(joined_lines(), "q1,a1,<00|");
    EXPECT_EQ(window_text(main_window()), data_ + " (読み取り専用) - Quizo Editor");
    // Its edits are kept as an untitled document's, not beside the other
    // editor's file.
    make_modified();
    recovery_tick();
    finish_recovery();
    EXPECT_FALSE(file_exists(recovery_));
    EXPECT_TRUE(file_exists(dir_ + "\\~$untitled.qzf.recover"));
    // Saving asks for another name.
    dialog_answers_ = {""};
    command(CMD_SAVE);
    EXPECT_EQ(dialogs_shown_.size(), 1u);
    EXPECT_EQ(read_file(data_), "QUIZODATA V1.4\r\nq1,a1,<00\r\n");
    app().editor.mark_saved();

    restart();
    when_dialog(kAppCaption, [](HWND box) { SendMessageW(box, WM_COMMAND, IDC_CHOICE_FIRST, 0); });
    start("\"" + data_ + "\"");
    EXPECT_EQ(doc().file_name, UNTITLED_NAME);  // switched to the other window instead

    // The holder's window is gone (its copy is closing): the file opens.
    restart();
    DestroyWindow(other);
    start("\"" + data_ + "\"");
    EXPECT_EQ(window_text(main_window()), data_ + " - Quizo Editor");
    held = FileLock();
    // Now this window holds it, until its document goes.
    EXPECT_FALSE(FileLock::take(data_, other).held());
    command(CMD_NEW);
    EXPECT_TRUE(FileLock::take(data_, other).held());  // released with the document
}

// The interval is set on the customize sheet's third page and kept in the
// settings file; an empty box is refused there.
TEST_F(RecoveryTest, TheIntervalIsSetOnTheCustomizeSheetAndKeptInTheSettingsFile) {
    open("q1,a1,<00\r\n");
    when_dialog("カスタマイズ", [this](HWND sheet) {
        PropSheet_SetCurSel(sheet, nullptr, 2);
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        EXPECT_EQ(GetDlgItemInt(page, IDC_RECOVERY_INTERVAL, nullptr, FALSE), 30u);
        SetDlgItemTextW(page, IDC_RECOVERY_INTERVAL, L"");
        PropSheet_PressButton(sheet, PSBTN_OK);
        // Refused: the sheet is still open.
        when_dialog("カスタマイズ", [this, page](HWND again) {
            EXPECT_EQ(messages_.size(), 1u);
            SetDlgItemInt(page, IDC_RECOVERY_INTERVAL, 5, FALSE);
            PropSheet_PressButton(again, PSBTN_OK);
        });
    });
    command(CMD_CUSTOMIZE);
    EXPECT_EQ(message_texts(), std::vector<std::string>{"0 から 3600 までの秒数を入力してください。"});
    EXPECT_EQ(app().prefs.RecoveryInterval, 5);
    shut_down();
    EXPECT_NE(read_file(dir_ + "\\QZOEDIT.INI").find("\r\nRecoveryInterval=5\r\n"), std::string::npos);
}

}  // namespace
}  // namespace qz::test
