// A lock that keeps a second copy of the editor off a file: a named
// system object per full path, holding the window of the copy that took
// it. The system drops it with the last handle, so a copy that died holds
// nothing.
#pragma once

#include <windows.h>

#include <string>

#include "win/base/win_handle.h"

namespace qz {

class FileLock {
public:
    FileLock() = default;
    // Takes the lock of the file at `full_path` for `window`. When another
    // window holds it, the lock is not taken and other() is that window;
    // a lock `window` holds itself is taken again.
    static FileLock take(const std::string& full_path, HWND window);

    bool held() const { return static_cast<bool>(mapping_); }
    HWND other() const { return other_; }

private:
    unique_file mapping_;
    HWND other_ = nullptr;
};

// Brings another copy's window to the front (restored when minimised).
void bring_to_front(HWND window);

}  // namespace qz
