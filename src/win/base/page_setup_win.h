// The printer, paper and margins chosen in the common page-setup dialog,
// kept for the run (never saved).
#pragma once

#include <windows.h>

#include <commdlg.h>

namespace qz {

// The one page setup record. Its lStructSize is 0 until first use.
PAGESETUPDLGW& page_setup_record();

// Fills the record with the default printer the first time (the common
// dialog with PSD_RETURNDEFAULT shows nothing). False when no printer could
// be found; the record then stays unused.
bool ensure_page_setup(HWND owner);

// Test seam: replaces PageSetupDlgW (an empty function restores it).
using PageSetupDialogFn = BOOL (*)(LPPAGESETUPDLGW);
void set_page_setup_dialog_function(PageSetupDialogFn fn);
BOOL call_page_setup_dialog(PAGESETUPDLGW& record);

}  // namespace qz
