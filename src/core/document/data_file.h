// The data file format: "QUIZODATA V1.4" and one text line per data line.
#pragma once

#include <string>
#include <string_view>

#include "core/document/card_document.h"

namespace qz {

inline constexpr char kDataFileMagic[] = "QUIZODATA V";

// The NUL bytes a text held: how many, and the line on which the first
// stood (counted from 1, as the line breaks below count; 0 for none).
struct NulBytes {
    std::size_t count = 0;
    int first_line = 0;
};

// Rewrites raw text into the working form: every line (CR LF, lone CR, lone
// LF) ends with 0x01, double-byte characters are kept whole, a final 0x01 is
// added when missing. NUL bytes are dropped; every other byte stays.
NulBytes normalize_line_breaks(std::string& buffer);

// Classifies one line of a working buffer (up to its 0x01 or NUL) the way
// the reader does: lines that fail their syntax check become comments or
// blank lines, never disappear.
DataLine classify_data_line(const char* line, int version);

enum class LoadStatus {
    ok,
    not_data_file,   // "Quizo データファイルではありません。"
    bad_header,      // "ヘッダの形式が違います。"
    bad_version,     // "データのバージョンが違います。"
};

// The message the editor shows for a failed load; null for ok.
const char* load_status_message(LoadStatus status);

struct LoadResult {
    LoadStatus status = LoadStatus::ok;
    // The magic matched (the file enters the recent-file list even when its
    // header or version is then refused).
    bool magic_matched = false;
    // NUL bytes the file held, which the document does not (the first line
    // counts as the list numbers lines: the header is line 1).
    NulBytes nul_bytes;
};

// What the editor tells after opening a file that held NUL bytes.
std::string nul_bytes_message(int first_line);

// Replaces the document's lines and version with the file's. On failure the
// document is left without lines. A file with the header alone yields one
// blank line.
LoadResult read_data_file(std::string bytes, CardDocument& doc);

// The bytes the editor writes for the document: the header and every line,
// each ended by CR LF.
std::string write_data_file(const CardDocument& doc);

}  // namespace qz
