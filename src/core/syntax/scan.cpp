// Shift-JIS aware scanning and field escaping.
//
// The scanners over NUL-terminated line text rely on two facts of code page
// 932: a lead byte is never NUL, so the byte after it may always be read,
// and a valid trail byte is never NUL, 0x01, 0x03, ',' or '\''. A lead byte
// followed by anything but a valid trail byte is a single-byte character.
#include "core/syntax/scan.h"

#include <array>
#include <cstring>

#include "core/syntax/byte_search.h"

namespace qz {

namespace {

constexpr bool lead_byte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

constexpr bool trail_byte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// A double-byte character at text[i], inside the view.
bool double_byte_at(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && lead_byte(static_cast<unsigned char>(text[i])) &&
           trail_byte(static_cast<unsigned char>(text[i + 1]));
}

// What a byte means to field_length.
enum ByteClass : unsigned char {
    ORDINARY,
    FIELD_END,  // ',', 0x01 or NUL
    BACKSLASH,
    LEAD,  // a lead byte: a double-byte character when a trail byte follows
};

constexpr std::array<unsigned char, 256> make_field_classes() {
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        if (c == '\0' || c == kLineSeparator || c == ',') {
            classes[c] = FIELD_END;
        } else if (c == '\\') {
            classes[c] = BACKSLASH;
        } else if (lead_byte(static_cast<unsigned char>(c))) {
            classes[c] = LEAD;
        } else {
            classes[c] = ORDINARY;
        }
    }
    return classes;
}

constexpr std::array<unsigned char, 256> kFieldClasses = make_field_classes();

unsigned char byte_at(const char* p) {
    return static_cast<unsigned char>(*p);
}

// Bytes of the character at p: 2 for a double-byte character, else 1.
// p must not point at the end of the line.
int char_length(const char* p) {
    return is_double_byte_char(p) ? 2 : 1;
}

// Past the closing quote of an image reference whose file name starts at p
// (right after the opening quote); null when the line ends first.
const char* skip_quoted_name(const char* p) {
    while (!is_line_end(*p)) {
        if (*p == '"') return p + 1;
        p += char_length(p);
    }
    return nullptr;
}

}  // namespace

bool is_double_byte_char(const char* p) {
    return lead_byte(byte_at(p)) && trail_byte(byte_at(p + 1));
}

std::size_t image_reference_end(std::string_view text, std::size_t i) {
    if (i + 2 >= text.size() || text[i] != '\\' || text[i + 1] != 'i' || text[i + 2] != '"')
        return std::string_view::npos;
    for (std::size_t j = i + 3; j < text.size(); j += double_byte_at(text, j) ? 2 : 1) {
        if (text[j] == '"') return j + 1;
    }
    return std::string_view::npos;
}

int line_end_length(const char* start) {
    // No trail byte is 0x01 or NUL, so the first one ends the line.
    return static_cast<int>(std::strcspn(start, "\x01"));
}

int field_length(const char* start, bool images) {
    const char* p = start;
    for (;;) {
        switch (kFieldClasses[byte_at(p)]) {
            case FIELD_END:
                return static_cast<int>(p - start);
            case ORDINARY:
                ++p;
                break;
            case LEAD:
                p += trail_byte(byte_at(p + 1)) ? 2 : 1;
                break;
            case BACKSLASH:
                ++p;
                if (is_line_end(*p)) break;  // a backslash cannot escape the line end
                if (images && *p == 'i') {
                    if (p[1] != '"') return -1;
                    p = skip_quoted_name(p + 2);
                    if (!p) return -1;
                } else {
                    p += char_length(p);
                }
                break;
        }
    }
}

int comment_start_length(const char* start) {
    return static_cast<int>(std::strcspn(start, "'\x01"));
}

int plain_value_length(const char* start) {
    // No trail byte is ',', 0x03, 0x01 or NUL: stepping over double-byte
    // characters finds the same end as a plain byte search.
    return static_cast<int>(std::strcspn(start, ",\x03\x01"));
}

namespace {

bool is_answer_syntax(char c) {
    return c == '(' || c == ')' || c == '[' || c == ']' || c == '|';
}

}  // namespace

std::size_t ordinary_run_end(std::string_view text, std::size_t i, std::string_view stops) {
    const char* const begin = text.data();
    const std::size_t n = text.size();
    // ASCII text is passed over sixteen bytes at a time.
    i = static_cast<std::size_t>(find_any_byte(begin + i, begin + n, stops, true) - begin);
    if (i == n || static_cast<unsigned char>(text[i]) < 0x80) return i;
    // Past the first character above ASCII, byte by byte: in Japanese text
    // a search call per character would cost more than it saves.
    std::uint64_t stop[2] = {0, 0};
    for (const char c : stops) stop[(c >> 6) & 1] |= std::uint64_t{1} << (c & 63);
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (stop[c >> 6] >> (c & 63) & 1) return i;
            ++i;
        } else if (!lead_byte(c)) {
            ++i;
        } else if (i + 1 < n && trail_byte(static_cast<unsigned char>(text[i + 1]))) {
            i += 2;
        } else {
            return i;
        }
    }
    return i;
}

namespace {

// The end of the run of backslashes that starts at text[i].
std::size_t backslash_run_end(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] == '\\') ++i;
    return i;
}

// The end of the reference \i"..." at text[i] when a run of backslashes
// before it is kept as stored: its path holds no backslash of its own and
// nothing that ends a field (the field scanner reads such a run as pairs of
// backslashes and the path as plain text), so that the run reads the same
// stored and typed; any other is written the old way, each backslash of the
// run but the last doubled.
std::size_t run_reference_end(std::string_view text, std::size_t i) {
    const std::size_t end = image_reference_end(text, i);
    if (end == std::string_view::npos) return end;
    for (std::size_t j = i + 3; j + 1 < end; j += double_byte_at(text, j) ? 2 : 1)
        if (text[j] == '\\' || text[j] == ',' || text[j] == '\x03') return std::string_view::npos;
    return end;
}

}  // namespace

std::string unescape_text(std::string_view text, unsigned /*charset*/, int version, int flags) {
    // Without a backslash byte (which may also be a trail byte) every byte
    // stays as it is: most fields.
    const char* const end = text.data() + text.size();
    if (find_byte(text.data(), end, '\\') == end) return std::string(text);
    const bool old_format = version <= 13;
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        // Everything up to the next backslash stays as it is, copied whole.
        if (const std::size_t run = ordinary_run_end(text, i, "\\"); run > i) {
            out.append(text, i, run - i);
            i = run;
            if (i == n) break;
        }
        const char c = text[i];
        if (double_byte_at(text, i)) {
            out.append(text, i, 2);
            i += 2;
            continue;
        }
        if (c != '\\') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 == n) {  // a backslash as the last byte
            if (!old_format) out += c;
            ++i;
            continue;
        }
        const char next = text[i + 1];
        if (!old_format && next == '\\' && flags) {
            // A run before a mark or a reference is shown as stored.
            const std::size_t run = backslash_run_end(text, i);
            const std::size_t reference =
                flags & KEEP_IMAGE_REFERENCES ? run_reference_end(text, run - 1) : std::string_view::npos;
            if (reference != std::string_view::npos ||
                ((flags & KEEP_ANSWER_SYNTAX) && run < n && is_answer_syntax(text[run]))) {
                const std::size_t end = reference != std::string_view::npos ? reference : run;
                out.append(text, i, end - i);
                i = end;
                continue;
            }
            // Else each pair of the run stands for one backslash, the run
            // scanned once rather than again at every pair.
            const std::size_t pairs = (run - i) / 2;
            out.append(pairs, '\\');
            i += 2 * pairs;
            continue;
        }
        if (next == 'n') {
            out += "\r\n";
            i += 2;
        } else if (old_format) {
            // The backslash goes; the character after it stays as it is (a
            // double-byte character whole, so its trail byte is not read as
            // syntax).
            const std::size_t length = double_byte_at(text, i + 1) ? 2 : 1;
            out.append(text, i + 1, length);
            i += 1 + length;
        } else if (next == ',' || next == '\\') {
            out += next;
            i += 2;
        } else if (std::size_t end = image_reference_end(text, i);
                   end != std::string_view::npos) {
            // A picture's path is shown exactly as stored: its backslashes are
            // folder separators, not escapes.
            out.append(text, i, end - i);
            i = end;
        } else if ((flags & KEEP_ANSWER_SYNTAX) && !is_answer_syntax(next)) {
            ++i;  // the expansion reads "\#" as "#"
        } else {
            out += c;  // markup such as \( or \i"..." stays as written
            ++i;
        }
    }
    return out;
}

std::string copy_unescaped(const char* start, int length, unsigned charset, int version) {
    const std::size_t size = length < 0 ? std::strlen(start) : static_cast<std::size_t>(length);
    return unescape_text(std::string_view(start, size), charset, version);
}

namespace {

// A lead byte that is not the first of a double-byte character.
bool lone_lead_at(std::string_view text, std::size_t i) {
    return lead_byte(static_cast<unsigned char>(text[i])) && !double_byte_at(text, i);
}

// Whether escaping puts a backslash in front of the byte.
bool gets_backslash(char c, int flags) {
    return c == ',' || c == '\r' || c == '\n' || (c == '\'' && (flags & ESCAPE_APOSTROPHE));
}

// The end of the image reference that starts at text[i] when escaping may
// keep it whole: closed, and without a line break, which escaping has to
// write as "\\n" and which unescaping would then find inside the reference.
std::size_t kept_reference_end(std::string_view text, std::size_t i) {
    const std::size_t end = image_reference_end(text, i);
    if (end == std::string_view::npos) return end;
    return text.substr(i, end - i).find_first_of("\r\n") == std::string_view::npos
               ? end
               : std::string_view::npos;
}

}  // namespace

std::string escape_text(std::string_view text, unsigned charset, int flags) {
    std::string out;
    append_escaped_text(out, text, charset, flags);
    return out;
}

void append_escaped_text(std::string& out, std::string_view text, unsigned /*charset*/, int flags) {
    // Nothing that gets a backslash or is one (a trail byte too): the text
    // as it is, as most texts are.
    if (find_any_byte(text.data(), text.data() + text.size(), "\\\r\n,'") == text.data() + text.size()) {
        out.append(text);
        return;
    }
    out.reserve(out.size() + text.size() + text.size() / 8 + 4);
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        // What gets no backslash and starts nothing is copied whole.
        if (const std::size_t run = ordinary_run_end(text, i, "\\\r\n,'"); run > i) {
            out.append(text, i, run - i);
            i = run;
            if (i == n) break;
        }
        const char c = text[i];
        if (double_byte_at(text, i)) {
            out.append(text, i, 2);
            i += 2;
            continue;
        }
        // The backslash escaping puts after a lone lead byte would pair up
        // with it into a double-byte character.
        if (i + 1 < n && lone_lead_at(text, i) && gets_backslash(text[i + 1], flags)) {
            out += '?';
            ++i;
            continue;
        }
        switch (c) {
            case '\\': {
                // A run before a reference or a mark is kept as typed.
                const std::size_t run = backslash_run_end(text, i);
                // A longer run is kept only where the reader keeps it
                // (run_reference_end); else this backslash is doubled and
                // the run's last one decides.
                std::size_t end = std::string_view::npos;
                if (flags & KEEP_IMAGE_REFERENCES) {
                    end = kept_reference_end(text, run - 1);
                    if (run - i > 1 && run_reference_end(text, run - 1) != end) end = std::string_view::npos;
                }
                if (end != std::string_view::npos) {
                    out.append(text, i, end - i);
                    i = end;
                } else if ((flags & KEEP_ANSWER_SYNTAX) && run < n && is_answer_syntax(text[run])) {
                    out.append(text, i, run + 1 - i);
                    i = run + 1;
                } else {
                    // So is every backslash of the run before its last one,
                    // which decides for itself: the run is scanned once, not
                    // again at every backslash.
                    const std::size_t doubled = run - i > 1 ? run - 1 - i : 1;
                    out.append(2 * doubled, '\\');
                    i += doubled;
                }
                break;
            }
            case '\r':
                out += "\\n";
                i += (i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
                break;
            case '\n':
                out += "\\n";
                ++i;
                break;
            case ',':
                out += "\\,";
                ++i;
                break;
            case '\'':
                if (flags & ESCAPE_APOSTROPHE) out += '\\';
                out += c;
                ++i;
                break;
            default:
                out += c;
                ++i;
                break;
        }
    }
}

std::string format_decimal(int value) {
    return std::to_string(value);
}

int str_to_int(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned value = 0;  // unsigned: overflow wraps instead of being undefined
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + static_cast<unsigned>(text[i] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

int str_to_int(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p == '-' || *p == '+') ++p;
    while (*p >= '0' && *p <= '9')
        ++p;
    return str_to_int(std::string_view(text, static_cast<std::size_t>(p - text)));
}

}  // namespace qz
