#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "core/exchange/text_encoding.h"
#include "editor_fixture.h"
#include "win/base/wide_win.h"
#include "resources/pane_ids.h"
#include "resources/question_pane_ids.h"
#include "resources/resource.h"
#include "win/app/file_commands_win.h"
#include "win/base/message_box_win.h"
#include "win/base/handles_win.h"
#include "win/view/line_list_win.h"

namespace qz::test {
namespace {

using FileCommandsTest = EditorTest;

const char kSmall[] = "QUIZODATA V1.4\r\n#t,000000\r\nq,a,<00\r\n";

std::vector<std::string> recent_menu_texts(HWND main_window) {
    std::vector<std::string> texts;
    for (int id = CMD_RECENT_FIRST; id <= CMD_RECENT_LAST; ++id) {
        wchar_t buf[300] = {};
        if (GetMenuStringW(GetSubMenu(GetMenu(main_window), 0), id, buf, 300, MF_BYCOMMAND) > 0)
            texts.push_back(utf8_path(buf));  // "&1 " and a path: UTF-8 as the paths
    }
    return texts;
}

TEST_F(FileCommandsTest, ReadOnlyFileIsSavedOnYesAndAFailedSaveKeepsTheOldFileAndTheFlag) {
    const std::string path = dir_ + "\\readonly.qzf";
    write_file(path, kSmall);
    SetFileAttributesW(wide_path(path).c_str(), FILE_ATTRIBUTE_READONLY);
    start(path);
    app().editor.commit_line(1, "x,y,<00");
    make_modified();
    answers_ = {IDNO};
    command(CMD_SAVE);
    ASSERT_EQ(message_texts(), std::vector<std::string>{path + " は読み込み専用ファイルです。保存しますか？"});
    EXPECT_EQ(read_file(path), kSmall);
    EXPECT_TRUE(modified());
    answers_ = {IDYES};
    command(CMD_SAVE);
    EXPECT_EQ(read_file(path), "QUIZODATA V1.4\r\n#t,000000\r\nx,y,<00\r\n");
    EXPECT_FALSE(modified());
    EXPECT_TRUE(GetFileAttributesW(wide_path(path).c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(files_in(dir_), std::vector<std::string>{"readonly.qzf"});  // no temporary file left

    // A failed save keeps the old file and the modified flag.
    restart();
    const std::string locked = dir_ + "\\locked.qzf", folder = dir_ + "\\folder.qzf";
    write_file(locked, kSmall);
    CreateDirectoryW(wide_path(folder).c_str(), nullptr);
    start(locked);
    app().editor.commit_line(1, "new,a,<00");
    make_modified();
    {
        // Another program holds the file open without sharing.
        unique_file holder(CreateFileW(wide_path(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        command(CMD_SAVE);
    }
    dialog_answers_ = {folder};  // Save As over a folder
    command(CMD_SAVE_AS);
    // The system's own reason, in the system's language.
    const std::string denied = system_error_text(ERROR_ACCESS_DENIED);
    if (GetACP() == 932) {
        EXPECT_EQ(denied, "アクセスが拒否されました。");
    }
    ASSERT_EQ(message_texts(), (std::vector<std::string>{"書き込みできません。\n" + locked + "\n" + denied,
                                                     "書き込みできません。\n" + folder + "\n" + denied}));
    EXPECT_TRUE(modified());
    EXPECT_EQ(doc().file_name, locked);  // a failed Save As keeps the name
    EXPECT_EQ(read_file(locked), kSmall);
    EXPECT_TRUE(GetFileAttributesW(wide_path(folder).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(files_in(dir_, "locked*"), std::vector<std::string>{"locked.qzf"});
}

// Another program wrote the file after it was opened: saving asks first,
// and No leaves that program's content.
TEST_F(FileCommandsTest, SavingOverAFileChangedOnDiskAsksFirst) {
    const std::string path = dir_ + "\\doc.qzf";
    write_file(path, kSmall);
    start(path);
    make_modified();
    const std::string theirs = "QUIZODATA V1.4\r\nq,theirs,<00\r\n";
    write_file(path, theirs);
    {
        // A time of its own too, whatever the file system's resolution.
        unique_file file(CreateFileW(wide_path(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        const FILETIME later{0x12345678, 0x01E00000};
        SetFileTime(file.get(), nullptr, nullptr, &later);
    }
    const std::string asked = "ファイルはほかのプログラムで変更されています。上書きしますか？";
    answers_ = {IDNO};
    command(CMD_SAVE);
    ASSERT_EQ(message_texts(), std::vector<std::string>{asked});
    EXPECT_EQ(read_file(path), theirs);
    EXPECT_TRUE(modified());
    answers_ = {IDYES};
    command(CMD_SAVE);
    EXPECT_EQ(read_file(path), kSmall);
    EXPECT_FALSE(modified());
    // The editor's own save is known: the next one asks nothing.
    make_modified();
    command(CMD_SAVE);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{asked, asked}));
    EXPECT_FALSE(modified());
}

TEST_F(FileCommandsTest, SaveChangesPrompt) {
    const std::string path = dir_ + "\\doc.qzf";
    write_file(path, kSmall);
    start(path);
    make_modified();
    answers_ = {IDCANCEL};
    command(CMD_NEW);
    ASSERT_EQ(message_texts(), std::vector<std::string>{path + " は変更されています。保存しますか？"});
    EXPECT_EQ(messages_[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(doc().file_name, path);
    EXPECT_EQ(doc().count(), 2);
    // No before Open discards the edits only once a file was chosen.
    answers_ = {IDNO};
    dialog_answers_ = {""};
    command(CMD_OPEN);
    EXPECT_EQ(doc().file_name, path);
    EXPECT_TRUE(modified());
    answers_ = {IDNO};
    command(CMD_NEW);
    EXPECT_EQ(doc().file_name, UNTITLED_NAME);
    EXPECT_EQ(doc().count(), 1);
    EXPECT_FALSE(modified());
    EXPECT_FALSE(app().editor.can_undo());
    // Yes whose Save As is cancelled stops the operation.
    app().editor.commit_line(0, "kept,a,<00");
    make_modified();
    answers_ = {IDYES};
    dialog_answers_ = {""};
    command(CMD_NEW);
    EXPECT_EQ(doc().line_at(0)->text(), "kept,a,<00");
    EXPECT_TRUE(modified());
}

TEST_F(FileCommandsTest, NewDocumentIsSavedUnderANameAndRecentFilesOpenClearAndVanish) {
    start();
    const std::string path = dir_ + "\\named.qzf";
    dialog_answers_ = {path};
    command(CMD_SAVE);
    ASSERT_EQ(dialogs_shown_, std::vector<std::string>{std::string("save:") + UNTITLED_NAME});
    EXPECT_EQ(read_file(path), "QUIZODATA V1.4\r\n\r\n");
    EXPECT_EQ(window_text(main_window()), path + " - Quizo Editor");

    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) {
        paths.push_back(dir_ + "\\file" + std::to_string(i) + ".qzf");
        write_file(paths.back(), kSmall);
        dialog_answers_ = {paths.back()};
        command(CMD_OPEN);
    }
    std::vector<std::string> menu = recent_menu_texts(main_window());
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_EQ(menu[0], "&1 " + paths[5]);
    EXPECT_EQ(menu[4], "&5 " + paths[1]);
    command(CMD_RECENT_FIRST + 2);  // the menu's "&3" opens and moves to the top
    EXPECT_EQ(doc().file_name, paths[3]);
    EXPECT_EQ(recent_menu_texts(main_window())[0], "&1 " + paths[3]);
    // "." and ".." steps make no other entry.
    CreateDirectoryW(wide_path((dir_ + "\\sub")).c_str(), nullptr);
    open_document(main_window(), dir_ + "\\sub\\..\\.\\file1.qzf");
    EXPECT_EQ(recent_menu_texts(main_window()).size(), 5u);
    EXPECT_EQ(app().prefs.recent_files.front(), paths[1]);
    command(CMD_CLEAR_RECENT);
    EXPECT_TRUE(app().prefs.recent_files.empty());
    EXPECT_TRUE(recent_menu_texts(main_window()).empty());
    EXPECT_TRUE(menu_state(CMD_CLEAR_RECENT) & MFS_GRAYED);

    // Behind the message about a recent file that is gone, neither the list
    // nor the pane shows anything of the file that was open.
    const std::string gone = dir_ + "\\gone.qzf";
    write_file(gone, kSmall);
    open_document(main_window(), gone);
    focus_line(0);
    ASSERT_EQ(field(IDC_PANE_TITLE), "t");
    DeleteFileW(wide_path(gone).c_str());
    std::vector<std::string> seen;
    set_message_box_hook([&](HWND, const char* text, UINT) {
        seen = {text, std::to_string(line_list_count()), std::to_string(doc().count()),
                app().pane ? field(IDC_PANE_TITLE) : "", IsWindowVisible(app().line_list) ? "shown" : "hidden"};
        return IDOK;
    });
    command(CMD_RECENT_FIRST);
    EXPECT_EQ(seen, (std::vector<std::string>{"ファイル読み込みに失敗しました。\r\nファイルが見つかりません。\r\n" + gone,
                                              "0", "0", "", "hidden"}));
    EXPECT_EQ(doc().count(), 1);
    // The new document's list is in view again, with the focus.
    EXPECT_TRUE(IsWindowVisible(app().line_list));
    EXPECT_EQ(GetFocus(), app().line_list);
}

// Opening a file whose first line takes the pane already open keeps that
// pane (making one is most of what opening takes under some systems), with
// the groups of the file now open in it; another kind makes its own, or
// takes the one kept from before.
TEST_F(FileCommandsTest, OpeningKeepsAPaneOfTheFirstLinesKindWithTheNewFilesGroups) {
    const struct {
        const char* name;
        const char* text;
        const char* group;  // shown for line 0
        bool same_pane;
    } files[] = {
        {"groups1.qzf", "QUIZODATA V1.4\r\nq,a,<10\r\n$Group=全般,歴史\r\n", "歴史", false},
        {"groups2.qzf", "QUIZODATA V1.4\r\nr,b,<10\r\n$Group=全般,地理\r\n", "地理", true},
        {"title.qzf", "QUIZODATA V1.4\r\n#t,000000\r\nq,a,<00\r\n", nullptr, false},
    };
    HWND pane = nullptr;
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const std::string path = dir_ + "\\" + f.name;
        write_file(path, f.text);
        if (&f == files)
            start(path);
        else
            open_document(main_window(), path);
        focus_line(0);
        ASSERT_NE(app().pane, nullptr);
        EXPECT_TRUE(IsWindowVisible(app().pane));
        EXPECT_EQ(app().pane == pane, f.same_pane);
        if (f.group) {
            EXPECT_EQ(field(IDC_QUESTION_GROUP), f.group);
        }
        pane = app().pane;
    }
    // The question pane, kept hidden while the title showed, comes back with
    // the groups of the file now open.
    const std::string path = dir_ + "\\groups3.qzf";
    write_file(path, "QUIZODATA V1.4\r\n#t,000000\r\nq,a,<10\r\n$Group=全般,天文\r\n");
    open_document(main_window(), path);
    focus_line(1);
    EXPECT_TRUE(IsWindowVisible(app().pane));
    EXPECT_EQ(field(IDC_QUESTION_GROUP), "天文");
}

TEST_F(FileCommandsTest, UnreadableFilesGiveANewDocumentAndNulBytesAreRemovedWithOneMessage) {
    const std::string unread = "ファイル読み込みに失敗しました。\r\n";
    const struct {
        const char* bytes;
        std::string path, message;
        bool enters_recent_list;
    } cases[] = {
        {nullptr, dir_ + "\\bad.qzf", unread + "ファイルが見つかりません。\r\n" + dir_ + "\\bad.qzf", false},
        {nullptr, dir_, unread + "フォルダーです。ファイルを指定してください。\r\n" + dir_, false},
        // A device (as the Open dialog shows Z:\dev) would never end.
        {nullptr, "Z:\\dev\\zero",
         unread + "通常のファイルではありません（デバイスやパイプは読み込みません）。\r\nZ:\\dev\\zero", false},
        {"quizodata v1.4\r\n", dir_ + "\\bad.qzf", "Quizo データファイルではありません。", false},
        {"\xEF\xBB\xBFQUIZODATA V1.4\r\n", dir_ + "\\bad.qzf",
         "Quizo データファイルではありません。UTF-8 で保存されたファイルのようです。Shift-JIS で保存し直してください。", false},
        {"QUIZODATA V1.5\r\n", dir_ + "\\bad.qzf", "データのバージョンが違います。", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        restart();
        const std::string& path = c.path;
        DeleteFileW(wide_path((dir_ + "\\bad.qzf")).c_str());
        if (c.bytes) write_file(path, c.bytes);
        start("\"" + path + "\"");
        ASSERT_EQ(message_texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(doc().file_name, UNTITLED_NAME);
        EXPECT_EQ(doc().count(), 1);
        EXPECT_EQ(app().prefs.recent_files.size(), c.enters_recent_list ? 1u : 0u);
    }

    // NUL bytes are dropped on opening with one message naming the first
    // line; every other byte stays, and saving writes the file without them.
    restart();
    const std::string path = dir_ + "\\zeros.qzf";  // not "nul": that names a device
    write_file(path, std::string("QUIZODATA V1.4\r\nQ\r\nli\0ne2,a,<00\r\nQ\r\nla\0st\r\n", 43));
    start("\"" + path + "\"");
    ASSERT_EQ(message_texts(), std::vector<std::string>{"ファイルにNULバイトが含まれていました（最初は3行目）。"
                                 "NULバイトを削除して読み込みました。"});
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_TRUE(modified());
    command(CMD_SAVE);
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_EQ(read_file(path), "QUIZODATA V1.4\r\n'Q\r\nline2,a,<00\r\n'Q\r\n'last\r\n");
}

// A drop of (UTF-8) paths, as the shell makes one: UTF-16 names.
HDROP make_drop(const std::vector<std::string>& paths) {
    std::wstring list;
    for (const std::string& p : paths) list += wide_path(p) + L'\0';
    list += L'\0';
    const std::size_t size = list.size() * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(mem));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), size);
    GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

TEST_F(FileCommandsTest, CommandLineAndDroppedFilesAndLongPathsRefusedNotCut) {
    CreateDirectoryW(wide_path((dir_ + "\\with spaces")).c_str(), nullptr);
    const std::string path = dir_ + "\\with spaces\\my file.qzf", second = dir_ + "\\second.qzf";
    write_file(path, "QUIZODATA V1.4\r\n'first\r\n");
    write_file(second, "QUIZODATA V1.4\r\n'second\r\n");
    start("\"" + path + "\" /extra arguments");
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(doc().file_name, path);
    // Only the first of the dropped files opens.
    SendMessageW(main_window(), WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop({second, path})), 0);
    EXPECT_EQ(doc().file_name, second);
    EXPECT_EQ(doc().line_at(0)->text(), "'second");
    // Cancelling the prompt leaves the document as it is.
    make_modified();
    answers_ = {IDCANCEL};
    SendMessageW(main_window(), WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop({path})), 0);
    EXPECT_EQ(doc().file_name, second);
    EXPECT_TRUE(modified());

    // Long paths are refused, not cut.
    restart();
    // A file named by the first 259 bytes of the long path.
    std::string cut = dir_ + "\\" + std::string(258 - dir_.size(), 'a');
    write_file(cut, kSmall);
    const std::string long_path = cut + "b.qzf";
    const std::string refusal = "ファイル名が長すぎます（259 文字まで）。\n" + long_path;
    start(long_path);
    make_modified();
    SendMessageW(main_window(), WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop({long_path})), 0);
    EXPECT_EQ(messages_.size(), 2u);
    for (const ShownMessage& m : messages_)
        EXPECT_EQ(m.text, refusal);
    EXPECT_EQ(doc().file_name, UNTITLED_NAME);
    EXPECT_TRUE(app().prefs.recent_files.empty());
}

TEST_F(FileCommandsTest, SavingKeepsAttributesAccessRightsAndLinks) {
    ASSERT_EQ(
        run_unix(
            dir_,
            "printf 'QUIZODATA V1.4\\r\\n' | tee private.qzf hidden.qzf target.qzf >/dev/null;"
            " chmod 600 private.qzf; ln -sf target.qzf link.qzf; echo done"),
        "done\n");
    SetFileAttributesW(wide_path((dir_ + "\\hidden.qzf")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    start();
    for (const char* name : {"private.qzf", "hidden.qzf", "link.qzf"}) {
        open_document(main_window(), dir_ + "\\" + name);
        app().editor.commit_line(0, "'saved");
        command(CMD_SAVE);
        EXPECT_TRUE(messages_.empty()) << name;
    }
    // Only the owner may read and write the private file (Wine's server
    // gives the owner's rights to the file's group as well).
    int mode = std::stoi(run_unix(dir_, "stat -c %a private.qzf"), nullptr, 8);
    EXPECT_EQ(mode & 0606, 0600) << std::oct << mode;
    EXPECT_TRUE(GetFileAttributesW(wide_path((dir_ + "\\hidden.qzf")).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    // Removed here: once its target is gone, Wine no longer lists the link.
    EXPECT_EQ(run_unix(dir_, "readlink link.qzf && rm link.qzf"), "target.qzf\n");
    EXPECT_EQ(read_file(dir_ + "\\target.qzf"), "QUIZODATA V1.4\r\n'saved\r\n");
}

// Japanese names, 0x5C trail bytes among them, and leftovers of interrupted
// saves of that file only removed.
TEST_F(FileCommandsTest, SavingUnderJapaneseNamesRemovesLeftoversOfThatFileOnly) {
    // Paths are UTF-8 (the literals here are code page 932).
    auto u = [](const char* cp932) { return cp932_to_utf8(cp932); };
    const std::string folder = dir_ + "\\" + u("ソフト表"), path = folder + "\\" + u("ソフト表.qzf");
    CreateDirectoryW(wide_path(folder).c_str(), nullptr);
    std::vector<std::string> kept = {u("ソフト表.qzf"),          u("ソフト表.qzf.~12G4.tmp"),
                                     u("ソフト表.qzf.~1A2.tmp"), u("ソフト表.qzf.~1A2B.tmp.bak"),
                                     u("ソフト.qzf.~1A2B.tmp"),  "qzo1A2B.tmp"};
    for (const std::string& name : kept)
        write_file(folder + "\\" + name, kSmall);
    write_file(folder + "\\" + u("ソフト表.qzf.~1A2B.tmp"), kSmall);
    write_file(folder + "\\" + u("ソフト表.qzf.~FFFF.tmp"), kSmall);
    SetFileAttributesW(wide_path(folder + "\\" + u("ソフト表.qzf.~FFFF.tmp")).c_str(), FILE_ATTRIBUTE_READONLY);
    start("\"" + path + "\"");
    ASSERT_TRUE(messages_.empty());
    app().editor.commit_line(0, "'表");
    command(CMD_SAVE);
    const std::string saved = "QUIZODATA V1.4\r\n'表\r\nq,a,<00\r\n";
    EXPECT_EQ(read_file(path), saved);
    std::vector<std::string> left = files_in(folder);
    std::sort(left.begin(), left.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(left, kept);
    const std::string other = dir_ + "\\" + u("日本語フォルダ");
    CreateDirectoryW(wide_path(other).c_str(), nullptr);
    dialog_answers_ = {other + "\\" + u("新しい表.qzf")};
    command(CMD_SAVE_AS);
    EXPECT_EQ(read_file(other + "\\" + u("新しい表.qzf")), saved);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(FileCommandsTest, SettingsFileIsReadAtStartUpAndWrittenWholeAtExit) {
    const std::string recent = dir_ + "\\recent.qzf";
    write_file(dir_ + "\\QZOEDIT.INI",
               "[Window]\r\nListWidth=150\r\nWidth=600\r\n[Option]\r\nFlags=1\r\n[Recent]\r\nFile1=" +
                   recent + "\r\n");
    start();  // (how values are looked up and checked: see the settings file tests)
    EXPECT_EQ(app().prefs.ListWidth, 150);
    EXPECT_FALSE(IsWindowVisible(app().status_bar));
    const int width = placed(main_window()).right - placed(main_window()).left;
    EXPECT_EQ(width, 600);
    EXPECT_EQ(recent_menu_texts(main_window()), std::vector<std::string>{"&1 " + recent});

    command(CMD_CLEAR_RECENT);
    command(CMD_TOGGLE_STATUS_BAR);
    shut_down();
    const std::string text = read_file(dir_ + "\\QZOEDIT.INI");
    EXPECT_NE(text.find("\r\nWidth=" + std::to_string(width) + "\r\nHeight="), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\n[Recent]\r\n\r\n[Option]\r\nFlags=3\r\n"), std::string::npos);
}

}  // namespace
}  // namespace qz::test
