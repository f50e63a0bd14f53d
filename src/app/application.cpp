#include "app/application.h"

#include "app/main_window.h"
#include "app/message_box.h"
#include "resources/resource.h"

namespace qz {

Application& app() {
    static Application instance;
    return instance;
}

bool register_window_classes(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = main_window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    wc.lpszClassName = kMainWindowClass;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    return true;
}

HWND create_main_window(int show_command) {
    Application& a = app();
    HWND hwnd = CreateWindowExA(WS_EX_ACCEPTFILES, kMainWindowClass, kAppCaption,
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 560, 450,
                                nullptr, nullptr, a.instance, nullptr);
    if (!hwnd) {
        show_error(nullptr, "Quizo Editor を実行できません。");
        return nullptr;
    }
    ShowWindow(hwnd, show_command);
    UpdateWindow(hwnd);
    a.accelerators = LoadAcceleratorsA(a.instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    return hwnd;
}

int run_message_loop() {
    Application& a = app();
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (a.accelerators && a.main_window &&
            TranslateAcceleratorA(a.main_window, a.accelerators, &msg))
            continue;
        if (a.main_window && IsDialogMessageA(a.main_window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int run_application(HINSTANCE instance, const char* command_line, int show_command) {
    app().instance = instance;
    if (!register_window_classes(instance)) {
        show_error(nullptr, "Quizo Editor を実行できません。");
        return 0;
    }
    if (!create_main_window(show_command)) return 0;
    return run_message_loop();
}

}  // namespace qz
