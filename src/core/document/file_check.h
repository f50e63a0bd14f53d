// What is looked at before a file is read: that it is there, is an
// ordinary file (not a folder, a device or a pipe, which may never end)
// and is not larger than the program can hold. Each side finds the facts
// its own way; the verdict and the words are shared.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qz {

// The largest data file read: its lines take a few times its size in memory.
inline constexpr std::uint64_t kMaxDataFileBytes = std::uint64_t{1024} << 20;

enum class FileKind { missing, folder, other, regular };

struct FileFacts {
    FileKind kind = FileKind::missing;
    std::uint64_t size = 0;  // of a regular file
};

enum class FileRefusal { none, no_name, missing, folder, not_regular, too_large };

FileRefusal refuse_file(std::string_view path, const FileFacts& facts, std::uint64_t limit);

// The message for a refusal, saying the limit for a file too large.
std::string refusal_message(FileRefusal refusal, std::uint64_t limit);

// The message for a file that exists but could not be read.
inline constexpr char kReadFailedMessage[] = "ファイル読み込みに失敗しました。";

// What reading a whole file gave: read (ok()), refused before reading
// (the refusal and its message), or failed while reading (no refusal,
// kReadFailedMessage).
struct ReadResult {
    FileRefusal refusal = FileRefusal::none;
    std::string message;  // empty when the file was read

    bool ok() const { return message.empty(); }
    static ReadResult refused(FileRefusal refusal, std::uint64_t limit) {
        return {refusal, refusal_message(refusal, limit)};
    }
    static ReadResult failed() { return {FileRefusal::none, kReadFailedMessage}; }
};

// A hint added to the message for a file that did not load when its first
// bytes show it was saved as UTF-8; "" when they do not.
const char* utf8_hint(std::string_view first_bytes);

}  // namespace qz
