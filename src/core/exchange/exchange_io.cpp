#include "core/exchange/exchange_io.h"

#include <algorithm>

#include "core/exchange/aiken.h"
#include "core/exchange/gift.h"
#include "core/exchange/moodle_xml.h"

namespace qz {
namespace {

std::string lower_extension(std::string_view name) {
    const std::size_t slash = name.find_last_of("/\\");
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    std::string ext(name.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

bool is_utf16(TextEncoding e) { return e == TextEncoding::utf16le || e == TextEncoding::utf16be; }

}  // namespace

ExchangeFormat guess_format(std::string_view file_name, std::string_view bytes) {
    const std::string ext = lower_extension(file_name);
    if (ext == "tsv") return ExchangeFormat::tsv;
    if (ext == "csv") return ExchangeFormat::csv;
    if (ext == "gift") return ExchangeFormat::gift;
    const std::string text = decode_text(bytes.substr(0, 64 * 1024), detect_encoding(bytes)).text;
    // Aiken: an "ANSWER:" line; GIFT: an answer block in braces or a category.
    if (text.starts_with("ANSWER:") || text.find("\nANSWER:") != std::string::npos) return ExchangeFormat::aiken;
    if (text.find("$CATEGORY:") != std::string::npos) return ExchangeFormat::gift;
    const std::size_t open = text.find('{');
    if (open != std::string::npos && text.find('}', open) != std::string::npos &&
        text.find('\t') == std::string::npos)
        return ExchangeFormat::gift;
    const std::size_t line_end = text.find('\n');
    const std::string_view first = std::string_view(text).substr(0, line_end);
    if (first.starts_with("#separator:")) return first.find("Comma") != std::string_view::npos ? ExchangeFormat::csv : ExchangeFormat::tsv;
    return first.find('\t') == std::string_view::npos && first.find_first_of(",;") != std::string_view::npos
               ? ExchangeFormat::csv
               : ExchangeFormat::tsv;
}

ImportResult import_cards(std::string_view bytes, const ImportRequest& request) {
    ImportResult result;
    if (bytes.empty()) {
        result.failure = "ファイルが空です。";
        return result;
    }
    if (bytes.size() > kMaxImportFileBytes) {
        result.failure = "ファイルが大きすぎます（最大 256 MB）。";
        return result;
    }
    const bool delimited = request.format == ExchangeFormat::tsv || request.format == ExchangeFormat::csv;
    const TextEncoding encoding = delimited && request.layout ? request.layout->encoding
                                  : request.encoding && !delimited ? *request.encoding
                                                                   : detect_encoding(bytes);
    if (!is_utf16(encoding) && bytes.find('\0') != std::string_view::npos) {
        result.failure = "テキストファイルではありません（NUL バイトがあります）。";
        return result;
    }
    if (delimited) {
        // Decoded once, for the layout and the rows.
        const DecodedText decoded = decode_text(bytes, encoding);
        return read_delimited(decoded, request.layout ? *request.layout : detect_delimited(decoded, encoding),
                              request.groups);
    }
    switch (request.format) {
    case ExchangeFormat::tsv:
    case ExchangeFormat::csv: break;
    case ExchangeFormat::gift: result = read_gift(bytes, encoding, request.title); break;
    case ExchangeFormat::aiken: result = read_aiken(bytes, encoding, request.title); break;
    case ExchangeFormat::moodle_xml: result.failure = "Moodle XML は書き出しだけができます。"; break;
    }
    return result;
}

ExportResult export_cards(const std::vector<ExchangeCard>& cards, ExchangeFormat format,
                          const ExportOptions& options, AikenLeftOut* why) {
    switch (format) {
    case ExchangeFormat::tsv:
    case ExchangeFormat::csv: return write_delimited(cards, format, options);
    case ExchangeFormat::gift: return write_gift(cards, options);
    case ExchangeFormat::aiken: return write_aiken(cards, options, why);
    case ExchangeFormat::moodle_xml: return write_moodle_xml(cards, options);
    }
    return {};
}

}  // namespace qz
