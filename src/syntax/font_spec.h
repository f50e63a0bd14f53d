// The description of one font, shared by settings lines, preferences, panes
// and printing.
#pragma once

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

}  // namespace qz
