// Scanners and escaping over arbitrary bytes: every length lies within the
// line, and escaping then unescaping gives the text back (as a field and as
// a settings value a comment may follow).
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"
#include "fuzz_require.h"
#include "support/test_text.h"

using qz::test::normalize_breaks;

namespace {

// The escapes take a field's character set but do not depend on it: one is
// enough (each more ran every escape again for the same result).
constexpr unsigned kCharset = 128;

bool lead_byte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The text as escaping and unescaping give it back: a lone lead byte right
// before ',' or a line break (or an apostrophe, when apostrophes are
// escaped) becomes '?', lone CR and LF become CR LF.
std::string expected_round_trip(std::string_view text, bool apostrophes = false) {
    std::string out(text);
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        if (!lead_byte(static_cast<unsigned char>(out[i]))) continue;
        if (qz::is_double_byte_char(out.c_str() + i)) {
            ++i;
            continue;
        }
        const char next = out[i + 1];
        if (next == ',' || next == '\r' || next == '\n' || (apostrophes && next == '\'')) out[i] = '?';
    }
    return normalize_breaks(out);
}

// Positions a scanner starts from: every one of a line up to this long;
// of a longer line those this near either end (each start within a block
// of bytes the scanners look at together, each distance to the line's end
// a block holds), not every one of the middle too, which made the checks
// of a long line grow with the square of its length (milliseconds for a
// line of 4 KB, most of the target's time).
constexpr int kEveryStartUpTo = 256;
constexpr int kStartsAtEachEnd = kEveryStartUpTo / 2;

// The scanners from the starting positions of the line.
void check_scanners(const char* line, int line_length) {
    for (int pos = 0; pos <= line_length; ++pos) {
        if (line_length > kEveryStartUpTo && pos == kStartsAtEachEnd) pos = line_length - kStartsAtEachEnd;
        const char* p = line + pos;
        const int rest = line_length - pos;
        require(qz::line_end_length(p) == rest);

        const int field = qz::field_length(p, false);
        require(field >= 0 && field <= rest);
        require(p[field] == ',' || qz::is_line_end(p[field]));

        const int image_field = qz::field_length(p, true);
        require(image_field >= -1 && image_field <= rest);
        if (image_field >= 0) require(p[image_field] == ',' || qz::is_line_end(p[image_field]));

        const int comment = qz::comment_start_length(p);
        require(comment >= 0 && comment <= rest);
        require(p[comment] == '\'' || qz::is_line_end(p[comment]));
        require(std::memchr(p, '\'', comment) == nullptr);

        const int plain = qz::plain_value_length(p);
        require(plain >= 0 && plain <= rest);
        require(p[plain] == ',' || p[plain] == qz::kAlternativeSeparator ||
              qz::is_line_end(p[plain]));
        require(std::memchr(p, ',', plain) == nullptr &&
                std::memchr(p, qz::kAlternativeSeparator, plain) == nullptr);
    }
}

void check_round_trip(std::string_view text) {
    const std::string expected = expected_round_trip(text);
    const bool one_line = text.find_first_of(std::string_view("\0\x01", 2)) == std::string::npos;
    const std::string escaped = qz::escape_text(text, kCharset, 0);
    for (int version : {12, 13, 14}) {
        require(qz::unescape_text(escaped, kCharset, version) == expected);
    }
    if (one_line) {
        // The escaped field holds no line break and no separator of its
        // own, and "\\i" in it never starts a picture reference.
        require(escaped.find_first_of("\r\n") == std::string::npos);
        const std::string line = escaped + ",";
        require(qz::field_length(line.c_str(), false) == static_cast<int>(escaped.size()));
        require(qz::field_length(line.c_str(), true) == static_cast<int>(escaped.size()));
        // With references kept, a field ends at its separator unless a
        // reference is left open.
        const std::string kept = qz::escape_text(text, kCharset, qz::KEEP_IMAGE_REFERENCES) + ",";
        const int length = qz::field_length(kept.c_str(), true);
        require(length == -1 || length == static_cast<int>(kept.size()) - 1);
        // A settings value written with escaped apostrophes ends where its
        // comment begins.
        const std::string value = qz::escape_text(text, kCharset, qz::ESCAPE_APOSTROPHE);
        const std::string setting = value + "'comment";
        const int value_length = qz::escaped_value_length(setting.c_str());
        require(value_length == static_cast<int>(value.size()));
        require(qz::unescape_value(std::string_view(setting.c_str(), value_length)) ==
                expected_round_trip(text, true));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The view and the copy are exactly sized (see exact_copy).
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto buffer = exact_copy(data, size);
    const char* text = buffer.get();

    // Every line of the text, as the file reader's working buffer holds them.
    const char* line = text;
    for (;;) {
        const int length = qz::line_end_length(line);
        check_scanners(line, length);
        if (line[length] == '\0') break;
        line += length + 1;
    }

    check_round_trip(input);

    // Unescaping and escaping arbitrary text with any flags: bounded results.
    for (int version : {13, 14}) {
        require(qz::unescape_text(input, kCharset, version).size() <= input.size());
    }
    for (int flags = 0; flags < 8; ++flags) {
        require(qz::escape_text(input, kCharset, flags).size() <= 2 * input.size());
    }
    return 0;
}
