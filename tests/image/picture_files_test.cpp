#include "core/image/bmp_file.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/image/image_path.h"
#include "core/image/png_decoder.h"

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

// Small PNG files built in memory, and libpng's reading of a PNG file as
// 8-bit RGBA rows (the reference the decoder is compared with).

std::string be32_bytes(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

// One chunk with its length and CRC.
std::string png_chunk(std::string_view type, std::string_view data) {
    std::string typed = std::string(type) + std::string(data);
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    return be32_bytes(static_cast<std::uint32_t>(data.size())) + typed + be32_bytes(static_cast<std::uint32_t>(crc));
}

std::string png_header(std::uint32_t width, std::uint32_t height, int depth, int colour,
                              int interlace = 0) {
    return png_chunk("IHDR", be32_bytes(width) + be32_bytes(height) +
                                 std::string{static_cast<char>(depth), static_cast<char>(colour), 0, 0,
                                             static_cast<char>(interlace)});
}

std::string deflated(std::string_view raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

const std::string kPngSignature = "\x89PNG\r\n\x1A\n";

// libpng's pixels: rows top-down, 4 bytes (R, G, B, A) per pixel, 16-bit
// samples stripped to their high byte, no gamma; its resolution. Nothing
// when it refuses.
struct ReferenceImage {
    std::uint32_t width = 0, height = 0;
    png_uint_32 x_pixels_per_metre = 0, y_pixels_per_metre = 0;  // pHYs in unit metre
    std::vector<std::uint8_t> rgba;
};

std::optional<ReferenceImage> libpng_read(std::string_view file) {
    struct Source {
        std::string_view bytes;
        std::size_t at = 0;
    } source{file};
    ReferenceImage image;
    std::vector<png_bytep> rows;
    png_structp png = png_create_read_struct(
        PNG_LIBPNG_VER_STRING, nullptr, [](png_structp p, png_const_charp) { png_longjmp(p, 1); },
        [](png_structp, png_const_charp) {});
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    png_set_read_fn(png, &source, [](png_structp p, png_bytep out, png_size_t length) {
        auto* s = static_cast<Source*>(png_get_io_ptr(p));
        if (s->bytes.size() - s->at < length) png_error(p, "end of file");
        std::memcpy(out, s->bytes.data() + s->at, length);
        s->at += length;
    });
    png_read_info(png, info);
    int unit = 0;
    if (png_get_pHYs(png, info, &image.x_pixels_per_metre, &image.y_pixels_per_metre, &unit) && unit != 1)
        image.x_pixels_per_metre = image.y_pixels_per_metre = 0;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    image.width = png_get_image_width(png, info);
    image.height = png_get_image_height(png, info);
    image.rgba.resize(std::size_t{image.width} * image.height * 4);
    for (std::uint32_t y = 0; y < image.height; ++y) rows.push_back(&image.rgba[std::size_t{y} * image.width * 4]);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return image;
}

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

// The images the test build writes (tests/image/png_fixtures.cpp): good
// ones, and corrupt ones named x_*.png.
std::vector<std::filesystem::path> generated_images(bool corrupt) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(QZ_PNG_FIXTURES_DIR))
        if (entry.path().extension() == ".png" && (entry.path().filename().string()[0] == 'x') == corrupt)
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Samples of the decoded picture that differ from libpng's reading blended
// onto the background.
int mismatches(const Picture& picture, const ReferenceImage& reference) {
    const unsigned bg[3] = {kBackground & 0xFF, kBackground >> 8 & 0xFF, kBackground >> 16 & 0xFF};
    int count = 0;
    for (std::uint32_t y = 0; y < reference.height; ++y)
        for (std::uint32_t x = 0; x < reference.width; ++x) {
            const std::uint8_t* r = &reference.rgba[(std::size_t{y} * reference.width + x) * 4];
            const auto got = rgb_at(picture, x, y);
            for (int c = 0; c < 3; ++c)
                if (got[c] != static_cast<int>(blend_on_background(r[c], bg[c], r[3]))) ++count;
        }
    return count;
}

TEST(PngDecoder, GeneratedImagesMatchLibpngBlendedOnTheBackground) {
    int compared = 0;
    for (const auto& path : generated_images(false)) {
        SCOPED_TRACE(path.filename().string());
        const std::string bytes = read_bytes(path);
        Picture picture;
        const char* error = decode_png(bytes, kBackground, picture);
        const auto reference = libpng_read(bytes);
        ASSERT_TRUE(reference);
        ASSERT_EQ(error, nullptr) << error;
        ASSERT_EQ(picture.width(), static_cast<int>(reference->width));
        ASSERT_EQ(picture.height(), static_cast<int>(reference->height));
        EXPECT_EQ(mismatches(picture, *reference), 0);
        EXPECT_EQ(picture.x_pixels_per_metre(), static_cast<int>(reference->x_pixels_per_metre));
        EXPECT_EQ(picture.y_pixels_per_metre(), static_cast<int>(reference->y_pixels_per_metre));
        ++compared;
    }
    std::printf("PNG test images: %d compared with libpng\n", compared);
    testing::Test::RecordProperty("compared", compared);
    EXPECT_GE(compared, 300) << "images missing in " << QZ_PNG_FIXTURES_DIR;
}

TEST(PngDecoder, GeneratedCorruptImagesAreRefusedWithTheirReason) {
    // `drawn_as`: a file the decoder accepts anyway draws as libpng draws
    // that file.
    const struct {
        const char* name;
        const char* message;
        bool libpng_refuses;
        const char* drawn_as = nullptr;
    } cases[] = {
        {"x_signature_high_bit", kPngNotPng, true}, {"x_signature_q", kPngNotPng, true},
        {"x_signature_lowercase", kPngNotPng, true}, {"x_signature_space", kPngNotPng, true},
        {"x_crlf", kPngNotPng, true}, {"x_lf", kPngNotPng, true},
        {"x_crc_ihdr", kPngBadCrc, true}, {"x_crc_plte", kPngBadCrc, true}, {"x_crc_idat", kPngBadCrc, true},
        {"x_length_past_end", kPngTruncated, true}, {"x_cut_in_idat", kPngTruncated, true},
        {"x_no_iend", kPngTruncated, true},
        {"x_no_ihdr", kPngBadOrder, true}, {"x_ihdr_twice", kPngBadOrder, true},
        {"x_plte_after_idat", kPngBadOrder, true}, {"x_idat_two_runs", kPngBadOrder, true},
        {"x_no_idat", kPngNoImageData, true}, {"x_no_plte", kPngNoPalette, true},
        {"x_palette_too_long", kPngBadPalette, false},
        {"x_idat_short", kPngBadImageData, true}, {"x_zlib_block_type", kPngBadImageData, true},
        {"x_zlib_method", kPngBadImageData, true},
        {"x_width_zero", kPngBadHeader, true}, {"x_height_zero", kPngBadHeader, true},
        {"x_width_huge", kPngBadHeader, true}, {"x_height_huge", kPngBadHeader, true},
        {"x_width_too_large", kPictureTooLarge, true}, {"x_pixels_too_many", kPictureTooLarge, true},
        {"x_ihdr_length", kPngBadHeader, true}, {"x_colour_type_1", kPngBadHeader, true},
        {"x_colour_type_9", kPngBadHeader, true}, {"x_depth_0", kPngBadHeader, true},
        {"x_depth_99", kPngBadHeader, true}, {"x_depth_grey3", kPngBadHeader, true},
        {"x_depth_rgb4", kPngBadHeader, true}, {"x_depth_palette16", kPngBadHeader, true},
        {"x_depth_greyalpha2", kPngBadHeader, true}, {"x_depth_rgba1", kPngBadHeader, true},
        {"x_compression_method", kPngBadHeader, true}, {"x_filter_method", kPngBadHeader, true},
        {"x_interlace_method", kPngBadHeader, true},
        // Indices past the palette are black, as libpng draws them.
        {"x_palette_index", nullptr, false, "x_palette_index"},
        // An unknown chunk is passed over whether it is critical or not.
        {"x_unknown_critical", nullptr, true, "basic_rgb8"},
    };
    std::set<std::string> unexpected;
    for (const auto& path : generated_images(true)) unexpected.insert(path.stem().string());
    const std::filesystem::path folder = QZ_PNG_FIXTURES_DIR;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        unexpected.erase(c.name);
        const std::string bytes = read_bytes(folder / (std::string(c.name) + ".png"));
        ASSERT_FALSE(bytes.empty());
        Picture picture;
        const char* error = decode_png(bytes, kBackground, picture);
        EXPECT_STREQ(error, c.message);
        EXPECT_EQ(!libpng_read(bytes), c.libpng_refuses);
        if (c.drawn_as && !error) {
            const auto reference = libpng_read(read_bytes(folder / (std::string(c.drawn_as) + ".png")));
            ASSERT_TRUE(reference);
            EXPECT_EQ(mismatches(picture, *reference), 0);
        }
    }
    EXPECT_TRUE(unexpected.empty()) << "corrupt images without a case here, first " << *unexpected.begin();
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
    const struct { std::string file; const char* message; } cases[] = {
        {"GIF89a", kPngNotPng}, {header + data, kPngTruncated}, {header + end, kPngNoImageData},
        {bad_crc, kPngBadCrc},
        {kPngSignature + png_header(1, 1, 8, 3) + data + end, kPngNoPalette},
        {kPngSignature + png_header(1, 1, 3, 0) + data + end, kPngBadHeader},
        {kPngSignature + png_header(1, 1, 8, 3) + png_chunk("PLTE", std::string(771, 'x')) + data + end,
         kPngBadPalette},
        {header + data + png_chunk("tEXt", "a") + data + end, kPngBadOrder},
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
