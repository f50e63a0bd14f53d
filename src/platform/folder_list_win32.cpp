#include "platform/folder_list.h"

#include <windows.h>

#include "platform/wide_path_win32.h"

namespace qz {
namespace {

struct FindOwner {
    HANDLE handle;
    ~FindOwner() {
        if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
    }
};

}  // namespace

std::optional<std::vector<FolderEntry>> list_folder(const std::string& path) {
    std::wstring pattern = path_to_wide(path);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const FindOwner find{FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                          nullptr, FIND_FIRST_EX_LARGE_FETCH)};
    if (find.handle == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<FolderEntry>{};  // empty
        return std::nullopt;
    }
    std::vector<FolderEntry> entries;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry e;
        e.name = path_to_utf8(name);
        e.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!e.folder)
            e.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        entries.push_back(std::move(e));
    } while (FindNextFileW(find.handle, &found));
    return entries;
}

}  // namespace qz
