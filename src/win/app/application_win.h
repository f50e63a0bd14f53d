// Start-up, message loop and shutdown of the editor.
#pragma once

#include <windows.h>

#include "win/base/app_state_win.h"

namespace qz {

// Registers "QuizoEditor" and "QuizoEditSeparator"; false on failure.
bool register_window_classes(HINSTANCE instance);

// Default preferences, the paths beside the executable, help. False after a
// message when the program cannot go on.
bool initialize_application();

// Reads the settings file into the preferences and print settings.
void load_preferences();

// Creates and shows the main window at the saved placement; null after the
// start-up message.
HWND create_main_window(int show_command);

// Opens the data file named by the command line (UTF-8, its arguments
// after the program name), or starts a new document.
void open_command_line(const char* command_line);

// Runs the message loop until the main window is gone; returns the quit code.
int run_message_loop();

// Offers a message to help, the accelerators and dialog navigation; true
// when one of them took it.
bool preprocess_message(MSG& msg);

// Frees the document and the pane resources, writes the settings file and
// closes help.
void shutdown_application();

// Start-up, loop and shutdown, as the entry point runs them.
int run_application(HINSTANCE instance, const char* command_line, int show_command);

}  // namespace qz
