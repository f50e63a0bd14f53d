#include "core/exchange/text_encoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "core/exchange/cp932_table.h"
#include "core/syntax/byte_search.h"

namespace qz {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Single bytes above ASCII: half-width katakana, and the four bytes Windows
// gives private code points.
char32_t single_byte(unsigned char c) {
    if (c < 0x80) return c;
    if (c >= 0xA1 && c <= 0xDF) return 0xFF61 + (c - 0xA1);
    if (c == 0x80) return 0x80;
    if (c == 0xA0) return 0xF8F0;
    if (c >= 0xFD) return 0xF8F1 + (c - 0xFD);
    return 0;
}

// Code point to code page 932 (a byte, or lead * 256 + trail; 0: none).
// Where several pairs give one character, the one Windows writes wins:
// JIS X 0208 and the NEC row before the IBM extensions, and those before
// the NEC-selected copies of the IBM extensions (lead bytes 0xED, 0xEE).
class ReverseTable {
public:
    ReverseTable() : codes_(std::make_unique<std::uint16_t[]>(0x10000)) {
        for (int pass = 0; pass < 2; ++pass) {
            for (int lead = 0; lead < 256; ++lead) {
                const int li = cp932_lead_index(static_cast<unsigned char>(lead));
                if (li < 0 || (lead == 0xED || lead == 0xEE) != (pass == 1)) continue;
                for (int t = 0; t < kCp932Trails; ++t) {
                    const std::uint16_t u = kCp932DoubleByte[li][t];
                    if (u && !codes_[u]) codes_[u] = static_cast<std::uint16_t>(lead * 256 + 0x40 + t);
                }
            }
        }
        for (int c = 0x80; c < 0x100; ++c)
            if (char32_t u = single_byte(static_cast<unsigned char>(c))) codes_[u] = static_cast<std::uint16_t>(c);
        // The JIS forms of characters code page 932 maps to other code points.
        static constexpr std::pair<char32_t, char32_t> kJisForms[] = {
            {0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x2016, 0x2225}, {0x2014, 0x2015},
            {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}};
        for (auto [jis, windows] : kJisForms) codes_[jis] = codes_[windows];
    }
    // 0 for none; ASCII maps to itself (NUL included, as 0 with `found`).
    std::uint16_t operator[](char32_t u) const { return u < 0x10000 ? codes_[u] : 0; }

private:
    std::unique_ptr<std::uint16_t[]> codes_;
};

const ReverseTable& reverse_table() {
    static const ReverseTable table;
    return table;
}

// Where the run of ASCII bytes that starts at bytes[i] ends.
std::size_t ascii_run_end(std::string_view bytes, std::size_t i) {
    const char* const begin = bytes.data();
    return static_cast<std::size_t>(find_any_byte(begin + i, begin + bytes.size(), {}, true) - begin);
}

void append_replacement(DecodedText& out) {
    out.bad.push_back(out.text.size());
    append_utf8(out.text, kReplacement);
}

void decode_utf8(std::string_view bytes, DecodedText& out) {
    out.text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII are copied whole.
        const std::size_t run = ascii_run_end(bytes, i);
        out.text.append(bytes.substr(i, run - i));
        i = run;
        if (i >= bytes.size()) break;
        std::size_t length = 0;
        const char32_t c = next_code_point(bytes, i, &length);
        if (c == kReplacement && length == 1) append_replacement(out);
        else out.text.append(bytes.substr(i, length));
        i += length;
    }
}

// The character of code page 932 at bytes[i] (above ASCII), 0 when it is
// undefined, and its length: an undefined pair is still one character's
// two bytes.
char32_t next_cp932(std::string_view bytes, std::size_t i, std::size_t* length) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    *length = 1;
    const int li = cp932_lead_index(c);
    if (li < 0) return single_byte(c);
    const auto t = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    const char32_t u = t >= 0x40 && t <= 0xFC ? kCp932DoubleByte[li][t - 0x40] : 0;
    if (u || (t >= 0x40 && t != 0x7F)) *length = 2;
    return u;
}

// A code point as UTF-8 at `o` (room for four bytes); after it.
char* put_utf8(char* o, char32_t c) {
    if (c < 0x80) {
        *o++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *o++ = static_cast<char>(0xC0 | c >> 6);
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *o++ = static_cast<char>(0xE0 | c >> 12);
        *o++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *o++ = static_cast<char>(0xF0 | c >> 18);
        *o++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
        *o++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return o;
}

// Code page 932 bytes as UTF-8 appended to `out`; bad(position) for each
// undefined byte or pair, written as U+FFFD at that position of `out`.
// Written into room made a piece at a time (three bytes of UTF-8 at most
// for each byte), not appended character by character.
template <class Bad>
void append_decoded_cp932(std::string& out, std::string_view bytes, Bad&& bad) {
    constexpr std::size_t kPiece = 16 * 1024;
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    std::size_t written = out.size();
    for (const char* p = begin; p < end;) {
        // A double-byte character may end one byte past the piece.
        const char* const piece_end = end - p > static_cast<std::ptrdiff_t>(kPiece) ? p + kPiece : end;
        out.resize(written + 3 * static_cast<std::size_t>(piece_end - p) + 3);
        char* const base = out.data();
        char* o = base + written;
        while (p < piece_end) {
            if (static_cast<unsigned char>(*p) < 0x80) {
                // Runs of ASCII are copied whole.
                const char* const run = find_any_byte(p, piece_end, {}, true);
                std::memcpy(o, p, static_cast<std::size_t>(run - p));
                o += run - p;
                p = run;
                continue;
            }
            std::size_t length = 1;
            char32_t u = next_cp932(bytes, static_cast<std::size_t>(p - begin), &length);
            if (!u) {
                bad(static_cast<std::size_t>(o - base));
                u = kReplacement;
            }
            o = put_utf8(o, u);
            p += length;
        }
        written = static_cast<std::size_t>(o - base);
    }
    out.resize(written);
}

void decode_cp932(std::string_view bytes, DecodedText& out) {
    append_decoded_cp932(out.text, bytes, [&out](std::size_t at) { out.bad.push_back(at); });
}

void decode_utf16(std::string_view bytes, bool big_endian, DecodedText& out) {
    out.text.reserve(bytes.size() * 3 / 2);
    auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return big_endian ? (a << 8 | b) : (b << 8 | a);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                append_utf8(out.text, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) append_replacement(out);
        else append_utf8(out.text, c);
    }
    if (i < bytes.size()) append_replacement(out);
}

bool starts_with(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::uint16_t cp932_code(char32_t c) {
    return c < 0x80 ? static_cast<std::uint16_t>(c) : reverse_table()[c];
}

char32_t cp932_single_byte(unsigned char c) {
    return c < 0x80 ? 0 : single_byte(c);
}

const char* encoding_name(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::utf8: return "UTF-8";
    case TextEncoding::utf8_bom: return "UTF-8 (BOM 付き)";
    case TextEncoding::cp932: return "Shift-JIS (CP932)";
    case TextEncoding::utf16le: return "UTF-16LE";
    case TextEncoding::utf16be: return "UTF-16BE";
    }
    return "";
}

namespace {

// Whether the 16-bit units of the bytes (the high byte first for big
// endian) look like text: no U+0000, surrogates only in pairs, and most
// units line breaks, tabs, printable ASCII or CJK and kana.
bool reads_as_utf16(std::string_view bytes, bool big_endian) {
    std::size_t units = 0, likely = 0;
    bool high_surrogate = false;
    const std::size_t n = std::min<std::size_t>(bytes.size() & ~std::size_t{1}, 1 << 16);
    for (std::size_t i = 0; i < n; i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        const char32_t u = big_endian ? (a << 8) | b : (b << 8) | a;
        if (u == 0) return false;
        const bool high = u >= 0xD800 && u <= 0xDBFF, low = u >= 0xDC00 && u <= 0xDFFF;
        if (low != high_surrogate) return false;
        high_surrogate = high;
        ++units;
        if (u == '\t' || u == '\r' || u == '\n' || (u >= 0x20 && u < 0x7F) || (u >= 0x3000 && u <= 0x9FFF) ||
            (u >= 0xFF00 && u <= 0xFFEF) || (u >= 0xA0 && u <= 0x24F) || high || low)
            ++likely;
    }
    return units > 0 && likely * 10 >= units * 9;
}

}  // namespace

TextEncoding detect_encoding(std::string_view bytes) {
    if (starts_with(bytes, "\xEF\xBB\xBF")) return TextEncoding::utf8_bom;
    if (starts_with(bytes, "\xFF\xFE")) return TextEncoding::utf16le;
    if (starts_with(bytes, "\xFE\xFF")) return TextEncoding::utf16be;
    // UTF-16 without a byte-order mark: NUL bytes (the high bytes of line
    // breaks, tabs and ASCII), an even length, and units that read as text.
    if (bytes.size() % 2 == 0 && bytes.find('\0') != std::string_view::npos) {
        std::size_t even = 0, odd = 0;
        for (std::size_t i = 0; i < bytes.size() && i < (1 << 16); ++i)
            if (bytes[i] == '\0') ++(i % 2 ? odd : even);
        if (odd > even && reads_as_utf16(bytes, false)) return TextEncoding::utf16le;
        if (even > odd && reads_as_utf16(bytes, true)) return TextEncoding::utf16be;
    }
    // Code page 932 reads most UTF-8 as some pairs or other, so the test is
    // UTF-8's: a few bad bytes among many good sequences are still UTF-8
    // (their rows are refused), anything else is code page 932. But code
    // page 932 text can read as many good sequences too (0x9F 0xCE 0x9F
    // 0xCE... is one bad byte, then U+039F again and again): where code
    // page 932 reads the bytes with fewer undefined ones, it is that.
    std::size_t sequences = 0, bad = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            i = ascii_run_end(bytes, i);
            continue;
        }
        std::size_t length = 0;
        next_code_point(bytes, i, &length);
        ++(length == 1 ? bad : sequences);
        i += length;
    }
    if (bad == 0) return TextEncoding::utf8;
    return sequences >= 4 * bad && cp932_undefined(bytes, bad) >= bad ? TextEncoding::utf8 : TextEncoding::cp932;
}

DecodedText decode_text(std::string_view bytes, TextEncoding encoding) {
    DecodedText out;
    switch (encoding) {
    case TextEncoding::utf8:
    case TextEncoding::utf8_bom:
        if (starts_with(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
        decode_utf8(bytes, out);
        break;
    case TextEncoding::cp932:
        decode_cp932(bytes, out);
        break;
    case TextEncoding::utf16le:
    case TextEncoding::utf16be: {
        const bool big = encoding == TextEncoding::utf16be;
        if (starts_with(bytes, big ? "\xFE\xFF" : "\xFF\xFE")) bytes.remove_prefix(2);
        decode_utf16(bytes, big, out);
        break;
    }
    }
    return out;
}

std::string cp932_to_utf8(std::string_view cp932, std::size_t* bad) {
    std::string out;
    append_cp932_as_utf8(out, cp932, bad);
    return out;
}

void append_cp932_as_utf8(std::string& out, std::string_view cp932, std::size_t* bad) {
    append_decoded_cp932(out, cp932, [bad](std::size_t) {
        if (bad) ++*bad;
    });
}

std::size_t cp932_undefined(std::string_view bytes, std::size_t limit) {
    std::size_t bad = 0;
    for (std::size_t i = 0; i < bytes.size() && bad < limit;) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            i = ascii_run_end(bytes, i);
            continue;
        }
        std::size_t length = 1;
        if (!next_cp932(bytes, i, &length)) ++bad;
        i += length;
    }
    return bad;
}

char32_t next_code_point(std::string_view text, std::size_t i, std::size_t* length) {
    const auto c = static_cast<unsigned char>(text[i]);
    *length = 1;
    if (c < 0x80) return c;
    int n = 0;
    char32_t u = 0, min = 0;
    if (c >= 0xC2 && c <= 0xDF) n = 1, u = c & 0x1F, min = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) n = 2, u = c & 0x0F, min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) n = 3, u = c & 0x07, min = 0x10000;
    else return kReplacement;
    if (i + n >= text.size()) return kReplacement;
    for (int k = 1; k <= n; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return kReplacement;
        u = u << 6 | (b & 0x3F);
    }
    if (u < min || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return kReplacement;
    *length = static_cast<std::size_t>(n) + 1;
    return u;
}

void append_utf8(std::string& out, char32_t c) {
    // The bytes of the sequence first, then one append.
    char bytes[4];
    out.append(bytes, put_utf8(bytes, c));
}

std::string utf8_to_cp932(std::string_view utf8, std::vector<std::string>* lost) {
    const ReverseTable& table = reverse_table();
    // No character grows: code page 932 takes at most as many bytes as UTF-8.
    std::string out(utf8.size(), '\0');
    char* o = out.data();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            // ASCII stays as it is: the run copied at once.
            const std::size_t run = ascii_run_end(utf8, i);
            std::memcpy(o, utf8.data() + i, run - i);
            o += run - i;
            i = run;
            continue;
        }
        std::size_t length = 0;
        const char32_t u = next_code_point(utf8, i, &length);
        const std::uint16_t code = u == kReplacement ? 0 : table[u];
        if (code >= 0x100) {
            *o++ = static_cast<char>(code >> 8);
            *o++ = static_cast<char>(code & 0xFF);
        } else if (code) {
            *o++ = static_cast<char>(code);
        } else {
            // An invalid byte (length 1) takes less room than "〓".
            if (length < 2) {
                const std::size_t at = static_cast<std::size_t>(o - out.data());
                out.resize(out.size() + 1);
                o = out.data() + at;
            }
            *o++ = kSubstituteCp932[0];
            *o++ = kSubstituteCp932[1];
            if (lost) lost->emplace_back(utf8.substr(i, length));
        }
        i += length;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string encode_text(std::string_view utf8, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::utf8: return std::string(utf8);
    case TextEncoding::utf8_bom: return "\xEF\xBB\xBF" + std::string(utf8);
    case TextEncoding::cp932: return utf8_to_cp932(utf8);
    case TextEncoding::utf16le:
    case TextEncoding::utf16be: break;
    }
    const bool big = encoding == TextEncoding::utf16be;
    std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
    auto put = [&](char32_t unit) {
        const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
        out += big ? hi : lo;
        out += big ? lo : hi;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 0;
        const char32_t u = next_code_point(utf8, i, &length);
        if (u >= 0x10000) {
            put(0xD800 + ((u - 0x10000) >> 10));
            put(0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            put(u);
        }
        i += length;
    }
    return out;
}

}  // namespace qz
