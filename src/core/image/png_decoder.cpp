#include "core/image/png_decoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace qz {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Chunk types seen by the walk.
enum Seen : unsigned { SEEN_IHDR = 1, SEEN_PLTE = 2, SEEN_IDAT = 4, SEEN_TRNS = 8, SEEN_PHYS = 16 };

// Deflate cannot expand data by more than about 1032 times; image data
// claiming more than this is refused before the rows are allocated.
constexpr std::uint64_t kMaxInflateRatio = 1100;

enum ColourType : std::uint8_t { GREY = 0, TRUECOLOUR = 2, INDEXED = 3, GREY_ALPHA = 4, TRUECOLOUR_ALPHA = 6 };

struct Adam7Pass {
    std::uint32_t row, column, row_step, column_step;
};
constexpr Adam7Pass kPasses[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                  {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

std::uint32_t be32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
unsigned be16(const std::uint8_t* p) { return p[0] << 8 | p[1]; }

struct PngState {
    std::uint32_t width = 0, height = 0;
    unsigned bit_depth = 0, colour_type = 0, interlace = 0;
    std::uint32_t x_pixels_per_metre = 0, y_pixels_per_metre = 0;
    const std::uint8_t* palette = nullptr;  // RGB triples
    unsigned palette_count = 0;
    const std::uint8_t* alpha = nullptr;  // tRNS of an indexed image
    unsigned alpha_count = 0;
    bool has_key = false;  // tRNS of a grey or truecolour image
    unsigned key[3] = {};  // grey, or red, green, blue, as 16-bit samples
    std::vector<std::string_view> image_data;  // the run of IDAT chunks
    std::uint64_t image_data_size = 0;

    unsigned channels() const {
        switch (colour_type) {
        case TRUECOLOUR: return 3;
        case GREY_ALPHA: return 2;
        case TRUECOLOUR_ALPHA: return 4;
        default: return 1;
        }
    }
    unsigned bits_per_pixel() const { return bit_depth * channels(); }
};

std::uint64_t row_bytes(std::uint64_t width, unsigned bits_per_pixel) {
    return (width * bits_per_pixel + 7) / 8;
}

std::uint32_t pass_columns(const Adam7Pass& p, std::uint32_t width) {
    return width > p.column ? (width - p.column + p.column_step - 1) / p.column_step : 0;
}
std::uint32_t pass_rows(const Adam7Pass& p, std::uint32_t height) {
    return height > p.row ? (height - p.row + p.row_step - 1) / p.row_step : 0;
}

bool valid_depth(unsigned colour_type, unsigned depth) {
    switch (colour_type) {
    case GREY: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case INDEXED: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case TRUECOLOUR:
    case GREY_ALPHA:
    case TRUECOLOUR_ALPHA: return depth == 8 || depth == 16;
    default: return false;
    }
}

const char* read_header(PngState& s, const std::uint8_t* data, std::uint32_t length) {
    if (length != 13) return kPngBadHeader;
    s.width = be32(data);
    s.height = be32(data + 4);
    s.bit_depth = data[8];
    s.colour_type = data[9];
    s.interlace = data[12];
    if (data[10] != 0 || data[11] != 0 || s.interlace > 1 || !valid_depth(s.colour_type, s.bit_depth) ||
        s.width == 0 || s.height == 0 || s.width > 0x7FFFFFFF || s.height > 0x7FFFFFFF)
        return kPngBadHeader;
    if (!picture_size_allowed(s.width, s.height)) return kPictureTooLarge;
    return nullptr;
}

const char* read_palette(PngState& s, const std::uint8_t* data, std::uint32_t length) {
    // A palette only suggests colours for the other types; it is not used.
    if (s.colour_type != INDEXED) return nullptr;
    const std::uint32_t count = length / 3;
    if (length % 3 != 0 || count == 0 || count > (1u << s.bit_depth)) return kPngBadPalette;
    s.palette = data;
    s.palette_count = count;
    return nullptr;
}

// A tRNS chunk of the wrong length, or of an image with its own alpha, is
// passed over.
void read_transparency(PngState& s, const std::uint8_t* data, std::uint32_t length) {
    if (s.colour_type == INDEXED) {
        s.alpha = data;
        s.alpha_count = std::min<std::uint32_t>(length, 256);
    } else if (s.colour_type == GREY && length == 2) {
        s.has_key = true;
        s.key[0] = be16(data);
    } else if (s.colour_type == TRUECOLOUR && length == 6) {
        s.has_key = true;
        for (int i = 0; i < 3; ++i) s.key[i] = be16(data + 2 * i);
    }
}

void read_resolution(PngState& s, const std::uint8_t* data, std::uint32_t length) {
    if (length == 9 && data[8] == 1) {
        s.x_pixels_per_metre = be32(data);
        s.y_pixels_per_metre = be32(data + 4);
    }
}

// Walks the chunks up to IEND, checking their order and the CRC of the
// critical ones, and keeps what the image needs.
const char* read_chunks(PngState& s, std::string_view file) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    if (file.size() < 8 || std::memcmp(bytes, kSignature, 8) != 0) return kPngNotPng;
    unsigned seen = 0;
    bool in_image_data = false;
    for (std::size_t pos = 8;;) {
        if (file.size() - pos < 12) return kPngTruncated;
        const std::uint32_t length = be32(bytes + pos);
        if (length > 0x7FFFFFFF || length > file.size() - pos - 12) return kPngTruncated;
        const std::uint8_t* type = bytes + pos + 4;
        const std::uint8_t* data = type + 4;
        const bool critical = !(type[0] & 0x20);
        if (critical && crc32(0, type, length + 4) != be32(data + length)) return kPngBadCrc;
        const std::string_view name(reinterpret_cast<const char*>(type), 4);
        pos += 12 + std::size_t{length};
        const bool continues_image_data = in_image_data && name == "IDAT";
        in_image_data = false;
        const char* error = nullptr;
        if (name == "IEND") {
            if (!(seen & SEEN_IDAT)) return kPngNoImageData;
            break;
        } else if (name == "IHDR") {
            if (seen) return kPngBadOrder;
            error = read_header(s, data, length);
            seen |= SEEN_IHDR;
        } else if (name == "PLTE") {
            if (!seen || seen & (SEEN_PLTE | SEEN_IDAT)) return kPngBadOrder;
            error = read_palette(s, data, length);
            seen |= SEEN_PLTE;
        } else if (name == "tRNS") {
            if (!seen || seen & (SEEN_IDAT | SEEN_TRNS)) return kPngBadOrder;
            read_transparency(s, data, length);
            seen |= SEEN_TRNS;
        } else if (name == "IDAT") {
            if (!seen || (seen & SEEN_IDAT && !continues_image_data)) return kPngBadOrder;
            s.image_data.emplace_back(reinterpret_cast<const char*>(data), length);
            s.image_data_size += length;
            in_image_data = true;
            seen |= SEEN_IDAT;
        } else if (name == "pHYs") {
            if (!seen || seen & (SEEN_IDAT | SEEN_PHYS)) return kPngBadOrder;
            read_resolution(s, data, length);
            seen |= SEEN_PHYS;
        }
        if (error) return error;
    }
    if (s.colour_type == INDEXED && s.palette_count == 0) return kPngNoPalette;
    if (s.alpha_count > s.palette_count) s.alpha_count = s.palette_count;
    return nullptr;
}

// Inflates the run of IDAT chunks, as one stream, into the buffers it is
// given.
class ImageDataStream {
public:
    explicit ImageDataStream(const std::vector<std::string_view>& parts) : parts_(parts) {}
    ImageDataStream(const ImageDataStream&) = delete;
    ImageDataStream& operator=(const ImageDataStream&) = delete;
    ~ImageDataStream() {
        if (open_) inflateEnd(&stream_);
    }

    // The stream's own two-byte header is checked here and the deflate data
    // inflated raw: every IDAT chunk's CRC is verified already, so the
    // stream's Adler-32 sum is not computed again.
    const char* open() {
        std::uint8_t header[2];
        std::size_t got = 0;
        for (std::string_view part : parts_)
            for (std::size_t i = 0; i < part.size() && got < 2; ++i) header[got++] = static_cast<std::uint8_t>(part[i]);
        if (got < 2 || (header[0] & 0x0F) != Z_DEFLATED || header[0] >> 4 > 7 || header[1] & 0x20 ||
            (header[0] << 8 | header[1]) % 31 != 0)
            return kPngBadImageData;
        skip_ = 2;
        if (inflateInit2(&stream_, -15) != Z_OK) return kPictureOutOfMemory;
        open_ = true;
        return nullptr;
    }

    // Fills `size` bytes; false when the data ends first or is corrupt.
    bool read(std::uint8_t* out, std::size_t size) {
        stream_.next_out = out;
        stream_.avail_out = static_cast<uInt>(size);
        while (stream_.avail_out) {
            while (stream_.avail_in == 0 && next_ < parts_.size()) {
                std::string_view part = parts_[next_++];
                const std::size_t skipped = std::min(skip_, part.size());
                skip_ -= skipped;
                part.remove_prefix(skipped);
                stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.data()));
                stream_.avail_in = static_cast<uInt>(part.size());
            }
            const int result = inflate(&stream_, Z_NO_FLUSH);
            if (result == Z_STREAM_END) return stream_.avail_out == 0;
            if (result != Z_OK) return false;
        }
        return true;
    }

private:
    const std::vector<std::string_view>& parts_;
    std::size_t next_ = 0;
    std::size_t skip_ = 0;  // header bytes not yet passed over
    z_stream stream_{};
    bool open_ = false;
};

// ---- Conversion of unfiltered rows into BGR pixels.

struct Converter {
    std::uint8_t background[3];  // blue, green, red
    std::array<std::uint8_t, 256 * 3> table{};  // BGR of each sample value (indexed, grey <= 8 bits)
    unsigned colour_type = 0, bit_depth = 0;
    bool has_key = false;
    unsigned key[3] = {};

    Converter(const PngState& s, std::uint32_t bg) {
        background[0] = static_cast<std::uint8_t>(bg >> 16);
        background[1] = static_cast<std::uint8_t>(bg >> 8);
        background[2] = static_cast<std::uint8_t>(bg);
        colour_type = s.colour_type;
        bit_depth = s.bit_depth;
        has_key = s.has_key;
        std::copy(s.key, s.key + 3, key);
        if (colour_type == INDEXED) {
            for (unsigned i = 0; i < s.palette_count; ++i) {
                const unsigned a = i < s.alpha_count ? s.alpha[i] : 255;
                for (int c = 0; c < 3; ++c)
                    table[3 * i + c] = static_cast<std::uint8_t>(
                        blend_on_background(s.palette[3 * i + 2 - c], background[c], a));
            }
        } else if (colour_type == GREY && bit_depth <= 8) {
            const unsigned top = (1u << bit_depth) - 1;
            for (unsigned v = 0; v <= top; ++v) {
                const bool clear = has_key && key[0] == v;
                for (int c = 0; c < 3; ++c)
                    table[3 * v + c] = clear ? background[c] : static_cast<std::uint8_t>(v * 255 / top);
            }
        }
    }

    // Samples of `depth` bits, leftmost in the high bits, through the table.
    template <unsigned depth>
    void from_table(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t count) const {
        constexpr unsigned per_byte = 8 / depth;
        constexpr unsigned mask = (1u << depth) - 1;
        std::uint32_t i = 0;
        for (; i + per_byte <= count; i += per_byte, ++src) {
            const unsigned byte = *src;
            for (unsigned k = 0; k < per_byte; ++k, dst += 3) {
                const std::uint8_t* t = &table[3 * ((byte >> (8 - depth * (k + 1))) & mask)];
                dst[0] = t[0], dst[1] = t[1], dst[2] = t[2];
            }
        }
        for (unsigned k = 0; i < count; ++i, ++k, dst += 3) {
            const std::uint8_t* t = &table[3 * ((*src >> (8 - depth * (k + 1))) & mask)];
            dst[0] = t[0], dst[1] = t[1], dst[2] = t[2];
        }
    }

    // `step` bytes per sample (1 or 2; the high byte comes first).
    template <unsigned step>
    void grey(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t count) const {
        for (std::uint32_t i = 0; i < count; ++i, src += step, dst += 3) {
            const bool clear = has_key && (step == 2 ? be16(src) : src[0]) == key[0];
            for (int c = 0; c < 3; ++c) dst[c] = clear ? background[c] : src[0];
        }
    }

    template <unsigned step>
    void truecolour(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t count) const {
        if (!has_key) {
            for (std::uint32_t i = 0; i < count; ++i, src += 3 * step, dst += 3)
                dst[0] = src[2 * step], dst[1] = src[step], dst[2] = src[0];
            return;
        }
        for (std::uint32_t i = 0; i < count; ++i, src += 3 * step, dst += 3) {
            const bool clear = step == 2 ? be16(src) == key[0] && be16(src + 2) == key[1] &&
                                               be16(src + 4) == key[2]
                                         : src[0] == key[0] && src[1] == key[1] && src[2] == key[2];
            dst[0] = clear ? background[0] : src[2 * step];
            dst[1] = clear ? background[1] : src[step];
            dst[2] = clear ? background[2] : src[0];
        }
    }

    // x / 255 for x below 65536 (the widest blend is 255 * 255).
    static std::uint8_t divide_by_255(unsigned x) { return static_cast<std::uint8_t>((x * 0x8081u) >> 23); }

    template <unsigned step>
    void grey_alpha(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t count) const {
        for (std::uint32_t i = 0; i < count; ++i, src += 2 * step, dst += 3) {
            const unsigned a = src[step], va = src[0] * a, rest = 255 - a;
            dst[0] = divide_by_255(va + rest * background[0]);
            dst[1] = divide_by_255(va + rest * background[1]);
            dst[2] = divide_by_255(va + rest * background[2]);
        }
    }

    template <unsigned step>
    void truecolour_alpha(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t count) const {
        for (std::uint32_t i = 0; i < count; ++i, src += 4 * step, dst += 3) {
            const unsigned a = src[3 * step], rest = 255 - a;
            dst[0] = divide_by_255(src[2 * step] * a + rest * background[0]);
            dst[1] = divide_by_255(src[step] * a + rest * background[1]);
            dst[2] = divide_by_255(src[0] * a + rest * background[2]);
        }
    }

    void convert(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t count) const {
        const bool wide = bit_depth == 16;
        switch (colour_type) {
        case GREY:
            if (wide) return grey<2>(src, dst, count);
            [[fallthrough]];
        case INDEXED:
            switch (bit_depth) {
            case 1: return from_table<1>(src, dst, count);
            case 2: return from_table<2>(src, dst, count);
            case 4: return from_table<4>(src, dst, count);
            default: return from_table<8>(src, dst, count);
            }
        case TRUECOLOUR: return wide ? truecolour<2>(src, dst, count) : truecolour<1>(src, dst, count);
        case GREY_ALPHA: return wide ? grey_alpha<2>(src, dst, count) : grey_alpha<1>(src, dst, count);
        default:
            return wide ? truecolour_alpha<2>(src, dst, count) : truecolour_alpha<1>(src, dst, count);
        }
    }
};

// a when it is nearest to a + b - c, else b when that is nearer than c,
// else c (written to compile to conditional moves).
inline int paeth_predictor(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    int nearest = a, distance = pa;
    if (pb < distance) nearest = b, distance = pb;
    if (pc < distance) nearest = c;
    return nearest;
}

// The Paeth filter after the first pixel, with the pixel size known to the
// compiler where it can be.
template <std::size_t S>
void unpaeth(std::uint8_t* x, const std::uint8_t* p, std::size_t n, std::size_t s) {
    if constexpr (S != 0) s = S;
    for (std::size_t j = s; j < n; ++j)
        x[j] = static_cast<std::uint8_t>(x[j] + paeth_predictor(x[j - s], p[j], p[j - s]));
}

// Undoes the filter of one row: `x` is its filter byte and `n` bytes, `p`
// the row above (unfiltered, without its filter byte) or null for the first
// row of a pass; `s` bytes per complete pixel. Unknown filter types leave
// the row as it is.
void unfilter_row(std::uint8_t* x, const std::uint8_t* p, std::size_t n, std::size_t s) {
    const unsigned type = x[0];
    x[0] = 0;
    ++x;
    const std::size_t first = std::min(s, n);
    switch (type) {
    case 1:
        for (std::size_t j = s; j < n; ++j) x[j] = static_cast<std::uint8_t>(x[j] + x[j - s]);
        break;
    case 2:
        if (p)
            for (std::size_t j = 0; j < n; ++j) x[j] = static_cast<std::uint8_t>(x[j] + p[j]);
        break;
    case 3:
        if (p) {
            for (std::size_t j = 0; j < first; ++j) x[j] = static_cast<std::uint8_t>(x[j] + (p[j] >> 1));
            for (std::size_t j = s; j < n; ++j)
                x[j] = static_cast<std::uint8_t>(x[j] + ((x[j - s] + p[j]) >> 1));
        } else {
            for (std::size_t j = s; j < n; ++j) x[j] = static_cast<std::uint8_t>(x[j] + (x[j - s] >> 1));
        }
        break;
    case 4:
        if (p) {
            for (std::size_t j = 0; j < first; ++j) x[j] = static_cast<std::uint8_t>(x[j] + p[j]);
            switch (s) {
            case 1: unpaeth<1>(x, p, n, s); break;
            case 3: unpaeth<3>(x, p, n, s); break;
            case 4: unpaeth<4>(x, p, n, s); break;
            default: unpaeth<0>(x, p, n, s); break;
            }
        } else {
            for (std::size_t j = s; j < n; ++j) x[j] = static_cast<std::uint8_t>(x[j] + x[j - s]);
        }
        break;
    default: break;
    }
}

// Rows are inflated and unfiltered in bands of about this many bytes, so
// that each row is converted while it is still in the cache.
constexpr std::size_t kBandBytes = 128 * 1024;

// Reads `rows` rows of `columns` pixels from the stream and hands each,
// unfiltered, to `take`(row number, bytes after the filter byte).
template <class Take>
bool read_rows(ImageDataStream& stream, std::uint32_t columns, std::uint32_t rows, unsigned bpp,
               std::vector<std::uint8_t>& band, Take take) {
    const std::size_t n = row_bytes(columns, bpp), length = n + 1;
    const std::size_t s = std::max(1u, (bpp + 7) / 8);
    const std::size_t band_rows = std::clamp<std::size_t>(kBandBytes / length, 1, rows);
    band.resize(length * (band_rows + 1));  // the row above the band, then the band
    std::uint8_t* const above = band.data();
    std::uint8_t* const first = above + length;
    for (std::uint32_t row = 0; row < rows;) {
        const std::size_t count = std::min<std::size_t>(band_rows, rows - row);
        if (!stream.read(first, count * length)) return false;
        for (std::size_t i = 0; i < count; ++i, ++row) {
            std::uint8_t* x = first + i * length;
            unfilter_row(x, row == 0 ? nullptr : x - length + 1, n, s);
            take(row, x + 1);
        }
        std::memcpy(above, first + (count - 1) * length, length);
    }
    return true;
}

}  // namespace

const char* decode_png(std::string_view file, std::uint32_t background, Picture& out) {
    PngState s;
    if (const char* error = read_chunks(s, file)) return error;
    const unsigned bpp = s.bits_per_pixel();
    std::uint64_t raw_size = 0;
    if (s.interlace) {
        for (const Adam7Pass& pass : kPasses) {
            const std::uint32_t columns = pass_columns(pass, s.width), rows = pass_rows(pass, s.height);
            if (columns && rows) raw_size += (row_bytes(columns, bpp) + 1) * rows;
        }
    } else {
        raw_size = (row_bytes(s.width, bpp) + 1) * s.height;
    }
    if (raw_size > s.image_data_size * kMaxInflateRatio + 4096) return kPngBadImageData;

    const std::size_t stride = (3 * std::size_t{s.width} + 3) & ~std::size_t{3};
    try {
        out.pixels.resize(stride * s.height);
        ImageDataStream stream(s.image_data);
        if (const char* error = stream.open()) {
            out.pixels.clear();
            return error;
        }
        const Converter converter(s, background);
        std::uint8_t* const bottom = out.pixels.data() + stride * (s.height - 1);
        std::vector<std::uint8_t> band;
        bool complete = true;
        if (!s.interlace) {
            complete = read_rows(stream, s.width, s.height, bpp, band, [&](std::uint32_t y, const std::uint8_t* row) {
                std::uint8_t* dst = bottom - stride * y;
                converter.convert(row, dst, s.width);
                std::fill(dst + 3 * std::size_t{s.width}, dst + stride, 0);
            });
        } else {
            std::vector<std::uint8_t> converted(3 * std::size_t{s.width});
            for (const Adam7Pass& pass : kPasses) {
                const std::uint32_t columns = pass_columns(pass, s.width), rows = pass_rows(pass, s.height);
                if (!columns || !rows) continue;
                complete = complete && read_rows(stream, columns, rows, bpp, band, [&](std::uint32_t r, const std::uint8_t* row) {
                    converter.convert(row, converted.data(), columns);
                    std::uint8_t* dst = bottom - stride * (pass.row + r * pass.row_step) + 3 * std::size_t{pass.column};
                    for (std::uint32_t c = 0; c < columns; ++c, dst += 3 * pass.column_step)
                        std::memcpy(dst, &converted[3 * c], 3);
                });
            }
            for (std::uint32_t y = 0; y < s.height; ++y)
                std::fill(bottom - stride * y + 3 * std::size_t{s.width}, bottom - stride * y + stride, 0);
        }
        if (!complete) {
            out.pixels.clear();
            return kPngBadImageData;
        }
    } catch (const std::bad_alloc&) {
        out.pixels.clear();
        return kPictureOutOfMemory;
    }
    std::fill(out.info.begin(), out.info.end(), 0);
    out.set_field(0, kInfoHeaderSize);
    out.set_field(4, s.width);
    out.set_field(8, s.height);
    out.info[12] = 1;   // planes
    out.info[14] = 24;  // bit count; compression BI_RGB (0)
    out.set_field(24, s.x_pixels_per_metre);
    out.set_field(28, s.y_pixels_per_metre);
    return nullptr;
}

}  // namespace qz
