// A lock that keeps a second copy of the editor off a file: one per full
// path, holding who took it. The system drops it with its holder, so a
// copy that died holds nothing.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace qz {

#ifdef _WIN32
// The window of the copy that holds the lock (a holder whose window is
// gone holds nothing).
using LockHolder = HWND;
#else
// Any token that is not 0 (the process id, say).
using LockHolder = std::uintptr_t;
#endif

class FileLock {
public:
    FileLock() = default;
    // Takes the lock of the file at `full_path` for `holder`. When another
    // holder has it, the lock is not taken and other() is that holder; a
    // lock `holder` has itself is taken again. When the system gives no
    // lock at all, nothing stops the caller: not held, and no other.
    static FileLock take(const std::string& full_path, LockHolder holder);

    bool held() const { return held_; }
    LockHolder other() const { return other_; }

private:
#ifdef _WIN32
    unique_file mapping_;
#else
    unique_fd file_;
#endif
    bool held_ = false;
    LockHolder other_{};
};

}  // namespace qz
