#include "tool/replace_command.h"

#include <optional>
#include <string_view>

#include "core/document/card_document.h"
#include "core/document/data_file.h"
#include "core/document/editor_model.h"
#include "core/operations/matching.h"
#include "core/operations/replace.h"
#include "tool/cp932_output.h"
#include "tool/find_command.h"
#include "platform/file_write.h"
#include "tool/tool_files.h"

namespace qz::tool {
namespace {

constexpr char kUsage[] =
    "usage: qzotool replace [--fields tqac] [--case] [--width] [--kana] FIND REPLACEMENT FILE "
    "[OUT]\n";
constexpr char kPrefix[] = "qzotool replace: ";

constexpr int kExitReplaced = 0;
constexpr int kExitNone = 1;
constexpr int kExitFailed = 2;

constexpr unsigned kAllFields = SEARCH_TITLE | SEARCH_QUESTION | SEARCH_ANSWER | SEARCH_COMMENT;
constexpr unsigned kIgnoreAll = SEARCH_IGNORE_CASE | SEARCH_IGNORE_WIDTH | SEARCH_IGNORE_KANA;

struct ReplaceArgs {
    unsigned conditions = kAllFields | kIgnoreAll;
    std::vector<std::string> operands;  // FIND REPLACEMENT FILE [OUT]
};

std::optional<unsigned> field_bits(std::string_view letters) {
    unsigned bits = 0;
    for (char c : letters) {
        switch (c) {
            case 't': bits |= SEARCH_TITLE; break;
            case 'q': bits |= SEARCH_QUESTION; break;
            case 'a': bits |= SEARCH_ANSWER; break;
            case 'c': bits |= SEARCH_COMMENT; break;
            default: return std::nullopt;
        }
    }
    if (bits == 0) return std::nullopt;
    return bits;
}

std::optional<ReplaceArgs> parse_args(const std::vector<std::string>& args, std::ostream& err) {
    ReplaceArgs parsed;
    bool options_done = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> fields;
        if (options_done || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--case") {
            parsed.conditions &= ~unsigned{SEARCH_IGNORE_CASE};
        } else if (arg == "--width") {
            parsed.conditions &= ~unsigned{SEARCH_IGNORE_WIDTH};
        } else if (arg == "--kana") {
            parsed.conditions &= ~unsigned{SEARCH_IGNORE_KANA};
        } else if (arg == "--fields" && i + 1 < args.size()) {
            fields = args[++i];
        } else if (arg.rfind("--fields=", 0) == 0) {
            fields = arg.substr(sizeof("--fields=") - 1);
        } else {
            err << kUsage;
            return std::nullopt;
        }
        if (fields) {
            const std::optional<unsigned> bits = field_bits(*fields);
            if (!bits) {
                err << kPrefix << "--fields takes letters of t (title), q (question), a (answer), "
                                  "c (comment), not '"
                    << *fields << "'\n";
                return std::nullopt;
            }
            parsed.conditions = (parsed.conditions & ~kAllFields) | *bits;
        }
    }
    if (parsed.operands.size() < 3 || parsed.operands.size() > 4) {
        err << kUsage;
        return std::nullopt;
    }
    if (parsed.operands[0].empty()) {
        err << kPrefix << "the search text is empty\n";
        return std::nullopt;
    }
    return parsed;
}

std::optional<std::string> terminal_text(const std::string& text, std::ostream& err) {
    std::string problem;
    std::optional<std::string> converted = search_text_from_terminal(text, problem);
    if (!converted) err << kPrefix << problem << '\n';
    return converted;
}

}  // namespace

int run_replace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<ReplaceArgs> parsed = parse_args(args, err);
    if (!parsed) return kExitFailed;
    const std::optional<std::string> find = terminal_text(parsed->operands[0], err);
    if (!find) return kExitFailed;
    std::optional<std::string> replacement = terminal_text(parsed->operands[1], err);
    if (!replacement) return kExitFailed;
    const std::optional<Replacer> replacer = Replacer::make(
        *find, std::move(*replacement), static_cast<SearchConditions>(parsed->conditions));
    if (!replacer) return kExitFailed;  // cannot happen: the text is not empty

    const std::string& file = parsed->operands[2];
    CardDocument loaded;
    if (!load(file, loaded, err)) return kExitFailed;
    EditorModel model(loaded);
    const ReplaceCounts counts = replace_all(model, *replacer, false);

    const bool to_other = parsed->operands.size() == 4;
    const std::string& target = to_other ? parsed->operands[3] : file;
    if ((to_other || counts.lines > 0) && replace_file_contents(target, write_data_file(model.doc())) != 0) {
        report(err, target, "書き込みできません。");
        return kExitFailed;
    }
    // One line of output for each line of the summary.
    const std::string text = replace_summary(counts);
    std::string_view summary = text;
    for (std::size_t end; (end = summary.find('\n')) != std::string_view::npos;) {
        out << output_text(summary.substr(0, end)) << '\n';
        summary.remove_prefix(end + 1);
    }
    out << output_text(summary) << '\n';
    return counts.lines > 0 ? kExitReplaced : kExitNone;
}

}  // namespace qz::tool
