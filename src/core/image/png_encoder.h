// PNG files written from pictures, with zlib for the compression.
#pragma once

#include <optional>
#include <string>

#include "core/image/picture.h"

namespace qz {

// A picture as a PNG file: 8-bit RGB, no interlace, each row filtered
// with "Sub" (which suits drawings and photographs alike), the resolution
// in pHYs. Takes 24-bit pictures (what both loaders give for a PNG) and
// uncompressed 1-, 4- and 8-bit pictures with a colour table; nothing for
// any other.
std::optional<std::string> encode_png(const Picture& picture);

}  // namespace qz
