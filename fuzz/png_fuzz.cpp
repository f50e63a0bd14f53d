// The PNG decoder over arbitrary bytes, as they are and with the CRC of
// every chunk made right (so that mutations inside critical chunks reach
// the decoder): it never reads outside the file, and a decoded picture has
// exactly the rows its header describes, within the size limits.
#include <zlib.h>

#include "fuzz_require.h"
#include "core/image/png_decoder.h"

namespace {

std::uint32_t be32(const std::string& s, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) << 24 |
           static_cast<unsigned char>(s[at + 1]) << 16 | static_cast<unsigned char>(s[at + 2]) << 8 |
           static_cast<unsigned char>(s[at + 3]);
}

std::string with_good_crcs(std::string file) {
    for (std::size_t pos = 8; pos + 12 <= file.size();) {
        const std::uint32_t length = be32(file, pos);
        if (length > file.size() - pos - 12) break;
        const auto crc = crc32(0, reinterpret_cast<const Bytef*>(&file[pos + 4]), length + 4);
        for (int i = 0; i < 4; ++i) file[pos + 8 + length + i] = static_cast<char>(crc >> (24 - 8 * i));
        pos += 12 + std::size_t{length};
    }
    return file;
}

void check(std::string_view file, std::uint32_t background) {
    qz::Picture picture;
    if (qz::decode_png(file, background, picture)) return;
    const std::int32_t width = picture.width(), height = picture.height();
    require(qz::picture_size_allowed(width, height));
    require(picture.bit_count() == 24);
    require(picture.info.size() == qz::kImageHeaderRecordSize);
    require(picture.pixels.size() == std::size_t((3 * width + 3) & ~3) * height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    const std::uint32_t background = size ? 0x010101u * data[size / 2] : 0;
    check(file, background);
    check(with_good_crcs(file), background);
    return 0;
}
