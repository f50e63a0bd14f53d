#include "win/base/modeless_win.h"

#include <algorithm>
#include <vector>

#include "win/base/app_state_win.h"

namespace qz {
namespace {

struct Modeless {
    HWND window;
    ModelessTurn turn;
    ModelessKeys keys;
};

std::vector<Modeless>& windows() {
    static std::vector<Modeless> open;
    return open;
}

}  // namespace

void add_modeless(HWND window, ModelessTurn turn, ModelessKeys keys) {
    remove_modeless(window);
    windows().push_back({window, turn, keys});
}

void remove_modeless(HWND window) {
    std::erase_if(windows(), [window](const Modeless& m) { return m.window == window; });
}

bool modeless_message(MSG& msg, ModelessTurn turn) {
    for (const Modeless m : windows()) {  // a copy: taking the message may close the window
        if (m.turn != turn || (msg.hwnd != m.window && !IsChild(m.window, msg.hwnd))) continue;
        if (m.keys && m.keys(msg)) return true;
        return IsDialogMessageW(m.window, &msg);
    }
    return false;
}

bool open_modeless(HWND& window, int resource, DLGPROC procedure, HWND owner) {
    if (app().line_list) SetFocus(app().line_list);
    if (!window) window = CreateDialogParamW(app().instance, MAKEINTRESOURCEW(resource), owner, procedure, 0);
    return window != nullptr;
}

void bring_forward(HWND window, HWND focus) {
    ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);
    SetFocus(focus);
}

}  // namespace qz
