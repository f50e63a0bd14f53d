// GIFT -> cards -> lines -> cards -> GIFT -> cards. Reading any bytes never
// fails hard; the cards of the lines, written and read again, are the same
// cards: title and choice count, question, comment and the answer (every
// alternative of a written answer, the right choice of a multiple-choice
// one), texts compared without the spaces at their ends, which the format
// does not keep.
#include <vector>

#include "core/document/card_document.h"
#include "core/exchange/gift.h"
#include "fuzz_require.h"

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qz::ImportResult first = qz::read_gift(bytes, qz::TextEncoding::utf8);
    std::vector<qz::DataLine> lines = qz::lines_from_cards(first.cards, 14, nullptr);
    qz::CardDocument doc;
    for (qz::DataLine& line : lines) doc.append(std::move(line));
    const std::vector<qz::ExchangeCard> cards = qz::cards_from_document(doc);
    const qz::ExportResult exported = qz::write_gift(cards, {});
    const qz::ImportResult again = qz::read_gift(exported.bytes, qz::TextEncoding::utf8);
    require(again.count(qz::ImportProblem::refused) == 0);

    std::size_t next = 0;
    for (auto [begin, end] : qz::title_runs(cards)) {
        for (std::size_t k = begin; k < end; ++k) {
            const qz::ExchangeCard& c = cards[k];
            if (qz::shown_alternative(c).empty()) continue;
            require(next < again.cards.size());
            const qz::ExchangeCard& b = again.cards[next++];
            const int choices = c.titled ? c.title.choice_count : 0;
            const bool written_as_choice =
                choices > 0 && !qz::wrong_choices(cards, begin, end, k, choices - 1).empty();
            require(b.titled == c.titled || !c.titled);
            require(trimmed(b.title.title) == trimmed(c.title.title));
            require(b.title.comment == c.title.comment);
            require(trimmed(b.fields.question) == trimmed(c.fields.question));
            require(b.fields.comment == c.fields.comment);
            if (written_as_choice) {
                require(b.title.choice_count == static_cast<int>(1 + qz::wrong_choices(cards, begin, end, k, choices - 1).size()));
                require(b.alternatives.size() == 1 && trimmed(b.alternatives[0]) == trimmed(qz::shown_alternative(c)));
            } else if (choices == 0) {
                require(b.alternatives.size() == c.alternatives.size());
                for (std::size_t a = 0; a < c.alternatives.size(); ++a)
                    require(trimmed(b.alternatives[a]) == trimmed(c.alternatives[a]));
            }
        }
    }
    require(next == again.cards.size());
    return 0;
}
