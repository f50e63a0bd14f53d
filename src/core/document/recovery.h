// Recovery files: the content of a modified document, written now and then
// beside its data file, so that a crash loses at most the last interval of
// editing; and the locks that keep two editors off the same file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz {

inline constexpr char kUntitledRecoveryName[] = "~$untitled.qzf.recover";
// The longest interval between writes, in seconds.
inline constexpr int kMaxRecoveryInterval = 3600;

// The recovery file of the data file at `data_path` (UTF-8, as every path
// of the program): "~$" + its name +
// ".recover" in its folder ("C:\q\a.qzf" gives "C:\q\~$a.qzf.recover"). An
// untitled document (empty path) has kUntitledRecoveryName in
// `untitled_folder` (with or without its trailing separator; empty: the
// current folder).
std::string recovery_path(std::string_view data_path, std::string_view untitled_folder);

enum class RecoveryAction { none, write, remove };

// When the recovery file is written and removed. The file is written only
// while the document is modified, only after a change it does not hold
// yet, and at most once an interval; it is removed once the document is no
// longer modified (saved, or undone back to what was saved). One write at
// a time: the content is taken at start_write and written elsewhere.
class RecoverySchedule {
public:
    // What to do at `now_ms` (a monotonic clock) for a document with this
    // many changes so far (a count that only grows).
    RecoveryAction next(int interval_seconds, bool modified, std::uint64_t changes,
                        std::int64_t now_ms) const;
    void start_write(std::uint64_t changes, std::int64_t now_ms);
    // The write ended; a failed one is tried again an interval later.
    void end_write(bool written);
    // The file was removed (or belongs to another document now): nothing
    // of ours is on disk, and the next change is written at once.
    void forget();
    // Takes over a file already on disk (a restored one), holding no
    // change of this document yet.
    void adopt();
    bool writing() const { return writing_; }
    bool has_file() const { return has_file_; }

private:
    bool writing_ = false;
    bool has_file_ = false;
    std::optional<std::uint64_t> written_;  // changes the file on disk holds
    std::uint64_t taking_ = 0;              // changes of the write under way
    std::optional<std::int64_t> last_start_;
};

// Whether opening a data file offers its recovery file: the recovery file
// exists and was written after the data file (or the data file is gone).
// Times in any one unit.
bool recovery_offered(std::optional<std::int64_t> recovery_written,
                      std::optional<std::int64_t> data_written);

// The name of the system-wide lock of a file: the same for every spelling
// of one full (UTF-8) path that differs only in the case of ASCII letters
// or in '/' against '\\'.
std::string file_lock_name(std::string_view full_path);

}  // namespace qz
