#include "win/app/application_win.h"

#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>

#include "core/layout/layout.h"
#include "resources/resource.h"
#include "win/app/file_commands_win.h"
#include "win/app/main_window_win.h"
#include "win/app/settings_file_win.h"
#include "win/base/help_win.h"
#include "win/base/guarded_win.h"
#include "win/base/message_box_win.h"
#include "win/base/modeless_win.h"
#include "win/base/wide_win.h"
#include "win/base/separator_win.h"
#include "win/view/pane_host_win.h"
#include "win/operations/problem_check_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/marks_chart_win.h"

namespace qz {

bool register_window_classes(HINSTANCE instance) {
    // Wide classes: their windows get typed and composed text as UTF-16.
    const std::wstring main_class = wide(kMainWindowClass), separator_class = wide(kSeparatorClass),
                       chart_class = wide(kMarksChartClass);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);

    wc.lpfnWndProc = main_window_proc;
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    wc.lpszClassName = main_class.c_str();
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    wc.lpfnWndProc = guarded_window_proc<separator_proc>;
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = separator_class.c_str();
    wc.cbWndExtra = kSeparatorExtraBytes;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    wc.lpfnWndProc = guarded_window_proc<marks_chart_proc>;
    wc.lpszClassName = chart_class.c_str();
    wc.cbWndExtra = 0;
    wc.hbrBackground = nullptr;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool initialize_application() {
    Application& a = app();
    fill_default_preferences(a.default_prefs);
    a.prefs = a.default_prefs;
    a.print = PrintSettings{};
    initialize_help();
    set_file_read_observer(note_loaded_file);

    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        show_error(nullptr, "実行ファイルのパスを取得できません。");
        a.settings_path = kSettingsFileName;
        a.help_path = kHelpFileName;
    } else {
        wchar_t* name = PathFindFileNameW(path);
        *name = L'\0';
        a.settings_path = utf8_path(path) + kSettingsFileName;
        a.help_path = utf8_path(path) + kHelpFileName;
    }
    return true;
}

void load_preferences() {
    Application& a = app();
    read_settings_file(a.settings_path, a.prefs, a.print);
}

namespace {

// The saved window place when it can be seen and used on the monitor
// nearest to it, else the default place.
WindowPlace startup_place(const Preferences& prefs) {
    const Preferences defaults;
    const WindowPlace fallback{defaults.Left, defaults.Top, defaults.Width, defaults.Height};
    const WindowPlace saved{prefs.Left, prefs.Top, prefs.Width, prefs.Height};
    RECT box{};
    if (saved.x != kUseDefaultPosition && saved.y != kUseDefaultPosition) {
        box.left = saved.x;
        box.top = saved.y;
        box.right = saved.x + std::clamp(saved.width, 0, INT_MAX - std::max(saved.x, 0));
        box.bottom = saved.y + std::clamp(saved.height, 0, INT_MAX - std::max(saved.y, 0));
    }
    RECT work{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&box, MONITOR_DEFAULTTOPRIMARY), &monitor))
        work = monitor.rcWork;
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return usable_window_place(saved, fallback, kUseDefaultPosition,
                               {work.left, work.top, work.right, work.bottom});
}

}  // namespace

HWND create_main_window(int show_command) {
    Application& a = app();
    const WindowPlace p = startup_place(a.prefs);
    HWND hwnd = CreateWindowExW(WS_EX_ACCEPTFILES, wide(kMainWindowClass).c_str(), wide(kAppCaption).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, p.x, p.y, p.width, p.height, nullptr,
                                nullptr, a.instance, nullptr);
    if (!hwnd) {
        show_error(nullptr, "Quizo Editor を実行できません。");
        return nullptr;
    }
    ShowWindow(hwnd, show_command);
    UpdateWindow(hwnd);
    a.accelerators = LoadAcceleratorsW(a.instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    return hwnd;
}

void open_command_line(const char* command_line) {
    HWND owner = app().main_window;
    if (command_line && *command_line) {
        // The command line is UTF-8, as every path.
        std::wstring line = wide_path(command_line);
        PathRemoveArgsW(line.data());
        PathUnquoteSpacesW(line.data());
        line.resize(std::wcslen(line.c_str()));
        const std::string path = utf8_path(line);
        if (!path.empty() && path_fits(owner, path)) {
            open_document(owner, path);
            return;
        }
    }
    start_document(owner);
}

bool preprocess_message(MSG& msg) {
    Application& a = app();
    if (help_pretranslate(msg)) return true;
    // Before the accelerators: the print preview (the main window is
    // disabled under it) and the replace dialog.
    if (modeless_message(msg, ModelessTurn::before_accelerators)) return true;
    if (a.accelerators && a.main_window &&
        TranslateAcceleratorW(a.main_window, a.accelerators, &msg))
        return true;
    if (modeless_message(msg, ModelessTurn::after_accelerators)) return true;
    HWND dialog = a.pane ? a.pane : a.main_window;
    return dialog && IsDialogMessageW(dialog, &msg);
}

int run_message_loop() {
    MSG msg{};
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (preprocess_message(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void shutdown_application() {
    Application& a = app();
    editor().close_document();
    release_pane_resources();
    write_settings_file(a.settings_path, a.prefs, a.print);
    a.search_text.reset();
    uninitialize_help();
}

int run_application(HINSTANCE instance, const char* command_line, int show_command) {
    app().instance = instance;
    if (!register_window_classes(instance)) {
        show_error(nullptr, "Quizo Editor を実行できません。");
        return 0;
    }
    if (!initialize_application()) return 0;
    load_preferences();
    if (!create_main_window(show_command)) return 0;
    open_command_line(command_line);
    int code = run_message_loop();
    shutdown_application();
    return code;
}

}  // namespace qz
