// Decoding large PNG pictures with the program's decoder and with libpng on
// the same zlib. Each image is encoded once by libpng; the decoder's
// benchmark reports "libpng_ratio", libpng's time per image over its own.
// The same for the good test images the build writes (small files of every
// format, where the work per file counts).
#include <benchmark/benchmark.h>
#include <png.h>
#include <time.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/image/png_decoder.h"

namespace {

constexpr std::uint32_t kWidth = 4000, kHeight = 3000;

struct Kind {
    const char* name;
    int colour_type;
    int interlace;
};
constexpr Kind kKinds[] = {
    {"truecolour", PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE},
    {"palette8", PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE},
    {"grey_alpha", PNG_COLOR_TYPE_GRAY_ALPHA, PNG_INTERLACE_NONE},
    {"truecolour_alpha", PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE},
    {"truecolour_interlaced", PNG_COLOR_TYPE_RGB, PNG_INTERLACE_ADAM7},
};

double now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);  // CPU time: the machine may be busy
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// A picture-like image: smooth gradients with some noise.
std::string encode(const Kind& kind) {
    const int channels = kind.colour_type == PNG_COLOR_TYPE_RGB         ? 3
                         : kind.colour_type == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                         : kind.colour_type == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                         : 1;
    std::vector<png_byte> pixels(std::size_t{kWidth} * kHeight * channels);
    std::uint32_t noise = 12345;
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x)
            for (int c = 0; c < channels; ++c) {
                noise = noise * 1103515245 + 12345;
                pixels[(std::size_t{y} * kWidth + x) * channels + c] =
                    static_cast<png_byte>((x * (c + 1) / 16 + y / (c + 8) + (noise >> 29)) & 0xFF);
            }
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), length);
        },
        nullptr);
    png_set_IHDR(png, info, kWidth, kHeight, 8, kind.colour_type, kind.interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (kind.colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[256];
        png_byte alpha[256];
        for (int i = 0; i < 256; ++i) {
            palette[i] = {static_cast<png_byte>(i), static_cast<png_byte>(255 - i), static_cast<png_byte>(i * 7)};
            alpha[i] = static_cast<png_byte>(i);
        }
        png_set_PLTE(png, info, palette, 256);
        png_set_tRNS(png, info, alpha, 128, nullptr);
    }
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (std::uint32_t y = 0; y < kHeight; ++y)
            png_write_row(png, &pixels[std::size_t{y} * kWidth * channels]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

const std::string& image(int k) {
    static std::map<int, std::string> images;
    auto found = images.find(k);
    if (found == images.end()) found = images.emplace(k, encode(kKinds[k])).first;
    return found->second;
}

std::map<int, double>& libpng_seconds() {
    static std::map<int, double> seconds;
    return seconds;
}

// libpng reading to 8-bit BGR(A) rows, its nearest own output.
void libpng_decode(const std::string& file, std::vector<png_byte>& buffer) {
    struct Source {
        const std::string* bytes;
        std::size_t at = 0;
    } source{&file};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &source, [](png_structp p, png_bytep out, png_size_t length) {
        auto* s = static_cast<Source*>(png_get_io_ptr(p));
        std::memcpy(out, s->bytes->data() + s->at, length);
        s->at += length;
    });
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t row = png_get_rowbytes(png, info);
    const std::uint32_t height = png_get_image_height(png, info);
    buffer.resize(row * height);
    std::vector<png_bytep> rows(height);
    for (std::uint32_t y = 0; y < height; ++y) rows[y] = &buffer[row * y];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
}

void BM_LibpngDecode(benchmark::State& state) {
    const int k = static_cast<int>(state.range(0));
    const std::string& file = image(k);
    const double start = now();
    for (auto _ : state) {
        std::vector<png_byte> buffer;  // a fresh picture each time, as the decoder makes
        libpng_decode(file, buffer);
        benchmark::DoNotOptimize(buffer.data());
    }
    libpng_seconds()[k] = (now() - start) / static_cast<double>(state.iterations());
    state.SetLabel(kKinds[k].name);
    state.counters["MB_file"] = static_cast<double>(file.size()) / 1e6;
}

void BM_PngDecode(benchmark::State& state) {
    const int k = static_cast<int>(state.range(0));
    const std::string& file = image(k);
    const double start = now();
    for (auto _ : state) {
        qz::Picture picture;
        if (qz::decode_png(file, 0xFFFFFF, picture)) state.SkipWithError("refused");
        benchmark::DoNotOptimize(picture.pixels.data());
    }
    const double ours = (now() - start) / static_cast<double>(state.iterations());
    state.SetLabel(kKinds[k].name);
    if (libpng_seconds().count(k)) state.counters["libpng_ratio"] = libpng_seconds()[k] / ours;
}

const std::vector<std::string>& test_images() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(QZ_PNG_FIXTURES_DIR))
            if (entry.path().extension() == ".png" && entry.path().filename().string()[0] != 'x') {
                std::ifstream in(entry.path(), std::ios::binary);
                out.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
        return out;
    }();
    return files;
}

double libpng_test_images_seconds = 0;

void BM_LibpngDecodeTestImages(benchmark::State& state) {
    const double start = now();
    for (auto _ : state)
        for (const std::string& file : test_images()) {
            std::vector<png_byte> buffer;
            libpng_decode(file, buffer);
            benchmark::DoNotOptimize(buffer.data());
        }
    libpng_test_images_seconds = (now() - start) / static_cast<double>(state.iterations());
    state.counters["files"] = static_cast<double>(test_images().size());
}

void BM_PngDecodeTestImages(benchmark::State& state) {
    if (test_images().empty()) state.SkipWithError("no PNG test images in " QZ_PNG_FIXTURES_DIR);
    const double start = now();
    for (auto _ : state)
        for (const std::string& file : test_images()) {
            qz::Picture picture;
            if (qz::decode_png(file, 0xFFFFFF, picture)) state.SkipWithError("refused");
            benchmark::DoNotOptimize(picture.pixels.data());
        }
    const double ours = (now() - start) / static_cast<double>(state.iterations());
    state.counters["files"] = static_cast<double>(test_images().size());
    if (libpng_test_images_seconds > 0) state.counters["libpng_ratio"] = libpng_test_images_seconds / ours;
}

}  // namespace

BENCHMARK(BM_LibpngDecodeTestImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecodeTestImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibpngDecode)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecode)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
