// What the timed runs under Wine share: a clock, the message pump of the
// real loop, and a timer that waits until a window is drawn and every
// message handled.
#pragma once

#include <windows.h>

#include "win/app/application.h"
#include "win/base/app_state.h"

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

}  // namespace qz::bench
