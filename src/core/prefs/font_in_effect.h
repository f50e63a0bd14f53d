// The fonts in effect at a line: the preference defaults, overridden by the
// document's font lines.
#pragma once

#include "core/document/card_document.h"
#include "core/prefs/preferences.h"
#include "core/syntax/font_spec.h"

namespace qz {

// The font in effect at `line` for a font kind (0x3001-0x3006): the
// preference default, overridden by the nearest font line of that kind at or
// before `line`. False (and `out` untouched) for any other kind.
bool font_spec_in_effect(const CardDocument& doc, const DataLine* line, int font_kind,
                         const Preferences& prefs, FontSpec& out);

// The preference default that `font_spec_in_effect` starts from.
const FontSpec& default_font_spec(const Preferences& prefs, int font_kind);

}  // namespace qz
