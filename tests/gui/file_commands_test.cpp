#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/file_commands.h"
#include "app/win_handle.h"
#include "document/data_file_win.h"
#include "editor_fixture.h"
#include "resources/resource.h"

namespace qz::test {
using namespace std::string_literals;
namespace {

using FileCommandsTest = EditorTest;

const char kSmall[] = "QUIZODATA V1.4\r\n#t,000000\r\nq,a,<00\r\n";

std::vector<std::string> recent_menu_texts(HWND main_window) {
    HMENU file = GetSubMenu(GetMenu(main_window), 0);
    std::vector<std::string> texts;
    for (int id = CMD_RECENT_FIRST; id <= CMD_RECENT_LAST; ++id) {
        char buf[300] = {};
        if (GetMenuStringA(file, id, buf, sizeof buf, MF_BYCOMMAND) > 0) texts.push_back(buf);
    }
    return texts;
}

std::vector<std::string> files_in(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

TEST_F(FileCommandsTest, SaveWritesTheSameBytesAndReloadGivesTheSameLines) {
    std::string path = copy_to_temp("samples/sample.qzf", "sample.qzf");
    std::string original = read_file(path);
    start(path);
    ASSERT_EQ(doc().count(), 59);
    doc().modified = true;
    command(CMD_SAVE);
    EXPECT_TRUE(messages_.empty());
    EXPECT_FALSE(doc().modified);
    EXPECT_EQ(read_file(path), original);

    doc().set_text(doc().line_at(1), "'changed");
    doc().modified = true;
    command(CMD_SAVE);
    open_document(main_window(), path);
    EXPECT_EQ(doc().line_at(1)->text(), "'changed");
    EXPECT_EQ(doc().count(), 59);
    EXPECT_EQ(files_in(dir_), std::vector<std::string>{"sample.qzf"});
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheOldFileAndTheModifiedFlag) {
    std::string path = dir_ + "\\locked.qzf";
    write_file(path, kSmall);
    start(path);
    doc().set_text(doc().line_at(1), "new,a,<00");
    doc().modified = true;
    {
        // Another program holds the file open without sharing.
        unique_file holder(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        command(CMD_SAVE);
    }
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "書き込みできません。");
    EXPECT_TRUE(doc().modified);
    EXPECT_EQ(read_file(path), kSmall);
    EXPECT_EQ(files_in(dir_), std::vector<std::string>{"locked.qzf"});
}

TEST_F(FileCommandsTest, SavingOverAFolderFailsCleanly) {
    start();
    std::string folder = dir_ + "\\folder.qzf";
    CreateDirectoryA(folder.c_str(), nullptr);
    dialog_answers_ = {folder};
    doc().modified = true;
    command(CMD_SAVE);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "書き込みできません。");
    EXPECT_TRUE(doc().modified);
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(files_in(dir_).empty());
}

TEST_F(FileCommandsTest, ReadOnlyFileIsSavedOnlyWhenTheUserSaysYes) {
    std::string path = dir_ + "\\readonly.qzf";
    write_file(path, kSmall);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    start(path);
    doc().set_text(doc().line_at(1), "x,y,<00");
    doc().modified = true;

    answers_ = {IDNO};
    command(CMD_SAVE);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, path + " は読み込み専用ファイルです。保存しますか？");
    EXPECT_EQ(read_file(path), kSmall);
    EXPECT_TRUE(doc().modified);

    answers_ = {IDYES};
    command(CMD_SAVE);
    EXPECT_EQ(read_file(path), "QUIZODATA V1.4\r\n#t,000000\r\nx,y,<00\r\n");
    EXPECT_FALSE(doc().modified);
}

TEST_F(FileCommandsTest, SavingANewDocumentAsksForAName) {
    start();
    std::string path = dir_ + "\\named.qzf";
    dialog_answers_ = {path};
    command(CMD_SAVE);
    ASSERT_EQ(dialogs_shown_, std::vector<std::string>{"save:新規.qzf"});
    EXPECT_EQ(read_file(path), "QUIZODATA V1.4\r\n\r\n");
    char title[512] = {};
    GetWindowTextA(main_window(), title, sizeof title);
    EXPECT_EQ(std::string(title), path + " - Quizo Editor");
}

TEST_F(FileCommandsTest, SaveChangesPrompt) {
    std::string path = dir_ + "\\doc.qzf";
    write_file(path, kSmall);
    start(path);
    doc().modified = true;

    answers_ = {IDCANCEL};
    command(CMD_NEW);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, path + " は変更されています。保存しますか？");
    EXPECT_EQ(messages_[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(doc().file_name, path);
    EXPECT_EQ(doc().count(), 2);

    // No before Open discards the edits only once a file was chosen.
    answers_ = {IDNO};
    dialog_answers_ = {""};
    command(CMD_OPEN);
    EXPECT_EQ(doc().file_name, path);
    EXPECT_TRUE(doc().modified);

    answers_ = {IDNO};
    command(CMD_NEW);
    EXPECT_EQ(doc().file_name, "新規.qzf");
    EXPECT_EQ(doc().count(), 1);
    EXPECT_FALSE(doc().modified);
}

TEST_F(FileCommandsTest, YesWhoseSaveFailsStopsTheOperation) {
    start();
    doc().set_text(doc().line_at(0), "kept,a,<00");
    doc().modified = true;
    answers_ = {IDYES};
    dialog_answers_ = {""};  // Save As cancelled
    command(CMD_NEW);
    EXPECT_EQ(doc().line_at(0)->text(), "kept,a,<00");
    EXPECT_TRUE(doc().modified);
}

TEST_F(FileCommandsTest, RecentFilesKeepFiveDistinctPathsNewestFirst) {
    start();
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) {
        paths.push_back(dir_ + "\\file" + std::to_string(i) + ".qzf");
        write_file(paths.back(), kSmall);
        dialog_answers_ = {paths.back()};
        command(CMD_OPEN);
    }
    const auto& recent = app().prefs.recent_files;
    ASSERT_EQ(recent.size(), 5u);
    EXPECT_EQ(recent.front(), paths[5]);
    EXPECT_EQ(recent.back(), paths[1]);
    std::vector<std::string> menu = recent_menu_texts(main_window());
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_EQ(menu[0], "&1 " + paths[5]);
    EXPECT_EQ(menu[4], "&5 " + paths[1]);

    // The same file in other letter case: one entry, at the top, as opened.
    std::string upper = paths[3];
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    open_document(main_window(), upper);
    ASSERT_EQ(recent.size(), 5u);
    EXPECT_EQ(recent.front(), upper);
    EXPECT_EQ(std::count_if(recent.begin(), recent.end(),
                            [&](const std::string& p) { return lstrcmpiA(p.c_str(), upper.c_str()) == 0; }),
              1);

    // Opening entry 3 (the menu's "&3") moves it to the top.
    std::string third = recent[2];
    command(CMD_RECENT_FIRST + 2);
    EXPECT_EQ(doc().file_name, third);
    EXPECT_EQ(recent.front(), third);

    command(CMD_CLEAR_RECENT);
    EXPECT_TRUE(recent.empty());
    EXPECT_TRUE(recent_menu_texts(main_window()).empty());
    EXPECT_TRUE(menu_state(CMD_CLEAR_RECENT) & MFS_GRAYED);
}

struct BadFile {
    const char* name;
    const char* bytes;
    const char* message;
    bool enters_recent_list;
};

class UnreadableFiles : public EditorTest, public testing::WithParamInterface<BadFile> {};

TEST_P(UnreadableFiles, GiveTheirMessageAndANewDocument) {
    const BadFile& f = GetParam();
    std::string path = dir_ + "\\bad.qzf";
    if (f.bytes) write_file(path, f.bytes);
    start("\"" + path + "\"");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, f.message);
    EXPECT_EQ(doc().file_name, "新規.qzf");
    EXPECT_EQ(doc().count(), 1);
    EXPECT_EQ(app().prefs.recent_files.size(), f.enters_recent_list ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    FileCommands, UnreadableFiles,
    testing::Values(BadFile{"missing", nullptr, "ファイル読み込みに失敗しました。", false},
                    BadFile{"not_data", "quizodata v1.4\r\n", "Quizo データファイルではありません。", false},
                    BadFile{"bad_header", "QUIZODATA V1.4x\r\n", "ヘッダの形式が違います。", true},
                    BadFile{"bad_version", "QUIZODATA V1.5\r\n", "データのバージョンが違います。", true}),
    [](const auto& info) { return std::string(info.param.name); });

// NUL bytes are dropped on opening with one message naming the first line;
// every other byte stays, and saving writes the file without them.
TEST_F(FileCommandsTest, NulBytesAreRemovedWithOneMessage) {
    std::string path = dir_ + "\\zeros.qzf";  // not "nul": that names a device
    write_file(path, "QUIZODATA V1.4\r\nQ\r\nli\0ne2,a,<00\r\nQ\r\nla\0st\r\n"s);
    start("\"" + path + "\"");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "ファイルにNULバイトが含まれていました（最初は3行目）。"
                                 "NULバイトを削除して読み込みました。");
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    ASSERT_EQ(doc().count(), 4);
    EXPECT_EQ(doc().line_at(1)->text(), "line2,a,<00");
    EXPECT_TRUE(doc().modified);
    command(CMD_SAVE);
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_EQ(read_file(path), "QUIZODATA V1.4\r\n'Q\r\nline2,a,<00\r\n'Q\r\n'last\r\n");
}

TEST_F(FileCommandsTest, CommandLineWithQuotedPathAndExtraArguments) {
    std::string folder = dir_ + "\\with spaces";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + "\\my file.qzf";
    write_file(path, kSmall);
    start("\"" + path + "\" /extra arguments");
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(doc().file_name, path);
    EXPECT_EQ(doc().count(), 2);
}

HDROP make_drop(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& p : paths) list += p + '\0';
    list += '\0';
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(mem));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

TEST_F(FileCommandsTest, DroppingFilesOpensTheFirstOnly) {
    std::string first = dir_ + "\\first.qzf", second = dir_ + "\\second.qzf";
    write_file(first, "QUIZODATA V1.4\r\n'first\r\n");
    write_file(second, "QUIZODATA V1.4\r\n'second\r\n");
    start();
    SendMessageA(main_window(), WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop({first, second})), 0);
    EXPECT_EQ(doc().file_name, first);
    EXPECT_EQ(doc().line_at(0)->text(), "'first");

    // Cancelling the prompt leaves the document as it is.
    doc().modified = true;
    answers_ = {IDCANCEL};
    SendMessageA(main_window(), WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop({second})), 0);
    EXPECT_EQ(doc().file_name, first);
    EXPECT_TRUE(doc().modified);
}

TEST_F(FileCommandsTest, SettingsFileIsWrittenWholeAtExit) {
    start();
    RECT r;
    GetWindowRect(main_window(), &r);
    shut_down();
    std::string text = read_file(dir_ + "\\QZOEDIT.INI");
    EXPECT_EQ(text.rfind("[Window]\r\nShow=0\r\nLeft=", 0), 0u);
    EXPECT_NE(text.find("\r\nWidth=" + std::to_string(r.right - r.left) + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\n[Recent]\r\n\r\n[Option]\r\nFlags=3\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nAnswerColor=16711680\r\n"), std::string::npos);
    ASSERT_GE(text.size(), 11u);
    EXPECT_EQ(text.substr(text.size() - 11), "QAColor=0\r\n");
}

TEST_F(FileCommandsTest, SettingsFileIsReadAtStartUp) {
    std::string recent = dir_ + "\\recent.qzf";
    write_file(dir_ + "\\QZOEDIT.INI",
               "[Print]\r\nListWidth=150\r\nWidth=600\r\n[Window]\r\nListWidth=99\r\nlistwidth=77\r\n"
               "[Option]\r\nFlags=1\r\nIMETitle=3\r\n[Recent]\r\nFile1=" + recent + "\r\n");
    start();
    EXPECT_EQ(app().prefs.ListWidth, 150);
    EXPECT_EQ(app().prefs.IMETitle, 0);
    EXPECT_FALSE(IsWindowVisible(app().status_bar));
    EXPECT_FALSE(menu_state(CMD_TOGGLE_STATUS_BAR) & MFS_CHECKED);
    RECT r;
    GetWindowRect(main_window(), &r);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(recent_menu_texts(main_window()), std::vector<std::string>{"&1 " + recent});
    EXPECT_FALSE(menu_state(CMD_CLEAR_RECENT) & MFS_GRAYED);
}

}  // namespace
}  // namespace qz::test
