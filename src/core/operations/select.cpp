#include "core/operations/select.h"

#include <cstdio>
#include <optional>

#include "core/document/line_queries.h"
#include "core/operations/matching.h"
#include "core/operations/marks.h"
#include "core/syntax/fields.h"

namespace qz {
namespace {

constexpr char kBadNumbers[] = "数値が正しくありません。";

SelectOutcome refusal(const char* text, bool warning) {
    SelectOutcome out;
    out.message = text;
    out.warning = warning;
    return out;
}

}  // namespace

std::string select_description(const SelectRequest& request, const std::string& group_name) {
    std::string text = request.range == SelectRange::lines   ? "行"
                       : request.range == SelectRange::title ? "タイトル"
                                                             : "問題";
    text += "番号";
    char numbers[48];
    if (request.range == SelectRange::title)
        std::snprintf(numbers, sizeof numbers, "%d内", request.title);
    else
        std::snprintf(numbers, sizeof numbers, "%d～%d", request.first, request.last);
    text += numbers;
    if (request.by_text) {
        text += "で，「" + request.text + "」を含む";
    } else if (request.by_marks) {
        char marks[48];
        std::snprintf(marks, sizeof marks, "で，正答数%d%sの", request.right_marks,
                      request.at_most ? "以下" : "以上");
        text += marks;
    } else {
        text += request.group < 0 ? std::string("の全て") : "で，グループ「" + group_name + "」";
        text += "の";
    }
    text += "行を";
    text += request.add ? "追加" : "新規";
    text += "選択";
    return text;
}

SelectOutcome select_lines(EditorModel& model, const SelectRequest& request) {
    const CardDocument& doc = model.doc();
    // The range as line indexes [first, last].
    int first = 0, last = 0;
    if (request.range == SelectRange::lines) {
        if (request.first < 2 || request.last > doc.count() + 1 || request.last < request.first)
            return refusal(kBadNumbers, true);
        first = request.first - 2;
        last = request.last - 2;
    } else {
        int a = request.first, b = request.last;
        if (request.range == SelectRange::title) {
            a = b = 0;
            const DataLine* title = doc.title_by_number(request.title - 1);
            if (request.title >= 1 && title) {
                const int questions = doc.questions_in_section(title);
                if (questions == 0) return refusal("問題がありません。", false);
                const DataLine* question = doc.next_question(title);
                if (!question) return refusal(kBadNumbers, false);
                a = doc.question_number(question) + 1;
                b = doc.question_number(question) + questions;
            }
        }
        const DataLine* from = doc.question_by_number(a - 1);
        const DataLine* to = doc.question_by_number(b - 1);
        if (a <= 0 || b > doc.count_questions() + 1 || b < a || !from || !to)
            return refusal(kBadNumbers, true);
        first = doc.line_index(from);
        last = doc.line_index(to);
    }

    std::optional<MatchTable> table;
    if (request.by_text) {
        // Nothing to look for: nothing happens, and nothing is said.
        table = build_match_table(request.text, static_cast<SearchConditions>(request.conditions));
        if (!table) return {};
    }
    if (!request.add) model.clear_selection();
    int selected = 0;
    auto select = [&](int index) {
        model.set_selected(index, true);
        ++selected;
    };
    if (table) {
        LineMatcher matcher(doc, *table);
        for (int i = first; i <= last; ++i)
            if (matcher.matches(i)) select(i);
    } else if (request.by_marks) {
        const DataLine* line = doc.line_at(first);
        for (int i = first; i <= last; ++i, line = doc.line_at(i)) {
            if (!is_question(line)) continue;
            const int history = question_history(line->c_str());
            if (history < 0) continue;
            const int right = qz::right_marks(history);
            if (request.at_most ? right <= request.right_marks : right >= request.right_marks)
                select(i);
        }
    } else if (request.group < 0) {
        for (int i = first; i <= last; ++i) select(i);
    } else {
        // Comments and blank lines have no group.
        const DataLine* line = doc.line_at(first);
        for (int i = first; i <= last; ++i, line = doc.line_at(i))
            if (is_question(line) && question_group(line->c_str()) == request.group) select(i);
    }
    SelectOutcome out;
    out.selected = selected;
    if (selected > 0) {
        char text[64];
        std::snprintf(text, sizeof text, "%d行選択しました。", selected);
        out.message = text;
    } else {
        out.message = "選択する行はありません。";
    }
    return out;
}

}  // namespace qz
