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

bool write_whole(const char* temp, std::string_view bytes) {
    std::unique_ptr<HANDLE, HandleCloser> file(CreateFileA(
        temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return false;
    }
    DWORD done = 0;
    return (bytes.empty() || (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                        &done, nullptr) &&
                              done == bytes.size())) &&
           FlushFileBuffers(file.get());
}

}  // namespace

bool replace_file(const std::string& path, std::string_view bytes) {
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder_of(path).c_str(), "qzo", 0, temp)) return false;
    if (write_whole(temp, bytes) &&
        MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
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

}  // namespace

bool replace_file(const std::string& path, std::string_view bytes) {
    std::string temp = folder_of(path) + "/.qzotool-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    bool written = fchmod(fd, new_file_mode(path)) == 0 && write_whole(fd, bytes);
    written = close(fd) == 0 && written;
    if (written && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}

#endif

}  // namespace qz::tool
