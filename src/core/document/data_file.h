// The data file format: "QUIZODATA V1.4" and one text line per data line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/document/card_document.h"
#include "core/syntax/byte_search.h"

namespace qz {

inline constexpr char kDataFileMagic[] = "QUIZODATA V";

// The NUL bytes a text held: how many, and the line on which the first
// stood (counted from 1, as the line breaks below count; 0 for none).
struct NulBytes {
    std::size_t count = 0;
    int first_line = 0;
    // Every line that held one, in order (counted the same way).
    std::vector<int> lines;
};

// Rewrites raw text into the working form: every line (CR LF, lone CR, lone
// LF) ends with 0x01, double-byte characters are kept whole, a final 0x01 is
// added when missing. NUL bytes are dropped; every other byte stays.
NulBytes normalize_line_breaks(std::string& buffer);

// Classifies one line of a working buffer (up to its 0x01 or NUL) the way
// the reader does: lines that fail their syntax check become comments or
// blank lines, never disappear.
DataLine classify_data_line(const char* line, int version);

// What the reader makes of a line's bytes.
enum class LineForm : unsigned char {
    kept,       // the line as written (an empty one is a blank line)
    blank,      // a marker alone ("#", "'", "$"): a blank line
    commented,  // its marker ('#', '$') becomes the apostrophe of a comment
    quoted,     // an apostrophe in front keeps the whole line as a comment
};

struct LineClass {
    int kind = LINE_TEXT;
    LineForm form = LineForm::kept;
};

// The kind and form of the `length` bytes at `line`, which are followed by
// a NUL or 0x01.
LineClass classify_line(const char* line, std::size_t length, int version);

enum class LoadStatus {
    ok,
    not_data_file,   // "Quizo データファイルではありません。"
    bad_header,      // "ヘッダの形式が違います。"
    bad_version,     // "データのバージョンが違います。"
};

// The message the editor shows for a failed load; null for ok.
const char* load_status_message(LoadStatus status);

// Why reading rewrote a line.
enum class RewriteReason {
    lone_hash,
    lone_apostrophe,
    lone_dollar,
    invalid_title,
    invalid_question,
    unknown_settings,
};

struct RewrittenLine {
    int index = 0;
    RewriteReason reason = RewriteReason::invalid_question;
};

// Why the reader gave a line that begins with `first` the form it did (a
// form other than kept).
RewriteReason rewrite_reason(char first, LineForm form, int version);

struct LoadResult {
    LoadStatus status = LoadStatus::ok;
    // The magic matched (the file enters the recent-file list even when its
    // header or version is then refused).
    bool magic_matched = false;
    // NUL bytes the file held, which the document does not (the first line
    // counts as the list numbers lines: the header is line 1).
    NulBytes nul_bytes;
    // The lines whose text differs from the file's, in line order.
    std::vector<RewrittenLine> rewritten;
};

// What the editor tells after opening a file that held NUL bytes.
std::string nul_bytes_message(int first_line);

// A data file's bytes opened for reading in place: NUL bytes dropped, the
// header checked. When the status is ok, the data lines lie in
// [body, end), and *end is the string's terminating NUL.
struct DataFileText {
    LoadResult result;
    int version = 0;
    char* body = nullptr;
    char* end = nullptr;
};
DataFileText open_data_file_text(std::string& bytes);

// Splits [p, end) into its lines in place: each line break (CR LF, lone CR,
// lone LF or 0x01) is overwritten by a NUL, so that every line stays where
// it is and ends like a string, and f(line, length) is called for each in
// order. *end must be NUL.
template <class F>
void split_lines(char* p, char* end, F&& f);

// Replaces the document's lines and version with the file's. On failure the
// document is left without lines. A file with the header alone yields one
// blank line.
LoadResult read_data_file(std::string bytes, CardDocument& doc);

// The bytes the editor writes for the document: the header and every line,
// each ended by CR LF.
std::string write_data_file(const CardDocument& doc);
// The same with the line at `index` written as `text` instead (an edit the
// document does not hold yet).
std::string write_data_file(const CardDocument& doc, int index, std::string_view text);

// The same a line at a time, without a document: the header line, and a
// line of a file as reading and then writing it gives it.
void append_header_line(std::string& out, int version);
void append_read_line(std::string& out, const char* line, std::size_t length, LineForm form);

template <class F>
void split_lines(char* p, char* end, F&& f) {
    while (p < end) {
        char* const stop = const_cast<char*>(find_line_break(p, end));
        const bool cr_lf = stop + 1 < end && stop[0] == '\r' && stop[1] == '\n';
        *stop = '\0';
        f(p, static_cast<std::size_t>(stop - p));
        p = stop + (cr_lf ? 2 : 1);
    }
}

}  // namespace qz
