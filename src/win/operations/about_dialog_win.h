// The About box (dialog 621).
#pragma once

#include <windows.h>

namespace qz {

inline constexpr char kHomePage[] = "https://quizo-editor.github.io/";

void show_about_dialog(HWND owner);

}  // namespace qz
