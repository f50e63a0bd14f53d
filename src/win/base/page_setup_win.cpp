#include "win/base/page_setup_win.h"

namespace qz {

namespace {
PAGESETUPDLGW g_record{};
PageSetupDialogFn g_dialog = nullptr;
}  // namespace

PAGESETUPDLGW& page_setup_record() { return g_record; }

void set_page_setup_dialog_function(PageSetupDialogFn fn) { g_dialog = fn; }

BOOL call_page_setup_dialog(PAGESETUPDLGW& record) {
    return g_dialog ? g_dialog(&record) : PageSetupDlgW(&record);
}

bool ensure_page_setup(HWND owner) {
    PAGESETUPDLGW& r = g_record;
    if (r.lStructSize != 0) return true;
    PAGESETUPDLGW fresh{};
    fresh.lStructSize = sizeof fresh;
    fresh.hwndOwner = owner;
    fresh.Flags = PSD_RETURNDEFAULT;
    if (!call_page_setup_dialog(fresh)) return false;
    r = fresh;
    return true;
}

}  // namespace qz
