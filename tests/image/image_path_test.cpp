#include "core/image/image_path.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

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
