#include "core/prefs/preferences.h"

namespace qz {

const char* const kDefaultFaceName = "ＭＳ Ｐゴシック";

namespace {
FontSpec default_font(int size, std::uint32_t text_color, std::uint32_t back_color) {
    FontSpec font;
    font.size = size;
    font.style = 0;
    font.charset = 128;
    font.face = kDefaultFaceName;
    font.text_color = text_color;
    font.back_color = back_color;
    return font;
}
}  // namespace

void fill_default_preferences(Preferences& prefs) {
    prefs = Preferences{};
    constexpr std::uint32_t black = 0, white = 0xFFFFFF;
    prefs.pane_control_font = default_font(10, black, white);
    prefs.Title = default_font(12, black, white);
    prefs.Question = default_font(20, black, 0xFFFF80);
    prefs.hint_font = default_font(14, black, white);
    prefs.Answer = default_font(20, 0xFF0000, 0xCCFFFF);
    prefs.Comment = default_font(11, black, white);
    prefs.NumTitle = default_font(10, black, white);
    prefs.NumQuestion = default_font(10, black, white);
}

}  // namespace qz
