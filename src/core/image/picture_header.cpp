#include "core/image/picture_header.h"

#include <cstdint>
#include <cstdlib>

#include "core/image/bmp_file.h"
#include "core/image/picture.h"
#include "core/image/png_decoder.h"

namespace qz {
namespace {

std::uint32_t byte(std::string_view s, std::size_t at) { return static_cast<unsigned char>(s[at]); }
std::uint32_t big32(std::string_view s, std::size_t at) {
    return byte(s, at) << 24 | byte(s, at + 1) << 16 | byte(s, at + 2) << 8 | byte(s, at + 3);
}
std::uint32_t little16(std::string_view s, std::size_t at) { return byte(s, at) | byte(s, at + 1) << 8; }
std::uint32_t little32(std::string_view s, std::size_t at) {
    return little16(s, at) | little16(s, at + 2) << 16;
}

PictureHeader sized(std::uint64_t width, std::uint64_t height) {
    PictureHeader header;
    header.width = static_cast<unsigned>(width);
    header.height = static_cast<unsigned>(height);
    header.too_large = !picture_size_allowed(width, height);
    return header;
}

PictureHeader png_header(std::string_view head) {
    static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (head.size() < 8 || head.substr(0, 8) != std::string_view(kSignature, 8)) return {kPngNotPng};
    if (head.size() < 24) return {kPngTruncated};
    if (big32(head, 8) != 13 || head.substr(12, 4) != "IHDR") return {kPngBadOrder};
    const std::uint32_t width = big32(head, 16), height = big32(head, 20);
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return {kPngBadHeader};
    return sized(width, height);
}

PictureHeader bmp_header(std::string_view head) {
    if (head.size() < 2 || head.substr(0, 2) != "BM") return {kBmpNotBitmap};
    if (head.size() < 26) return {kBmpBadHeader};
    const std::uint32_t info = little32(head, 14);
    std::int64_t width = 0, height = 0;
    if (info == 12) {
        width = little16(head, 18);
        height = little16(head, 20);
    } else if (info >= 40) {
        width = static_cast<std::int32_t>(little32(head, 18));
        height = static_cast<std::int32_t>(little32(head, 22));
    } else {
        return {kBmpBadHeader};
    }
    if (width <= 0 || height == 0) return {kBmpBadHeader};
    return sized(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(std::llabs(height)));
}

}  // namespace

PictureHeader read_picture_header(std::string_view head, PictureKind kind) {
    switch (kind) {
        case PictureKind::PNG: return png_header(head);
        case PictureKind::BMP: return bmp_header(head);
        case PictureKind::NONE: break;
    }
    return {kBmpNotBitmap};
}

}  // namespace qz
