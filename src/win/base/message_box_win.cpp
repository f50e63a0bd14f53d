#include "win/base/message_box_win.h"

#include <iterator>
#include <utility>

#include "win/base/wide_win.h"

namespace qz {
namespace {
MessageBoxHook& hook() {
    static MessageBoxHook h;
    return h;
}
}  // namespace

int message_box(HWND owner, const char* text, UINT type) {
    if (hook()) return hook()(owner, text, type);
    return MessageBoxW(owner, wide(text).c_str(), wide(kAppCaption).c_str(), type);
}

void show_error(HWND owner, const char* text) {
    if (text) message_box(owner, text, MB_OK | MB_ICONERROR);
}

std::string system_error_text(DWORD error) {
    wchar_t text[512] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, text, static_cast<DWORD>(std::size(text)), nullptr);
    std::string result = n ? narrow(std::wstring_view(text, n)) : "エラー " + std::to_string(error);
    while (!result.empty() &&
           (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    return result;
}

void set_message_box_hook(MessageBoxHook h) { hook() = std::move(h); }

}  // namespace qz
