#include "core/exchange/wide_text.h"

#include "core/exchange/cp932_table.h"
#include "core/exchange/text_encoding.h"

namespace qz {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The character at cp932[i] and how many bytes it takes.
char16_t cp932_char(std::string_view cp932, std::size_t i, std::size_t* length) {
    const auto c = static_cast<unsigned char>(cp932[i]);
    *length = 1;
    if (c < 0x80) return c;
    const int li = cp932_lead_index(c);
    if (li < 0) {
        const char32_t u = cp932_single_byte(c);
        return u ? static_cast<char16_t>(u) : kUndefinedCp932;
    }
    if (i + 1 >= cp932.size()) return kUndefinedCp932;
    const auto t = static_cast<unsigned char>(cp932[i + 1]);
    if (t < 0x40 || t == 0x7F || t > 0xFC) return kUndefinedCp932;
    *length = 2;
    const std::uint16_t u = kCp932DoubleByte[li][t - 0x40];
    return u ? static_cast<char16_t>(u) : kUndefinedCp932;
}

// The code point at text[i] (U+FFFD for a lone surrogate) and its units.
char32_t utf16_char(std::u16string_view text, std::size_t i, std::size_t* length) {
    const char32_t c = text[i];
    *length = 1;
    if (c < 0xD800 || c > 0xDFFF) return c;
    if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        *length = 2;
        return 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    return kReplacement;
}

std::uint16_t code_for(char32_t c) {
    if (c == 0xA5) return 0x5C;
    if (c == 0x203E) return 0x7E;
    if (c >= 0xD800 && c <= 0xDFFF) return 0;
    return c == 0 ? 0x100 : cp932_code(c);  // 0x100: NUL, which has a form
}

}  // namespace

std::u16string cp932_to_utf16(std::string_view cp932) {
    std::u16string out;
    out.reserve(cp932.size());
    for (std::size_t i = 0; i < cp932.size();) {
        std::size_t length = 0;
        out += cp932_char(cp932, i, &length);
        i += length;
    }
    return out;
}

std::size_t cp932_to_utf16(std::string_view cp932, char16_t* out, std::size_t capacity) {
    if (capacity == 0) return 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < cp932.size() && n + 1 < capacity;) {
        std::size_t length = 0;
        out[n++] = cp932_char(cp932, i, &length);
        i += length;
    }
    out[n] = 0;
    return n;
}

std::string utf16_to_cp932(std::u16string_view text, std::vector<char32_t>* lost) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        const char32_t c = utf16_char(text, i, &length);
        i += length;
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const std::uint16_t code = length == 1 && c != kReplacement ? code_for(c) : 0;
        if (code >= 0x100) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else if (code) {
            out += static_cast<char>(code);
        } else {
            out += kSubstituteCp932;
            if (lost) lost->push_back(length == 2 || c != kReplacement ? c : text[i - 1]);
        }
    }
    return out;
}

bool fits_cp932(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        const char32_t c = utf16_char(text, i, &length);
        i += length;
        if (c >= 0x80 && (length == 2 || c == kReplacement || !code_for(c))) return false;
    }
    return true;
}

std::u16string utf8_to_utf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 0;
        const char32_t c = next_code_point(utf8, i, &length);
        i += length;
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string utf16_to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        append_utf8(out, utf16_char(text, i, &length));
        i += length;
    }
    return out;
}

}  // namespace qz
