// The history reset dialog: whether the selected questions' five marks all
// become right or all become wrong.
#pragma once

#include <windows.h>

#include <optional>

namespace qz {

// True for all right, false for all wrong; none when cancelled.
std::optional<bool> ask_history_reset(HWND owner);

}  // namespace qz
