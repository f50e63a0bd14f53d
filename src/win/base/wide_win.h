// Where the program's code page 932 texts meet Windows, which is spoken to
// in UTF-16 whatever code page the system runs other programs in. Lines,
// captions and messages are code page 932 bytes; file names are UTF-8.
// Every conversion goes through here (with the code page's own table, never
// through the system's code page).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace qz {

// Code page 932 bytes as UTF-16, and back; a character the code page cannot
// hold becomes "〓" and is added to *lost.
std::wstring wide(std::string_view cp932);
std::string narrow(std::wstring_view text, std::vector<char32_t>* lost = nullptr);

// A file name: UTF-8 as UTF-16, and back.
std::wstring wide_path(std::string_view utf8);
std::string utf8_path(std::wstring_view path);

// The text of a window or control as code page 932, and a text given to one.
std::string window_text(HWND window);
void set_window_text(HWND window, std::string_view cp932);
void set_item_text(HWND dialog, int id, std::string_view cp932);
std::string item_text(HWND dialog, int id);

}  // namespace qz
