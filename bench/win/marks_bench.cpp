// The marks window on a 100,000-line document: opening it with the list
// filled and the chart drawn, and the chart drawn again after a resize
// ("scripts/bench-editor.sh marks").
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench_timing.h"
#include "resources/marks_ids.h"
#include "win/app/data_file_win.h"
#include "win/app/file_commands_win.h"
#include "win/operations/marks_win.h"

void run_marks_bench(HWND main, const std::string& dir) {
    using namespace qz;
    using qz::bench::timed;
    std::string text = "QUIZODATA V1.4\r\n";
    for (int i = 0; i < 100000; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0)
            text += "#第" + n + "章,011100\r\n";
        else
            text += "問題" + n + "の答えは何でしょうか？,答え" + n + "," + char('<' + i % 32) + "10\r\n";
    }
    const std::string path = dir + "qzobench-marks.qzf";
    replace_file_contents(path, text);
    open_document(main, path);
    bench::pump();
    const double open = timed([&] { show_marks(main); },
                              GetDlgItem(marks_window(), IDC_MARKS_LIST));
    std::printf("%-40s %7.1f ms\n", "open the marks window (100,000 lines):", open);
    HWND window = marks_window();
    HWND chart = GetDlgItem(window, IDC_MARKS_CHART);
    double longest = 0, total = 0;
    const int kSizes = 10;
    for (int i = 0; i < kSizes; ++i) {
        const int width = 500 + (i % 2 ? 200 : 0) + i * 10, height = 420 + (i % 2 ? 150 : 0);
        const double ms = timed([&] { SetWindowPos(window, nullptr, 0, 0, width, height,
                                                   SWP_NOMOVE | SWP_NOZORDER); }, chart);
        longest = std::max(longest, ms);
        total += ms;
    }
    std::printf("%-40s %7.1f ms (longest %.1f ms)\n", "resize, laid out and drawn:", total / kSizes,
                longest);
    // Of that, the chart's own drawing, and the list's.
    for (int id : {IDC_MARKS_CHART, IDC_MARKS_LIST}) {
        HWND control = GetDlgItem(window, id);
        longest = 0;
        for (int i = 0; i < kSizes; ++i)
            longest = std::max(longest, timed([&] { InvalidateRect(control, nullptr, TRUE); }, control));
        std::printf("%-40s %7.1f ms\n", id == IDC_MARKS_CHART ? "  the chart drawn (longest):"
                                                               : "  the list drawn (longest):",
                    longest);
    }
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    DeleteFileA(path.c_str());
}
