#include "win/base/file_dialog_win.h"

#include <commdlg.h>

#include <cwchar>

#include "win/base/message_box_win.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

constexpr DWORD kDialogBufferSize = 4096;

// A filter (code page 932 pairs, each ended by NUL, the whole by another
// NUL) in UTF-16, its NULs kept.
std::wstring wide_filter(const char* filter) {
    if (!filter) return {};
    std::size_t length = 0;
    while (filter[length] || filter[length + 1]) ++length;
    return wide(std::string_view(filter, length + 2));
}

FileDialogHook& file_dialog_hook() {
    static FileDialogHook hook;
    return hook;
}

// Runs the open or save dialog; the chosen path, or nothing when cancelled.
std::optional<std::string> run_file_dialog(HWND owner, bool save, const char* title, const char* filter,
                                           const char* default_extension, const std::string& proposed) {
    if (file_dialog_hook()) return file_dialog_hook()(owner, save, proposed);
    // Room for a longer choice than fits, so that it is refused by name
    // rather than by a dialog error.
    // Paths are UTF-8 in the program, UTF-16 at the dialog.
    std::wstring path = wide_path(proposed);
    path.resize(kDialogBufferSize);
    const std::wstring wide_title = title ? wide(title) : std::wstring();
    const std::wstring filters = wide_filter(filter);
    const std::wstring extension = default_extension ? wide(default_extension) : std::wstring();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrTitle = title ? wide_title.c_str() : nullptr;
    ofn.lpstrFilter = filter ? filters.c_str() : nullptr;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = kDialogBufferSize;
    ofn.lpstrDefExt = default_extension ? extension.c_str() : nullptr;
    ofn.Flags = save ? OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST
                     : OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) {
        if (CommDlgExtendedError())
            show_error(owner, save ? "「ファイル名を付けて保存」でエラーが発生しました。"
                                   : "「ファイルを開く」でエラーが発生しました。");
        return std::nullopt;
    }
    path.resize(std::wcslen(path.c_str()));
    return utf8_path(path);
}

}  // namespace

void set_file_dialog_hook(FileDialogHook hook) { file_dialog_hook() = std::move(hook); }

std::optional<std::string> choose_open_file(HWND owner, const char* title, const char* filter,
                                            const char* default_extension, const std::string& proposed) {
    return run_file_dialog(owner, false, title, filter, default_extension, proposed);
}

std::optional<std::string> choose_save_file(HWND owner, const char* title, const char* filter,
                                            const char* default_extension, const std::string& proposed) {
    return run_file_dialog(owner, true, title, filter, default_extension, proposed);
}

}  // namespace qz
