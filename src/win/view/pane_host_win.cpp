#include "win/view/pane_host_win.h"

#include <array>
#include <utility>
#include <vector>

#include "core/layout/layout.h"
#include "core/prefs/font_in_effect.h"
#include "core/syntax/settings_line.h"
#include "resources/question_pane_ids.h"
#include "win/base/app_state_win.h"
#include "win/base/font_spec_win.h"
#include "win/base/wide_win.h"
#include "win/view/command_state_win.h"
#include "win/view/line_list_win.h"
#include "win/view/main_layout_win.h"
#include "win/view/pane_common_win.h"
#include "win/view/question_pane_win.h"
#include "win/view/list_mirror_win.h"

namespace qz {
namespace {

struct PaneHost {
    const PaneKind* kind = nullptr;  // the kind of app().pane
    // Panes of the other kinds shown before, hidden and empty, kept for the
    // next line of their kind: making a pane is most of what showing
    // another kind of line takes under some systems. Children of the main
    // window, they go with it.
    std::vector<std::pair<const PaneKind*, HWND>> kept;
    FieldCharsets charsets;
    std::array<unique_font, FONT_COUNT> default_fonts;
    std::array<unique_font, FONT_COUNT> line_fonts;
    // What the line fonts were made from: most lines share them.
    std::array<FontSpec, FONT_COUNT> line_specs;
    std::array<unique_brush, FONT_COUNT> brushes;
    unique_font control_font;
    unique_font list_font;
};

PaneHost& host() {
    static PaneHost h;
    return h;
}

constexpr int kFontKinds[FONT_COUNT] = {LINE_FONT_TITLE, LINE_FONT_QUESTION, LINE_FONT_ANSWER,
                                        LINE_FONT_COMMENT};

const FontSpec& default_spec(PaneFont which) {
    const Preferences& p = app().prefs;
    switch (which) {
    case FONT_TITLE: return p.Title;
    case FONT_QUESTION: return p.Question;
    case FONT_ANSWER: return p.Answer;
    default: return p.Comment;
    }
}

const PaneKind* pane_kind_for(int line_kind) {
    switch (line_kind) {
    case LINE_TITLE: return &kTitlePane;
    case LINE_GROUP: return &kGroupPane;
    case LINE_MESSAGE: return &kMessagePane;
    case LINE_TIME_LIMIT: return &kTimeLimitPane;
    default:
        if (is_font_kind(line_kind) && line_kind >= LINE_FONT_TITLE && line_kind <= LINE_FONT_COMMENT)
            return &kFontPane;
        if (is_settings_kind(line_kind)) return nullptr;  // unknown settings kind
        return &kQuestionPane;
    }
}

// The fonts in effect at the line, as fonts and as charsets; a font is made
// again only when its font record changed. True when one was.
bool rebuild_line_fonts(const DataLine* line) {
    PaneHost& h = host();
    const Application& a = app();
    unsigned charsets[FONT_COUNT];
    bool made = false;
    for (int i = 0; i < FONT_COUNT; ++i) {
        FontSpec font;
        font_spec_in_effect(document(), line, kFontKinds[i], a.prefs, font);
        charsets[i] = font.charset;
        if (!h.line_fonts[i] || !(font == h.line_specs[i])) {
            h.line_fonts[i] = create_font_from_spec(font, a.main_window);
            h.line_specs[i] = font;
            made = true;
        }
    }
    h.charsets = {charsets[FONT_TITLE], charsets[FONT_QUESTION], charsets[FONT_ANSWER],
                  charsets[FONT_COMMENT]};
    return made;
}

void apply_fonts() {
    const Application& a = app();
    // The list gets its font once: setting it again would measure every row.
    HFONT list_font = host().list_font.get();
    if (a.line_list && reinterpret_cast<HFONT>(SendMessageW(a.line_list, WM_GETFONT, 0, 0)) != list_font)
        SendMessageW(a.line_list, WM_SETFONT, reinterpret_cast<WPARAM>(list_font), TRUE);
    if (!a.pane || !host().kind) return;
    set_control_font(a.pane, IDC_PANE_COMMENT, pane_font(FONT_COMMENT));
    host().kind->apply_fonts(a.pane);
}

// Holds off a pane's drawing while it lives; then draws it whole.
class PaneRedrawGuard {
public:
    explicit PaneRedrawGuard(HWND pane) { reset(pane); }
    ~PaneRedrawGuard() { release(); }
    PaneRedrawGuard(const PaneRedrawGuard&) = delete;
    PaneRedrawGuard& operator=(const PaneRedrawGuard&) = delete;

    // Guards another pane (a new one is guarded while it is still hidden).
    void reset(HWND pane) {
        release();
        pane_ = pane && IsWindowVisible(pane) ? pane : nullptr;
        if (pane_) SendMessageW(pane_, WM_SETREDRAW, FALSE, 0);
    }

private:
    void release() {
        if (!pane_ || !IsWindow(pane_)) return;
        SendMessageW(pane_, WM_SETREDRAW, TRUE, 0);
        redraw_whole(pane_);
        pane_ = nullptr;
    }
    HWND pane_ = nullptr;
};

// Places the pane in the main window and lays out its controls.
void lay_out_pane() {
    layout_main_window();
    if (HWND pane = app().pane) {
        // The fonts decide the layout's unit, so lay out again even when the
        // size stayed.
        RECT client;
        GetClientRect(pane, &client);
        SendMessageW(pane, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
}

// The kept pane of `kind`, no longer kept (a question pane with the groups
// of the document now open); null when there is none.
HWND take_kept_pane(const PaneKind* kind) {
    auto& kept = host().kept;
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->first != kind) continue;
        const HWND pane = it->second;
        kept.erase(it);
        if (!IsWindow(pane)) return nullptr;
        if (kind == &kQuestionPane) fill_group_names(pane, IDC_QUESTION_GROUP);
        return pane;
    }
    return nullptr;
}

// The kept panes destroyed (their fonts and layout are out of date), or
// forgotten when their main window has gone.
void drop_kept_panes() {
    for (const auto& [kind, pane] : host().kept)
        if (IsWindow(pane)) DestroyWindow(pane);
    host().kept.clear();
}

}  // namespace

HFONT pane_font(PaneFont which) {
    PaneHost& h = host();
    if ((app().prefs.UseDataSettings & 1) && h.line_fonts[which]) return h.line_fonts[which].get();
    return h.default_fonts[which].get();
}

HFONT pane_control_font() { return host().control_font.get(); }

HBRUSH pane_brush(PaneFont which) { return host().brushes[which].get(); }

INT_PTR color_edit(HDC dc, PaneFont which) {
    const FontSpec& font = default_spec(which);
    SetTextColor(dc, font.text_color);
    SetBkColor(dc, font.back_color);
    return reinterpret_cast<INT_PTR>(pane_brush(which));
}

void mark_pane_changed() { editor().set_pending_edit(true); }

namespace {

// The default fonts and brushes and the control font from the preferences.
// All are made before the old ones go, so that no new font takes the handle
// of one a control still holds (the control would not take it again).
void make_pane_fonts() {
    PaneHost& h = host();
    HWND window = app().main_window;
    std::array<unique_font, FONT_COUNT> fonts;
    std::array<unique_brush, FONT_COUNT> brushes;
    for (int i = 0; i < FONT_COUNT; ++i) {
        const FontSpec& font = default_spec(static_cast<PaneFont>(i));
        fonts[i] = create_font_from_spec(font, window);
        brushes[i].reset(CreateSolidBrush(font.back_color));
    }
    unique_font control_font = create_font_from_spec(app().prefs.pane_control_font, window);
    // The old ones go at the end; the line fonts start from the defaults too.
    std::swap(h.default_fonts, fonts);
    std::swap(h.brushes, brushes);
    std::swap(h.control_font, control_font);
    std::array<unique_font, FONT_COUNT> old_line_fonts;
    std::swap(h.line_fonts, old_line_fonts);
    if (const DataLine* line = document().line_at(editor().current())) rebuild_line_fonts(line);
}

// The line list's font, at the main window's display scale.
void make_list_font() {
    LOGFONTW lf{};
    lf.lfHeight = scale_for_dpi(14, window_dpi(app().main_window));
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = 0x30;
    lstrcpynW(lf.lfFaceName, wide(kDefaultFaceName).c_str(), LF_FACESIZE);
    host().list_font.reset(CreateFontIndirectW(&lf));
}

}  // namespace

bool create_pane_resources() {
    PaneHost& h = host();
    // Panes kept for a main window before this one went with it.
    h.kept.clear();
    h.kind = nullptr;
    make_pane_fonts();
    make_list_font();
    return h.control_font && h.list_font;
}

void rescale_pane_fonts() {
    PaneHost& h = host();
    unique_font old_list_font = std::move(h.list_font);
    make_list_font();
    if (!h.list_font) h.list_font = std::move(old_list_font);
    if (app().line_list)
        SendMessageW(app().line_list, WM_SETFONT, reinterpret_cast<WPARAM>(h.list_font.get()), TRUE);
    reload_pane_resources();
}

void reload_pane_resources() {
    drop_kept_panes();
    make_pane_fonts();
    PaneRedrawGuard quiet(app().pane);
    apply_fonts();
    lay_out_pane();
}

void release_pane_resources() {
    PaneHost& h = host();
    h.kept.clear();
    for (int i = 0; i < FONT_COUNT; ++i) {
        h.default_fonts[i].reset();
        h.line_fonts[i].reset();
        h.brushes[i].reset();
    }
    h.control_font.reset();
    h.list_font.reset();
}

bool show_line_in_pane(int index) {
    Application& a = app();
    const CardDocument& doc = document();
    PaneHost& h = host();
    if (a.pane) SetDlgItemTextW(a.pane, IDC_PANE_COMMENT, L"");
    const DataLine* line = doc.line_at(index);
    if (!line) return false;
    editor().set_current(index, line->kind());

    const bool new_fonts = rebuild_line_fonts(line);
    // Filling many fields of a visible pane draws each of them (and its
    // scroll bar) at once; the pane is drawn once, at the end, instead.
    // (Held off, it does not count as visible.)
    const bool shown = a.pane && IsWindowVisible(a.pane);
    PaneRedrawGuard quiet(a.pane);
    const PaneKind* kind = pane_kind_for(line->kind());
    bool created = false, taken = false;
    if (kind) {
        if (a.pane && h.kind == kind) {
            kind->clear(a.pane);
        } else {
            // Drawing comes back on before the pane is put away, so that
            // it does not show the pane again afterwards.
            quiet.reset(nullptr);
            put_away_pane();
            if (HWND pane = take_kept_pane(kind)) {
                a.pane = pane;
                taken = true;
            } else {
                a.pane = CreateDialogParamW(a.instance, MAKEINTRESOURCEW(kind->resource), a.main_window,
                                            kind->procedure, 0);
                if (!a.pane) return false;
                created = true;
            }
            h.kind = kind;
        }
        // Fonts and sizes reach the fields before their text: an edit
        // control lays its text out again for each of them.
        apply_fonts();
        if (created) {
            lay_out_pane();
        } else if (taken) {
            // Placed where the pane goes; it lays itself out again when
            // its size changed while it was put away.
            layout_main_window();
        }
        kind->fill(a.pane, PaneLine{doc, *line, h.charsets});
        // A pane that was hidden is drawn once, with the next paint.
        if (created || taken || !shown) show_child_window(a.pane);
    }
    // A pane kept for this line is laid out as it was unless its fonts
    // changed (the layout depends on its size and fonts alone; laying it
    // out moves every control, a tenth of opening a file under some
    // systems).
    if (!kind || (!created && !taken && new_fonts)) {
        apply_fonts();
        lay_out_pane();
    }
    show_line_position(index);
    editor().set_pending_edit(false);
    return true;
}

bool commit_pane() {
    Application& a = app();
    PaneHost& h = host();
    const DataLine* line = document().line_at(editor().current());
    // The model holds whether the pane has an edit not yet committed.
    if (!line || !a.pane || !h.kind || !editor().pending_edit()) return false;
    // A pane commits only the lines of its own kind.
    if (pane_kind_for(line->kind()) != h.kind) return false;
    std::optional<std::string> text = h.kind->compose(a.pane, PaneLine{document(), *line, h.charsets});
    editor().set_pending_edit(false);
    if (!text) return false;
    ChangeReport change = editor().commit_line(editor().current(), std::move(*text));
    if (!change.any()) return false;
    relabel_lines(change.first, document().count() - 1);
    set_line_data(editor().current());
    update_command_state();
    return true;
}

std::optional<std::string> pending_pane_text() {
    Application& a = app();
    PaneHost& h = host();
    const DataLine* line = document().line_at(editor().current());
    if (!line || !a.pane || !h.kind || !editor().pending_edit()) return std::nullopt;
    if (pane_kind_for(line->kind()) != h.kind) return std::nullopt;
    return h.kind->compose(a.pane, PaneLine{document(), *line, h.charsets});
}

void put_away_pane() {
    Application& a = app();
    PaneHost& h = host();
    // A pane has the kind it was made for.
    if (a.pane) {
        // The focus leaves it first (which commits a pending edit): a
        // hidden field would still take the keys.
        if (IsChild(a.pane, GetFocus())) SetFocus(a.line_list ? a.line_list : a.main_window);
        ShowWindow(a.pane, SW_HIDE);
        h.kind->clear(a.pane);
        SetDlgItemTextW(a.pane, IDC_PANE_COMMENT, L"");
        h.kept.emplace_back(h.kind, a.pane);
    }
    a.pane = nullptr;
    h.kind = nullptr;
    editor().set_pending_edit(false);
}

}  // namespace qz
