// BMP files as pictures: the stored header, colour table and pixel rows,
// checked so that StretchDIBits never reads outside them.
#pragma once

#include <string_view>

#include "core/image/picture.h"

namespace qz {

inline constexpr char kBmpNotBitmap[] = "ビットマップではありません。";
inline constexpr char kBmpBadHeader[] = "ビットマップのヘッダーが正しくありません。";
inline constexpr char kBmpHeaderTooLarge[] =
    "ビットマップのヘッダーとカラーテーブルが大きすぎます（1064 バイトまで）。";
inline constexpr char kBmpPixelsOutside[] = "ビットマップの画素データがファイルの外にあります。";
inline constexpr char kBmpUnsupported[] = "この形式のビットマップには対応していません。";

// Reads a whole BMP file into `out`: the bytes from offset 14 up to the
// pixel data (info header and colour table) into the header record, the
// pixel data into the pixel buffer. Uncompressed top-down rows are turned
// bottom-up (and the height made positive). Returns null on success,
// otherwise the message why the file was refused.
const char* read_bmp(std::string_view file, Picture& out);

}  // namespace qz
