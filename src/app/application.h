// Process-wide state of the editor and its start-up, loop and shutdown.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "document/card_document.h"
#include "document/editor_model.h"
#include "prefs/preferences.h"
#include "prefs/settings_file.h"
#include "print/print_settings.h"

namespace qz {

inline constexpr char kMainWindowClass[] = "QuizoEditor";
inline constexpr char kSeparatorClass[] = "QuizoEditSeparator";
inline constexpr char kHelpFileName[] = "QZOEDIT.CHM";

// The one instance of everything the editor's windows share.
struct Application {
    HINSTANCE instance = nullptr;
    HWND main_window = nullptr;
    HWND line_list = nullptr;
    HWND toolbar = nullptr;
    HWND status_bar = nullptr;
    HWND separator = nullptr;
    HWND pane = nullptr;  // null until a line was first shown
    HACCEL accelerators = nullptr;

    std::string settings_path = kSettingsFileName;
    std::string help_path = kHelpFileName;

    Preferences prefs;
    Preferences default_prefs;
    PrintSettings print;
    CardDocument doc;
    // Every change of `doc` goes through the editor model.
    EditorModel editor{doc};
    // The last text confirmed in the find dialog.
    std::optional<std::string> search_text;
};

Application& app();

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

// Opens the data file named by the command line, or starts a new document.
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

// Centres a dialog over its owner, inside the desktop work area.
void center_dialog(HWND dialog);

}  // namespace qz
