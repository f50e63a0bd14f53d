#include "image/png_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "image/png_test_support.h"

namespace qz {
namespace {

using namespace qz::test;

constexpr std::uint32_t kBackground = 0x00E08020;  // red 0x20, green 0x80, blue 0xE0

std::string read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The decoded pixel (x, y from the top) as red, green, blue.
std::array<int, 3> rgb_at(const Picture& p, int x, int y) {
    const std::size_t stride = (3 * p.width() + 3) & ~3;
    const std::uint8_t* px = &p.pixels[stride * (p.height() - 1 - y) + 3 * x];
    return {px[2], px[1], px[0]};
}

TEST(PngDecoder, PngSuiteMatchesLibpngBlendedOnTheBackground) {
    int compared = 0, refused = 0;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(QZ_PNGSUITE_DIR))
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GT(files.size(), 150u) << "PngSuite not found in " << QZ_PNGSUITE_DIR;
    const int bg[3] = {kBackground & 0xFF, kBackground >> 8 & 0xFF, kBackground >> 16 & 0xFF};
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const std::string bytes = read_bytes(path);
        Picture picture;
        const char* error = decode_png(bytes, kBackground, picture);
        if (path.filename().string()[0] == 'x') {
            EXPECT_NE(error, nullptr);
            EXPECT_FALSE(libpng_read(bytes));
            ++refused;
            continue;
        }
        const auto reference = libpng_read(bytes);
        ASSERT_TRUE(reference);
        ASSERT_EQ(error, nullptr) << error;
        ASSERT_EQ(picture.width(), static_cast<int>(reference->width));
        ASSERT_EQ(picture.height(), static_cast<int>(reference->height));
        int mismatches = 0;
        for (std::uint32_t y = 0; y < reference->height; ++y)
            for (std::uint32_t x = 0; x < reference->width; ++x) {
                const std::uint8_t* r = &reference->rgba[(std::size_t{y} * reference->width + x) * 4];
                const auto got = rgb_at(picture, x, y);
                for (int c = 0; c < 3; ++c)
                    if (got[c] != static_cast<int>(blend_on_background(r[c], bg[c], r[3]))) ++mismatches;
            }
        EXPECT_EQ(mismatches, 0);
        ++compared;
    }
    std::printf("PngSuite: %d images compared with libpng, %d corrupt images refused\n", compared, refused);
    testing::Test::RecordProperty("compared", compared);
    testing::Test::RecordProperty("refused", refused);
    EXPECT_GT(compared, 140);
}

}  // namespace
}  // namespace qz
