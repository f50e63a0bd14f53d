#include "win/operations/print_progress_win.h"

#include "resources/printing_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/message_box_win.h"

namespace qz {
namespace {

struct JobState {
    bool cancelled = false;
    HWND dialog = nullptr;
    HDC dc = nullptr;
};
JobState g_job;

// Dispatches what is waiting until the job is cancelled.
void pump() {
    MSG msg;
    while (!g_job.cancelled && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (g_job.dialog && IsDialogMessageW(g_job.dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

BOOL CALLBACK print_abort_proc(HDC, int error) {
    if (error != 0 && error != SP_OUTOFDISK) return FALSE;
    pump();
    return !g_job.cancelled;
}

INT_PTR printing_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG:
        center_dialog(dialog);
        g_job.dc = reinterpret_cast<HDC>(lparam);
        SetFocus(dialog);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) {
            g_job.cancelled = true;
            AbortDoc(g_job.dc);
            EnableWindow(app().main_window, TRUE);
            DestroyWindow(dialog);
            g_job.dialog = nullptr;
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void open_printing_dialog(HWND owner, HDC dc) {
    g_job = {};
    g_job.dialog = CreateDialogParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                                      MAKEINTRESOURCEW(IDD_PRINTING), app().main_window,
                                      guarded_dialog_proc<printing_proc>, reinterpret_cast<LPARAM>(dc));
    EnableWindow(owner, FALSE);
    SetAbortProc(dc, print_abort_proc);
}

void close_printing_dialog(HWND owner) {
    EnableWindow(owner, TRUE);
    if (g_job.dialog) DestroyWindow(g_job.dialog);
    g_job = {};
}

bool print_job_cancelled() { return g_job.cancelled; }
HWND printing_dialog() { return g_job.dialog; }

void pump_print_messages() {
    if (g_job.dialog && !g_job.cancelled) pump();
}

}  // namespace qz
