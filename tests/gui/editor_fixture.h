// A fixture that runs the real editor's main window in the test process.
// It brings in what every GUI test uses: the Windows and common controls
// headers, GoogleTest, strings and vectors.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "win/app/application_win.h"
#include "win/base/window_text_win.h"

namespace qz::test {

struct ShownMessage {
    std::string text;
    UINT type;
};

inline constexpr char kF1Hint[] = "ヘルプを見るにはF1キーを押してください。";

// A Unix path in Windows form; a path in the repository in Windows form.
std::string windows_path(std::string unix_path);
std::string source_path(const std::string& relative);
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
// The names of the files (not folders) in `dir` that match `pattern`.
std::vector<std::string> files_in(const std::string& dir, const char* pattern = "*");
// Runs a Unix shell command line in the folder `dir` and returns what it printed.
std::string run_unix(const std::string& dir, const std::string& command);
// Processes every pending message.
void pump();
// A window's rectangle in its parent's client coordinates (screen for a top-level window).
RECT placed(HWND hwnd);
// Puts `size` bytes on the clipboard in `format`, or empties it for null.
void set_clipboard(const void* data, std::size_t size = 0, UINT format = CF_TEXT);
// A click on the button `id` of `window`, its messages processed.
void click(HWND window, int id);
// A key pressed with `modifier` (a virtual key such as VK_CONTROL, or 0)
// held, delivered to the focused window as the message loop would.
void press_key(BYTE key, BYTE modifier = 0);
// Runs `act` once on the dialog with this caption, once it is up inside its modal loop.
void when_dialog(const char* caption, std::function<void(HWND)> act);

class EditorTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Start-up as the entry point does it, with the given command line.
    void start(const std::string& command_line = "");
    // Closes the window and runs the shutdown (writes the settings file).
    void shut_down();
    // Shuts a started editor down and forgets what it showed, for a new start.
    void restart();

    // Opens a data file holding the header of `version` and `body`.
    void open(const std::string& body, const char* version = "1.4");
    // Gives an item the focus and the selection, as a click does.
    void focus_line(int index);
    void select_only(const std::vector<int>& items);

    // Controls of the editing pane.
    HWND control(int id) const { return GetDlgItem(app().pane, id); }
    std::string field(int id) const;
    int selection(int id) const;
    // Types `text` over the whole field, as the user would.
    void type(int id, const std::string& text);
    // Moves the focus to the line list, which commits the pane.
    void leave_pane();

    HWND main_window() const { return app().main_window; }
    HWND list() const { return app().line_list; }
    const CardDocument& doc() const { return app().editor.doc(); }
    // Unsaved changes, and a change that leaves the bytes as they are.
    bool modified() const { return app().editor.modified(); }
    void make_modified() const { app().editor.change_version(doc().version); }

    // Every line's text joined by '|', "_" for a line without text.
    std::string joined_lines() const;
    // The texts of the message boxes shown so far.
    std::vector<std::string> message_texts() const;
    // The text of an item of the line list (or of another list view).
    std::string item_text(int item, int column, HWND view = nullptr) const;
    std::string status_text(int part) const;
    // The state of a menu item of the main menu (MFS_* bits).
    UINT menu_state(int id) const;
    void command(int id);
    // Copies a repository file into the test folder.
    std::string copy_to_temp(const std::string& relative, const std::string& name);

    // The folder of this test's files; the settings file lies in it.
    std::string dir_;
    // Message boxes shown, and the answers they get in order (an OK box
    // needs none).
    std::vector<ShownMessage> messages_;
    std::deque<int> answers_;
    // Paths the open/save dialogs answer with, in order; empty = cancel.
    std::deque<std::string> dialog_answers_;
    std::vector<std::string> dialogs_shown_;
    // Seconds between recovery writes from start() on; none unless a test
    // is about them.
    int recovery_interval_ = 0;

private:
    bool started_ = false;
    bool shut_down_ = false;
};

}  // namespace qz::test
