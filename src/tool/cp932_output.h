// Text output of qzotool. Data and messages are code page 932 bytes; on
// Linux they are shown as UTF-8, on Windows they are written unchanged.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace qz::tool {

// The output form of code page 932 text. On Linux each character is
// converted to UTF-8; a character that has no UTF-8 form is written as
// "\xNN" per byte (two upper-case hex digits). On both platforms control
// bytes (0x00-0x1F, 0x7F) are written as "\xNN" too, so that a text can
// stand in a tab-separated row of one line.
std::string output_text(std::string_view cp932);

}  // namespace qz::tool
