// Picture references in question and answer text: \i"path".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

enum class PictureKind { NONE, BMP, PNG };

// By the extension of the last path component, without regard to case:
// ".BMP", ".PNG", anything else none.
PictureKind picture_kind(std::string_view path);

// The full path of a reference. `base` is the data file's full path, or a
// folder ending in a separator for a document never saved. An absolute
// reference (drive letter and colon, or \\server) stands as it is; a rooted
// one (\ or /) goes on the drive of the base; any other is relative to the
// base's folder. Paths are UTF-8: a reference as a line holds it (code page
// 932) is converted first (picture_path in core/exchange/picture_path.h).
std::string resolve_image_path(std::string_view base, std::string_view reference);

// The path of `picture` relative to the folder of `data_file`, without a
// leading ".\"; nothing when the two lie on different drives. Components are
// compared without regard to ASCII case. UTF-8, like both paths.
std::optional<std::string> relative_image_path(std::string_view data_file, std::string_view picture);

// "\i" and the path in double quotes.
std::string image_reference(std::string_view path);

// A reference found in a line of text: where it starts (the backslash) and
// the path as written.
struct ImageReference {
    std::size_t position;
    std::string path;
};

// Every reference of a text, stepping over double-byte characters and over
// escaped backslashes ("\\"). A reference whose closing quote is missing
// runs to the end of the text.
std::vector<ImageReference> find_image_references(std::string_view text);

}  // namespace qz
