// The page setup dialog (610): what printing lays out, the separator lines,
// and through "設定(&S)..." the printer, paper and margins.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <optional>

#include "core/print/print_settings.h"

namespace qz {

struct PageSetupRequest {
    PrintSettings settings;
    // The page setup record kept for the run; the dialog works on a copy
    // with copies of its DEVMODE and DEVNAMES.
    PAGESETUPDLGW record{};
};

struct PageSetupResult {
    PrintSettings settings;
    // DEVMODE and DEVNAMES here belong to the caller (never the request's).
    PAGESETUPDLGW record{};
};

// The settings and page setup as chosen with OK, or nothing after Cancel.
std::optional<PageSetupResult> run_page_setup_dialog(HWND owner, const PageSetupRequest& request);

// The "ページ設定(&T)..." command: the dialog over the print settings and the
// page setup record, both replaced on OK.
void show_page_setup(HWND owner);

}  // namespace qz
