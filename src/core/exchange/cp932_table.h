// The code page 932 double-byte characters as Unicode code points.
#pragma once

#include <cstdint>

namespace qz {

// Lead bytes 0x81-0x9F and 0xE0-0xFC, trail bytes 0x40-0xFC; 0 where the
// pair stands for no character (0x7F is never a trail byte).
inline constexpr int kCp932Leads = 60;
inline constexpr int kCp932Trails = 0xFD - 0x40;
extern const std::uint16_t kCp932DoubleByte[kCp932Leads][kCp932Trails];

// Index of a lead byte in the table, -1 for a byte that leads nothing.
constexpr int cp932_lead_index(unsigned char c) {
    return c >= 0x81 && c <= 0x9F ? c - 0x81 : c >= 0xE0 && c <= 0xFC ? c - 0xE0 + 31 : -1;
}

}  // namespace qz
