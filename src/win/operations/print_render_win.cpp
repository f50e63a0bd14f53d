#include "win/operations/print_render_win.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/print/card_layout.h"
#include "core/print/page_layout.h"
#include "resources/printing_ids.h"
#include "win/base/app_state_win.h"
#include "win/base/font_spec_win.h"
#include "win/base/message_box_win.h"
#include "win/base/page_setup_win.h"
#include "win/base/picture_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"
#include "win/operations/print_progress_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

// DrawTextW of a code page 932 text, so that a page is the same whatever code
// page the system runs other programs in.
int draw_text(HDC dc, std::string_view text, RECT* rect, UINT format) {
    const std::wstring shown = wide(text);
    return DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), rect, format);
}

// A locked global memory block, unlocked when the owner goes.
class global_lock {
public:
    explicit global_lock(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    global_lock(const global_lock&) = delete;
    global_lock& operator=(const global_lock&) = delete;
    ~global_lock() {
        if (data_) GlobalUnlock(memory_);
    }
    template <class T>
    T* as() const {
        return static_cast<T*>(data_);
    }

private:
    HGLOBAL memory_;
    void* data_;
};

// Texts measured on the printer: DrawTextA with DT_CALCRECT, pictures
// included. Item fonts are made once for each font record.
class GdiMeasurer : public PrintMeasurer {
public:
    GdiMeasurer(HWND owner, HDC dc, int dpi, int title_position)
        : owner_(owner), dc_(dc), dpi_(dpi), title_position_(title_position) {}

    void create_number_fonts(const Preferences& prefs) {
        number_font_[0] = create_font_from_spec(prefs.NumTitle, dpi_);
        number_font_[1] = create_font_from_spec(prefs.NumQuestion, dpi_);
    }
    HFONT number_font(bool title) const { return number_font_[title ? 0 : 1].get(); }

    // The font made for `wanted`, or the preferences' font of that item
    // when it cannot be made; each font is made once.
    HFONT item_font(const FontSpec& wanted, const FontSpec& fallback) {
        return cached_font(wanted, fallback).font.get();
    }
    void set_fallbacks(const ItemFonts& fonts) { fallbacks_ = fonts; }

    TextSize number_size(bool title, const std::string& text) override {
        auto& cache = number_sizes_[title ? 0 : 1];
        if (auto found = cache.find(text); found != cache.end()) return found->second;
        select_object use(dc_, number_font(title));
        RECT r{0, 0, 0, 0};
        draw_text(dc_, text, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const TextSize size{r.right - r.left, r.bottom - r.top};
        cache.emplace(text, size);
        return size;
    }
    TextSize title_size(const std::string& text, const FontSpec& font, int width) override {
        select_object use(dc_, item_font(font, fallbacks_.title));
        RECT r{0, 0, width, 0};
        draw_text(dc_, text, &r,
                  static_cast<UINT>(title_position_) | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        return {r.right - r.left, r.bottom - r.top};
    }
    int text_height(int column, const std::string& text, const FontSpec& font, int width, int alignment) override {
        select_object use(dc_, item_font(font, column == 0 ? fallbacks_.question : fallbacks_.answer));
        return draw_text_with_images(text.c_str(), font.charset, RECT{0, 0, width, 0},
                                     static_cast<UINT>(alignment) | DT_CALCRECT, {owner_, dc_, dpi_});
    }
    int font_height(const FontSpec& font) override { return cached_font(font, fallbacks_.question).height; }
    bool keep_going() override {
        pump_print_messages();
        return !print_job_cancelled();
    }

private:
    struct Cached {
        FontSpec wanted;
        unique_font font;
        int height;
    };
    const Cached& cached_font(const FontSpec& wanted, const FontSpec& fallback) {
        for (const Cached& c : fonts_)
            if (c.wanted == wanted) return c;
        unique_font font = create_font_from_spec(wanted, dpi_);
        if (!font) font = create_font_from_spec(fallback, dpi_);
        const int height = font ? font_pixel_height(dc_, font.get()) : 0;
        fonts_.push_back({wanted, std::move(font), height});
        return fonts_.back();
    }
    HWND owner_;
    HDC dc_;
    int dpi_;
    int title_position_;
    ItemFonts fallbacks_;
    unique_font number_font_[2];
    std::vector<Cached> fonts_;
    std::unordered_map<std::string, TextSize> number_sizes_[2];
};

// Card texts measured on the printer: the question font on the fronts, the
// answer font on the backs, at each size step; pictures scaled into the card.
class CardGdiMeasurer : public CardMeasurer {
public:
    CardGdiMeasurer(HWND owner, HDC dc, int dpi) : owner_(owner), dc_(dc), dpi_(dpi) {
        corner_font_ = create_font_from_spec(app().prefs.NumQuestion, dpi);
        corner_height_ = corner_font_ ? font_pixel_height(dc, corner_font_.get()) : dpi / 6;
    }
    int text_height(const std::string& text, bool back, int percent, int width) override {
        select_object use(dc_, font(back, percent));
        return draw_text_with_images(text.c_str(), face_font(back).charset, RECT{0, 0, width, 0},
                                     DT_CENTER | DT_WORDBREAK | DT_CALCRECT, picture(dc_));
    }
    int corner_height() override { return corner_height_; }
    HFONT corner_font() const { return corner_font_.get(); }
    HFONT font(bool back, int percent) {
        for (const Cached& c : fonts_)
            if (c.back == back && c.percent == percent) return c.font.get();
        FontSpec scaled = face_font(back);
        scaled.size = scaled.size * percent / 100;
        unique_font made = create_font_from_spec(scaled, dpi_);
        if (!made) made = create_font_from_spec(face_font(back), dpi_);
        fonts_.push_back({back, percent, std::move(made)});
        return fonts_.back().font.get();
    }
    static const FontSpec& face_font(bool back) { return back ? app().prefs.Answer : app().prefs.Question; }
    PictureContext picture(HDC on, HDC device = nullptr) const {
        PictureContext page{owner_, on, dpi_, device};
        page.fit_width = true;
        return page;
    }

private:
    struct Cached {
        bool back;
        int percent;
        unique_font font;
    };
    HWND owner_;
    HDC dc_;
    int dpi_;
    unique_font corner_font_;
    int corner_height_ = 0;
    std::vector<Cached> fonts_;
};

}  // namespace

// What the two kinds of printed pages do their own way: the list of
// titles and questions laid out page after page, or cards, a sheet of
// fronts and then one of backs.
class PageKind {
public:
    virtual ~PageKind() = default;
    virtual int known_pages() const = 0;
    // Lays out every page; their number, or 0 after a message.
    virtual int count_pages(PrintPages::State& s) = 0;
    virtual bool draw_page(PrintPages::State& s, HDC dc, int page) = 0;
    virtual std::string page_label(int page) const = 0;
    virtual int cut_off_cards() const = 0;
    // One pass over pages first..last, each page `copies` times between
    // StartPage and EndPage; the last page printed, 0 when it stopped.
    virtual int print_pass(PrintPages::State& s, HDC dc, int first, int last, int copies) = 0;
};

struct PrintPages::State {
    HWND owner = nullptr;
    HDC dc = nullptr;
    const CardDocument* doc = nullptr;
    int dpi = 72;
    int copies = 1;
    bool collated = false;
    PrintLayout layout;
    unique_pen qt_pen, qq_pen, qa_pen;
    std::unique_ptr<GdiMeasurer> measurer;
    std::unique_ptr<PageKind> kind;
};

namespace {

void fill_background(HDC dc, const PrintSettings& settings, COLORREF colour, int x, int y, int width, int height) {
    if (!(settings.PrintFlags & PRINT_BACKGROUNDS)) return;
    SetBkColor(dc, colour);  // also what PNG transparency is blended onto
    if (width <= 0 || height <= 0) return;
    unique_brush brush(CreateSolidBrush(colour));
    RECT r{x, y, x + width, y + height};
    FillRect(dc, &r, brush.get());
}

void line(HDC dc, HPEN pen, int x1, int y1, int x2, int y2) {
    select_object use(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

bool empty(const PageRect& r) { return r.left == r.right && r.top == r.bottom; }

RECT to_rect(const PageRect& r) { return {r.left, r.top, r.right, r.bottom}; }

void draw_number(HDC dc, HFONT font, const std::string& text, const PageRect& rect) {
    if (empty(rect)) return;
    select_object use(dc, font);
    RECT r = to_rect(rect);
    draw_text(dc, text, &r, DT_SINGLELINE | DT_NOPREFIX);
}

void draw_blocks(HDC dc, PrintPages::State& s, const LaidOutPage& page) {
    const Preferences& prefs = app().prefs;
    const PrintSettings& settings = s.layout.settings;
    const PageRect& frame = s.layout.frame;
    const Columns& c = s.layout.columns;
    const int L = s.layout.line_space, flags = settings.PrintFlags;
    GdiMeasurer& m = *s.measurer;
    const PictureContext picture{s.owner, dc, s.dpi, s.dc};
    SetBkMode(dc, TRANSPARENT);
    SetStretchBltMode(dc, HALFTONE);
    for (const PlacedBlock& b : page.blocks) {
        const int full = b.height + 2 * L;
        const int number_width = b.number_rect[0].right - b.number_rect[0].left;
        if (b.kind == BlockKind::Title) {
            fill_background(dc, settings, prefs.NumTitle.back_color, frame.left, b.start, number_width, full);
            SetTextColor(dc, prefs.NumTitle.text_color);
            draw_number(dc, m.number_font(true), b.number, b.number_rect[0]);
            fill_background(dc, settings, prefs.Title.back_color, frame.left + number_width, b.start,
                            frame.right - frame.left - number_width, full);
            SetTextColor(dc, prefs.Title.text_color);
            {
                select_object use(dc, m.item_font(b.font[0], prefs.Title));
                RECT r = to_rect(b.text_rect[0]);
                draw_text(dc, b.text[0], &r,
                          static_cast<UINT>(settings.TitlePosition) | DT_WORDBREAK | DT_NOPREFIX);
            }
            line(dc, s.qt_pen.get(), frame.left, b.start, frame.right, b.start);
            continue;
        }
        const int answer_number_width = b.number_rect[1].right - b.number_rect[1].left;
        SetTextColor(dc, prefs.NumQuestion.text_color);
        fill_background(dc, settings, prefs.NumQuestion.back_color, c.question_x - L, b.start, number_width + L, full);
        draw_number(dc, m.number_font(false), b.number, b.number_rect[0]);
        fill_background(dc, settings, prefs.NumQuestion.back_color, c.answer_x - L, b.start, answer_number_width + L,
                        full);
        draw_number(dc, m.number_font(false), b.number, b.number_rect[1]);
        const struct {
            const FontSpec& pref;
            int x, width, number_width, alignment;
        } columns[2] = {{prefs.Question, c.question_x, c.question_width, number_width, 0},
                        {prefs.Answer, c.answer_x, c.answer_width, answer_number_width, settings.AnswerPosition}};
        for (int i = 0; i < 2; ++i) {
            const auto& col = columns[i];
            fill_background(dc, settings, col.pref.back_color, col.x + col.number_width, b.start,
                            col.width + L - col.number_width, full);
            SetTextColor(dc, col.pref.text_color);
            if (!(flags & (i == 0 ? PRINT_QUESTIONS : PRINT_ANSWERS))) continue;
            select_object use(dc, m.item_font(b.font[i], col.pref));
            draw_text_with_images(b.text[i].c_str(), b.font[i].charset, to_rect(b.text_rect[i]),
                                  static_cast<UINT>(col.alignment), picture);
        }
        line(dc, s.qq_pen.get(), frame.left, b.start, frame.right, b.start);
        if ((flags & (PRINT_QUESTIONS | PRINT_ANSWERS)) == (PRINT_QUESTIONS | PRINT_ANSWERS))
            line(dc, s.qa_pen.get(), c.divider_x, b.start, c.divider_x, b.start + full);
    }
    line(dc, s.qq_pen.get(), frame.left, page.bottom, frame.right, page.bottom);
}

// The cards of the document, laid out a sheet at a time.
struct CardFacesToPrint {
    std::vector<CardFaces> faces;
    CardSettings settings;
    int margin = 0;
    unique_pen cut_pen;
    std::unique_ptr<CardGdiMeasurer> measurer;
};

// `printer`: the device the sheet was laid out for.
void draw_card_sheet(HDC dc, HDC printer, const CardFacesToPrint& s, const CardSheet& sheet) {
    CardGdiMeasurer& m = *s.measurer;
    const Preferences& prefs = app().prefs;
    const PictureContext picture = m.picture(dc, printer);
    SetBkMode(dc, TRANSPARENT);
    SetStretchBltMode(dc, HALFTONE);
    for (const PlacedCard& card : sheet.cards) {
        if (s.cut_pen) {
            select_object pen(dc, s.cut_pen.get());
            select_object brush(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, card.cell.left, card.cell.top, card.cell.right + 1, card.cell.bottom + 1);
        }
        if (!card.corner.empty()) {
            SetTextColor(dc, prefs.NumQuestion.text_color);
            select_object use(dc, m.corner_font());
            RECT r = to_rect(card.corner_rect);
            draw_text(dc, card.corner, &r,
                      DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        SetTextColor(dc, CardGdiMeasurer::face_font(sheet.back).text_color);
        {
            select_object use(dc, m.font(sheet.back, card.percent));
            const int saved = SaveDC(dc);
            IntersectClipRect(dc, card.text_rect.left, card.text_rect.top, card.text_rect.right,
                              card.text_rect.bottom);
            // Centred in the card, but for a text that does not fit: that
            // starts at its top.
            RECT r = to_rect(card.text_rect);
            const unsigned charset = CardGdiMeasurer::face_font(sheet.back).charset;
            if (!card.cut_off) {
                const int height = draw_text_with_images(card.text.c_str(), charset, r,
                                                         DT_CENTER | DT_WORDBREAK | DT_CALCRECT, picture);
                r.top += std::max(0, static_cast<int>(r.bottom - r.top) - height) / 2;
            }
            draw_text_with_images(card.text.c_str(), charset, r, DT_CENTER | DT_WORDBREAK, picture);
            RestoreDC(dc, saved);
        }
        if (card.cut_off) {
            // The mark of a text printed cut off, over its last line.
            select_object use(dc, m.corner_font());
            RECT r = to_rect(card.text_rect);
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, RGB(255, 255, 255));
            SetTextColor(dc, RGB(0, 0, 0));
            draw_text(dc, "（続きあり）", &r, DT_SINGLELINE | DT_BOTTOM | DT_RIGHT | DT_NOPREFIX);
            SetBkMode(dc, TRANSPARENT);
        }
    }
}

bool report(const PrintPages::State& s, const LaidOutPage& page) {
    if (page.status == PageStatus::Placed) return true;
    if (page.status != PageStatus::Cancelled) show_error(s.owner, page_error_text(*s.doc, page).c_str());
    return false;
}

void show_printing_page(int page) {
    if (HWND dialog = printing_dialog()) SetDlgItemInt(dialog, IDC_PRINTING_PAGE, page, FALSE);
}

// The list: where each page starts is learnt by laying out the one before.
class ListPages : public PageKind {
public:
    explicit ListPages(const PrintPages::State& s) { starts_.push_back(first_page_start(s.layout)); }

    int known_pages() const override { return static_cast<int>(starts_.size()); }

    int count_pages(PrintPages::State& s) override {
        for (int page = known_pages(); !complete_; page = known_pages())
            if (!report(s, lay_out(s, page, false))) return 0;
        return known_pages();
    }

    bool draw_page(PrintPages::State& s, HDC dc, int page) override {
        while (known_pages() < page) {
            if (complete_) return false;
            if (!report(s, lay_out(s, known_pages(), false))) return false;
        }
        const LaidOutPage laid = lay_out(s, page, true);
        if (!report(s, laid)) return false;
        draw_blocks(dc, s, laid);
        return true;
    }

    std::string page_label(int page) const override { return "ページ " + std::to_string(page); }
    int cut_off_cards() const override { return 0; }

    // The pages before `first` are laid out, not drawn, to learn where
    // `first` starts.
    int print_pass(PrintPages::State& s, HDC dc, int first, int last, int copies) override {
        int last_page = 0;
        for (int page = 1; page <= last && page <= known_pages(); ++page) {
            const bool draw = page >= first;
            LaidOutPage laid;
            for (int copy = 0; copy < (draw ? copies : 1); ++copy) {
                if (draw) {
                    StartPage(dc);
                    show_printing_page(page);
                }
                SetMapMode(dc, MM_TEXT);
                laid = lay_out(s, page, draw);
                if (!report(s, laid)) {
                    if (draw) EndPage(dc);
                    return 0;
                }
                if (draw) {
                    draw_blocks(dc, s, laid);
                    EndPage(dc);
                }
            }
            last_page = page;
            if (laid.at_end) break;
        }
        return last_page;
    }

private:
    // Lays out page `page` (1-based, its start known) and learns where the
    // next one starts.
    LaidOutPage lay_out(PrintPages::State& s, int page, bool keep_blocks) {
        LaidOutPage result = lay_out_page(*s.doc, s.layout, *s.measurer, starts_[page - 1], keep_blocks);
        if (result.status != PageStatus::Placed) return result;
        if (result.at_end) {
            if (known_pages() == page) complete_ = true;
        } else if (known_pages() == page) {
            starts_.push_back(result.next);
        }
        return result;
    }

    // Start of page k + 1 at index k; `complete_` once the end is known.
    std::vector<PageStart> starts_;
    bool complete_ = false;
};

// Cards: every sheet is known from the start.
class CardPages : public PageKind {
public:
    explicit CardPages(CardFacesToPrint cards)
        : cards_(std::move(cards)), sheets_(card_sheet_count(cards_.faces.size(), cards_.settings)) {}

    int known_pages() const override { return sheets_; }

    // Every sheet is measured, to count the cards cut off.
    int count_pages(PrintPages::State& s) override {
        cut_off_ = 0;
        for (int page = 1; page <= known_pages(); ++page) {
            pump_print_messages();
            if (print_job_cancelled()) return 0;
            for (const PlacedCard& card : lay_out(s, page).cards) cut_off_ += card.cut_off;
        }
        return known_pages();
    }

    bool draw_page(PrintPages::State& s, HDC dc, int page) override {
        if (page > known_pages()) return false;
        draw_card_sheet(dc, s.dc, cards_, lay_out(s, page));
        return true;
    }

    std::string page_label(int page) const override {
        return std::string(page % 2 ? "表 " : "裏 ") + std::to_string((page + 1) / 2);
    }
    int cut_off_cards() const override { return cut_off_; }

    int print_pass(PrintPages::State& s, HDC dc, int first, int last, int copies) override {
        int last_page = 0;
        for (int page = std::max(1, first); page <= last && page <= known_pages(); ++page) {
            for (int copy = 0; copy < copies; ++copy) {
                pump_print_messages();
                if (print_job_cancelled()) return 0;
                StartPage(dc);
                show_printing_page(page);
                SetMapMode(dc, MM_TEXT);
                draw_page(s, dc, page);
                EndPage(dc);
            }
            last_page = page;
        }
        return last_page;
    }

private:
    CardSheet lay_out(const PrintPages::State& s, int page) {
        return lay_out_card_sheet(cards_.faces, s.layout.frame, cards_.settings, cards_.margin, *cards_.measurer,
                                  page - 1);
    }

    CardFacesToPrint cards_;
    int sheets_;
    int cut_off_ = 0;  // cards cut off, once every sheet was laid out
};

}  // namespace

PrintPages::PrintPages(std::unique_ptr<State> state) : s_(std::move(state)) {}
PrintPages::~PrintPages() = default;

std::unique_ptr<PrintPages> PrintPages::create(HWND owner, HDC dc, const CardDocument& doc) {
    commit_pane();
    const Application& a = app();
    const PrintSettings& settings = a.print;
    auto s = std::make_unique<State>();
    s->owner = owner;
    s->dc = dc;
    s->doc = &doc;

    SetMapMode(dc, MM_LOMETRIC);
    POINT unit{1, 1};
    DPtoLP(dc, &unit, 1);
    const int pen_width = std::abs(unit.y);
    s->qt_pen.reset(CreatePen(settings.QTStyle, pen_width, settings.QTColor));
    s->qq_pen.reset(CreatePen(settings.QQStyle, pen_width, settings.QQColor));
    s->qa_pen.reset(CreatePen(settings.QAStyle, pen_width, settings.QAColor));
    if (!s->qt_pen || !s->qq_pen || !s->qa_pen) {
        SetMapMode(dc, MM_TEXT);
        show_error(owner, "印刷できません。");
        return nullptr;
    }

    const PAGESETUPDLGW& setup = page_setup_record();
    global_lock lock(setup.hDevMode);
    const DEVMODEW* mode = lock.as<DEVMODEW>();
    if (!mode) {
        SetMapMode(dc, MM_TEXT);
        show_error(owner, "メモリをロックできません。");
        return nullptr;
    }
    s->dpi = mode->dmYResolution ? mode->dmYResolution : GetDeviceCaps(dc, LOGPIXELSY);
    PaperSetup paper;
    paper.paper_width = mode->dmPaperWidth;
    paper.paper_length = mode->dmPaperLength;
    paper.paper_code = mode->dmPaperSize;
    paper.orientation = mode->dmOrientation;
    paper.margins = {static_cast<int>(setup.rtMargin.left), static_cast<int>(setup.rtMargin.top),
                     static_cast<int>(setup.rtMargin.right), static_cast<int>(setup.rtMargin.bottom)};
    PageRect frame = frame_in_lometric(paper);
    logical_to_device(dc, &frame.left, &frame.top);
    logical_to_device(dc, &frame.right, &frame.bottom);
    s->copies = settings.copies;
    s->collated = mode->dmCollate == DMCOLLATE_TRUE;
    SetMapMode(dc, MM_TEXT);

    const Preferences& prefs = a.prefs;
    const ItemFonts defaults{prefs.Title, prefs.Question, prefs.Answer};
    s->layout = make_print_layout(settings, frame, s->dpi, defaults, prefs.UseDataSettings & 1);
    s->measurer = std::make_unique<GdiMeasurer>(owner, dc, s->dpi, settings.TitlePosition);
    s->measurer->create_number_fonts(prefs);
    s->measurer->set_fallbacks(defaults);
    if (settings.Form != PRINT_FORM_CARDS) {
        s->kind = std::make_unique<ListPages>(*s);
    } else {
        CardFacesToPrint cards;
        cards.settings = clamped(settings.cards);
        std::vector<char> selected;
        if (settings.selected_only) {
            selected.resize(static_cast<std::size_t>(doc.count()));
            for (int i = 0; i < doc.count(); ++i) selected[static_cast<std::size_t>(i)] = editor().is_selected(i);
        }
        cards.faces = card_faces(doc, cards.settings, settings.selected_only ? &selected : nullptr);
        if (cards.faces.empty()) {
            show_error(owner, settings.selected_only ? "選択した問題がありません。" : "印刷する問題がありません。");
            return nullptr;
        }
        cards.margin = mul_div(cards.settings.margin, s->dpi, 254);
        if (cards.settings.cut_lines != CutLines::none)
            cards.cut_pen.reset(CreatePen(cards.settings.cut_lines == CutLines::solid ? PS_SOLID : PS_DOT, 1,
                                          RGB(128, 128, 128)));
        cards.measurer = std::make_unique<CardGdiMeasurer>(owner, dc, s->dpi);
        s->kind = std::make_unique<CardPages>(std::move(cards));
    }
    return std::unique_ptr<PrintPages>(new PrintPages(std::move(s)));
}

int PrintPages::known_pages() const { return s_->kind->known_pages(); }

int PrintPages::count_pages() { return s_->kind->count_pages(*s_); }

bool PrintPages::draw_page(HDC dc, int page) { return page >= 1 && s_->kind->draw_page(*s_, dc, page); }

std::string PrintPages::page_label(int page) const { return s_->kind->page_label(page); }

int PrintPages::cut_off_cards() const { return s_->kind->cut_off_cards(); }

int render_pages(HWND owner, HDC dc, int first, int last, PrintOutput output, const CardDocument& doc,
                 int* cut_off) {
    std::unique_ptr<PrintPages> pages = PrintPages::create(owner, dc, doc);
    if (!pages) return -1;
    PrintPages::State& s = *pages->s_;
    if (output == PrintOutput::count) {
        const int count = pages->count_pages();
        if (cut_off) *cut_off = pages->cut_off_cards();
        return count;
    }
    const CopyPlan plan = copy_plan(s.copies, s.collated);
    int last_page = 0;
    for (int pass = 0; pass < plan.passes; ++pass) {
        last_page = s.kind->print_pass(s, dc, first, last, plan.per_page);
        if (last_page == 0) return 0;
    }
    return last_page;
}

}  // namespace qz
