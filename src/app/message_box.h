// Every message box of the program goes through here, so that tests can
// see and answer them.
#pragma once

#include <windows.h>

#include <functional>

namespace qz {

inline constexpr char kAppCaption[] = "Quizo Editor";

// Shows a message box with the caption "Quizo Editor"; returns the button.
int message_box(HWND owner, const char* text, UINT type);

// Error icon and OK; a null text shows nothing.
void show_error(HWND owner, const char* text);

// Replaces the message box for tests; an empty function restores it.
using MessageBoxHook = std::function<int(HWND owner, const char* text, UINT type)>;
void set_message_box_hook(MessageBoxHook hook);

}  // namespace qz
