#include "core/document/recovery.h"

#include <cstdio>

namespace qz {
namespace {

constexpr bool is_separator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string recovery_path(std::string_view data_path, std::string_view untitled_folder) {
    if (data_path.empty()) {
        std::string path(untitled_folder);
        if (!path.empty() && !is_separator(path.back())) path += '\\';
        return path + kUntitledRecoveryName;
    }
    // The path is UTF-8: no byte of a character beyond ASCII is a
    // separator.
    std::size_t name_at = 0;
    for (std::size_t i = 0; i < data_path.size(); ++i)
        if (is_separator(data_path[i]) || data_path[i] == ':') name_at = i + 1;
    return std::string(data_path.substr(0, name_at)) + "~$" +
           std::string(data_path.substr(name_at)) + ".recover";
}

RecoveryAction RecoverySchedule::next(int interval_seconds, bool modified, std::uint64_t changes,
                                      std::int64_t now_ms) const {
    if (writing_) return RecoveryAction::none;
    if (interval_seconds <= 0 || !modified)
        return has_file_ ? RecoveryAction::remove : RecoveryAction::none;
    if (written_ == changes) return RecoveryAction::none;
    if (last_start_ && now_ms - *last_start_ < std::int64_t{interval_seconds} * 1000)
        return RecoveryAction::none;
    return RecoveryAction::write;
}

void RecoverySchedule::start_write(std::uint64_t changes, std::int64_t now_ms) {
    writing_ = true;
    taking_ = changes;
    last_start_ = now_ms;
}

void RecoverySchedule::end_write(bool written) {
    writing_ = false;
    if (!written) return;
    has_file_ = true;
    written_ = taking_;
}

void RecoverySchedule::forget() {
    has_file_ = false;
    written_.reset();
    last_start_.reset();
}

void RecoverySchedule::adopt() {
    forget();
    has_file_ = true;
}

bool recovery_offered(std::optional<std::int64_t> recovery_written,
                      std::optional<std::int64_t> data_written) {
    return recovery_written && (!data_written || *recovery_written > *data_written);
}

std::string file_lock_name(std::string_view full_path) {
    // FNV-1a over the path in one spelling. The path is UTF-8, where no
    // byte of a character beyond ASCII is an ASCII letter or a slash.
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const char byte : full_path) {
        unsigned char c = static_cast<unsigned char>(byte);
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        if (c == '/') c = '\\';
        hash = (hash ^ c) * 0x100000001B3u;
    }
    char name[48];
    std::snprintf(name, sizeof name, "QuizoEditor.File.%016llX",
                  static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace qz
