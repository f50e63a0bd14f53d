#include "platform/folder_list.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace qz {

std::optional<std::vector<FolderEntry>> list_folder(const std::string& path) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(path.empty() ? "." : path.c_str()), closedir);
    if (!dir) return std::nullopt;
    std::vector<FolderEntry> entries;
    const std::string prefix = path.empty() || path.back() == '/' ? path : path + '/';
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat facts{};
        if (stat((prefix + name).c_str(), &facts) != 0) continue;  // gone, or a broken link
        FolderEntry e;
        e.name = name;
        e.folder = S_ISDIR(facts.st_mode);
        if (!e.folder) e.size = static_cast<std::uint64_t>(facts.st_size);
        entries.push_back(std::move(e));
    }
    return entries;
}

}  // namespace qz
