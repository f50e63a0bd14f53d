// Small PNG files built in memory, and libpng's reading of a PNG file as
// 8-bit RGBA rows (the reference the decoder is compared with).
#pragma once

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qz::test {

inline std::string be32_bytes(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

// One chunk with its length and CRC.
inline std::string png_chunk(std::string_view type, std::string_view data) {
    std::string typed = std::string(type) + std::string(data);
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    return be32_bytes(static_cast<std::uint32_t>(data.size())) + typed + be32_bytes(static_cast<std::uint32_t>(crc));
}

inline std::string png_header(std::uint32_t width, std::uint32_t height, int depth, int colour,
                              int interlace = 0) {
    return png_chunk("IHDR", be32_bytes(width) + be32_bytes(height) +
                                 std::string{static_cast<char>(depth), static_cast<char>(colour), 0, 0,
                                             static_cast<char>(interlace)});
}

inline std::string deflated(std::string_view raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

inline const std::string kPngSignature = "\x89PNG\r\n\x1A\n";

// libpng's pixels: rows top-down, 4 bytes (R, G, B, A) per pixel, 16-bit
// samples stripped to their high byte, no gamma. Nothing when it refuses.
struct ReferenceImage {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

inline std::optional<ReferenceImage> libpng_read(std::string_view file) {
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

}  // namespace qz::test
