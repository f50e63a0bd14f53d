// File names as the platform layer's callers give them (UTF-8) and as the
// system takes them (UTF-16), whatever code page the system runs other
// programs in.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/exchange/wide_text.h"

namespace qz {

// One conversion for both sides of the program: the core's.
inline std::wstring path_to_wide(std::string_view utf8) {
    const std::u16string units = utf8_to_utf16(utf8);
    return std::wstring(units.begin(), units.end());
}

inline std::string path_to_utf8(std::wstring_view wide) {
    return utf16_to_utf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace qz
