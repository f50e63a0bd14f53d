// The marks chart: one horizontal bar per section, as long as the section
// has questions beside the largest one, split into the questions whose
// marks are all right, mostly right, mostly wrong and all wrong. The four
// bands differ in lightness and in hatching as well as in hue (blue to
// orange), so that they stay apart in print and for colour-blind eyes. A
// click on a bar chooses its section (the parent gets WM_COMMAND with
// kChartChose); the chart scrolls when the bars do not fit.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/operations/marks.h"

namespace qz {

inline constexpr char kMarksChartClass[] = "QuizoMarksChart";
inline constexpr WORD kChartChose = 1;

// Its window procedure (registered through guarded_window_proc).
LRESULT marks_chart_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// The sections the chart shows (one chart at a time), and the chosen one
// (-1: none); it is drawn again.
void set_chart_sections(HWND chart, std::vector<SectionMarks> sections, int chosen);
// The section chosen last (-1: none).
int chart_chosen(HWND chart);
// Chooses a section as a click on its bar does (no notification).
void choose_chart_section(HWND chart, int section);
// Where bar `section` is drawn in the chart's client area (empty when it is
// scrolled out of view).
RECT chart_bar_rect(HWND chart, int section);

}  // namespace qz
