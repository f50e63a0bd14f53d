// Helpers shared by the unit tests and the fuzz targets.
#pragma once

#include <string>
#include <string_view>

namespace qz::test {

// Lone CR and lone LF become CR LF, as unescaping gives them back.
inline std::string normalize_breaks(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace qz::test
