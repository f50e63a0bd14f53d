#include "tool/replace_file.h"

#ifdef _WIN32
#include <windows.h>

#include <memory>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#endif

namespace qz::tool {

#ifdef _WIN32

namespace {

struct HandleCloser {
    using pointer = HANDLE;
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// The folder part of a path ("." for a bare file name); a root keeps its
// separator.
std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    const bool root = slash == 0 || path[slash - 1] == ':';
    return path.substr(0, root ? slash + 1 : slash);
}

// Marks an open file to be deleted when its last handle closes (also when
// the writer is killed), or takes the mark back.
bool set_delete_on_close(HANDLE file, bool on) {
    FILE_DISPOSITION_INFO info{static_cast<BOOLEAN>(on)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info);
}

bool write_whole(HANDLE file, std::string_view bytes) {
    DWORD done = 0;
    return (bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                        &done, nullptr) &&
                              done == bytes.size())) &&
           FlushFileBuffers(file);
}

}  // namespace

bool replace_file(const std::string& path, std::string_view bytes) {
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder_of(path).c_str(), "qzo", 0, temp)) return false;
    std::unique_ptr<HANDLE, HandleCloser> file(CreateFileA(
        temp, GENERIC_WRITE | DELETE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        DeleteFileA(temp);
        return false;
    }
    // Until the rename the file goes with its last handle, so a killed
    // writer leaves nothing; a file system without the mark falls back to
    // deleting it by name on failure.
    const bool marked = set_delete_on_close(file.get(), true);
    bool written = write_whole(file.get(), bytes) && (!marked || set_delete_on_close(file.get(), false));
    file.reset();
    if (written && MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temp);
    return false;
}

#else

namespace {

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The mode the file gets: the old file's, else what creating it would give.
mode_t new_file_mode(const std::string& path) {
    struct stat old {};
    if (stat(path.c_str(), &old) == 0) return old.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool write_whole(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = write(fd, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return fsync(fd) == 0;
}

// Writes `bytes` into a file with no name in `folder` (O_TMPFILE), which
// the system removes if the writer dies, and names it `temp` only once it
// is complete. False with nothing left behind when it cannot; `no_tmpfile`
// tells whether the file system lacks such files.
bool write_unnamed(const std::string& folder, std::string& temp, mode_t mode,
                   std::string_view bytes, bool& no_tmpfile) {
#ifdef O_TMPFILE
    const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) {
        no_tmpfile = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == ENOENT;
        return false;
    }
    bool written = fchmod(fd, mode) == 0 && write_whole(fd, bytes);
    if (written) {
        // linkat with AT_EMPTY_PATH needs a privilege; the /proc link does not.
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        written = false;
        for (int i = 0; i < 16 && !written; ++i) {
            temp = folder + "/.qzotool-" + std::to_string(getpid()) + "-" +
                   std::to_string(std::rand());
            written = linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0;
            if (!written && errno != EEXIST) break;
        }
        if (!written && errno == ENOENT) no_tmpfile = true;  // no /proc
    }
    close(fd);
    return written;
#else
    (void)folder, (void)temp, (void)mode, (void)bytes;
    no_tmpfile = true;
    return false;
#endif
}

}  // namespace

bool replace_file(const std::string& path, std::string_view bytes) {
    const std::string folder = folder_of(path);
    const mode_t mode = new_file_mode(path);
    std::string temp;
    bool no_tmpfile = false;
    if (!write_unnamed(folder, temp, mode, bytes, no_tmpfile)) {
        if (!no_tmpfile) return false;
        // A named temporary file, left behind only if the writer is killed.
        temp = folder + "/.qzotool-XXXXXX";
        const int fd = mkstemp(temp.data());
        if (fd < 0) return false;
        bool written = fchmod(fd, mode) == 0 && write_whole(fd, bytes);
        written = close(fd) == 0 && written;
        if (!written) {
            unlink(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}

#endif

}  // namespace qz::tool
