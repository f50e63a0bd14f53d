#include "platform/file_lock.h"

#include <cstring>

#include "core/document/recovery.h"
#include "platform/wide_path_win32.h"

namespace qz {

// A named mapping per full path, holding the holder's window.
FileLock FileLock::take(const std::string& full_path, LockHolder window) {
    FileLock lock;
    const std::string name = file_lock_name(full_path);
    unique_file mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           sizeof(std::uint64_t), path_to_wide(name).c_str()));
    if (!mapping) return lock;  // no lock to be had: nothing stops the open
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    void* view = MapViewOfFile(mapping.get(), FILE_MAP_WRITE | FILE_MAP_READ, 0, 0,
                               sizeof(std::uint64_t));
    if (!view) return lock;
    std::uint64_t holder = 0;
    if (existed) std::memcpy(&holder, view, sizeof holder);
    HWND other = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(holder));
    // A holder whose window is gone (a copy closing down) holds nothing.
    if (existed && other != window && IsWindow(other)) {
        lock.other_ = other;
    } else {
        holder = reinterpret_cast<std::uintptr_t>(window);
        std::memcpy(view, &holder, sizeof holder);
        lock.mapping_ = std::move(mapping);
        lock.held_ = true;
    }
    UnmapViewOfFile(view);
    return lock;
}

}  // namespace qz
