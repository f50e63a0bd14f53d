// The entries of one folder, as both programs list them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/exchange/media_check.h"

namespace qz {

struct FolderEntry {
    std::string name;  // UTF-8, without the folder
    bool folder = false;
    std::uint64_t size = 0;  // of a file
};

// The entries of the folder at `path` (UTF-8), without "." and "..", in no
// particular order; nothing when the folder cannot be listed.
std::optional<std::vector<FolderEntry>> list_folder(const std::string& path);

// The files of that folder, its folders left out, as the picture check
// takes them.
inline std::optional<std::vector<MediaFile>> list_media_files(const std::string& path) {
    const std::optional<std::vector<FolderEntry>> entries = list_folder(path);
    if (!entries) return std::nullopt;
    std::vector<MediaFile> files;
    files.reserve(entries->size());
    for (const FolderEntry& entry : *entries)
        if (!entry.folder) files.push_back({entry.name, entry.size});
    return files;
}

}  // namespace qz
