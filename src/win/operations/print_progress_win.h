// The "printing" dialog of a print job under way: it shows the page being
// sent and cancels the job.
#pragma once

#include <windows.h>

namespace qz {

// Shows the dialog for a job on `dc`, disables `owner` and lets the
// printer's abort procedure dispatch messages while pages go out.
void open_printing_dialog(HWND owner, HDC dc);
// Closes it (if the user did not) and enables `owner` again.
void close_printing_dialog(HWND owner);

// Dispatches pending messages while a job's printing dialog is up and the
// job was not cancelled.
void pump_print_messages();
bool print_job_cancelled();
// The printing dialog of the running job, or null.
HWND printing_dialog();

}  // namespace qz
