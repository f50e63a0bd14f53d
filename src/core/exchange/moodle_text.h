// What the two Moodle formats (GIFT and Aiken) share: HTML texts as shown
// text, and the one notice about the choices a quiz draws itself.
#pragma once

#include <string>
#include <string_view>

#include "core/exchange/exchange.h"

namespace qz {

// What html_shown_text found in the pictures of a text.
struct HtmlPictures {
    int kept = 0;     // <img src="…"> written as a picture reference
    int dropped = 0;  // <img> without a source, left out
    // References to a file inside the question bank ("@@PLUGINFILE@@/x"):
    // the file is not in the exported text, the reference names it alone.
    int bank_files = 0;
};

// An HTML text (UTF-8) as shown text: <br> and the end of a paragraph,
// a division or a list item a line break, <img src="path"> the picture
// reference \i"path" (a question bank's "@@PLUGINFILE@@/" taken off and
// its %XX undone), other tags dropped, character references undone,
// &nbsp; and U+00A0 a space; blanks at both ends taken off.
std::string html_shown_text(std::string_view html, HtmlPictures* pictures = nullptr);

// U+00A0 (a no-break space, which code page 932 does not have) as a space.
std::string no_break_spaces_as_spaces(std::string text);

// After reading multiple-choice questions: one notice (row 0) that the
// file's wrong choices are not kept, since the quiz draws them from the
// other answers under the same title, with how many titles do not yet
// hold as many different answers as their choice count. Nothing when no
// card stands under a title of two choices or more.
void tell_drawn_choices(ImportResult& result);

// Titles (runs of cards, title_runs) of two choices or more whose
// different answers are fewer than their choice count.
int titles_short_of_choices(const std::vector<ExchangeCard>& cards);

}  // namespace qz
