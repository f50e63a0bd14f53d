// Times copy, cut and paste of lines, swap question and answer and the
// group change on a 100,000-line document, each with its undo
// ("scripts/bench-editor.sh bulk").
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "win/app/application_win.h"
#include "win/app/data_file_win.h"
#include "win/app/file_commands_win.h"
#include "win/operations/bulk_edit_win.h"
#include "win/operations/clipboard_win.h"
#include "win/operations/line_edit_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_host_win.h"

namespace {

using qz::bench::pump;
using qz::bench::timed;

// Times the operation and its undo; says the line count after the operation.
template <class F>
void time_with_undo(const char* what, F&& f) {
    const double ms = timed(f);
    const int lines = qz::document().count();
    const double undo = timed([] { qz::undo_change(); });
    std::printf("%-34s %7.1f ms (undo %6.1f ms), lines after %d\n", what, ms, undo, lines);
}

}  // namespace

void run_bulk_edit_bench(HWND main, const std::string& dir) {
    using namespace qz;
    const int kLines = 100000;
    std::string text = "QUIZODATA V1.4\r\n";
    for (int i = 0; i < kLines; ++i)
        text += "問題" + std::to_string(i) + "の(答え)は？,[答え" + std::to_string(i) + "|こたえ],?2" +
                std::to_string(i % 10) + "\r\n";
    const std::string path = dir + "qzobench-bulk.qzf";
    replace_file_contents(path, text);
    app().editor.mark_saved();
    open_document(main, path);
    pump();
    SetFocus(app().line_list);
    auto select = [](int first, int count) {
        std::vector<int> lines(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) lines[static_cast<std::size_t>(i)] = first + i;
        editor().set_selection(lines, first);
        mirror_model();
        pump();
    };

    select_all_lines();
    const double copy = timed([&] { copy_lines_to_clipboard(main); });
    std::printf("%-34s %7.1f ms, lines %d\n", "copy all:", copy, document().count());

    select(0, 1);
    show_line_in_pane(0);
    time_with_undo("paste 100,000 lines after line 0:", [] { paste_lines(); });
    select_all_lines();
    time_with_undo("cut all:", [&] { cut_lines(main); });
    select(0, 50000);
    time_with_undo("swap 50,000 questions:", [&] { swap_question_answer(main); });
    select_all_lines();
    time_with_undo("group change of 100,000 questions:", [&] { set_group_of_selection(main, 7); });

    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}
