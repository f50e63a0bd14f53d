// Times the problem check window on a 100,000-line document: the command
// (check, list and first paint), a re-check, a sort by kind and going to
// the last row's line ("scripts/bench-editor.sh problems"). With choice
// count 2 nothing is found; with 3 every question is a problem, so the
// list holds about 91,000 rows.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "bench_timing.h"
#include "win/app/application_win.h"
#include "win/base/app_state_win.h"
#include "win/app/file_commands_win.h"
#include "win/app/data_file_win.h"
#include "win/operations/problem_check_win.h"
#include "resources/problem_check_ids.h"
#include "resources/resource.h"

namespace {

using qz::bench::pump;

// The time of `f` until the problem window is drawn and every message
// handled.
template <class F>
double timed(F&& f) {
    return qz::bench::timed([&] {
        f();
        if (HWND w = qz::problem_check_window()) UpdateWindow(w);
    });
}

std::string quiz(int lines, int choices) {
    std::string text = "QUIZODATA V1.4\r\n";
    text.reserve(static_cast<std::size_t>(lines) * 52);
    for (int i = 0; i < lines; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0)
            text += "#第" + n + "章," + std::to_string(choices) + "11100'章のコメント\r\n";
        else if (i % 25 == 7)
            text += "'コメント行 " + n + "\r\n";
        else if (i % 40 == 13)
            text += "\r\n";
        else
            text += "問題" + n + "の答えは？,[答え" + n + "|こたえ],?2" + std::to_string(i % 2) + "\r\n";
    }
    return text;
}

}  // namespace

void run_problem_check_bench(HWND main, const std::string& dir) {
    using namespace qz;
    const std::string path = dir + "qzobench-problems.qzf";
    for (int choices : {2, 3}) {
        replace_file_contents(path, quiz(100000, choices));
        app().editor.mark_saved();
        open_document(main, path);
        pump();
        const double check = timed([&] { SendMessageA(main, WM_COMMAND, CMD_PROBLEM_CHECK, 0); });
        HWND window = problem_check_window();
        HWND list = GetDlgItem(window, IDC_PROBLEM_LIST);
        const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        const double recheck = timed([&] {
            SendMessageA(window, WM_COMMAND, IDC_PROBLEM_RECHECK, 0);
        });
        NMLISTVIEW click{};
        click.hdr = {list, IDC_PROBLEM_LIST, LVN_COLUMNCLICK};
        click.iItem = -1;
        click.iSubItem = 1;
        const double sort = timed([&] {
            SendMessageA(window, WM_NOTIFY, IDC_PROBLEM_LIST, reinterpret_cast<LPARAM>(&click));
        });
        const double go = timed([&] { if (rows > 0) activate_problem_row(rows - 1); });
        std::printf("choice count %d: %6d rows; check and list %7.1f ms, re-check %7.1f ms, "
                    "sort by kind %7.1f ms, go to the last row %6.1f ms\n",
                    choices, rows, check, recheck, sort, go);
        DestroyWindow(window);
        pump();
    }
    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}
