// Import of 100,000 rows in the editor: from the command to the lines in
// the list, the file read, detected and read whole for the dialog's
// preview, the dialog accepted and the lines inserted as one step; and
// export of the 100,000 cards ("scripts/bench-editor.sh exchange").
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_timing.h"
#include "resources/export_ids.h"
#include "win/app/data_file_win.h"
#include "win/app/exchange_win.h"
#include "win/app/file_commands_win.h"
#include "win/base/file_dialog_win.h"

namespace {

double dialog_shown = 0;
HHOOK hook = nullptr;
std::string export_path;

// Accepts the import dialog as soon as it is up, noting when that was.
LRESULT CALLBACK accept_dialog(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
        // The export goes to the bench's file, not beside the program.
        if (HWND path = GetDlgItem(reinterpret_cast<HWND>(wparam), IDC_EXPORT_PATH))
            SetWindowTextA(path, export_path.c_str());
        char caption[64] = "";
        GetWindowTextA(reinterpret_cast<HWND>(wparam), caption, sizeof caption);
        if (std::string(caption) == "インポート" || std::string(caption) == "エクスポート") {
            dialog_shown = qz::bench::now_ms();
            PostMessageA(reinterpret_cast<HWND>(wparam), WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(hook, code, wparam, lparam);
}

}  // namespace

void run_exchange_bench(HWND main, const std::string& dir) {
    using namespace qz;
    std::string rows = "#separator:Tab\r\n#html:false\r\n#deck column:4\r\n";
    for (int i = 0; i < 100000; ++i) {
        const std::string n = std::to_string(i);
        rows += "問題" + n + "の答えは何でしょうか？\t[答え|こたえ]" + n + "\t\t第" + std::to_string(i / 50) +
                "章\r\n";
    }
    const std::string in = dir + "qzobench-import.tsv", out = dir + "qzobench-export.tsv";
    export_path = out;
    replace_file_contents(in, rows);
    set_file_dialog_hook([&](HWND, bool save, const std::string&) { return save ? out : in; });
    hook = SetWindowsHookExA(WH_CBT, accept_dialog, nullptr, GetCurrentThreadId());

    const double t0 = bench::now_ms();
    const double total = bench::timed([&] { import_cards_command(main); });
    std::printf("%-44s %7.1f ms (dialog up after %.1f ms)\n", "import 100,000 rows, preview and insert:", total,
                dialog_shown - t0);
    std::printf("%-44s %7d\n", "  lines in the document:", document().count());
    const double exported = bench::timed([&] { export_cards_command(main); });
    std::printf("%-44s %7.1f ms\n", "export 100,000 cards:", exported);

    UnhookWindowsHookEx(hook);
    set_file_dialog_hook({});
    DeleteFileA(in.c_str());
    DeleteFileA(out.c_str());
}
