// Reading a whole file, refusing before any byte is read what is not an
// ordinary file of at most a given size.
#pragma once

#include <cstdint>
#include <string>

namespace qz {

// "" when `bytes` holds the whole file, else the message saying why not.
std::string read_file_bytes(const std::string& path, std::string& bytes, std::uint64_t limit);

}  // namespace qz
