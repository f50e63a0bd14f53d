// What the targets of the writers ask of the cards read back from what a
// writer wrote: each is a line again, its answers what the line expands to,
// and they are the cards the writer counted as written, the rest of the
// cards it was given counted as left out.
#pragma once

#include <vector>

#include "core/document/card_document.h"
#include "core/exchange/exchange.h"
#include "fuzz_require.h"

inline void require_read_back(const qz::ExportResult& exported, const qz::ImportResult& again, std::size_t given) {
    std::vector<qz::ImportProblem> relined;
    qz::lines_from_cards(again.cards, 14, &relined);
    require(relined.empty());
    require(static_cast<int>(again.cards.size()) == exported.cards);
    require(exported.cards + exported.left_out == static_cast<int>(given));
}
