// Times the print preview on a 100,000-line document ("scripts/bench-editor.sh
// preview"): opening it (counting every page), then End, Page Up and Home
// until the view is painted, with the page fitted and at actual size. Needs
// a default printer.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_timing.h"
#include "resources/print_preview_ids.h"
#include "win/app/data_file_win.h"
#include "win/app/file_commands_win.h"
#include "win/base/app_state_win.h"
#include "win/base/page_setup_win.h"
#include "win/base/window_text_win.h"
#include "win/operations/print_preview_win.h"

namespace {

using qz::bench::now_ms;
using qz::bench::printed_quiz;
using qz::bench::pump;
using qz::bench::timed;

}  // namespace

void run_print_preview_bench(HWND main, const std::string& dir) {
    using namespace qz;
    if (!ensure_page_setup(nullptr)) {
        std::printf("no printer\n");
        return;
    }
    const std::string path = dir + "qzobench-preview.qzf";
    replace_file_contents(path, printed_quiz(100000));
    app().editor.mark_saved();
    open_document(main, path);
    pump();

    for (const int form : {PRINT_FORM_LIST, PRINT_FORM_CARDS}) {
        app().print.Form = form;
        const double t0 = now_ms();
        show_print_preview(main);
        HWND preview = print_preview_window();
        if (!preview) {
            std::printf("the preview did not open\n");
            break;
        }
        HWND view = GetDlgItem(preview, IDC_PREVIEW_PAGE);
        UpdateWindow(preview);
        pump();
        const double open = now_ms() - t0;
        const std::string shown = window_text(GetDlgItem(preview, IDC_PREVIEW_PAGE_NUMBER));
        std::printf("100000 lines as %s, %d pages: open the preview (laying out) %7.1f ms\n",
                    form == PRINT_FORM_CARDS ? "cards" : "a list",
                    std::atoi(shown.c_str() + shown.rfind('/') + 1), open);
        const auto key = [view](WPARAM k) {
            return timed([view, k] { PostMessageA(view, WM_KEYDOWN, k, 0); pump(); }, view);
        };
        for (const char* zoom : {"fitted", "actual size"}) {
            if (zoom[0] == 'a') {
                SendMessageA(GetDlgItem(preview, IDC_PREVIEW_ACTUAL_SIZE), BM_CLICK, 0, 0);
                pump();
            }
            const double end = key(VK_END), up = key(VK_PRIOR), home = key(VK_HOME);
            std::printf("  %-12s End %6.1f ms, Page Up %6.1f ms, Home %6.1f ms\n", zoom, end, up, home);
        }
        SendMessageA(preview, WM_COMMAND, IDCANCEL, 0);
        pump();
    }
    app().print.Form = PRINT_FORM_LIST;
    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}
