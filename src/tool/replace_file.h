// Writing a whole file so that a failure leaves the old one as it was.
#pragma once

#include <string>
#include <string_view>

namespace qz::tool {

// Writes `bytes` to a new file in the folder of `path` and renames it over
// `path`. On failure `path` is untouched and the new file is removed.
bool replace_file(const std::string& path, std::string_view bytes);

}  // namespace qz::tool
