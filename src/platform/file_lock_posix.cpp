#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "core/document/recovery.h"

namespace qz {

// A lock file per full path in the temporary folder, locked with flock()
// for as long as its holder keeps it open, holding the holder's token.
FileLock FileLock::take(const std::string& full_path, LockHolder holder) {
    FileLock lock;
    const char* tmp = std::getenv("TMPDIR");
    const std::string path =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/" + file_lock_name(full_path) + ".lock";
    unique_fd file(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!file) return lock;  // no lock to be had: nothing stops the caller
    LockHolder other = 0;
    if (flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        if (pread(file.get(), &other, sizeof other, 0) != static_cast<ssize_t>(sizeof other)) other = 0;
        // Held by this holder already: taken again.
        if (other != holder) {
            lock.other_ = other;
            return lock;
        }
    } else if (pwrite(file.get(), &holder, sizeof holder, 0) != static_cast<ssize_t>(sizeof holder)) {
        return lock;
    }
    lock.file_ = std::move(file);
    lock.held_ = true;
    return lock;
}

}  // namespace qz
