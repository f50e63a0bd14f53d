// The kinds a line of a data file can have.
#pragma once

namespace qz {

// Line kinds. Bit 0x1000 marks a settings line, bits 0x3000 a font line.
enum LineKind : int {
    LINE_UNKNOWN = 0,
    LINE_TITLE = 1,
    LINE_TEXT = 2,  // question, comment or blank line
    LINE_SETTINGS = 0x1000,
    LINE_TIME_LIMIT = 0x1001,
    LINE_GROUP = 0x1002,
    LINE_MESSAGE = 0x1003,
    LINE_FONT = 0x3000,
    LINE_FONT_TITLE = 0x3001,
    LINE_FONT_QUESTION = 0x3002,
    LINE_FONT_HINT = 0x3003,
    LINE_FONT_ANSWER = 0x3004,
    LINE_FONT_GROUP = 0x3005,
    LINE_FONT_COMMENT = 0x3006,
};

constexpr bool is_settings_kind(int kind) { return (kind & LINE_SETTINGS) != 0; }
constexpr bool is_font_kind(int kind) { return (kind & LINE_FONT) == LINE_FONT; }

}  // namespace qz
