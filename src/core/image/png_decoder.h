// The program's own PNG decoder: every colour type, bit depth and interlace
// method, with zlib for the decompression of the image data only.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/image/picture.h"

namespace qz {

// Why a file was refused; each is a complete message for the user.
inline constexpr char kPngNotPng[] = "PNG ファイルではありません。";
inline constexpr char kPngTruncated[] = "PNG ファイルが途中で切れています。";
inline constexpr char kPngBadCrc[] = "PNG ファイルが壊れています（CRC が合いません）。";
inline constexpr char kPngBadHeader[] = "PNG ファイルのヘッダーが正しくありません。";
inline constexpr char kPngBadOrder[] = "PNG ファイルのチャンクの並びが正しくありません。";
inline constexpr char kPngBadPalette[] = "PNG ファイルのパレットが正しくありません。";
inline constexpr char kPngNoPalette[] = "PNG ファイルにパレットがありません。";
inline constexpr char kPngNoImageData[] = "PNG ファイルに画像データがありません。";
inline constexpr char kPngBadImageData[] = "PNG ファイルの画像データが壊れています。";

// Decodes a whole PNG file into `out`: a 24-bit picture (BGR rows,
// bottom-up) whose pixels are all opaque. Alpha and transparency are blended
// onto `background` (0x00BBGGRR, as a COLORREF); 16-bit samples keep their
// high byte; the resolution comes from pHYs in pixels per metre. Returns
// null on success, otherwise the message why the file was refused.
const char* decode_png(std::string_view file, std::uint32_t background, Picture& out);

// (v * a + (255 - a) * g) / 255.
inline unsigned blend_on_background(unsigned v, unsigned g, unsigned a) {
    return (v * a + (255 - a) * g) / 255;
}

}  // namespace qz
