// The group change dialog: which group (0-9) the selected questions get.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace qz {

struct GroupChangeRequest {
    std::array<std::string, 10> names;  // as the list shows them
};

// The group chosen; none when cancelled.
std::optional<int> ask_group_change(HWND owner, const GroupChangeRequest& request);

}  // namespace qz
