#include "platform/file_write.h"

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "platform/handles.h"
#include "platform/wide_path_win32.h"

namespace qz {

namespace {

// What a saved file takes over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The file `path` names in the end: the target of a link, or `path` itself
// when it names no file yet.
std::wstring final_path(const std::wstring& path) {
    unique_file file(CreateFileW(path.c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!file) return path;
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        DWORD n =
            GetFinalPathNameByHandleW(file.get(), final.data(), static_cast<DWORD>(final.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return path;
        bool fits = n < final.size();
        final.resize(n);
        if (fits) break;
    }
    // "\\?\C:\..." and "\\?\UNC\server\..." in the form the other calls take.
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
        final.erase(2, 6);
    else if (final.rfind(L"\\\\?\\", 0) == 0)
        final.erase(0, 4);
    return final;
}

// A file's access rights (its DACL); empty when the file system keeps none.
std::vector<char> access_rights(const std::wstring& path) {
    DWORD needed = 0;
    GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<char> rights(needed);
    if (needed == 0 ||
        !GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, rights.data(), needed, &needed))
        rights.clear();
    return rights;
}

std::vector<char> access_rights(HANDLE file) {
    DWORD needed = 0;
    GetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<char> rights(needed);
    if (needed == 0 ||
        !GetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, rights.data(), needed, &needed))
        rights.clear();
    return rights;
}

// A save writes "<name>.~XXXX.tmp" (four hexadecimal digits) next to the
// file, so that one left by an interrupted save shows whose copy it is.
constexpr std::size_t kTempSuffixLength = 10;

std::wstring temp_name(const std::wstring& name, unsigned number) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring suffix = L".~0000.tmp";
    for (int i = 5; i >= 2; --i, number >>= 4)
        suffix[i] = kHex[number & 15];
    return name + suffix;
}

bool is_temp_name(const std::wstring& name, const std::wstring& candidate) {
    if (candidate.size() != name.size() + kTempSuffixLength) return false;
    std::wstring_view suffix(candidate.c_str() + name.size(), kTempSuffixLength);
    auto hex = [](wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'); };
    return suffix.substr(0, 2) == L".~" &&
           std::all_of(suffix.begin() + 2, suffix.begin() + 6, hex) && suffix.substr(6) == L".tmp" &&
           lstrcmpiW(candidate.substr(0, name.size()).c_str(), name.c_str()) == 0;
}

// Deletes what earlier, interrupted saves of `folder` + `name` left behind.
void remove_leftovers(const std::wstring& folder, const std::wstring& name) {
    std::vector<std::wstring> leftovers;
    WIN32_FIND_DATAW data;
    if (unique_find find(FindFirstFileW((folder + name + L".~????.tmp").c_str(), &data)); find) {
        do {
            if (is_temp_name(name, data.cFileName)) leftovers.push_back(folder + data.cFileName);
        } while (FindNextFileW(find.get(), &data));
    }
    for (const std::wstring& path : leftovers) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

// The calling thread's last error, never ERROR_SUCCESS: for a step that
// failed without setting one.
DWORD last_error() {
    DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

bool write_bytes(HANDLE file, std::string_view bytes) {
    DWORD done = 0;
    return bytes.empty() ||
           (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
            done == bytes.size());
}

// Copies `length` bytes at `offset` of `from` to the end of `file`.
bool copy_bytes(std::FILE* from, std::uint64_t offset, std::uint64_t length, HANDLE file) {
    if (_fseeki64(from, static_cast<__int64>(offset), SEEK_SET) != 0) return false;
    std::vector<char> buffer(1 << 16);
    while (length > 0) {
        const std::size_t got =
            std::fread(buffer.data(), 1, static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size())), from);
        if (got == 0) {
            SetLastError(std::ferror(from) ? ERROR_READ_FAULT : ERROR_HANDLE_EOF);
            return false;
        }
        if (!write_bytes(file, std::string_view(buffer.data(), got))) return false;
        length -= got;
    }
    return true;
}

// Writes all of the parts and flushes them to the disk.
bool write_all(HANDLE file, const std::vector<FilePart>& parts) {
    for (const FilePart& part : parts)
        if (part.from ? !copy_bytes(part.from, part.offset, part.length, file)
                      : !write_bytes(file, part.bytes))
            return false;
    return FlushFileBuffers(file);
}

// Marks an open file to be deleted when its last handle closes (also when
// its writer is killed), or takes the mark back.
bool set_delete_on_close(HANDLE file, bool on) {
    FILE_DISPOSITION_INFO info{static_cast<BOOLEAN>(on)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info);
}

// Renames an open file over `target`.
bool rename_open_file(HANDLE file, const std::wstring& target) {
    const int length = static_cast<int>(target.size()) + 1;
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + sizeof(WCHAR) * length);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(sizeof(WCHAR) * (length - 1));
    std::copy(target.c_str(), target.c_str() + length, info->FileName);
    return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size()));
}

}  // namespace

// The new contents go to a temporary file beside the target that is marked
// delete-on-close until the moment it replaces the target, so a save that
// is killed leaves neither a broken target nor the temporary file.
SystemError replace_file_contents(const std::string& path, std::string_view bytes,
                                  bool over_read_only) {
    return replace_file_contents(path, std::vector<FilePart>{FilePart{bytes}}, over_read_only);
}

SystemError replace_file_contents(const std::string& path, const std::vector<FilePart>& parts,
                                  bool over_read_only) {
    const std::wstring target = final_path(path_to_wide(path));
    const std::size_t name_at = PathFindFileNameW(target.c_str()) - target.c_str();
    const std::wstring folder = target.substr(0, name_at), name = target.substr(name_at);
    DWORD attributes = GetFileAttributesW(target.c_str());
    const bool replacing =
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    attributes = replacing ? attributes & kKeptAttributes : 0;
    const bool read_only = attributes & FILE_ATTRIBUTE_READONLY;
    if (read_only && !over_read_only) return ERROR_ACCESS_DENIED;
    const std::vector<char> rights = replacing ? access_rights(target) : std::vector<char>{};

    std::wstring temp;
    DWORD error = ERROR_FILE_EXISTS;
    unique_file file;
    const unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 4);
    for (unsigned i = 0; i < 64 && error == ERROR_FILE_EXISTS; ++i) {
        temp = folder + temp_name(name, seed + i);
        file.reset(CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE | READ_CONTROL | WRITE_DAC, 0,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        error = file ? ERROR_SUCCESS : last_error();
    }
    if (error) return error;
    // A file system without the mark still gets the file removed below
    // when the save fails; only a killed save would leave it then.
    const bool marked = set_delete_on_close(file.get(), true);
    // The old file's rights go over only when they differ from a new
    // file's: under Wine that keeps the Unix mode of an ordinary file.
    if (!write_all(file.get(), parts) ||
        (!rights.empty() && rights != access_rights(file.get()) &&
         !SetKernelObjectSecurity(file.get(), DACL_SECURITY_INFORMATION,
                                  const_cast<char*>(rights.data()))))
        error = last_error();
    if (!error && marked && !set_delete_on_close(file.get(), false)) error = last_error();
    if (!error && attributes) {
        FILE_BASIC_INFO basic{};  // times of 0 stay as they are
        basic.FileAttributes = attributes;
        if (!SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic))
            error = last_error();
    }
    // A read-only file cannot be replaced; the new one is read-only again.
    if (!error && read_only &&
        !SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        error = last_error();
    if (!error && !rename_open_file(file.get(), target)) {
        // Where renaming an open file is not supported, by name.
        file.reset();
        if (!MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            error = last_error();
    }
    file.reset();
    if (error) {
        if (read_only) SetFileAttributesW(target.c_str(), attributes);
        SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(temp.c_str());
        return error;
    }
    remove_leftovers(folder, name);
    return ERROR_SUCCESS;
}

std::string full_path(const std::string& path) {
    const std::wstring wide = path_to_wide(path);
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(wide.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? path_to_utf8(std::wstring_view(full, length)) : path;
}

}  // namespace qz
