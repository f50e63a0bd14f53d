// Aiken -> cards -> lines -> cards -> Aiken -> cards. Reading any bytes
// never fails hard; every card written reads back with its question (line
// breaks as spaces), its right choice and its number of choices, and
// becomes a line whose expanded answers are its own.
#include <vector>

#include "core/document/card_document.h"
#include "core/exchange/aiken.h"
#include "read_back.h"

namespace {

// Line breaks as spaces, without blanks at the ends.
std::string flat(std::string_view s) {
    const std::string out = line_breaks_as(s, " ");
    const std::size_t b = out.find_first_not_of(" \t"), e = out.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : out.substr(b, e - b + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qz::ImportResult first = qz::read_aiken(bytes, qz::TextEncoding::utf8, "T");
    std::vector<qz::DataLine> lines = qz::lines_from_cards(first.cards, 14, nullptr);
    qz::CardDocument doc;
    for (qz::DataLine& line : lines) doc.append(std::move(line));
    const std::vector<qz::ExchangeCard> cards = qz::cards_from_document(doc);
    const qz::ExportResult exported = qz::write_aiken(cards, {});
    const qz::ImportResult again = qz::read_aiken(exported.bytes, qz::TextEncoding::utf8, "T");
    require(again.count(qz::ImportProblem::refused) == 0);
    require_read_back(exported, again, cards.size());
    // Which cards the writer takes: as it says it does.
    std::size_t next = 0;
    for (auto [begin, end] : qz::title_runs(cards)) {
        for (std::size_t k = begin; k < end; ++k) {
            const qz::ExchangeCard& c = cards[k];
            const int choices = c.titled ? c.title.choice_count : 0;
            if (choices < 2) continue;
            const std::vector<const std::string*> wrong = qz::wrong_choices(cards, begin, end, k, choices - 1);
            const std::string question = flat(c.fields.question), right = flat(qz::shown_alternative(c));
            bool written = !wrong.empty() && !question.empty() && !question.starts_with("ANSWER:") && !right.empty();
            for (const std::string* w : wrong) written = written && !flat(*w).empty();
            if (!written) continue;
            require(next < again.cards.size());
            const qz::ExchangeCard& b = again.cards[next++];
            require(flat(b.fields.question) == question);
            require(b.alternatives.size() == 1 && b.alternatives[0] == right);
            require(b.title.choice_count == static_cast<int>(1 + wrong.size()));
        }
    }
    require(next == again.cards.size());
    return 0;
}
