// Media check: the picture references of a document against the files of
// the folders they name. It finds references to files that are missing,
// that resolve only by a different letter case or to a name code page 932
// cannot hold; the picture files of the data file's folder (and of the
// folders under it that references name) that no line uses; and files that
// are no readable pictures or larger than a picture may be.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/card_document.h"

namespace qz {

enum class MediaKind {
    missing,        // no file of the name
    case_differs,   // only a file whose name differs in letter case
    name_not_held,  // only a file whose name code page 932 cannot hold
    unused,         // a picture file no line uses
    not_picture,    // not a BMP or PNG file the program can read
    too_large,      // larger than a picture may be
};

const char* media_kind_label(MediaKind kind);

struct MediaFinding {
    MediaKind kind = MediaKind::missing;
    std::string reference;  // as written (code page 932); empty for an unused file
    std::string path;       // the file (UTF-8); for a missing one, where it was looked for
    std::string detail;     // code page 932, for the user
    std::vector<int> lines;  // indexes of the lines that use it, ascending
};

// A file of a listed folder (folders are left out).
struct MediaFile {
    std::string name;  // UTF-8
    std::uint64_t size = 0;
};

// The files of a folder (UTF-8 path ending in a separator); nothing when it
// cannot be listed.
using MediaLister = std::function<std::optional<std::vector<MediaFile>>(const std::string& folder)>;
// The first kPictureHeaderBytes (or more) of a file; nothing when it cannot
// be read.
using MediaHeadReader = std::function<std::optional<std::string>(const std::string& path)>;

// The findings for `doc` saved as `data_file` (UTF-8, full path): for each
// reference target and each file at most one, ordered by kind and then by
// first line (unused files by name).
std::vector<MediaFinding> check_media(const CardDocument& doc, std::string_view data_file,
                                      const MediaLister& list, const MediaHeadReader& read_head);

}  // namespace qz
