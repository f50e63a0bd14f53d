#include "platform/file_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/handles.h"

namespace qz {
namespace {

// Temporary files are named ".qzotool-PID-SUFFIX" after the process that
// writes them, so that a later write can tell a dead writer's leftover
// from a file another writer is still finishing.
constexpr char kTempPrefix[] = ".qzotool-";

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The process that wrote a temporary file of that name; 0 for another name.
pid_t writer_of(std::string_view name) {
    const std::string_view prefix = kTempPrefix;
    if (name.substr(0, prefix.size()) != prefix) return 0;
    name.remove_prefix(prefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size()) return 0;
    long pid = 0;
    for (char c : name.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > INT_MAX / 10) return 0;
        pid = pid * 10 + (c - '0');
    }
    return static_cast<pid_t>(pid);
}

// Removes the temporary files in `folder` whose writers no longer run
// (killed between naming the finished file and renaming it).
void remove_leftovers(const std::string& folder) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return;
    std::vector<std::string> leftovers;
    while (const dirent* entry = readdir(dir.get())) {
        const pid_t pid = writer_of(entry->d_name);
        if (pid > 0 && pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH)
            leftovers.push_back(folder + "/" + entry->d_name);
    }
    for (const std::string& path : leftovers) unlink(path.c_str());
}

// The mode the file gets: the old file's, else what creating it would give.
mode_t new_file_mode(const std::string& path) {
    struct stat old {};
    if (stat(path.c_str(), &old) == 0) return old.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The file a link names in the end; `path` itself when it names none.
std::string final_path(const std::string& path) {
    std::string target = path;
    char buffer[PATH_MAX];
    for (int hops = 0; hops < 40; ++hops) {
        const ssize_t n = readlink(target.c_str(), buffer, sizeof buffer);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) break;
        std::string next(buffer, static_cast<std::size_t>(n));
        target = next[0] == '/' ? next : folder_of(target) + "/" + next;
    }
    return target;
}

SystemError error_or(int fallback) { return static_cast<SystemError>(errno ? errno : fallback); }

// Bytes written or copied at a time; each step's bytes are then sent on
// to the disk, so that the flush at the end waits for little more than the
// last of them.
constexpr std::size_t kStep = std::size_t{4} << 20;

// Where a file being written stands: its size, and how much of it has
// been sent on to the disk.
struct Written {
    int fd;
    std::uint64_t size = 0, sent = 0;

    void add(std::uint64_t bytes) {
        size += bytes;
#ifdef __linux__
        if (size - sent >= kStep) {
            // Only a start: fsync still waits for it all.
            sync_file_range(fd, static_cast<off_t>(sent), static_cast<off_t>(size - sent),
                            SYNC_FILE_RANGE_WRITE);
            sent = size;
        }
#endif
    }
};

bool write_bytes(Written& out, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = write(out.fd, bytes.data(), std::min(bytes.size(), kStep));
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
        out.add(static_cast<std::uint64_t>(done));
    }
    return true;
}

// Copies `length` bytes at `offset` of `from` to the end of the file: by
// the kernel, from page cache to page cache, where the file systems let
// it; else through a buffer.
bool copy_bytes(int from, std::uint64_t offset, std::uint64_t length, Written& out) {
    bool in_kernel = true;
    std::vector<char> buffer;
    while (length > 0) {
        ssize_t done = -1;
        if (in_kernel) {
#ifdef __linux__
            auto at = static_cast<off_t>(offset);
            done = copy_file_range(from, &at, out.fd, nullptr, std::min<std::uint64_t>(length, kStep), 0);
#else
            errno = ENOSYS;
#endif
            if (done < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                             errno == EOPNOTSUPP || errno == EBADF)) {
                in_kernel = false;
                continue;
            }
            if (done > 0) out.add(static_cast<std::uint64_t>(done));
        } else {
            if (buffer.empty()) buffer.resize(1 << 16);
            done = pread(from, buffer.data(), std::min<std::uint64_t>(length, buffer.size()),
                         static_cast<off_t>(offset));
            if (done > 0 && !write_bytes(out, std::string_view(buffer.data(), static_cast<std::size_t>(done))))
                return false;
        }
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (done == 0) {  // the file is shorter than it was
            errno = EIO;
            return false;
        }
        offset += static_cast<std::uint64_t>(done);
        length -= static_cast<std::uint64_t>(done);
    }
    return true;
}

// Writes the parts and flushes them to the disk.
bool write_whole(int fd, const std::vector<FilePart>& parts) {
    Written out{fd};
    for (const FilePart& part : parts)
        if (part.from ? !copy_bytes(fileno(part.from), part.offset, part.length, out)
                      : !write_bytes(out, part.bytes))
            return false;
    return fsync(fd) == 0;
}

std::string temp_name(const std::string& folder, const std::string& suffix) {
    return folder + "/" + kTempPrefix + std::to_string(getpid()) + "-" + suffix;
}

// Writes the parts into a file with no name in `folder` (O_TMPFILE), which
// the system removes if the writer dies, and names it `temp` only once it
// is complete. 0, or the error; `no_tmpfile` tells whether the file system
// lacks such files.
SystemError write_unnamed(const std::string& folder, std::string& temp, mode_t mode,
                          const std::vector<FilePart>& parts, bool& no_tmpfile) {
#ifdef O_TMPFILE
    unique_fd fd(open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (!fd) {
        no_tmpfile = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == ENOENT;
        return error_or(EIO);
    }
    if (fchmod(fd.get(), mode) != 0 || !write_whole(fd.get(), parts)) return error_or(EIO);
    // linkat with AT_EMPTY_PATH needs a privilege; the /proc link does not.
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    for (int i = 0; i < 16; ++i) {
        temp = temp_name(folder, std::to_string(std::rand()));
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
        if (errno != EEXIST) break;
    }
    if (errno == ENOENT) no_tmpfile = true;  // no /proc
    return error_or(EIO);
#else
    (void)folder, (void)temp, (void)mode, (void)parts;
    no_tmpfile = true;
    return EOPNOTSUPP;
#endif
}

}  // namespace

SystemError replace_file_contents(const std::string& path, std::string_view bytes, bool over_read_only) {
    return replace_file_contents(path, std::vector<FilePart>{FilePart{bytes}}, over_read_only);
}

SystemError replace_file_contents(const std::string& path, const std::vector<FilePart>& parts, bool) {
    const std::string target = final_path(path);
    const std::string folder = folder_of(target);
    remove_leftovers(folder);
    const mode_t mode = new_file_mode(target);
    std::string temp;
    bool no_tmpfile = false;
    if (SystemError error = write_unnamed(folder, temp, mode, parts, no_tmpfile)) {
        if (!no_tmpfile) return error;
        // A named temporary file, left behind only if the writer is killed
        // (and removed by the next write in the folder).
        temp = temp_name(folder, "XXXXXX");
        unique_fd fd(mkstemp(temp.data()));
        if (!fd) return error_or(EIO);
        const bool written = fchmod(fd.get(), mode) == 0 && write_whole(fd.get(), parts);
        error = written ? 0 : error_or(EIO);
        if (close(fd.release()) != 0 && !error) error = error_or(EIO);
        if (error) {
            unlink(temp.c_str());
            return error;
        }
    }
    if (std::rename(temp.c_str(), target.c_str()) == 0) return 0;
    const SystemError error = error_or(EIO);
    unlink(temp.c_str());
    return error;
}

std::string full_path(const std::string& path) {
    if (char* resolved = realpath(path.c_str(), nullptr)) {
        std::string full = resolved;
        std::free(resolved);
        return full;
    }
    // A file that is not there yet: its folder resolved, its name kept.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char* resolved = realpath(folder.c_str(), nullptr);
    if (!resolved) return path;
    std::string full = resolved;
    std::free(resolved);
    return (full == "/" ? full : full + "/") + name;
}

}  // namespace qz
