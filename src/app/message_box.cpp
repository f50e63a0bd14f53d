#include "app/message_box.h"

#include <utility>

namespace qz {
namespace {
MessageBoxHook& hook() {
    static MessageBoxHook h;
    return h;
}
}  // namespace

int message_box(HWND owner, const char* text, UINT type) {
    if (hook()) return hook()(owner, text, type);
    return MessageBoxA(owner, text, kAppCaption, type);
}

void show_error(HWND owner, const char* text) {
    if (text) message_box(owner, text, MB_OK | MB_ICONERROR);
}

void set_message_box_hook(MessageBoxHook h) { hook() = std::move(h); }

}  // namespace qz
