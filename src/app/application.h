// Process-wide state of the editor and its start-up, loop and shutdown.
#pragma once

#include <windows.h>

namespace qz {

inline constexpr char kMainWindowClass[] = "QuizoEditor";
inline constexpr char kSeparatorClass[] = "QuizoEditSeparator";

struct Application {
    HINSTANCE instance = nullptr;
    HWND main_window = nullptr;
    HACCEL accelerators = nullptr;
};

Application& app();

// Registers "QuizoEditor" and "QuizoEditSeparator"; false on failure.
bool register_window_classes(HINSTANCE instance);

// Creates and shows the main window; null after the start-up message.
HWND create_main_window(int show_command);

// Runs the message loop until the main window is gone; returns the quit code.
int run_message_loop();

// Start-up, loop and shutdown, as the entry point runs them.
int run_application(HINSTANCE instance, const char* command_line, int show_command);

}  // namespace qz
