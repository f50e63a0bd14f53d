// A question with two answers of its own and Cancel, for the choices a
// message box's Yes and No would not name (restore or discard, switch or
// read only). Captioned "Quizo Editor", like the message boxes.
#pragma once

#include <windows.h>

#include <string>

namespace qz {

struct ChoiceRequest {
    std::string text;
    std::string first;   // the default button's caption
    std::string second;
};

enum class Choice { first, second, cancel };

Choice choice_box(HWND owner, const ChoiceRequest& request);

}  // namespace qz
