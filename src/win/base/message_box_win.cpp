#include "win/base/message_box_win.h"

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

std::string system_error_text(DWORD error) {
    char text[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, text, sizeof text, nullptr);
    std::string result = n ? std::string(text, n) : "エラー " + std::to_string(error);
    while (!result.empty() &&
           (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    return result;
}

void set_message_box_hook(MessageBoxHook h) { hook() = std::move(h); }

}  // namespace qz
