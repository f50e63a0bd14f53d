// The colour dialog, for the customize sheet and the page setup dialog.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>

namespace qz {

// Shows the colour dialog starting at `color`, with the sixteen custom
// colours kept for the run (shared by every caller). True with `color` the
// choice; false when cancelled, after a message when the dialog could not
// be shown.
bool choose_color(HWND owner, COLORREF& color);

// Replaces ChooseColorW for tests (an empty function restores it).
using ChooseColorFunction = std::function<BOOL(CHOOSECOLORW& request)>;
void set_choose_color_function(ChooseColorFunction function);
// The custom colours all white again, as at start-up.
void reset_custom_colors();

}  // namespace qz
