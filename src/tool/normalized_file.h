// The bytes qzotool normalize writes for a data file read in pieces, held
// as the parts the atomic replace writes: the long runs of lines that stay
// as they are named by their place in the file, for the system to copy
// from file to file, and only the rest (the header, rewritten lines, short
// runs) in memory. The bytes are those append_read_lines gives.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_write.h"

namespace qz::tool {

class NormalizedFile {
public:
    // Runs of unchanged lines at least this long are copied from the file.
    static constexpr std::uint64_t kLeastCopy = 32 * 1024;

    // `size`: the file's size, to make room for what is not copied.
    explicit NormalizedFile(std::size_t size = 0) : size_(size) {}

    // Forgets what was added and starts again with the header line.
    void start(int version);

    // The lines of [p, end) (split in place, as read_lines_in_pieces
    // gives them), whose bytes lie at `offset` in the file, or kNotInFile.
    void add(char* p, char* end, std::uint64_t offset);

    // The parts, in order, the run parts naming `from`, the file read;
    // they point into this object. A file with the header alone opens
    // with one blank line, which the parts then hold.
    std::vector<FilePart> parts(std::FILE* from);

private:
    // A run of the file's bytes written after text_[0, after).
    struct Run {
        std::size_t after;
        std::uint64_t offset, length;
    };
    // Ends the run of unchanged lines being gathered: copied from the file
    // when it is long, else its bytes (still in memory when `bytes` is
    // set) go into text_.
    void end_run();

    int version_ = 0;
    std::size_t size_ = 0;
    bool any_line_ = false;
    std::string text_;
    std::vector<Run> runs_;
    // The run being gathered: `length` bytes at `offset`, held at `bytes`
    // while the piece they came in is.
    std::uint64_t run_offset_ = 0, run_length_ = 0;
    const char* run_bytes_ = nullptr;
};

}  // namespace qz::tool
