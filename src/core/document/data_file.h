// The data file format: "QUIZODATA V1.4" and one text line per data line.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
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

// What the reader's scan found in a line before classifying it: its first
// two commas, and whether a backslash comes before the second (or at all,
// when there are fewer than two). Without such a backslash the commas are
// where the fields end: no trail byte of a double-byte character is ','.
struct LineScan {
    const char* commas[2] = {nullptr, nullptr};
    int comma_count = 0;
    bool backslash = false;
};

// classify_line of the `length` bytes at `line` (followed by a line break,
// or the NUL at the end of the text) from what the scan found; only a line
// the scan cannot decide is read byte by byte, with a NUL put behind it
// for as long as that takes.
inline LineClass classify_scanned(char* line, std::size_t length, const LineScan& scan, int version);

// classify_line of a line followed by a line break or the NUL at the end.
LineClass classify_unscanned(char* line, std::size_t length, int version);

// Splits [p, end) into its lines as split_lines does and classifies each,
// 64 bytes at a time: f(line, length, LineClass) for each in order. The
// bytes are left as they are (a line is not NUL-terminated; f may write at
// line[length] and into the line). *end must be NUL.
template <class F>
void classify_lines(char* p, char* end, int version, F&& f);

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
// Every line of [p, end) (*end is NUL) as append_read_line writes it; a
// run of lines kept as written, each ended by CR LF, is copied at once.
// False when [p, end) holds no line.
bool append_read_lines(std::string& out, char* p, char* end, int version);

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

#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline LineClass classify_scanned(char* line, std::size_t length, const LineScan& scan, int version) {
    if (length == 0) return {};
    if (line[0] == '\'') return {LINE_TEXT, length == 1 ? LineForm::blank : LineForm::kept};
    if (scan.backslash || (line[0] == '$' && version >= 14)) return classify_unscanned(line, length, version);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const char* const end = line + length;
    if (line[0] == '#') {
        if (length == 1) return {LINE_TEXT, LineForm::blank};
        // The choice count and five flags, then the end or a comment.
        const char* f = scan.comma_count > 0 ? scan.commas[0] + 1 : end;
        bool title = end - f >= 6;
        for (int i = 0; title && i < 6; ++i) title = digit(f[i]);
        if (title && (f + 6 == end || f[6] == '\'')) return {LINE_TITLE, LineForm::kept};
        return {LINE_TEXT, LineForm::commented};
    }
    // The history byte, the group and answer-number digits, then the end
    // or a comment.
    const char* f = scan.comma_count == 2 ? scan.commas[1] + 1 : end;
    const bool valid = end - f >= 3 && f[0] >= '<' && f[0] <= '[' && digit(f[1]) && digit(f[2]) &&
                       (f + 3 == end || f[3] == '\'');
    return {LINE_TEXT, valid ? LineForm::kept : LineForm::quoted};
}

template <class F>
void classify_lines(char* p, char* end, int version, F&& f) {
    char* line = p;
    // The current line's scan so far (comma offsets from p).
    std::ptrdiff_t first_comma = 0, second_comma = 0;
    int count = 0;
    bool backslash = false;
    const auto scan = [&] {
        LineScan s;
        s.commas[0] = count > 0 ? p + first_comma : nullptr;
        s.commas[1] = count > 1 ? p + second_comma : nullptr;
        s.comma_count = count;
        s.backslash = backslash;
        return s;
    };
    for (char* block = p; block < end; block += 64) {
        prefetch_ahead(block);
        ReaderMasks m;
        if (end - block >= 64) {
            m = reader_masks(block);
        } else {
            char padded[64] = {};
            std::memcpy(padded, block, static_cast<std::size_t>(end - block));
            m = reader_masks(padded);
        }
        // The bits from the current line's start on (the LF of a CR LF
        // may open the block).
        const std::ptrdiff_t first = line - block;
        if (first >= 64) continue;
        std::uint64_t from = first > 0 ? ~std::uint64_t{0} << first : ~std::uint64_t{0};
        for (;;) {
            const std::uint64_t breaks = m.breaks & from;
            const std::uint64_t inside = breaks ? from & ((breaks & (0 - breaks)) - 1) : from;
            // The line's first two commas without a branch on how many
            // this block holds (an offset taken where there is no comma
            // is never read: the count does not reach it).
            const int before = count;
            const std::ptrdiff_t at = block - p;
            const std::uint64_t c = m.commas & inside, rest = c & (c - 1);
            const std::ptrdiff_t here = at + std::countr_zero(c), then = at + std::countr_zero(rest);
            second_comma = before == 0 ? then : before == 1 ? here : second_comma;
            first_comma = before == 0 ? here : first_comma;
            count = std::min(2, before + (c != 0) + (rest != 0));
            if (const std::uint64_t b = m.backslashes & inside)
                if (before < 2 && (count < 2 || at + std::countr_zero(b) < second_comma)) backslash = true;
            if (!breaks) break;
            char* const stop = block + __builtin_ctzll(breaks);
            char* next = stop + 1;
            if (*stop == '\r' && next < end && *next == '\n') ++next;
            const auto length = static_cast<std::size_t>(stop - line);
            f(line, length, classify_scanned(line, length, scan(), version));
            line = next;
            count = 0;
            backslash = false;
            const std::ptrdiff_t offset = next - block;
            if (offset >= 64) break;
            from = ~std::uint64_t{0} << offset;
        }
    }
    if (line < end) {
        const auto length = static_cast<std::size_t>(end - line);
        f(line, length, classify_scanned(line, length, scan(), version));
    }
}

}  // namespace qz
