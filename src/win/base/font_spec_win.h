// Font records as Windows fonts.
#pragma once

#include <windows.h>

#include "core/syntax/font_spec.h"
#include "win/base/handles_win.h"

namespace qz {

// Height -MulDiv(size, dpi, 72), weight 700 when bold, proof quality,
// pitch and family 0x30.
LOGFONTW font_spec_to_logfont(const FontSpec& font, int pixels_per_inch);
// Size, charset and face name back from a LOGFONTW (after the font dialog;
// the face as code page 932, cut to kMaxFaceName bytes); style and colours
// stay as they were.
void logfont_to_font_spec(HWND window, const LOGFONTW& logfont, FontSpec& font);
// The dots per inch a window is shown at (its display scale).
int screen_pixels_per_inch(HWND window);
unique_font create_font_from_spec(const FontSpec& font, int pixels_per_inch);
unique_font create_font_from_spec(const FontSpec& font, HWND window);
unique_font create_point_font(HWND window, int points, int weight, bool underline, BYTE charset,
                              const char* face);
// |tmHeight| of the font in that DC.
int font_pixel_height(HDC dc, HFONT font);

}  // namespace qz
