#include "core/image/png_encoder.h"

#include <zlib.h>

#include <cstdint>
#include <string_view>

namespace qz {
namespace {

void put32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(v >> shift));
}

void chunk(std::string& out, const char* type, std::string_view data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* bytes = reinterpret_cast<const Bytef*>(out.data() + start);
    put32(out, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(out.size() - start))));
}

}  // namespace

std::optional<std::string> encode_png(const Picture& picture) {
    const std::int32_t width = picture.width(), height = picture.height();
    const unsigned bits = picture.bit_count();
    const bool palette = bits == 1 || bits == 4 || bits == 8;
    if (width <= 0 || height <= 0 || !picture_size_allowed(width, height) || picture.field(16) != 0 ||
        !(palette || bits == 24))
        return std::nullopt;
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    if (picture.pixels.size() < stride * static_cast<std::size_t>(height)) return std::nullopt;
    const std::size_t colours = picture.field(32) > 0 && picture.field(32) < (1 << bits)
                                    ? static_cast<std::size_t>(picture.field(32))
                                    : std::size_t{1} << (palette ? bits : 0);
    // Rows top-down, RGB, each after its filter byte (1, Sub).
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    std::string raw(static_cast<std::size_t>(height) * (row_bytes + 1), '\0');
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* src = picture.pixels.data() + stride * static_cast<std::size_t>(height - 1 - y);
        auto* row = reinterpret_cast<std::uint8_t*>(raw.data()) + static_cast<std::size_t>(y) * (row_bytes + 1);
        row[0] = 1;
        std::uint8_t* rgb = row + 1;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t* bgr;
            if (palette) {
                const unsigned per_byte = 8 / bits;
                const unsigned index = (src[x / per_byte] >> (8 - bits * (x % per_byte + 1))) & ((1u << bits) - 1);
                if (index >= colours) return std::nullopt;
                bgr = picture.info.data() + kInfoHeaderSize + index * 4;
            } else {
                bgr = src + static_cast<std::size_t>(x) * 3;
            }
            rgb[x * 3] = bgr[2];
            rgb[x * 3 + 1] = bgr[1];
            rgb[x * 3 + 2] = bgr[0];
        }
        for (std::size_t i = row_bytes; i-- > 3;) rgb[i] = static_cast<std::uint8_t>(rgb[i] - rgb[i - 3]);
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packed_size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), 6) != Z_OK)
        return std::nullopt;
    packed.resize(packed_size);

    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    put32(header, static_cast<std::uint32_t>(width));
    put32(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, deflate, adaptive filters, no interlace
    chunk(out, "IHDR", header);
    if (picture.x_pixels_per_metre() > 0 && picture.y_pixels_per_metre() > 0) {
        std::string phys;
        put32(phys, static_cast<std::uint32_t>(picture.x_pixels_per_metre()));
        put32(phys, static_cast<std::uint32_t>(picture.y_pixels_per_metre()));
        phys.push_back('\x01');  // metres
        chunk(out, "pHYs", phys);
    }
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

}  // namespace qz
