#include "win/view/marks_chart_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

#include "win/base/handles_win.h"
#include "core/layout/layout.h"
#include "win/base/wide_win.h"
#include "win/base/dpi_win.h"

namespace qz {
namespace {

struct Chart {
    std::vector<SectionMarks> sections;
    int chosen = -1;
    int top = 0;  // first row shown
    int legend_height = 20;  // one line of the legend, or more when it wraps
    int dpi = kDesignDpi;    // of the window it is drawn in
};

Chart& chart() {
    static Chart c;
    return c;
}

// Sizes at 96 dpi, scaled to the window's.
constexpr int kMargin = 6;
constexpr int kLegendLine = 20;
constexpr int kRowHeight = 22;

// Lightness falls from "all right" to "all wrong"; the wrong bands are
// hatched besides.
constexpr COLORREF kBandColors[kBandCount] = {RGB(0, 90, 170), RGB(120, 180, 230),
                                              RGB(240, 170, 60), RGB(190, 70, 0)};
constexpr int kBandHatch[kBandCount] = {-1, -1, HS_BDIAGONAL, HS_DIAGCROSS};

int px(int design) { return scale_for_dpi(design, chart().dpi); }

// The dialog's font, which is scaled with it.
HGDIOBJ chart_font(HWND hwnd) {
    if (HWND parent = GetParent(hwnd))
        if (const LRESULT font = SendMessageW(parent, WM_GETFONT, 0, 0)) return reinterpret_cast<HGDIOBJ>(font);
    return GetStockObject(DEFAULT_GUI_FONT);
}

int rows_visible(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    return std::max(1, static_cast<int>((client.bottom - chart().legend_height - px(kMargin)) / px(kRowHeight)));
}

void update_scroll(HWND hwnd) {
    Chart& c = chart();
    const int count = static_cast<int>(c.sections.size());
    c.top = std::clamp(c.top, 0, std::max(0, count - rows_visible(hwnd)));
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, count - 1),
                    static_cast<UINT>(rows_visible(hwnd)), c.top, 0};
    SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
}

void fill_band(HDC dc, const RECT& r, int band) {
    unique_brush solid(CreateSolidBrush(kBandColors[band]));
    FillRect(dc, &r, solid.get());
    if (kBandHatch[band] >= 0) {
        unique_brush hatch(CreateHatchBrush(kBandHatch[band], RGB(255, 255, 255)));
        const int old_mode = SetBkMode(dc, TRANSPARENT);
        FillRect(dc, &r, hatch.get());
        SetBkMode(dc, old_mode);
    }
}

// The name column takes up to a third of the width.
int name_width(const RECT& client) { return std::min<int>(px(180), (client.right - 2 * px(kMargin)) / 3); }

RECT bar_area(const RECT& client, int row) {
    const int x = px(kMargin) + name_width(client) + px(4);
    const int y = chart().legend_height + px(kMargin) + row * px(kRowHeight);
    return {x, y + px(3), client.right - px(kMargin) - px(48), y + px(kRowHeight) - px(3)};
}

// Where each band's swatch goes in the legend, on as many lines as the
// width needs; the legend's height.
int lay_out_legend(HDC dc, int width, POINT (&at)[kBandCount]) {
    int x = px(kMargin), y = 0;
    for (int band = 0; band < kBandCount; ++band) {
        const char* label = mark_band_label(static_cast<MarkBand>(band));
        SIZE size{};
        const std::wstring text = wide(label);
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        if (x > px(kMargin) && x + px(18) + size.cx > width - px(kMargin)) {
            x = px(kMargin);
            y += px(kLegendLine);
        }
        at[band] = {x, y};
        x += px(18) + size.cx + px(14);
    }
    return y + px(kLegendLine);
}

void measure_legend(HWND hwnd) {
    chart().dpi = window_dpi(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    window_dc dc(hwnd);
    SelectObject(dc.get(), chart_font(hwnd));
    POINT at[kBandCount];
    chart().legend_height = lay_out_legend(dc.get(), client.right, at);
}

void paint(HWND hwnd, HDC dc) {
    const Chart& c = chart();
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    SelectObject(dc, chart_font(hwnd));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));

    // The legend: a swatch and the label of each band.
    POINT at[kBandCount];
    lay_out_legend(dc, client.right, at);
    for (int band = 0; band < kBandCount; ++band) {
        const auto [x, y] = at[band];
        RECT swatch{x, y + px(5), x + px(14), y + px(17)};
        fill_band(dc, swatch, band);
        FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        RECT text{x + px(18), y + px(3), client.right, y + px(kLegendLine)};
        DrawTextW(dc, wide(mark_band_label(static_cast<MarkBand>(band))).c_str(), -1, &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }

    int largest = 1;
    for (const SectionMarks& m : c.sections) largest = std::max(largest, m.questions);
    const int rows = rows_visible(hwnd);
    for (int row = 0; row < rows && c.top + row < static_cast<int>(c.sections.size()); ++row) {
        const int index = c.top + row;
        const SectionMarks& m = c.sections[static_cast<std::size_t>(index)];
        const RECT area = bar_area(client, row);
        if (index == c.chosen) {
            RECT band{0, area.top - px(3), client.right, area.bottom + px(3)};
            FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        }
        RECT name{px(kMargin), area.top - px(3), px(kMargin) + name_width(client), area.bottom + px(3)};
        DrawTextW(dc, wide(m.name).c_str(), -1, &name,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        const int full = std::max(0, static_cast<int>(area.right - area.left));
        const int length = static_cast<int>(static_cast<long long>(full) * m.questions / largest);
        int left = area.left;
        int done = 0;
        for (int band = 0; band < kBandCount; ++band) {
            done += m.bands[static_cast<std::size_t>(band)];
            const int right = area.left + static_cast<int>(static_cast<long long>(length) * done /
                                                           std::max(1, m.questions));
            if (right > left) fill_band(dc, RECT{left, area.top, right, area.bottom}, band);
            left = right;
        }
        char count[24];
        std::snprintf(count, sizeof count, "%d 問", m.questions);
        RECT number{area.left + length + 4, area.top - 3, client.right, area.bottom + 3};
        DrawTextW(dc, wide(count).c_str(), -1, &number, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    }
}

int section_at(HWND hwnd, int y) {
    const Chart& c = chart();
    if (y < chart().legend_height + px(kMargin)) return -1;
    const int index = c.top + (y - chart().legend_height - px(kMargin)) / px(kRowHeight);
    return index < static_cast<int>(c.sections.size()) ? index : -1;
}

void scroll_to(HWND hwnd, int top) {
    chart().top = top;
    update_scroll(hwnd);
    InvalidateRect(hwnd, nullptr, FALSE);
}

}  // namespace

LRESULT marks_chart_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        // Drawn off screen first, so that a resize does not flicker.
        RECT client;
        GetClientRect(hwnd, &client);
        unique_dc memory(CreateCompatibleDC(dc));
        unique_bitmap bitmap(CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom)));
        if (memory && bitmap) {
            HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
            paint(hwnd, memory.get());
            BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
            SelectObject(memory.get(), old);
        } else {
            paint(hwnd, dc);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
        measure_legend(hwnd);
        update_scroll(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN: {
        const int section = section_at(hwnd, GET_Y_LPARAM(lparam));
        if (section < 0) return 0;
        choose_chart_section(hwnd, section);
        SendMessageW(GetParent(hwnd), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(hwnd), kChartChose), reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    case WM_MOUSEWHEEL:
        scroll_to(hwnd, chart().top - GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA * 3);
        return 0;
    case WM_VSCROLL: {
        int top = chart().top;
        switch (LOWORD(wparam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= rows_visible(hwnd); break;
        case SB_PAGEDOWN: top += rows_visible(hwnd); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: top = HIWORD(wparam); break;
        }
        scroll_to(hwnd, top);
        return 0;
    }
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

void set_chart_sections(HWND hwnd, std::vector<SectionMarks> sections, int chosen) {
    Chart& c = chart();
    c.sections = std::move(sections);
    c.chosen = chosen;
    measure_legend(hwnd);
    update_scroll(hwnd);
    InvalidateRect(hwnd, nullptr, FALSE);
}

int chart_chosen(HWND) { return chart().chosen; }

void choose_chart_section(HWND hwnd, int section) {
    Chart& c = chart();
    c.chosen = section >= 0 && section < static_cast<int>(c.sections.size()) ? section : -1;
    InvalidateRect(hwnd, nullptr, FALSE);
}

RECT chart_bar_rect(HWND hwnd, int section) {
    const int row = section - chart().top;
    if (row < 0 || row >= rows_visible(hwnd)) return {};
    RECT client;
    GetClientRect(hwnd, &client);
    return bar_area(client, row);
}

}  // namespace qz
