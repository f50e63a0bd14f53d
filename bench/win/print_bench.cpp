// Times printing on a 100,000-line document ("scripts/bench-editor.sh
// print"): counting the pages as the print command does before its dialog,
// and, after a count, drawing one page from the middle onto a bitmap mapped
// like the printer's page, as a preview does. Needs a default printer.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_timing.h"
#include "win/app/data_file_win.h"
#include "win/app/file_commands_win.h"
#include "win/base/app_state_win.h"
#include "win/base/page_setup_win.h"
#include "win/base/handles_win.h"
#include "win/operations/print_job_win.h"
#include "win/operations/print_render_win.h"

namespace {

using qz::bench::now_ms;
using qz::bench::printed_quiz;
using qz::bench::pump;

}  // namespace

void run_print_bench(HWND main, const std::string& dir) {
    using namespace qz;
    if (!ensure_page_setup(nullptr)) {
        std::printf("no printer\n");
        return;
    }
    const std::string path = dir + "qzobench-print.qzf";
    replace_file_contents(path, printed_quiz(100000));
    app().editor.mark_saved();
    open_document(main, path);
    pump();
    unique_dc printer(create_printer_dc(main));
    HDC dc = printer.get();
    if (!dc) {
        std::printf("no printer device context\n");
        return;
    }
    double t0 = now_ms();
    const int pages = render_pages(main, dc, kAllPages, kAllPages, PrintOutput::count, document());
    const double count = now_ms() - t0;

    std::unique_ptr<PrintPages> layout = PrintPages::create(main, dc, document());
    t0 = now_ms();
    const int counted = layout ? layout->count_pages() : 0;
    const double keep = now_ms() - t0;

    // A bitmap of 600 x 848 pixels showing the printer's page.
    const int width = GetDeviceCaps(dc, PHYSICALWIDTH), height = GetDeviceCaps(dc, PHYSICALHEIGHT);
    window_dc screen(main);
    unique_dc memory(CreateCompatibleDC(screen.get()));
    HDC preview = memory.get();
    unique_bitmap bitmap(CreateCompatibleBitmap(screen.get(), 600, 848));
    const HGDIOBJ old = SelectObject(preview, bitmap.get());
    RECT all{0, 0, 600, 848};
    FillRect(preview, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetMapMode(preview, MM_ANISOTROPIC);
    SetWindowExtEx(preview, width, height, nullptr);
    SetViewportExtEx(preview, 600, 848, nullptr);
    const int middle = counted / 2;
    t0 = now_ms();
    const bool drawn = layout && layout->draw_page(preview, middle);
    const double draw = now_ms() - t0;
    t0 = now_ms();
    const bool again = layout && layout->draw_page(preview, middle + 1);
    const double next = now_ms() - t0;
    SelectObject(preview, old);
    layout.reset();  // before the printer it measured on

    std::printf("100000 lines: %d pages; counting for the print dialog %7.1f ms, counting and keeping "
                "page starts %7.1f ms, drawing page %d %s %6.1f ms, page %d %s %6.1f ms\n",
                pages, count, keep, middle, drawn ? "" : "(failed)", draw, middle + 1, again ? "" : "(failed)",
                next);
    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}
