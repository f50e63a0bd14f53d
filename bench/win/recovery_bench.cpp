// Typing into the pane of a 100,000-line document while its recovery file
// is written every second: the longest gap between two keystrokes handled,
// against the same typing with recovery off ("scripts/bench-editor.sh
// recovery").
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench_timing.h"
#include "resources/question_pane_ids.h"
#include "win/app/data_file_win.h"
#include "win/app/file_commands_win.h"
#include "win/app/recovery_win.h"
#include "win/view/pane_host_win.h"

namespace {

struct Typing {
    double longest_ms = 0;
    int keys = 0;
    int writes = 0;
};

// Types into the question field for `seconds`, a key at a time, each
// handled (with whatever the message loop has to do besides) before the next.
Typing type_for(HWND field, double seconds, const std::string& recovery) {
    using qz::bench::now_ms;
    Typing t;
    FILETIME last_write{};
    const double end = now_ms() + seconds * 1000;
    double last = now_ms();
    while (last < end) {
        PostMessageA(field, WM_CHAR, 'a' + t.keys % 26, 1);
        qz::bench::pump();
        const double now = now_ms();
        t.longest_ms = std::max(t.longest_ms, now - last);
        last = now;
        ++t.keys;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(recovery.c_str(), GetFileExInfoStandard, &data) &&
            CompareFileTime(&data.ftLastWriteTime, &last_write) != 0) {
            last_write = data.ftLastWriteTime;
            ++t.writes;
        }
        Sleep(5);  // a fast typist: a key every few milliseconds
    }
    return t;
}

}  // namespace

void run_recovery_bench(HWND main, const std::string& dir) {
    using namespace qz;
    const int kLines = 100000;
    std::string text = "QUIZODATA V1.4\r\n";
    for (int i = 0; i < kLines; ++i)
        text += "問題" + std::to_string(i) + "の答えは何でしょうか？,[答え" + std::to_string(i) +
                "|こたえ],?21'コメント\r\n";
    const std::string path = dir + "qzobench-recovery.qzf";
    replace_file_contents(path, text);
    open_document(main, path);
    bench::pump();
    show_line_in_pane(1);
    HWND field = GetDlgItem(app().pane, IDC_QUESTION);
    SetFocus(field);
    const std::string recovery = recovery_file_of(path);
    for (int interval : {0, 1}) {
        app().prefs.RecoveryInterval = interval;
        const Typing t = type_for(field, 6.0, recovery);
        std::printf("typing, recovery %s: %d keys, %d recovery writes, longest gap %.1f ms\n",
                    interval ? "every 1 s" : "off      ", t.keys, t.writes, t.longest_ms);
    }
    app().prefs.RecoveryInterval = 0;
    remove_recovery_file();
    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}
