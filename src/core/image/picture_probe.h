// Whether the picture a reference names would show: found, a BMP or PNG
// file by its extension, and decodable.
#pragma once

#include <functional>
#include <string>

#include "core/document/file_check.h"

namespace qz {

enum class PictureState { ok, missing, not_a_picture, unreadable };

struct PictureProbeResult {
    PictureState state = PictureState::ok;
    std::string reason;  // why an unreadable picture was refused
    int width = 0, height = 0;  // of a picture that is ok
};

// Reads a whole file of at most kMaxPictureFileBytes into `bytes`.
using FileReader = std::function<ReadResult(const std::string& path, std::string& bytes)>;

// The state of the picture at `path` (resolved), its bytes read by `read`.
PictureProbeResult probe_picture(const std::string& path, const FileReader& read);

}  // namespace qz
