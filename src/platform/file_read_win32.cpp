#include "platform/file_read.h"

#include "platform/handles.h"
#include "platform/wide_path_win32.h"

namespace qz {

FileFacts file_facts(const std::string& path) {
    if (path.empty()) return {FileKind::missing, 0};
    const DWORD attributes = GetFileAttributesW(path_to_wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
            case ERROR_INVALID_NAME:
            case ERROR_BAD_NETPATH:
            case ERROR_INVALID_DRIVE: return {FileKind::missing, 0};
            default: break;  // opening tells the rest
        }
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return {FileKind::folder, 0};
    }
    // Opening a device or a pipe does not wait here.
    unique_file file(CreateFileW(path_to_wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {FileKind::regular, 0};
    FileFacts facts{GetFileType(file.get()) == FILE_TYPE_DISK ? FileKind::regular : FileKind::other, 0};
    LARGE_INTEGER size{};
    if (facts.kind == FileKind::regular && GetFileSizeEx(file.get(), &size))
        facts.size = static_cast<std::uint64_t>(size.QuadPart);
    return facts;
}

ReadResult read_file_bytes(const std::string& path, std::string& bytes, std::uint64_t limit) {
    bytes.clear();
    FileFacts facts = file_facts(path);
    if (FileRefusal refusal = refuse_file(path, facts, limit); refusal != FileRefusal::none)
        return ReadResult::refused(refusal, limit);
    unique_file file(CreateFileW(path_to_wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ReadResult::failed();
    // What was looked at by name may have changed before it was opened.
    LARGE_INTEGER size{};
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
