#include "win/base/file_read_win.h"

#include "win/base/win_handle.h"

namespace qz {
namespace {

FileKind kind_by_name(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::folder : FileKind::regular;
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE: return FileKind::missing;
        default: return FileKind::regular;  // opening tells the rest
    }
}

}  // namespace

ReadResult read_file_bytes(const std::string& path, std::string& bytes, std::uint64_t limit) {
    bytes.clear();
    FileFacts facts{path.empty() ? FileKind::missing : kind_by_name(path), 0};
    if (FileRefusal refusal = refuse_file(path, facts, limit); refusal != FileRefusal::none)
        return ReadResult::refused(refusal, limit);
    unique_file file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ReadResult::failed();
    LARGE_INTEGER size{};
    // A device or a pipe has no end to read to.
    facts.kind = GetFileType(file.get()) == FILE_TYPE_DISK ? FileKind::regular : FileKind::other;
    if (facts.kind == FileKind::regular && !GetFileSizeEx(file.get(), &size)) return ReadResult::failed();
    facts.size = static_cast<std::uint64_t>(size.QuadPart);
    if (FileRefusal refusal = refuse_file(path, facts, limit); refusal != FileRefusal::none)
        return ReadResult::refused(refusal, limit);
    bytes.resize(static_cast<std::size_t>(facts.size));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        bytes.clear();
        return ReadResult::failed();
    }
    return {};
}

}  // namespace qz
