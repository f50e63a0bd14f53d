#include "core/image/bmp_file.h"
#include "core/image/image_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace qz {
namespace {

std::string le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

// A BMP with an info header of `header_size` bytes, `colours` table entries
// and rows whose first byte is the row number from the bottom of the file.
std::string bmp(int bits, int width, int height, int colours, std::uint32_t header_size = 40) {
    const int stride = ((bits * width + 31) & ~31) / 8;
    const int rows = height < 0 ? -height : height;
    std::string header = le32(header_size) + le32(width) + le32(static_cast<std::uint32_t>(height)) +
                         std::string{1, 0, static_cast<char>(bits), 0} + le32(0) + le32(0) +
                         le32(3937) + le32(3937) + le32(colours) + le32(0);
    header.resize(header_size, '\0');
    std::string table;
    for (int i = 0; i < colours; ++i) table += std::string{static_cast<char>(i), 0, 0, 0};
    std::string pixels;
    for (int r = 0; r < rows; ++r) pixels += std::string(1, static_cast<char>(r)) + std::string(stride - 1, '\x7F');
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + header.size() + table.size());
    return "BM" + le32(offset + pixels.size()) + le32(0) + le32(offset) + header + table + pixels;
}

TEST(BmpFile, LoadsHeaderTableAndRowsOfEachDepth) {
    const struct { int bits, width, height, colours; } cases[] = {
        {1, 9, 3, 2}, {4, 5, 2, 16}, {8, 3, 4, 256}, {24, 7, 5, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        const std::string file = bmp(c.bits, c.width, c.height, c.colours);
        Picture picture;
        ASSERT_EQ(read_bmp(file, picture), nullptr);
        EXPECT_EQ(picture.width(), c.width);
        EXPECT_EQ(picture.height(), c.height);
        EXPECT_EQ(picture.bit_count(), c.bits);
        EXPECT_EQ(picture.x_pixels_per_metre(), 3937);
        const std::size_t offset = 54 + 4 * c.colours;
        EXPECT_EQ(std::memcmp(picture.info.data(), file.data() + 14, offset - 14), 0);
        EXPECT_EQ(std::string(picture.pixels.begin(), picture.pixels.end()), file.substr(offset));
    }
}

TEST(BmpFile, TopDownRowsAreTurnedBottomUp) {
    Picture picture;
    ASSERT_EQ(read_bmp(bmp(24, 2, -3, 0), picture), nullptr);
    EXPECT_EQ(picture.height(), 3);
    const std::size_t stride = 8;
    // Stored top row first (0, 1, 2): now the bottom row comes first.
    EXPECT_EQ(picture.pixels[0], 2);
    EXPECT_EQ(picture.pixels[stride], 1);
    EXPECT_EQ(picture.pixels[2 * stride], 0);
}

TEST(BmpFile, RefusesWhatWouldLeadOutsideTheFileOrRecord) {
    std::string offset_beyond = bmp(24, 2, 2, 0);
    offset_beyond.replace(10, 4, le32(4000));
    std::string too_wide = bmp(24, 2, 2, 0);
    too_wide.replace(18, 4, le32(40000));
    const struct { std::string file; const char* message; } cases[] = {
        {"PK\x03\x04", kBmpNotBitmap},
        {"BM" + std::string(12, 0) + "\x28" + std::string(8, 0), kBmpBadHeader},
        {bmp(8, 2, 2, 256, 124), kBmpHeaderTooLarge},  // 124 + 1024 bytes
        {offset_beyond, kBmpPixelsOutside}, {bmp(24, 2, 2, 0, 12), kBmpUnsupported},
        {bmp(7, 2, 2, 0), kBmpBadHeader}, {bmp(24, 2, 0, 0), kBmpBadHeader},
        {too_wide, kPictureTooLarge},
    };
    for (const auto& c : cases) {
        Picture picture;
        EXPECT_STREQ(read_bmp(c.file, picture), c.message) << c.message;
    }
}

TEST(ImagePath, PictureKindByExtensionWithoutCase) {
    const struct { const char* path; PictureKind kind; } cases[] = {
        {"x.Bmp", PictureKind::BMP}, {"C:\\a\\X.PNG", PictureKind::PNG}, {"x.bmp.txt", PictureKind::NONE},
        {"dir.png\\x", PictureKind::NONE}, {"png", PictureKind::NONE},
        // The trail byte of 表 is 0x5C: no separator, so the extension stays.
        {"表.png", PictureKind::PNG},
    };
    for (const auto& c : cases) EXPECT_EQ(picture_kind(c.path), c.kind) << c.path;
}

TEST(ImagePath, ResolvesAbsoluteRootedAndRelativeReferences) {
    const struct { const char* base; const char* reference; const char* full; } cases[] = {
        {"D:\\q\\a.qzf", "\\pics\\p.bmp", "D:\\pics\\p.bmp"},
        {"D:\\q\\a.qzf", "img\\p.png", "D:\\q\\img\\p.png"},
        {"D:\\q\\a.qzf", "E:\\x\\p.png", "E:\\x\\p.png"},
        {"D:\\q\\a.qzf", "\\\\server\\share\\p.png", "\\\\server\\share\\p.png"},
        {"C:\\work\\", "p.bmp", "C:\\work\\p.bmp"},  // never saved: the current directory
        {"D:\\表\\a.qzf", "p.bmp", "D:\\表\\p.bmp"}, {"a.qzf", "map.bmp", "map.bmp"},
    };
    for (const auto& c : cases) EXPECT_EQ(resolve_image_path(c.base, c.reference), c.full) << c.reference;
}

TEST(ImagePath, RelativePathFromTheDataFilesFolder) {
    const struct {
        const char* data_file;
        const char* picture;
        const char* relative;  // null: none
    } cases[] = {
        {"C:\\q\\a.qzf", "C:\\q\\img\\p.png", "img\\p.png"},
        {"C:\\q\\a.qzf", "c:\\Q\\p.png", "p.png"},
        {"C:\\q\\r\\a.qzf", "C:\\q\\s\\p.bmp", "..\\s\\p.bmp"},
        {"C:\\q\\a.qzf", "D:\\q\\p.png", nullptr}, {"新規.qzf", "C:\\q\\p.png", nullptr},
    };
    for (const auto& c : cases) {
        const auto relative = relative_image_path(c.data_file, c.picture);
        if (c.relative)
            EXPECT_EQ(relative, c.relative) << c.picture;
        else
            EXPECT_FALSE(relative) << c.picture;
    }
}

TEST(ImagePath, FindsReferencesInText) {
    const struct { const char* text; std::vector<std::string> paths; } cases[] = {
        {"A\\i\"p.bmp\"B", {"p.bmp"}}, {"\\i\"a,b.png\"\\i\"c.bmp\"", {"a,b.png", "c.bmp"}},
        {"\\\\i\"p.bmp\"", {}},                    // an escaped backslash and a plain i
        {"表\\i\"p.bmp\"", {"p.bmp"}},             // trail byte 0x5C is not the backslash
        {"\\i\"open.bmp", {"open.bmp"}},           // no closing quote: to the end
    };
    for (const auto& c : cases) {
        std::vector<std::string> paths;
        for (const auto& r : find_image_references(c.text)) paths.push_back(r.path);
        EXPECT_EQ(paths, c.paths) << c.text;
    }
}

}  // namespace
}  // namespace qz
