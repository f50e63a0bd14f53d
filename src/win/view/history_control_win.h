// The right/wrong history strip of the question pane: five marks, "○" for
// a right answer and "×" for a wrong one. Keys 1-5 (main keyboard or keypad)
// and clicks toggle a mark; every toggle is committed at once.
#pragma once

#include <windows.h>

namespace qz {

inline constexpr UINT kHistorySetValue = WM_APP;       // lParam: value 0-31 (else 0)
inline constexpr UINT kHistoryGetValue = WM_USER + 1;  // returns the value

// Turns a static control into the history strip.
void make_history_control(HWND control);

}  // namespace qz
