#include "tool/qzotool.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/document/card_document.h"
#include "core/document/data_file.h"
#include "core/document/line_labels.h"
#include "core/exchange/text_encoding.h"
#include "core/syntax/answer.h"
#include "core/syntax/byte_search.h"
#include "core/syntax/scan.h"
#include "tool/cp932_output.h"
#include "core/image/picture_probe.h"
#include "core/operations/problem_check.h"
#include "tool/exchange_command.h"
#include "tool/find_command.h"
#include "tool/normalized_file.h"
#include "tool/replace_command.h"
#include "tool/stats_command.h"
#include "platform/file_write.h"
#include "tool/tool_files.h"
#include "tool/pictures_command.h"

namespace qz::tool {

namespace {

using Args = std::vector<std::string>;

constexpr char kUsage[] =
    "usage: qzotool check [--problems] FILE... | list FILE | normalize FILE OUT | answers FILE"
    " | find [--conditions HEX] TEXT FILE | pictures [--unused] FILE\n"
    "       qzotool replace [--fields tqac] [--case] [--width] [--kana] FIND REPLACEMENT FILE [OUT]\n"
    "       qzotool stats [--by title|group] [--format text|csv|json] [--hardest N] FILE\n"
    "       qzotool export --format tsv|csv|gift|aiken [--encoding utf-8|utf-8-bom|cp932] FILE [OUT]\n"
    "       qzotool import --format tsv|csv|gift|aiken"
    " [--encoding utf-8|utf-8-bom|cp932|utf-16le|utf-16be] [--strict] IN OUT\n";

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitChanged = 1;
constexpr int kExitFailed = 2;

// The editor's own messages.
constexpr char kWriteFailed[] = "書き込みできません。";
constexpr char kSyntaxError[] = "構文エラーです。";

// ---------------------------------------------------------------------------
// check

// Reads the file's lines in place, as the reader does, without keeping
// them; a large file in two parts at once, each counting its own lines.
int check_file(const std::string& path, std::ostream& out, std::ostream& err) {
    struct Part {
        int lines = 0;
        // The lines rewritten, by their index in the part.
        std::vector<RewrittenLine> rewritten;
    };
    Part parts[2];
    int version = 0;
    NulBytes nul;
    const bool read = map_lines_in_two_parts(
        path, err,
        [&](int v) {
            version = v;
            for (Part& part : parts) part = {};
        },
        [&](int which, char* p, char* end) {
            Part& part = parts[which];
            // Counted here, not in the part: the two parts' counts share a
            // cache line, which two threads would pass back and forth.
            int lines = part.lines;
            classify_lines(p, end, version, [&](const char* line, std::size_t, LineClass c) {
                if (c.form != LineForm::kept) part.rewritten.push_back({lines, rewrite_reason(line[0], c.form, version)});
                ++lines;
            });
            part.lines = lines;
        },
        nul);
    if (!read) return kExitFailed;
    std::string findings;
    auto finding = [&](int line_number, const char* reason) {
        findings += path + ':' + std::to_string(line_number) + ": " + reason + '\n';
    };
    int first = 0;  // the index of the part's first line
    for (const Part& part : parts) {
        for (const RewrittenLine& line : part.rewritten)
            finding(CardDocument::file_line_number(first + line.index), rewrite_reason_text(line.reason));
        first += part.lines;
    }
    for (int line : nul.lines)
        finding(line, "NUL byte; removed");
    out << findings;
    return findings.empty() ? kExitOk : kExitChanged;
}

// check --problems: what would go wrong when the quiz is played.
int check_problems_of(const std::string& path, std::ostream& out, std::ostream& err) {
    CardDocument doc;
    LoadResult read;
    if (!load(path, doc, err, &read)) return kExitFailed;
    const PictureCheck pictures{path,
                                [](const std::string& picture) { return probe_picture(picture, read_picture); },
                                [](std::string_view reference) { return cp932_to_utf8(reference); }};
    const std::vector<Problem> problems = check_problems_as_read(doc, read.rewritten, pictures);
    for (const Problem& p : problems)
        out << output_path(path) << ':' << CardDocument::file_line_number(p.index) << ": "
            << output_text(problem_kind_label(p.kind)) << ": " << output_text(p.what()) << '\n';
    return problems.empty() ? kExitOk : kExitChanged;
}

int run_check(const Args& args, std::ostream& out, std::ostream& err) {
    const bool problems = args[0] == "--problems";
    const Args files(args.begin() + (problems ? 1 : 0), args.end());
    if (files.empty()) {
        err << kUsage;
        return kExitFailed;
    }
    int status = kExitOk;
    for (const std::string& path : files)
        status = std::max(status, problems ? check_problems_of(path, out, err)
                                            : check_file(path, out, err));
    return status;
}

// ---------------------------------------------------------------------------
// list

int run_list(const Args& args, std::ostream& out, std::ostream& err) {
    CardDocument doc;
    if (!load(args[0], doc, err)) return kExitFailed;
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

// The file's lines read in place, without a document; the long runs of
// lines that stay as they are go from file to file without being copied
// through the program.
int run_normalize(const Args& args, std::ostream& out, std::ostream& err) {
    NormalizedFile normalized(file_size(args[0]));
    NulBytes nul;
    FilePtr file;
    const bool read = map_lines_in_pieces(
        args[0], err, [&](int version) { normalized.start(version); },
        [&](char* p, char* end, std::uint64_t offset) { normalized.add(p, end, offset); }, nul, &file);
    if (!read) return kExitFailed;
    if (replace_file_contents(args[1], normalized.parts(file.get())) != 0) {
        report(err, args[1], kWriteFailed);
        return kExitFailed;
    }
    return kExitOk;
}

// ---------------------------------------------------------------------------
// answers

int run_answers(const Args& args, std::ostream& out, std::ostream& err) {
    CardDocument doc;
    if (!load(args[0], doc, err)) return kExitFailed;
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
    {"pictures", 1, 2, run_pictures},
    {"replace", 0, kAny, run_replace},
    {"stats", 0, kAny, run_stats},
    {"export", 0, kAny, run_export},
    {"import", 0, kAny, run_import},
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
