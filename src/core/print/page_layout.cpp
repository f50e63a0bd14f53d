#include "core/print/page_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/syntax/fields.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"

namespace qz {

// ---- Number texts.

std::string format_number_text(const char* format, int t, int Q, int q) {
    std::string out;
    if (!format) return out;
    for (const char* p = format; *p; ++p) {
        if (is_double_byte_char(p)) {
            out.append(p, 2);
            ++p;
            continue;
        }
        if (*p != '%') {
            out += *p;
            continue;
        }
        const char next = p[1];
        if (next == '\0') break;  // a final percent sign is dropped
        if (next == 't' || next == 'Q' || next == 'q') {
            out += std::to_string(next == 't' ? t : next == 'Q' ? Q : q);
            ++p;
        } else if (next == '%') {
            out += '%';
            ++p;
        }
        // any other: the percent sign is dropped, the next byte copied normally
    }
    return out;
}

// ---- Geometry.

PaperSize paper_size_of_code(int code) {
    static constexpr struct {
        int code;
        PaperSize size;
    } kPapers[] = {
        {1, {2159, 2794}},   // letter
        {2, {2159, 2794}},   // letter small
        {5, {2159, 3556}},   // legal
        {7, {1841, 2667}},   // executive
        {8, {2970, 4200}},   // A3
        {9, {2100, 2970}},   // A4
        {10, {2100, 2970}},  // A4 small
        {11, {1480, 2100}},  // A5
        {12, {2570, 3640}},  // B4 (JIS)
        {13, {1820, 2570}},  // B5 (JIS)
        {43, {1000, 1480}},  // Japanese postcard
        {69, {2000, 1480}},  // double Japanese postcard
        {70, {1050, 1480}},  // A6
    };
    for (const auto& p : kPapers)
        if (p.code == code) return p.size;
    return {2100, 2970};
}

PageRect frame_in_lometric(const PaperSetup& paper) {
    int width = paper.paper_width, length = paper.paper_length;
    if (width == 0 && length == 0) {
        const PaperSize size = paper_size_of_code(paper.paper_code);
        width = size.width;
        length = size.length;
    }
    if (paper.orientation == 2) std::swap(width, length);
    return {paper.margins.left / 10, -(paper.margins.top / 10), width - paper.margins.right / 10,
            -(length - paper.margins.bottom / 10)};
}

int mul_div(int a, int b, int c) {
    if (c == 0) return -1;
    std::int64_t n = static_cast<std::int64_t>(a) * b;
    const bool negative = (n < 0) != (c < 0);
    const std::int64_t an = n < 0 ? -n : n, ac = c < 0 ? -static_cast<std::int64_t>(c) : c;
    const std::int64_t r = (an + ac / 2) / ac;
    return static_cast<int>(negative ? -r : r);
}

Columns column_layout(const PageRect& frame, const PrintSettings& s, int L) {
    Columns c;
    const int d = frame.right - frame.left;
    const bool questions = s.PrintFlags & PRINT_QUESTIONS, answers = s.PrintFlags & PRINT_ANSWERS;
    if (questions && answers) {
        const int q = d * s.QuestionRate / 100;
        c.question_width = q - 2 * L;
        c.answer_width = d - q - 2 * L;
    } else if (questions) {
        c.question_width = d - 2 * L;
    } else if (answers) {
        c.answer_width = d - 2 * L;
    }
    if (s.ItemPosition == 1) {
        c.question_x = frame.right - c.question_width - L;
        c.answer_x = frame.left + L;
        c.divider_x = frame.left + c.answer_width + 2 * L;
    } else {
        c.question_x = frame.left + L;
        c.answer_x = frame.right - c.answer_width - L;
        c.divider_x = frame.left + c.question_width + 2 * L;
    }
    return c;
}

PrintLayout make_print_layout(const PrintSettings& settings, const PageRect& device_frame, int dpi,
                              const ItemFonts& default_fonts, bool use_data_settings) {
    PrintLayout layout;
    layout.settings = settings;
    layout.frame = device_frame;
    layout.line_space = line_space_units(settings.LineSpace, dpi);
    layout.columns = column_layout(device_frame, settings, layout.line_space);
    layout.default_fonts = default_fonts;
    layout.use_data_settings = use_data_settings;
    return layout;
}

// ---- Pagination.

namespace {

bool all_set(int flags, int bits) { return (flags & bits) == bits; }

// The rectangle of a number of `size` at (x, y), centred on a taller font.
PageRect number_rect(int x, int y, TextSize size, int reference_height) {
    if (size.height < reference_height) y += (reference_height - size.height) / 2;
    return {x, y, x + size.width, y + size.height};
}

class PageBuilder {
public:
    PageBuilder(const CardDocument& doc, const PrintLayout& layout, PrintMeasurer& measurer)
        : doc_(doc), l_(layout), s_(layout.settings), m_(measurer) {}

    // 0 placed, 1 no room left on this page.
    int title(const DataLine& line, int index, int& y, const PageStart& at, PlacedBlock* block) {
        const char* start = nullptr;
        const int length = title_text_field(line.c_str(), &start);
        const std::string text =
            length >= 0 ? copy_unescaped(start, length, at.fonts.title.charset, doc_.version) : std::string();
        const std::string number = format_number_text(s_.NumTitle.c_str(), at.title_count,
                                                      at.question_count - 1, at.section_count - 1);
        const int L = l_.line_space, left = l_.frame.left, right = l_.frame.right;
        const int top = y;
        y += L;
        TextSize number_size;
        if (all_set(s_.PrintFlags, PRINT_TITLES | PRINT_TITLE_NUMBERS)) number_size = m_.number_size(true, number);
        const TextSize title_size = m_.title_size(text, at.fonts.title, right - left - number_size.width);
        const int h = std::max(number_size.height, title_size.height);
        if (y + h + L > l_.frame.bottom) {
            y -= L;
            return 1;
        }
        if (block) {
            block->kind = BlockKind::Title;
            block->line = index;
            block->start = top;
            block->height = h;
            block->number = number;
            block->text[0] = text;
            block->font[0] = at.fonts.title;
            if (number_size.width > 0 || number_size.height > 0)
                block->number_rect[0] = number_rect(left, y, number_size, m_.font_height(at.fonts.title));
            block->text_rect[0] = {left + number_size.width, y, right, y + title_size.height};
        }
        y += h + L;
        return 0;
    }

    int question(const DataLine& line, int index, int& y, const PageStart& at, PlacedBlock* block) {
        const char* text = line.c_str();
        const std::string question =
            copy_unescaped(text, std::max(0, question_text_field(text)), at.fonts.question.charset, doc_.version);
        const char* answer_start = nullptr;
        const int answer_length = answer_text_field(text, &answer_start);
        const std::string answer = answer_length >= 0 ? copy_unescaped(answer_start, answer_length,
                                                                       at.fonts.answer.charset, doc_.version)
                                                      : std::string();
        const std::string number = format_number_text(s_.NumQuestion.c_str(), at.title_count - 1,
                                                      at.question_count, at.section_count);
        const Columns& c = l_.columns;
        const int L = l_.line_space, flags = s_.PrintFlags;
        const int top = y;
        y += L;
        TextSize qn, an;
        int qh = 0, ah = 0;
        if (all_set(flags, PRINT_QUESTIONS | PRINT_QUESTION_NUMBERS)) qn = m_.number_size(false, number);
        if (flags & PRINT_QUESTIONS) qh = m_.text_height(0, question, at.fonts.question, c.question_width - qn.width, 0);
        if (all_set(flags, PRINT_ANSWERS | PRINT_ANSWER_NUMBERS)) an = m_.number_size(false, number);
        if (flags & PRINT_ANSWERS)
            ah = m_.text_height(1, answer, at.fonts.answer, c.answer_width - an.width, s_.AnswerPosition);
        const int h = std::max({qn.height, qh, an.height, ah});
        if (y + h + L > l_.frame.bottom) {
            y -= L;
            return 1;
        }
        if (block) {
            block->kind = BlockKind::Question;
            block->line = index;
            block->start = top;
            block->height = h;
            block->number = number;
            block->text[0] = question;
            block->text[1] = answer;
            block->font[0] = at.fonts.question;
            block->font[1] = at.fonts.answer;
            if (qn.width > 0 || qn.height > 0)
                block->number_rect[0] = number_rect(c.question_x, y, qn, m_.font_height(at.fonts.question));
            if (an.width > 0 || an.height > 0)
                block->number_rect[1] = number_rect(c.answer_x, y, an, m_.font_height(at.fonts.answer));
            if (flags & PRINT_QUESTIONS)
                block->text_rect[0] = {c.question_x + qn.width, y, c.question_x + c.question_width, y + qh};
            if (flags & PRINT_ANSWERS)
                block->text_rect[1] = {c.answer_x + an.width, y, c.answer_x + c.answer_width, y + ah};
        }
        y += h + L;
        return 0;
    }

    void follow_font_line(const DataLine& line, ItemFonts& fonts) const {
        if (!l_.use_data_settings) return;
        FontSpec* font = nullptr;
        const FontSpec* fallback = nullptr;
        switch (line.kind()) {
        case LINE_FONT_TITLE: font = &fonts.title, fallback = &l_.default_fonts.title; break;
        case LINE_FONT_QUESTION: font = &fonts.question, fallback = &l_.default_fonts.question; break;
        case LINE_FONT_ANSWER: font = &fonts.answer, fallback = &l_.default_fonts.answer; break;
        default: return;
        }
        *font = *fallback;
        if (line.has_text()) parse_font_values(line.c_str(), *font);
    }

private:
    const CardDocument& doc_;
    const PrintLayout& l_;
    const PrintSettings& s_;
    PrintMeasurer& m_;
};

}  // namespace

PageStart first_page_start(const PrintLayout& layout) {
    PageStart start;
    start.fonts = layout.default_fonts;
    return start;
}

LaidOutPage lay_out_page(const CardDocument& doc, const PrintLayout& layout, PrintMeasurer& measurer,
                         const PageStart& start, bool keep_blocks) {
    LaidOutPage page;
    PageBuilder builder(doc, layout, measurer);
    PageStart at = start;
    const int flags = layout.settings.PrintFlags;
    int y = layout.frame.top;
    bool placed = false;
    const int count = doc.count();
    for (; at.line < count; ++at.line) {
        if (!measurer.keep_going()) {
            page.status = PageStatus::Cancelled;
            break;
        }
        const DataLine& line = *doc.line_at(at.line);
        int result = -1;
        PlacedBlock block;
        PlacedBlock* out = keep_blocks ? &block : nullptr;
        if (line.kind() == LINE_TITLE) {
            if (!(flags & PRINT_TITLES)) continue;
            result = builder.title(line, at.line, y, at, out);
            if (result == 0) {
                ++at.title_count;
                at.section_count = 1;
            }
        } else if (is_question(&line)) {
            if (!(flags & (PRINT_QUESTIONS | PRINT_ANSWERS))) continue;
            result = builder.question(line, at.line, y, at, out);
            if (result == 0) {
                ++at.question_count;
                ++at.section_count;
            }
        } else {
            builder.follow_font_line(line, at.fonts);
            continue;
        }
        if (result != 0) break;
        placed = true;
        if (keep_blocks) page.blocks.push_back(std::move(block));
    }
    page.next = at;
    page.at_end = at.line >= count;
    page.bottom = y;
    if (page.status != PageStatus::Cancelled && !placed)
        page.status = page.at_end ? PageStatus::NoData : PageStatus::TooTall;
    return page;
}

std::string page_error_text(const CardDocument& doc, const LaidOutPage& page) {
    switch (page.status) {
    case PageStatus::NoData: return "印刷するデータがありません。";
    case PageStatus::TooTall: {
        char text[80];
        std::snprintf(text, sizeof text, "%d行目のデータを1ページ内に印刷できません。",
                      CardDocument::file_line_number(page.next.line));
        return text;
    }
    default: return {};
    }
}

CopyPlan copy_plan(int copies, bool collated) {
    const int n = std::max(copies, 1);
    return collated ? CopyPlan{n, 1} : CopyPlan{1, n};
}

}  // namespace qz
