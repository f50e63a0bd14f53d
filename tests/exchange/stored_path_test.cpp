#include "core/exchange/stored_path.h"

#include <gtest/gtest.h>

#include "core/prefs/settings_file.h"

namespace qz {
namespace {

// UTF-8 paths and the settings file's bytes for them.
TEST(StoredPath, CodePage932WhereItHoldsThePathUtf8Otherwise) {
    const struct {
        const char* utf8;
        const char* stored;
    } rows[] = {
        {"C:\\q\\a.qzf", "C:\\q\\a.qzf"},
        // 表 (E8 A1 A8) is 0x95 0x5C in code page 932, as older files hold it.
        {"C:\\\xE8\xA1\xA8\\a.qzf", "C:\\\x95\x5C\\a.qzf"},
        // 한국 and é have no code page 932 form.
        {"C:\\\xED\x95\x9C\xEA\xB5\xAD\\a.qzf", "utf8:C:\\\xED\x95\x9C\xEA\xB5\xAD\\a.qzf"},
        {"D:\\caf\xC3\xA9.qzf", "utf8:D:\\caf\xC3\xA9.qzf"},
        // U+301C reads back as U+FF5E from code page 932: kept as it is.
        {"C:\\\xE3\x80\x9C.qzf", "utf8:C:\\\xE3\x80\x9C.qzf"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(stored_path(row.utf8), row.stored) << row.utf8;
        EXPECT_EQ(path_from_stored(row.stored), row.utf8) << row.stored;
    }
}

// Through the settings file: a long Korean path comes back whole, an older
// file's code page 932 path reads as before (cut at 259 bytes).
TEST(StoredPath, RecentFilesThroughTheSettingsFile) {
    std::string korean = "C:\\";
    for (int i = 0; i < 200; ++i) korean += "\xED\x95\x9C";
    korean += "\\a.qzf";
    Preferences prefs;
    prefs.recent_files = {stored_path(korean), stored_path("C:\\\xE8\xA1\xA8.qzf")};
    Preferences read;
    PrintSettings print;
    read_settings_text(write_settings_text(prefs, print), read, print);
    ASSERT_EQ(read.recent_files.size(), 2u);
    EXPECT_EQ(path_from_stored(read.recent_files[0]), korean);
    EXPECT_EQ(path_from_stored(read.recent_files[1]), "C:\\\xE8\xA1\xA8.qzf");

    Preferences old;
    read_settings_text("[Recent]\r\nFile1=" + std::string(300, 'x') + "\r\n", old, print);
    ASSERT_EQ(old.recent_files.size(), 1u);
    EXPECT_EQ(old.recent_files[0], std::string(259, 'x'));
}

}  // namespace
}  // namespace qz
