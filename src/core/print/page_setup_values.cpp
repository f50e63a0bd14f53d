#include "core/print/page_setup_values.h"

#include <charconv>
#include <utility>

namespace qz {
namespace {

constexpr int kStyles[] = {PEN_NULL, PEN_SOLID, PEN_DASH, PEN_DOT};

// A whole number as the dialog's number boxes hold it, blanks around it
// allowed; nullopt when it is not one.
std::optional<int> whole_number(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) return 0;
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool in_range(const std::optional<int>& value, int low, int high) {
    return value && *value >= low && *value <= high;
}

}  // namespace

int style_to_index(int style) {
    for (int i = 1; i < 4; ++i)
        if (kStyles[i] == style) return i;
    return 0;
}

int index_to_style(int index) { return index >= 1 && index < 4 ? kStyles[index] : PEN_NULL; }

int position_choice(int position) { return position == 0 || position == 1 ? position : 2; }

PageSetupValues page_setup_values(const PrintSettings& s) {
    PageSetupValues v;
    v.flags = s.PrintFlags & kDialogPrintFlags;
    v.answers_left = s.ItemPosition == 1;
    v.title_position = position_choice(s.TitlePosition);
    v.answer_position = position_choice(s.AnswerPosition);
    v.style_entries = {style_to_index(s.QTStyle), style_to_index(s.QQStyle),
                       style_to_index(s.QAStyle)};
    v.colors = {s.QTColor, s.QQColor, s.QAColor};
    v.title_format = s.NumTitle;
    v.question_format = s.NumQuestion;
    v.question_rate = s.QuestionRate;
    v.line_space = s.LineSpace;
    return v;
}

void store_page_setup_values(PageSetupValues v, PrintSettings& s) {
    s.PrintFlags = v.flags & kDialogPrintFlags;
    s.ItemPosition = v.answers_left ? 1 : 0;
    s.TitlePosition = position_choice(v.title_position);
    s.AnswerPosition = position_choice(v.answer_position);
    s.QTStyle = index_to_style(v.style_entries[0]);
    s.QQStyle = index_to_style(v.style_entries[1]);
    s.QAStyle = index_to_style(v.style_entries[2]);
    s.QTColor = v.colors[0];
    s.QQColor = v.colors[1];
    s.QAColor = v.colors[2];
    if (v.title_format) s.NumTitle = std::move(*v.title_format);
    if (v.question_format) s.NumQuestion = std::move(*v.question_format);
    s.QuestionRate = v.question_rate;
    s.LineSpace = v.line_space;
}

PageSetupEnabled page_setup_enabled(int flags) {
    const bool titles = flags & PRINT_TITLES;
    const bool answers = flags & PRINT_ANSWERS;
    PageSetupEnabled e;
    e.title_options = titles;
    e.title_format = titles && (flags & PRINT_TITLE_NUMBERS);
    e.question_numbers = flags & PRINT_QUESTIONS;
    e.question_format = flags & (PRINT_QUESTION_NUMBERS | PRINT_ANSWER_NUMBERS);
    e.answer_options = answers;
    return e;
}

PageSetupNumbers read_page_setup_numbers(std::string_view width, std::string_view margin) {
    const std::optional<int> rate = whole_number(width);
    const std::optional<int> space = whole_number(margin);
    PageSetupNumbers n;
    if (!in_range(space, 0, 999))
        n.bad = PageSetupBox::margin;
    else if (!in_range(rate, 0, 100))
        n.bad = PageSetupBox::width;
    else {
        n.question_rate = *rate;
        n.line_space = *space;
    }
    return n;
}

}  // namespace qz
