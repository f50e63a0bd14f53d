// Times Replace All from the replace dialog on a 100,000-line document in
// which every tenth question holds the search text (10,000 matches), until
// the list is drawn again, and its undo ("scripts/bench-editor.sh replace").
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_timing.h"
#include "resources/replace_ids.h"
#include "win/app/data_file_win.h"
#include "win/app/file_commands_win.h"
#include "win/operations/line_edit_win.h"
#include "win/operations/replace_win.h"

void run_replace_bench(HWND main, const std::string& dir) {
    using namespace qz;
    using qz::bench::timed;
    const int kLines = 100000;
    std::string text = "QUIZODATA V1.4\r\n";
    for (int i = 0; i < kLines; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0)
            text += "#第" + n + "章,211100\r\n";
        else
            text += "問題" + n + (i % 10 == 1 ? "旧地名" : "") + "の答えは？,[答え" + n +
                    "|こたえ],?21'注\r\n";
    }
    const std::string path = dir + "qzobench-replace.qzf";
    replace_file_contents(path, text);
    open_document(main, path);
    bench::pump();

    for (const char* find : {"旧地名", "KYUUCHIMEI"}) {
        show_replace_dialog(main);
        HWND dialog = replace_dialog();
        SetDlgItemTextA(dialog, IDC_REPLACE_FIND, find);
        SetDlgItemTextA(dialog, IDC_REPLACE_WITH, "新しい地名");
        CheckRadioButton(dialog, IDC_REPLACE_SELECTED, IDC_REPLACE_EVERY_LINE,
                         IDC_REPLACE_EVERY_LINE);
        const double all =
            timed([&] { SendMessageA(dialog, WM_COMMAND, IDC_REPLACE_ALL, 0); });
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        const bool changed = app().editor.can_undo();
        const double undo = changed ? timed([] { undo_change(); }) : 0.0;
        std::printf("%-34s %7.1f ms (undo %6.1f ms)\n",
                    changed ? "replace all, 10,000 matches:" : "replace all, no match:", all, undo);
    }
    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}
