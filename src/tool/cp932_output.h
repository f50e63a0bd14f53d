// Text output of qzotool. Data and messages are code page 932 bytes, paths
// UTF-8; on Linux they are shown as UTF-8, on Windows as UTF-8 too unless
// the console reads code page 932 (set_cp932_output), when they are
// written in code page 932.
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

// The output form of a (UTF-8) path: control bytes as "\xNN"; in code page
// 932 output a character it cannot hold becomes "〓".
std::string output_path(std::string_view utf8);

// Whether output is written in code page 932 (Windows only; false at
// first: UTF-8).
void set_cp932_output(bool cp932);

}  // namespace qz::tool
