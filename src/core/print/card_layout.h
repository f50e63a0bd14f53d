// Flash cards: several cards to a sheet, the question on the front and its
// answer on the back, laid out without a device.
//
// Sheet n's front holds cards k ... k+N-1 (N = columns x rows) row by
// row; the back sheet after it holds their answers. With the backs
// mirrored, each back row runs right to left, so that a sheet printed on
// both sides (turned over its long edge) has every answer behind its
// question. A card's text is wrapped inside the card less its margin and
// shrunk in steps down to 60 % of the font when it does not fit; what
// still does not fit is printed cut off, and counted.
#pragma once

#include <string>
#include <vector>

#include "core/document/card_document.h"
#include "core/print/page_layout.h"

namespace qz {

// Clamps every field into its range.
CardSettings clamped(CardSettings settings);

// One card's two faces, as they are printed.
struct CardFaces {
    int line = 0;            // index of the question line
    std::string corner;      // "title  number", or empty
    std::string question;    // as the pane shows it
    std::string answer;      // the alternatives printed, one a line
};

// The cards of the document's questions (selected_only: of the selected
// ones, as `selected` says) in document order.
std::vector<CardFaces> card_faces(const CardDocument& doc, const CardSettings& settings,
                                  const std::vector<char>* selected);

// The text sizes the cards are laid out with.
class CardMeasurer {
public:
    virtual ~CardMeasurer() = default;
    // The height of `text` (pictures included, scaled down to the width)
    // wrapped to `width` in the front's (question) or the back's (answer)
    // font at `percent` % of its size.
    virtual int text_height(const std::string& text, bool back, int percent, int width) = 0;
    // The height of the corner line.
    virtual int corner_height() = 0;
};

// Font sizes tried, largest first.
inline constexpr int kCardFontSteps[] = {100, 90, 80, 70, 60};

struct PlacedCard {
    int card = 0;          // index into the faces
    PageRect cell;         // the card, cut lines along it
    PageRect corner_rect;  // empty without a corner line
    PageRect text_rect;
    std::string corner;
    std::string text;
    int percent = 100;     // of the font size
    bool cut_off = false;  // the text does not fit even at 60 %
};

struct CardSheet {
    bool back = false;
    int pair = 1;          // front and back n share pair n
    std::vector<PlacedCard> cards;
};

struct CardPlan {
    std::vector<CardSheet> sheets;  // front 1, back 1, front 2, ...
    int cut_off = 0;                // faces printed cut off
};

// The cell of the card in `slot` (0 .. N-1) of a front, or of a back.
PageRect card_cell(const PageRect& frame, const CardSettings& settings, int slot, bool back);

// The number of sheets (fronts and backs) the faces take.
int card_sheet_count(std::size_t faces, const CardSettings& settings);

// Lays out sheet `sheet` (0-based: front 1, back 1, front 2, ...); the
// frame is in device units (y down), the margin in device units too.
CardSheet lay_out_card_sheet(const std::vector<CardFaces>& faces, const PageRect& frame,
                             const CardSettings& settings, int margin, CardMeasurer& measurer,
                             int sheet);

// Lays out every sheet.
CardPlan lay_out_cards(const std::vector<CardFaces>& faces, const PageRect& frame,
                       const CardSettings& settings, int margin, CardMeasurer& measurer);

// "表 n / 裏 n" for a sheet of the plan.
std::string card_sheet_label(const CardSheet& sheet);

}  // namespace qz
