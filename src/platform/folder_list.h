// The entries of one folder, as both programs list them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qz {

struct FolderEntry {
    std::string name;  // UTF-8, without the folder
    bool folder = false;
    std::uint64_t size = 0;  // of a file
};

// The entries of the folder at `path` (UTF-8), without "." and "..", in no
// particular order; nothing when the folder cannot be listed.
std::optional<std::vector<FolderEntry>> list_folder(const std::string& path);

}  // namespace qz
