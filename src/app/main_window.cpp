#include "app/main_window.h"

#include "app/application.h"

namespace qz {
namespace {

LRESULT on_create(HWND hwnd) {
    app().main_window = hwnd;
    return 0;
}

void on_destroy(HWND hwnd) {
    if (app().main_window == hwnd) app().main_window = nullptr;
    PostQuitMessage(0);
}

}  // namespace

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    try {
        switch (msg) {
        case WM_CREATE: return on_create(hwnd);
        case WM_DESTROY: on_destroy(hwnd); return 0;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

}  // namespace qz
