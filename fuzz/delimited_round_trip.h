// What both delimited fuzz targets do with cards: export them, import the
// export (nothing refused) and make lines of the cards read back (nothing
// refused either).
#pragma once

#include <vector>

#include "core/document/card_document.h"
#include "core/exchange/exchange_io.h"
#include "fuzz_require.h"

inline std::vector<qz::DataLine> through_export(const std::vector<qz::ExchangeCard>& cards, qz::ExchangeFormat format,
                                                qz::TextEncoding encoding) {
    qz::ExportOptions options;
    options.encoding = encoding;
    const qz::ExportResult exported = qz::export_cards(cards, format, options);
    qz::ImportRequest request;
    request.format = format;
    const qz::ImportResult again = qz::import_cards(exported.bytes, request);
    require(again.problems.empty());
    std::vector<qz::ImportProblem> problems;
    std::vector<qz::DataLine> back = qz::lines_from_cards(again.cards, 14, &problems);
    require(problems.empty());
    return back;
}

// The format and encoding an input goes through, told by its length.
inline qz::ExchangeFormat format_for(std::size_t size) {
    return size % 2 ? qz::ExchangeFormat::csv : qz::ExchangeFormat::tsv;
}
// Code page 932 holds every character of the lines; UTF-8 too.
inline qz::TextEncoding encoding_for(std::size_t size) {
    return size % 3 ? qz::TextEncoding::utf8 : qz::TextEncoding::cp932;
}
