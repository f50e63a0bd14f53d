// What the first bytes of a BMP or PNG file say: whether the decoders would
// take it as one, and the size of its picture, without decoding it.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/image/image_path.h"

namespace qz {

// How many bytes of a file the header check reads.
inline constexpr std::size_t kPictureHeaderBytes = 32;

struct PictureHeader {
    const char* error = nullptr;  // the decoder's message when it is refused, else null
    bool too_large = false;       // the size is beyond picture_size_allowed
    unsigned width = 0, height = 0;
};

// The header of a file of `kind` from its first bytes (at least
// kPictureHeaderBytes of them, or the whole file when it is shorter).
PictureHeader read_picture_header(std::string_view head, PictureKind kind);

}  // namespace qz
