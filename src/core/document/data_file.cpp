#include "core/document/data_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/syntax/fields.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"

namespace qz {

namespace {

constexpr std::size_t kMagicLength = sizeof(kDataFileMagic) - 1;
// "QUIZODATA V" + digit '.' digit: the header's length without its line break.
constexpr std::size_t kHeaderLength = kMagicLength + 3;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Bytes of a working-buffer line up to its 0x01 or NUL. No trail byte of a
// double-byte character is ever 0x01 or NUL, so the first such byte is the
// end of the line whether or not double-byte characters are stepped over
// (strcspn also stops at the NUL).
std::size_t line_length(const char* line) {
    return std::strcspn(line, "\x01");
}

DataLine blank_line() {
    return DataLine(LINE_TEXT, std::string());
}

// The checks of check_title_line and check_question_line on a line whose
// end is known, with the fields found at memory speed. A field runs to its
// first ',' when no backslash comes before it: no trail byte is ',', so
// stepping over double-byte characters finds the same comma. A byte 0x5C
// is a backslash only where a character begins; from the first real
// backslash on, the field scanner reads the field.

bool lead_capable(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Whether the byte at q (0x5C) is the trail byte of a double-byte
// character, the field starting at `start`. A byte that cannot lead ends a
// character, so the bytes that can lead right before q pair up from the
// first of them: q is a trail byte when they are odd in number.
bool is_trail_at(const char* start, const char* q) {
    const char* p = q;
    while (p > start && lead_capable(static_cast<unsigned char>(p[-1]))) --p;
    return (q - p) % 2 == 1;
}

// Whether the field at `start` is ended by a comma, and where that is.
bool comma_ended(const char* start, const char* end, bool images, const char** comma) {
    for (const char* p = start;;) {
        const char* q = find_either_byte(p, end, ',', '\\');
        if (q == end) return false;
        if (*q == ',') {
            *comma = q;
            return true;
        }
        if (!is_trail_at(start, q)) {
            const int rest = field_length(q, images);
            if (rest < 0 || q[rest] != ',') return false;
            *comma = q + rest;
            return true;
        }
        p = q + 1;
    }
}

// The history byte, the group and answer-number digits, then the end of the
// line or a comment.
bool question_tail(const char* f, const char* end) {
    return end - f >= 3 && f[0] >= '<' && f[0] <= '[' && is_digit(f[1]) && is_digit(f[2]) &&
           (f + 3 == end || f[3] == '\'');
}

// The choice count and five flags, then the end of the line or a comment.
bool title_tail(const char* f, const char* end) {
    if (end - f < 6) return false;
    for (int i = 0; i < 6; ++i)
        if (!is_digit(f[i])) return false;
    return f + 6 == end || f[6] == '\'';
}

bool is_title_line(const char* line, const char* end) {
    const char* comma = nullptr;
    return comma_ended(line + 1, end, false, &comma) && title_tail(comma + 1, end);
}

bool is_question_line(const char* line, const char* end) {
    const char* question = nullptr;
    const char* answer = nullptr;
    return comma_ended(line, end, true, &question) &&
           comma_ended(question + 1, end, true, &answer) && question_tail(answer + 1, end);
}

// The line's text as the reader keeps it.
std::string line_text(const char* line, std::size_t length, LineForm form) {
    switch (form) {
        case LineForm::kept:
            break;
        case LineForm::blank:
            return std::string();
        case LineForm::commented: {
            std::string text(line, length);
            text[0] = '\'';
            return text;
        }
        case LineForm::quoted: {
            std::string text;
            text.reserve(length + 1);
            text.push_back('\'');
            text.append(line, length);
            return text;
        }
    }
    return std::string(line, length);
}

}  // namespace

namespace {

// The lines that hold NUL bytes, counted from 1 as the line breaks count.
std::vector<int> lines_with_nul(std::string_view text) {
    std::vector<int> lines;
    int line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0') {
            if (lines.empty() || lines.back() != line) lines.push_back(line);
        } else if (c == '\r' || c == '\n' || c == kLineSeparator) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++line;
        }
    }
    return lines;
}

// Drops the NUL bytes of a text and tells where they stood.
NulBytes remove_nul_bytes(std::string& text) {
    NulBytes nul;
    const char* const end = text.data() + text.size();
    const char* const first = find_byte(text.data(), end, '\0');
    if (first == end) return nul;
    nul.lines = lines_with_nul(text);
    nul.first_line = nul.lines.front();
    const auto kept = std::remove(text.begin() + (first - text.data()), text.end(), '\0');
    nul.count = static_cast<std::size_t>(text.end() - kept);
    text.erase(kept, text.end());
    return nul;
}

}  // namespace

NulBytes normalize_line_breaks(std::string& buffer) {
    // NUL bytes go; the text around them stays.
    NulBytes nul = remove_nul_bytes(buffer);
    // CR LF, a lone CR and a lone LF each become one 0x01; a 0x01 already in
    // the text stays and ends a line too. Double-byte characters come through
    // whole: a trail byte (0x40 and up) is never CR or LF, so stepping over
    // character pairs could not change which bytes are rewritten, and the
    // scan can look for CR and LF alone.
    const std::size_t n = buffer.size();
    char* data = buffer.data();
    auto find = [&](char c, std::size_t from) {
        const void* p = std::memchr(data + from, c, n - from);
        return p ? static_cast<std::size_t>(static_cast<const char*>(p) - data) : n;
    };
    std::size_t next_cr = find('\r', 0);
    std::size_t next_lf = find('\n', 0);
    std::size_t out = 0;
    std::size_t in = 0;
    while (in < n) {
        if (next_cr < in) next_cr = find('\r', in);
        if (next_lf < in) next_lf = find('\n', in);
        // Copy the run up to the next CR or LF.
        const std::size_t run = std::min(next_cr, next_lf);
        if (out != in) std::memmove(data + out, data + in, run - in);
        out += run - in;
        if (run == n) break;
        in = run + ((run == next_cr && run + 1 == next_lf) ? 2 : 1);
        data[out++] = kLineSeparator;
    }
    buffer.resize(out);
    if (buffer.empty() || buffer.back() != kLineSeparator) buffer.push_back(kLineSeparator);
    return nul;
}

LineClass classify_line(const char* line, std::size_t length, int version) {
    if (length == 0) return {};
    switch (line[0]) {
        case '#':
            // "#" alone would become a lone apostrophe, which reads back as
            // a blank line; it is a blank line right away, as "'" and "$"
            // alone are.
            if (length == 1) return {LINE_TEXT, LineForm::blank};
            if (is_title_line(line, line + length)) return {LINE_TITLE, LineForm::kept};
            return {LINE_TEXT, LineForm::commented};
        case '\'':
            return {LINE_TEXT, length == 1 ? LineForm::blank : LineForm::kept};
        case '$':
            if (version < 14) break;
            if (length == 1) return {LINE_TEXT, LineForm::blank};
            if (const int kind = settings_kind(line); is_settings_kind(kind))
                return {kind, LineForm::kept};
            return {LINE_TEXT, LineForm::commented};
        default:
            break;
    }
    const bool valid = is_question_line(line, line + length);
    return {LINE_TEXT, valid ? LineForm::kept : LineForm::quoted};
}

LineClass classify_unscanned(char* line, std::size_t length, int version) {
    const char saved = line[length];
    line[length] = '\0';
    const LineClass c = classify_line(line, length, version);
    line[length] = saved;
    return c;
}

RewriteReason rewrite_reason(char first, LineForm form, int version) {
    const bool settings = first == '$' && version >= 14;
    if (form == LineForm::blank)
        return first == '#'    ? RewriteReason::lone_hash
               : settings      ? RewriteReason::lone_dollar
                               : RewriteReason::lone_apostrophe;
    if (form == LineForm::commented)
        return first == '#' ? RewriteReason::invalid_title : RewriteReason::unknown_settings;
    return RewriteReason::invalid_question;
}

DataLine classify_data_line(const char* line, int version) {
    // The classifiers read a line that ends with NUL.
    const std::string text(line, line_length(line));
    const LineClass c = classify_line(text.c_str(), text.size(), version);
    return DataLine(c.kind, line_text(text.c_str(), text.size(), c.form));
}

const char* load_status_message(LoadStatus status) {
    switch (status) {
        case LoadStatus::ok:
            return nullptr;
        case LoadStatus::not_data_file:
            return "Quizo データファイルではありません。";
        case LoadStatus::bad_header:
            return "ヘッダの形式が違います。";
        case LoadStatus::bad_version:
            return "データのバージョンが違います。";
    }
    return nullptr;
}

std::string nul_bytes_message(int first_line) {
    return "ファイルにNULバイトが含まれていました（最初は" + format_decimal(first_line) +
           "行目）。NULバイトを削除して読み込みました。";
}

DataFileText open_data_file_text(std::string& bytes) {
    DataFileText text;
    LoadResult& result = text.result;
    // NUL bytes go first, as if the file had never held them.
    result.nul_bytes = remove_nul_bytes(bytes);
    if (bytes.compare(0, kMagicLength, kDataFileMagic) != 0) {
        result.status = LoadStatus::not_data_file;
        return text;
    }
    result.magic_matched = true;

    // Digit, point, digit, then the header's line break or the end.
    const char* data = bytes.c_str();
    const std::size_t size = bytes.size();
    auto at = [&](std::size_t i) { return i < size ? data[i] : '\0'; };
    const char after = at(kHeaderLength);
    if (!is_digit(at(kMagicLength)) || at(kMagicLength + 1) != '.' ||
        !is_digit(at(kMagicLength + 2)) ||
        !(after == '\0' || after == '\r' || after == '\n' || after == kLineSeparator)) {
        result.status = LoadStatus::bad_header;
        return text;
    }
    text.version = 10 * (data[kMagicLength] - '0') + (data[kMagicLength + 2] - '0');
    if (text.version < 12 || text.version > 14) {
        result.status = LoadStatus::bad_version;
        return text;
    }
    std::size_t body = std::min(kHeaderLength + 1, size);
    if (after == '\r' && at(body) == '\n') ++body;
    text.body = bytes.data() + body;
    text.end = bytes.data() + size;
    return text;
}

LoadResult read_data_file(std::string bytes, CardDocument& doc) {
    doc.clear();
    // The document keeps the buffer: lines read as written stay in it.
    std::string& buffer = doc.hold_buffer(std::move(bytes));
    const DataFileText text = open_data_file_text(buffer);
    if (text.result.status != LoadStatus::ok) {
        doc.clear();
        return text.result;
    }
    const int version = text.version;
    doc.version = version;

    // One data line per text line after the header.
    LoadResult result = text.result;
    doc.reserve(count_line_breaks(text.body, text.end) + 1);
    classify_lines(text.body, text.end, version, [&](char* line, std::size_t length, LineClass c) {
        line[length] = '\0';  // a line kept in the buffer ends like a string
        if (c.form != LineForm::kept)
            result.rewritten.push_back({doc.count(), rewrite_reason(line[0], c.form, version)});
        switch (c.form) {
            case LineForm::kept:
                doc.append_from_buffer(c.kind, line, length);
                break;
            case LineForm::blank:
                doc.append_from_buffer(c.kind, line, 0);
                break;
            case LineForm::commented:
                line[0] = '\'';
                doc.append_from_buffer(c.kind, line, length);
                break;
            case LineForm::quoted:
                doc.append(DataLine(c.kind, line_text(line, length, c.form)));
                break;
        }
    });
    // A file with the header alone still opens with a line to work on.
    if (doc.empty()) doc.append(blank_line());
    doc.shrink_to_fit();
    return result;
}

void append_header_line(std::string& out, int version) {
    out.append(kDataFileMagic, kMagicLength);
    out.push_back(static_cast<char>('0' + version / 10 % 10));
    out.push_back('.');
    out.push_back(static_cast<char>('0' + version % 10));
    out.append("\r\n", 2);
}

void append_read_line(std::string& out, const char* line, std::size_t length, LineForm form) {
    switch (form) {
        case LineForm::kept:
            out.append(line, length);
            break;
        case LineForm::blank:
            break;
        case LineForm::commented:
            out.push_back('\'');
            out.append(line + 1, length - 1);
            break;
        case LineForm::quoted:
            out.push_back('\'');
            out.append(line, length);
            break;
    }
    out.append("\r\n", 2);
}

bool append_read_lines(std::string& out, char* p, char* end, int version) {
    const char* run = p;
    const char* run_end = p;
    bool any = false;
    classify_lines(p, end, version, [&](const char* line, std::size_t length, LineClass c) {
        any = true;
        if (c.form == LineForm::kept && line[length] == '\r' && line[length + 1] == '\n') {
            if (line != run_end) {
                out.append(run, run_end);
                run = line;
            }
            run_end = line + length + 2;
            return;
        }
        out.append(run, run_end);
        run = run_end = line + length;
        append_read_line(out, line, length, c.form);
    });
    out.append(run, run_end);
    return any;
}

std::string write_data_file(const CardDocument& doc) { return write_data_file(doc, -1, {}); }

std::string write_data_file(const CardDocument& doc, int index, std::string_view text) {
    std::size_t total = kHeaderLength + 2 + text.size();
    for (const DataLine& line : doc)
        total += line.text().size() + 2;

    std::string out;
    out.reserve(total);
    append_header_line(out, doc.version);
    int at = 0;
    for (const DataLine& line : doc) {
        out.append(at++ == index ? text : line.text());
        out.append("\r\n", 2);
    }
    return out;
}

}  // namespace qz
