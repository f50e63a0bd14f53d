// The editing pane at the right of the main window: one modeless child
// dialog at a time, chosen by the kind of the line whose list item has the
// focus (the panes of other kinds shown before are kept hidden).
#pragma once

#include <windows.h>

#include "win/view/pane_common_win.h"

namespace qz {

// Shows the line at `index` in the pane (creating or reusing the pane for
// its kind) and makes it the current line; false when there is no such line.
bool show_line_in_pane(int index);

// Hides the pane and empties it, keeping it for the next line of its kind
// (a document closes, or a line of another kind is shown): making a pane is
// most of the time opening a file takes under some systems.
void put_away_pane();

// Fonts and brushes the panes share, from main window creation to shutdown.
bool create_pane_resources();
void release_pane_resources();
// Makes the pane fonts and brushes again from the preferences (after they
// changed), puts them on the open pane and lays the main window out again.
void reload_pane_resources();
// The pane's and the line list's fonts made anew at the window's display
// scale (moved to a screen of another scale).
void rescale_pane_fonts();

}  // namespace qz
