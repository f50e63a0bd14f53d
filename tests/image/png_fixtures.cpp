// Writes the PNG images that the decoder's tests, the PNG benchmark and the
// PNG fuzz target's corpus read into the folder named on the command line:
// good files encoded by libpng from a seeded pattern (every colour type at
// every bit depth, interlaced and not, each filter, transparency, ancillary
// chunks, IDAT runs, sizes, zlib levels) and corrupt files, named x_*.png,
// each made from a good one by one change. Every run writes the same bytes.
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "make_png_fixtures: %s\n", what.c_str());
    std::exit(1);
}

struct Format {
    const char* name;
    int colour, depth;
    int channels() const { return colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 1; }
    unsigned top() const { return (1u << depth) - 1; }
};
constexpr Format kFormats[] = {
    {"grey1", 0, 1},      {"grey2", 0, 2},        {"grey4", 0, 4},    {"grey8", 0, 8},     {"grey16", 0, 16},
    {"rgb8", 2, 8},       {"rgb16", 2, 16},       {"palette1", 3, 1}, {"palette2", 3, 2},  {"palette4", 3, 4},
    {"palette8", 3, 8},   {"greyalpha8", 4, 8},   {"greyalpha16", 4, 16}, {"rgba8", 6, 8}, {"rgba16", 6, 16},
};
constexpr int kSubByte[] = {0, 1, 2, 7, 8, 9};  // formats with several pixels to a byte

const Format* format(std::string_view name) {
    for (const Format& f : kFormats)
        if (name == f.name) return &f;
    fail("no format " + std::string(name));
}

// Chunks written besides IHDR, an indexed image's PLTE, IDAT and IEND.
enum Extra : unsigned {
    TRNS = 1 << 0, BKGD = 1 << 1, GAMA = 1 << 2, SBIT = 1 << 3, CHRM = 1 << 4, PHYS = 1 << 5, HIST = 1 << 6,
    TIME = 1 << 7, TEXT = 1 << 8, EXIF = 1 << 9, SPLT = 1 << 10,
    PLTE = 1 << 11,     // a suggested palette in a truecolour image
    PRIVATE = 1 << 12,  // private chunks before PLTE, after PLTE and after the image data
};
constexpr int kMixedFilters = 5;  // row y > 0 filtered with type y % 5
constexpr int kFilterMasks[] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH,
                                 PNG_ALL_FILTERS};

struct Image {
    std::string name;
    const Format* format;
    std::uint32_t width = 32, height = 32;
    bool adam7 = false;
    int filter = -1;  // 0..4: that type on every row, kMixedFilters, or libpng's choice
    int level = -1;   // zlib level, or libpng's default
    int idat = 0;     // bytes per IDAT chunk, -1 all in one, 0 as libpng writes them
    unsigned extras = 0;
    int value = 0;  // gAMA in hundredths, sBIT bits, the pHYs, tIME or text variant,
                    // the number of an indexed image's tRNS entries (0: all)
};

struct Random {
    std::uint32_t state = 2166136261u;
    explicit Random(std::string_view seed) {
        for (char c : seed) state = (state ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    unsigned operator()(unsigned n) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % n;
    }
};

unsigned palette_size(const Format& f) { return f.depth < 8 ? 1u << f.depth : 200; }

void put(std::vector<png_byte>& row, std::size_t i, int depth, unsigned v) {
    if (depth == 16) {
        row[2 * i] = static_cast<png_byte>(v >> 8);
        row[2 * i + 1] = static_cast<png_byte>(v);
    } else {
        row[i * depth / 8] |= static_cast<png_byte>(v << (8 - depth - i * depth % 8));
    }
}

// Gradients with noise; alpha often 0 or opaque; a keyed image's key colour
// on a quarter of its pixels and, differing in one bit, on another eighth.
std::vector<std::vector<png_byte>> pixel_rows(const Image& im, Random& rnd, const std::vector<unsigned>& key) {
    const Format& f = *im.format;
    const int n = f.channels();
    std::vector<std::vector<png_byte>> rows(im.height, std::vector<png_byte>((im.width * n * f.depth + 7) / 8));
    std::vector<unsigned> px(n);
    for (std::uint32_t y = 0; y < im.height; ++y)
        for (std::uint32_t x = 0; x < im.width; ++x) {
            for (int c = 0; c < n; ++c) {
                const bool alpha = (f.colour == 4 && c == 1) || (f.colour == 6 && c == 3);
                const unsigned pick = alpha ? rnd(4) : 3;
                px[c] = f.colour == 3 ? rnd(palette_size(f))
                        : pick < 2    ? pick * f.top()
                                      : ((x * (c + 2) + y * (3 - c % 3)) * (f.top() + 1) / 64 + rnd(f.top() / 16 + 2)) &
                                         f.top();
            }
            if (!key.empty()) {
                const unsigned pick = rnd(8);
                if (pick < 3) px = key;
                if (pick == 2) px.back() ^= 1;
            }
            for (int c = 0; c < n; ++c) put(rows[y], std::size_t{x} * n + c, f.depth, px[c]);
        }
    return rows;
}

struct Chunk {
    std::string type, data;
};

std::uint32_t be32(std::string_view s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}
void put32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

std::vector<Chunk> chunks_of(const std::string& file) {
    std::vector<Chunk> chunks;
    for (std::size_t pos = 8; pos + 12 <= file.size(); pos += 12 + be32(file, pos))
        chunks.push_back({file.substr(pos + 4, 4), file.substr(pos + 8, be32(file, pos))});
    return chunks;
}

std::string file_of(const std::vector<Chunk>& chunks) {
    std::string file = "\x89PNG\r\n\x1A\n";
    for (const Chunk& c : chunks) {
        const std::string typed = c.type + c.data;
        std::string length(4, '\0'), crc(4, '\0');
        put32(length, 0, static_cast<std::uint32_t>(c.data.size()));
        put32(crc, 0, crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size())));
        file += length + typed + crc;
    }
    return file;
}

// The run of IDAT chunks again, `size` bytes each (-1: one chunk).
std::string regroup_image_data(const std::string& file, int size) {
    std::vector<Chunk> out;
    std::string stream;
    for (const Chunk& c : chunks_of(file))
        if (c.type == "IDAT") stream += c.data;
    for (Chunk& c : chunks_of(file)) {
        if (c.type != "IDAT") {
            out.push_back(std::move(c));
            continue;
        }
        const std::size_t n = size < 0 ? stream.size() : size;
        for (std::size_t at = 0; at < stream.size(); at += n) out.push_back({"IDAT", stream.substr(at, n)});
        stream.clear();
    }
    return file_of(out);
}

std::string encode(const Image& im) {
    const Format& f = *im.format;
    Random rnd(im.name);
    std::string out;
    png_structp png = png_create_write_struct(
        PNG_LIBPNG_VER_STRING, const_cast<Image*>(&im),
        [](png_structp p, png_const_charp m) { fail(static_cast<Image*>(png_get_error_ptr(p))->name + ": " + m); },
        [](png_structp p, png_const_charp m) { fail(static_cast<Image*>(png_get_error_ptr(p))->name + ": " + m); });
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), length);
        },
        nullptr);
    png_set_IHDR(png, info, im.width, im.height, f.depth, f.colour, im.adam7 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (im.level >= 0) png_set_compression_level(png, im.level);
    if (im.filter >= 0) png_set_filter(png, 0, kFilterMasks[im.filter]);

    std::vector<png_color> palette(f.colour == 3 ? palette_size(f) : im.extras & PLTE ? 216 : 0);
    for (png_color& c : palette)
        c = {static_cast<png_byte>(rnd(256)), static_cast<png_byte>(rnd(256)), static_cast<png_byte>(rnd(256))};
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    std::vector<png_byte> alpha(im.value ? im.value : palette.size());
    std::vector<unsigned> key;
    png_color_16 colour{1, static_cast<png_uint_16>(f.top() / 3), static_cast<png_uint_16>(f.top() / 5 * 4),
                        static_cast<png_uint_16>(f.top() / 2), static_cast<png_uint_16>(f.top() / 3)};
    if (im.extras & TRNS && f.colour == 3) {
        for (png_byte& a : alpha) a = static_cast<png_byte>(rnd(3) == 0 ? 0 : rnd(2) ? 255 : rnd(256));
        png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
    } else if (im.extras & TRNS) {
        key = f.colour == 0 ? std::vector<unsigned>{colour.gray}
                            : std::vector<unsigned>{colour.red, colour.green, colour.blue};
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    if (im.extras & BKGD) png_set_bKGD(png, info, &colour);
    if (im.extras & GAMA) png_set_gAMA_fixed(png, info, im.value * 1000);
    const png_byte bits = static_cast<png_byte>(im.value);
    png_color_8 significant{bits, bits, bits, bits, bits};
    if (im.extras & SBIT) png_set_sBIT(png, info, &significant);
    if (im.extras & CHRM) png_set_cHRM_fixed(png, info, 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000);
    constexpr png_uint_32 kPhys[][3] = {{3780, 3780, 1}, {1, 4, 0}, {4, 1, 0}, {2835, 5669, 1}};
    const png_uint_32* phys = kPhys[im.value % 4];
    if (im.extras & PHYS) png_set_pHYs(png, info, phys[0], phys[1], phys[2]);
    std::vector<png_uint_16> histogram(palette.size());
    for (png_uint_16& h : histogram) h = static_cast<png_uint_16>(rnd(1000));
    if (im.extras & HIST) png_set_hIST(png, info, histogram.data());
    png_time times[] = {{2000, 1, 1, 0, 0, 0}, {1970, 1, 1, 0, 0, 0}, {1999, 12, 31, 23, 59, 59}};
    if (im.extras & TIME) png_set_tIME(png, info, &times[im.value % 3]);
    std::string comment(300, ' ');
    for (char& c : comment) c = static_cast<char>('a' + rnd(4));
    char key_title[] = "Title", key_comment[] = "Comment", ja[] = "ja", en[] = "en";
    char title[] = "A test image";
    char ja_key[] = "\xE9\xA1\x8C", ja_text[] = "\xE5\x95\x8F\xE9\xA1\x8C\xE7\x94\xBB\xE5\x83\x8F";  // UTF-8
    png_text texts[] = {
        {PNG_TEXT_COMPRESSION_NONE, key_title, title, sizeof title - 1, 0, nullptr, nullptr},
        {PNG_TEXT_COMPRESSION_zTXt, key_comment, comment.data(), comment.size(), 0, nullptr, nullptr},
        {PNG_ITXT_COMPRESSION_zTXt, key_title, ja_text, 0, sizeof ja_text - 1, ja, ja_key},
        {PNG_ITXT_COMPRESSION_NONE, key_title, title, 0, sizeof title - 1, en, key_title},
    };
    if (im.extras & TEXT && im.value % 5 < 4) png_set_text(png, info, &texts[im.value % 5], 1);
    png_byte exif[] = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 0};
    if (im.extras & EXIF) png_set_eXIf_1(png, info, sizeof exif, exif);
    std::vector<png_sPLT_entry> entries(6 * 6 * 6);
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i] = {static_cast<png_uint_16>(i / 36 * 51), static_cast<png_uint_16>(i / 6 % 6 * 51),
                      static_cast<png_uint_16>(i % 6 * 51), 255, static_cast<png_uint_16>(rnd(100))};
    char splt_name[] = "six-cube";
    png_sPLT_t splt{splt_name, 8, entries.data(), static_cast<png_int_32>(entries.size())};
    if (im.extras & SPLT) png_set_sPLT(png, info, &splt, 1);
    png_byte private_data[] = "quizo";
    png_unknown_chunk privates[] = {{"qzBp", private_data, 5, PNG_HAVE_IHDR},
                                    {"qzAp", private_data, 5, PNG_HAVE_PLTE},
                                    {"qzEp", private_data, 5, PNG_AFTER_IDAT}};
    if (im.extras & PRIVATE) png_set_unknown_chunks(png, info, privates, 3);

    const auto rows = pixel_rows(im, rnd, key);
    png_write_info(png, info);
    if (im.extras & TEXT && im.value % 5 == 4) png_set_text(png, info, &texts[1], 1);  // after the image data
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (std::uint32_t y = 0; y < im.height; ++y) {
            png_write_row(png, rows[y].data());
            // From the second row on (libpng keeps the row above only when it starts with all five).
            if (im.filter == kMixedFilters) png_set_filter(png, 0, kFilterMasks[(y + 1) % 5]);
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return im.idat ? regroup_image_data(out, im.idat) : out;
}

std::vector<Image> good_images() {
    std::vector<Image> v;
    const auto suffix = [](bool adam7) { return adam7 ? "_adam7" : ""; };
    for (bool adam7 : {false, true}) {
        for (const Format& f : kFormats)
            v.push_back({std::string("basic_") + f.name + suffix(adam7), &f, 32, 32, adam7});
        for (std::uint32_t n = 1; n <= 33; ++n)
            for (const Format* f : {&kFormats[n % 15], &kFormats[kSubByte[n % 6]]}) {
                char name[40];
                std::snprintf(name, sizeof name, "size%02u_%s%s", n, f->name, suffix(adam7));
                if (v.back().name != name) v.push_back({name, f, n, n, adam7});
            }
        for (const char* f : {"grey1", "rgba16"})
            v.push_back({std::string("wide_") + f + suffix(adam7), format(f), 1037, 2, adam7});
        for (const char* f : {"palette4", "rgb16"})
            v.push_back({std::string("tall_") + f + suffix(adam7), format(f), 2, 1037, adam7});
    }
    const char* filters[] = {"none", "sub", "up", "average", "paeth", "mixed"};
    for (int filter = 0; filter <= kMixedFilters; ++filter)
        for (const char* f : {"grey4", "grey8", "greyalpha8", "rgb8", "rgba16"})
            for (bool adam7 : {false, true})
                if (!adam7 || filter == kMixedFilters || std::string_view(f) == "rgb8")
                    v.push_back({std::string("filter_") + filters[filter] + "_" + f + suffix(adam7), format(f), 32, 32,
                                 adam7, filter});
    for (const char* f : {"grey1", "grey2", "grey4", "grey8", "grey16", "rgb8", "rgb16", "palette1", "palette2",
                          "palette4", "palette8"})
        v.push_back({std::string("trns_") + f, format(f), 32, 32, false, -1, -1, 0, TRNS});
    v.push_back({"trns_palette8_partial", format("palette8"), 32, 32, false, -1, -1, 0, TRNS, 17});
    v.push_back({"trns_palette2_partial_adam7", format("palette2"), 32, 32, true, -1, -1, 0, TRNS, 3});
    v.push_back({"trns_rgb16_adam7", format("rgb16"), 32, 32, true, -1, -1, 0, TRNS});
    v.push_back({"trns_grey2_adam7", format("grey2"), 32, 32, true, -1, -1, 0, TRNS});
    for (const char* f : {"grey4", "grey16", "rgb8", "rgb16", "palette8"})
        v.push_back({std::string("trns_bkgd_") + f, format(f), 32, 32, false, -1, -1, 0, TRNS | BKGD});
    for (const char* f : {"grey8", "rgb8", "palette4", "greyalpha8", "greyalpha16", "rgba8", "rgba16"})
        for (bool adam7 : {false, true})
            v.push_back({std::string("bkgd_") + f + suffix(adam7), format(f), 32, 32, adam7, -1, -1, 0, BKGD});
    for (int gamma : {35, 45, 55, 70, 100, 250})
        for (const char* f : {"grey16", "rgb8", "palette4"})
            v.push_back({"gamma" + std::to_string(gamma) + "_" + f, format(f), 32, 32, false, -1, -1, 0, GAMA, gamma});
    const struct { const char* format; int bits; } sbits[] = {
        {"grey1", 1}, {"grey4", 3}, {"grey8", 5}, {"grey16", 13}, {"rgb8", 5}, {"rgb8", 8},
        {"rgb16", 13}, {"palette8", 3}, {"palette8", 5}, {"greyalpha8", 6}, {"rgba16", 11}};
    for (const auto& s : sbits)
        v.push_back({"sbit" + std::to_string(s.bits) + "_" + s.format, format(s.format), 32, 32, false, -1, -1, 0,
                     SBIT, s.bits});
    const struct { const char* name; const char* format; unsigned extras; int value; } chunks[] = {
        {"chrm", "rgb8", CHRM, 0}, {"chrm", "palette8", CHRM, 0},
        {"phys_metre", "rgb8", PHYS, 0}, {"phys_flat", "rgb8", PHYS, 1}, {"phys_high", "grey4", PHYS, 2},
        {"phys_unequal", "palette8", PHYS, 3}, {"hist", "palette4", HIST, 0}, {"hist", "palette8", HIST, 0},
        {"time2000", "grey4", TIME, 0}, {"time1970", "grey4", TIME, 1}, {"time1999", "grey4", TIME, 2},
        {"text", "grey4", TEXT, 0}, {"ztxt", "grey4", TEXT, 1}, {"itxt_ja", "grey4", TEXT, 2},
        {"itxt_en", "rgb8", TEXT, 3}, {"ztxt_after_idat", "palette8", TEXT, 4}, {"exif", "rgb8", EXIF, 0},
        {"suggested_palette", "rgb16", PLTE, 0}, {"suggested_palette", "rgba8", PLTE, 0},
        {"splt", "grey8", SPLT, 0}, {"splt", "rgb16", SPLT, 0},
        {"private", "palette8", PRIVATE, 0}, {"private", "rgb8", PRIVATE | PLTE, 0}, {"private", "grey2", PRIVATE, 0},
        // Everything before PLTE (gAMA, sBIT, cHRM, a private chunk) and after it.
        {"all_chunks", "palette8", GAMA | SBIT | CHRM | PRIVATE | TRNS | BKGD | HIST | PHYS | SPLT | TIME | TEXT, 5},
        {"all_chunks", "rgb8", GAMA | SBIT | CHRM | PRIVATE | PLTE | TRNS | BKGD | PHYS | SPLT | TIME, 5},
    };
    for (const auto& c : chunks)
        v.push_back({std::string(c.name) + "_" + c.format, format(c.format), 32, 32, false, -1, -1, 0, c.extras,
                     c.value});
    v.push_back({"all_chunks_palette2_adam7", format("palette2"), 32, 32, true, -1, -1, 0,
                 GAMA | CHRM | PRIVATE | TRNS | BKGD | HIST | PHYS, 2});
    for (int size : {1, 3, 64, -1})
        for (const char* f : {"grey16", "rgb16", "palette8"})
            v.push_back({"idat" + (size < 0 ? std::string("one") : std::to_string(size)) + "_" + f, format(f), 32, 32,
                         f[0] == 'p', -1, -1, size});
    v.push_back({"idatone_rgba8_160x120", format("rgba8"), 160, 120, false, -1, -1, -1});
    for (int level : {0, 1, 6, 9}) {
        v.push_back({"zlib" + std::to_string(level) + "_rgb8", format("rgb8"), 32, 32, false, -1, level});
        v.push_back({"zlib" + std::to_string(level) + "_palette2_adam7", format("palette2"), 32, 32, true, -1, level});
        v.push_back({"zlib" + std::to_string(level) + "_rgba8_160x120", format("rgba8"), 160, 120, false, -1, level});
    }
    return v;
}

// ---- Corrupt files, each from a good one by one change.

using Chunks = std::vector<Chunk>;

// The file's chunks changed by `change`, with their CRCs made right.
template <auto change>
void in_chunks(std::string& file) {
    Chunks chunks = chunks_of(file);
    change(chunks);
    file = file_of(chunks);
}
Chunk& first(Chunks& chunks, std::string_view type) {
    for (Chunk& c : chunks)
        if (c.type == type) return c;
    fail("no chunk " + std::string(type));
}
std::size_t offset(const std::string& file, std::string_view type) {
    for (std::size_t pos = 8; pos + 12 <= file.size(); pos += 12 + be32(file, pos))
        if (file.compare(pos + 4, 4, type) == 0) return pos;
    fail("no chunk " + std::string(type));
}
std::size_t crc_at(const std::string& file, std::string_view type) {
    return offset(file, type) + 8 + be32(file, offset(file, type));
}
void drop(Chunks& chunks, std::string_view type) {
    std::erase_if(chunks, [type](const Chunk& c) { return c.type == type; });
}
template <int at, int value>
void header_byte(std::string& file) {
    in_chunks<[](Chunks& c) { first(c, "IHDR").data[at] = static_cast<char>(value); }>(file);
}
template <std::uint32_t width, std::uint32_t height>
void header_size(std::string& file) {
    in_chunks<[](Chunks& c) {
        put32(first(c, "IHDR").data, 0, width);
        put32(first(c, "IHDR").data, 4, height);
    }>(file);
}
void replace_all(std::string& s, std::string_view from, std::string_view to) {
    for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
        s.replace(at, from.size(), to);
}

struct Corrupt {
    const char* name;
    const char* origin;
    void (*change)(std::string&);
};
const Corrupt kCorrupt[] = {
    {"x_signature_high_bit", "basic_grey1", [](std::string& f) { f[0] = 0x09; }},
    {"x_signature_q", "basic_grey1", [](std::string& f) { f[1] = 'Q'; }},
    {"x_signature_lowercase", "basic_grey1", [](std::string& f) { f[3] = 'g'; }},
    {"x_signature_space", "basic_grey1", [](std::string& f) { f[6] = ' '; }},
    {"x_crlf", "basic_grey4", [](std::string& f) { replace_all(f, "\n", "\r\n"); }},
    {"x_lf", "basic_grey4", [](std::string& f) { replace_all(f, "\r\n", "\n"); }},
    {"x_crc_ihdr", "basic_grey8", [](std::string& f) { f[crc_at(f, "IHDR")] ^= 1; }},
    {"x_crc_plte", "basic_palette8", [](std::string& f) { f[crc_at(f, "PLTE")] ^= 0x40; }},
    {"x_crc_idat", "basic_grey1", [](std::string& f) { f[crc_at(f, "IDAT") + 3] ^= 1; }},
    {"x_length_past_end", "basic_rgb8",
     [](std::string& f) { put32(f, offset(f, "IDAT"), static_cast<std::uint32_t>(f.size())); }},
    {"x_cut_in_idat", "basic_rgb8",
     [](std::string& f) { f.resize(offset(f, "IDAT") + 8 + be32(f, offset(f, "IDAT")) / 2); }},
    {"x_no_ihdr", "basic_grey8", in_chunks<[](Chunks& c) { drop(c, "IHDR"); }>},
    {"x_ihdr_twice", "basic_grey8", in_chunks<[](Chunks& c) { c.insert(c.begin() + 1, c[0]); }>},
    {"x_ihdr_length", "basic_grey8", in_chunks<[](Chunks& c) { first(c, "IHDR").data += '\0'; }>},
    {"x_no_iend", "basic_rgb8", in_chunks<[](Chunks& c) { drop(c, "IEND"); }>},
    {"x_no_idat", "basic_grey1", in_chunks<[](Chunks& c) { drop(c, "IDAT"); }>},
    {"x_no_plte", "basic_palette8", in_chunks<[](Chunks& c) { drop(c, "PLTE"); }>},
    {"x_plte_after_idat", "basic_palette8", in_chunks<[](Chunks& c) {
         const Chunk palette = first(c, "PLTE");
         drop(c, "PLTE");
         c.insert(c.end() - 1, palette);
     }>},
    {"x_palette_too_long", "basic_palette2", in_chunks<[](Chunks& c) { first(c, "PLTE").data += "abc"; }>},
    {"x_palette_index", "basic_palette4", in_chunks<[](Chunks& c) { first(c, "PLTE").data.resize(9 * 3); }>},
    {"x_unknown_critical", "basic_rgb8", in_chunks<[](Chunks& c) { c.insert(c.end() - 2, Chunk{"QuIZ", "quizo"}); }>},
    {"x_idat_short", "basic_rgba8",
     in_chunks<[](Chunks& c) { first(c, "IDAT").data.resize(first(c, "IDAT").data.size() / 2); }>},
    {"x_idat_two_runs", "idat64_rgb16",
     in_chunks<[](Chunks& c) { c.insert(c.begin() + 2, Chunk{"tEXt", std::string("Title\0x", 7)}); }>},
    {"x_zlib_block_type", "basic_rgb8", in_chunks<[](Chunks& c) { first(c, "IDAT").data[2] |= 7; }>},
    {"x_zlib_method", "basic_rgb8", in_chunks<[](Chunks& c) { first(c, "IDAT").data[0] = 0x79; }>},
    {"x_width_zero", "basic_grey8", header_size<0, 32>},
    {"x_height_zero", "basic_grey8", header_size<32, 0>},
    {"x_width_huge", "basic_grey8", header_size<0x80000000u, 32>},
    {"x_height_huge", "basic_grey8", header_size<32, 0xFFFFFFFFu>},
    {"x_width_too_large", "basic_grey8", header_size<30001, 32>},
    {"x_pixels_too_many", "basic_grey8", header_size<6001, 6001>},
    {"x_colour_type_1", "basic_grey8", header_byte<9, 1>},
    {"x_colour_type_9", "basic_rgb8", header_byte<9, 9>},
    {"x_depth_0", "basic_rgb8", header_byte<8, 0>},
    {"x_depth_99", "basic_rgb8", header_byte<8, 99>},
    {"x_depth_grey3", "basic_grey4", header_byte<8, 3>},
    {"x_depth_rgb4", "basic_rgb8", header_byte<8, 4>},
    {"x_depth_palette16", "basic_palette8", header_byte<8, 16>},
    {"x_depth_greyalpha2", "basic_greyalpha8", header_byte<8, 2>},
    {"x_depth_rgba1", "basic_rgba8", header_byte<8, 1>},
    {"x_compression_method", "basic_grey8", header_byte<10, 1>},
    {"x_filter_method", "basic_grey8", header_byte<11, 1>},
    {"x_interlace_method", "basic_grey8", header_byte<12, 2>},
};

void write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) fail("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) fail("usage: make_png_fixtures FOLDER");
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".png") std::filesystem::remove(entry.path());
    std::vector<std::pair<std::string, std::string>> good;
    for (const Image& im : good_images()) good.emplace_back(im.name, encode(im));
    for (const auto& [name, bytes] : good) write(folder / (name + ".png"), bytes);
    for (const Corrupt& c : kCorrupt) {
        std::string bytes;
        for (const auto& [name, b] : good)
            if (name == c.origin) bytes = b;
        if (bytes.empty()) fail(std::string("no image ") + c.origin);
        c.change(bytes);
        write(folder / (std::string(c.name) + ".png"), bytes);
    }
    std::printf("make_png_fixtures: %zu good and %zu corrupt images in %s\n", good.size(), std::size(kCorrupt),
                argv[1]);
}
