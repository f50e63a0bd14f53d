#include "win/base/font_spec_win.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win/base/wide_win.h"

namespace qz {
namespace {

// The same font with its face name as UTF-16 (the face name's bytes are code
// page 932 whatever code page the system runs other programs in).
unique_font create_wide_font(const LOGFONTA& narrow_font) {
    LOGFONTW lf{};
    std::memcpy(&lf, &narrow_font, offsetof(LOGFONTA, lfFaceName));
    const std::wstring face = wide(std::string_view(narrow_font.lfFaceName, strnlen(narrow_font.lfFaceName, LF_FACESIZE)));
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return unique_font(CreateFontIndirectW(&lf));
}

}  // namespace

LOGFONTA font_spec_to_logfont(const FontSpec& font, int pixels_per_inch) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(usable_font_points(font.size), pixels_per_inch, 72);
    lf.lfWeight = font.style & FONT_BOLD ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.style & FONT_ITALIC ? 1 : 0;
    lf.lfUnderline = font.style & FONT_UNDERLINE ? 1 : 0;
    lf.lfStrikeOut = font.style & FONT_STRIKEOUT ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(font.charset & 0xFF);
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = 0x30;
    lstrcpynA(lf.lfFaceName, font.face.c_str(), LF_FACESIZE);
    return lf;
}

int screen_pixels_per_inch(HWND window) {
    window_dc dc(window);
    return dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
}

void logfont_to_font_spec(HWND window, const LOGFONTA& logfont, FontSpec& font) {
    font.size = -MulDiv(logfont.lfHeight, 72, screen_pixels_per_inch(window));
    font.charset = logfont.lfCharSet;
    font.face.assign(logfont.lfFaceName, strnlen(logfont.lfFaceName, kMaxFaceName));
}

unique_font create_font_from_spec(const FontSpec& font, int pixels_per_inch) {
    return create_wide_font(font_spec_to_logfont(font, pixels_per_inch));
}

unique_font create_font_from_spec(const FontSpec& font, HWND window) {
    return create_font_from_spec(font, screen_pixels_per_inch(window));
}

unique_font create_point_font(HWND window, int points, int weight, bool underline, BYTE charset,
                              const char* face) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(points, screen_pixels_per_inch(window), 72);
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfCharSet = charset;
    lf.lfPitchAndFamily = 0x30;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return create_wide_font(lf);
}

int font_pixel_height(HDC dc, HFONT font) {
    select_object selected(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return std::abs(static_cast<int>(tm.tmHeight));
}

}  // namespace qz
