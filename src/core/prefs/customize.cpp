#include "core/prefs/customize.h"

namespace qz {
namespace {

constexpr std::uint8_t Preferences::*kImeFields[kImeFieldCount] = {
    &Preferences::IMETitle, &Preferences::IMEQuestion, &Preferences::IMEAnswer,
    &Preferences::IMEComment};

constexpr FontSpec Preferences::*kFontFields[kCustomFontCount] = {
    &Preferences::Title,   &Preferences::Question, &Preferences::hint_font,  &Preferences::Answer,
    &Preferences::Comment, &Preferences::NumTitle, &Preferences::NumQuestion};

}  // namespace

const char* const kCustomFontNames[kCustomFontCount] = {
    "タイトル", "問題", "ヒント", "答え", "コメント", "タイトル番号", "問題番号"};

ImeChoices ime_choices(const Preferences& prefs) {
    ImeChoices choices;
    for (int i = 0; i < kImeFieldCount; ++i)
        choices[i] = prefs.*kImeFields[i];
    return choices;
}

void store_ime_choices(const ImeChoices& choices, Preferences& prefs) {
    for (int i = 0; i < kImeFieldCount; ++i)
        if (choices[i] >= IME_LEAVE && choices[i] <= IME_CLOSE)
            prefs.*kImeFields[i] = static_cast<std::uint8_t>(choices[i]);
}

FontChoices font_choices(const Preferences& prefs) {
    FontChoices choices;
    for (int i = 0; i < kCustomFontCount; ++i)
        choices.fonts[i] = prefs.*kFontFields[i];
    choices.use_data_settings = prefs.UseDataSettings & 1;
    return choices;
}

void store_font_choices(const FontChoices& choices, Preferences& prefs) {
    for (int i = 0; i < kCustomFontCount; ++i)
        prefs.*kFontFields[i] = choices.fonts[i];
    prefs.UseDataSettings = static_cast<std::uint8_t>((prefs.UseDataSettings & ~1u) |
                                                      (choices.use_data_settings ? 1u : 0u));
}

}  // namespace qz
