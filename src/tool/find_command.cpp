#include "tool/find_command.h"
#include "tool/tool_files.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "core/document/card_document.h"
#include "core/exchange/text_encoding.h"
#include "core/document/data_file.h"
#include "core/operations/matching.h"
#include "core/syntax/byte_search.h"
#include "core/prefs/preferences.h"
#include "tool/cp932_output.h"

#ifndef _WIN32
#include <iconv.h>

#include <cerrno>
#endif

namespace qz::tool {

namespace {

constexpr char kUsage[] = "usage: qzotool find [--conditions HEX] TEXT FILE\n";
constexpr char kPrefix[] = "qzotool find: ";

// Exit statuses.
constexpr int kExitFound = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitFailed = 2;

// The editor's message for a file it cannot read.

// Field bits of the conditions byte; at least one must be set.
constexpr unsigned kFieldBits = SEARCH_TITLE | SEARCH_QUESTION | SEARCH_ANSWER | SEARCH_COMMENT;
// The one bit of the byte that means nothing.
constexpr unsigned kUnusedBit = 0x08;

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One or two hex digits, optionally after "0x".
std::optional<unsigned> parse_hex_byte(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 2) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        const int digit = hex_digit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return value;
}

struct FindArgs {
    unsigned conditions = kDefaultSearchConditions;
    std::string text;  // as given on the command line
    std::string file;
};

// Parses the words after "find"; none after a message.
std::optional<FindArgs> parse_args(const std::vector<std::string>& args, std::ostream& err) {
    FindArgs parsed;
    std::vector<std::string> operands;
    std::optional<std::string> hex;
    bool options_done = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_done || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--conditions" && i + 1 < args.size()) {
            hex = args[++i];
        } else if (arg.rfind("--conditions=", 0) == 0) {
            hex = arg.substr(sizeof("--conditions=") - 1);
        } else {
            err << kUsage;
            return std::nullopt;
        }
    }
    if (operands.size() != 2) {
        err << kUsage;
        return std::nullopt;
    }
    if (hex) {
        const std::optional<unsigned> value = parse_hex_byte(*hex);
        if (!value) {
            err << kPrefix << "--conditions takes one byte in hexadecimal (such as F7), not '"
                << *hex << "'\n";
            return std::nullopt;
        }
        if (*value & kUnusedBit) {
            err << kPrefix << "--conditions " << *hex << ": bit 08 is not a search condition\n";
            return std::nullopt;
        }
        if (!(*value & kFieldBits)) {
            err << kPrefix << "--conditions " << *hex
                << " searches no field: set at least one of 10 (title), 20 (question), "
                   "40 (answer), 80 (comment)\n";
            return std::nullopt;
        }
        parsed.conditions = *value;
    }
    parsed.text = operands[0];
    parsed.file = operands[1];
    if (parsed.text.empty()) {
        err << kPrefix << "the search text is empty\n";
        return std::nullopt;
    }
    return parsed;
}

#ifndef _WIN32
// Bytes of the UTF-8 sequence that starts with `lead` (1 for a byte that
// cannot start one).
std::size_t utf8_sequence_length(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

// Describes the character at the start of `rest`, where conversion stopped.
std::string describe_unconvertible(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    const std::size_t length = utf8_sequence_length(lead);
    char hex[16];
    bool valid = length > 1 && length <= rest.size();
    unsigned long code_point = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    for (std::size_t i = 1; valid && i < length; ++i) {
        const auto byte = static_cast<unsigned char>(rest[i]);
        valid = (byte & 0xC0) == 0x80;
        code_point = code_point << 6 | (byte & 0x3F);
    }
    if (!valid) {
        std::snprintf(hex, sizeof(hex), "0x%02X", lead);
        return std::string("the search text is not UTF-8 (byte ") + hex + ")";
    }
    std::snprintf(hex, sizeof(hex), "U+%04lX", code_point);
    return "the search text has a character that code page 932 cannot hold: " +
           std::string(rest.substr(0, length)) + " (" + hex + ")";
}
#endif

}  // namespace

void LineFinder::read(char* p, char* end) {
    const std::string& required = table_.required;
    const char* hit = required.empty() ? end : find_bytes(p, end, required);
    if (!required.empty() && hit == end && !title_hit_) {
        // No line here can match, and no title here can start to: the
        // lines are only counted (the last one may lack its line break).
        const char last = end > p ? end[-1] : '\n';
        const bool open_line = last != '\r' && last != '\n' && last != '\x01';
        index_ += static_cast<int>(count_line_breaks(p, end)) + (open_line ? 1 : 0);
        return;
    }
    const bool titles = table_.conditions & SEARCH_TITLE;
    split_lines(p, end, [&](const char* line, std::size_t length) {
        const char* const line_end = line + length;
        while (hit < line) hit = find_bytes(hit + 1, end, required);
        const bool candidate = required.empty() || hit + required.size() <= line_end;
        bool match = title_hit_;
        if (candidate || line[0] == '#') {
            const LineClass c = classify_line(line, length, version_);
            if (c.kind == LINE_TITLE) title_hit_ = titles && candidate && title_contains(line, table_);
            match = title_hit_;
            if (!match && candidate && c.form != LineForm::blank) {
                const char* text = line;
                if (c.form == LineForm::commented) {
                    comment_.assign(line, length);
                    comment_[0] = '\'';
                    text = comment_.c_str();
                } else if (c.form == LineForm::quoted) {
                    comment_.assign(1, '\'');
                    comment_.append(line, length);
                    text = comment_.c_str();
                }
                match = fields_contain(text, table_);
            }
        }
        if (match) {
            numbers_ += std::to_string(CardDocument::file_line_number(index_));
            numbers_ += '\n';
        }
        ++index_;
    });
}

std::optional<std::string> search_text_from_terminal(std::string_view text, std::string& problem) {
#ifdef _WIN32
    // Arguments are UTF-8 (from the UTF-16 command line).
    std::vector<std::string> lost;
    std::string cp932 = utf8_to_cp932(text, &lost);
    if (!lost.empty()) {
        problem = "'" + output_path(lost.front()) + "' has no code page 932 form";
        return std::nullopt;
    }
    return cp932;
#else
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        problem = "no conversion from UTF-8 to code page 932 is available";
        return std::nullopt;
    }
    std::string input(text);
    // Code page 932 never needs more bytes than UTF-8 for the same text.
    std::string output(2 * input.size() + 4, '\0');
    char* in = input.data();
    std::size_t in_left = input.size();
    char* to = output.data();
    std::size_t out_left = output.size();
    const std::size_t result = iconv(cd, &in, &in_left, &to, &out_left);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || in_left != 0) {
        problem = describe_unconvertible(std::string_view(in, in_left));
        return std::nullopt;
    }
    output.resize(static_cast<std::size_t>(to - output.data()));
    return output;
#endif
}

int run_find(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<FindArgs> parsed = parse_args(args, err);
    if (!parsed) return kExitFailed;

    std::string problem;
    const std::optional<std::string> text = search_text_from_terminal(parsed->text, problem);
    if (!text) {
        err << kPrefix << problem << '\n';
        return kExitFailed;
    }

    const std::optional<MatchTable> table =
        build_match_table(*text, static_cast<SearchConditions>(parsed->conditions));
    if (!table) return kExitNotFound;  // cannot happen: the text is not empty
    std::optional<LineFinder> finder;
    NulBytes nul;
    if (!read_lines_in_pieces(
            parsed->file, err, [&](int version) { finder.emplace(*table, version); },
            [&](char* p, char* end, std::uint64_t) { finder->read(p, end); }, nul))
        return kExitFailed;
    const std::string& numbers = finder->numbers();
    const bool found = !numbers.empty();
    out << numbers;
    out.flush();
    return found ? kExitFound : kExitNotFound;
}

}  // namespace qz::tool
