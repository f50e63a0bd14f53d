// Settings line scanners over arbitrary bytes: every value they return lies
// within the line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "document/card_document.h"
#include "prefs/preferences.h"
#include "syntax/scan.h"
#include "syntax/settings_line.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// start + length within [text, text + line_length].
void check_span(const char* text, int line_length, int length, const char* start) {
    if (length < 0) return;
    check(start >= text && start + length <= text + line_length);
}

void check_value(int (*value)(const char*, const char**), const char* text, int line_length) {
    const char* start = nullptr;
    const int length = value(text, &start);
    check(length >= -1);
    check_span(text, line_length, length, start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly sized buffers, so that AddressSanitizer sees any read past the
    // NUL or past the end of a view.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto buffer = std::make_unique<char[]>(size + 1);
    std::memcpy(buffer.get(), data, size);
    const char* text = buffer.get();
    const int line_length = qz::line_end_length(text);

    const int kind = qz::settings_kind(text);
    check(kind == 0 || (kind >= qz::LINE_TIME_LIMIT && kind <= qz::LINE_MESSAGE) ||
          (kind >= qz::LINE_FONT_TITLE && kind <= qz::LINE_FONT_COMMENT));
    check(qz::settings_prefix(kind).empty() == (kind == 0));
    if (kind != 0) check(qz::settings_kind(qz::settings_prefix(kind).c_str()) == kind);

    check_value(qz::settings_value1, text, line_length);
    check_value(qz::settings_value2, text, line_length);
    check_value(qz::settings_value3, text, line_length);
    const char* start = nullptr;
    const int comment = qz::font_line_comment(text, &start);
    check(comment >= -1);
    if (comment > 0) check_span(text, line_length, comment, start);
    if (!qz::is_font_kind(kind)) check(comment == -1);

    qz::FontSpec font;
    qz::parse_font_values(text, font);
    check(font.face.size() <= qz::kMaxFaceName);

    const int value_length = qz::escaped_value_length(text);
    check(value_length >= 0 && value_length <= line_length);
    check(qz::unescape_value(std::string_view(text, value_length)).size() <=
          static_cast<std::size_t>(value_length));

    const int charset = qz::charset_from_name(input);
    check(charset >= -1);
    if (charset >= 0 && !input.empty() && (input[0] < '0' || input[0] > '9')) {
        check(qz::charset_from_name(qz::charset_to_name(charset)) == charset);
    }
    if (size >= 4) {
        int value;
        std::memcpy(&value, data, sizeof value);
        const std::string name = qz::charset_to_name(value);
        check(name.empty() == (value < 0));
        if (value >= 0) check(qz::charset_from_name(name) == value);
    }

    // The same text as a group names line and as a font line of a document.
    qz::CardDocument doc;
    doc.append(qz::DataLine(qz::LINE_GROUP, std::string(text, line_length)));
    doc.append(qz::DataLine(qz::LINE_FONT_ANSWER, std::string(text, line_length)));
    for (int index = 0; index <= 10; ++index) {
        const std::string name = qz::group_name(doc, index);
        check(index == 10 || !name.empty());
    }
    qz::Preferences prefs;
    qz::fill_default_preferences(prefs);
    qz::FontSpec in_effect;
    check(qz::font_spec_in_effect(doc, doc.line_at(1), qz::LINE_FONT_ANSWER, prefs, in_effect));
    check(in_effect.face.size() <= qz::kMaxFaceName);
    return 0;
}
