// The printed sheet without a device: number texts, the page frame and its
// columns, and pagination of the document into pages of placed blocks.
//
// Each printed title is a full-width block and each question a block with a
// question column and an answer column side by side. A block is L of
// space, its content, L of space; blocks are stacked from the top of the
// frame and a page ends before the first block that does not fit. Sizes of
// texts come from a measurer the caller provides (the printer's fonts).
#pragma once

#include <string>
#include <vector>

#include "core/document/card_document.h"
#include "core/print/print_settings.h"
#include "core/syntax/font_spec.h"

namespace qz {

// ---- Number texts. A format holds %t (title number), %Q (question number
// in the document), %q (question number in its section) and %% (a percent
// sign); any other percent sign is dropped. A null format is an empty one.

std::string format_number_text(const char* format, int t, int Q, int q);

// ---- Geometry.

struct PageRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PageRect&) const = default;
};

// Paper size in 0.1 mm of a DMPAPER_* code; an unknown code gives A4.
struct PaperSize {
    int width = 0, length = 0;
};
PaperSize paper_size_of_code(int code);

// What the frame is made of, as the printer's page setup gives it.
struct PaperSetup {
    int paper_width = 0;   // 0.1 mm; 0 (with the length): from paper_code
    int paper_length = 0;
    int paper_code = 0;    // DMPAPER_*
    int orientation = 1;   // 2: landscape
    PageRect margins;      // 1/100 mm
};

// The frame inside the margins in 0.1 mm with y negative downwards
// (MM_LOMETRIC), the paper's corner at the origin.
PageRect frame_in_lometric(const PaperSetup& paper);

// a * b / c rounded to the nearest, as MulDiv does (c 0 gives -1).
int mul_div(int a, int b, int c);

// Space on each side of a separator line and between columns: LineSpace
// points at `dpi` dots per inch.
inline int line_space_units(int line_space_points, int dpi) { return mul_div(line_space_points, dpi, 72); }

struct Columns {
    int question_x = 0, question_width = 0;
    int answer_x = 0, answer_width = 0;
    int divider_x = 0;
    bool operator==(const Columns&) const = default;
};
// The question and answer columns in a frame of device units, each keeping
// `line_space` free on both sides.
Columns column_layout(const PageRect& frame, const PrintSettings& settings, int line_space);

// ---- Pagination.

// The item fonts: the preferences' fonts, or with the data file's settings
// in use the font lines in effect.
struct ItemFonts {
    FontSpec title, question, answer;
};

struct TextSize {
    int width = 0, height = 0;
};

// What the layout asks of the device.
class PrintMeasurer {
public:
    virtual ~PrintMeasurer() = default;
    // A number text on one line in the title or question number font.
    virtual TextSize number_size(bool title_number, const std::string& text) = 0;
    // A title word-wrapped to `width` in its font and alignment.
    virtual TextSize title_size(const std::string& text, const FontSpec& font, int width) = 0;
    // The height of a question (column 0) or answer (column 1) text with its
    // pictures, wrapped to `width` in its font and alignment.
    virtual int text_height(int column, const std::string& text, const FontSpec& font, int width,
                            int alignment) = 0;
    // The cell height (|tmHeight|) of an item font: numbers are centred on it.
    virtual int font_height(const FontSpec& font) = 0;
    // Called before every line; false stops the layout (a cancelled job).
    virtual bool keep_going() { return true; }
};

// Everything a page is laid out with, in device units.
struct PrintLayout {
    PrintSettings settings;
    PageRect frame;
    int line_space = 0;
    Columns columns;
    ItemFonts default_fonts;
    bool use_data_settings = true;
};
PrintLayout make_print_layout(const PrintSettings& settings, const PageRect& device_frame, int dpi,
                              const ItemFonts& default_fonts, bool use_data_settings);

// Where a page starts: its first line, the counters and the fonts there.
struct PageStart {
    int line = 0;
    int title_count = 1, question_count = 1, section_count = 1;
    ItemFonts fonts;
};

enum class BlockKind { Title, Question };

// One block as placed on the page. A title uses slot 0; a question slot 0
// for the question and 1 for the answer. Empty rectangles are not drawn.
struct PlacedBlock {
    BlockKind kind = BlockKind::Title;
    int line = 0;     // index of the data line
    int start = 0;    // top of the block; its separator runs along it
    int height = 0;   // content height; the block is height + 2L high
    std::string number;
    std::string text[2];
    FontSpec font[2];
    PageRect number_rect[2];
    PageRect text_rect[2];
};

enum class PageStatus {
    Placed,     // blocks were placed; `next` starts the next page
    NoData,     // the document ended before anything printable
    TooTall,    // the item at `next.line` does not fit on an empty page
    Cancelled,  // the measurer said stop
};

struct LaidOutPage {
    PageStatus status = PageStatus::Placed;
    PageStart next;        // the first line not placed, with its counters
    bool at_end = false;   // no line left after this page
    int bottom = 0;        // y of the closing line below the last block
    std::vector<PlacedBlock> blocks;  // only when asked for
};

// Lays out one page from `start`. With `keep_blocks` false only counts.
LaidOutPage lay_out_page(const CardDocument& doc, const PrintLayout& layout, PrintMeasurer& measurer,
                         const PageStart& start, bool keep_blocks);

// The start of the first page: line 0, counters 1, the default fonts.
PageStart first_page_start(const PrintLayout& layout);

// The message of a page that could not be laid out (NoData, TooTall), in
// the program's words; empty for the others.
std::string page_error_text(const CardDocument& doc, const LaidOutPage& page);

// How copies are made: collated, the whole range once per copy (1, 2, 1,
// 2); not collated, each page `copies` times in a row (1, 1, 2, 2). Copies
// below 1 count as 1.
struct CopyPlan {
    int passes = 1;    // runs over the page range
    int per_page = 1;  // times each page is sent in a row
};
CopyPlan copy_plan(int copies, bool collated);

}  // namespace qz
