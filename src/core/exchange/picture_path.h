// Picture references between the two encodings: a line holds a reference
// in code page 932, the system's paths are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qz {

// The full (UTF-8) path of a reference as a line holds it, against `base`
// as resolve_image_path takes it (UTF-8).
std::string picture_path(std::string_view base, std::string_view reference);

// A UTF-8 picture path as a line can hold it; nothing when code page 932
// cannot hold one of its characters (kPictureNameNotHeld says so).
std::optional<std::string> reference_path(std::string_view utf8);

inline constexpr char kPictureNameNotHeld[] =
    "この画像のファイル名には、データファイルに書けない文字（シフト JIS にない文字）があります。";

}  // namespace qz
