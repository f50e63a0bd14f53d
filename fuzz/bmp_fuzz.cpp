// The BMP reader over arbitrary bytes: it never reads outside the file, and
// what it accepts never leads StretchDIBits outside the header record or
// the pixel buffer.
#include "fuzz_require.h"
#include "core/image/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qz::Picture picture;
    if (qz::read_bmp(std::string_view(reinterpret_cast<const char*>(data), size), picture)) return 0;
    require(picture.info.size() == qz::kImageHeaderRecordSize);
    const std::int32_t width = picture.width(), height = picture.height();
    const unsigned bits = picture.bit_count();
    const auto header_size = static_cast<std::uint32_t>(picture.field(0));
    const auto compression = static_cast<std::uint32_t>(picture.field(16));
    const auto colours = static_cast<std::uint32_t>(picture.field(32));
    require(qz::picture_size_allowed(width, height));
    require(std::uint64_t{header_size} + 4ull * (colours ? colours : bits <= 8 ? 1u << bits : 0) <=
            qz::kImageHeaderRecordSize);
    if (compression == 1 || compression == 2)
        require(static_cast<std::uint32_t>(picture.field(20)) == picture.pixels.size());
    else
        require(picture.pixels.size() == ((std::uint64_t{bits} * width + 31) & ~31ull) / 8 * height);
    return 0;
}
