#include "core/exchange/picture_path.h"

#include <vector>

#include "core/exchange/text_encoding.h"
#include "core/image/image_path.h"

namespace qz {

std::string picture_path(std::string_view base, std::string_view reference) {
    return resolve_image_path(base, cp932_to_utf8(reference));
}

std::optional<std::string> reference_path(std::string_view utf8) {
    std::vector<std::string> lost;
    std::string cp932 = utf8_to_cp932(utf8, &lost);
    // The reference must name the same file again when it is resolved.
    if (!lost.empty() || cp932_to_utf8(cp932) != utf8) return std::nullopt;
    return cp932;
}

}  // namespace qz
