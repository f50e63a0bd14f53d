// The select dialog (618): selects the lines of a range, of one group or
// containing a text, anew or added to the selection.
#pragma once

#include <windows.h>

#include "core/operations/select.h"

namespace qz {

// Command 100: the line list takes the focus, then the dialog opens.
void show_select_dialog(HWND owner);

// Selects as the dialog's OK does, shows the result in the list and
// reports it in a message box over `owner`.
void select_and_report(HWND owner, const SelectRequest& request);

}  // namespace qz
