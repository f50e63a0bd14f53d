#include "core/operations/sort.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "core/syntax/fields.h"

namespace qz {
namespace {

// The field the key sorts by, as it stands in the line; empty for none.
std::string_view text_key_field(const DataLine& line, int key) {
    const char* start = line.c_str();
    const int length = key == SORT_QUESTION ? question_text_field(start)
                                            : answer_text_field(start, &start);
    return length > 0 ? std::string_view(start, static_cast<std::size_t>(length))
                      : std::string_view();
}

}  // namespace

EditOutcome sort_selected_questions(EditorModel& model, int key, int direction,
                                    const CollationKey& collate) {
    EditOutcome out;
    const CardDocument& doc = model.doc();
    std::vector<int> places;
    for (int index : model.selected())
        if (is_question(doc.line_at(index))) places.push_back(index);
    if (places.empty()) {
        out.refusal = "問題が選択されていません。";
        return out;
    }

    // Participants with an empty text key compare equal to every other
    // line: they keep their places and the rest are sorted around them.
    const bool by_text = key == SORT_QUESTION || key == SORT_ANSWER;
    std::vector<int> moving;  // positions in `places`
    std::vector<std::string> text_keys;
    std::vector<int> number_keys;
    for (std::size_t k = 0; k < places.size(); ++k) {
        const DataLine& line = *doc.line_at(places[k]);
        if (by_text) {
            std::string_view field = text_key_field(line, key);
            if (field.empty()) continue;
            text_keys.push_back(collate ? collate(field) : std::string(field));
        } else {
            number_keys.push_back(key == SORT_HISTORY ? question_history(line.c_str())
                                                      : question_group(line.c_str()));
        }
        moving.push_back(static_cast<int>(k));
    }
    std::vector<int> order(moving.size());
    std::iota(order.begin(), order.end(), 0);
    auto compare = [&](int a, int b) {
        if (by_text) return text_keys[a] < text_keys[b];
        return number_keys[a] < number_keys[b];
    };
    if (direction < 0)
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(b, a); });
    else
        std::stable_sort(order.begin(), order.end(), compare);

    // The j-th moving place gets the line of the j-th in order; only the
    // places whose line changes make the step.
    std::vector<int> indexes;
    std::vector<DataLine> lines;
    for (std::size_t j = 0; j < order.size(); ++j) {
        const int to = moving[j], from = moving[order[j]];
        if (to == from) continue;
        const DataLine& line = *doc.line_at(places[from]);
        if (line.text() == doc.line_at(places[to])->text()) continue;
        indexes.push_back(places[to]);
        lines.emplace_back(line.kind(), line.text());
    }
    out.done = true;
    if (indexes.empty()) return out;
    EditStep step;
    step.push_back(LineEdit::replace_lines(std::move(indexes), std::move(lines)));
    out.change = model.apply(std::move(step));
    return out;
}

}  // namespace qz
