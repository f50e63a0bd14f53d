// One entry for every exchange format: reading a file into cards and
// writing cards as a file.
#pragma once

#include <string>
#include <string_view>

#include "core/exchange/aiken.h"
#include "core/exchange/delimited.h"

namespace qz {

// The format a file is most likely in, from its name (.tsv, .csv, .gift)
// and, for any other name (.txt), its text: GIFT braces, Aiken "ANSWER:"
// lines, else delimited text (tsv; csv when its first row holds no tab).
ExchangeFormat guess_format(std::string_view file_name, std::string_view bytes);

struct ImportRequest {
    ExchangeFormat format = ExchangeFormat::tsv;
    // Delimited text: the layout (detect_delimited's when null).
    const DelimitedLayout* layout = nullptr;
    // Other formats: the encoding (detect_encoding's when null).
    const TextEncoding* encoding = nullptr;
    // The title of Aiken questions and of GIFT questions under no category
    // (the file's name without its extension, code page 932).
    std::string title;
    GroupNames groups = builtin_group_names();
};

// Reads the file's bytes; a file that is empty, larger than
// kMaxImportFileBytes or binary (NUL bytes in a text that is not UTF-16)
// gives a failure and no cards.
ImportResult import_cards(std::string_view bytes, const ImportRequest& request);

// `why`, when given, counts by reason the cards Aiken leaves out.
ExportResult export_cards(const std::vector<ExchangeCard>& cards, ExchangeFormat format,
                          const ExportOptions& options, AikenLeftOut* why = nullptr);

}  // namespace qz
