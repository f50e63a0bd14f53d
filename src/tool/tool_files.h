// Files as qzotool's commands read and write them, with the editor's own
// messages on the error stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "core/document/card_document.h"
#include "core/document/data_file.h"
#include "core/document/file_check.h"

namespace qz::tool {

// read_file_bytes (platform/file_read.h) on a path as the editor writes
// it: on Linux a backslash separates folders too.
ReadResult read_local_file(const std::string& path, std::string& bytes,
                           std::uint64_t limit = kMaxDataFileBytes);

// read_local_file of a picture, within kMaxPictureFileBytes.
ReadResult read_picture(const std::string& path, std::string& bytes);

// "FILE: message" on the error stream (the file name as given).
void report(std::ostream& err, const std::string& path, const std::string& message);

// The size the file system gives for a file; 0 when it gives none.
std::size_t file_size(const std::string& path);

// read_file_bytes, or false after the editor's message.
bool read_or_report(const std::string& path, std::string& bytes, std::ostream& err);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Where a piece read_lines_in_pieces gives lies in the file: the offset of
// its first byte, or kNotInFile for the bytes of a file read whole, which
// are not the file's (its NUL bytes are dropped).
constexpr std::uint64_t kNotInFile = ~std::uint64_t{0};

// Reads a data file's lines the way read_data_file does, without a
// document, a piece of the file at a time in a buffer small enough to stay
// in the processor's cache. `start` gets the format version; `piece` then
// gets runs of whole lines after the header, in order, each run [p, end)
// to split in place (split_lines) with the offset in the file of p. A
// file that holds NUL bytes is read whole: `start` is called again
// (whatever the pieces before told is void), `piece` gets all of its lines
// at once with kNotInFile, and `nul` gets the NUL bytes. False after the
// editor's message for a file that cannot be read or loaded. `opened`,
// when given, gets the file, still open, for reading again what the
// pieces' offsets name.
bool read_lines_in_pieces(const std::string& path, std::ostream& err,
                          const std::function<void(int version)>& start,
                          const std::function<void(char* p, char* end, std::uint64_t offset)>& piece,
                          NulBytes& nul, FilePtr* opened = nullptr);

// read_lines_in_pieces for a `piece` that leaves the lines as they are
// (classify_lines), reading them where the system maps the file instead of
// copying them into a buffer (elsewhere than on Windows, and for a file of
// more than one piece). A mapped file cut short while it is read ends the
// program after the editor's message (exit status 2), before it writes.
bool map_lines_in_pieces(const std::string& path, std::ostream& err,
                         const std::function<void(int version)>& start,
                         const std::function<void(char* p, char* end, std::uint64_t offset)>& piece,
                         NulBytes& nul, FilePtr* opened = nullptr);

// map_lines_in_pieces for a reader whose pieces need to come in order only
// within a part: a large file is read in two parts (part 0 the lines before
// part 1's), each on a thread of its own elsewhere than on Windows, so
// `piece` is called from two threads at once, in order within a part. A
// file read whole gives its lines to part 0.
bool map_lines_in_two_parts(const std::string& path, std::ostream& err,
                            const std::function<void(int version)>& start,
                            const std::function<void(int part, char* p, char* end)>& piece, NulBytes& nul);

// Reads and loads a file the way the editor opens it; false after a message.
// `result`, when given, gets what reading found.
bool load(const std::string& path, CardDocument& doc, std::ostream& err,
          LoadResult* result = nullptr);

}  // namespace qz::tool
