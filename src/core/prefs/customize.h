// What the customize sheet edits: the input-method modes of four kinds of
// field and the default fonts of seven kinds of text, as working copies
// taken from the preferences and stored back on OK or Apply.
#pragma once

#include <array>
#include <cstdint>

#include "core/prefs/preferences.h"

namespace qz {

// Title, question, answer, comment.
inline constexpr int kImeFieldCount = 4;
using ImeChoices = std::array<int, kImeFieldCount>;

ImeChoices ime_choices(const Preferences& prefs);
// A choice outside 0-2 (no entry selected) leaves its preference alone.
void store_ime_choices(const ImeChoices& choices, Preferences& prefs);

// Title, question, hint, answer, comment, title number, question number.
inline constexpr int kCustomFontCount = 7;
extern const char* const kCustomFontNames[kCustomFontCount];

struct FontChoices {
    std::array<FontSpec, kCustomFontCount> fonts;
    bool use_data_settings = true;
};

FontChoices font_choices(const Preferences& prefs);
// Sets or clears bit 0x01 of UseDataSettings; its other bits stay.
void store_font_choices(const FontChoices& choices, Preferences& prefs);

}  // namespace qz
