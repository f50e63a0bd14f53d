// Times the real editor window on a large generated data file: open, open
// another file over it, save, selections, line operations, undo, select and
// sort ("select-sort": only those; "open": only opening 100,000 and
// 1,000,000 lines, with the memory the document takes). Run with scripts/bench-editor.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <commctrl.h>
#include <optional>
#include <string>
#include <vector>

#include "core/document/data_file.h"
#include "core/operations/sort.h"
#include "resources/data_info_ids.h"
#include "resources/question_pane_ids.h"
#include "bench_timing.h"
#include "win/app/application_win.h"
#include "win/app/data_file_win.h"
#include "win/app/file_commands_win.h"
#include "win/base/message_box_win.h"
#include "win/operations/data_info_win.h"
#include "win/operations/find_win.h"
#include "win/operations/line_edit_win.h"
#include "win/operations/select_dialog_win.h"
#include "win/operations/sort_dialog_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_host_win.h"

// Copy, cut, paste, swap and group change ("bulk": only these).
void run_bulk_edit_bench(HWND main, const std::string& dir);
// The problem check window ("problems": only this).
void run_problem_check_bench(HWND main, const std::string& dir);
void run_replace_bench(HWND main, const std::string& dir);
void run_recovery_bench(HWND main, const std::string& dir);
void run_marks_bench(HWND main, const std::string& dir);
void run_exchange_bench(HWND main, const std::string& dir);
// Counting and drawing printed pages ("print": only this).
void run_print_bench(HWND main, const std::string& dir);
// Turning pages in the print preview ("preview": only this).
void run_print_preview_bench(HWND main, const std::string& dir);

// Every allocation is counted, so that the memory the document takes
// (and the most it took while the file was opened) can be told.
namespace {
struct HeapCount {
    std::size_t in_use = 0;
    std::size_t peak = 0;
} heap;
}  // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    heap.in_use += _msize(block);
    heap.peak = std::max(heap.peak, heap.in_use);
    return block;
}
// The blocks operator new takes from malloc go back to free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept {
    if (block) heap.in_use -= _msize(block);
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace {

using qz::bench::now_ms;
using qz::bench::pump;
using qz::bench::timed;

// One title at the top, then `lines` - 1 questions.
std::string one_title(int lines) {
    std::string text = "QUIZODATA V1.4\r\n#ただ一つの章,000000\r\n";
    for (int i = 1; i < lines; ++i)
        text += "問題" + std::to_string(i) + "の答えは？,答え" + std::to_string(i) + ",?20\r\n";
    return text;
}

// A quiz of `lines` lines: a title every 50 lines, questions with
// alternatives, comments and blank lines.
std::string generate(int lines, const char* flavour) {
    std::string text = "QUIZODATA V1.4\r\n";
    text.reserve(static_cast<std::size_t>(lines) * 52);
    for (int i = 0; i < lines; ++i) {
        std::string n = std::to_string(i);
        if (i % 50 == 0)
            text += "#第" + n + "章 " + flavour + ",311000'章のコメント\r\n";
        else if (i % 25 == 7)
            text += "'コメント行 " + n + "\r\n";
        else if (i % 40 == 13)
            text += "\r\n";
        else
            text += "問題" + n + "の答えは？,[答え" + n + "|こたえ],?2" + std::to_string(i % 10) + "\r\n";
    }
    return text;
}

// One paragraph of `piece` repeated to `bytes` bytes.
std::string paragraph(std::size_t bytes, const char* piece) {
    std::string text;
    text.reserve(bytes);
    while (text.size() < bytes) text += piece;
    text.resize(bytes & ~std::size_t{1});
    return text;
}

// Opens a file whose first line is `question`,`answer`, then types into its
// answer and into its question and commits, and shows the next line and the
// first one again.
void time_long_line(HWND main, const std::string& dir, const std::string& question,
                    const std::string& answer, const std::string& name) {
    using namespace qz;
    const std::string path = dir + "qzobench-long.qzf";
    replace_file_contents(path, "QUIZODATA V1.4\r\n" + question + "," + answer +
                                    ",?20\r\n次の問題,次の答え,?20\r\n");
    app().editor.mark_saved();
    const double open = timed([&] { open_document(main, path); });
    const std::size_t before = document().line_at(0) ? document().line_at(0)->text().size() : 0;
    const double edit_answer = timed([] {
        HWND answer = GetDlgItem(app().pane, IDC_QUESTION_ANSWER);
        SetFocus(answer);
        SendMessageA(answer, EM_SETSEL, 0, 0);
        SendMessageA(answer, WM_CHAR, 'x', 0);
        SetFocus(app().line_list);
    });
    const double edit_question = timed([] {
        HWND question_box = GetDlgItem(app().pane, IDC_QUESTION);
        SetFocus(question_box);
        SendMessageA(question_box, EM_SETSEL, 0, 0);
        SendMessageA(question_box, WM_CHAR, 'y', 0);
        SetFocus(app().line_list);
    });
    const std::size_t after = document().line_at(0) ? document().line_at(0)->text().size() : 0;
    const double next = timed([] { show_line_in_pane(1); });
    const double back = timed([] { show_line_in_pane(0); });
    std::printf("%-18s open and show %7.1f ms, type in answer %7.1f ms, in question %7.1f ms, "
                "next line %6.1f ms, back %7.1f ms (line %zu -> %zu bytes)\n",
                name.c_str(), open, edit_answer, edit_question, next, back, before, after);
    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}

// Selecting by text, by group, and sorting 100,000 selected questions (in
// shuffled order, with every history) and undoing the sort.
void time_select_and_sort(HWND main, const std::string& dir, int lines) {
    using namespace qz;
    const std::string path = dir + "qzobench-sort.qzf";
    replace_file_contents(path, generate(lines, "S"));
    app().editor.mark_saved();
    open_document(main, path);
    pump();
    SetFocus(app().line_list);
    SelectRequest all;
    all.first = 2;
    all.last = document().count() + 1;
    all.by_text = true;
    all.conditions = 0x27;  // questions only
    all.text = "見つからない文字列";
    const double none = timed([&] { select_and_report(main, all); });
    all.text = "の答えは？";
    const double every = timed([&] { select_and_report(main, all); });
    all.by_text = false;
    all.group = 2;
    const double group = timed([&] { select_and_report(main, all); });
    std::printf("select by text, no match %.1f ms, every question %.1f ms; one group %.1f ms "
                "(%d lines)\n", none, every, group, document().count());

    std::string text = "QUIZODATA V1.4\r\n";
    unsigned seed = 12345;
    for (int i = 0; i < lines; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = seed >> 8;
        text += "問題" + std::to_string(r % 1000000) + "はなに？,答え" + std::to_string(i) + "," +
                static_cast<char>('<' + r % 32) + "2" + std::to_string(i % 10) + "\r\n";
    }
    replace_file_contents(path, text);
    app().editor.mark_saved();
    open_document(main, path);
    pump();
    SetFocus(app().line_list);
    select_all_lines();
    const double by_question = timed([&] { sort_questions(main, SORT_QUESTION, 1); });
    const double undo = timed([] { undo_change(); });
    select_all_lines();
    const double by_history = timed([&] { sort_questions(main, SORT_HISTORY, -1); });
    const double undo_history = timed([] { undo_change(); });
    std::printf("sort %d questions by question %.1f ms (undo %.1f ms), by history %.1f ms "
                "(undo %.1f ms)\n", document().count(), by_question, undo, by_history, undo_history);
    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}

// The data information dialog and the customize sheet's Apply on a
// document with one settings line in ten.
void time_information(HWND main, const std::string& dir, int lines) {
    using namespace qz;
    std::string text = "QUIZODATA V1.4\r\n$Group=歴史,地理\r\n";
    for (int i = 1; i < lines; ++i)
        text += i % 10 == 0 ? "$Message=お知らせ" + std::to_string(i) + "\r\n"
                            : "問題" + std::to_string(i) + ",答え,?2" + std::to_string(i % 10) + "\r\n";
    const std::string path = dir + "qzobench-info.qzf";
    replace_file_contents(path, text);
    app().editor.mark_saved();
    open_document(main, path);
    pump();
    show_line_in_pane(1);
    SetFocus(app().line_list);
    DataInfo info;
    const double gather = timed([&] { info = data_info(editor()); });
    // The dialog answered at once: 1.3 chosen, OK, Yes to the question.
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = FindWindowA(nullptr, "データ情報");
        if (!dialog) return;
        KillTimer(nullptr, id);
        SendDlgItemMessageA(dialog, IDC_INFO_VERSION, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    const double lower = timed([&] { show_data_information(main); });
    const int version = document().version;
    const double undo = timed([] { undo_change(); });
    const double apply = timed([] { reload_pane_resources(); });
    // A pane commit near the top relabels every line below it.
    show_line_in_pane(1);
    const double commit = timed([] {
        HWND answer = GetDlgItem(app().pane, IDC_QUESTION_ANSWER);
        SetFocus(answer);
        SendMessageA(answer, WM_CHAR, 'x', 0);
        SetFocus(app().line_list);
    });
    std::printf("data information on %d lines (%d settings): gather %.1f ms, 1.4 -> 1.%d with "
                "dialog and question %.1f ms, undo %.1f ms; customize Apply %.1f ms; "
                "commit on line 1 %.1f ms\n",
                lines, lines / 10, gather, version % 10, lower, undo, apply, commit);
    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}

// Opening 100,000 and 1,000,000 lines into an empty document, and the same
// file again over itself (the median of five runs each); the memory the
// document holds afterwards and the most in use while it was opened,
// against the file's size.
void time_open(HWND main, const std::string& dir) {
    using namespace qz;
    const std::string path = dir + "qzobench-open.qzf";
    for (int lines : {100000, 1000000}) {
        std::size_t size = 0;
        {
            const std::string text = generate(lines, "O");
            size = text.size();
            replace_file_contents(path, text);
        }
        // The median of five runs: a run under Wine can take half as long
        // again as the one before for no reason of the editor's.
        constexpr int kRuns = 5;
        std::vector<double> opens, agains;
        double held = 0, peak = 0;
        for (int run = 0; run < kRuns; ++run) {
            new_document(main);
            pump();
            const std::size_t before = heap.in_use;
            heap.peak = before;
            opens.push_back(timed([&] { open_document(main, path); }));
            if (run == 0) {
                held = static_cast<double>(heap.in_use - before) / static_cast<double>(size);
                peak = static_cast<double>(heap.peak - before) / static_cast<double>(size);
            }
            agains.push_back(timed([&] { open_document(main, path); }));
        }
        std::sort(opens.begin(), opens.end());
        std::sort(agains.begin(), agains.end());
        const double open = opens[kRuns / 2], again = agains[kRuns / 2];
        // A page down the list, drawn (its texts asked for and converted),
        // the middle and the most of 50 pages from the middle of the file.
        HWND list = app().line_list;
        RECT box{};
        GetClientRect(list, &box);
        ListView_EnsureVisible(list, lines / 2, FALSE);
        UpdateWindow(list);
        std::vector<double> pages;
        for (int i = 0; i < 50; ++i)
            pages.push_back(timed([&] { SendMessageW(list, LVM_SCROLL, 0, box.bottom); }));
        std::sort(pages.begin(), pages.end());
        std::printf("open %7d lines (%5.1f MB): %7.1f ms, again %7.1f ms; memory %.3fx the file, "
                    "%.3fx at the peak; a page down %.2f ms, at most %.2f ms\n", lines,
                    static_cast<double>(size) / 1e6, open, again, held, peak, pages[pages.size() / 2],
                    pages.back());
        // Where opening spends its time and memory: reading the file into a
        // document, handing it to the model, filling the list.
        new_document(main);
        pump();
        const std::size_t empty = heap.in_use;
        const auto share = [&] { return static_cast<double>(heap.in_use - empty) / static_cast<double>(size); };
        CardDocument loaded;
        std::optional<std::string> bytes;
        const double read = timed([&] { bytes = read_whole_file(main, path); });
        const double parse = timed([&] { read_data_file(std::move(*bytes), loaded); });
        const double read_held = share();
        const double model = timed([&] { editor().replace(loaded, {}); });
        const double filled = timed([] { fill_line_list(); });
        std::printf("  of which: reading the file %.1f ms, its lines %.1f ms (%.2fx the file), to the model "
                    "%.1f ms, the list %.1f ms (%.2fx the file held in all)\n", read, parse, read_held, model,
                    filled, share());
    }
    app().editor.mark_saved();
    DeleteFileA(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace qz;
    app().instance = GetModuleHandleA(nullptr);
    set_message_box_hook([](HWND, const char* text, UINT type) {
        std::printf("message: %s\n", text);
        return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    });
    if (!register_window_classes(app().instance) || !initialize_application()) return 1;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = temp;
    app().settings_path = dir + "qzobench.ini";
    HWND main = create_main_window(SW_SHOWNORMAL);
    if (!main) return 1;
    open_command_line("");
    pump();

    if (argc > 1 && std::string(argv[1]) == "info") {
        time_information(main, dir, 100000);
        DestroyWindow(main);
        pump();
        shutdown_application();
        DeleteFileA(app().settings_path.c_str());
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "open") {
        time_open(main, dir);
        DestroyWindow(main);
        pump();
        shutdown_application();
        DeleteFileA(app().settings_path.c_str());
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "select-sort") {
        time_select_and_sort(main, dir, 100000);
        DestroyWindow(main);
        pump();
        shutdown_application();
        return 0;
    }
    if (argc > 1 && (std::string(argv[1]) == "problems" || std::string(argv[1]) == "replace" ||
                     std::string(argv[1]) == "recovery" || std::string(argv[1]) == "marks" ||
                     std::string(argv[1]) == "exchange")) {
        if (std::string(argv[1]) == "problems")
            run_problem_check_bench(main, dir);
        else if (std::string(argv[1]) == "replace")
            run_replace_bench(main, dir);
        else if (std::string(argv[1]) == "marks")
            run_marks_bench(main, dir);
        else if (std::string(argv[1]) == "exchange")
            run_exchange_bench(main, dir);
        else
            run_recovery_bench(main, dir);
        DestroyWindow(main);
        pump();
        shutdown_application();
        DeleteFileA(app().settings_path.c_str());
        return 0;
    }
    if (argc > 1 && (std::string(argv[1]) == "print" || std::string(argv[1]) == "preview")) {
        if (std::string(argv[1]) == "print")
            run_print_bench(main, dir);
        else
            run_print_preview_bench(main, dir);
        DestroyWindow(main);
        pump();
        shutdown_application();
        DeleteFileA(app().settings_path.c_str());
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "bulk") {
        run_bulk_edit_bench(main, dir);
        DestroyWindow(main);
        pump();
        shutdown_application();
        DeleteFileA(app().settings_path.c_str());
        return 0;
    }

    // Lines with one very long field (letters without a blank, or Japanese
    // text): "long" runs only these, "long N..." only with N-byte questions.
    const bool long_only = argc > 1 && std::string(argv[1]) == "long";
    std::vector<std::size_t> sizes = {50000, 1000000, 10000000};
    if (long_only && argc > 2) {
        sizes.clear();
        for (int i = 2; i < argc; ++i) sizes.push_back(std::stoul(argv[i]));
    }
    for (std::size_t bytes : sizes) {
        const std::string size = std::to_string(bytes / 1000) + " KB ";
        time_long_line(main, dir, paragraph(bytes, "abcdefghij"), "答え", size + "unbroken:");
        if (bytes <= 50000)
            time_long_line(main, dir, paragraph(bytes, "長い問題文"), "答え", size + "Japanese:");
    }
    // Answers: one long alternative, and one nested 10,000 groups deep.
    time_long_line(main, dir, "問題", paragraph(1000000, "abcdefghij"), "1000 KB answer:");
    time_long_line(main, dir, "問題", std::string(10000, '[') + "a" + std::string(10000, ']'),
                   "deep answer:");
    if (long_only) {
        DestroyWindow(main);
        pump();
        shutdown_application();
        DeleteFileA(app().settings_path.c_str());
        return 0;
    }

    const int kLines = 100000;
    std::string first = dir + "qzobench-a.qzf", second = dir + "qzobench-b.qzf";
    replace_file_contents(first, generate(kLines, "A"));
    replace_file_contents(second, generate(kLines, "B"));

    double t0 = now_ms();
    open_document(main, first);
    UpdateWindow(app().line_list);
    pump();
    double t1 = now_ms();
    open_document(main, second);
    UpdateWindow(app().line_list);
    pump();
    double t2 = now_ms();
    app().editor.change_version(document().version);
    save_document(main);
    double t3 = now_ms();

    // Where opening spends its time.
    {
        double a = now_ms();
        std::optional<std::string> bytes = read_whole_file(main, first);
        double b = now_ms();
        CardDocument scratch;
        read_data_file(std::move(*bytes), scratch);
        double c = now_ms();
        scratch.count_questions();
        double d = now_ms();
        std::printf("  read file %.1f ms, parse and classify %.1f ms, number lines %.1f ms\n",
                    b - a, c - b, d - c);
        double e = now_ms();
        fill_line_list();
        double f = now_ms();
        UpdateWindow(app().line_list);
        double g = now_ms();
        pump();
        double h = now_ms();
        double k0 = now_ms();
        SendMessageA(app().line_list, LVM_DELETEALLITEMS, 0, 0);
        double k1 = now_ms();
        SendMessageA(app().line_list, LVM_SETITEMCOUNT, document().count(), LVSICF_NOSCROLL);
        double k2 = now_ms();
        for (int p = 0; p <= 100; ++p)
            SendMessageA(app().status_bar, SB_SETTEXTA, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>("x"));
        double k3 = now_ms();
        set_item_state(0, LVIS_FOCUSED | LVIS_SELECTED, ~0u);
        double k4 = now_ms();
        std::printf("  delete all items %.1f, set count %.1f, 101 status texts %.1f, focus item 0 %.1f ms\n",
                    k1 - k0, k2 - k1, k3 - k2, k4 - k3);
        double i = now_ms();
        show_line_in_pane(0);
        double j = now_ms();
        // Lines 1-20 alternate titles, questions and comments, so panes are
        // made anew; lines 51-70 are questions, shown in the same pane.
        double m0 = now_ms();
        for (int line = 1; line <= 20; ++line) show_line_in_pane(line);
        double m1 = now_ms();
        for (int line = 51; line <= 70; ++line) show_line_in_pane(line);
        double m2 = now_ms();
        std::printf("  showing a line in the pane: %.1f ms on average, %.1f ms in the same pane\n",
                    (m1 - m0) / 20, (m2 - m1) / 20);
        std::printf("  refill list %.1f ms (of which showing line 0 in the pane: %.1f ms), paint %.1f ms, "
                    "pending messages %.1f ms\n", f - e, j - i, g - f, h - g);
    }
    std::printf("lines: %d (%.1f MB)\n", document().count(),
                static_cast<double>(read_whole_file(nullptr, first)->size()) / 1e6);
    std::printf("open and paint:   %7.1f ms\n", t1 - t0);
    std::printf("open another:     %7.1f ms\n", t2 - t1);
    std::printf("save with flush:  %7.1f ms\n", t3 - t2);

    // Whole-document operations on one long section.
    std::string third = dir + "qzobench-c.qzf";
    replace_file_contents(third, one_title(kLines));
    app().editor.mark_saved();
    open_document(main, third);
    pump();
    SetFocus(app().line_list);
    double invert = timed([] { invert_selection(); });
    double invert_back = timed([] { invert_selection(); });
    // Worst case for the list's selected ranges: every other line selected.
    std::vector<int> alternate;
    for (int i = 0; i < kLines; i += 2) alternate.push_back(i);
    auto select = [](const std::vector<int>& lines) {
        editor().set_selection(lines, lines.front());
        mirror_model();
    };
    double select_alternate = timed([&] { select(alternate); });
    double invert_alternate = timed([] { invert_selection(); });
    double select_all_alternate = timed([] { select_all_lines(); });
    select(alternate);
    double clear_alternate = timed([] { deselect_all_lines(); });
    double select_all_first = timed([] { select_all_lines(); });
    {
        // Where mirroring a whole selection goes, with drawing held off.
        HWND list = app().line_list;
        ListNotificationGuard quiet;
        ListRedrawGuard no_redraw;
        double a = now_ms();
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        double b = now_ms();
        SendMessageA(list, LVM_SETITEMCOUNT, kLines, LVSICF_NOSCROLL);
        double c = now_ms();
        set_item_state(-1, LVIS_SELECTED, LVIS_SELECTED);
        double d = now_ms();
        set_item_state(-1, 0, LVIS_SELECTED);
        double e = now_ms();
        for (int i = 0; i < kLines; i += 2) set_item_state(i, LVIS_SELECTED, LVIS_SELECTED);
        double f = now_ms();
        std::printf("  delete all items %.1f, set count %.1f, select all %.1f, clear one run %.1f, "
                    "select 50,000 runs ascending %.1f ms\n", b - a, c - b, d - c, e - d, f - e);
    }
    select(alternate);
    double clear_all = timed([] { deselect_all_lines(); });
    std::vector<int> block(50000);
    for (int i = 0; i < 50000; ++i) block[i] = 100 + i;
    double move = timed([&] { select(block); });
    double move_down = timed([] { move_selected_lines(1); });
    double move_undo = timed([] { undo_change(); });
    app().search_text = "見つからない文字列";
    app().editor.set_current(0);
    double find = timed([&] { find_next(main); });
    double select_all = timed([] { select_all_lines(); });
    double remove = timed([&] { delete_selected_lines(main); });
    int left = document().count();
    double undo_remove = timed([] { undo_change(); });
    int restored = document().count();
    double redo_remove = timed([] { redo_change(); });
    std::printf("one-title document: %d lines\n", kLines);
    std::printf("invert selection:   %7.1f ms (and back: %.1f ms)\n", invert, invert_back);
    std::printf("select every other: %7.1f ms\n", select_alternate);
    std::printf("invert every other: %7.1f ms\n", invert_alternate);
    std::printf("clear every other:  %7.1f ms, select all over it: %.1f ms\n", clear_alternate,
                select_all_alternate);
    std::printf("select all, clear:  %7.1f ms, %.1f ms\n", select_all_first, clear_all);
    std::printf("select 50,000:      %7.1f ms\n", move);
    std::printf("move 50,000 down:   %7.1f ms (undo: %.1f ms)\n", move_down, move_undo);
    std::printf("find, no match:     %7.1f ms\n", find);
    std::printf("select all:         %7.1f ms\n", select_all);
    std::printf("delete all:         %7.1f ms (lines left: %d)\n", remove, left);
    std::printf("undo delete all:    %7.1f ms (lines: %d), redo: %.1f ms\n", undo_remove, restored,
                redo_remove);
    DeleteFileA(third.c_str());

    app().editor.mark_saved();
    DestroyWindow(main);
    pump();
    shutdown_application();
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
    DeleteFileA(app().settings_path.c_str());
    return 0;
}
