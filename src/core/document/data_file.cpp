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

// A line that failed its check: its marker byte becomes the apostrophe of a
// comment line and the rest stays as written.
DataLine marker_to_comment(std::string text) {
    text[0] = '\'';
    return DataLine(LINE_TEXT, std::move(text));
}

DataLine classify_title(const char* line, std::size_t length) {
    // "#" alone would become a lone apostrophe, which reads back as a blank
    // line; it is a blank line right away, as "'" and "$" alone are.
    if (length == 1) return blank_line();
    std::string text(line, length);
    const char* comment = nullptr;
    if (check_title_line(text.c_str(), &comment) < 0) return marker_to_comment(std::move(text));
    return DataLine(LINE_TITLE, std::move(text));
}

DataLine classify_comment(const char* line, std::size_t length) {
    if (length == 1) return blank_line();
    return DataLine(LINE_TEXT, std::string(line, length));
}

DataLine classify_question(const char* line, std::size_t length) {
    const char* comment = nullptr;
    if (check_question_line(line, &comment) >= 0)
        return DataLine(LINE_TEXT, std::string(line, length));
    // Not a question line: an apostrophe in front keeps the whole line as a
    // comment.
    std::string text;
    text.reserve(length + 1);
    text.push_back('\'');
    text.append(line, length);
    return DataLine(LINE_TEXT, std::move(text));
}

DataLine classify_settings(const char* line, std::size_t length) {
    if (length == 1) return blank_line();  // "$" alone
    std::string text(line, length);
    const int kind = settings_kind(text.c_str());
    if (is_settings_kind(kind)) return DataLine(kind, std::move(text));
    return marker_to_comment(std::move(text));
}

// Chooses the classifier by the first byte of the line.
DataLine classify_line_of_length(const char* line, std::size_t length, int version) {
    if (length == 0) return blank_line();
    switch (line[0]) {
        case '#':
            return classify_title(line, length);
        case '\'':
            return classify_comment(line, length);
        case '$':
            if (version >= 14) return classify_settings(line, length);
            break;
        default:
            break;
    }
    return classify_question(line, length);
}

}  // namespace

namespace {

// The line on which text[pos] stands, counted from 1.
int line_number_at(std::string_view text, std::size_t pos) {
    int line = 1;
    for (std::size_t i = 0; i < pos; ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < pos && text[i + 1] == '\n') ++i;
        if (c == '\r' || c == '\n' || c == kLineSeparator) ++line;
    }
    return line;
}

}  // namespace

NulBytes normalize_line_breaks(std::string& buffer) {
    // NUL bytes go; the text around them stays.
    NulBytes nul;
    if (const std::size_t first = buffer.find('\0'); first != std::string::npos) {
        nul.first_line = line_number_at(buffer, first);
        const auto kept = std::remove(buffer.begin() + static_cast<std::ptrdiff_t>(first),
                                      buffer.end(), '\0');
        nul.count = static_cast<std::size_t>(buffer.end() - kept);
        buffer.erase(kept, buffer.end());
    }
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

DataLine classify_data_line(const char* line, int version) {
    return classify_line_of_length(line, line_length(line), version);
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

LoadResult read_data_file(std::string bytes, CardDocument& doc) {
    LoadResult result;
    doc.clear();
    result.nul_bytes = normalize_line_breaks(bytes);
    if (bytes.compare(0, kMagicLength, kDataFileMagic) != 0) {
        result.status = LoadStatus::not_data_file;
        return result;
    }
    result.magic_matched = true;

    // The buffer ends with 0x01; a NUL stands for every byte past it.
    const char* data = bytes.c_str();
    const std::size_t size = bytes.size();
    auto at = [&](std::size_t i) { return i < size ? data[i] : '\0'; };
    if (!is_digit(at(kMagicLength)) || at(kMagicLength + 1) != '.' ||
        !is_digit(at(kMagicLength + 2)) || at(kHeaderLength) != kLineSeparator) {
        result.status = LoadStatus::bad_header;
        return result;
    }
    const int version = 10 * (data[kMagicLength] - '0') + (data[kMagicLength + 2] - '0');
    if (version < 12 || version > 14) {
        result.status = LoadStatus::bad_version;
        return result;
    }
    doc.version = version;

    // One data line per text line after the header.
    const char* end = data + size;
    for (const char* p = data + kHeaderLength + 1; p < end;) {
        const char* line_end = static_cast<const char*>(std::memchr(p, kLineSeparator, end - p));
        doc.append(classify_line_of_length(p, static_cast<std::size_t>(line_end - p), version));
        p = line_end + 1;
    }
    // A file with the header alone still opens with a line to work on.
    if (doc.empty()) doc.append(blank_line());
    return result;
}

std::string write_data_file(const CardDocument& doc) {
    std::size_t total = kHeaderLength + 2;
    for (const DataLine& line : doc)
        total += line.text().size() + 2;

    std::string out;
    out.reserve(total);
    out.append(kDataFileMagic, kMagicLength);
    out.push_back(static_cast<char>('0' + doc.version / 10 % 10));
    out.push_back('.');
    out.push_back(static_cast<char>('0' + doc.version % 10));
    out.append("\r\n", 2);
    for (const DataLine& line : doc) {
        out.append(line.text());
        out.append("\r\n", 2);
    }
    return out;
}

}  // namespace qz
