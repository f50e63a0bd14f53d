#include "core/prefs/customize.h"

#include <gtest/gtest.h>

#include "core/prefs/settings_file.h"

namespace qz {
namespace {

TEST(Customize, ChoicesReachTheirPreferencesAndOnlyBitZeroOfUseDataSettings) {
    Preferences prefs;
    fill_default_preferences(prefs);
    prefs.UseDataSettings = 0x03;
    FontChoices choices = font_choices(prefs);
    EXPECT_TRUE(choices.use_data_settings);
    for (int i = 0; i < kCustomFontCount; ++i)
        choices.fonts[i].size = 30 + i;
    choices.use_data_settings = false;
    store_font_choices(choices, prefs);
    const FontSpec* stored[] = {&prefs.Title,   &prefs.Question, &prefs.hint_font,  &prefs.Answer,
                                &prefs.Comment, &prefs.NumTitle, &prefs.NumQuestion};
    for (int i = 0; i < kCustomFontCount; ++i)
        EXPECT_EQ(stored[i]->size, 30 + i) << i;
    EXPECT_EQ(prefs.UseDataSettings, 0x02);
    // No entry chosen (-1) leaves the input-method preference alone.
    prefs.IMEComment = IME_OPEN;
    store_ime_choices({IME_OPEN, IME_CLOSE, IME_LEAVE, -1}, prefs);
    EXPECT_EQ(ime_choices(prefs), (ImeChoices{IME_OPEN, IME_CLOSE, IME_LEAVE, IME_OPEN}));
}

TEST(Customize, HintFontIsNotSaved) {
    Preferences defaults, prefs;
    fill_default_preferences(defaults);
    fill_default_preferences(prefs);
    PrintSettings print;
    FontChoices choices = font_choices(prefs);
    choices.fonts[2].size = 40;
    store_font_choices(choices, prefs);
    EXPECT_EQ(prefs.hint_font.size, 40);
    EXPECT_EQ(write_settings_text(prefs, print), write_settings_text(defaults, print));
    choices.fonts[0].size = 40;
    store_font_choices(choices, prefs);
    EXPECT_NE(write_settings_text(prefs, print), write_settings_text(defaults, print));
}

}  // namespace
}  // namespace qz
