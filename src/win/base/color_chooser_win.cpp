#include "win/base/color_chooser_win.h"

#include <array>
#include <utility>

#include "win/base/message_box_win.h"

namespace qz {
namespace {

std::array<COLORREF, 16>& custom_colors() {
    static std::array<COLORREF, 16> colors = [] {
        std::array<COLORREF, 16> c;
        c.fill(RGB(255, 255, 255));
        return c;
    }();
    return colors;
}

ChooseColorFunction& replacement() {
    static ChooseColorFunction function;
    return function;
}

}  // namespace

bool choose_color(HWND owner, COLORREF& color) {
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = color;
    choose.lpCustColors = custom_colors().data();
    choose.Flags = CC_RGBINIT;
    if (replacement() ? replacement()(choose) : ChooseColorW(&choose)) {
        color = choose.rgbResult;
        return true;
    }
    if (!replacement() && CommDlgExtendedError() != 0) show_error(owner, "ダイアログを表示できません。");
    return false;
}

void set_choose_color_function(ChooseColorFunction function) { replacement() = std::move(function); }

void reset_custom_colors() { custom_colors().fill(RGB(255, 255, 255)); }

}  // namespace qz
