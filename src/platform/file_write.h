// Writing a whole file so that it is never left half written: the atomic
// replace that both programs save through.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

// The system's error code of a step that failed (GetLastError() on
// Windows, errno elsewhere); 0 for success.
using SystemError = std::uint32_t;

// Replaces the file with `bytes`: they go to a new file in the same
// folder, are flushed to the disk, take over the old file's attributes and
// access rights (its mode elsewhere), and the new file then takes the old
// one's place in one rename. A link is followed: its target is replaced.
// On Windows a read-only file is replaced only when `over_read_only` is
// set, and stays read-only. Returns 0, or the error of the step that
// failed; the old file is then untouched and the new one removed.
//
// A writer killed part-way leaves no temporary file where the system can
// tie the file to the writer's handle (delete-on-close on Windows, an
// unnamed file on Linux); the temporary names one writes under are its
// own, and each write removes what writers of the same file (Windows) or
// folder (elsewhere) that no longer run left behind.
SystemError replace_file_contents(const std::string& path, std::string_view bytes,
                                  bool over_read_only = false);

// A piece of a file's new bytes: `bytes`, or, when `from` is set, the
// `length` bytes at `offset` of that file open for reading, which the
// system copies from file to file where it can (on Linux without passing
// them through the program).
struct FilePart {
    std::string_view bytes;
    std::FILE* from = nullptr;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// replace_file_contents of the parts' bytes, in order. A file part whose
// file now ends before the part does fails the write (EIO, ERROR_HANDLE_EOF).
SystemError replace_file_contents(const std::string& path, const std::vector<FilePart>& parts,
                                  bool over_read_only = false);

// The full path of `path` (without "." or ".." steps); `path` itself when
// the system gives none.
std::string full_path(const std::string& path);

}  // namespace qz
