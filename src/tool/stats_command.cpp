#include "tool/stats_command.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

#include "core/document/card_document.h"
#include "core/operations/marks.h"
#include "core/syntax/fields.h"
#include "tool/cp932_output.h"
#include "tool/tool_files.h"

namespace qz::tool {
namespace {

constexpr char kUsage[] =
    "usage: qzotool stats [--by title|group] [--format text|csv|json] [--hardest N] FILE\n";
constexpr int kExitOk = 0;
constexpr int kExitFailed = 2;

enum class Format { text, csv, json };

struct StatsArgs {
    StatsBy by = StatsBy::title;
    Format format = Format::text;
    int hardest = 0;
    std::string file;
};

std::optional<StatsArgs> parse_args(const std::vector<std::string>& args, std::ostream& err) {
    StatsArgs parsed;
    std::vector<std::string> operands;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool has_value = i + 1 < args.size();
        if (arg == "--by" && has_value && (args[i + 1] == "title" || args[i + 1] == "group")) {
            parsed.by = args[++i] == "group" ? StatsBy::group : StatsBy::title;
        } else if (arg == "--format" && has_value &&
                   (args[i + 1] == "text" || args[i + 1] == "csv" || args[i + 1] == "json")) {
            const std::string& f = args[++i];
            parsed.format = f == "csv" ? Format::csv : f == "json" ? Format::json : Format::text;
        } else if (arg == "--hardest" && has_value) {
            const std::string& n = args[++i];
            if (n.empty() || n.size() > 9 || !std::all_of(n.begin(), n.end(), [](char c) {
                    return c >= '0' && c <= '9';
                })) {
                err << "qzotool stats: --hardest takes a number of questions, not '" << n << "'\n";
                return std::nullopt;
            }
            parsed.hardest = std::stoi(n);
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << kUsage;
            return std::nullopt;
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 1) {
        err << kUsage;
        return std::nullopt;
    }
    parsed.file = operands[0];
    return parsed;
}

// A CSV field (RFC 4180): quoted when it holds a comma, a quote or a line break.
std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// A JSON string of UTF-8 text.
std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + '"';
}

void print_text(const MarkCounts& s, StatsBy by, std::ostream& out) {
    out << output_text(by == StatsBy::group ? "グループ" : "タイトル") << '\t'
        << output_text("問題数");
    for (int band = 0; band < kBandCount; ++band)
        out << '\t' << output_text(mark_band_label(static_cast<MarkBand>(band)));
    out << '\t' << output_text("正答率") << '\n';
    for (const SectionMarks& m : s.sections) {
        out << output_text(m.name) << '\t' << m.questions;
        for (int band = 0; band < kBandCount; ++band) out << '\t' << m.bands[static_cast<std::size_t>(band)];
        out << '\t' << rate_text(right_rate(m.right, static_cast<std::size_t>(m.questions))) << '\n';
    }
    out << output_text("合計") << '\t' << s.questions.size() << '\t'
        << output_text("正答なし") << ' ' << s.no_right << '\t' << rate_text(s.right_rate()) << '\n';
}

void print_csv(const MarkCounts& s, std::ostream& out) {
    out << "section,questions,all_right,mostly_right,mostly_wrong,all_wrong,right_marks\r\n";
    for (const SectionMarks& m : s.sections) {
        out << csv_field(output_text(m.name)) << ',' << m.questions;
        for (int band = 0; band < kBandCount; ++band) out << ',' << m.bands[static_cast<std::size_t>(band)];
        out << ',' << m.right << "\r\n";
    }
}

void print_json(const MarkCounts& s, std::ostream& out) {
    out << "{\"sections\": [";
    const char* const keys[kBandCount] = {"all_right", "mostly_right", "mostly_wrong", "all_wrong"};
    for (std::size_t i = 0; i < s.sections.size(); ++i) {
        const SectionMarks& m = s.sections[i];
        out << (i ? ",\n  " : "\n  ") << "{\"name\": " << json_string(output_text(m.name))
            << ", \"questions\": " << m.questions;
        for (int band = 0; band < kBandCount; ++band)
            out << ", \"" << keys[band] << "\": " << m.bands[static_cast<std::size_t>(band)];
        out << ", \"right_marks\": " << m.right << '}';
    }
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.4f", s.right_rate());
    out << "\n], \"questions\": " << s.questions.size() << ", \"no_right\": " << s.no_right
        << ", \"right_marks\": " << s.right << ", \"right_rate\": " << rate << "}\n";
}

}  // namespace

int run_stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<StatsArgs> parsed = parse_args(args, err);
    if (!parsed) return kExitFailed;
    CardDocument doc;
    if (!load(parsed->file, doc, err)) return kExitFailed;
    const MarkCounts s = count_marks(doc, parsed->by);
    switch (parsed->format) {
        case Format::text: print_text(s, parsed->by, out); break;
        case Format::csv: print_csv(s, out); break;
        case Format::json: print_json(s, out); break;
    }
    if (parsed->hardest > 0) {
        std::vector<QuestionMarks> hardest = s.questions;
        std::stable_sort(hardest.begin(), hardest.end(),
                         [](const QuestionMarks& a, const QuestionMarks& b) { return a.right < b.right; });
        hardest.resize(std::min(hardest.size(), static_cast<std::size_t>(parsed->hardest)));
        for (const QuestionMarks& q : hardest)
            out << parsed->file << ':' << CardDocument::file_line_number(q.index) << ": " << q.right
                << '/' << kMarkCount << ": "
                << output_text(question_display_text(doc.line_at(q.index)->c_str(), 128, doc.version))
                << '\n';
    }
    return kExitOk;
}

}  // namespace qz::tool
