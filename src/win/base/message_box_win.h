// Every message box of the program goes through here, so that tests can
// see and answer them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qz {

inline constexpr char kAppCaption[] = "Quizo Editor";

// Shows a message box with the caption "Quizo Editor"; returns the button.
int message_box(HWND owner, const char* text, UINT type);

// Error icon and OK; a null text shows nothing.
void show_error(HWND owner, const char* text);

// The system's text for an error code (FormatMessageA), without the final
// line break.
std::string system_error_text(DWORD error);

// Replaces the message box for tests; an empty function restores it.
using MessageBoxHook = std::function<int(HWND owner, const char* text, UINT type)>;
void set_message_box_hook(MessageBoxHook hook);

}  // namespace qz
