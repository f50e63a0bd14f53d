// Reading a whole file, refusing before any byte is read what is not an
// ordinary file of at most a given size.
#pragma once

#include <cstdint>
#include <string>

#include "core/document/file_check.h"

namespace qz {

// Reads the whole file into `bytes`, refusing what is not an ordinary file
// of at most `limit` bytes before reading it.
ReadResult read_file_bytes(const std::string& path, std::string& bytes, std::uint64_t limit);

}  // namespace qz
