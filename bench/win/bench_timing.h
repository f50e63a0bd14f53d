// What the timed runs under Wine share: a clock, the message pump of the
// real loop, and a timer that waits until a window is drawn and every
// message handled; the document the printing runs lay out.
#pragma once

#include <windows.h>

#include <string>

#include "win/app/application_win.h"
#include "win/base/app_state_win.h"

namespace qz::bench {

inline double now_ms() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (preprocess_message(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The time of `f` until `drawn` (the line list when none is given) is drawn
// and every message handled.
template <class F>
double timed(F&& f, HWND drawn = nullptr) {
    const double t0 = now_ms();
    f();
    UpdateWindow(drawn ? drawn : app().line_list);
    pump();
    return now_ms() - t0;
}

// A generated quiz of `lines` lines: titles every 50 lines, questions with
// alternatives, comments and blank lines.
inline std::string printed_quiz(int lines) {
    std::string text = "QUIZODATA V1.4\r\n";
    text.reserve(static_cast<std::size_t>(lines) * 52);
    for (int i = 0; i < lines; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0)
            text += "#第" + n + "章,011100'章のコメント\r\n";
        else if (i % 25 == 7)
            text += "'コメント行 " + n + "\r\n";
        else if (i % 40 == 13)
            text += "\r\n";
        else
            text += "問題" + n + "の答えは何でしょうか？,[答え" + n + "|こたえ],?2" + std::to_string(i % 2) + "\r\n";
    }
    return text;
}

}  // namespace qz::bench
