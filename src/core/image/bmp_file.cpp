#include "core/image/bmp_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace qz {
namespace {

constexpr std::size_t kFileHeaderSize = 14;

enum Compression : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

std::uint32_t le32(const char* p) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(p);
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

}  // namespace

const char* read_bmp(std::string_view file, Picture& out) {
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') return kBmpNotBitmap;
    if (file.size() < kFileHeaderSize + 4) return kBmpBadHeader;
    const std::uint32_t offset = le32(&file[10]);
    const std::uint32_t header_size = le32(&file[14]);
    // Older core headers (12 bytes) are not read.
    if (header_size < kInfoHeaderSize) return kBmpUnsupported;
    if (file.size() < kFileHeaderSize + kInfoHeaderSize) return kBmpBadHeader;
    if (offset > file.size() || offset < kFileHeaderSize + header_size) return kBmpPixelsOutside;
    if (offset - kFileHeaderSize > kImageHeaderRecordSize) return kBmpHeaderTooLarge;

    std::fill(out.info.begin(), out.info.end(), 0);
    std::memcpy(out.info.data(), file.data() + kFileHeaderSize, offset - kFileHeaderSize);
    const std::int32_t width = out.width(), height = out.height();
    const unsigned bits = out.bit_count();
    const auto compression = static_cast<std::uint32_t>(out.field(16));
    const auto colours_used = static_cast<std::uint32_t>(out.field(32));
    if (width <= 0 || height == 0 || height == INT32_MIN) return kBmpBadHeader;
    const std::uint32_t rows = static_cast<std::uint32_t>(height < 0 ? -height : height);
    if (!picture_size_allowed(static_cast<std::uint32_t>(width), rows)) return kPictureTooLarge;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return kBmpBadHeader;
    const bool packed = compression == BI_RGB || (compression == BI_BITFIELDS && (bits == 16 || bits == 32));
    const bool run_length = (compression == BI_RLE8 && bits == 8) || (compression == BI_RLE4 && bits == 4);
    if (!packed && !run_length) return kBmpUnsupported;
    if (run_length && height < 0) return kBmpBadHeader;

    // The colour masks and table GDI reads must lie inside the record.
    std::uint64_t colours = colours_used ? colours_used : bits <= 8 ? 1u << bits : 0;
    std::uint64_t masks = compression == BI_BITFIELDS && header_size == kInfoHeaderSize ? 12 : 0;
    if (header_size + masks + colours * 4 > kImageHeaderRecordSize) return kBmpHeaderTooLarge;

    const std::string_view data = file.substr(offset);
    const std::size_t stride = ((std::uint64_t{bits} * static_cast<std::uint32_t>(width) + 31) & ~31u) / 8;
    try {
        if (run_length) {
            out.set_field(20, static_cast<std::uint32_t>(data.size()));  // the runs GDI may read
            out.pixels.assign(data.begin(), data.end());
            return nullptr;
        }
        if (stride * rows > data.size()) return kBmpPixelsOutside;
        out.pixels.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(stride * rows));
    } catch (const std::bad_alloc&) {
        out.pixels.clear();
        return kPictureOutOfMemory;
    }
    if (height < 0) {
        // Stored top-down: turn the rows over so that the picture is bottom-up.
        for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(out.pixels.begin() + static_cast<std::ptrdiff_t>(top * stride),
                             out.pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * stride),
                             out.pixels.begin() + static_cast<std::ptrdiff_t>(bottom * stride));
        out.set_field(8, rows);
    }
    return nullptr;
}

}  // namespace qz
