#include "core/exchange/stored_path.h"

#include <vector>

#include "core/exchange/text_encoding.h"

namespace qz {

std::string stored_path(std::string_view utf8) {
    std::vector<std::string> lost;
    std::string cp932 = utf8_to_cp932(utf8, &lost);
    // A path is kept in code page 932 only when it reads back as the same
    // characters (the JIS forms utf8_to_cp932 folds together do not).
    std::size_t bad = 0;
    if (lost.empty() && cp932_to_utf8(cp932, &bad) == utf8 && bad == 0) return cp932;
    return kUtf8PathPrefix + std::string(utf8);
}

std::string path_from_stored(std::string_view stored) {
    const std::string_view prefix = kUtf8PathPrefix;
    if (stored.substr(0, prefix.size()) == prefix) return std::string(stored.substr(prefix.size()));
    return cp932_to_utf8(stored);
}

}  // namespace qz
