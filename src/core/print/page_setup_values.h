// What the page setup dialog shows and reads back, apart from its window:
// check boxes, radio choices, list entries, the two number boxes and the
// line colours, and how they map onto the print settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/print/print_settings.h"

namespace qz {

// The separator line lists hold "なし", "実線", "破線", "点線" in this order.
// An unknown pen style shows as "なし"; an unknown entry stores PEN_NULL.
int style_to_index(int style);
int index_to_style(int index);

// The radio button (0 left, 1 centre, 2 right) that shows an alignment;
// anything but 0 and 1 shows as right.
int position_choice(int position);

// The PrintFlags bits the dialog has a check box for; the others are not kept.
inline constexpr int kDialogPrintFlags = PRINT_TITLES | PRINT_QUESTIONS | PRINT_ANSWERS |
                                         PRINT_TITLE_NUMBERS | PRINT_QUESTION_NUMBERS |
                                         PRINT_ANSWER_NUMBERS | PRINT_BACKGROUNDS;

struct PageSetupValues {
    int flags = 0;             // PrintFlags bits of the checked boxes
    bool answers_left = false;
    int title_position = 0;    // radio choice
    int answer_position = 0;
    std::array<int, 3> style_entries{};  // question-title, question-question, question-answer
    std::array<std::uint32_t, 3> colors{};
    // No value: the text could not be read, the old format stays.
    std::optional<std::string> title_format;
    std::optional<std::string> question_format;
    int question_rate = 0;
    int line_space = 0;
};

PageSetupValues page_setup_values(const PrintSettings& settings);
void store_page_setup_values(PageSetupValues values, PrintSettings& settings);

// Which controls the check boxes leave enabled. Boxes keep their checks
// while disabled.
struct PageSetupEnabled {
    bool title_options = false;    // title numbers box and the title alignment
    bool title_format = false;
    bool question_numbers = false;
    bool question_format = false;  // one format serves question and answer numbers
    bool answer_options = false;   // answer numbers box and the answer alignment
};
PageSetupEnabled page_setup_enabled(int flags);

// The two number boxes: an empty box reads as 0; anything that is not a
// whole number in range is bad. The margin box is named first when both are.
enum class PageSetupBox { none, width, margin };
struct PageSetupNumbers {
    int question_rate = 0;
    int line_space = 0;
    PageSetupBox bad = PageSetupBox::none;
};
PageSetupNumbers read_page_setup_numbers(std::string_view width, std::string_view margin);

}  // namespace qz
