// The description of one font, shared by settings lines, preferences, panes
// and printing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

namespace qz {

enum FontStyle : std::uint8_t {
    FONT_BOLD = 0x01,
    FONT_ITALIC = 0x02,
    FONT_UNDERLINE = 0x04,
    FONT_STRIKEOUT = 0x08,
};

struct FontSpec {
    int size = 0;               // points; negative sizes are passed on unchanged
    std::uint8_t style = 0;     // FontStyle bits
    unsigned charset = 128;     // Windows charset; only the low byte reaches a font
    std::string face;           // at most 31 bytes
    std::uint32_t text_color = 0;        // 0x00BBGGRR
    std::uint32_t back_color = 0xFFFFFF; // 0x00BBGGRR

    bool operator==(const FontSpec&) const = default;
};

inline constexpr std::size_t kMaxFaceName = 31;

// The size in points a font is made with: a data file may ask for any size,
// but text far too small or too large to read (and to hold in memory) helps
// nobody. 0 leaves the size to the system; other sizes keep their sign.
inline constexpr int kMinFontPoints = 4;
inline constexpr int kMaxFontPoints = 144;
constexpr int usable_font_points(int size) {
    if (size == 0) return 0;
    if (size < 0) return std::clamp(size, -kMaxFontPoints, -kMinFontPoints);
    return std::clamp(size, kMinFontPoints, kMaxFontPoints);
}

}  // namespace qz
