// GIFT -> cards -> lines. Reading any bytes never fails hard; every problem
// is told by its line (only the notice about drawn choices is the file's),
// and every card read becomes a question line or is refused with a reason.
// Writing cards and reading them back is the gift_write target's.
#include <algorithm>
#include <vector>

#include "core/document/card_document.h"
#include "core/exchange/gift.h"
#include "fuzz_require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qz::ImportResult read = qz::read_gift(bytes, qz::TextEncoding::utf8);
    for (const qz::ImportProblem& p : read.problems)
        require(!p.reason.empty() && (p.row > 0 || (p.row == 0 && p.kind == qz::ImportProblem::notice)));
    std::vector<qz::ImportProblem> refused;
    const std::vector<qz::DataLine> lines = qz::lines_from_cards(read.cards, 14, &refused);
    for (const qz::ImportProblem& p : refused) require(!p.reason.empty() && p.kind == qz::ImportProblem::refused);
    const auto questions =
        std::count_if(lines.begin(), lines.end(), [](const qz::DataLine& l) { return qz::is_question(&l); });
    require(static_cast<std::size_t>(questions) + refused.size() == read.cards.size());
    return 0;
}
