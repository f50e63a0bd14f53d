// Files in folders and under names of any script, whatever the system's
// code page: the names are UTF-16 at the system and UTF-8 in the program,
// the data stays code page 932.
#include <windows.h>

#include "core/exchange/picture_path.h"
#include "editor_fixture.h"
#include "platform/file_read.h"
#include "resources/resource.h"
#include "win/base/wide_win.h"

namespace qz::test {
namespace {

using UnicodeNamesTest = EditorTest;

// UTF-8 names (the sources are compiled to code page 932, so they are
// spelt in bytes): 問題集, 第一回.qzf, 한국.
constexpr char kJapaneseFolder[] = "\xE5\x95\x8F\xE9\xA1\x8C\xE9\x9B\x86";
constexpr char kJapaneseName[] = "\xE7\xAC\xAC\xE4\xB8\x80\xE5\x9B\x9E.qzf";
constexpr char kKoreanFolder[] = "\xED\x95\x9C\xEA\xB5\xAD";

const char kSmall[] = "QUIZODATA V1.4\r\n#t,000000\r\nq,a,<00\r\n";

std::string make_folder(const std::string& path) {
    CreateDirectoryW(wide_path(path).c_str(), nullptr);
    return path;
}

std::wstring title_of(HWND window) {
    std::wstring text(512, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

TEST_F(UnicodeNamesTest, JapaneseNameInAJapaneseFolderOpensWithItsNameInTheTitle) {
    const std::string path = make_folder(dir_ + "\\" + kJapaneseFolder) + "\\" + kJapaneseName;
    write_file(path, kSmall);
    start("\"" + path + "\"");
    EXPECT_EQ(doc().file_name, path);
    EXPECT_TRUE(message_texts().empty());
    EXPECT_EQ(title_of(main_window()), wide_path(path) + L" - Quizo Editor");
}

TEST_F(UnicodeNamesTest, FileInAKoreanFolderOpensAndSavesAndItsPictureIsFound) {
    const std::string folder = make_folder(dir_ + "\\" + kKoreanFolder);
    const std::string path = folder + "\\a.qzf";
    write_file(path, kSmall);
    // 表 in the reference is 0x95 0x5C, as the line holds it.
    write_file(folder + "\\\xE8\xA1\xA8.png", read_file(source_path("samples/flag.png")));
    start(path);
    ASSERT_EQ(doc().file_name, path);
    app().editor.commit_line(1, "\\i\"\x95\x5C.png\",a,<00");
    make_modified();
    command(CMD_SAVE);
    EXPECT_TRUE(message_texts().empty());
    EXPECT_EQ(read_file(path), "QUIZODATA V1.4\r\n#t,000000\r\n\\i\"\x95\x5C.png\",a,<00\r\n");
    EXPECT_FALSE(modified());
    EXPECT_EQ(file_facts(picture_path(path, "\x95\x5C.png")).kind, FileKind::regular);
    EXPECT_EQ(file_facts(picture_path(path, "\x95\x5D.png")).kind, FileKind::missing);
}

}  // namespace
}  // namespace qz::test
