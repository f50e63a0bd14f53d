#include "tool/qzotool.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "core/document/card_document.h"
#include "core/document/data_file.h"
#include "core/document/line_labels.h"
#include "core/syntax/answer.h"
#include "core/syntax/scan.h"
#include "tool/cp932_output.h"
#include "tool/find_command.h"
#include "tool/replace_file.h"
#include "tool/tool_files.h"

namespace qz::tool {

namespace {

using Args = std::vector<std::string>;

constexpr char kUsage[] =
    "usage: qzotool check FILE... | list FILE | normalize FILE OUT | answers FILE"
    " | find [--conditions HEX] TEXT FILE\n";

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitChanged = 1;
constexpr int kExitFailed = 2;

// The editor's own messages.
constexpr char kWriteFailed[] = "書き込みできません。";
constexpr char kSyntaxError[] = "構文エラーです。";

// ---------------------------------------------------------------------------
// check

// Why loading rewrites a line: `original` is the line as written in the file
// and differs from what the document holds.
const char* rewrite_reason(std::string_view original, int version) {
    if (original == "#") return "lone #; kept as a blank line";
    if (original[0] == '#') return "invalid title line; kept as a comment";
    if (original == "'") return "lone apostrophe; kept as a blank line";
    if (original[0] == '$' && version >= 14)
        return original.size() == 1 ? "lone $; kept as a blank line"
                                    : "unknown settings line; kept as a comment";
    return "invalid question line; kept as a comment";
}

// The file line numbers of the lines that hold NUL bytes, counted as the
// reader counts lines.
std::vector<int> lines_with_nul(std::string_view bytes) {
    std::vector<int> lines;
    int line = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\0') {
            if (lines.empty() || lines.back() != line) lines.push_back(line);
        } else if (c == '\r' || c == '\n' || c == kLineSeparator) {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            ++line;
        }
    }
    return lines;
}

int check_file(const std::string& path, std::ostream& out, std::ostream& err) {
    std::string bytes;
    CardDocument doc;
    if (!load(path, bytes, doc, err)) return kExitFailed;

    int status = kExitOk;
    auto finding = [&](int line_number, const char* reason) {
        out << path << ':' << line_number << ": " << reason << '\n';
        status = kExitChanged;
    };

    std::string buffer = bytes;
    normalize_line_breaks(buffer);
    // Walk the file's lines after the header beside the document's lines.
    const char* p = std::strchr(buffer.c_str(), kLineSeparator) + 1;
    const char* end = buffer.c_str() + buffer.size();
    int index = 0;
    for (auto it = doc.begin(); p < end && it != doc.end(); ++it, ++index) {
        const char* line_end = static_cast<const char*>(std::memchr(p, kLineSeparator, end - p));
        const std::string_view original(p, static_cast<std::size_t>(line_end - p));
        if (original != it->text())
            finding(CardDocument::file_line_number(index), rewrite_reason(original, doc.version));
        p = line_end + 1;
    }
    for (int line : lines_with_nul(bytes))
        finding(line, "NUL byte; removed");
    return status;
}

int run_check(const Args& files, std::ostream& out, std::ostream& err) {
    int status = kExitOk;
    for (const std::string& path : files)
        status = std::max(status, check_file(path, out, err));
    return status;
}

// ---------------------------------------------------------------------------
// list

int run_list(const Args& args, std::ostream& out, std::ostream& err) {
    std::string bytes;
    CardDocument doc;
    if (!load(args[0], bytes, doc, err)) return kExitFailed;
    int index = 0;
    for (const DataLine& line : doc) {
        out << CardDocument::file_line_number(index) << '\t' << output_text(line_label(doc, index))
            << '\t' << output_text(line.text()) << '\n';
        ++index;
    }
    return kExitOk;
}

// ---------------------------------------------------------------------------
// normalize

int run_normalize(const Args& args, std::ostream& out, std::ostream& err) {
    std::string bytes;
    CardDocument doc;
    if (!load(args[0], bytes, doc, err)) return kExitFailed;
    if (!replace_file(args[1], write_data_file(doc))) {
        report(err, args[1], kWriteFailed);
        return kExitFailed;
    }
    return kExitOk;
}

// ---------------------------------------------------------------------------
// answers

int run_answers(const Args& args, std::ostream& out, std::ostream& err) {
    std::string bytes;
    CardDocument doc;
    if (!load(args[0], bytes, doc, err)) return kExitFailed;
    int index = 0;
    for (const DataLine& line : doc) {
        if (is_question(&line)) {
            out << CardDocument::file_line_number(index);
            bool cut_short = false;
            const std::optional<std::string> expanded = expand_answer(line.c_str(), &cut_short);
            if (!expanded) {
                out << '\t' << output_text(kSyntaxError);
            } else if (cut_short && expanded->empty()) {
                out << '\t' << output_text(kAnswerCutShort);
            } else {
                std::string_view rest = *expanded;
                for (;;) {
                    const std::size_t bar = rest.find(kAlternativeSeparator);
                    out << '\t' << output_text(rest.substr(0, bar));
                    if (bar == std::string_view::npos) break;
                    rest.remove_prefix(bar + 1);
                }
                if (cut_short) out << '\t' << output_text(kAnswerCutShort);
            }
            out << '\n';
        }
        ++index;
    }
    return kExitOk;
}

// ---------------------------------------------------------------------------

struct Command {
    std::string_view name;
    std::size_t min_args;
    std::size_t max_args;  // SIZE_MAX: no limit
    int (*handler)(const Args& args, std::ostream& out, std::ostream& err);
};

constexpr std::size_t kAny = static_cast<std::size_t>(-1);

const Command kCommands[] = {
    {"check", 1, kAny, run_check},
    {"list", 1, 1, run_list},
    {"normalize", 2, 2, run_normalize},
    {"answers", 1, 1, run_answers},
    {"find", 0, kAny, run_find},
};

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        for (const Command& command : kCommands) {
            if (args[0] != command.name) continue;
            const Args rest(args.begin() + 1, args.end());
            if (rest.size() < command.min_args || rest.size() > command.max_args) break;
            const int status = command.handler(rest, out, err);
            out.flush();
            return status;
        }
    }
    err << kUsage;
    return kExitFailed;
}

}  // namespace qz::tool
