#include "core/print/card_layout.h"

#include <algorithm>
#include <optional>

#include "core/syntax/answer.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

std::string alternatives_text(const char* line_text, bool all, int number) {
    const std::optional<std::string> expanded = expand_answer(line_text);
    const char* answer = nullptr;
    const int length = answer_text_field(line_text, &answer);
    if (!expanded || expanded->empty())
        return length > 0 ? std::string(answer, static_cast<std::size_t>(length)) : std::string();
    std::string text;
    int n = 0;
    for (const char* p = expanded->c_str();; ++n) {
        const char* end = p;
        while (*end && *end != kAlternativeSeparator) ++end;
        if (all || n == number) {
            if (!text.empty()) text += "\r\n";
            text.append(p, static_cast<std::size_t>(end - p));
        }
        if (!*end) break;
        p = end + 1;
    }
    // An answer number beyond the alternatives prints the first.
    if (text.empty()) return alternatives_text(line_text, false, 0);
    return text;
}

}  // namespace

CardSettings clamped(CardSettings s) {
    s.columns = std::clamp(s.columns, 1, 4);
    s.rows = std::clamp(s.rows, 1, 8);
    s.margin = std::clamp(s.margin, 0, 200);
    if (s.cut_lines != CutLines::none && s.cut_lines != CutLines::solid) s.cut_lines = CutLines::dotted;
    return s;
}

std::vector<CardFaces> card_faces(const CardDocument& doc, const CardSettings& settings,
                                  const std::vector<char>* selected) {
    std::vector<CardFaces> faces;
    std::string title;
    int in_section = 0;
    int index = 0;
    for (const DataLine& line : doc) {
        const int at = index++;
        if (line.kind() == LINE_TITLE) {
            title = title_display_fields(line.c_str(), FieldCharsets{}, doc.version).title;
            in_section = 0;
            continue;
        }
        if (!is_question(&line) || question_history(line.c_str()) < 0) continue;
        ++in_section;
        if (selected && (at >= static_cast<int>(selected->size()) || !(*selected)[static_cast<std::size_t>(at)]))
            continue;
        CardFaces card;
        card.line = at;
        if (settings.corner) card.corner = title.empty() ? std::to_string(in_section) : title + "  " + std::to_string(in_section);
        card.question = question_display_text(line.c_str(), 128, doc.version);
        card.answer = alternatives_text(line.c_str(), settings.all_alternatives,
                                        std::max(0, question_answer_number(line.c_str())));
        faces.push_back(std::move(card));
    }
    return faces;
}

PageRect card_cell(const PageRect& frame, const CardSettings& settings, int slot, bool back) {
    const int columns = settings.columns, rows = settings.rows;
    const int column = slot % columns, row = slot / columns;
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    PageRect cell{frame.left + width * column / columns, frame.top + height * row / rows,
                  frame.left + width * (column + 1) / columns, frame.top + height * (row + 1) / rows};
    // The back is the front seen from behind: the cell mirrored exactly
    // about the frame's middle, whatever the rounding of the columns.
    if (back && settings.mirror_backs)
        cell = {frame.left + frame.right - cell.right, cell.top, frame.left + frame.right - cell.left,
                cell.bottom};
    return cell;
}

int card_sheet_count(std::size_t faces, const CardSettings& given) {
    const CardSettings settings = clamped(given);
    const std::size_t per_sheet = static_cast<std::size_t>(settings.columns * settings.rows);
    return static_cast<int>(2 * ((faces + per_sheet - 1) / per_sheet));
}

CardSheet lay_out_card_sheet(const std::vector<CardFaces>& faces, const PageRect& frame,
                             const CardSettings& given, int margin, CardMeasurer& measurer,
                             int sheet) {
    const CardSettings settings = clamped(given);
    const int per_sheet = settings.columns * settings.rows;
    const bool back = sheet % 2 == 1;
    CardSheet result{back, sheet / 2 + 1, {}};
    const std::size_t first = static_cast<std::size_t>(sheet / 2) * static_cast<std::size_t>(per_sheet);
    const std::size_t end = std::min(faces.size(), first + static_cast<std::size_t>(per_sheet));
    for (std::size_t i = first; i < end; ++i) {
        const CardFaces& card = faces[i];
        PlacedCard placed;
        placed.card = static_cast<int>(i);
        placed.cell = card_cell(frame, settings, static_cast<int>(i - first), back);
        PageRect inner{placed.cell.left + margin, placed.cell.top + margin, placed.cell.right - margin,
                       placed.cell.bottom - margin};
        inner.right = std::max(inner.right, inner.left);
        inner.bottom = std::max(inner.bottom, inner.top);
        // The corner line goes on the front only.
        if (!back && !card.corner.empty()) {
            const int corner = std::min(measurer.corner_height(), inner.bottom - inner.top);
            placed.corner_rect = {inner.left, inner.top, inner.right, inner.top + corner};
            placed.corner = card.corner;
            inner.top += corner;
        }
        placed.text = back ? card.answer : card.question;
        const int width = inner.right - inner.left, height = inner.bottom - inner.top;
        placed.cut_off = true;
        for (int percent : kCardFontSteps) {
            placed.percent = percent;
            if (measurer.text_height(placed.text, back, percent, width) <= height) {
                placed.cut_off = false;
                break;
            }
        }
        placed.text_rect = inner;
        result.cards.push_back(std::move(placed));
    }
    return result;
}

CardPlan lay_out_cards(const std::vector<CardFaces>& faces, const PageRect& frame,
                       const CardSettings& settings, int margin, CardMeasurer& measurer) {
    CardPlan plan;
    const int sheets = card_sheet_count(faces.size(), settings);
    for (int sheet = 0; sheet < sheets; ++sheet) {
        plan.sheets.push_back(lay_out_card_sheet(faces, frame, settings, margin, measurer, sheet));
        for (const PlacedCard& card : plan.sheets.back().cards) plan.cut_off += card.cut_off ? 1 : 0;
    }
    return plan;
}

std::string card_sheet_label(const CardSheet& sheet) {
    return std::string(sheet.back ? "裏 " : "表 ") + std::to_string(sheet.pair);
}

}  // namespace qz
