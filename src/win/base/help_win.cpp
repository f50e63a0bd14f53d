#include "win/base/help_win.h"

#include <shlwapi.h>

#include <string>

#include "core/exchange/text_encoding.h"

#include "win/base/app_state_win.h"
#include "win/base/message_box_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

constexpr UINT kHelpCloseAll = 18;
constexpr UINT kHelpInitialize = 28;
constexpr UINT kHelpUninitialize = 29;
constexpr UINT kHelpPretranslateMessage = 253;

// HtmlHelpW, export 15 of hhctrl.ocx.
constexpr ULONG_PTR kHtmlHelpWide = 15;

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

struct HelpState {
    unique_module library;
    HtmlHelpFunction entry = nullptr;
    DWORD_PTR cookie = 0;
};

HelpState& state() {
    static HelpState s;
    return s;
}

HelpHook& help_hook() {
    static HelpHook hook;
    return hook;
}

}  // namespace

void set_help_hook(HelpHook hook) { help_hook() = std::move(hook); }

void initialize_help() {
    HelpState& s = state();
    // From the system folder only: a file of that name elsewhere on the
    // search path (beside the program, say) is never loaded.
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + sizeof "\\hhctrl.ocx" > MAX_PATH) return;
    lstrcatW(path, L"\\hhctrl.ocx");
    s.library.reset(LoadLibraryW(path));
    if (!s.library) return;
    s.entry = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(s.library.get(), reinterpret_cast<LPCSTR>(kHtmlHelpWide))));
    if (s.entry) s.entry(nullptr, nullptr, kHelpInitialize, reinterpret_cast<DWORD_PTR>(&s.cookie));
}

void uninitialize_help() {
    HelpState& s = state();
    if (s.entry) {
        s.entry(nullptr, nullptr, kHelpCloseAll, 0);
        s.entry(nullptr, nullptr, kHelpUninitialize, s.cookie);
    }
    s.entry = nullptr;
    s.library.reset();
}

bool help_pretranslate(MSG& msg) {
    HelpState& s = state();
    return s.entry &&
           s.entry(nullptr, nullptr, kHelpPretranslateMessage, reinterpret_cast<DWORD_PTR>(&msg));
}

void show_help(HWND owner, UINT command, DWORD topic) {
    if (help_hook()) {
        help_hook()(command, command == kHelpContext ? topic : 0);
        return;
    }
    const std::string& path = app().help_path;
    const std::wstring file = wide_path(path);
    if (!PathFileExistsW(file.c_str())) {
        std::string text = "ヘルプファイル " + utf8_to_cp932(path) + " が見つかりません。";
        show_error(owner, text.c_str());
        return;
    }
    HelpState& s = state();
    if (!s.entry) {
        show_error(owner, "ヘルプを表示できません。");
        return;
    }
    s.entry(owner, file.c_str(), command, command == kHelpContext ? topic : 0);
}

}  // namespace qz
