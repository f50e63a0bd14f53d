// The printed sheet on a device: pages of titles, questions and answers laid
// out with the printer's fonts and drawn on a printer or any other device
// context made to look like the printer's page.
#pragma once

#include <windows.h>

#include <climits>
#include <memory>
#include <string>

#include "core/document/card_document.h"

namespace qz {

inline constexpr int kAllPages = INT_MAX;

// What render_pages does with the pages.
enum class PrintOutput { count, print };

// Lays the card document out for one printer and keeps where every page
// starts, so that any page can be drawn without laying out the ones before
// it again.
//
// Set up from the printer's device context `dc` (created from the page
// setup record's DEVMODE), the page setup record (paper, orientation,
// margins, resolution), the print settings and the preferences' fonts (the
// data file's font lines too when the preferences say so). Texts are
// measured on `dc`, which must stay valid for the object's lifetime. The
// object reads `doc` whenever it lays out: after the document changed, make
// a new one.
class PrintPages {
public:
    // Commits the editing pane, then sets up; null after a message (pens or
    // the DEVMODE unavailable).
    static std::unique_ptr<PrintPages> create(HWND owner, HDC dc, const CardDocument& doc);
    ~PrintPages();

    // Lays out every page without drawing; the number of pages, or 0 after
    // a message (nothing printable, or a line taller than a page).
    int count_pages();

    // Draws page `page` (1-based) on `dc` without StartPage/EndPage: the
    // blocks, their separator lines and the closing line, and the
    // backgrounds when the print settings ask for them. The caller sets up
    // the mapping of `dc` so that one logical unit is one device unit of the
    // printer this object was made for, origin at the paper's corner: MM_TEXT
    // on the printer itself; for a preview on the screen, MM_ANISOTROPIC with
    // the window extent the printer's page size in dots and the viewport
    // extent the page's size on the screen. The mapping and the clip region
    // are left as they were. Pictures that give their size in their file are
    // sized in the printer's dots, as laid out. Pages not yet known are laid
    // out first (without drawing); after count_pages() drawing any page lays
    // out that page only.
    // False when there is no such page or it could not be laid out (after a
    // message).
    bool draw_page(HDC dc, int page);

    // Pages known so far (all of them after count_pages() succeeded).
    int known_pages() const;
    // "ページ n", or for cards "表 n" and "裏 n".
    std::string page_label(int page) const;
    // Cards printed cut off (counted by count_pages()); 0 for the list.
    int cut_off_cards() const;

    struct State;

private:
    explicit PrintPages(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
    friend int render_pages(HWND, HDC, int, int, PrintOutput, const CardDocument&, int*);
};

// Counts (lays out only, nothing drawn) or prints (StartPage, draw and
// EndPage on `dc` for pages first..last) the document,
// making the copies of the print settings' `copies` (collated when the
// DEVMODE says so) by repeating pages. The number of the last page laid
// out; -1 when setting up failed, 0 after an error message or when the job
// was cancelled.
// For cards every sheet is laid out when counting; `cut_off` (when given)
// then gets the number of cards printed cut off.
int render_pages(HWND owner, HDC dc, int first, int last, PrintOutput output, const CardDocument& doc,
                 int* cut_off = nullptr);

}  // namespace qz
