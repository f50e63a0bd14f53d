#include "win/base/app_state_win.h"

#include "core/layout/layout.h"

namespace qz {

Application& app() {
    static Application instance;
    return instance;
}

const CardDocument& document() { return app().editor.doc(); }

void center_dialog(HWND dialog) {
    RECT work{}, self{}, owner_rect{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(dialog, &self);
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!owner) owner = GetParent(dialog);
    if (owner)
        GetWindowRect(owner, &owner_rect);
    else
        owner_rect = work;
    Box box = center_over(self.right - self.left, self.bottom - self.top,
                          {owner_rect.left, owner_rect.top, owner_rect.right, owner_rect.bottom},
                          {work.left, work.top, work.right, work.bottom});
    MoveWindow(dialog, box.x, box.y, box.width, box.height, TRUE);
}

void bring_to_front(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

}  // namespace qz
