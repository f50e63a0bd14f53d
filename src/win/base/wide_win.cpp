#include "win/base/wide_win.h"

#include "core/exchange/wide_text.h"

namespace qz {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::u16string_view units(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

std::wstring as_wide(const std::u16string& text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

}  // namespace

std::wstring wide(std::string_view cp932) {
    return as_wide(cp932_to_utf16(cp932));
}

std::string narrow(std::wstring_view text, std::vector<char32_t>* lost) {
    return utf16_to_cp932(units(text), lost);
}

std::wstring wide_path(std::string_view utf8) {
    return as_wide(utf8_to_utf16(utf8));
}

std::string utf8_path(std::wstring_view path) {
    return utf16_to_utf8(units(path));
}

std::string window_text(HWND window) {
    if (!window) return {};
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return narrow(text);
}

void set_window_text(HWND window, std::string_view cp932) {
    SetWindowTextW(window, wide(cp932).c_str());
}

void set_item_text(HWND dialog, int id, std::string_view cp932) {
    SetDlgItemTextW(dialog, id, wide(cp932).c_str());
}

std::string item_text(HWND dialog, int id) {
    return window_text(GetDlgItem(dialog, id));
}

}  // namespace qz
