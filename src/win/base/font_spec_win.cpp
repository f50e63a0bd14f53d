#include "win/base/font_spec_win.h"

#include <cstdlib>
#include <cwchar>
#include <string>
#include <string_view>

#include "core/syntax/scan.h"
#include "win/base/dpi_win.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

// A code page 932 face name as the UTF-16 face of a LOGFONTW.
void set_face(LOGFONTW& lf, std::string_view face) {
    const std::wstring text = wide(face);
    text.copy(lf.lfFaceName, LF_FACESIZE - 1);
}

}  // namespace

LOGFONTW font_spec_to_logfont(const FontSpec& font, int pixels_per_inch) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(usable_font_points(font.size), pixels_per_inch, 72);
    lf.lfWeight = font.style & FONT_BOLD ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.style & FONT_ITALIC ? 1 : 0;
    lf.lfUnderline = font.style & FONT_UNDERLINE ? 1 : 0;
    lf.lfStrikeOut = font.style & FONT_STRIKEOUT ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(font.charset & 0xFF);
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = 0x30;
    set_face(lf, font.face);
    return lf;
}

int screen_pixels_per_inch(HWND window) { return window_dpi(window); }

void logfont_to_font_spec(HWND window, const LOGFONTW& logfont, FontSpec& font) {
    font.size = -MulDiv(logfont.lfHeight, 72, screen_pixels_per_inch(window));
    font.charset = logfont.lfCharSet;
    // As code page 932 bytes, at most as many as a face name keeps, never
    // half a double-byte character.
    const std::string face = narrow(std::wstring_view(logfont.lfFaceName, wcsnlen(logfont.lfFaceName, LF_FACESIZE)));
    std::size_t end = 0;
    while (end < face.size()) {
        const std::size_t next = end + (is_double_byte_char(face.c_str() + end) ? 2 : 1);
        if (next > kMaxFaceName) break;
        end = next;
    }
    font.face.assign(face, 0, end);
}

unique_font create_font_from_spec(const FontSpec& font, int pixels_per_inch) {
    const LOGFONTW lf = font_spec_to_logfont(font, pixels_per_inch);
    return unique_font(CreateFontIndirectW(&lf));
}

unique_font create_font_from_spec(const FontSpec& font, HWND window) {
    return create_font_from_spec(font, screen_pixels_per_inch(window));
}

unique_font create_point_font(HWND window, int points, int weight, bool underline, BYTE charset,
                              const char* face) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(points, screen_pixels_per_inch(window), 72);
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfCharSet = charset;
    lf.lfPitchAndFamily = 0x30;
    set_face(lf, face);
    return unique_font(CreateFontIndirectW(&lf));
}

int font_pixel_height(HDC dc, HFONT font) {
    select_object selected(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return std::abs(static_cast<int>(tm.tmHeight));
}

}  // namespace qz
