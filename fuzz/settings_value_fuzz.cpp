// Settings line scanners over arbitrary bytes: every value they return lies
// within the line.
#include "core/document/card_document.h"
#include "core/document/line_queries.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"
#include "fuzz_require.h"

namespace {

void check_value(int (*value)(const char*, const char**), const char* text, int line_length) {
    const char* start = nullptr;
    const int length = value(text, &start);
    require(length >= -1);
    require_within(text, line_length, start, length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The view and the copy are exactly sized (see exact_copy).
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto buffer = exact_copy(data, size);
    const char* text = buffer.get();
    const int line_length = qz::line_end_length(text);

    const int kind = qz::settings_kind(text);
    require(kind == 0 || (kind >= qz::LINE_TIME_LIMIT && kind <= qz::LINE_MESSAGE) ||
          (kind >= qz::LINE_FONT_TITLE && kind <= qz::LINE_FONT_COMMENT));
    require(qz::settings_prefix(kind).empty() == (kind == 0));
    if (kind != 0) require(qz::settings_kind(qz::settings_prefix(kind).c_str()) == kind);

    check_value(qz::settings_value1, text, line_length);
    check_value(qz::settings_value2, text, line_length);
    check_value(qz::settings_value3, text, line_length);
    const char* start = nullptr;
    const int comment = qz::font_line_comment(text, &start);
    require(comment >= -1);
    if (comment > 0) require_within(text, line_length, start, comment);
    if (!qz::is_font_kind(kind)) require(comment == -1);

    qz::FontSpec font;
    qz::parse_font_values(text, font);
    require(font.face.size() <= qz::kMaxFaceName);

    const int value_length = qz::escaped_value_length(text);
    require(value_length >= 0 && value_length <= line_length);
    require(qz::unescape_value(std::string_view(text, value_length)).size() <=
          static_cast<std::size_t>(value_length));

    const int charset = qz::charset_from_name(input);
    require(charset >= -1);
    if (charset >= 0 && !input.empty() && (input[0] < '0' || input[0] > '9')) {
        require(qz::charset_from_name(qz::charset_to_name(charset)) == charset);
    }
    if (size >= 4) {
        int value;
        std::memcpy(&value, data, sizeof value);
        const std::string name = qz::charset_to_name(value);
        require(name.empty() == (value < 0));
        if (value >= 0) require(qz::charset_from_name(name) == value);
    }

    // The same text as the group names line of a document.
    qz::CardDocument doc;
    doc.append(qz::DataLine(qz::LINE_GROUP, std::string(text, line_length)));
    for (int index = 0; index <= 10; ++index) {
        const std::string name = qz::group_name(doc, index);
        require(index == 10 || !name.empty());
    }
    return 0;
}
