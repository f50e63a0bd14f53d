#include "core/exchange/picture_path.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

// 表 is 0x95 0x5C in a line (its trail byte is no separator) and E8 A1 A8
// in a path; あ (E3 81 82) ends in a byte that is a lead byte of code page
// 932, so a path scanned as code page 932 would lose the separator after it.
TEST(PicturePath, LineReferencesResolveToUtf8Paths) {
    const struct {
        const char* base;
        const char* reference;
        const char* path;
    } rows[] = {
        {"C:\\q\\a.qzf", "\x95\x5C\\p.png", "C:\\q\\\xE8\xA1\xA8\\p.png"},
        {"C:\\\xE3\x81\x82\\a.qzf", "p.png", "C:\\\xE3\x81\x82\\p.png"},
        {"C:\\\xED\x95\x9C\\a.qzf", "\x95\x5C.bmp", "C:\\\xED\x95\x9C\\\xE8\xA1\xA8.bmp"},
        {"C:\\q\\a.qzf", "D:\\\x95\x5C.png", "D:\\\xE8\xA1\xA8.png"},
        {"C:\\q\\a.qzf", "\\p.png", "C:\\p.png"},
    };
    for (const auto& row : rows) EXPECT_EQ(picture_path(row.base, row.reference), row.path) << row.path;
}

TEST(PicturePath, ReferencesOnlyForNamesCodePage932Holds) {
    EXPECT_EQ(reference_path("img\\\xE8\xA1\xA8.png"), "img\\\x95\x5C.png");
    EXPECT_EQ(reference_path("img\\\xED\x95\x9C.png"), std::nullopt);  // 한
    EXPECT_EQ(reference_path("caf\xC3\xA9.png"), std::nullopt);        // é
}

}  // namespace
}  // namespace qz
