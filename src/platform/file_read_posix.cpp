#include "platform/file_read.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace qz {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

FileFacts file_facts(const std::string& path) {
    if (path.empty()) return {FileKind::missing, 0};
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        // Anything but a missing file is left for opening to tell.
        return {errno == ENOENT || errno == ENOTDIR ? FileKind::missing : FileKind::regular, 0};
    if (S_ISDIR(status.st_mode)) return {FileKind::folder, 0};
    if (!S_ISREG(status.st_mode)) return {FileKind::other, 0};
    return {FileKind::regular, static_cast<std::uint64_t>(status.st_size)};
}

ReadResult read_file_bytes(const std::string& path, std::string& bytes, std::uint64_t limit) {
    bytes.clear();
    // Checked before opening: opening a pipe waits for a writer.
    const FileRefusal refusal = refuse_file(path, file_facts(path), limit);
    if (refusal != FileRefusal::none) return ReadResult::refused(refusal, limit);
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return ReadResult::failed();
    struct stat status {};
    if (fstat(fileno(file.get()), &status) != 0) return ReadResult::failed();
    const FileFacts facts{S_ISREG(status.st_mode) ? FileKind::regular : FileKind::other,
                          static_cast<std::uint64_t>(status.st_size)};
    if (const FileRefusal late = refuse_file(path, facts, limit); late != FileRefusal::none)
        return ReadResult::refused(late, limit);
    // One read of the size the file system gives; then whatever a file
    // that grew still holds, up to the limit.
    bytes.resize(static_cast<std::size_t>(facts.size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    char chunk[1 << 16];
    std::size_t got;
    while (bytes.size() <= limit && (got = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0)
        bytes.append(chunk, got);
    if (std::ferror(file.get())) return ReadResult::failed();
    if (bytes.size() > limit) {
        bytes.clear();
        return ReadResult::refused(FileRefusal::too_large, limit);
    }
    return {};
}

}  // namespace qz
