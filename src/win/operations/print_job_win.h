// Printing the document: the print command, the job with its printing
// dialog and the message pump that lets that dialog's Cancel stop a job.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>

#include "core/document/card_document.h"

namespace qz {

// Print command: counts the pages, asks for printer, range and copies in
// the print dialog and prints.
void print_command(HWND main_window);

// A device context of the page setup record's printer, as printing makes
// it; null after a message.
HDC create_printer_dc(HWND owner);

// Prints pages first..last of `doc` on the printer device context `dc`
// while the printing dialog shows the page and offers Cancel; the owner is
// disabled meanwhile. The job is named after the document's file name.
void print_job(HWND owner, HDC dc, int first, int last, const CardDocument& doc);


// Test seam: replaces PrintDlgA (an empty function restores it).
using PrintDialogFn = std::function<BOOL(PRINTDLGW&)>;
void set_print_dialog_function(PrintDialogFn fn);

}  // namespace qz
