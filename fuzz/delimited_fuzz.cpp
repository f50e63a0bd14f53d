// Delimited text -> cards -> lines -> cards -> delimited text -> cards.
// Reading any bytes never fails hard. The cards read become lines that read
// back as the cards were given; exporting those lines and importing the
// export, in both separators and in either encoding, gives the same lines.
#include <vector>

#include "core/document/card_document.h"
#include "core/exchange/exchange_io.h"
#include "fuzz_require.h"

namespace {

std::vector<std::string> texts(const std::vector<qz::DataLine>& lines) {
    std::vector<std::string> out;
    for (const qz::DataLine& line : lines) out.emplace_back(line.text());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qz::ImportRequest request;
    request.format = qz::ExchangeFormat::csv;
    const qz::ImportResult first = qz::import_cards(bytes, request);
    for (const qz::ImportProblem& p : first.problems) require(!p.reason.empty());
    std::vector<qz::ImportProblem> problems;
    std::vector<qz::DataLine> lines = qz::lines_from_cards(first.cards, 14, &problems);
    if (lines.empty()) return 0;

    const std::vector<std::string> expected = texts(lines);
    qz::CardDocument doc;
    for (qz::DataLine& line : lines) doc.append(std::move(line));
    const std::vector<qz::ExchangeCard> cards = qz::cards_from_document(doc);
    const qz::ExchangeFormat format = size % 2 ? qz::ExchangeFormat::csv : qz::ExchangeFormat::tsv;
    // Code page 932 holds every character of the lines; UTF-8 too.
    const qz::TextEncoding encoding = size % 3 ? qz::TextEncoding::utf8 : qz::TextEncoding::cp932;
    const qz::ExportResult exported = qz::export_cards(cards, format, {encoding});
    request.format = format;
    const qz::ImportResult again = qz::import_cards(exported.bytes, request);
    require(again.problems.empty());
    problems.clear();
    const std::vector<qz::DataLine> back = qz::lines_from_cards(again.cards, 14, &problems);
    require(problems.empty());
    require(texts(back) == expected);
    return 0;
}
