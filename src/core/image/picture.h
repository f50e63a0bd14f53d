// The in-memory picture both loaders produce: the image header record that
// StretchDIBits takes as its BITMAPINFO, and the pixel rows it describes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <string_view>
#include <vector>

namespace qz {

// A BITMAPINFOHEADER (40 bytes) and room for 256 colour entries.
inline constexpr std::size_t kInfoHeaderSize = 40;
inline constexpr std::size_t kImageHeaderRecordSize = kInfoHeaderSize + 256 * 4;

// Largest picture the loaders accept. A printed picture never needs more
// than a whole A4 page at 600 dpi (4961 x 7016, 34.8 million pixels); at the
// widest PNG format (16-bit RGBA) the decompressed data of such an image and
// its 24-bit output still fit a 32-bit address space several times over.
inline constexpr std::uint32_t kMaxPictureSide = 30000;
inline constexpr std::uint64_t kMaxPicturePixels = 36'000'000;
// The largest picture file read: twice an uncompressed 32-bit picture of
// the largest size, which any BMP or PNG of an accepted size stays within.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{300} << 20;

inline bool picture_size_allowed(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

// Leaves bytes uninitialised when a vector grows: a picture's rows are
// written whole right after they are made.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
    template <class U>
    void construct(U* p) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using PixelBuffer = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;

struct Picture {
    // kImageHeaderRecordSize bytes, zero beyond what the loader filled.
    std::vector<std::uint8_t> info = std::vector<std::uint8_t>(kImageHeaderRecordSize);
    // Rows bottom-up, each padded to a multiple of 4 bytes.
    PixelBuffer pixels;

    std::int32_t width() const { return field(4); }
    std::int32_t height() const { return field(8); }
    std::uint16_t bit_count() const { return static_cast<std::uint16_t>(info[14] | info[15] << 8); }
    std::int32_t x_pixels_per_metre() const { return field(24); }
    std::int32_t y_pixels_per_metre() const { return field(28); }

    std::int32_t field(std::size_t at) const {
        return static_cast<std::int32_t>(info[at] | info[at + 1] << 8 | info[at + 2] << 16 |
                                         static_cast<std::uint32_t>(info[at + 3]) << 24);
    }
    void set_field(std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) info[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
};

// Common messages of the loaders.
inline constexpr char kPictureOutOfMemory[] = "メモリが足りません。";
inline constexpr char kPictureTooLarge[] = "画像が大きすぎます（30000×30000 ドット、3600 万画素まで）。";

}  // namespace qz
