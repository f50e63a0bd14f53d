#include "tool/exchange_command.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#endif

#include "core/document/card_document.h"
#include "core/document/data_file.h"
#include "core/exchange/exchange.h"
#include "core/exchange/exchange_io.h"
#include "core/exchange/text_encoding.h"
#include "core/syntax/scan.h"
#include "tool/cp932_output.h"
#include "platform/file_read.h"
#include "platform/file_write.h"
#include "core/exchange/media_export.h"
#include "core/exchange/picture_path.h"
#include "tool/tool_files.h"

namespace qz::tool {
namespace {

constexpr char kExportUsage[] =
    "usage: qzotool export --format tsv|csv|gift|aiken|moodle-xml [--encoding utf-8|utf-8-bom|cp932]\n"
    "       [--media DIR] FILE [OUT]\n";
constexpr char kImportUsage[] =
    "usage: qzotool import --format tsv|csv|gift|aiken "
    "[--encoding utf-8|utf-8-bom|cp932|utf-16le|utf-16be]\n"
    "       [--header|--no-header] [--columns ROLE,ROLE,...] [--answer-syntax] [--strict] IN OUT\n";

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;
constexpr int kExitFailed = 2;

constexpr char kWriteFailed[] = "書き込みできません。";

// The data file version an import writes.
constexpr int kImportVersion = 14;

struct EncodingKey {
    std::string_view key;
    TextEncoding encoding;
};
constexpr EncodingKey kEncodings[] = {
    {"utf-8", TextEncoding::utf8},       {"utf-8-bom", TextEncoding::utf8_bom},
    {"cp932", TextEncoding::cp932},      {"utf-16le", TextEncoding::utf16le},
    {"utf-16be", TextEncoding::utf16be},
};
// Export writes the first three.
constexpr std::size_t kExportEncodings = 3;

struct ExchangeArgs {
    std::optional<ExchangeFormat> format;
    std::optional<TextEncoding> encoding;
    bool strict = false;
    // Delimited text: whether the first row names the columns, the roles of
    // the columns, answers read as answer syntax.
    std::optional<bool> header;
    std::optional<std::vector<ColumnRole>> columns;
    bool answer_syntax = false;
    // Export of delimited text: the folder the pictures are copied into.
    std::optional<std::string> media;
    std::vector<std::string> operands;
};

// "question,answer,comment" (the dialog's names or the export's) as roles.
bool parse_columns(const std::string& value, std::vector<ColumnRole>& roles) {
    const std::string& text = value;  // arguments are UTF-8
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        ColumnRole role;
        if (!column_role_from_name(text.substr(start, comma == std::string::npos ? comma : comma - start), &role))
            return false;
        roles.push_back(role);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// The options and operands of export (import false) or import. Options
// may stand anywhere before "--"; "-" is an operand.
std::optional<ExchangeArgs> parse_args(const std::vector<std::string>& args, bool import,
                                       std::ostream& err) {
    const char* const usage = import ? kImportUsage : kExportUsage;
    const std::string prefix = import ? "qzotool import: " : "qzotool export: ";
    const std::size_t encodings = import ? std::size(kEncodings) : kExportEncodings;
    ExchangeArgs parsed;
    bool options_done = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_done || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_done = true;
            continue;
        }
        if (import && arg == "--strict") {
            parsed.strict = true;
            continue;
        }
        if (import && (arg == "--header" || arg == "--no-header")) {
            parsed.header = arg == "--header";
            continue;
        }
        if (import && arg == "--answer-syntax") {
            parsed.answer_syntax = true;
            continue;
        }
        // --format and --encoding, with the value as the next word or after '='.
        std::string name = arg, value;
        if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size() &&
                   (name == "--format" || name == "--encoding" || (import && name == "--columns") ||
                    (!import && name == "--media"))) {
            value = args[++i];
        } else {
            err << usage;
            return std::nullopt;
        }
        if (name == "--format") {
            ExchangeFormat format;
            if (!format_from_key(value, &format) || (import && format == ExchangeFormat::moodle_xml)) {
                err << prefix << "--format takes tsv, csv, gift" << (import ? " or aiken" : ", aiken or moodle-xml")
                    << ", not '" << value << "'\n";
                return std::nullopt;
            }
            parsed.format = format;
        } else if (name == "--encoding") {
            const EncodingKey* const end = kEncodings + encodings;
            const EncodingKey* const found = std::find_if(
                kEncodings, end, [&](const EncodingKey& e) { return e.key == value; });
            if (found == end) {
                err << prefix << "--encoding takes ";
                for (std::size_t k = 0; k < encodings; ++k)
                    err << (k == 0 ? "" : k + 1 == encodings ? " or " : ", ") << kEncodings[k].key;
                err << ", not '" << value << "'\n";
                return std::nullopt;
            }
            parsed.encoding = found->encoding;
        } else if (!import && name == "--media") {
            parsed.media = value;
        } else if (import && name == "--columns") {
            std::vector<ColumnRole> roles;
            if (!parse_columns(value, roles)) {
                err << prefix << "--columns takes roles separated by commas (";
                for (int r = 1; r < kColumnRoles; ++r)
                    err << output_text(column_role_label(static_cast<ColumnRole>(r))) << ", ";
                err << "ignore, or the export's column names), not '" << value << "'\n";
                return std::nullopt;
            }
            parsed.columns = std::move(roles);
        } else {
            err << usage;
            return std::nullopt;
        }
    }
    const std::size_t operands = parsed.operands.size();
    if (parsed.media && parsed.format && *parsed.format != ExchangeFormat::tsv &&
        *parsed.format != ExchangeFormat::csv) {
        err << prefix << "--media is for tsv and csv (moodle-xml carries its pictures inside)\n";
        return std::nullopt;
    }
    if (!parsed.format || (import ? operands != 2 : operands < 1 || operands > 2)) {
        err << usage;
        return std::nullopt;
    }
    return parsed;
}

// "1 card" or "n cards".
std::string count_of(int n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

#ifdef _WIN32
// The standard output of the process takes the file's bytes unchanged
// (no CR before each LF).
void binary_standard_output(std::ostream& out) {
    if (&out != &std::cout) return;
    out.flush();
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}
#endif

// The name of the file without folder and extension, as code page 932 (file
// names are UTF-8).
std::string title_from_file_name(const std::string& path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("\\/:");
#else
    const std::size_t separator = path.rfind('/');
#endif
    const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
    std::string name = path.substr(start);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    return utf8_to_cp932(decode_text(name, TextEncoding::utf8).text);
}

// IN:ROW: column N: reason, the row left out for the whole file.
void print_problem(std::ostream& err, const std::string& path, const ImportProblem& problem) {
    err << (path.empty() ? "\"\"" : path) << ':';
    if (problem.row > 0) err << problem.row << ':';
    err << ' ';
    if (problem.column > 0) err << "column " << problem.column << ": ";
    err << output_text(problem.reason) << '\n';
}

// Why Aiken left cards out: " (N not multiple choice, M ...)", or nothing.
std::string aiken_reasons(const AikenLeftOut& why) {
    std::string said;
    const auto add = [&](int count, const char* what) {
        if (count == 0) return;
        said += said.empty() ? " (" : ", ";
        said += std::to_string(count) + " " + what;
    };
    add(why.not_multiple_choice, "not multiple choice");
    add(why.too_few_answers, "with no other answer in their title to give as a wrong choice");
    add(why.unwritable, "with an empty question or choice");
    return said.empty() ? said : said + ")";
}

// Creates the folder (and those above it) unless it is there.
bool make_folder(const std::string& path) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::u8path(path);
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::string join_path(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
#ifdef _WIN32
    if (last == '\\' || last == '/' || last == ':') return folder + name;
    return folder + '\\' + name;
#else
    return last == '/' ? folder + name : folder + '/' + name;
#endif
}

}  // namespace

int run_export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<ExchangeArgs> parsed = parse_args(args, false, err);
    if (!parsed) return kExitFailed;
    const std::string& file = parsed->operands[0];
    CardDocument doc;
    if (!load(file, doc, err)) return kExitFailed;
    int skipped = 0;
    std::vector<ExchangeCard> cards =
        cards_from_document(doc, nullptr, &skipped, format_needs_alternatives(*parsed->format));
    const auto picture_bytes = [&file](const std::string& reference) -> std::optional<std::string> {
        std::string bytes;
        if (!read_picture(picture_path(file, reference), bytes).ok()) return std::nullopt;
        return bytes;
    };
    // The pictures go first, so that the references the export writes name
    // copies that are there.
    bool pictures_unread = false;
    if (parsed->media) {
        const MediaExport media = gather_media(cards, picture_bytes);
        if (!media.files.empty() && !make_folder(*parsed->media)) {
            report(err, *parsed->media, kWriteFailed);
            return kExitFailed;
        }
        for (const MediaCopy& copy : media.files) {
            const std::string target = join_path(*parsed->media, copy.name);
            if (replace_file_contents(target, copy.bytes) != 0) {
                report(err, target, kWriteFailed);
                return kExitFailed;
            }
        }
        for (const UnreadPicture& picture : media.unread) {
            for (int row : picture.rows)
                err << output_path(file) << ':' << row << ": picture not read, not copied: "
                    << output_text(picture.reference) << '\n';
        }
        pictures_unread = !media.unread.empty();
    }
    ExportOptions options;
    if (parsed->encoding) options.encoding = *parsed->encoding;
    if (*parsed->format == ExchangeFormat::moodle_xml) options.picture_bytes = picture_bytes;
    AikenLeftOut why;
    const ExportResult result = export_cards(cards, *parsed->format, options, &why);

    const bool to_file = parsed->operands.size() == 2 && parsed->operands[1] != "-";
    if (to_file) {
        const std::string& target = parsed->operands[1];
        if (replace_file_contents(target, result.bytes) != 0) {
            report(err, target, kWriteFailed);
            return kExitFailed;
        }
    } else {
#ifdef _WIN32
        binary_standard_output(out);
#endif
        out.write(result.bytes.data(), static_cast<std::streamsize>(result.bytes.size()));
    }
    for (const std::string& reference : result.unread_pictures)
        err << file << ": picture not read, written as a reference only: " << output_text(reference) << '\n';
    if (result.left_out > 0 || result.cut_short > 0 || skipped > 0 || result.undecodable > 0) {
        err << output_path(file) << ": " << count_of(result.cards, "card", "cards") << " written";
        if (result.left_out > 0)
            err << ", " << result.left_out << " left out" << aiken_reasons(why);
        if (result.cut_short > 0)
            err << ", " << count_of(result.cut_short, "card", "cards")
                << " with only the alternatives expanded before the limit (the answer stands for too many)";
        if (skipped > 0)
            err << ", " << count_of(skipped, "line that is no question", "lines that are no questions")
                << " skipped";
        if (result.undecodable > 0)
            err << ", " << count_of(static_cast<int>(result.undecodable), "byte", "bytes")
                << " that are no code page 932 characters written as U+FFFD";
        err << '\n';
    }
    return pictures_unread ? kExitProblems : kExitOk;
}

int run_import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    (void)out;
    const std::optional<ExchangeArgs> parsed = parse_args(args, true, err);
    if (!parsed) return kExitFailed;
    const std::string& in = parsed->operands[0];
    const std::string& target = parsed->operands[1];

    std::string bytes;
    const ReadResult read = read_file_bytes(in, bytes, kMaxImportFileBytes);
    if (!read.ok()) {
        report(err, in, read.message);
        return kExitFailed;
    }
    ImportRequest request;
    request.format = *parsed->format;
    // Delimited text: detection finds the separator and the columns; the
    // encoding is the one given, if any.
    DelimitedLayout layout;
    const TextEncoding* const encoding = parsed->encoding ? &*parsed->encoding : nullptr;
    if (request.format == ExchangeFormat::tsv || request.format == ExchangeFormat::csv) {
        DelimitedChoice choice;
        choice.encoding = encoding;
        if (parsed->header) choice.names_row = &*parsed->header;
        if (parsed->columns) choice.columns = &*parsed->columns;
        const bool answer_syntax = true;
        if (parsed->answer_syntax) choice.answer_syntax = &answer_syntax;
        layout = detect_delimited(bytes, choice);
        request.layout = &layout;
    } else {
        request.encoding = encoding;
    }
    if (request.format == ExchangeFormat::aiken || request.format == ExchangeFormat::gift)
        request.title = title_from_file_name(in);
    ImportResult result = import_cards(bytes, request);
    if (!result.failure.empty()) {
        report(err, in, result.failure);
        return kExitFailed;
    }

    std::vector<ImportProblem> problems = std::move(result.problems);
    std::vector<DataLine> lines = lines_from_cards(result.cards, kImportVersion, &problems);
    std::stable_sort(problems.begin(), problems.end(),
                     [](const ImportProblem& a, const ImportProblem& b) { return a.row < b.row; });
    // Columns left unread are data lost unless the roles were given.
    bool troubled = result.unread_columns > 0;
    for (const ImportProblem& problem : problems) {
        print_problem(err, in, problem);
        troubled = troubled || problem.kind != ImportProblem::notice;
    }
    if (troubled && parsed->strict) return kExitProblems;

    CardDocument doc;
    doc.version = kImportVersion;
    for (DataLine& line : lines) doc.append(std::move(line));
    if (replace_file_contents(target, write_data_file(doc)) != 0) {
        report(err, target, kWriteFailed);
        return kExitFailed;
    }
    return troubled ? kExitProblems : kExitOk;
}

}  // namespace qz::tool
