#include "tool/cp932_output.h"

#include "core/exchange/text_encoding.h"
#include "core/syntax/scan.h"

#ifndef _WIN32
#include <iconv.h>

#include <cerrno>
#endif

namespace qz::tool {

namespace {

void append_hex_byte(std::string& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 0x0F]);
}

bool is_control(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

bool cp932_output = false;

// The bytes with control bytes written as "\xNN".
std::string escape_controls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (is_control(static_cast<unsigned char>(c)))
            append_hex_byte(out, static_cast<unsigned char>(c));
        else
            out.push_back(c);
    }
    return out;
}

#ifndef _WIN32
// One conversion descriptor for the process; it is reset before each
// character, so no state carries over from a failed conversion.
class Cp932ToUtf8 {
  public:
    Cp932ToUtf8() : cd_(iconv_open("UTF-8", "CP932")) {}
    ~Cp932ToUtf8() {
        if (ok()) iconv_close(cd_);
    }
    Cp932ToUtf8(const Cp932ToUtf8&) = delete;
    Cp932ToUtf8& operator=(const Cp932ToUtf8&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Appends the UTF-8 form of one character; false when it has none.
    bool append(std::string& out, const char* ch, std::size_t length) {
        if (!ok()) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char in_buffer[2] = {ch[0], length > 1 ? ch[1] : '\0'};
        char out_buffer[16];
        char* in = in_buffer;
        char* to = out_buffer;
        std::size_t in_left = length;
        std::size_t out_left = sizeof(out_buffer);
        if (iconv(cd_, &in, &in_left, &to, &out_left) == static_cast<std::size_t>(-1) ||
            in_left != 0)
            return false;
        out.append(out_buffer, to);
        return true;
    }

  private:
    iconv_t cd_;
};
#endif

}  // namespace

std::string output_text(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 2);
#ifndef _WIN32
    static Cp932ToUtf8 converter;
#endif
    // A copy that ends in NUL, for the double-byte test at the last byte.
    const std::string text(cp932);
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (is_control(byte)) {
            append_hex_byte(out, byte);
            ++i;
            continue;
        }
        if (byte < 0x80) {
            out.push_back(static_cast<char>(byte));
            ++i;
            continue;
        }
        const std::size_t length = is_double_byte_char(text.c_str() + i) ? 2 : 1;
#ifdef _WIN32
        std::size_t bad = 0;
        const std::string utf8 = cp932_output ? std::string() : cp932_to_utf8(text.substr(i, length), &bad);
        if (cp932_output)
            out.append(text, i, length);
        else if (bad == 0)
            out += utf8;
        else
            for (std::size_t k = 0; k < length; ++k)
                append_hex_byte(out, static_cast<unsigned char>(text[i + k]));
#else
        if (!converter.append(out, text.c_str() + i, length)) {
            for (std::size_t k = 0; k < length; ++k)
                append_hex_byte(out, static_cast<unsigned char>(text[i + k]));
        }
#endif
        i += length;
    }
    return out;
}

std::string output_path(std::string_view utf8) {
    return escape_controls(cp932_output ? utf8_to_cp932(utf8) : std::string(utf8));
}

void set_cp932_output(bool cp932) {
#ifdef _WIN32
    cp932_output = cp932;
#else
    (void)cp932;
#endif
}

}  // namespace qz::tool
