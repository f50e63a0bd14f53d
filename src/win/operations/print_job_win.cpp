#include "win/operations/print_job_win.h"

#include <vector>

#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/message_box_win.h"

#include <string>
#include "win/base/page_setup_win.h"
#include "win/base/wide_win.h"
#include "win/operations/print_progress_win.h"
#include "win/operations/print_render_win.h"

namespace qz {
namespace {

PrintDialogFn g_print_dialog;

BOOL call_print_dialog(PRINTDLGW& request) { return g_print_dialog ? g_print_dialog(request) : PrintDlgW(&request); }

// Lays the document out on the printer of the page setup record; -1 when
// that failed after a message.
int count_pages(HWND main_window) {
    HDC dc = create_printer_dc(main_window);
    if (!dc) return -1;
    app().print.copies = 1;
    int cut_off = 0;
    const int pages = render_pages(main_window, dc, kAllPages, kAllPages, PrintOutput::count, document(), &cut_off);
    DeleteDC(dc);
    if (pages > 0 && cut_off > 0) {
        const std::string text = std::to_string(pages) + " ページのうち、カード " + std::to_string(cut_off) +
                                 " 枚は文字が収まらないため途中までしか印刷されません。";
        message_box(main_window, text.c_str(), MB_OK | MB_ICONINFORMATION);
    }
    return pages;
}

}  // namespace

HDC create_printer_dc(HWND owner) {
    const PAGESETUPDLGW& setup = page_setup_record();
    const DEVMODEW* mode = static_cast<const DEVMODEW*>(GlobalLock(setup.hDevMode));
    if (!mode) {
        show_error(owner, "メモリをロックできません。");
        return nullptr;
    }
    HDC dc = CreateDCW(L"WINSPOOL", mode->dmDeviceName, nullptr, mode);
    GlobalUnlock(setup.hDevMode);
    if (!dc) show_error(owner, "印刷できません。");
    return dc;
}

void set_print_dialog_function(PrintDialogFn fn) { g_print_dialog = std::move(fn); }

void print_job(HWND owner, HDC dc, int first, int last, const CardDocument& doc) {
    const PAGESETUPDLGW& setup = page_setup_record();
    const DEVMODEW* mode = static_cast<const DEVMODEW*>(GlobalLock(setup.hDevMode));
    if (!mode) {
        show_error(owner, "メモリをロックできません。");
        return;
    }
    app().print.copies = mode->dmCopies;
    // The copies are made here by sending pages again; a driver that made
    // them as well would multiply them.
    if (mode->dmCopies > 1) {
        std::vector<char> single(reinterpret_cast<const char*>(mode),
                                 reinterpret_cast<const char*>(mode) + mode->dmSize + mode->dmDriverExtra);
        reinterpret_cast<DEVMODEW*>(single.data())->dmCopies = 1;
        ResetDCW(dc, reinterpret_cast<DEVMODEW*>(single.data()));
    }
    GlobalUnlock(setup.hDevMode);

    open_printing_dialog(owner, dc);
    const std::wstring name = wide_path(doc.file_name);
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = name.c_str();
    StartDocW(dc, &info);
    render_pages(owner, dc, first, last, PrintOutput::print, doc);
    EndDoc(dc);
    close_printing_dialog(owner);
}

void print_command(HWND main_window) {
    if (!ensure_page_setup(nullptr)) return;
    const int pages = count_pages(main_window);
    if (pages == -1) return;

    PAGESETUPDLGW& setup = page_setup_record();
    PRINTDLGW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = main_window;
    request.hDevMode = setup.hDevMode;
    request.hDevNames = setup.hDevNames;
    request.Flags = PD_RETURNDC | PD_NOSELECTION;
    request.nMinPage = 1;
    request.nMaxPage = static_cast<WORD>(pages > 0xFFFF ? 0xFFFF : pages);
    if (!call_print_dialog(request)) return;
    setup.hDevMode = request.hDevMode;
    setup.hDevNames = request.hDevNames;
    if (!request.hDC) {
        show_error(main_window, "印刷できません。");
        return;
    }
    int first = 1, last = 10000;
    if (request.Flags & PD_PAGENUMS) {
        first = request.nFromPage;
        last = request.nToPage;
    }
    print_job(main_window, request.hDC, first, last, document());
    DeleteDC(request.hDC);
}

}  // namespace qz
