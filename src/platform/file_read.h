// Reading a whole file the one way both programs do, refusing before any
// byte is read what is not an ordinary file of at most a given size (the
// verdict and its words are core/document/file_check.h's).
#pragma once

#include <cstdint>
#include <string>

#include "core/document/file_check.h"

namespace qz {

// What the system says of the file at `path` without reading it: whether
// it is there, a folder, a device or pipe, or an ordinary file and its
// size. Never waits (a pipe without a writer is not opened for reading).
// What cannot be told is given as an ordinary file, for opening to tell.
FileFacts file_facts(const std::string& path);

// Reads the whole file into `bytes`, refusing what is not an ordinary file
// of at most `limit` bytes before reading it; a file that grows while it
// is read is refused at the same limit.
ReadResult read_file_bytes(const std::string& path, std::string& bytes, std::uint64_t limit);

}  // namespace qz
