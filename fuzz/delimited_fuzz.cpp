// Delimited text -> cards -> lines -> cards -> delimited text -> cards.
// Reading any bytes never fails hard. The cards read become lines that read
// back as the cards were given; exporting those lines and importing the
// export, in both separators and in either encoding, gives the same lines
// with the same expanded answers.
#include <optional>
#include <vector>

#include "core/syntax/answer.h"
#include "delimited_round_trip.h"

namespace {

std::vector<std::string> texts(const std::vector<qz::DataLine>& lines) {
    std::vector<std::string> out;
    for (const qz::DataLine& line : lines) out.emplace_back(line.text());
    return out;
}

std::vector<std::optional<std::string>> answers(const std::vector<qz::DataLine>& lines) {
    std::vector<std::optional<std::string>> out;
    for (const qz::DataLine& line : lines) out.push_back(qz::expand_answer(line.c_str()));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qz::ExchangeFormat format = format_for(size);
    qz::ImportRequest request;
    request.format = qz::ExchangeFormat::csv;
    const qz::ImportResult first = qz::import_cards(bytes, request);
    for (const qz::ImportProblem& p : first.problems) require(!p.reason.empty());
    std::vector<qz::ImportProblem> problems;
    std::vector<qz::DataLine> lines = qz::lines_from_cards(first.cards, 14, &problems);
    if (lines.empty()) return 0;

    const std::vector<std::string> expected = texts(lines);
    const std::vector<std::optional<std::string>> expected_answers = answers(lines);
    qz::CardDocument doc;
    for (qz::DataLine& line : lines) doc.append(std::move(line));
    const std::vector<qz::DataLine> back =
        through_export(qz::cards_from_document(doc, nullptr, nullptr, qz::format_needs_alternatives(format)), format,
                       encoding_for(size));
    require(answers(back) == expected_answers);
    require(texts(back) == expected);
    return 0;
}
