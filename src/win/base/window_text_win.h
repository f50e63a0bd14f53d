// The text of a window or control as code page 932 bytes.
#pragma once

#include <windows.h>

#include <string>

namespace qz {

inline std::string window_text(HWND window) {
    if (!window) return {};
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return text;
}

}  // namespace qz
