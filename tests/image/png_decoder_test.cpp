#include "core/image/png_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

TEST(PngDecoder, BlendsPaletteAlphaOntoTheGivenBackground) {
    // Entry 0 red with alpha 128, entry 1 blue with alpha 0; tRNS longer than the palette.
    const std::string file = kPngSignature + png_header(2, 1, 8, 3) +
                             png_chunk("PLTE", std::string("\xFF\0\0\0\0\xFF", 6)) +
                             png_chunk("tRNS", std::string("\x80\0\x7F", 3)) +
                             png_chunk("IDAT", deflated(std::string("\0\0\1", 3))) + png_chunk("IEND", "");
    Picture picture;
    ASSERT_EQ(decode_png(file, 0xFFFFFF, picture), nullptr);
    // (0 x 128 + 127 x 255) / 255 = 127 for green and blue on white.
    EXPECT_EQ(rgb_at(picture, 0, 0), (std::array<int, 3>{255, 127, 127}));
    EXPECT_EQ(rgb_at(picture, 1, 0), (std::array<int, 3>{255, 255, 255}));
}

TEST(PngDecoder, TruecolourKeyComparesEverySample) {
    // Key (1, 2, 3): the first pixel is the key, the second differs in blue only.
    const std::string file = kPngSignature + png_header(2, 1, 8, 2) +
                             png_chunk("tRNS", std::string("\0\1\0\2\0\3", 6)) +
                             png_chunk("IDAT", deflated(std::string("\0\1\2\3\1\2\4", 7))) +
                             png_chunk("IEND", "");
    Picture picture;
    ASSERT_EQ(decode_png(file, kBackground, picture), nullptr);
    EXPECT_EQ(rgb_at(picture, 0, 0), (std::array<int, 3>{0x20, 0x80, 0xE0}));
    EXPECT_EQ(rgb_at(picture, 1, 0), (std::array<int, 3>{1, 2, 4}));
}

TEST(PngDecoder, RefusesBrokenFilesWithTheirReason) {
    const std::string header = kPngSignature + png_header(1, 1, 8, 0);
    const std::string data = png_chunk("IDAT", deflated(std::string("\0\x55", 2)));
    const std::string end = png_chunk("IEND", "");
    std::string bad_crc = header + data + end;
    bad_crc[bad_crc.size() - 20] ^= 1;  // inside the IDAT chunk's CRC
    const struct {
        std::string file;
        const char* message;
    } cases[] = {
        {"GIF89a", kPngNotPng},
        {header + data.substr(0, data.size() - 1), kPngTruncated},
        {header + data, kPngTruncated},
        {header + end, kPngNoImageData},
        {bad_crc, kPngBadCrc},
        {kPngSignature + png_header(1, 1, 8, 3) + data + end, kPngNoPalette},
        {kPngSignature + png_header(1, 1, 3, 0) + data + end, kPngBadHeader},
        {kPngSignature + png_header(1, 1, 8, 3) + png_chunk("PLTE", std::string(771, 'x')) + data + end,
         kPngBadPalette},
        {header + data + png_chunk("tEXt", "a") + data + end, kPngBadOrder},
        {kPngSignature + data + end, kPngBadOrder},
        {header + data + png_chunk("pHYs", std::string(9, 0)) + end, kPngBadOrder},
        // Refused before anything of its size is allocated.
        {kPngSignature + png_header(30000, 1201, 16, 6) + data + end, kPictureTooLarge},
        {kPngSignature + png_header(30000, 1200, 16, 6) + data + end, kPngBadImageData},
        {header + png_chunk("IDAT", deflated("")) + end, kPngBadImageData},
    };
    for (const auto& c : cases) {
        Picture picture;
        EXPECT_STREQ(decode_png(c.file, 0, picture), c.message) << c.message;
    }
}

TEST(PngDecoder, PassesOverWhatItNeedNotRead) {
    std::string text = png_chunk("tEXt", "k\0v");
    text[text.size() - 1] ^= 1;  // an ancillary chunk's CRC is not checked
    const std::string file = kPngSignature + text + png_header(2, 1, 8, 0) +
                             png_chunk("pHYs", be32_bytes(3937) + be32_bytes(7874) + "\x01") +
                             png_chunk("IDAT", deflated(std::string("\x05\x10\x20", 3))) +  // filter 5
                             png_chunk("IEND", "");
    Picture picture;
    ASSERT_EQ(decode_png(file, 0, picture), nullptr);
    EXPECT_EQ(rgb_at(picture, 1, 0), (std::array<int, 3>{0x20, 0x20, 0x20}));
    EXPECT_EQ(picture.x_pixels_per_metre(), 3937);
    EXPECT_EQ(picture.y_pixels_per_metre(), 7874);
}

}  // namespace
}  // namespace qz
